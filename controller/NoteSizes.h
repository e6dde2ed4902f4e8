#pragma once

#include "model/NoteGeometry.h"

#include <QRectF>
#include <QString>
#include <optional>

class AppController;
class NoteModel;
class QKeyEvent;

// Every size of a note and its window as this screen allows it, and changes of size
// (Sizing.cpp); the arithmetic itself is model/NoteGeometry's, which its users share.
class NoteSizes {
public:
    explicit NoteSizes(AppController& app)
        : app_(app)
    {
    }

    double maxTotal() const;
    double imageHeight(const QString& name, double width) const;
    double stripH(const NoteModel* note) const;
    double totalH(const NoteModel* note) const;
    double imagesAreaH(const NoteModel* note) const;
    double winW(const NoteModel* note) const;
    double winH(const NoteModel* note) const;
    // Animated (a change of content or a chosen size), the window also stays on screen.
    void resize(NoteModel* note, bool animated = false);
    QRectF keptOnScreen(const QRectF& frame) const;
    void setSize(NoteModel* note, double w, double h);
    void fitToContent(NoteModel* note);

    // The notes' text size (geometry::textScale), kept in this computer's settings: one step
    // larger (+1), smaller (-1) or back to the usual size (0).
    void stepTextScale(int step);
    void loadTextScale();
    // Ctrl+= (or Ctrl++), Ctrl+- and Ctrl+0 in a note's text: the step they ask for.
    static std::optional<int> textSizeStep(const QKeyEvent& key);

private:
    AppController& app_;
};
