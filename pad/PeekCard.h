#pragma once

#include <QImage>
#include <QRectF>

class NoteModel;
class QPainter;

// A miniature paper card for one tucked note in the open pad: its first image, title and age,
// or (without a loadable image) its title, a two-line preview and its age. The pad decides
// which card is hovered; the card lifts, grows and gains a white rim as `hovered` goes to 1,
// and fades to 55 % as `dimmed` goes to 1. Both are presentation values between 0 and 1.
class PeekCard {
public:
    static constexpr double width = 90;
    static constexpr double height = 92;

    PeekCard(const NoteModel* note, double hovered, double dimmed);

    // Paints the card into its 90 x 92 frame. `dpi` is the device's logical dpi, for the type.
    void paint(QPainter& p, const QRectF& frame, double dpi) const;

private:
    void imageCard(QPainter& p, const QRectF& frame, const QImage& strip, double dpi) const;
    void textCard(QPainter& p, const QRectF& frame, double dpi) const;
    void paintAge(QPainter& p, const QRectF& content, double dpi) const;
    // The note's first image scaled to fill the top strip, or a null image.
    QImage strip(double devicePixelRatio) const;

    const NoteModel* note_;
    double hovered_;
    double dimmed_;
};
