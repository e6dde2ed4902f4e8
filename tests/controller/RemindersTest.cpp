#include "controller/Reminders.h"

#include "platform/Notifications.h"
#include "platform/TimeChanges.h"
#include "support/FakePortal.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QDBusMessage>
#include <QDBusVirtualObject>

namespace {

const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString notificationsInterface = QStringLiteral("org.freedesktop.Notifications");

// The desktop's notification server, on the test's own bus: it keeps what it was asked to
// show, and the test picks an action as the user would.
class FakeNotificationServer : public QDBusVirtualObject {
public:
    struct Shown {
        QString summary;
        QString body;
        QStringList actions;
    };

    explicit FakeNotificationServer(const QDBusConnection& bus)
        : bus_(bus)
    {
        bus_.registerService(notificationsInterface);
        bus_.registerVirtualObject(notificationsPath, this);
    }
    ~FakeNotificationServer() override { bus_.unregisterObject(notificationsPath); }

    QList<Shown> shown;

    void choose(const QString& key)
    {
        const uint id = uint(shown.size());
        QDBusMessage invoked = QDBusMessage::createSignal(notificationsPath, notificationsInterface,
                                                          QStringLiteral("ActionInvoked"));
        invoked << id << key;
        QDBusMessage closed = QDBusMessage::createSignal(notificationsPath, notificationsInterface,
                                                         QStringLiteral("NotificationClosed"));
        closed << id << uint(2);
        bus_.send(invoked);
        bus_.send(closed);
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("Notify")) {
            return false;
        }
        const QVariantList a = message.arguments();
        shown << Shown{a.value(3).toString(), a.value(4).toString(), a.value(5).toStringList()};
        connection.send(message.createReply(uint(shown.size())));
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

private:
    QDBusConnection bus_;
};

} // namespace

// Notes that come back by themselves: at their time by the program's clock, once; what was
// missed while it was not running, at start; the desktop's notification and its actions.
class RemindersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<FakeNotificationServer> server_;
    std::unique_ptr<platform::Notifications> notifications_;
    std::unique_ptr<Fixture> f;

    Reminders& reminders() { return f->app->reminders(); }
    qsizetype pats() const { return f->sounds.count(Sound::Effect::Pat); }
    // The clock moves by `seconds` as if set by hand, and the program is told.
    void setClock(qint64 seconds)
    {
        f->today = f->today.addSecs(seconds);
        Q_EMIT platform::TimeChanges::shared().moved();
    }

private Q_SLOTS:
    void init()
    {
        bus_ = std::make_unique<PrivateBus>();
        if (!bus_->ok()) {
            QSKIP(qPrintable(bus_->error));
        }
        server_ = std::make_unique<FakeNotificationServer>(bus_->connect());
        notifications_ = std::make_unique<platform::Notifications>(bus_->connect());
        f = std::make_unique<Fixture>();
        f->services().notifications = notifications_.get();
    }

    void cleanup()
    {
        f.reset();
        notifications_.reset();
        server_.reset();
        bus_.reset();
    }

    void aNoteComesBackAtItsTimeOnce_data()
    {
        QTest::addColumn<bool>("onScreen");
        QTest::addColumn<bool>("tuck");      // tucked until the time, not reminded
        QTest::addColumn<qint64>("aheadMs"); // the reminder, from now
        QTest::addColumn<qint64>("jump");    // seconds the clock is set on, and the program told
        QTest::addColumn<bool>("fires");
        QTest::newRow("tucked: out of the pad") << false << false << 50LL << 0LL << true;
        QTest::newRow("on screen: raised") << true << false << 50LL << 0LL << true;
        QTest::newRow("clock set past it, or a wake")
            << false << false << 3'600'000LL << 7200LL << true;
        QTest::newRow("clock set back before it") << false << false << 50LL << -3600LL << false;
        QTest::newRow("tucked until tomorrow") << true << true << 64'800'000LL << 64'800LL << true;
    }

    void aNoteComesBackAtItsTimeOnce()
    {
        QFETCH(bool, onScreen);
        QFETCH(bool, tuck);
        QFETCH(qint64, aheadMs);
        QFETCH(qint64, jump);
        QFETCH(bool, fires);
        f->startUp();
        NoteModel* note = onScreen ? f->shownNote(QStringLiteral("Call Ann\nat four"))
                                   : f->addNote(QStringLiteral("Call Ann\nat four"));
        const QDateTime at = f->today.addMSecs(aheadMs);
        if (tuck) {
            reminders().tuckUntil(note, at);
            Fixture::advance(1);
            QVERIFY(!note->onScreen());
        } else {
            reminders().remind(note, at);
        }
        QCOMPARE(reminders().armedFor(), std::optional(at));
        QVERIFY(reminders().remainingMs() <= aheadMs);
        QCOMPARE(f->savedNotes()[0].toObject()["remindAt"].toDouble(),
                 Fixture::referenceSeconds(at));

        f->today = f->today.addMSecs(jump == 0 ? aheadMs : 0);
        if (jump != 0) {
            setClock(jump);
        }
        if (!fires) {
            // The timer ran out by its own count, but the clock says not yet: it waits again.
            QTRY_VERIFY(reminders().remainingMs() > 3'000'000);
            QCOMPARE(note->remindAt(), std::optional(at));
            QVERIFY(server_->shown.isEmpty());
            return;
        }
        QTRY_VERIFY(!note->remindAt());
        QVERIFY(note->onScreen());
        const bool raised = onScreen && !tuck; // else out of the pad
        QCOMPARE(f->sounds.count(Sound::Effect::Peel), raised ? 0 : 1);
        QVERIFY(!raised || note->tilt() != 0);
        Fixture::advance(1);
        QCOMPARE(pats(), 1);
        QVERIFY(!reminders().armedFor() && reminders().remainingMs() == -1);
        QVERIFY(f->savedNotes()[0].toObject().value("remindAt").isUndefined());
        QTRY_COMPARE(server_->shown.size(), 1);
        QCOMPARE(server_->shown[0].summary, "Call Ann");
        QCOMPARE(server_->shown[0].body, "at four");
        QCOMPARE(server_->shown[0].actions,
                 (QStringList{"show", "Show", "snooze", "Snooze 10 Minutes"}));

        setClock(3600); // once
        Fixture::advance(1);
        QCOMPARE(pats(), 1);
        QCOMPARE(server_->shown.size(), 1);
    }

    // Reminders that passed while the program was not running come at start, together.
    void missedRemindersComeAtStart_data()
    {
        QTest::addColumn<QList<double>>("ago"); // seconds; negative: still to come
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("summary"); // empty: no notification
        QTest::newRow("one") << QList<double>{60} << false << "Note 0";
        QTest::newRow("three, told once") << QList<double>{86400, 5, 60} << false << "3 reminders";
        QTest::newRow("one still to come") << QList<double>{-60} << false << "";
        QTest::newRow("in Recently Deleted") << QList<double>{60} << true << "";
    }

    void missedRemindersComeAtStart()
    {
        QFETCH(QList<double>, ago);
        QFETCH(bool, deleted);
        QFETCH(QString, summary);
        QJsonArray records;
        for (qsizetype i = 0; i < ago.size(); ++i) {
            QJsonObject r = Fixture::record(QStringLiteral("Note %1").arg(i));
            r["remindAt"] = Fixture::referenceSeconds(f->today) - ago[i];
            if (deleted) {
                r["deletedAt"] = Fixture::referenceSeconds(f->today);
            }
            records << r;
        }
        f->writeNotes(records);
        f->startUp();
        const qsizetype missed = summary.isEmpty() ? 0 : ago.size();
        QCOMPARE(f->app->padCount(), deleted ? 0 : ago.size() - missed);
        QCOMPARE(reminders().pending().size(), ago.size() - missed - (deleted ? 1 : 0));
        if (missed == 0) {
            QVERIFY(server_->shown.isEmpty());
            return;
        }
        QTRY_COMPARE(server_->shown.size(), 1);
        QCOMPARE(server_->shown[0].summary, summary);
    }

    // The notification's two answers: the note in front, or back in the pad for ten minutes.
    void theNotificationsActions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("tuckedFirst"); // the user put the note back before answering
        QTest::addColumn<bool>("outAfter");
        QTest::newRow("Show, after it was tucked again") << "show" << true << true;
        QTest::newRow("Snooze") << "snooze" << false << false;
    }

    void theNotificationsActions()
    {
        QFETCH(QString, action);
        QFETCH(bool, tuckedFirst);
        QFETCH(bool, outAfter);
        f->startUp();
        NoteModel* note = f->addNote(QStringLiteral("Pay rent"));
        reminders().remind(note, f->today);
        QTRY_COMPARE(server_->shown.size(), 1);
        Fixture::advance(1);
        if (tuckedFirst) {
            f->app->putBack(note);
            Fixture::advance(1);
        }
        server_->choose(action);
        QTRY_VERIFY(action == "show" ? note->onScreen() : note->remindAt().has_value());
        Fixture::advance(1);
        QCOMPARE(note->onScreen(), outAfter);
        if (action == "snooze") {
            QCOMPARE(note->remindAt(), std::optional(f->today.addSecs(600)));
            setClock(600);
            QTRY_VERIFY(note->onScreen());
            QTRY_COMPARE(server_->shown.size(), 2);
        }
    }
};

static RegisterSuite<RemindersTest> registered;

#include "RemindersTest.moc"
