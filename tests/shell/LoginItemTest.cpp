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

    QString entryPath_;
private Q_SLOTS:
    void init()
    {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
        entryPath_ = config_->filePath(QStringLiteral("autostart/" QUILLHAVEN_APP_ID ".desktop"));
    }
    void cleanup() { qunsetenv("XDG_CONFIG_HOME"); }

    // The entry starts this very executable as a login item, the desktop's own validator
    // accepts it, and turning it off (or the desktop hiding it) is seen.
    void theEntryLaunchesAsLoginItemAndCanBeTurnedOff()
    {
        QVERIFY(!openAtLoginEnabled());
        setOpenAtLogin(true);
        QCOMPARE(loginItemPath(), entryPath_);
        QFile file(entryPath_);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        const QString exec = QCoreApplication::applicationFilePath() + " --login-item";
        QVERIFY2(text.contains("\nExec=" + exec.toUtf8() + "\n"), text.constData());
        QVERIFY(openAtLoginEnabled());
        if (const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
            !validator.isEmpty()) {
            QProcess validate;
            validate.start(validator, {entryPath_});
            QVERIFY(validate.waitForFinished());
            const QByteArray complaints = validate.readAll();
            QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());
        }
        file.close();
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden = true\n"); // as the desktop's own settings turn it off
        file.close();
        QVERIFY(!openAtLoginEnabled());
        setOpenAtLogin(true); // turning it on again brings it back
        QVERIFY(openAtLoginEnabled());

        setOpenAtLogin(false);
        QVERIFY(!QFile::exists(entryPath_));
        QVERIFY(!openAtLoginEnabled());
        LogCapture log;
        setOpenAtLogin(false); // nothing to remove is not a failure
        QVERIFY(log.lines.isEmpty());
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
        QVERIFY(blocker.remove() && QDir().mkpath(entryPath_ + QStringLiteral("/inside")));
        setOpenAtLogin(false);
        QCOMPARE(log.lines.size(), 2);
        for (const QString& line : log.lines) {
            QVERIFY2(line.startsWith(failed) && line.size() > failed.size(), qPrintable(line));
        }
    }

    void execQuotesPathsWithSpacesAndSpecials()
    {
        const std::pair<QString, QString> cases[] = {
            {"/usr/bin/quill%haven", "/usr/bin/quill%%haven --login-item"},
            {"/opt/My 100% Apps/q", "\"/opt/My 100%% Apps/q\" --login-item"},
            {"/opt/a$b/q", "\"/opt/a\\\\$b/q\" --login-item"},
            {"/opt/a\\b/q", "\"/opt/a\\\\\\\\b/q\" --login-item"},
            {"/opt/a\nHidden=true/q", "\"/opt/a\\nHidden=true/q\" --login-item"},
        };
        for (const auto& [path, exec] : cases) {
            QCOMPARE(loginItemExec(path), exec);
        }
    }
};

static RegisterSuite<LoginItemTest> registered;

#include "LoginItemTest.moc"
