#include "Suites.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "platform/Clock.h"

#include <cmath>
#include <limits>

namespace {

const QUuid noteId = QUuid::fromString(QStringLiteral("5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B"));

// A record with every optional field filled the way a live note writes it.
NoteData fullRecord()
{
    NoteData r;
    r.id = noteId;
    r.text = QStringLiteral("Plan\nsee a/b");
    r.folded = true;
    r.onScreen = false;
    r.x = 100;
    r.y = -20.25;
    r.color = QStringLiteral("pink");
    r.folder = QStringLiteral("Work");
    r.pinned = true;
    r.created = utc(2026, 1, 1);
    r.modified = utc(2026, 1, 1, 0, 0, 1).addMSecs(500);
    r.pw = 180;
    r.ph = 220;
    return r;
}

NoteData decodeOne(const QByteArray& json)
{
    const auto records = Store::decode(json);
    if (!records || records->size() != 1) {
        qFatal("expected exactly one record from %s", json.constData());
    }
    return records->first();
}

} // namespace

class StoreFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { platform::setNow({}); }

    void writesCompactRecordWithUpperCaseIdAndReferenceDates()
    {
        const QByteArray expected =
            R"([{"id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B","text":"Plan\nsee a\/b",)"
            R"("folded":true,"onScreen":false,"x":100,"y":-20.25,"color":"pink",)"
            R"("folder":"Work","pinned":true,"created":788918400,"modified":788918401.5,)"
            R"("pw":180,"ph":220}])";
        QCOMPARE(Store::encode({fullRecord()}), expected);
    }

    void writesDeletedAtAndImagesOnlyWhenPresent()
    {
        NoteData r = fullRecord();
        r.images = QStringList();
        QVERIFY(!Store::encode({r}).contains("\"images\""));
        QVERIFY(!Store::encode({r}).contains("\"deletedAt\""));

        r.images = QStringList{QStringLiteral("A.png"), QStringLiteral("B.png")};
        r.deletedAt = utc(2000, 12, 31, 23, 59, 59);
        const QByteArray json = Store::encode({r});
        QVERIFY(json.contains(R"("deletedAt":-1,)"));
        QVERIFY(json.contains(R"("images":["A.png","B.png"])"));
    }

    void escapesStringsSoAnyTextRoundTrips()
    {
        NoteData r = fullRecord();
        r.text = QStringLiteral("quote \" back \\ slash / tab \t nul ") + QChar(0) +
                 QStringLiteral(" bell \x07 é 日本 😀 \u2028 end");
        const QByteArray json = Store::encode({r});
        QVERIFY(json.contains(R"(quote \" back \\ slash \/ tab \t nul \u0000 bell \u0007 )"));
        QVERIFY(json.contains("é 日本 😀"));
        QVERIFY(!json.endsWith('\n'));
        QCOMPARE(decodeOne(json).text, r.text);
    }

    void roundTripsEveryField()
    {
        NoteData r = fullRecord();
        r.deletedAt = utc(2026, 2, 3, 4, 5, 6).addMSecs(789);
        r.images = QStringList{QStringLiteral("X.png")};
        r.x = 0.1;
        r.y = -1e-7;
        r.pw = 1234.5678;
        const auto back = Store::decode(Store::encode({r, fullRecord()}));
        QVERIFY(back);
        QCOMPARE(back->size(), 2);
        QCOMPARE(back->at(0), r);
        QCOMPARE(back->at(1), fullRecord());
    }

    void refusesNonFiniteNumbers()
    {
        NoteData r = fullRecord();
        r.x = std::numeric_limits<double>::quiet_NaN();
        QString error;
        QVERIFY(Store::encode({fullRecord(), r}, &error).isEmpty());
        QVERIFY(error.contains(QLatin1String("x")));
        r = fullRecord();
        r.ph = std::numeric_limits<double>::infinity();
        QVERIFY(Store::encode({r}, &error).isEmpty());
    }

    void readsRecordOfRequiredKeysWithDefaults()
    {
        const QDateTime loadTime = utc(2026, 3, 4, 5, 6, 7);
        platform::setNow([loadTime] { return loadTime; });
        const NoteData r =
            decodeOne(R"([{"id":"5c9e0a4b-1d2e-4f30-8a6b-7c8d9e0f1a2b","text":"Hi","folded":false,)"
                      R"("onScreen":true,"x":10,"y":20.5}])");
        QCOMPARE(r.id, noteId); // lower case reads as the same id
        const NoteModel note(r, nullptr);
        QCOMPARE(note.text(), QStringLiteral("Hi"));
        QVERIFY(note.onScreen());
        QCOMPARE(note.origin, QPointF(10, 20.5));
        QCOMPARE(note.color(), QStringLiteral("yellow"));
        QCOMPARE(note.folder(), QStringLiteral("Personal"));
        QVERIFY(!note.pinned());
        QCOMPARE(note.paperW(), 220.0);
        QCOMPARE(note.paperH(), 220.0);
        QCOMPARE(note.created(), loadTime);
        QCOMPARE(note.modified(), loadTime);
        QVERIFY(note.images().isEmpty());
        QVERIFY(!note.deletedAt());
    }

    void modifiedDefaultsToCreated()
    {
        platform::setNow([] { return utc(2030, 1, 1); });
        const NoteModel note(
            decodeOne(R"([{"created":788918400,"id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B",)"
                      R"("text":"","folded":false,"onScreen":false,"x":0,"y":0}])"),
            nullptr);
        QCOMPARE(note.created(), utc(2026, 1, 1));
        QCOMPARE(note.modified(), utc(2026, 1, 1));
    }

    void readsNullOptionalsAsAbsentInAnyOrderIgnoringUnknownKeys()
    {
        const NoteData r =
            decodeOne(R"([{"future":{"a":[1,2]},"y":2,"color":null,"folder":null,"pinned":null,)"
                      R"("deletedAt":null,"images":null,"pw":null,"x":1,"onScreen":false,)"
                      R"("text":"a\/b \u00e9 \ud83d\ude00","folded":true,)"
                      R"("id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B","ph":300}])");
        QCOMPARE(r.text, QStringLiteral("a/b é 😀"));
        QVERIFY(!r.color && !r.folder && !r.pinned && !r.deletedAt && !r.images && !r.pw);
        QCOMPARE(r.ph, 300.0);
        QCOMPARE(NoteModel(r, nullptr).color(), QStringLiteral("yellow"));
    }

    void readsEmptyArray() { QCOMPARE(Store::decode("[]")->size(), 0); }

    void oneBadRecordMakesTheWholeFileUnreadable_data()
    {
        QTest::addColumn<QByteArray>("record");
        const QByteArray id = R"("id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B")";
        const QByteArray rest = R"("folded":false,"onScreen":false,"x":0,"y":0)";
        QTest::newRow("no text") << "{" + id + "," + rest + "}";
        QTest::newRow("null text") << "{" + id + R"(,"text":null,)" + rest + "}";
        QTest::newRow("number text") << "{" + id + R"(,"text":5,)" + rest + "}";
        QTest::newRow("folded as 0")
            << "{" + id + R"(,"text":"","folded":0,"onScreen":false,"x":0,"y":0})";
        QTest::newRow("x as string")
            << "{" + id + R"(,"text":"","folded":false,"onScreen":false,"x":"0","y":0})";
        const QByteArray body = R"(,"text":"",)" + rest + "}";
        QTest::newRow("no id") << "{" + body.mid(1);
        QTest::newRow("braced id") << R"({"id":"{5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B}")" + body;
        QTest::newRow("short id") << R"({"id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2")" + body;
        QTest::newRow("non-hex id") << R"({"id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2G")" + body;
        QTest::newRow("no dashes") << R"({"id":"5C9E0A4B1D2E4F308A6B7C8D9E0F1A2B0000")" + body;
        QTest::newRow("date as string") << "{" + id + R"(,"created":"2026-01-01",)" + body.mid(1);
        QTest::newRow("absurd date") << "{" + id + R"(,"modified":1e300,)" + body.mid(1);
        QTest::newRow("colour as number") << "{" + id + R"(,"color":3,)" + body.mid(1);
        QTest::newRow("image not a string") << "{" + id + R"(,"images":["a.png",1],)" + body.mid(1);
        QTest::newRow("overflowing number") << "{" + id + R"(,"pw":1e999,)" + body.mid(1);
        QTest::newRow("record not an object") << QByteArray("42");
    }

    void oneBadRecordMakesTheWholeFileUnreadable()
    {
        QFETCH(QByteArray, record);
        const QByteArray good = Store::encode({fullRecord()});
        QVERIFY(Store::decode(good));
        QByteArray file = good;
        file.insert(file.size() - 1, "," + record);
        QVERIFY(!Store::decode(file));
    }

    void refusesWhatIsNoArray_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("object") << QByteArray(R"({"notes":[]})");
        QTest::newRow("truncated") << Store::encode({fullRecord()}).chopped(2);
        QTest::newRow("trailing garbage") << Store::encode({fullRecord()}) + "x";
        QTest::newRow("bad utf-8") << QByteArray("[{\"text\":\"\xff\"}]");
    }

    void refusesWhatIsNoArray()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!Store::decode(bytes));
    }
};

static RegisterSuite<StoreFormatTest> registered;
#include "StoreFormatTest.moc"
