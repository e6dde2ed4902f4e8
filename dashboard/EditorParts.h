#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPen>
#include <QWidget>

// Small painted pieces of the note editor.

// A translucent strip over the paper that holds the editor's controls.
class BarWidget : public QWidget {
    Q_OBJECT
public:
    explicit BarWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// One colour choice: an 18 x 18 circle of that paper with a heavier ring when it is the note's
// colour.
class SwatchButton : public QAbstractButton {
    Q_OBJECT
public:
    SwatchButton(const QString& colorName, QWidget* parent = nullptr);

    const QString& colorName() const { return name_; }
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }
    QPen ring() const;
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    bool current_ = false;
};

// One image of the note, scaled to fit 560 x 300 (and the pane's width), with rounded
// corners, a hairline and a soft shadow.
class ImageTile : public QAbstractButton {
    Q_OBJECT
public:
    ImageTile(const QImage& image, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSizeF fittedSize(double availableWidth) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// The dashed "Add another image" button under the tiles.
class AddAnotherButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit AddAnotherButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Shown over the pane while a droppable drag hovers it; never takes the mouse.
class DropOverlay : public QWidget {
    Q_OBJECT
public:
    explicit DropOverlay(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
