#include "noteview/ImageStrip.h"

#include "model/Images.h"
#include "paint/Blur.h"
#include "paint/Destructive.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace noteview {

namespace {

constexpr double kShadowOpacity = 0.12;
constexpr double kShadowRadius = 2.5;
constexpr double kShadowOffsetY = 1.5;
constexpr int kShadowPad = 6;

// A soft shadow for a rounded tile of the given size, drawn with kShadowPad around it.
QImage tileShadow(const QSize& size, qreal dpr)
{
    const QSize pixels((QSizeF(size) + QSizeF(2 * kShadowPad, 2 * kShadowPad)).toSize() * dpr);
    QImage img(pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.fillPath(
            paint::continuousRect(QRectF(kShadowPad, kShadowPad, size.width(), size.height()),
                                  StripTile::radius),
            QColor::fromRgbF(0, 0, 0, kShadowOpacity));
    }
    paint::gaussianBlur(img, kShadowRadius / 2 * dpr);
    img.setDevicePixelRatio(dpr);
    return img;
}

bool hasSeeThroughPixels(const QImage& image)
{
    if (!image.hasAlphaChannel()) {
        return false;
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        if (std::any_of(row, row + argb.width(), [](QRgb px) { return qAlpha(px) < 255; })) {
            return true;
        }
    }
    return false;
}

} // namespace

// The strip's content: positions the tiles and paints their shadows beneath them.
class ImageStrip::Content : public QWidget {
public:
    using QWidget::QWidget;
    QList<StripTile*> tiles;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const qreal dpr = devicePixelRatioF();
        for (StripTile* tile : tiles) {
            if (!tile->castsShadow(dpr)) {
                continue;
            }
            if (shadow_.isNull() || shadowSize_ != tile->size() || shadowDpr_ != dpr) {
                shadow_ = tileShadow(tile->size(), dpr);
                shadowSize_ = tile->size();
                shadowDpr_ = dpr;
            }
            p.drawImage(QPointF(tile->x() - kShadowPad, tile->y() - kShadowPad + kShadowOffsetY),
                        shadow_);
        }
    }

private:
    QImage shadow_;
    QSize shadowSize_;
    qreal shadowDpr_ = 0;
};

StripTile::StripTile(const QImage& image, QString name, int index, QWidget* parent)
    : QWidget(parent)
    , image_(image)
    , name_(std::move(name))
    , index_(index)
{
    if (!placeholder()) {
        setToolTip(QCoreApplication::translate("Note", "Click to view full size"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus); // Space opens it, as a click does
    }
}

StripTile* StripTile::coming(QWidget* parent)
{
    auto* tile = new StripTile(QImage(), QString(), -1, parent);
    tile->setAccessibleName(QCoreApplication::translate("Note", "Adding image"));
    // Turns only while the picture is on its way: the tile goes when it arrives.
    tile->spin_ = new QTimer(tile);
    tile->spin_->setInterval(50);
    connect(tile->spin_, &QTimer::timeout, tile, [tile] {
        tile->spinStep_ = (tile->spinStep_ + 1) % 24;
        tile->update();
    });
    tile->spin_->start();
    return tile;
}

const QImage& StripTile::scaled(qreal dpr)
{
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (scaled_.isNull() || scaled_.size() != pixels) {
        // A picture just added comes with its copy made on the worker; only a note resized
        // since scales here.
        scaled_ = Images::displayCopy(name_, pixels);
        if (scaled_.isNull()) {
            scaled_ = Images::filled(image_, pixels);
        }
        seeThrough_ = hasSeeThroughPixels(scaled_);
    }
    return scaled_;
}

bool StripTile::castsShadow(qreal dpr)
{
    if (placeholder() || !image_.hasAlphaChannel()) {
        return true;
    }
    scaled(dpr); // looks at the copy shown for see-through parts
    return !seeThrough_;
}

void StripTile::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    if (image_.isNull()) {
        p.fillPath(paint::continuousRect(r, radius), paint::blackAt(0.08));
        if (isComing()) {
            paintBusyArc(p, r);
        }
        return;
    }
    const QPainterPath clip = paint::continuousRect(r, radius);
    p.setClipPath(clip);
    p.drawImage(r, scaled(devicePixelRatioF()));
    p.setClipping(false);
    // The inner border, or the keyboard's mark when Tab has reached the tile.
    if (hasFocus()) {
        paint::strokeInside(p, r, radius, QPen(palette().color(QPalette::Highlight), 2.5));
    } else {
        paint::strokeInside(p, r, radius, QPen(paint::blackAt(0.12), 0.5));
    }
}

void StripTile::paintBusyArc(QPainter& p, const QRectF& r) const
{
    const double side = std::min({22.0, r.width() / 2, r.height() / 2});
    const QRectF ring(r.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    QPen pen(paint::blackAt(0.35), 2.5);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    // Qt counts arcs in sixteenths of a degree, anticlockwise from three o'clock.
    p.drawArc(ring, -spinStep_ * 15 * 16, 270 * 16);
}

void StripTile::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void StripTile::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click && !placeholder()) {
        Q_EMIT clicked(index_);
    }
}

void StripTile::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !placeholder()) {
        Q_EMIT clicked(index_);
        return;
    }
    QWidget::keyPressEvent(event);
}

void StripTile::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // The menu is not our child and the tile is re-checked after it closes: anything the
    // menu's nested event loop or its action does may replace the tiles.
    QMenu menu;
    QAction* remove = menu.addAction(QCoreApplication::translate("Note", "Remove Image"));
    paint::markDestructive(remove);
    const QPointer<StripTile> self(this);
    if (menu.exec(event->globalPos()) == remove && self) {
        Q_EMIT removeRequested(name_);
    }
}

ImageStrip::ImageStrip(QWidget* parent)
    : QScrollArea(parent)
    , content_(new Content)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // scrolling pictures never takes the keyboard from the text
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setWidget(content_);
    content_->setAutoFillBackground(false); // setWidget() turns it on: the paper shows through
    // A slim bar over the paper rather than a full-width platform trough.
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 6px; background: transparent; margin: 2px 0 2px 0; }"
        "QScrollBar::handle:vertical { background: rgba(0,0,0,60); border-radius: 2px;"
        " min-height: 20px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
}

QList<StripTile*> ImageStrip::tiles() const
{
    return content_->tiles;
}

void ImageStrip::setEntries(const QList<Entry>& entries, double tileWidth, double natural,
                            double area)
{
    tileWidth_ = tileWidth;
    setVerticalScrollBarPolicy(natural > area ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (sameTiles(entries)) {
        // A new size only: the tiles keep their images and scaled copies.
        for (int i = 0; i < entries.size(); ++i) {
            content_->tiles.at(i)->resize(static_cast<int>(std::round(tileWidth)),
                                          static_cast<int>(std::round(entries.at(i).height)));
        }
        layoutTiles();
        return;
    }
    // A tile may be asking for this from inside its own event handler (its menu's "Remove
    // Image"): the old tiles go away once control is back in the event loop.
    for (StripTile* old : std::as_const(content_->tiles)) {
        old->hide();
        old->disconnect(this);
        old->deleteLater();
    }
    content_->tiles.clear();
    const auto shown = std::count_if(entries.cbegin(), entries.cend(),
                                     [](const Entry& entry) { return !entry.coming; });
    for (const Entry& entry : entries) {
        auto* tile = entry.coming ? StripTile::coming(content_)
                                  : new StripTile(entry.image, entry.name, entry.index, content_);
        tile->resize(static_cast<int>(std::round(tileWidth)),
                     static_cast<int>(std::round(entry.height)));
        if (!entry.coming) {
            tile->setAccessibleName(QCoreApplication::translate("Note", "Image %1 of %2")
                                        .arg(entry.index + 1)
                                        .arg(shown));
        }
        connect(tile, &StripTile::clicked, this, &ImageStrip::viewRequested);
        connect(tile, &StripTile::removeRequested, this, &ImageStrip::removeRequested);
        tile->show();
        content_->tiles << tile;
    }
    layoutTiles();
}

bool ImageStrip::sameTiles(const QList<Entry>& entries) const
{
    if (entries.size() != content_->tiles.size()) {
        return false;
    }
    for (int i = 0; i < entries.size(); ++i) {
        const StripTile* tile = content_->tiles.at(i);
        if (tile->name() != entries.at(i).name || tile->index() != entries.at(i).index ||
            tile->placeholder() != entries.at(i).image.isNull() ||
            tile->isComing() != entries.at(i).coming) {
            return false;
        }
    }
    return true;
}

void ImageStrip::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    layoutTiles();
}

void ImageStrip::layoutTiles()
{
    const int w = viewport()->width();
    double y = 0;
    for (StripTile* tile : std::as_const(content_->tiles)) {
        const int x = static_cast<int>(std::round((w - tileWidth_) / 2));
        tile->move(std::max(0, x), static_cast<int>(std::round(y)));
        y += tile->height() + gap;
    }
    content_->resize(w, static_cast<int>(std::round(y)));
    content_->update();
}

} // namespace noteview
