#include "platform/LoginItem.h"

#include "platform/AppId.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class LoginItemTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> config_;

    QString entryPath() const
    {
        return config_->filePath(QStringLiteral("autostart/" QUILLHAVEN_APP_ID ".desktop"));
    }
private Q_SLOTS:
    void init()
    {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
    }
    void cleanup() { qunsetenv("XDG_CONFIG_HOME"); }

    // The entry starts this very executable as a login item, and the desktop's own validator
    // accepts it.
    void enablingWritesAValidEntryThatLaunchesAsLoginItem()
    {
        QVERIFY(!openAtLoginEnabled());
        setOpenAtLogin(true);
        QCOMPARE(loginItemPath(), entryPath());
        QFile file(entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        const QString exec = QCoreApplication::applicationFilePath() + " --login-item";
        QVERIFY2(text.contains("\nExec=" + exec.toUtf8() + "\n"), text.constData());
        QVERIFY(openAtLoginEnabled());
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty()) {
            QSKIP("desktop-file-validate is not installed");
        }
        QProcess validate;
        validate.start(validator, {entryPath()});
        QVERIFY(validate.waitForFinished());
        const QByteArray complaints = validate.readAll();
        QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());
    }

    void disablingOrHidingTheEntryTurnsItOff()
    {
        setOpenAtLogin(true);
        setOpenAtLogin(false);
        QVERIFY(!QFile::exists(entryPath()));
        QVERIFY(!openAtLoginEnabled());
        LogCapture log;
        setOpenAtLogin(false); // nothing to remove is not a failure
        QVERIFY(log.lines.isEmpty());

        setOpenAtLogin(true);
        QFile file(entryPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden = true\n"); // as the desktop's own settings turn it off
        file.close();
        QVERIFY(!openAtLoginEnabled());
        setOpenAtLogin(true); // turning it on again brings it back
        QVERIFY(openAtLoginEnabled());
    }

    void aChangeThatCannotBeMadeLogsTheFailure()
    {
        const QString failed = QStringLiteral("Quillhaven: login item change failed: ");
        // A file where the directory should be stops even a privileged user.
        QFile blocker(config_->filePath(QStringLiteral("autostart")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        LogCapture log;
        setOpenAtLogin(true);
        QVERIFY(!openAtLoginEnabled());
        // A folder where the entry should be cannot be removed.
        QVERIFY(blocker.remove() && QDir().mkpath(entryPath() + QStringLiteral("/inside")));
        setOpenAtLogin(false);
        QCOMPARE(log.lines.size(), 2);
        for (const QString& line : log.lines) {
            QVERIFY2(line.startsWith(failed) && line.size() > failed.size(), qPrintable(line));
        }
    }

    void execQuotesPathsWithSpacesAndSpecials_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/quillhaven"
                               << "/usr/bin/quillhaven --login-item";
        QTest::newRow("space") << "/opt/My Apps/quillhaven"
                               << "\"/opt/My Apps/quillhaven\" --login-item";
        QTest::newRow("dollar") << "/opt/a$b/q"
                                << "\"/opt/a\\\\$b/q\" --login-item";
        QTest::newRow("backslash") << "/opt/a\\b/q"
                                   << "\"/opt/a\\\\\\\\b/q\" --login-item";
        QTest::newRow("line break") << "/opt/a\nHidden=true/q"
                                    << "\"/opt/a\\nHidden=true/q\" --login-item";
    }
    void execQuotesPathsWithSpacesAndSpecials()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(loginItemExec(path), exec);
    }
};

static RegisterSuite<LoginItemTest> registered;

#include "LoginItemTest.moc"
