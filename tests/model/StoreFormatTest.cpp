#include "StoreFixture.h"
#include "model/LocalLayout.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

const QUuid noteId = QUuid::fromString(QStringLiteral("5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B"));
const QByteArray required =
    R"("id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B","text":"","folded":false,"onScreen":false,)"
    R"("x":0,"y":0)";

NoteData fullRecord()
{
    NoteData r;
    r.id = noteId;
    r.text = QStringLiteral("Plan\nsee a/b");
    r.folded = true;
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
    return records && records->size() == 1 ? records->first() : NoteData();
}

} // namespace

class StoreFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesCompactJsonWithReferenceDatesAndEscapedSolidus()
    {
        NoteData r = fullRecord();
        QCOMPARE(Store::encode({r}),
                 R"([{"id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B","text":"Plan\nsee a\/b",)"
                 R"("folded":true,"onScreen":false,"x":100,"y":-20.25,"color":"pink",)"
                 R"("folder":"Work","pinned":true,"created":788918400,"modified":788918401.5,)"
                 R"("pw":180,"ph":220}])");
        r.images = QStringList{"A.png", "B.png"};
        r.deletedAt = utc(2000, 12, 31, 23, 59, 59);
        r.remindAt = utc(2001, 1, 1, 0, 0, 2);
        const QByteArray json = Store::encode({r});
        QVERIFY(json.contains(R"("deletedAt":-1,"remindAt":2,"images":["A.png","B.png"],)"));
    }

    void roundTripsAnyTextAndEveryField()
    {
        NoteData r = fullRecord();
        r.text = QStringLiteral("q\" b\\ / \t nul ") + QChar(0) + QStringLiteral(" \x07 é 日本 😀");
        r.deletedAt = utc(2026, 2, 3, 4, 5, 6).addMSecs(789);
        r.remindAt = utc(2026, 2, 9, 9);
        r.images = QStringList{"X.png"};
        r.x = 0.1;
        r.pw = 234.5678;
        r.changed = utc(2026, 2, 3).addMSecs(250);
        r.versions = {{"A", 3}, {"b7", 9007199254740992ULL}};
        const QByteArray json = Store::encode({r, fullRecord()});
        QVERIFY(json.contains(R"(q\" b\\ \/ \t nul \u0000 \u0007 é 日本 😀)"));
        QVERIFY(json.contains(R"("versions":{"A":3,"b7":9007199254740992})"));
        const auto back = Store::decode(json);
        QVERIFY(back && back->size() == 2);
        QCOMPARE(back->at(0), r);
        QCOMPARE(back->at(1), fullRecord());

        // A leading U+FEFF (text pasted from some editors) and lone surrogates come back as
        // they were, not dropped as a byte-order mark or replaced.
        r.text = QString(QChar(0xfeff)) + "a" + QChar(0xd800) + "b" + QChar(0xdc00);
        r.images = QStringList{QString(QChar(0xfeff)) + "Y.png"};
        const auto odd = Store::decode(Store::encode({r}));
        QVERIFY(odd && odd->size() == 1);
        QCOMPARE(odd->at(0), r);
    }

    void requiredKeysAloneLoadWithDefaultsAndNullOrUnknownOnesChangeNothing()
    {
        const QDateTime loadTime = utc(2026, 3, 4, 5, 6, 7);
        const platform::NowOverride clock([loadTime] { return loadTime; });
        const NoteData r = decodeOne(R"([{"id":"5c9e0a4b-1d2e-4f30-8a6b-7c8d9e0f1a2b","text":"Hi",)"
                                     R"("folded":false,"onScreen":true,"x":10,"y":20.5}])");
        QCOMPARE(r.id, noteId); // lower case reads as the same id
        const NoteModel note(r, nullptr);
        QVERIFY(note.onScreen() && !note.folded() && !note.pinned() && !note.deletedAt());
        QVERIFY(std::tuple(note.text(), note.origin, note.color(), note.folder(), note.paperW(),
                           note.paperH(), note.created(), note.modified(), note.images()) ==
                std::tuple(u"Hi"_qs, QPointF(10, 20.5), u"yellow"_qs, u"Personal"_qs, 220.0, 220.0,
                           loadTime, loadTime, QStringList()));

        // Null optionals, unknown keys and any order.
        const NoteData n = decodeOne(
            R"([{"future":{"a":[1]},"color":null,"folder":null,"pinned":null,"deletedAt":null,)"
            R"("remindAt":null,)"
            R"("created":788918400,"images":null,"pw":null,"ph":300,)" +
            QByteArray(required).replace(R"("text":"")", R"("text":"a\/b \u00e9 \ud83d\ude00")") +
            "}]");
        QCOMPARE(n.text, QStringLiteral("a/b é 😀"));
        QVERIFY(!n.color && !n.folder && !n.pinned && !n.deletedAt && !n.remindAt && !n.images &&
                !n.pw);
        QCOMPARE(n.ph, 300.0);
        QCOMPARE(NoteModel(n).color(), "yellow");
        QCOMPARE(NoteModel(n).modified(), utc(2026, 1, 1)); // no modified: when it was created
    }

    // From a synced file or this computer's layout alike: never an invisible window the size
    // of the screen, nor one X11 cannot place.
    void absurdSizesAndPlacesAreKeptWithinLimits_data()
    {
        QTest::addColumn<QByteArray>("fields");
        QTest::addColumn<QRectF>("kept"); // x, y, pw, ph
        QTest::newRow("huge") << QByteArray(R"("x":1e308,"y":-1e308,"pw":1e9,"ph":1e9)")
                              << QRectF(20000, -20000, 600, 800);
        QTest::newRow("tiny") << QByteArray(R"("x":-5,"y":7,"pw":1,"ph":0)")
                              << QRectF(-5, 7, 160, 120);
    }

    void absurdSizesAndPlacesAreKeptWithinLimits()
    {
        QFETCH(QByteArray, fields);
        QFETCH(QRectF, kept);
        const QByteArray base = QByteArray(required).replace(R"("x":0,"y":0)", fields);
        const NoteData read = decodeOne("[{" + base + "}]");
        QCOMPARE(QRectF(read.x, read.y, read.pw.value_or(0), read.ph.value_or(0)), kept);

        NoteData mine = fullRecord();
        const QByteArray layout = "{\"" +
                                  noteId.toString(QUuid::WithoutBraces).toUpper().toLatin1() +
                                  "\":[" + QByteArray::number(kept.x() * 1e10) + ",0,true,false," +
                                  QByteArray::number(kept.width() * 1e10) + ",null]}";
        QList<NoteData> records{mine};
        LocalLayout::apply(layout, records);
        QCOMPARE(records[0].x, std::clamp(kept.x() * 1e10, -20000.0, 20000.0));
        QCOMPARE(*records[0].pw, 600.0);
    }

    // The encoder that keeps each note's bytes must write exactly what a whole encode writes,
    // through edits, notes added at the front and removed, a reorder, and a failure.
    void reusedBytesMatchAWholeEncode()
    {
        QList<NoteData> records;
        for (int i = 0; i < 2100; ++i) {
            NoteData r = fullRecord();
            r.id = QUuid::createUuid();
            r.text = QStringLiteral("note %1").arg(i);
            r.x = i;
            records << r;
        }
        Store::Encoder encoder;
        const auto same = [&] { return encoder.encode(records) == Store::encode(records); };
        QVERIFY(same());
        records[7].text += QStringLiteral(" and more");
        records[8].onScreen = !records[8].onScreen;
        QVERIFY(same());
        NoteData first = fullRecord();
        first.id = QUuid::createUuid();
        records.prepend(first);
        records.removeAt(1000);
        QVERIFY(same());
        std::reverse(records.begin(), records.end());
        QVERIFY(same());

        // A number that is not finite fails the whole file, and says where.
        records[3].y = std::numeric_limits<double>::quiet_NaN();
        records[4].pw = std::numeric_limits<double>::infinity();
        QString error;
        QVERIFY(encoder.encode(records, &error).isEmpty() && Store::encode(records).isEmpty());
        QVERIFY2(
            error.startsWith("y of note " + records[3].id.toString(QUuid::WithoutBraces).toUpper()),
            qPrintable(error));
        records[3].y = 3;
        QVERIFY(encoder.encode(records).isEmpty() && Store::encode(records).isEmpty());
        records[4].pw = 180;
        QVERIFY(same());
    }
};

static RegisterSuite<StoreFormatTest> registered;
#include "StoreFormatTest.moc"
