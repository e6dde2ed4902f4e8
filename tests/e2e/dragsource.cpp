// Another program to drag from: a window whose press starts a drag of the text (or, for an
// absolute path, the file) given on the command line, as a browser or file manager does.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

class Source : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        const QString what = QApplication::arguments().value(1);
        if (what.startsWith(QLatin1Char('/'))) {
            data->setUrls({QUrl::fromLocalFile(what)});
        } else {
            data->setText(what);
        }
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source window;
    window.setWindowTitle(QStringLiteral("dragsource"));
    window.setGeometry(40, 700, 200, 120);
    window.show();
    return QApplication::exec();
}
