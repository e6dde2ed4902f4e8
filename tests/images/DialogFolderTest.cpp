#include "platform/DialogFolder.h"

#include "platform/ImageSources.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "viewer/ImageViewer.h"
#include "windows/Panel.h"

#include <QAbstractButton>
#include <QDir>

// Where the open-images and Save As dialogs start.
class DialogFolderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    // Home (and the settings that could name another Pictures folder) in a fresh folder.
    std::unique_ptr<QTemporaryDir> home;
    QByteArray savedHome, savedConfig;

    QString folder(const QString& name)
    {
        QDir(home->path()).mkpath(name);
        return home->filePath(name);
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>();
        f->startUp();
        home = std::make_unique<QTemporaryDir>();
        savedHome = qgetenv("HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home->path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home->filePath(".config").toLocal8Bit());
    }
    void cleanup()
    {
        // An empty XDG_CONFIG_HOME counts as unset.
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
        home.reset();
        f.reset();
    }

    // First in Pictures or else home, then where the user last chose while that is there.
    void picturesOrHomeFirstThenWhereTheUserLastChose()
    {
        QCOMPARE(platform::dialogFolder(), home->path());
        const QString pictures = folder("Pictures");
        QCOMPARE(platform::dialogFolder(), pictures);
        const QString photos = folder("Photos");
        f->services().chooseImages = [&](const QString&) {
            return QStringList{photos + "/a.png", photos + "/b.png"};
        };
        imagesources::chooseFiles(QString());
        QCOMPARE(platform::dialogFolder(), photos);

        // Cancelled: nothing chosen, nothing forgotten.
        f->services().chooseImages = [](const QString&) { return QStringList(); };
        imagesources::chooseFiles(QString());
        QCOMPARE(platform::dialogFolder(), photos);
        QDir(photos).removeRecursively();
        QCOMPARE(platform::dialogFolder(), pictures);
    }

    void saveAsStartsAndIsRememberedThereToo()
    {
        const QString photos = folder("Photos");
        platform::rememberDialogChoice(photos + "/a.png");
        NoteModel* note = f->shownNote("Trip 3/4");
        note->setImages({f->storeImage(QSize(10, 10))});
        f->app->viewImages(note, 0);
        auto* viewer =
            static_cast<ImageViewer*>(static_cast<Panel*>(f->app->viewerWindow())->content());

        const QString exports = folder("Exports");
        QString proposed;
        f->services().chooseSaveFile = [&](const QString& path) {
            proposed = path;
            return exports + "/out.png";
        };
        viewer->button("Save As\u2026")->click();
        QCOMPARE(proposed, photos + "/Trip 3-4.png");
        QCOMPARE(platform::dialogFolder(), exports);
    }
};

static RegisterSuite<DialogFolderTest> registered;

#include "DialogFolderTest.moc"
