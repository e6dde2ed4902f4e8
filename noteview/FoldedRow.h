#pragma once

#include <QImage>
#include <QWidget>

namespace noteview {

// A folded note's one line: a small thumbnail of the first image, if any, and the title.
class FoldedRow : public QWidget {
    Q_OBJECT
public:
    explicit FoldedRow(QWidget* parent = nullptr);

    void setContent(const QImage& thumbnail, const QString& title);
    QString title() const { return title_; }
    bool hasThumbnail() const { return !thumbnail_.isNull(); }
    // Height the row needs: the thumbnail or one line of the title, whichever is taller.
    int rowHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;

    QImage thumbnail_;
    QString title_;
};

} // namespace noteview
