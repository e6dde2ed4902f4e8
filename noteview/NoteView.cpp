#include "noteview/NoteView.h"

#include "controller/AppController.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "controller/Reminders.h"
#include "model/ImageWork.h"
#include "model/Images.h"
#include "model/NoteGeometry.h"
#include "model/ReminderTimes.h"
#include "noteview/CloseButton.h"
#include "noteview/DropHint.h"
#include "noteview/FoldedRow.h"
#include "noteview/Grip.h"
#include "noteview/HeaderStrip.h"
#include "noteview/ImageStrip.h"
#include "noteview/NoteTextArea.h"
#include "paint/Blur.h"
#include "paint/Palette.h"
#include "paint/Paper.h"
#include "paint/Shapes.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "windows/Panel.h"
#include "windows/ReminderMenu.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGraphicsEffect>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStringTokenizer>
#include <QTimer>
#include <algorithm>
#include <cmath>

using geometry::inset;

namespace {

constexpr double kCrumpleScale = 0.88;
constexpr double kCrumpleRotation = 3;
constexpr double kCrumpleBlur = 8;
constexpr double kHoverFade = 0.15;
// How long a window must rest after moving before its hover is checked against the pointer.
constexpr double kHoverSettle = 0.15;
constexpr double kEditorSide = 10;
constexpr double kEditorBottom = 14;
constexpr double kCloseLeading = 11;
constexpr double kBadgeHeight = 22;
constexpr double kBadgeDrop = 34;
constexpr double kBadgePadding = 9;
constexpr double kDropHintMargin = 8;
constexpr double kShadowRoom = 24; // beside a curled paper, for its shadow

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

QFont badgeFont(const QFont& base)
{
    QFont f = base;
    f.setPixelSize(11);
    f.setStyleHint(QFont::Monospace, QFont::PreferDefault);
    return f;
}

// Hides what it is set on, children included, while the view paints its snapshot instead;
// the widgets stay where they are, focused and clickable.
class HiddenContent : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

protected:
    void draw(QPainter*) override {}
};

} // namespace

namespace noteview {

// The paper's area: carries the live widgets and takes the paper's gestures (hover, double-
// click, the size menu, drops). The paper itself is painted by the view, shadows and all.
class Sheet : public QWidget {
public:
    explicit Sheet(NoteView* view)
        : QWidget(view)
        , view_(view)
    {
        setAcceptDrops(true);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void enterEvent(QEnterEvent*) override { view_->setHovering(true); }
    void leaveEvent(QEvent*) override { view_->setHovering(false); }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            view_->toggleFold();
        }
        event->accept();
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        view_->openSizeMenu(event->globalPos());
        event->accept();
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (view_->acceptsDrop(event->mimeData())) {
            event->acceptProposedAction();
            view_->setDropping(true);
        } else {
            event->ignore();
        }
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (view_->acceptsDrop(event->mimeData())) {
            event->acceptProposedAction();
        } else {
            event->ignore();
        }
    }
    void dragLeaveEvent(QDragLeaveEvent*) override { view_->setDropping(false); }
    void dropEvent(QDropEvent* event) override
    {
        view_->dropImages(event->mimeData());
        event->acceptProposedAction();
    }

private:
    NoteView* view_;
};

} // namespace noteview

using namespace noteview;

NoteView::NoteView(NoteModel* note, AppController* app, QWidget* parent)
    : QWidget(parent)
    , note_(note)
    , app_(app)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    // The view, not the editor, is what an activated window focuses first: a note with text
    // stays a drag handle until the text is clicked; an empty one focuses its editor itself.
    setFocusPolicy(Qt::StrongFocus);
    buildParts();

    if (note_) {
        peel_.jump(note_->peel());
        tilt_.jump(note_->tilt());
        scale_.jump(note_->scale());
        opacity_.jump(note_->opacity());
        crumple_.jump(note_->crumpled() ? 1 : 0);
        hover_.jump(note_->hovering() ? 1 : 0);
        connect(note_, &NoteModel::changed, this, &NoteView::onNoteChanged);
    }
    frameH_.jump(targetFrameHeight());

    for (motion::AnimatedValue* v : {&peel_, &tilt_, &scale_, &opacity_, &crumple_}) {
        v->onChange = [this] { onEffectsMoved(); };
    }
    frameH_.onChange = [this] {
        layoutParts();
        contentChanged();
    };
    hover_.onChange = [this] {
        close_->setReveal(hover_.value());
        grip_->setReveal(hover_.value());
    };
    hover_.onChange();

    refreshText();
    refreshImages();
    refreshFoldedRow();
    layoutParts();
    onEffectsMoved();
}

NoteView::~NoteView()
{
    // The animated values outlive nothing they call back into.
    for (motion::AnimatedValue* v :
         {&peel_, &tilt_, &scale_, &opacity_, &crumple_, &frameH_, &hover_}) {
        v->onChange = nullptr;
    }
}

void NoteView::buildParts()
{
    sheet_ = new Sheet(this);
    header_ = new HeaderStrip(sheet_);
    connect(header_, &HeaderStrip::doubleClicked, this, &NoteView::toggleFold);
    close_ = new CloseButton(header_);
    connect(close_, &QAbstractButton::clicked, this, [this] {
        if (app_ && note_) {
            app_->trash(note_);
        }
    });

    foldedRow_ = new FoldedRow(sheet_);

    strip_ = new ImageStrip(sheet_);
    connect(strip_, &ImageStrip::viewRequested, this, [this](int index) {
        if (app_ && note_) {
            app_->viewImages(note_, index);
        }
    });
    connect(strip_, &ImageStrip::removeRequested, this, [this](const QString& name) {
        if (app_ && note_) {
            app_->images().removeImage(note_, name);
        }
    });

    editor_ = new TextArea(sheet_);
    editor_->extendMenu = [this](QMenu& menu) { addReminderMenus(menu); };
    connect(editor_, &TextArea::edited, this, [this](const QString& text) {
        if (note_ && note_->text() != text) {
            note_->setText(text);
        }
    });
    connect(editor_, &TextArea::imagePasted, this, [this](const Images::Source& source) {
        if (app_ && note_) {
            app_->images().addImageFrom(note_, source);
        }
    });
    connect(editor_, &TextArea::textSizeAsked, this, [this](int step) {
        if (app_) {
            app_->sizes().stepTextScale(step);
        }
    });
    if (app_) {
        connect(app_, &AppController::changed, this, [this](Published::Field field) {
            if (field == Published::Field::TextScale) {
                editor_->applyTextScale();
                placeholder_->setFont(editor_->font());
                layoutParts();
            }
        });
    }

    placeholder_ = new QLabel(QCoreApplication::translate("Note", "New Note"), sheet_);
    placeholder_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont f = editor_->font();
    placeholder_->setFont(f);
    QPalette pal = placeholder_->palette();
    pal.setColor(QPalette::WindowText, paint::inkAt(0.38));
    placeholder_->setPalette(pal);
    placeholder_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    grip_ = new Grip(sheet_);
    dropHint_ = new DropHint(sheet_);
    dropHint_->hide();
}

// --- model -> view

void NoteView::onNoteChanged(NoteModel::Field field)
{
    using F = NoteModel::Field;
    switch (field) {
    case F::Peel:
    case F::Tilt:
    case F::Scale:
    case F::Opacity:
    case F::Crumpled:
        retargetEffects(field);
        break;
    case F::Hovering:
        hover_.animateTo(note_->hovering() ? 1 : 0);
        break;
    case F::Text:
        refreshText();
        refreshFoldedRow();
        contentChanged();
        break;
    case F::Folded:
        refreshFoldedRow();
        frameH_.animateTo(targetFrameHeight());
        layoutParts();
        contentChanged();
        break;
    case F::Images:
    case F::Incoming:
    case F::PaperW:
    case F::PaperH:
        refreshImages();
        refreshFoldedRow();
        frameH_.animateTo(targetFrameHeight());
        layoutParts();
        contentChanged();
        break;
    case F::Color:
    case F::SizeBadge:
        update();
        updateShapeMask();
        contentChanged();
        break;
    default:
        break;
    }
}

void NoteView::retargetEffects(NoteModel::Field field)
{
    using F = NoteModel::Field;
    switch (field) {
    case F::Peel:
        peel_.animateTo(note_->peel());
        break;
    case F::Tilt:
        tilt_.animateTo(note_->tilt());
        break;
    case F::Scale:
        scale_.animateTo(note_->scale());
        break;
    case F::Opacity:
        opacity_.animateTo(note_->opacity());
        break;
    case F::Crumpled:
        crumple_.animateTo(note_->crumpled() ? 1 : 0);
        break;
    default:
        break;
    }
    growForEffects();
}

noteview::NoteEffects NoteView::effects() const
{
    const double c = std::clamp(crumple_.value(), 0.0, 1.0);
    noteview::NoteEffects e;
    e.scale = lerp(scale_.value(), kCrumpleScale, c);
    e.peel = peel_.value();
    e.rotation = lerp(tilt_.value(), kCrumpleRotation, c);
    e.opacity = lerp(opacity_.value(), 0, c);
    e.blur = kCrumpleBlur * c;
    return e;
}

double NoteView::totalHeight() const
{
    if (!note_) {
        return 0;
    }
    return app_ ? app_->sizes().totalH(note_) : note_->paperH();
}

double NoteView::targetFrameHeight() const
{
    if (!note_) {
        return 0;
    }
    return note_->folded() ? foldedHeight : totalHeight();
}

QRectF NoteView::paperRect() const
{
    if (!note_) {
        return {};
    }
    // The note's frame is centred in the view (the controller keeps the window at that size)
    // and the paper sits `inset` inside its top and sides.
    const double winW = note_->paperW() + 2 * inset;
    const double winH = totalHeight() + 2 * inset;
    const QPointF outer((width() - winW) / 2, (height() - winH) / 2);
    return QRectF(outer + QPointF(inset, inset), QSizeF(note_->paperW(), frameH_.value()));
}

void NoteView::layoutParts()
{
    if (!note_) {
        return;
    }
    const QRectF paper = paperRect();
    const QRect sheet(
        QPoint(static_cast<int>(std::round(paper.x())), static_cast<int>(std::round(paper.y()))),
        QSize(static_cast<int>(std::round(paper.width())),
              static_cast<int>(std::round(paper.height()))));
    sheet_->setGeometry(sheet);
    const int w = sheet.width();
    const bool folded = note_->folded();

    // Folded, the header and the row are centred as one block in the 50-high paper.
    // The row's bold font is loaded only for a folded note: most notes never show it.
    const int rowH = folded ? foldedRow_->rowHeight() : 0;
    const int headerTop =
        folded ? static_cast<int>(std::round((foldedHeight - HeaderStrip::height - rowH) / 2)) : 0;
    header_->setGeometry(0, headerTop, w, HeaderStrip::height);
    close_->move(static_cast<int>(kCloseLeading), (HeaderStrip::height - CloseButton::side) / 2);

    foldedRow_->setVisible(folded);
    foldedRow_->setGeometry(0, headerTop + HeaderStrip::height, w, rowH);

    const bool hasImages = !note_->images().isEmpty() || !note_->incoming().isEmpty();
    const int area =
        hasImages && app_ ? static_cast<int>(std::round(app_->sizes().imagesAreaH(note_))) : 0;
    strip_->setVisible(!folded && hasImages);
    strip_->setGeometry(0, HeaderStrip::height, w, area);

    const int editorTop = HeaderStrip::height + area;
    const int editorBottom = static_cast<int>(std::round(totalHeight() - kEditorBottom));
    const QRect editorRect(static_cast<int>(kEditorSide), editorTop,
                           std::max(0, w - static_cast<int>(2 * kEditorSide)),
                           std::max(0, editorBottom - editorTop));
    editor_->setVisible(!folded);
    editor_->setGeometry(editorRect);
    placeholder_->setGeometry(editorRect.adjusted(TextArea::textIndent, 0, 0, 0));
    placeholder_->setVisible(!folded && note_->text().isEmpty());

    grip_->setVisible(!folded);
    grip_->move(w - Grip::margin - Grip::side, sheet.height() - Grip::margin - Grip::side);

    const int m = static_cast<int>(kDropHintMargin);
    dropHint_->setGeometry(QRect(0, 0, w, sheet.height()).adjusted(m, m, -m, -m));

    placeholder_->raise();
    grip_->raise();
    dropHint_->raise();
    updateShapeMask();
    updateInputRegion();
    update();
}

void NoteView::refreshText()
{
    if (!note_) {
        return;
    }
    editor_->setNoteText(note_->text());
    placeholder_->setVisible(!note_->folded() && note_->text().isEmpty());
    // Screen readers and window switchers name the note by its title.
    const QString title = note_->title();
    setAccessibleName(title);
    if (QWidget* frame = window(); frame != this) {
        frame->setWindowTitle(title);
    }
}

QString NoteView::foldedTitle() const
{
    // Only the first line is wanted, of what may be a hundred thousand.
    for (const QStringView piece : qTokenize(note_->text(), u'\n', Qt::SkipEmptyParts)) {
        return piece.toString();
    }
    return QCoreApplication::translate("Note", "New Note");
}

void NoteView::refreshFoldedRow()
{
    if (!note_) {
        return;
    }
    QImage thumbnail;
    if (note_->folded() && !note_->images().isEmpty()) {
        thumbnail = Images::shown(note_->images().first(), this, [this] { refreshFoldedRow(); });
    }
    foldedRow_->setContent(thumbnail, foldedTitle());
}

void NoteView::refreshImages()
{
    if (!note_ || !app_) {
        return;
    }
    const double tileW = note_->paperW() - 2 * ImageStrip::sideMargin;
    QList<ImageStrip::Entry> entries;
    const QStringList names = note_->images();
    for (int i = 0; i < names.size(); ++i) {
        // Read on the worker: until then, and while the file is still on its way from another
        // computer, the tile is a placeholder. An unreadable file gets no tile.
        if (!Images::shownSize(names.at(i)).isValid() && !Images::awaited(names.at(i))) {
            continue;
        }
        const QImage image = Images::shown(names.at(i), this, [this] { refreshImages(); });
        entries.append({names.at(i), i, image, app_->sizes().imageHeight(names.at(i), tileW)});
    }
    for (const QSize header : note_->incoming()) {
        entries.append({QString(), -1, QImage(), geometry::incomingHeight(header, tileW), true});
    }
    strip_->setEntries(entries, tileW, app_->sizes().stripH(note_),
                       app_->sizes().imagesAreaH(note_));
}

// --- effects

void NoteView::onEffectsMoved()
{
    const noteview::NoteEffects e = effects();
    if (e.isIdentity()) {
        if (snapshotMode_) {
            leaveSnapshot();
        }
        return;
    }
    growForEffects();
    if (!snapshotMode_) {
        enterSnapshot();
    } else if (snapshotDirty_) {
        grabSnapshot();
    }
    if (e.blur > 0 && blurred_.isNull() && !snapshot_.isNull()) {
        // Blurred once, at full strength; the crumple cross-fades into it.
        blurred_ = snapshot_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        paint::gaussianBlur(blurred_, kCrumpleBlur / 2 * snapshot_.devicePixelRatio());
        blurred_.setDevicePixelRatio(snapshot_.devicePixelRatio());
    }
    updateShapeMask();
    update();
}

// The curled paper widens towards its lower edge, past the window's margin at a strong curl:
// the window widens first (never narrowing while the effects last), so no edge is cut off.
void NoteView::growForEffects()
{
    auto* panel = qobject_cast<Panel*>(window());
    if (!panel || !note_) {
        return;
    }
    noteview::NoteEffects target;
    target.peel = note_->peel();
    target.rotation = note_->tilt();
    target.scale = note_->scale();
    const double needed = std::max(bleedFor(effects()), bleedFor(target));
    if (needed > platform::windowBleed(panel)) {
        platform::setWindowBleed(panel, std::ceil(needed));
    }
}

double NoteView::bleedFor(const noteview::NoteEffects& e) const
{
    if (e.isIdentity()) {
        return 0;
    }
    const double frameW = note_->paperW() + 2 * inset;
    const QRectF paper(inset, inset, note_->paperW(), frameH_.value());
    const QRectF drawn = noteview::effectTransform(e, paper).map(QPolygonF(paper)).boundingRect();
    const double half =
        std::max(paper.center().x() - drawn.left(), drawn.right() - paper.center().x());
    return std::max(0.0, half + kShadowRoom - frameW / 2);
}

void NoteView::enterSnapshot()
{
    grabSnapshot();
    snapshotMode_ = true;
    sheet_->setGraphicsEffect(new HiddenContent(sheet_));
    update();
}

void NoteView::leaveSnapshot()
{
    if (auto* panel = qobject_cast<Panel*>(window())) {
        platform::setWindowBleed(panel, 0);
    }
    snapshotMode_ = false;
    snapshotDirty_ = false;
    sheet_->setGraphicsEffect(nullptr);
    snapshot_ = QImage();
    blurred_ = QImage();
    updateShapeMask();
    update();
}

void NoteView::grabSnapshot()
{
    const qreal dpr = devicePixelRatioF();
    const QSize grabbed = size();
    const QSize pixels = (QSizeF(grabbed) * dpr).toSize();
    if (pixels.isEmpty()) {
        snapshot_ = QImage();
        return;
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        paintAtRest(p);
        // Rendered past the effect, not through it: a widget rendered through its own
        // graphics effect lands offset by its position a second time.
        QGraphicsEffect* hidden = sheet_->graphicsEffect();
        if (hidden) {
            hidden->setEnabled(false);
        }
        sheet_->render(&p, sheet_->pos(), QRegion(), QWidget::DrawChildren);
        if (hidden) {
            hidden->setEnabled(true);
        }
    }
    snapshot_ = image;
    blurred_ = QImage();
    snapshotDirty_ = false;
    ++snapshotsTaken_;
    // Rendering a hidden view first delivers the resize its window is waiting to show with (a
    // note pulled again, widened for its curl while tucked): the picture must have that size.
    if (size() != grabbed) {
        grabSnapshot();
    }
}

void NoteView::contentChanged()
{
    if (!snapshotMode_) {
        return;
    }
    snapshotDirty_ = true;
    if (!regrabQueued_) {
        // Re-taken once the change has settled into the widgets, not per keystroke event.
        regrabQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            regrabQueued_ = false;
            if (snapshotMode_ && snapshotDirty_) {
                grabSnapshot();
                update();
            }
        });
    }
}

void NoteView::updateShapeMask()
{
    auto* panel = qobject_cast<Panel*>(window());
    if (!panel || !note_ || platform::desktop().hasCompositor()) {
        return;
    }
    const QRectF paper = paperRect();
    QPainterPath outline = paint::paperPath(paper, note_->folded());
    if (snapshotMode_) {
        outline = effectTransform(effects(), paper).map(outline);
    }
    if (note_->sizeBadge()) {
        outline.addRect(badgeRect());
    }
    panel->setShapeMask(outline.translated(mapTo(panel, QPoint(0, 0))));
}

// Only the paper takes the pointer (and, unfolded, the resize handle reaching into the
// margin): a press on the transparent rest of the window belongs to what lies below.
void NoteView::updateInputRegion()
{
    auto* panel = qobject_cast<Panel*>(window());
    if (!panel || !note_) {
        return;
    }
    const QRect paper = sheet_->geometry().translated(mapTo(panel, QPoint(0, 0)));
    QRegion region(paper);
    if (!note_->folded()) {
        region += Panel::resizeHandle(QRectF(paper.topLeft(), QSizeF(paper.size())));
    }
    panel->setInputRegion(region);
}

// --- painting

void NoteView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (snapshotMode_) {
        const QRectF paper = paperRect();
        paintThroughEffects(p, effects(), paper, snapshot_, blurred_, kCrumpleBlur);
        return;
    }
    paintAtRest(p);
}

void NoteView::paintAtRest(QPainter& p) const
{
    if (!note_) {
        return;
    }
    paint::paintPaper(p, paperRect(), note_->folded(), note_->color());
    paintBadge(p);
}

QRectF NoteView::badgeRect() const
{
    if (!note_ || !note_->sizeBadge()) {
        return {};
    }
    const QFontMetricsF fm(badgeFont(font()));
    const double w = fm.horizontalAdvance(*note_->sizeBadge()) + 2 * kBadgePadding;
    const QRectF paper = paperRect();
    return QRectF(paper.center().x() - w / 2, paper.bottom() + kBadgeDrop - kBadgeHeight, w,
                  kBadgeHeight);
}

void NoteView::paintBadge(QPainter& p) const
{
    const QRectF r = badgeRect();
    if (r.isEmpty()) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(paint::continuousRect(r, r.height() / 2), QColor::fromRgbF(0, 0, 0, 0.75f));
    p.setFont(badgeFont(font()));
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, *note_->sizeBadge());
    p.restore();
}

void NoteView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutParts();
    if (snapshotMode_) {
        // A snapshot of the old size would be drawn out of place on the very next frame.
        grabSnapshot();
    }
}

void NoteView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (note_ && window() != this) {
        window()->setWindowTitle(note_->title());
    }
    growForEffects();
    layoutParts();
    syncHoverWithPointer();
    if (watchedWindow_ != window() && window() != this) {
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    // A new, empty note is ready for typing as soon as it appears.
    if (firstShow_ && note_ && note_->text().isEmpty() && !note_->folded()) {
        editor_->setFocus(Qt::OtherFocusReason);
    }
    firstShow_ = false;
}

// --- gestures

void NoteView::setHovering(bool hovering)
{
    if (!note_) {
        return;
    }
    motion::withAnimation(motion::Animation::easeOut(kHoverFade),
                          [&] { note_->setHovering(hovering); });
}

// A window hidden under the pointer never heard it leave: ask where the pointer is now.
void NoteView::syncHoverWithPointer()
{
    if (!note_) {
        return;
    }
    const QPoint local = sheet_->mapFromGlobal(platform::pointerInQt()).toPoint();
    const bool inside = sheet_->rect().contains(local);
    if (note_->hovering() != inside) {
        motion::withAnimation(motion::Animation::none(), [&] { note_->setHovering(inside); });
    }
    hover_.jump(inside ? 1 : 0);
}

bool NoteView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedWindow_ && event->type() == QEvent::Move) {
        windowMoved();
    }
    return QWidget::eventFilter(watched, event);
}

void NoteView::windowMoved()
{
    const quint64 move = ++moves_;
    motion::after(
        kHoverSettle,
        [this, move] {
            if (move == moves_ && isVisible() && note_) {
                const QPoint local = sheet_->mapFromGlobal(platform::pointerInQt()).toPoint();
                if (const bool inside = sheet_->rect().contains(local);
                    inside != note_->hovering()) {
                    setHovering(inside);
                }
            }
        },
        this);
}

std::unique_ptr<QMenu> NoteView::sizeMenu()
{
    auto menu = std::make_unique<QMenu>();
    const QPointer<NoteModel> note = note_;
    const QPointer<AppController> app = app_;
    auto act = [note, app](auto fn) {
        return [note, app, fn] {
            if (note && app) {
                fn(app.data(), note.data());
            }
        };
    };
    menu->addSection(QCoreApplication::translate("Note", "Size"));
    struct Preset {
        const char* text;
        double w;
        double h;
    };
    for (const Preset& preset : {Preset{QT_TRANSLATE_NOOP("Note", "Small  180 × 180"), 180, 180},
                                 Preset{QT_TRANSLATE_NOOP("Note", "Medium  220 × 220"), 220, 220},
                                 Preset{QT_TRANSLATE_NOOP("Note", "Large  320 × 360"), 320, 360}}) {
        const double w = preset.w;
        const double h = preset.h;
        QObject::connect(
            menu->addAction(QCoreApplication::translate("Note", preset.text)), &QAction::triggered,
            act([w, h](AppController* a, NoteModel* n) { a->sizes().setSize(n, w, h); }));
    }
    QObject::connect(menu->addAction(QCoreApplication::translate("Note", "Fit to Content")),
                     &QAction::triggered,
                     act([](AppController* a, NoteModel* n) { a->sizes().fitToContent(n); }));
    menu->addSeparator();
    const bool folded = note_ && note_->folded();
    QObject::connect(menu->addAction(folded ? QCoreApplication::translate("Note", "Unfold")
                                            : QCoreApplication::translate("Note", "Fold")),
                     &QAction::triggered,
                     act([](AppController* a, NoteModel* n) { a->toggleFold(n); }));
    QObject::connect(menu->addAction(QCoreApplication::translate("Note", "Tuck into Notch")),
                     &QAction::triggered,
                     act([](AppController* a, NoteModel* n) { a->putBack(n); }));
    menu->addSeparator();
    addReminderMenus(*menu);
    return menu;
}

void NoteView::addReminderMenus(QMenu& menu)
{
    if (!note_ || !app_) {
        return;
    }
    const QDateTime now = platform::now();
    reminderMenu::addBoth(menu, reminders::menuChoices(now),
                          note_->remindAt().value_or(now.addSecs(3600)),
                          note_->remindAt().has_value(), app_->reminders().reminding(note_),
                          app_->reminders().tuckingUntil(note_));
}

void NoteView::openSizeMenu(const QPoint& globalPos)
{
    const std::unique_ptr<QMenu> menu = sizeMenu();
    menu->exec(globalPos);
}

void NoteView::toggleFold()
{
    if (app_ && note_) {
        app_->toggleFold(note_);
    }
}

bool NoteView::acceptsDrop(const QMimeData* mime) const
{
    if (!mime) {
        return false;
    }
    if (mime->hasImage()) {
        return true;
    }
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
}

void NoteView::setDropping(bool dropping)
{
    if (dropping_ == dropping) {
        return;
    }
    dropping_ = dropping;
    dropHint_->setVisible(dropping);
}

void NoteView::dropImages(const QMimeData* mime)
{
    setDropping(false);
    const QPointer<NoteModel> note = note_;
    const QPointer<AppController> app = app_;
    if (note && app) {
        for (const Images::Source& source : droppedImages(mime)) {
            app->images().addImageFrom(note, source);
        }
    }
}
