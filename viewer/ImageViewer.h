#pragma once

#include <QImage>
#include <QPointer>
#include <QSizeF>
#include <QWidget>
#include <functional>

class AppController;
class NoteModel;
class ViewerPanel;
class QAbstractButton;
class QFontMetrics;

// The full-screen view of a note's images: a dimmed backdrop (a click closes the viewer) and a
// dark card with the image and a bar of controls. Left and Right step through the images
// (wrapping), Escape closes.
class ImageViewer : public QWidget {
    Q_OBJECT
public:
    ImageViewer(NoteModel* note, AppController* app, int index, ViewerPanel* panel,
                QWidget* parent = nullptr);

    // The image's size on screen: fitted into 72 % of the panel, never enlarged.
    static QSizeF displaySize(QSizeF image, QSizeF panel);

    // Writes a copy of `source` at `destination` without ever removing an existing file
    // first: the copy goes to a temporary file beside it and replaces it only when complete.
    // Logs "Quillhaven: save as failed: <reason>" and returns false (with the reason) on
    // failure.
    static bool copyImageFile(const QString& source, const QString& destination,
                              QString* reason = nullptr);

    int index() const { return index_; }
    // Without a compositing manager the viewer paints the screen behind it, dimmed and opaque.
    void followCompositor();
    int shownPosition() const; // index clamped to the last image
    QString caption() const;   // "title · n of m", empty without an image
    // The caption in `width`: the title gives way, the position always shows.
    QString caption(const QFontMetrics& metrics, int width) const;
    QRectF cardRect() const; // empty when no card is shown

    void step(int offset);
    bool handleKey(int key);
    void copyShown();
    void saveShownAs();
    void removeShown();
    void closeViewer();

    QAbstractButton* button(const QString& accessibleName) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString positionText() const; // " · n of m"
    QString shownName() const;
    // The picture for showing, decoded on the image worker: null until it is in memory, and
    // the viewer repaints when it is. Its size is known at once, from the file's header.
    QImage shownImage();
    QSize shownSize() const;
    void refresh();
    void layoutBar();
    void paintCard(QPainter& painter, const QRectF& card, const QImage& image, QSize imageSize);
    static bool saveCopy(const QString& source, const QString& destination);

    QPointer<NoteModel> note_;
    QPointer<AppController> app_;
    QPointer<ViewerPanel> panel_;
    int index_ = 0;
    QList<QAbstractButton*> buttons_;
    QAbstractButton* previous_ = nullptr;
    QAbstractButton* next_ = nullptr;
    QImage backdrop_; // without a compositor: the screen, dimmed and opaque
    QImage shadow_;   // the card's blurred shadow, rendered once per card size
    QSizeF shadowFor_;
};
