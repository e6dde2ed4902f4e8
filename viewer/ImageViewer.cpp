#include "viewer/ImageViewer.h"

#include "controller/AppController.h"
#include "controller/ClipboardOffer.h"
#include "controller/ImageQueue.h"
#include "model/Images.h"
#include "model/NoteModel.h"
#include "paint/Blur.h"
#include "paint/Shapes.h"
#include "platform/Desktop.h"
#include "platform/DialogFolder.h"
#include "platform/Log.h"
#include "platform/Services.h"
#include "viewer/ViewerBar.h"
#include "viewer/ViewerPanel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>

namespace {

constexpr double fitShare = 0.72;
constexpr double minCardW = 520;
constexpr double barH = 48;
constexpr double barPad = 14;
constexpr double barSpacing = 8;
constexpr double cardRadius = 14;
constexpr double shadowRadius = 40;
constexpr double shadowY = 20;

const QColor dimming(0, 0, 0, 128);

QString dialogSaveFile(const QString& proposedPath)
{
    QFileDialog dialog(nullptr, QString(), proposedPath,
                       QCoreApplication::translate("Viewer", "PNG image (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    platform::keepAboveNotes(&dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void messageBox(const QString& text, const QString& reason)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillhaven"), text, QMessageBox::Ok);
    box.setInformativeText(reason);
    box.exec();
}

// X11 without a compositor shows translucent pixels as black, so the backdrop is a dimmed
// shot of the screen instead. Taken before the viewer shows, or the shot would be of itself.
QImage dimmedScreen()
{
    QImage shot = platform::desktop().grabScreen().convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        shot = QImage(1, 1, QImage::Format_RGB32);
        shot.fill(Qt::black);
    }
    QPainter painter(&shot);
    painter.fillRect(QRectF(QPointF(0, 0), shot.deviceIndependentSize()), dimming);
    return shot;
}

} // namespace

ImageViewer::ImageViewer(NoteModel* note, AppController* app, int index, ViewerPanel* panel,
                         QWidget* parent)
    : QWidget(parent)
    , note_(note)
    , app_(app)
    , panel_(panel)
    , index_(std::max(index, 0))
{
    using paint::Glyph;
    const QColor white(Qt::white);
    previous_ = new ViewerBarButton(QCoreApplication::translate("Viewer", "Previous"),
                                    Glyph::ChevronLeft, white, true, this);
    next_ = new ViewerBarButton(QCoreApplication::translate("Viewer", "Next"), Glyph::ChevronRight,
                                white, true, this);
    auto* copy = new ViewerBarButton(QCoreApplication::translate("Viewer", "Copy"), Glyph::Copy,
                                     white, false, this);
    auto* save = new ViewerBarButton(QCoreApplication::translate("Viewer", "Save As…"),
                                     Glyph::SaveDown, white, false, this);
    auto* remove =
        new ViewerBarButton(QCoreApplication::translate("Viewer", "Remove"), Glyph::TrashPlain,
                            QColor::fromRgbF(1.0, 0.54, 0.5), false, this);
    auto* close = new ViewerBarButton(QCoreApplication::translate("Viewer", "Close"), Glyph::Cross,
                                      white, true, this);
    buttons_ = {previous_, next_, copy, save, remove, close};

    connect(previous_, &QAbstractButton::clicked, this, [this] { step(-1); });
    connect(next_, &QAbstractButton::clicked, this, [this] { step(+1); });
    connect(copy, &QAbstractButton::clicked, this, &ImageViewer::copyShown);
    connect(save, &QAbstractButton::clicked, this, &ImageViewer::saveShownAs);
    connect(remove, &QAbstractButton::clicked, this, &ImageViewer::removeShown);
    connect(close, &QAbstractButton::clicked, this, &ImageViewer::closeViewer);
    if (note_) {
        connect(note_, &NoteModel::changed, this, &ImageViewer::refresh);
        // Deleted for good, the note leaves nothing to show.
        connect(note_, &QObject::destroyed, this, &ImageViewer::closeViewer);
    }
    followCompositor();
    if (panel_) {
        connect(panel_, &Panel::compositorChanged, this, &ImageViewer::followCompositor);
    }
    if (panel_) {
        panel_->onKey = [self = QPointer<ImageViewer>(this)](int key) {
            return self && self->handleKey(key);
        };
    }
    refresh();
}

QSizeF ImageViewer::displaySize(QSizeF image, QSizeF panel)
{
    const double scale = std::min({fitShare * panel.width() / std::max(image.width(), 1.0),
                                   fitShare * panel.height() / std::max(image.height(), 1.0), 1.0});
    return QSizeF(image.width() * scale, image.height() * scale);
}

bool ImageViewer::copyImageFile(const QString& source, const QString& destination, QString* reason)
{
    const auto fail = [reason](const QString& error) {
        platform::log(QStringLiteral("Quillhaven: save as failed: ") + error);
        if (reason != nullptr) {
            *reason = error;
        }
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return fail(in.errorString());
    }
    const QByteArray bytes = in.readAll();
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        return fail(out.errorString());
    }
    return true;
}

bool ImageViewer::saveCopy(const QString& source, const QString& destination)
{
    QString reason;
    if (copyImageFile(source, destination, &reason)) {
        return true;
    }
    const QString text =
        QCoreApplication::translate("Viewer", "The image could not be saved as “%1”.")
            .arg(QFileInfo(destination).fileName());
    if (const auto& showError = platform::services().showError) {
        showError(text, reason);
    } else {
        messageBox(text, reason);
    }
    return false;
}

int ImageViewer::shownPosition() const
{
    const int count = note_ ? int(note_->images().size()) : 0;
    return std::clamp(index_, 0, std::max(count - 1, 0));
}

QString ImageViewer::shownName() const
{
    if (!note_ || note_->images().isEmpty()) {
        return QString();
    }
    return note_->images().at(shownPosition());
}

QImage ImageViewer::shownImage()
{
    const QString name = shownName();
    return name.isEmpty() ? QImage() : Images::shown(name, this, [this] { update(); });
}

QSize ImageViewer::shownSize() const
{
    const QString name = shownName();
    return name.isEmpty() ? QSize() : Images::shownSize(name);
}

QString ImageViewer::caption() const
{
    return shownName().isEmpty() ? QString() : note_->title() + positionText();
}

QString ImageViewer::caption(const QFontMetrics& metrics, int width) const
{
    if (shownName().isEmpty()) {
        return QString();
    }
    const QString position = positionText();
    const int room = std::max(0, width - metrics.horizontalAdvance(position));
    return metrics.elidedText(note_->title(), Qt::ElideRight, room) + position;
}

QString ImageViewer::positionText() const
{
    return QStringLiteral(" \u00B7 ") + QCoreApplication::translate("Viewer", "%1 of %2")
                                            .arg(shownPosition() + 1)
                                            .arg(note_->images().size());
}

QRectF ImageViewer::cardRect() const
{
    const QSize picture = shownSize();
    if (!picture.isValid()) {
        return QRectF();
    }
    const QSizeF shown = displaySize(picture, size());
    const QSizeF card(std::max(shown.width(), minCardW), shown.height() + barH);
    return QRectF(QPointF((width() - card.width()) / 2, (height() - card.height()) / 2), card);
}

void ImageViewer::step(int offset)
{
    const int count = note_ ? int(note_->images().size()) : 0;
    if (count == 0) {
        return;
    }
    index_ = ((index_ + offset) % count + count) % count;
    refresh();
}

bool ImageViewer::handleKey(int key)
{
    switch (key) {
    case Qt::Key_Right:
        step(+1);
        return true;
    case Qt::Key_Left:
        step(-1);
        return true;
    case Qt::Key_Escape:
        closeViewer();
        return true;
    default:
        return false;
    }
}

void ImageViewer::copyShown()
{
    // Shown, so nearly always in memory; read now only when the worker is not done yet.
    const QString name = shownName();
    const QImage cached = name.isEmpty() ? QImage() : Images::cached(name);
    const QImage image = cached.isNull() && !name.isEmpty() ? Images::load(name) : cached;
    if (image.isNull()) {
        return;
    }
    platform::desktop().setClipboardImage(image);
    // The pad must not offer the user's own copy back as a new clipboard note.
    if (app_) {
        app_->clipOffer().setUsed(platform::desktop().clipboardChangeCount());
    }
}

void ImageViewer::saveShownAs()
{
    const QString name = shownName();
    if (name.isEmpty()) {
        return;
    }
    const QString source = Images::url(name);
    // A slash in the title would name a folder.
    const QString fileName = QString(note_->title()).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString proposed =
        QDir(platform::dialogFolder()).filePath(fileName + QStringLiteral(".png"));
    closeViewer();
    // The dialog runs its own event loop: from here on this viewer may be gone.
    const auto& chooseSaveFile = platform::services().chooseSaveFile;
    const QString destination =
        chooseSaveFile ? chooseSaveFile(proposed) : dialogSaveFile(proposed);
    // Only a folder the picture could be saved in is worth opening next time.
    if (!destination.isEmpty() && saveCopy(source, destination)) {
        platform::rememberDialogChoice(destination);
    }
}

void ImageViewer::removeShown()
{
    const QString name = shownName();
    if (name.isEmpty() || !app_) {
        return;
    }
    const QPointer<ImageViewer> self(this);
    app_->images().removeImage(note_, name);
    if (!self) {
        return;
    }
    if (!note_ || note_->images().isEmpty()) {
        closeViewer();
        return;
    }
    index_ = std::min(index_, int(note_->images().size()) - 1);
    refresh();
}

void ImageViewer::closeViewer()
{
    if (panel_) {
        panel_->close();
    } else {
        window()->close();
    }
}

QAbstractButton* ImageViewer::button(const QString& accessibleName) const
{
    for (QAbstractButton* b : buttons_) {
        if (b->accessibleName() == accessibleName && !b->isHidden()) {
            return b;
        }
    }
    return nullptr;
}

void ImageViewer::followCompositor()
{
    backdrop_ = platform::desktop().hasCompositor() ? QImage() : dimmedScreen();
    update();
}

void ImageViewer::refresh()
{
    layoutBar();
    update();
}

void ImageViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutBar();
}

// Buttons sit at the bar's right end, in order, the close button last.
void ImageViewer::layoutBar()
{
    const QRectF card = cardRect();
    const bool stepping = note_ && note_->images().size() >= 2;
    previous_->setVisible(!card.isEmpty() && stepping);
    next_->setVisible(!card.isEmpty() && stepping);
    double right = card.right() - barPad;
    for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
        QAbstractButton* b = *it;
        if (card.isEmpty()) {
            b->hide();
            continue;
        }
        if ((b == previous_ || b == next_) && !stepping) {
            continue;
        }
        b->show();
        const QSize hint = b->sizeHint();
        right -= hint.width();
        const double y = card.bottom() - barH / 2 - hint.height() / 2.0;
        b->setGeometry(QRect(qRound(right), qRound(y), hint.width(), hint.height()));
        right -= barSpacing;
    }
}

void ImageViewer::mousePressEvent(QMouseEvent* event)
{
    // The card keeps its clicks; only the backdrop closes.
    if (event->button() == Qt::LeftButton && !cardRect().contains(event->position())) {
        closeViewer();
        return;
    }
    QWidget::mousePressEvent(event);
}

void ImageViewer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (backdrop_.isNull()) {
        painter.fillRect(rect(), dimming);
    } else {
        painter.drawImage(QRectF(rect()), backdrop_);
    }
    const QRectF card = cardRect();
    if (!card.isNull()) {
        paintCard(painter, card, shownImage(), shownSize());
    }
}

void ImageViewer::paintCard(QPainter& painter, const QRectF& card, const QImage& image,
                            QSize imageSize)
{
    if (shadowFor_ != card.size()) {
        // Blurring a full-screen shadow on every paint would be slow: render it once a size.
        const int margin = int(shadowRadius * 1.5);
        shadow_ = QImage(card.size().toSize() + QSize(2 * margin, 2 * margin),
                         QImage::Format_ARGB32_Premultiplied);
        shadow_.fill(Qt::transparent);
        QPainter shade(&shadow_);
        shade.setRenderHint(QPainter::Antialiasing);
        shade.fillPath(
            paint::continuousRect(QRectF(QPointF(margin, margin), card.size()), cardRadius),
            QColor(0, 0, 0, 128));
        shade.end();
        paint::gaussianBlur(shadow_, shadowRadius / 2);
        shadowFor_ = card.size();
    }
    const int margin = int(shadowRadius * 1.5);
    painter.drawImage(card.topLeft() + QPointF(-margin, shadowY - margin), shadow_);

    const QPainterPath outline = paint::continuousRect(card, cardRadius);
    painter.save();
    painter.setClipPath(outline);
    painter.fillRect(card, QColor::fromRgbF(0.11, 0.11, 0.11));
    const QSizeF shown = displaySize(imageSize, size());
    const QRectF band(card.left(), card.top(), card.width(), shown.height());
    painter.fillRect(band, Qt::black);
    const QRectF picture(band.center().x() - shown.width() / 2, band.top(), shown.width(),
                         shown.height());
    painter.drawImage(picture, image);

    QFont font;
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255, 204));
    double firstButton = card.right() - barPad;
    for (QAbstractButton* b : buttons_) {
        if (b->isVisible()) {
            firstButton = std::min(firstButton, double(b->geometry().left()));
        }
    }
    const QRectF captionBox(card.left() + barPad, band.bottom(),
                            std::max(0.0, firstButton - barSpacing - card.left() - barPad), barH);
    painter.drawText(captionBox, Qt::AlignLeft | Qt::AlignVCenter,
                     caption(painter.fontMetrics(), int(captionBox.width())));
    painter.restore();

    painter.setPen(QPen(QColor(255, 255, 255, 31), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(paint::continuousRect(card.adjusted(0.25, 0.25, -0.25, -0.25), cardRadius));
}
