#pragma once

#include <QImage>
#include <QRectF>

class NoteModel;
class QPainter;
class QWidget;

// A miniature paper card for one tucked note in the open pad: its first image, title and age,
// or (without a loadable image) its title, a two-line preview and its age. The pad decides
// which card is hovered; the card lifts, grows and gains a white rim as `hovered` goes to 1,
// and fades to 55 % as `dimmed` goes to 1. Both are presentation values between 0 and 1.
class PeekCard {
public:
    static constexpr double width = 90;
    static constexpr double height = 92;

    // `view` is repainted once a picture the card shows has been made ready on the worker.
    PeekCard(const NoteModel* note, double hovered, double dimmed, QWidget* view = nullptr);

    // Paints the card into its 90 x 92 frame. `dpi` is the device's logical dpi, for the type.
    void paint(QPainter& p, const QRectF& frame, double dpi) const;

private:
    void imageCard(QPainter& p, const QRectF& frame, const QImage& strip, double dpi) const;
    void textCard(QPainter& p, const QRectF& frame, double dpi) const;
    void paintAge(QPainter& p, const QRectF& content, double dpi) const;
    // The note's first image scaled to fill the top strip; grey while it is on its way or
    // being made ready; a null image when it cannot be shown.
    QImage strip(double devicePixelRatio) const;

    const NoteModel* note_;
    double hovered_;
    double dimmed_;
    QWidget* view_;
};
