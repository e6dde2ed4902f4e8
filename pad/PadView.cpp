#include "pad/PadView.h"

#include "controller/ClipboardOffer.h"
#include "controller/Gestures.h"
#include "controller/ImageQueue.h"
#include "controller/Transfers.h"
#include "model/NoteModel.h"
#include "pad/PadHitButton.h"
#include "pad/PadMenu.h"
#include "platform/Desktop.h"
#include "windows/Panel.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMenu>
#include <QTimer>

namespace {

// The island follows the pointer with this spring; the cards' lift with the quicker one.
motion::Animation hoverSpring()
{
    return motion::Animation::spring(0.38, 0.86);
}

motion::Animation cardSpring()
{
    return motion::Animation::spring(0.3, 0.8);
}

const char* const buttonHelp[pad::buttonCount] = {
    QT_TRANSLATE_NOOP("Pad", "All Notes"),
    QT_TRANSLATE_NOOP("Pad", "Screenshot to Note (Ctrl+Alt+S)"),
    QT_TRANSLATE_NOOP("Pad", "New Note")};

// Note fields that change which notes the pad peeks at or what their cards show.
bool showsOnCard(NoteModel::Field field)
{
    using F = NoteModel::Field;
    switch (field) {
    case F::Text:
    case F::Color:
    case F::Pinned:
    case F::Modified:
    case F::DeletedAt:
    case F::OnScreen:
    case F::Images:
        return true;
    default:
        return false;
    }
}

} // namespace

PadView::PadView(AppController* app, QWidget* parent)
    : QWidget(parent)
    , app_(app)
{
    setMouseTracking(true);
    setAcceptDrops(app_ != nullptr);
    setAccessibleName(QCoreApplication::translate("Pad", "Notes pad"));
    // When the window becomes active the keyboard lands on the island itself, not on a button;
    // Tab moves on to the buttons, the offer and the cards.
    setFocusPolicy(Qt::TabFocus);
    resize(static_cast<int>(pad::windowW), static_cast<int>(notchH() + pad::belowNotch));
    createControls();

    for (motion::AnimatedValue* value :
         {&slide_, &width_, &height_, &radius_, &hotness_, &wobble_}) {
        value->onChange = [this] { frameChanged(); };
    }
    if (app_ == nullptr) {
        return;
    }
    connect(app, &AppController::changed, this, &PadView::onAppChanged);
    // Announcements without a published value (a note pulled out of the pad).
    connect(app, &AppController::willChange, this, &PadView::refresh);
    connectNotes();
    slide_.jump(app_->revealed() ? 0 : -(notchH() + pad::belowNotch));
    wobble_.jump(app_->wobble());
    motion::withAnimation(motion::Animation::none(), [this] { refresh(); });
}

PadView::~PadView()
{
    for (const QMetaObject::Connection& c : std::as_const(noteConnections_)) {
        disconnect(c);
    }
}

void PadView::createControls()
{
    for (int i = 0; i < pad::buttonCount; ++i) {
        const QString help = QCoreApplication::translate("Pad", buttonHelp[i]);
        buttons_[i] = new PadHitButton(help, this);
        buttons_[i]->setToolTip(help);
    }
    connect(buttons_[0], &QAbstractButton::clicked, this, [this] {
        if (app_) {
            app_->toggleDashboard();
        }
    });
    connect(buttons_[1], &QAbstractButton::clicked, this, [this] {
        if (app_) {
            app_->images().captureScreenshot(nullptr);
        }
    });
    connect(buttons_[2], &QAbstractButton::clicked, this, &PadView::newNotePressed);

    offer_ = new PadHitButton(QCoreApplication::translate("Pad", "Paste screenshot as note"), this);
    connect(offer_, &QAbstractButton::clicked, this, &PadView::offerPressed);

    for (int i = 0; i < pad::maxCards; ++i) {
        cards_[i] = new PadHitButton(QString(), this);
        connect(cards_[i], &PadHitButton::pointerOver, this, [this, i] { cardPointer(i, true); });
        connect(cards_[i], &PadHitButton::pointerGone, this, [this, i] { cardPointer(i, false); });
        connect(cards_[i], &QAbstractButton::clicked, this, [this, i] { cardTapped(i); });
    }
    for (QAbstractButton* control : findChildren<PadHitButton*>()) {
        connect(control, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
        connect(control, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
    }
}

void PadView::connectNotes()
{
    for (const QMetaObject::Connection& c : std::as_const(noteConnections_)) {
        disconnect(c);
    }
    noteConnections_.clear();
    for (NoteModel* note : app_->notes()) {
        noteConnections_ << connect(note, &NoteModel::changed, this, [this](NoteModel::Field f) {
            if (showsOnCard(f)) {
                refresh();
            }
        });
    }
}

void PadView::onAppChanged(AppController::Field field)
{
    using F = AppController::Field;
    switch (field) {
    case F::Revealed: {
        const bool open = app_->revealed();
        slide_.setTarget(open ? 0 : -(notchH() + pad::belowNotch), motion::currentAnimation());
        if (!open && (hover_ || hoveredNote_)) {
            // The island slides away from under the pointer.
            setHover(false);
        }
        break;
    }
    case F::Wobble:
        wobble_.setTarget(app_->wobble(), motion::currentAnimation());
        break;
    case F::Notes:
        connectNotes();
        refresh();
        break;
    case F::PadHot:
    case F::ClipImage:
        retarget();
        break;
    case F::SavedFlash:
    case F::SaveFailure:
        update();
        break;
    case F::Folders:
    case F::TextScale:
        break;
    }
}

// The tucked notes changed (or may have): rebind the cards and resize the island.
void PadView::refresh()
{
    if (!app_) {
        return;
    }
    const QList<NoteModel*> peek = app_->peekNotes();
    count_ = app_->padCount();
    peek_.clear();
    std::map<QUuid, std::unique_ptr<CardMotion>> motions;
    for (int i = 0; i < peek.size(); ++i) {
        NoteModel* note = peek[i];
        peek_ << note;
        if (i < pad::maxCards) {
            cards_[i]->setAccessibleName(note->title());
        }
        // Notes copied within a notes file can share an id; they share its card state too.
        if (motions.count(note->id()) > 0) {
            continue;
        }
        auto found = cardMotion_.find(note->id());
        if (found != cardMotion_.end()) {
            motions[note->id()] = std::move(found->second);
        } else {
            auto fresh = std::make_unique<CardMotion>();
            fresh->hovered.jump(hoveredNote_ == note->id() ? 1 : 0);
            fresh->dimmed.jump(hoveredNote_ && hoveredNote_ != note->id() ? 1 : 0);
            fresh->hovered.onChange = [this] { update(); };
            fresh->dimmed.onChange = [this] { update(); };
            motions[note->id()] = std::move(fresh);
        }
    }
    cardMotion_ = std::move(motions);
    retarget();
}

// Moves the island's size, corners and fade towards what it should show now, with the
// animation of the change that led here.
void PadView::retarget()
{
    const pad::IslandContent c = content();
    const motion::Animation& animation = motion::currentAnimation();
    const QSizeF size = pad::islandSize(notchH(), c);
    width_.setTarget(size.width(), animation);
    height_.setTarget(size.height(), animation);
    radius_.setTarget(pad::islandRadius(c.hot), animation);
    hotness_.setTarget(c.hot ? 1 : 0, animation);
    if (c.hot) {
        shown_ = c;
    }
    placeControls();
    update();
}

void PadView::frameChanged()
{
    placeControls();
    scheduleShapes();
    update();
    // Sliding or growing, the island may come to lie under a still pointer; its last frame
    // most of all, when it reaches the top edge the pointer pushed against.
    hitTestPointer();
}

void PadView::setHover(bool hover)
{
    hover_ = hover;
    if (!hover) {
        setHoveredNote(std::nullopt);
    }
    retarget();
}

void PadView::hoverAt(QPointF pos)
{
    const bool inside = islandOutline().contains(pos);
    if (inside != hover_) {
        motion::withAnimation(hoverSpring(), [this, inside] { setHover(inside); });
    }
}

void PadView::setHoveredNote(const std::optional<QUuid>& id)
{
    hoveredNote_ = id;
    const motion::Animation& animation = motion::currentAnimation();
    for (auto& [noteId, m] : cardMotion_) {
        m->hovered.setTarget(id == noteId ? 1 : 0, animation);
        m->dimmed.setTarget(id && id != noteId ? 1 : 0, animation);
    }
    update();
}

// A card leaving clears the hover only if it is still its own, so moving straight from one
// card to the next leaves the next one hovered whichever event comes first.
void PadView::cardPointer(int index, bool over)
{
    if (index >= peek_.size() || !peek_[index]) {
        return;
    }
    const QUuid id = peek_[index]->id();
    if (over && hoveredNote_ != id) {
        motion::withAnimation(cardSpring(), [this, id] { setHoveredNote(id); });
    } else if (!over && hoveredNote_ == id) {
        motion::withAnimation(cardSpring(), [this] { setHoveredNote(std::nullopt); });
    }
}

void PadView::cardTapped(int index)
{
    if (index >= peek_.size() || !peek_[index] || !app_) {
        return;
    }
    const QPointer<NoteModel> note = peek_[index];
    setHoveredNote(std::nullopt);
    setHover(false);
    app_->drop(note);
}

void PadView::offerPressed()
{
    if (!app_) {
        return;
    }
    // Does nothing when the offer has been withdrawn since it was drawn.
    app_->clipOffer().paste();
}

void PadView::newNotePressed()
{
    if (!app_) {
        return;
    }
    if (NoteModel* note = app_->newNote(std::nullopt, QStringLiteral("yellow"))) {
        app_->drop(note);
    }
}

double PadView::notchH() const
{
    return app_ ? app_->notchH() : platform::desktop().statusBarThickness();
}

pad::IslandContent PadView::content() const
{
    pad::IslandContent c;
    const bool padHot = app_ && app_->padHot();
    c.hot = hover_ || padHot;
    const bool full = c.hot && !padHot;
    c.buttons = full;
    c.clip = full && !app_->clipOffer().image().isNull();
    c.cards = full ? static_cast<int>(std::min<qsizetype>(peek_.size(), pad::maxCards)) : 0;
    return c;
}

QSizeF PadView::islandSize() const
{
    return {std::max(0.0, width_.value()), std::max(0.0, height_.value())};
}

// The island hangs from the top edge of the view, centred.
QPointF PadView::islandOrigin() const
{
    return {(width() - islandSize().width()) / 2, slide_.value()};
}

QPainterPath PadView::islandOutline() const
{
    return pad::islandPath(islandSize(), radius_.value()).translated(islandOrigin());
}

const NoteModel* PadView::hoveredModel() const
{
    if (!hoveredNote_) {
        return nullptr;
    }
    for (const QPointer<NoteModel>& note : peek_) {
        if (note && note->id() == *hoveredNote_) {
            return note;
        }
    }
    return nullptr;
}

QString PadView::titleText() const
{
    return pad::titleText(hoveredModel(), count_);
}

pad::HintLine PadView::hint() const
{
    const bool padHot = app_ && app_->padHot();
    const bool saved = app_ && app_->savedFlash();
    const bool hovered = hoveredModel() != nullptr;
    if (const auto recovered = app_ ? app_->recoveredNotes() : std::nullopt;
        recovered && !padHot && !saved && !hovered && app_->saveFailure().isEmpty()) {
        return pad::recoveredLine(*recovered);
    }
    return pad::hintLine(padHot, saved, hovered, app_ ? app_->saveFailure() : QString());
}

void PadView::placeControls()
{
    const pad::IslandContent c = content();
    const QPointF origin = islandOrigin();
    const pad::ExpandedLayout l = pad::layoutExpanded(islandSize(), notchH(), c);
    const auto place = [origin](QWidget* w, bool visible, const QRectF& r) {
        if (visible) {
            w->setGeometry(r.translated(origin).toAlignedRect());
        }
        w->setVisible(visible);
    };
    for (int i = 0; i < pad::buttonCount; ++i) {
        place(buttons_[i], c.buttons, l.buttons[i]);
    }
    place(offer_, c.clip, l.clip);
    for (int i = 0; i < pad::maxCards; ++i) {
        place(cards_[i], i < c.cards, l.cards[i]);
    }
}

// Without a compositor the window is cut to the island, so nothing black shows around it; the
// open pad takes the pointer only over the island, so a note landed under the rest of its
// window can be grabbed at once.
void PadView::scheduleShapes()
{
    if (shapesPending_) {
        return;
    }
    shapesPending_ = true;
    QTimer::singleShot(0, this, [this] {
        shapesPending_ = false;
        applyShapes();
    });
}

void PadView::applyShapes()
{
    auto* panel = qobject_cast<Panel*>(window());
    if (panel == nullptr || panel->content() != this) {
        return;
    }
    if (!panel->drawnRegion) {
        panel->drawnRegion = [this] { return takesPointer(); };
    }
    if (!platform::desktop().hasCompositor()) {
        panel->setShapeMask(islandRegion(slide_.value()));
    }
    if (app_ && app_->revealed()) {
        panel->setInputRegion(takesPointer());
    }
}

// Where the open pad takes the pointer: the island as drawn and where it is sliding to, so the
// pointer that opened it is not lost while it slides in (a window system that reports the
// pointer only over our windows would take that for the pointer leaving).
QRegion PadView::takesPointer() const
{
    return islandRegion(slide_.value()) | islandRegion(slide_.target());
}

// The island at the given slide, in the window's coordinates.
QRegion PadView::islandRegion(double slide) const
{
    QTransform swing;
    swing.translate(width() / 2.0, slide);
    swing.rotate(wobble_.value());
    swing.translate(-islandSize().width() / 2, 0);
    const QPainterPath outline = swing.map(pad::islandPath(islandSize(), radius_.value()));
    QRegion region = QRegion(outline.toFillPolygon().toPolygon(), Qt::WindingFill) & rect();
    if (region.isEmpty()) {
        // An empty shape would uncut the window; a pixel beside it hides it all.
        region = QRegion(-2, -2, 1, 1);
    }
    return region.translated(mapTo(window(), QPoint(0, 0)));
}

// While the island slides, it may come to lie under a pointer that is not moving.
void PadView::hitTestPointer()
{
    if (hover_ || !app_ || app_->gestures().pullUnderWay() || !app_->revealed() || !isVisible()) {
        return;
    }
    const QPointF local = mapFromGlobal(platform::pointerInQt());
    if (rect().contains(local.toPoint()) && islandOutline().contains(local)) {
        motion::withAnimation(hoverSpring(), [this] { setHover(true); });
    }
}

// A press while the island is still sliding in is judged against where it is going, so a
// quick reach for the pad is not lost to the animation.
bool PadView::onIsland(QPointF p) const
{
    const QPainterPath settled =
        pad::islandPath(islandSize(), radius_.value())
            .translated((width() - islandSize().width()) / 2, slide_.target());
    return islandOutline().contains(p) || settled.contains(p);
}

void PadView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !app_ || !onIsland(event->position())) {
        event->ignore();
        return;
    }
    app_->gestures().padDragChanged();
}

void PadView::mouseMoveEvent(QMouseEvent* event)
{
    if (app_ && app_->gestures().pullUnderWay() && (event->buttons() & Qt::LeftButton)) {
        app_->gestures().padDragChanged();
    }
    hoverAt(event->position());
}

void PadView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !app_ || !app_->gestures().pullUnderWay()) {
        event->ignore();
        return;
    }
    app_->gestures().padDragEnded(event->timestamp());
}

void PadView::enterEvent(QEnterEvent* event)
{
    hoverAt(event->position());
}

void PadView::leaveEvent(QEvent*)
{
    if (hover_) {
        motion::withAnimation(hoverSpring(), [this] { setHover(false); });
    }
}

// Text, links, pictures and files dropped on the island become notes in the pad.
void PadView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!app_ || !Transfers::canMakeNote(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    hoverAt(event->position());
}

void PadView::dragMoveEvent(QDragMoveEvent* event)
{
    hoverAt(event->position());
    if (onIsland(event->position())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PadView::dragLeaveEvent(QDragLeaveEvent*)
{
    leaveEvent(nullptr);
}

void PadView::dropEvent(QDropEvent* event)
{
    if (app_ && onIsland(event->position()) && app_->transfers().noteFromDrop(*event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PadView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!onIsland(QPointF(event->pos()))) {
        event->ignore();
        return;
    }
    // Not our child: whatever the menu's action does, the menu never outlives its parent.
    QMenu menu;
    fillPadMenu(menu, app_);
    menu.exec(event->globalPos());
}

void PadView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeControls();
    scheduleShapes();
}
