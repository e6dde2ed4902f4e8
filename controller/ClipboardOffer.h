#pragma once

#include "model/ImageWork.h"

#include <QImage>
#include <QObject>

class AppController;
namespace platform {
struct ClipboardContent;
}

// The clipboard's picture that the open pad offers to make a note of (ImageOps.cpp): read
// without waiting for the clipboard's owner, kept as a thumbnail and the encoded picture.
class ClipboardOffer : public QObject {
public:
    explicit ClipboardOffer(AppController& app);

    const QImage& image() const { return image_; } // null when nothing is offered
    // A published assignment (AppController::Field::ClipImage).
    void setImage(const QImage& image);
    // Reads the clipboard again if it changed since it was read for the offer.
    void refresh();
    // Makes a note of the offered picture.
    void paste();
    // The clipboard change the pad must not offer again: one already made a note, or the
    // program's own copy.
    int used() const { return used_; }
    void setUsed(int change) { used_ = change; }

private:
    void offer(int change, const platform::ClipboardContent& content);

    AppController& app_;
    QImage image_; // a thumbnail; the picture itself stays encoded in source_
    Images::Source source_;
    int read_ = -1; // the clipboard change the offer was read for
    int used_ = 0;
};
