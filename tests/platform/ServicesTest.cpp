#include "platform/Services.h"

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

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
};

static RegisterSuite<ServicesTest> registered;
#include "ServicesTest.moc"
