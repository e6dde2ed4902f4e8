#include "platform/DialogFolder.h"

#include "platform/ImageSources.h"
#include "support/Fixture.h"
#include "support/Suites.h"

// Where the open-images and Save As dialogs start.
class DialogFolderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First in Pictures or else home, then where the user last chose while that is there.
    void picturesOrHomeFirstThenWhereTheUserLastChose()
    {
        Fixture f;
        // Home (and the settings that could name another Pictures folder) in a fresh folder.
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME"), savedConfig = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            // An empty XDG_CONFIG_HOME counts as unset.
            qputenv("HOME", savedHome);
            qputenv("XDG_CONFIG_HOME", savedConfig);
        });
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toLocal8Bit());
        const auto folder = [&](const QString& name) {
            QDir(home.path()).mkpath(name);
            return home.filePath(name);
        };

        QCOMPARE(platform::dialogFolder(), home.path());
        const QString pictures = folder("Pictures");
        QCOMPARE(platform::dialogFolder(), pictures);
        const QString photos = folder("Photos");
        f.services().chooseImages = [&](const QString&) {
            return QStringList{photos + "/a.png", photos + "/b.png"};
        };
        imagesources::chooseFiles(QString());
        QCOMPARE(platform::dialogFolder(), photos);

        // Cancelled: nothing chosen, nothing forgotten.
        f.services().chooseImages = [](const QString&) { return QStringList(); };
        imagesources::chooseFiles(QString());
        QCOMPARE(platform::dialogFolder(), photos);
        QDir(photos).removeRecursively();
        QCOMPARE(platform::dialogFolder(), pictures);
    }
};

static RegisterSuite<DialogFolderTest> registered;

#include "DialogFolderTest.moc"
