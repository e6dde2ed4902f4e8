#include "viewer/ViewerPanel.h"

#include <QApplication>
#include <QKeyEvent>

// Watches the whole application rather than this window: the arrow keys and Escape must work
// even when the keyboard focus stayed in a note the user clicked before.
class ViewerPanel::KeyMonitor : public QObject {
public:
    explicit KeyMonitor(ViewerPanel* panel)
        : QObject(panel)
        , panel_(panel)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !panel_ || !panel_->onKey) {
            return QObject::eventFilter(watched, event);
        }
        // A key press may be offered here once per receiver on its way (window, focus
        // widget, parents); a handled key stops at the first, an unhandled one has no effect.
        const auto handler = panel_->onKey;
        return handler(static_cast<QKeyEvent*>(event)->key());
    }

private:
    QPointer<ViewerPanel> panel_;
};

ViewerPanel::ViewerPanel(const QRectF& frame)
    : Panel(frame, Level::Viewer)
{
}

ViewerPanel::~ViewerPanel()
{
    removeMonitor();
}

void ViewerPanel::showEvent(QShowEvent* event)
{
    Panel::showEvent(event);
    installMonitor();
}

void ViewerPanel::hideEvent(QHideEvent* event)
{
    removeMonitor();
    Panel::hideEvent(event);
}

void ViewerPanel::installMonitor()
{
    removeMonitor();
    monitor_ = new KeyMonitor(this);
    qApp->installEventFilter(monitor_);
}

void ViewerPanel::removeMonitor()
{
    if (monitor_) {
        qApp->removeEventFilter(monitor_);
        // Escape closes the viewer from inside the monitor's own filter call.
        monitor_->deleteLater();
        monitor_ = nullptr;
    }
}

bool ViewerPanel::isMonitoring() const
{
    return monitor_ != nullptr;
}
