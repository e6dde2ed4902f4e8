#include "app/WidgetViews.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "model/Images.h"
#include "noteview/NoteView.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QClipboard>
#include <QMimeData>

// Broken and hostile image files through every way an image reaches a note: paste, drop, the
// file chooser and a notes file naming them. Each is turned away quietly and nothing is added.
// A BMP header claiming a huge bitmap, with no pixels behind it.
static QByteArray bmpClaiming(qint32 width, qint32 height)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0x4d42) << quint64(0) << quint32(54) << quint32(40) << width << height
        << quint16(1) << quint16(32);
    return bytes + QByteArray(24, '\0');
}

static const QList<std::pair<QString, QByteArray>>& hostileFiles()
{
    static const QByteArray whole = pngBytes(QSize(200, 200));
    static const QList<std::pair<QString, QByteArray>> files{
        {"truncated.png", whole.left(whole.size() / 3)},
        {"claims-30000.png", pngClaiming(30000, 30000)},
        {"claims-60000.png", pngClaiming(60000, 60000)},
        {"claims-10000.png", pngClaiming(10000, 10000)}, // allowed size, no pixel data
        {"claims-2e9.png", pngClaiming(0x7fffffff, 1)},
        {"claims-60000.bmp", bmpClaiming(60000, -60000)},
        {"x.png", "this is just text\n"},
        {"empty.png", {}}};
    return files;
}

static QStringList writeHostileFiles(const QString& folder)
{
    QStringList paths;
    for (const auto& [name, bytes] : hostileFiles()) {
        QFile file(folder + '/' + name);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        paths << file.fileName();
    }
    return paths;
}

class HostileImageTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;

    AppController& app() { return *f->app; }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>();
        f->startUp();
    }
    void cleanup()
    {
        Fixture::finishImages();
        QGuiApplication::clipboard()->clear();
        f->services().desktop = &f->desktop;
        f.reset();
    }

    void filesThatDoNotDecodeAddNothingWhateverWayTheyCome()
    {
        NoteModel* note = f->shownNote("hostile");
        auto* view = qobject_cast<NoteView*>(app().window(note)->content());
        QVERIFY(view != nullptr);
        const QStringList files = writeHostileFiles(f->dir.path())
                                  << f->dir.filePath("missing.png") << f->dir.path();
        QList<QUrl> urls;
        for (const QString& path : files)
            urls << QUrl::fromLocalFile(path);
        QMimeData dropped;
        dropped.setUrls(urls);
        const QPoint at = view->paperRect().center().toPoint();
        QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(view->childAt(at), &drop);
        f->services().chooseImages = [&files](const QString&) { return files; };
        app().images().chooseImages(note);
        Fixture::finishImages();

        // Pasted through the real clipboard, as Qt hands it over on the offscreen platform.
        f->services().desktop = nullptr;
        const auto paste = [window = app().window(note)->windowHandle()](QMimeData* mime) {
            QGuiApplication::clipboard()->setMimeData(mime);
            QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
            Fixture::finishImages();
        };
        for (const auto& [name, bytes] : hostileFiles()) {
            auto* mime = new QMimeData;
            mime->setData("image/png", bytes);
            mime->setData("application/x-qt-image", bytes);
            paste(mime);
            QVERIFY2(clipboardImage().isNull(), qPrintable(name));
        }
        // Nothing reached the note: no name, no file, no sound, no save.
        QVERIFY(note->images().isEmpty() && QDir(Images::dir()).isEmpty());
        QVERIFY(f->sounds.isEmpty() && f->log.lines.isEmpty());

        // The same way in does take a real picture.
        auto* mime = new QMimeData;
        mime->setImageData(QImage::fromData(pngBytes(QSize(30, 20))));
        paste(mime);
        QCOMPARE(note->images().size(), 1);
    }

    void aNoteListingBrokenFilesLoadsAndDrawsThemAsMissing()
    {
        QStringList names;
        for (const QString& path : writeHostileFiles(Images::dir()))
            names << QFileInfo(path).fileName();
        QJsonObject record = Fixture::record("broken pictures", true, 200, 300);
        record["images"] = QJsonArray::fromStringList(names);
        f->writeNotes({record});

        f->app = makeAppController();
        app().start();
        QCOMPARE(app().notes().size(), 1);
        NoteModel* note = app().notes()[0];
        QCOMPARE(note->images(), names);
        QVERIFY(app().window(note) != nullptr);
        for (const QString& name : names)
            QVERIFY2(Images::load(name).isNull(), qPrintable(name));
        // The strip counts a default height for each missing picture.
        QVERIFY(app().sizes().stripH(note) > 0);

        // Note window, viewer and dashboard all paint without them.
        app().window(note)->grab();
        app().viewImages(note, 0);
        QVERIFY(app().viewerWindow() != nullptr);
        app().viewerWindow()->grab();
        app().showDashboard();
        QVERIFY(app().dashboardWindow() != nullptr);
        app().dashboardWindow()->grab();
        note->setFolded(true);
        app().window(note)->grab();

        // Nothing was rewritten or removed along the way.
        for (const auto& [name, bytes] : hostileFiles()) {
            QFile kept(QDir(Images::dir()).filePath(name));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), bytes);
        }
    }
};

static RegisterSuite<HostileImageTest> registered;

#include "HostileImageTest.moc"
