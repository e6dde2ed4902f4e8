#include "Suites.h"
#include "controller/AppController.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "support/FakeDesktop.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

namespace {

std::optional<NoteData> savedRecord(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const auto records = Store::decode(f.readAll());
    return records && records->size() == 1 ? std::optional(records->first()) : std::nullopt;
}

} // namespace

// Assigning through the live note ends in a rewrite of the notes file, or deliberately not.
class NoteHooksTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<FakeDesktop> desktop;
    QString path;
    QDateTime clock;

private Q_SLOTS:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        path = tmp->filePath(QStringLiteral("notes.json"));
        Store::setUrlForTesting(path);
        desktop = std::make_unique<FakeDesktop>();
        clock = utc(2026, 1, 1, 9);
        platform::setNow([this] { return clock; });
    }

    void cleanup()
    {
        platform::setNow({});
        desktop.reset();
        Store::setUrlForTesting({});
        tmp.reset();
    }

    void persistedFieldsSaveAndOnlyTextTouchesModified()
    {
        AppController app;
        NoteData r;
        r.id = QUuid::createUuid();
        auto* note = new NoteModel(r, &app);
        app.setNotes({note});
        QSignalSpy told(note, &NoteModel::willChange);

        clock = clock.addSecs(60);
        note->setText(QStringLiteral("Hello"));
        QCOMPARE(note->modified(), clock);
        QCOMPARE(savedRecord(path)->text, QStringLiteral("Hello"));
        QCOMPARE(savedRecord(path)->modified, clock);

        const QDateTime typed = clock;
        clock = clock.addSecs(60);
        note->setColor(QStringLiteral("pink"));
        QCOMPARE(savedRecord(path)->color, QStringLiteral("pink"));
        QCOMPARE(savedRecord(path)->modified, typed);

        // The same colour again still tells observers and saves.
        QVERIFY(QFile::remove(path));
        const int before = told.size();
        note->setColor(QStringLiteral("pink"));
        QVERIFY(told.size() > before);
        QVERIFY(savedRecord(path));

        QVERIFY(QFile::remove(path));
        note->setFolded(true);
        note->setPaperW(180);
        QVERIFY(!QFile::exists(path));
        note->setPinned(true);
        QCOMPARE(savedRecord(path)->folded, true);
        QCOMPARE(savedRecord(path)->pw, 180.0);
    }

    void noteWhoseControllerIsGoneSavesNothing()
    {
        auto app = std::make_unique<AppController>();
        NoteData r;
        r.id = QUuid::createUuid();
        NoteModel note(r, app.get());
        app.reset();
        note.setText(QStringLiteral("still typed"));
        note.setColor(QStringLiteral("green"));
        QCOMPARE(note.text(), QStringLiteral("still typed"));
        QCOMPARE(note.modified(), clock);
        QVERIFY(!QFile::exists(path));
    }
};

static RegisterSuite<NoteHooksTest> registered;
#include "NoteHooksTest.moc"
