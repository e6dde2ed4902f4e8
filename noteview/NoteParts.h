#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

namespace noteview {

// The small painted pieces of a note. Each paints itself; none owns model state.

// The 26-high strip at the top of the paper: a short capsule in the middle. The note view
// handles its double-click and context menu.
class HeaderStrip : public QWidget {
    Q_OBJECT
public:
    explicit HeaderStrip(QWidget* parent = nullptr);
    static constexpr int height = 26;

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The round close button in the header strip. Its glyph shows only while the pointer is on
// it; the whole button fades with the note's hover but keeps taking clicks when invisible.
class CloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CloseButton(QWidget* parent = nullptr);
    static constexpr int side = 13;

    void setReveal(double opacity);
    double reveal() const { return reveal_; }
    bool isPointerOver() const { return over_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    double reveal_ = 0;
    bool over_ = false;
};

// The resize grip in the paper's bottom-right corner. The window itself runs the resize
// gesture; the grip shows where it is, takes the clicks there and sets the pointer.
class Grip : public QWidget {
    Q_OBJECT
public:
    explicit Grip(QWidget* parent = nullptr);
    static constexpr int side = 26;
    static constexpr int margin = 3;

    void setReveal(double opacity);
    double reveal() const { return reveal_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double reveal_ = 0;
};

// The dashed hint shown while images are dragged over the note.
class DropHint : public QWidget {
    Q_OBJECT
public:
    explicit DropHint(QWidget* parent = nullptr);
    static const QString label;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A folded note's one line: a small thumbnail of the first image, if any, and the title.
class FoldedRow : public QWidget {
    Q_OBJECT
public:
    explicit FoldedRow(QWidget* parent = nullptr);

    void setContent(const QImage& thumbnail, const QString& title);
    QString title() const { return title_; }
    bool hasThumbnail() const { return !thumbnail_.isNull(); }
    // Height the row needs: the thumbnail or one line of the title, whichever is taller.
    int rowHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;

    QImage thumbnail_;
    QString title_;
};

// Paints the "photo" symbol (a framed landscape) into `r` with the pen colour `color`.
void paintPhotoGlyph(QPainter& p, const QRectF& r, const QColor& color);

} // namespace noteview
