#pragma once

#include <QImage>
#include <QList>
#include <QScrollArea>
#include <QWidget>

class QPainter;
class QTimer;

namespace noteview {

// One picture on a note: the image filling a rounded frame (cropped, never letter-boxed).
// A click asks to view it full size; its context menu offers to remove it.
class StripTile : public QWidget {
    Q_OBJECT
public:
    StripTile(const QImage& image, QString name, int index, QWidget* parent = nullptr);
    // A placeholder for a picture being stored, turning a busy arc until it is replaced.
    static StripTile* coming(QWidget* parent);
    bool isComing() const { return spin_ != nullptr; }

    const QString& name() const { return name_; }
    int index() const { return index_; }
    // Without its picture yet: a quiet grey tile that does nothing when clicked.
    bool placeholder() const { return image_.isNull(); }
    // A picture with see-through parts shows the paper through them, not a shadow.
    bool castsShadow(qreal dpr);
    static constexpr double radius = 8;

Q_SIGNALS:
    void clicked(int index);
    void removeRequested(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const QImage& scaled(qreal dpr);
    void paintBusyArc(QPainter& p, const QRectF& r) const;

    QImage image_;
    QImage scaled_;
    bool seeThrough_ = false; // of scaled_
    QString name_;
    int index_;
    bool pressed_ = false;
    QTimer* spin_ = nullptr;
    int spinStep_ = 0;
};

// The note's images stacked in a scrolling strip; the scroll bar appears only when the
// pictures are taller than the room the note gives them.
class ImageStrip : public QScrollArea {
    Q_OBJECT
public:
    struct Entry {
        QString name;
        int index = 0;
        QImage image;
        double height = 0;
        bool coming = false; // being read and stored: a placeholder that shows it is busy
    };

    explicit ImageStrip(QWidget* parent = nullptr);

    // Lays out one tile per entry at `tileWidth`; `natural` and `area` decide the scroll bar.
    void setEntries(const QList<Entry>& entries, double tileWidth, double natural, double area);
    QList<StripTile*> tiles() const;

    static constexpr double gap = 6;
    static constexpr double sideMargin = 10;

Q_SIGNALS:
    void viewRequested(int index);
    void removeRequested(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutTiles();
    bool sameTiles(const QList<Entry>& entries) const;

    class Content;
    Content* content_;
    double tileWidth_ = 0;
};

} // namespace noteview
