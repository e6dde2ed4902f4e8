#pragma once

#include "windows/Panel.h"

#include <QPointer>
#include <functional>

// The image viewer's window: a full-screen panel above every note and the pad. While it is
// shown it sees every key press of the application first and hands it to `onKey`; a key the
// handler takes (returns true) reaches nobody else, any other key goes on as usual.
class ViewerPanel : public Panel {
    Q_OBJECT
public:
    explicit ViewerPanel(const QRectF& frame);
    ~ViewerPanel() override;

    // Receives Qt key codes; returns whether the key was handled.
    std::function<bool(int key)> onKey;

    // Whether the key monitor is installed (only while the window is shown).
    bool isMonitoring() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class KeyMonitor;
    void installMonitor();
    void removeMonitor();

    QPointer<KeyMonitor> monitor_; // a child; removed later, it may be mid-event
};
