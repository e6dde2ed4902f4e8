#pragma once

#include "model/NoteModel.h"
#include "motion/Motion.h"
#include "noteview/NoteEffects.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>

class AppController;
namespace noteview {
class CloseButton;
class DropHint;
class FoldedRow;
class Grip;
class HeaderStrip;
class ImageStrip;
class TextArea;
class Sheet;
} // namespace noteview
class QLabel;
class QMenu;
class QMimeData;

// The content of one note window: the paper with its header strip, images and text (or the
// folded one-line summary), the resize grip, the size badge and the drop hint. At rest these
// are live widgets; while the note is peeled, tilted, scaled, faded or crumpled the view
// paints a snapshot of itself through one transform instead. It never moves its window.
class NoteView : public QWidget {
    Q_OBJECT
public:
    NoteView(NoteModel* note, AppController* app, QWidget* parent = nullptr);
    ~NoteView() override;

    NoteModel* note() const { return note_; }
    // Cuts the window to the paper again once no compositing manager shows see-through pixels.
    void followCompositor() { updateShapeMask(); }

    // The effects as presented this frame (they follow the note's fields with its animations).
    noteview::NoteEffects effects() const;
    bool isShowingSnapshot() const { return snapshotMode_; }
    // How many snapshots have been taken: once per effect, again only when content changes.
    int snapshotsTaken() const { return snapshotsTaken_; }
    // The paper's rectangle in this view, as laid out this frame.
    QRectF paperRect() const;
    // Height of a folded note's paper.
    static constexpr double foldedHeight = 50;

    // The size menu of the paper and the header strip; its actions act on the note.
    std::unique_ptr<QMenu> sizeMenu();
    void addReminderMenus(QMenu& menu);

    // The pieces, for the window's event handling and for tests.
    noteview::TextArea* editor() const { return editor_; }
    QLabel* placeholder() const { return placeholder_; }
    noteview::HeaderStrip* header() const { return header_; }
    noteview::CloseButton* closeButton() const { return close_; }
    noteview::Grip* grip() const { return grip_; }
    noteview::ImageStrip* imageStrip() const { return strip_; }
    noteview::FoldedRow* foldedRow() const { return foldedRow_; }
    bool isDropping() const { return dropping_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class noteview::Sheet;

    void buildParts();
    void onNoteChanged(NoteModel::Field field);
    void retargetEffects(NoteModel::Field field);

    double targetFrameHeight() const;
    double totalHeight() const;
    void layoutParts();
    void refreshText();
    void refreshImages();
    void refreshFoldedRow();
    QString foldedTitle() const;

    void onEffectsMoved();
    void enterSnapshot();
    void leaveSnapshot();
    void grabSnapshot();
    void contentChanged();
    void updateShapeMask();
    void updateInputRegion();
    void growForEffects();
    double bleedFor(const noteview::NoteEffects& e) const;
    void syncHoverWithPointer();
    // The window moved (a landing, a flick, a drag): once it rests, the hover follows the
    // pointer, which a window moving under or away from it does not always tell.
    void windowMoved();
    bool eventFilter(QObject* watched, QEvent* event) override;

    void paintAtRest(QPainter& p) const;
    void paintBadge(QPainter& p) const;
    QRectF badgeRect() const;

    // Gestures arriving on the paper.
    void setHovering(bool hovering);
    void openSizeMenu(const QPoint& globalPos);
    void toggleFold();
    bool acceptsDrop(const QMimeData* mime) const;
    void setDropping(bool dropping);
    void dropImages(const QMimeData* mime);

    QPointer<NoteModel> note_;
    QPointer<AppController> app_;

    noteview::Sheet* sheet_ = nullptr;
    noteview::HeaderStrip* header_ = nullptr;
    noteview::CloseButton* close_ = nullptr;
    noteview::FoldedRow* foldedRow_ = nullptr;
    noteview::ImageStrip* strip_ = nullptr;
    noteview::TextArea* editor_ = nullptr;
    QLabel* placeholder_ = nullptr;
    noteview::Grip* grip_ = nullptr;
    noteview::DropHint* dropHint_ = nullptr;
    bool dropping_ = false;

    motion::AnimatedValue peel_;
    motion::AnimatedValue tilt_;
    motion::AnimatedValue scale_;
    motion::AnimatedValue opacity_;
    motion::AnimatedValue crumple_; // 0 at rest, 1 crumpled
    motion::AnimatedValue frameH_;  // the paper's height: 50 folded, else the total height
    motion::AnimatedValue hover_;   // 0..1, how far the hover-only controls are shown

    bool snapshotMode_ = false;
    bool snapshotDirty_ = false;
    bool regrabQueued_ = false;
    QImage snapshot_;
    QImage blurred_;
    bool firstShow_ = true;
    QPointer<QWidget> watchedWindow_;
    quint64 moves_ = 0;
    int snapshotsTaken_ = 0;
};
