#pragma once

#include "controller/AppController.h"
#include "motion/Motion.h"
#include "pad/PadLayout.h"
#include "pad/PadText.h"

#include <QImage>
#include <QPointer>
#include <QUuid>
#include <QWidget>
#include <array>
#include <map>
#include <memory>
#include <optional>

class NoteModel;
class PadHitButton;

// The view inside the pad window at the top of the screen: the black island under the notch.
// Closed, it hides above the screen's edge; open, it is a small tab; with the pointer on it (or
// a note dragged over the notch) it grows into a panel with a header, the clipboard-image offer
// and peek cards of the tucked notes. A drag on the island pulls a note out.
class PadView : public QWidget {
    Q_OBJECT
public:
    explicit PadView(AppController* app, QWidget* parent = nullptr);
    ~PadView() override;

    // The header's two lines as they read now.
    QString titleText() const;
    pad::HintLine hint() const;
    // The pointer is over the island.
    bool isHovered() const { return hover_; }
    // The id of the peek card under the pointer.
    std::optional<QUuid> hoveredNote() const { return hoveredNote_; }
    // The island's outline as drawn now (without the swing), in view coordinates.
    QPainterPath islandOutline() const;
    bool onIsland(QPointF p) const;
    // Cuts the window to the island again once no compositing manager shows see-through pixels.
    void followCompositor() { applyShapes(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct CardMotion {
        motion::AnimatedValue hovered;
        motion::AnimatedValue dimmed;
    };

    void createControls();
    void connectNotes();
    void onAppChanged(AppController::Field field);
    void refresh();
    void retarget();
    void frameChanged();

    void setHover(bool hover);
    void hoverAt(QPointF pos);
    void setHoveredNote(const std::optional<QUuid>& id);
    void cardPointer(int index, bool over);
    void cardTapped(int index);
    void offerPressed();
    void newNotePressed();

    double notchH() const;
    pad::IslandContent content() const;
    QSizeF islandSize() const;
    QPointF islandOrigin() const;
    const NoteModel* hoveredModel() const;
    void placeControls();
    void scheduleShapes();
    void applyShapes();
    QRegion takesPointer() const;
    QRegion islandRegion(double slide) const;
    void hitTestPointer();

    // Painting (PadPaint.cpp).
    void paintCollapsed(QPainter& p, const QSizeF& island);
    void paintExpanded(QPainter& p, const QSizeF& island);
    void paintHeader(QPainter& p, const pad::ExpandedLayout& l);
    void paintOffer(QPainter& p, const pad::ExpandedLayout& l);
    void paintFocus(QPainter& p, const PadHitButton* control, const QRectF& rect, double radius);
    const QImage& clipThumbnail();

    QPointer<AppController> app_;
    bool hover_ = false;
    std::optional<QUuid> hoveredNote_;
    QList<QPointer<NoteModel>> peek_;
    int count_ = 0;
    // The expanded content as last shown; kept while it fades out.
    pad::IslandContent shown_;
    bool shapesPending_ = false;

    motion::AnimatedValue slide_;
    motion::AnimatedValue width_;
    motion::AnimatedValue height_;
    motion::AnimatedValue radius_;
    motion::AnimatedValue hotness_;
    motion::AnimatedValue wobble_;
    std::map<QUuid, std::unique_ptr<CardMotion>> cardMotion_;

    std::array<PadHitButton*, pad::buttonCount> buttons_{};
    PadHitButton* offer_ = nullptr;
    std::array<PadHitButton*, pad::maxCards> cards_{};
    QList<QMetaObject::Connection> noteConnections_;

    QImage clipThumb_;
    qint64 clipThumbKey_ = 0;
};
