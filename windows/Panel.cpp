#include "windows/Panel.h"

#include "platform/Desktop.h"

#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Every live panel, so that raising one can restore the level order above it.
std::vector<Panel*>& livePanels()
{
    static std::vector<Panel*> panels;
    return panels;
}

platform::WindowRole roleOf(Panel::Level level)
{
    switch (level) {
    case Panel::Level::Pad:
        return platform::WindowRole::Pad;
    case Panel::Level::Viewer:
        return platform::WindowRole::Viewer;
    case Panel::Level::Note:
        break;
    }
    return platform::WindowRole::Note;
}

// Geometries asked for that the window system may still report back.
constexpr std::size_t askedKept = 16;
// How long a window system's own placement must hold before the program follows it: the
// window manager answers a move with more than one configure.
constexpr int systemMoveSettleMs = 150;

bool isFinite(const QRectF& r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

} // namespace

Panel::Panel(const QRectF& rect, Level level)
    : QWidget(nullptr, platform::windowRoleFlags(roleOf(level)))
    , level_(level)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Never the active window, yet its buttons explain themselves like any other.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Only the controller sizes windows: the content never pushes the window's size.
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    systemMoveSettle_.setObjectName(QStringLiteral("systemMoveSettle"));
    systemMoveSettle_.setSingleShot(true);
    systemMoveSettle_.setInterval(systemMoveSettleMs);
    connect(&systemMoveSettle_, &QTimer::timeout, this, &Panel::systemGeometrySettled);

    setFrame(rect);
    livePanels().push_back(this);
}

Panel::~Panel()
{
    auto& panels = livePanels();
    panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
}

void Panel::setContent(QWidget* content)
{
    if (content_ != nullptr && content_ != content) {
        layout()->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    if (content != nullptr) {
        layout()->addWidget(content);
    }
}

void Panel::setIgnoresMouse(bool ignores)
{
    if (ignores == ignoresMouse_) {
        return;
    }
    ignoresMouse_ = ignores;
    // Switched on the live native window: going through setWindowFlags() would recreate and
    // hide it. On X11 this sets an empty input shape, so clicks reach what lies below.
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowTransparentForInput, ignores);
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle()) {
        handle->setFlags(flags);
    }
    if (!ignores) {
        // Taking input again resets the window's input shape to the whole window.
        applyInputRegion();
    }
}

void Panel::setInputRegion(const QRegion& region)
{
    if (inputRegion_ == region) {
        return;
    }
    inputRegion_ = region;
    applyInputRegion();
}

void Panel::applyInputRegion()
{
    if (inputRegion_ && !ignoresMouse_) {
        platform::desktop().setInputShape(this, *inputRegion_);
    }
}

bool Panel::outsideInputRegion(const QMouseEvent* event) const
{
    return inputRegion_ && !inputRegion_->contains(event->position().toPoint());
}

void Panel::setShapeMask(const QRegion& region)
{
    if (platform::desktop().hasCompositor()) {
        return;
    }
    // An empty mask means "no mask" to Qt; a pixel outside the window shows nothing instead.
    setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
}

void Panel::setShapeMask(const QPainterPath& outline)
{
    if (platform::desktop().hasCompositor()) {
        return;
    }
    setShapeMask(opaqueRegion(outline, size()));
}

QRegion Panel::opaqueRegion(const QPainterPath& outline, const QSize& size)
{
    // Rasterised as the paint is, anti-aliased: a pixel the fill covers only in part is drawn
    // half transparent, which X11 without a compositor shows dark, so only whole pixels stay.
    QImage coverage(size, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(outline, Qt::black);
    }
    QList<QRect> rects;
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* row = coverage.constScanLine(y);
        int x = 0;
        while (x < coverage.width()) {
            while (x < coverage.width() && row[x] != 0xff) {
                ++x;
            }
            const int start = x;
            while (x < coverage.width() && row[x] == 0xff) {
                ++x;
            }
            if (x > start) {
                rects.append(QRect(start, y, x - start, 1));
            }
        }
    }
    QRegion region;
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
    return region;
}

void Panel::followCompositor()
{
    if (platform::desktop().hasCompositor()) {
        clearMask();
    }
    Q_EMIT compositorChanged();
    update();
}

void Panel::clearShapeMask()
{
    if (!platform::desktop().hasCompositor()) {
        clearMask();
    }
}

void Panel::orderFront()
{
    if (!isVisible()) {
        // Window managers drop these when a window is withdrawn: give them again each time.
        platform::desktop().applyWindowRole(this, roleOf(level_));
    }
    show();
    raiseInLevelOrder();
}

void Panel::makeKey()
{
    orderFront();
    activateWindow();
    platform::desktop().holdKeyboard(this);
}

void Panel::orderOut()
{
    hide();
}

void Panel::raiseInLevelOrder()
{
    raise();
    // Windows of a higher level go back above this one, lowest level first.
    std::vector<Panel*> above;
    for (Panel* panel : livePanels()) {
        if (panel != this && panel->level_ > level_ && panel->isVisible()) {
            above.push_back(panel);
        }
    }
    std::stable_sort(above.begin(), above.end(),
                     [](const Panel* a, const Panel* b) { return a->level_ < b->level_; });
    for (Panel* panel : above) {
        panel->raise();
    }
}

QRectF Panel::frame() const
{
    return platform::desktop().windowFrame(this);
}

void Panel::setFrame(const QRectF& frame)
{
    if (!isFinite(frame)) {
        return;
    }
    platform::desktop().setWindowFrame(this, frame);
}

void Panel::setFrameOrigin(QPointF origin)
{
    setFrame(QRectF(origin, frame().size()));
}

void Panel::geometryChanged(bool bySystem)
{
    const QRect now = geometry();
    if (!bySystem) {
        asked_.push_back(now);
        if (asked_.size() > askedKept) {
            asked_.pop_front();
        }
        return;
    }
    if (std::find(asked_.begin(), asked_.end(), now) == asked_.end()) {
        systemMoveSettle_.start();
    }
}

void Panel::systemGeometrySettled()
{
    if (!asked_.empty() && geometry() == asked_.back()) {
        return; // the window system went back to where it was asked to be
    }
    // From here on the window system's place is the one the program stands by.
    geometryChanged(false);
    if (onMovedBySystem) {
        onMovedBySystem();
    }
}
