#include "platform/DialogFolder.h"

#include "platform/ImageSources.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "viewer/ImageViewer.h"
#include "windows/Panel.h"

#include <QAbstractButton>
#include <QDir>

namespace {

// Home (and the settings that could name another Pictures folder) in a fresh folder, put
// back afterwards.
class FreshHome {
public:
    FreshHome()
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            saved_.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        }
        qputenv("HOME", dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral(".config")).toLocal8Bit());
    }
    ~FreshHome()
    {
        for (const Saved& variable : saved_) {
            if (variable.set) {
                qputenv(variable.name, variable.value);
            } else {
                qunsetenv(variable.name);
            }
        }
    }

    QString folder(const QString& name)
    {
        QDir(dir.path()).mkpath(name);
        return dir.filePath(name);
    }

    QTemporaryDir dir;

private:
    struct Saved {
        const char* name;
        bool set;
        QByteArray value;
    };
    QList<Saved> saved_;
};

} // namespace

// Where the open-images and Save As dialogs start.
class DialogFolderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    std::unique_ptr<FreshHome> home;

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>();
        f->startUp();
        home = std::make_unique<FreshHome>();
    }
    void cleanup()
    {
        home.reset();
        f.reset();
    }

    void firstTimeInPicturesOrElseHome()
    {
        QCOMPARE(platform::dialogFolder(), home->dir.path());
        const QString pictures = home->folder(QStringLiteral("Pictures"));
        QCOMPARE(platform::dialogFolder(), pictures);
    }

    void thenWhereTheUserLastChose()
    {
        const QString photos = home->folder(QStringLiteral("Photos"));
        f->services().chooseImages = [&](const QString&) {
            return QStringList{photos + QStringLiteral("/a.png"),
                               photos + QStringLiteral("/b.png")};
        };
        imagesources::chooseFiles(QString());
        QCOMPARE(platform::dialogFolder(), photos);

        // Cancelled: nothing chosen, nothing forgotten.
        f->services().chooseImages = [](const QString&) { return QStringList(); };
        imagesources::chooseFiles(QString());
        QCOMPARE(platform::dialogFolder(), photos);

        QDir(photos).removeRecursively();
        QCOMPARE(platform::dialogFolder(), home->dir.path());
    }

    void saveAsStartsAndIsRememberedThereToo()
    {
        const QString photos = home->folder(QStringLiteral("Photos"));
        platform::rememberDialogChoice(photos + QStringLiteral("/a.png"));
        NoteModel* note = f->shownNote(QStringLiteral("Trip 3/4"));
        note->setImages({f->storeImage(QSize(10, 10))});
        f->app->viewImages(note, 0);
        auto* viewer =
            static_cast<ImageViewer*>(static_cast<Panel*>(f->app->viewerWindow())->content());

        const QString exports = home->folder(QStringLiteral("Exports"));
        QString proposed;
        f->services().chooseSaveFile = [&](const QString& path) {
            proposed = path;
            return exports + QStringLiteral("/out.png");
        };
        viewer->button(QStringLiteral("Save As\u2026"))->click();

        QCOMPARE(proposed, photos + QStringLiteral("/Trip 3-4.png"));
        QCOMPARE(platform::dialogFolder(), exports);
    }
};

static RegisterSuite<DialogFolderTest> registered;

#include "DialogFolderTest.moc"
