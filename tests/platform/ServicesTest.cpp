#include "platform/Services.h"

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/DesktopShortcuts.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QProcess>
#include <QTemporaryDir>
#include <optional>

// What tests install is put back, whatever order the test ends in.
class ServicesTest : public QObject {
    Q_OBJECT

    static platform::Services with(const QString& notesFile)
    {
        platform::Services services = platform::services();
        services.notesFile = notesFile;
        return services;
    }

private Q_SLOTS:
    void overridesNestAndPutBackWhatWasThere()
    {
        const platform::Desktop* real = &platform::desktop();
        const int before = platform::servicesGeneration();
        {
            const platform::ServicesGuard outer(with("/a/notes.json"));
            const FakeDesktop desktop; // installs itself over the outer services
            QCOMPARE(&platform::desktop(), &desktop);
            QCOMPARE(platform::services().notesFile, "/a/notes.json");
            {
                platform::ServicesGuard inner(with("/b/notes.json"));
                inner.installed().uniform = [](double lo, double) { return lo; };
                QCOMPARE(&platform::desktop(), &desktop);
                QCOMPARE(platform::services().uniform(2, 3), 2.0);
            }
            QCOMPARE(platform::services().notesFile, "/a/notes.json");
            QVERIFY(!platform::services().uniform);
        }
        QCOMPARE(&platform::desktop(), real);
        QVERIFY(platform::services().notesFile.isEmpty());
        QVERIFY(platform::servicesGeneration() != before);

        // The clock too.
        const QDateTime first(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
        const QDateTime second(QDate(2027, 2, 2), QTime(10, 0), Qt::UTC);
        {
            const platform::NowOverride outer([&] { return first; });
            {
                const platform::NowOverride inner([&] { return second; });
                QCOMPARE(platform::now(), second);
            }
            QCOMPARE(platform::now(), first);
        }
        const QDateTime system = QDateTime::currentDateTimeUtc();
        QVERIFY(qAbs(platform::now().secsTo(system)) < 60);
    }

    // Added to GNOME's own keyboard settings beside the user's shortcuts, and taken out again
    // leaving those: in a private settings file.
    void gnomeShortcutsAreAddedBesideTheUsersAndRemovedAgain()
    {
        namespace shortcuts = platform::desktopshortcuts;
        QTemporaryDir config;
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString schema = "org.gnome.settings-daemon.plugins.media-keys";
        const auto list = [&] {
            QProcess get;
            get.start("gsettings", {"get", schema, "custom-keybindings"});
            get.waitForFinished();
            return shortcuts::parseList(QString::fromUtf8(get.readAllStandardOutput()));
        };
        const QString users =
            "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/";
        QProcess::execute("gsettings",
                          {"set", schema, "custom-keybindings", shortcuts::printList({users})});
        QCOMPARE(list(), QStringList{users});
        for (const bool adding : {true, false}) {
            std::optional<bool> done;
            (adding ? shortcuts::add : shortcuts::remove)(this, [&](bool ok) { done = ok; });
            QTRY_VERIFY(done.has_value());
            QVERIFY(*done);
            QCOMPARE(list().size(), adding ? 3 : 1);
            QCOMPARE(list().first(), users);
            QProcess get;
            get.start("gsettings",
                      {"get", schema + ".custom-keybinding:" + list().last(), "command"});
            get.waitForFinished();
            QCOMPARE(get.readAllStandardOutput().trimmed(),
                     adding ? "\"'" + QCoreApplication::applicationFilePath().toUtf8() +
                                  "' --capture\""
                            : QByteArray("''"));
        }
        qunsetenv("GSETTINGS_BACKEND");
        qunsetenv("XDG_CONFIG_HOME");
    }
};

static RegisterSuite<ServicesTest> registered;
#include "ServicesTest.moc"
