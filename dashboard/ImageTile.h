#pragma once

#include <QAbstractButton>
#include <QImage>

// One image of the note, scaled to fit 560 x 300 (and the pane's width), with rounded
// corners, a hairline and a soft shadow.
class ImageTile : public QAbstractButton {
    Q_OBJECT
public:
    ImageTile(const QImage& image, QWidget* parent = nullptr);
    // A quiet grey picture, thumbnail-sized, for one whose file has not arrived yet.
    static QImage placeholder();

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSizeF fittedSize(double availableWidth) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};
