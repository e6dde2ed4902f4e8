#pragma once

#include "Suites.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "platform/Clock.h"
#include "support/FakeDesktop.h"

#include <QTemporaryDir>
#include <QUuid>

// A notes file of its own in a fresh folder, a fixed clock and a captured log, for the tests
// of the store on disk. The test class derives from it, calls setUp(this) from init() and
// tearDown() from cleanup(); notes it adds or loads belong to the test object.
class StoreFixture {
protected:
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<LogCapture> log;
    QString path;
    QList<NoteModel*> notes; // the live notes a test saves

    void setUp(QObject* owner)
    {
        owner_ = owner;
        tmp = std::make_unique<QTemporaryDir>();
        path = tmp->filePath("notes.json");
        Store::setUrlForTesting(path);
        log = std::make_unique<LogCapture>();
        platform::setNow([] { return utc(2026, 5, 6, 7, 8, 9); });
    }

    void tearDown()
    {
        qDeleteAll(notes);
        notes.clear();
        platform::setNow({});
        log.reset();
        Store::setUrlForTesting({});
        tmp.reset();
    }

    static NoteData record(const QString& text)
    {
        NoteData r;
        r.id = QUuid::createUuid();
        r.text = text;
        return r;
    }

    NoteModel* add(const QString& text)
    {
        notes << new NoteModel(record(text), owner_);
        return notes.back();
    }

    QList<NoteModel*> load()
    {
        return makeNotes(Store::load(), owner_);
    }

private:
    QObject* owner_ = nullptr;
};
