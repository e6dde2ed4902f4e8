#include "dashboard/NoteEditor.h"

#include "controller/AppController.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "controller/Reminders.h"
#include "dashboard/AddAnotherButton.h"
#include "dashboard/BarWidget.h"
#include "dashboard/ChecklistEdit.h"
#include "dashboard/DashListView.h"
#include "dashboard/DropOverlay.h"
#include "dashboard/ImageTile.h"
#include "dashboard/SwatchButton.h"
#include "dashboard/Theme.h"
#include "dashboard/ThemedIcon.h"
#include "model/FolderNames.h"
#include "model/ImageWork.h"
#include "model/Images.h"
#include "model/LongText.h"
#include "model/NoteGeometry.h"
#include "model/RelativeTime.h"
#include "model/ReminderTimes.h"
#include "paint/Destructive.h"
#include "paint/Palette.h"
#include "platform/Clock.h"
#include "windows/ReminderMenu.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

namespace {

const QColor secondary = QColor::fromRgbF(0, 0, 0, 0.5f);
// The height the text keeps however many images the note has: a few lines with its margins.
constexpr int textMinimum = 96;

// "January 5, 2026 at 3:45 PM": the locale's long date without the weekday, then its short
// time.
QString longDateShortTime(const QDateTime& when)
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("dddd[,\\s]*")));
    format.remove(QRegularExpression(QStringLiteral("[,\\s]*dddd")));
    const QDateTime local = when.toLocalTime();
    const QString joiner =
        locale.language() == QLocale::English ? QStringLiteral(" at ") : QStringLiteral(", ");
    return locale.toString(local.date(), format.trimmed()) + joiner +
           timeOfDay(local.time(), locale);
}

QToolButton* toolButton(paint::Glyph symbol, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(dash::themedIcon(symbol, paint::ink));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QToolButton* labelledButton(paint::Glyph symbol, const QString& label, const QString& tip,
                            QWidget* parent)
{
    QToolButton* button = toolButton(symbol, tip, parent);
    button->setText(label);
    button->setAccessibleName(label);
    button->setAccessibleDescription(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

// The on-screen button's width for `label`: style-sheet buttons under-measure an icon beside
// bold text, so it is sized by hand.
int mainButtonWidth(const QFont& font, const QString& label)
{
    QFont bold = font;
    bold.setWeight(QFont::DemiBold);
    return QFontMetrics(bold).horizontalAdvance(label) + 14 + 6 + 22 + 6;
}

QString screenLabel(bool onScreen)
{
    return onScreen ? QCoreApplication::translate("Editor", "Tuck into Notch")
                    : QCoreApplication::translate("Editor", "Stick on Screen");
}

// The document's text with its paragraph breaks as line feeds, and nothing else changed
// (toPlainText() would also turn no-break spaces into spaces).
QString documentText(const QPlainTextEdit* edit)
{
    QString raw = edit->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n');
    return raw;
}

} // namespace

NoteEditor::NoteEditor(NoteModel* note, AppController* app, std::function<void()> deselect,
                       QWidget* parent)
    : QWidget(parent)
    , note_(note)
    , app_(app)
    , deselect_(std::move(deselect))
{
    setAcceptDrops(true);
    setAccessibleName(QCoreApplication::translate("Editor", "Note editor"));
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, paint::ink);
    pal.setColor(QPalette::ButtonText, paint::ink);
    setPalette(pal);

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addWidget(buildToolbar());
    layout_->addWidget(buildDeletedBar());

    modified_ = new QLabel(this);
    QFont small = font();
    small.setPixelSize(11);
    modified_->setFont(small);
    modified_->setAlignment(Qt::AlignCenter);
    modified_->setContentsMargins(0, 10, 0, 0);
    QPalette dim = modified_->palette();
    dim.setColor(QPalette::WindowText, secondary);
    modified_->setPalette(dim);
    layout_->addWidget(modified_);

    imageArea_ = new QScrollArea(this);
    imageArea_->setFrameShape(QFrame::NoFrame);
    imageArea_->setWidgetResizable(true);
    imageArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette clear = imageArea_->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    clear.setColor(QPalette::Base, Qt::transparent);
    imageArea_->setPalette(clear);
    imageArea_->setAutoFillBackground(false);
    imageArea_->viewport()->setAutoFillBackground(false);
    imageArea_->setAccessibleName(QCoreApplication::translate("Editor", "Images"));
    imageArea_->verticalScrollBar()->setStyleSheet(DashListView::slimScrollBarStyle(false));
    imageSpacer_ = new QWidget(this);
    imageSpacer_->setFixedHeight(8);
    layout_->addWidget(imageSpacer_);
    layout_->addWidget(imageArea_);

    text_ = new ChecklistEdit(this);
    text_->setFrameShape(QFrame::NoFrame);
    // Tab leaves the text for the next control, so the keyboard can go round the window.
    text_->setTabChangesFocus(true);
    applyTextScale();
    // A style sheet sets the text's colour from the platform theme unless it names one.
    text_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; color: %1; }")
                             .arg(paint::ink.name()));
    text_->viewport()->setAutoFillBackground(false);
    QPalette textPal = text_->palette();
    textPal.setColor(QPalette::Text, paint::ink);
    textPal.setColor(QPalette::Base, Qt::transparent);
    text_->setPalette(textPal);
    text_->setAccessibleName(QCoreApplication::translate("Editor", "Note text"));
    text_->viewport()->installEventFilter(this);
    text_->installEventFilter(this); // the notes' text size keys
    if (app_) {
        connect(app_, &AppController::changed, this, [this](Published::Field field) {
            if (field == Published::Field::TextScale) {
                applyTextScale();
            }
        });
    }
    auto* textBox = new QWidget(this);
    auto* textLayout = new QVBoxLayout(textBox);
    textLayout->setContentsMargins(24, 8, 24, 8); // plus the document's own 4-pixel margin
    textLayout->addWidget(text_);
    textBox->setMinimumHeight(textMinimum);
    layout_->addWidget(textBox, 1);

    overlay_ = new DropOverlay(this);
    overlay_->hide();

    if (note_) {
        syncing_ = true;
        showText(note_->text());
        syncing_ = false;
        connect(note_, &NoteModel::changed, this, &NoteEditor::onNoteChanged);
    }
    connect(text_, &QPlainTextEdit::textChanged, this, &NoteEditor::pushTextToNote);

    syncHeader();
    syncColor();
    syncPin();
    syncReminder();
    syncOnScreen();
    syncModified();
    buildImages();
    // On the note's paper in either appearance: the light colours, whatever the dashboard's.
    dash::holdPalette(this, dash::palette(dash::theme(false), QGuiApplication::palette()));
}

NoteEditor::~NoteEditor() = default;

QWidget* NoteEditor::buildToolbar()
{
    toolbar_ = new BarWidget(this);
    toolbar_->setAccessibleName(QCoreApplication::translate("Editor", "Note toolbar"));
    toolbarRows_ = new QBoxLayout(QBoxLayout::LeftToRight, toolbar_);
    toolbarRows_->setContentsMargins(16, 10, 16, 10);
    toolbarRows_->setSpacing(12);
    identityRow_ = new QHBoxLayout;
    identityRow_->setSpacing(12);
    toolbarRows_->addLayout(identityRow_);
    actionsRow_ = new QHBoxLayout;
    actionsRow_->setSpacing(12);
    toolbarRows_->addLayout(actionsRow_);

    buildIdentityControls();
    buildActionControls();
    // The note's look on the left, what to do with it on the right, in one row or two.
    identityRow_->addStretch(1);
    actionsRow_->insertStretch(0, 1);
    for (QWidget* control : toolbar_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    return toolbar_;
}

void NoteEditor::buildIdentityControls()
{
    for (const QString& name : paint::colorNames()) {
        auto* swatch = new SwatchButton(name, toolbar_);
        connect(swatch, &QAbstractButton::clicked, this, [this, name] {
            if (note_) {
                note_->setColor(name);
            }
        });
        swatches_ << swatch;
        identityRow_->addWidget(swatch);
    }

    auto* divider = new QFrame(toolbar_);
    divider->setFixedSize(1, 16);
    divider->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 40);"));
    identityRow_->addWidget(divider);

    folderButton_ = new QToolButton(toolbar_);
    folderButton_->setAutoRaise(true);
    folderButton_->setIcon(dash::themedIcon(paint::Glyph::Folder, paint::ink));
    folderButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    folderButton_->setPopupMode(QToolButton::InstantPopup);
    folderButton_->setAccessibleDescription(QCoreApplication::translate("Editor", "Folder"));
    auto* menu = new QMenu(folderButton_);
    connect(menu, &QMenu::aboutToShow, this, &NoteEditor::fillFolderMenu);
    folderButton_->setMenu(menu);
    identityRow_->addWidget(folderButton_);

    pinButton_ =
        toolButton(paint::Glyph::Pin, QCoreApplication::translate("Editor", "Pin"), toolbar_);
    connect(pinButton_, &QToolButton::clicked, this, [this] {
        if (note_) {
            note_->setPinned(!note_->pinned());
        }
    });
    identityRow_->addWidget(pinButton_);

    remindButton_ = toolButton(paint::Glyph::Clock,
                               QCoreApplication::translate("Reminder", "Remind Me…"), toolbar_);
    remindButton_->setPopupMode(QToolButton::InstantPopup);
    auto* reminderMenu = new QMenu(remindButton_);
    connect(reminderMenu, &QMenu::aboutToShow, this, &NoteEditor::fillReminderMenu);
    remindButton_->setMenu(reminderMenu);
    identityRow_->addWidget(remindButton_);
}

void NoteEditor::buildActionControls()
{
    QToolButton* trash =
        toolButton(paint::Glyph::Trash,
                   QCoreApplication::translate("Editor", "Move to Recently Deleted"), toolbar_);
    trash->setObjectName(QStringLiteral("trash"));
    connect(trash, &QToolButton::clicked, this, &NoteEditor::trashNote);
    actionsRow_->addWidget(trash);

    QToolButton* addImage =
        labelledButton(paint::Glyph::Photo, QCoreApplication::translate("Editor", "Add Image"),
                       QCoreApplication::translate(
                           "Editor", "Add images from your computer (or drop / paste them)"),
                       toolbar_);
    connect(addImage, &QToolButton::clicked, this, [this] {
        if (app_ && note_) {
            app_->images().chooseImages(note_);
        }
    });
    actionsRow_->addWidget(addImage);

    QToolButton* screenshot = labelledButton(
        paint::Glyph::Camera, QCoreApplication::translate("Editor", "Screenshot"),
        QCoreApplication::translate("Editor", "Capture part of the screen into this note"),
        toolbar_);
    connect(screenshot, &QToolButton::clicked, this, [this] {
        if (app_ && note_) {
            app_->images().captureScreenshot(note_);
        }
    });
    actionsRow_->addWidget(screenshot);
    labelled_ = {addImage, screenshot};

    screenButton_ = new QPushButton(toolbar_);
    screenButton_->setObjectName(QStringLiteral("mainAction"));
    screenButton_->setCursor(Qt::PointingHandCursor);
    screenButton_->setIconSize(QSize(14, 14));
    screenButton_->setStyleSheet(QStringLiteral(
        "QPushButton { background: rgba(20, 18, 14, 225); color: white; border: none;"
        " border-radius: 6px; padding: 5px 11px; font-weight: 600; }"
        "QPushButton:hover { background: rgba(20, 18, 14, 245); }"
        "QPushButton:pressed { background: rgba(20, 18, 14, 170); }"
        "QPushButton:focus { border: 2px solid palette(highlight); padding: 3px 9px; }"));
    connect(screenButton_, &QPushButton::clicked, this, [this] {
        if (!app_ || !note_) {
            return;
        }
        if (note_->onScreen()) {
            app_->putBack(note_);
        } else {
            app_->drop(note_);
        }
    });
    actionsRow_->addWidget(screenButton_);
}

QWidget* NoteEditor::buildDeletedBar()
{
    deletedBar_ = new BarWidget(this);
    deletedBar_->setAccessibleName(QCoreApplication::translate("Editor", "Recently Deleted bar"));
    auto* row = new QHBoxLayout(deletedBar_);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(8);

    auto* icon = new QLabel(deletedBar_);
    icon->setPixmap(paint::glyphIcon(paint::Glyph::Trash, secondary, 16).pixmap(16, 16));
    row->addWidget(icon);
    auto* label = new QLabel(
        QCoreApplication::translate("Editor", "This note is in Recently Deleted."), deletedBar_);
    QPalette dim = label->palette();
    dim.setColor(QPalette::WindowText, secondary);
    label->setPalette(dim);
    row->addWidget(label);
    row->addStretch(1);

    auto* restore = new QPushButton(QCoreApplication::translate("Editor", "Restore"), deletedBar_);
    connect(restore, &QPushButton::clicked, this, [this] {
        if (app_ && note_) {
            app_->restore(note_);
        }
    });
    row->addWidget(restore);

    auto* forever =
        new QPushButton(QCoreApplication::translate("Editor", "Delete Forever"), deletedBar_);
    paint::markDestructive(forever);
    connect(forever, &QPushButton::clicked, this, &NoteEditor::deleteNoteForever);
    row->addWidget(forever);
    return deletedBar_;
}

void NoteEditor::buildImages()
{
    // The old tiles may be inside a handler of their own (the menu that removed an image):
    // they go once the event is over, never under its feet.
    if (QWidget* old = imageArea_->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    const QStringList names = note_ ? note_->images() : QStringList();
    const qsizetype coming = note_ ? note_->incoming().size() : 0;
    imageSpacer_->setVisible(!names.isEmpty() || coming > 0);
    if (names.isEmpty() && coming == 0) {
        imageArea_->hide();
        imageArea_->setWidget(new QWidget);
        return;
    }
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(28, 6, 28, 6);
    column->setSpacing(10);
    for (int index = 0; index < names.size(); ++index) {
        // Read on the worker; the tiles are built again once it is ready.
        const QImage image = Images::shown(names[index], this, [this] { buildImages(); });
        const bool waiting = image.isNull() && (Images::awaited(names[index]) ||
                                                Images::shownSize(names[index]).isValid());
        if (image.isNull() && !waiting) {
            continue;
        }
        auto* tile = new ImageTile(waiting ? ImageTile::placeholder() : image, content);
        tile->setAccessibleName(QCoreApplication::translate("Dashboard", "Image %1 of %2")
                                    .arg(index + 1)
                                    .arg(names.size()));
        const QString& name = names[index];
        // A picture not there (yet) has nothing to view, but it can be removed: a file lost for
        // good would otherwise hold its grey place forever.
        connect(tile, &QAbstractButton::clicked, this, [this, index, waiting] {
            if (app_ && note_ && !waiting) {
                app_->viewImages(note_, index);
            }
        });
        tile->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tile, &QWidget::customContextMenuRequested, this,
                [this, tile, name](QPoint at) { showTileMenu(tile, at, name); });
        column->addWidget(tile, 0, Qt::AlignHCenter);
    }
    // Pictures still being stored hold their places, in the order they will arrive.
    for (qsizetype i = 0; i < coming; ++i) {
        auto* tile = new ImageTile(ImageTile::placeholder(), content);
        tile->setAccessibleName(QCoreApplication::translate("Dashboard", "Adding image"));
        tile->setEnabled(false);
        column->addWidget(tile, 0, Qt::AlignHCenter);
    }
    auto* another = new AddAnotherButton(content);
    connect(another, &QAbstractButton::clicked, this, [this] {
        if (app_ && note_) {
            app_->images().chooseImages(note_);
        }
    });
    column->addWidget(another);
    imageArea_->setWidget(content);
    content->setAutoFillBackground(false); // setWidget() turns it on: the paper shows through
    imageArea_->show();
    fitImages();
}

void NoteEditor::showTileMenu(QWidget* tile, QPoint at, const QString& name)
{
    QMenu menu;
    QAction* remove = menu.addAction(QCoreApplication::translate("Editor", "Remove Image"));
    paint::markDestructive(remove);
    // The menu runs its own event loop: the note, or this editor, may be gone when it closes.
    const QPointer<NoteEditor> alive(this);
    if (menu.exec(tile->mapToGlobal(at)) == remove && alive && app_ && note_) {
        app_->images().removeImage(note_, name);
    }
}

void NoteEditor::onNoteChanged(NoteModel::Field field)
{
    switch (field) {
    case NoteModel::Field::Text:
        syncTextFromNote();
        break;
    case NoteModel::Field::Color:
        syncColor();
        break;
    case NoteModel::Field::Folder:
        fitToolbar();
        break;
    case NoteModel::Field::Pinned:
        syncPin();
        break;
    case NoteModel::Field::RemindAt:
        syncReminder();
        break;
    case NoteModel::Field::DeletedAt:
        syncHeader();
        break;
    case NoteModel::Field::OnScreen:
        syncOnScreen();
        break;
    case NoteModel::Field::Images:
    case NoteModel::Field::Incoming:
        buildImages();
        break;
    case NoteModel::Field::Modified:
        syncModified();
        break;
    default:
        break; // presentation fields of the on-screen note do not show here
    }
}

void NoteEditor::syncHeader()
{
    const bool deleted = note_ && note_->deletedAt().has_value();
    toolbar_->setVisible(!deleted);
    deletedBar_->setVisible(deleted);
    syncEditable();
    fitToolbar();
    fitImages(); // the two bars differ in height
}

void NoteEditor::syncColor()
{
    const QString color = note_ ? note_->color() : QString();
    for (SwatchButton* swatch : swatches_) {
        swatch->setCurrent(swatch->colorName() == color);
    }
    update();
}

void NoteEditor::syncPin()
{
    const bool pinned = note_ && note_->pinned();
    pinButton_->setIcon(
        dash::themedIcon(pinned ? paint::Glyph::PinFill : paint::Glyph::Pin, paint::ink));
    pinButton_->setToolTip(pinned ? QCoreApplication::translate("Editor", "Unpin")
                                  : QCoreApplication::translate("Editor", "Pin"));
    pinButton_->setAccessibleName(pinButton_->toolTip());
}

// The reminder's time beside its clock while one is set.
void NoteEditor::syncReminder()
{
    const std::optional<QDateTime> at = note_ ? note_->remindAt() : std::nullopt;
    const QString when = at ? reminders::label(*at, platform::now()) : QString();
    remindButton_->setText(when);
    remindButton_->setToolButtonStyle(at ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    remindButton_->setToolTip(at ? when : QCoreApplication::translate("Reminder", "Remind Me…"));
    remindButton_->setAccessibleName(remindButton_->toolTip());
    fitToolbar();
}

void NoteEditor::fillReminderMenu()
{
    QMenu* menu = remindButton_->menu();
    menu->clear();
    if (!note_ || !app_) {
        return;
    }
    const QDateTime now = platform::now();
    reminderMenu::addBoth(*menu, reminders::menuChoices(now),
                          note_->remindAt().value_or(now.addSecs(3600)),
                          note_->remindAt().has_value(), app_->reminders().reminding(note_),
                          app_->reminders().tuckingUntil(note_));
}

void NoteEditor::syncOnScreen()
{
    const bool onScreen = note_ && note_->onScreen();
    const QString label = onScreen ? QCoreApplication::translate("Editor", "Tuck into Notch")
                                   : QCoreApplication::translate("Editor", "Stick on Screen");
    screenButton_->setAccessibleName(label);
    screenButton_->setToolTip(label);
    fitToolbar();
    screenButton_->setIcon(paint::glyphIcon(
        onScreen ? paint::Glyph::ArrowUpToLine : paint::Glyph::TwoWindows, Qt::white, 14));
}

void NoteEditor::syncModified()
{
    if (note_) {
        modified_->setText(longDateShortTime(note_->modified()));
    }
}

void NoteEditor::syncTextFromNote()
{
    if (syncing_ || !note_ ||
        (partial_.isNull() ? documentText(text_) : partial_) == note_->text()) {
        return;
    }
    // Someone else changed the text (the note on the desktop): take it, keeping the cursor
    // and the scroll position where they were as far as the new text allows.
    QTextCursor cursor = text_->textCursor();
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    const int scroll = text_->verticalScrollBar()->value();
    syncing_ = true;
    showText(note_->text());
    syncing_ = false;
    const int end = text_->document()->characterCount() - 1;
    cursor = QTextCursor(text_->document());
    cursor.setPosition(std::clamp(anchor, 0, end));
    cursor.setPosition(std::clamp(position, 0, end), QTextCursor::KeepAnchor);
    text_->setTextCursor(cursor);
    text_->verticalScrollBar()->setValue(scroll);
}

void NoteEditor::showText(const QString& text)
{
    const bool tooLong = longtext::tooLongToEdit(text.size());
    partial_ = tooLong ? text : QString();
    text_->setPlainText(tooLong ? longtext::shownPart(text) : text);
    syncEditable();
}

// A deleted note's text is out of reach; a note too long to edit can still be read and copied.
void NoteEditor::syncEditable()
{
    const bool deleted = note_ && note_->deletedAt().has_value();
    const bool partial = !partial_.isNull();
    text_->setReadOnly(deleted || partial);
    text_->setTextInteractionFlags(deleted ? Qt::NoTextInteraction
                                   : partial
                                       ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                       : Qt::TextEditorInteraction);
}

void NoteEditor::pushTextToNote()
{
    if (syncing_ || !note_ || note_->deletedAt() || !partial_.isNull()) {
        return;
    }
    const QString text = documentText(text_);
    if (text != note_->text()) {
        syncing_ = true;
        note_->setText(text);
        syncing_ = false;
    }
}

void NoteEditor::fillFolderMenu()
{
    QMenu* menu = folderButton_->menu();
    menu->clear();
    if (!app_) {
        return;
    }
    for (const QString& name : app_->folders()) {
        QAction* action = menu->addAction(FolderNames::shown(name));
        action->setCheckable(true);
        action->setChecked(note_ && note_->folder() == name);
        connect(action, &QAction::triggered, this, [this, name] {
            if (note_) {
                note_->setFolder(name);
            }
        });
    }
}

void NoteEditor::trashNote()
{
    // The deselect replaces this editor: hold on to what the operation needs first.
    QPointer<AppController> app = app_;
    QPointer<NoteModel> note = note_;
    if (deselect_) {
        deselect_();
    }
    if (app && note) {
        app->trash(note);
        Q_EMIT trashed(note);
    }
}

void NoteEditor::deleteNoteForever()
{
    QPointer<AppController> app = app_;
    QPointer<NoteModel> note = note_;
    if (deselect_) {
        deselect_();
    }
    if (app && note) {
        app->deleteForever(note);
    }
}

void NoteEditor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), paint::paperGradient(note_ ? note_->color() : QString(), rect()));
}

void NoteEditor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    overlay_->setGeometry(rect());
    fitToolbar();
    fitImages();
}

namespace {

// The width a row of fixed-size controls asks for.
int rowWidth(const QBoxLayout* row)
{
    int width = 0;
    int controls = 0;
    for (int i = 0; i < row->count(); ++i) {
        if (const QWidget* control = row->itemAt(i)->widget(); control && !control->isHidden()) {
            width += control->sizeHint().width();
            ++controls;
        }
    }
    return width + std::max(0, controls - 1) * row->spacing();
}

} // namespace

int NoteEditor::narrowestWidth(const QFont& font)
{
    QToolButton icon;
    icon.setIcon(dash::themedIcon(paint::Glyph::Trash, paint::ink));
    icon.setIconSize(QSize(16, 16));
    icon.setAutoRaise(true);
    constexpr int buttons = 3, spacing = 12, margins = 16 + 16;
    const int main = std::max(mainButtonWidth(font, screenLabel(false)),
                              mainButtonWidth(font, screenLabel(true)));
    return margins + buttons * (icon.sizeHint().width() + spacing) + main;
}

void NoteEditor::fitToolbar()
{
    // A narrow pane keeps every control whole. Least important first: "Add Image" and
    // "Screenshot" show their icons only (their names stay in the tooltips and for screen
    // readers), then the actions take a second row with their names back, then lose them
    // again, and last the folder's name is shortened. The on-screen button keeps its name.
    const QString label = screenLabel(note_ && note_->onScreen());
    screenButton_->setText(label);
    screenButton_->setFixedWidth(mainButtonWidth(screenButton_->font(), label));
    const QString folder = note_ ? FolderNames::shown(note_->folder()) : QString();
    folderButton_->setText(folder);
    folderButton_->setToolTip(folder);
    folderButton_->setAccessibleName(folder);

    const QMargins m = toolbarRows_->contentsMargins();
    const int room = width() - m.left() - m.right();
    // Labels go last: a wider window never shows fewer words than a narrower one did.
    const std::array<std::pair<bool, bool>, 4> steps{
        {{true, true}, {false, true}, {true, false}, {false, false}}};
    for (const auto& [oneRow, labels] : steps) {
        for (QToolButton* button : labelled_) {
            button->setToolButtonStyle(labels ? Qt::ToolButtonTextBesideIcon
                                              : Qt::ToolButtonIconOnly);
        }
        const int identity = rowWidth(identityRow_);
        const int actions = rowWidth(actionsRow_);
        const int needed =
            oneRow ? identity + toolbarRows_->spacing() + actions : std::max(identity, actions);
        toolbarRows_->setDirection(oneRow ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
        toolbarRows_->setSpacing(oneRow ? 12 : 8);
        if (needed <= room) {
            break;
        }
    }
    shortenFolderName(room);
}

void NoteEditor::shortenFolderName(int room)
{
    const int over = rowWidth(identityRow_) - room;
    if (over <= 0) {
        return;
    }
    const QString folder = folderButton_->text();
    const QFontMetrics metrics(folderButton_->font());
    const int keep = std::max(0, metrics.horizontalAdvance(folder) - over);
    folderButton_->setText(metrics.elidedText(folder, Qt::ElideRight, keep));
}

void NoteEditor::fitImages()
{
    if (!imageArea_->widget() || imageArea_->isHidden()) {
        return;
    }
    const int available = std::max(60, width() - 56 - 12);
    int height = 12;
    for (ImageTile* tile : imageArea_->widget()->findChildren<ImageTile*>()) {
        const QSizeF size = tile->fittedSize(available);
        tile->setFixedSize(std::max(1, int(std::ceil(size.width()))),
                           int(std::ceil(size.height())) + 8);
        height += tile->height() + 10;
    }
    height += 30;
    // The images scroll rather than push the text under them: the text keeps a few lines.
    const QWidget* bar = deletedBar_->isHidden() ? toolbar_ : deletedBar_;
    const int room = this->height() - bar->sizeHint().height() - modified_->sizeHint().height() -
                     imageSpacer_->height() - textMinimum;
    imageArea_->setFixedHeight(std::max(0, std::min({330, height, room})));
}

bool NoteEditor::acceptsDrag(const QMimeData* mime) const
{
    return mime && (mime->hasUrls() || mime->hasImage());
}

void NoteEditor::setDropping(bool dropping)
{
    dropping_ = dropping;
    overlay_->setVisible(dropping);
    if (dropping) {
        overlay_->raise();
    }
}

bool NoteEditor::dropImages(const QMimeData* mime)
{
    if (!note_ || !app_ || note_->deletedAt()) {
        return false;
    }
    // The note, not this pane, receives what finishes loading: the user may have moved on.
    for (const Images::Source& source : droppedImages(mime)) {
        app_->images().addImageFrom(note_, source);
    }
    return true;
}

void NoteEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDrag(event->mimeData())) {
        setDropping(true);
        event->acceptProposedAction();
    }
}

void NoteEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrag(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void NoteEditor::dragLeaveEvent(QDragLeaveEvent*)
{
    setDropping(false);
}

void NoteEditor::dropEvent(QDropEvent* event)
{
    setDropping(false);
    if (dropImages(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}

void NoteEditor::applyTextScale()
{
    QFont body = font();
    body.setPixelSize(geometry::textPixelSize(15));
    text_->setFont(body);
}

bool NoteEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::KeyPress && app_) {
        if (const auto step = NoteSizes::textSizeStep(*static_cast<QKeyEvent*>(event))) {
            app_->sizes().stepTextScale(*step);
            return true;
        }
    }
    // The text view would take a dropped file as its path: images and files belong to the
    // pane; plain text drags stay with the text.
    if (watched == text_->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (acceptsDrag(drag->mimeData())) {
                if (event->type() == QEvent::DragEnter) {
                    setDropping(true);
                }
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::DragLeave:
            if (dropping_) {
                setDropping(false);
            }
            break;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (acceptsDrag(drop->mimeData())) {
                dropEvent(drop);
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
