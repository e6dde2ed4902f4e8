#pragma once

#include "Suites.h"
#include "model/NoteModel.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "support/Fixture.h"

#include <QStringList>
#include <QUuid>
#include <csignal>
#include <optional>
#include <sys/resource.h>

// Caps the size of any file this process writes, as a full disk would; unlike a read-only
// folder this also stops root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

// The shared fixture, without a controller, for the tests of the store on disk. The test class
// derives from it, calls setUp(this) from init() and tearDown() from cleanup(); notes it adds
// or loads belong to the test object.
class StoreFixture {
protected:
    std::unique_ptr<Fixture> f;
    QString path;
    QList<NoteModel*> notes; // the live notes a test saves

    void setUp(QObject* owner)
    {
        owner_ = owner;
        f = std::make_unique<Fixture>(utc(2026, 5, 6, 7, 8, 9));
        path = f->notesPath();
    }

    void tearDown()
    {
        qDeleteAll(notes);
        notes.clear();
        typed_ = nullptr;
        again_.reset();
        f.reset();
    }

    // The store forgets what it saw of the file, as a new process would.
    void startAfresh()
    {
        again_.reset();
        again_.emplace(platform::services());
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

    QList<NoteModel*> load() { return makeNotes(Store::load(), owner_); }

    // One note whose text is `text`, as a keystroke leaves it, handed to the writer.
    void type(NotesWriter& writer, const QString& text)
    {
        if (!typed_) {
            typed_ = add(text);
        }
        typed_->setText(text);
        writer.submit(Store::snapshot(notes));
    }

    // The note texts in a notes file's bytes, in order; none for a file that does not decode.
    static QStringList texts(const QByteArray& file)
    {
        QStringList result;
        for (const NoteData& r : Store::decode(file).value_or(QList<NoteData>{})) {
            result << r.text;
        }
        return result;
    }

private:
    QObject* owner_ = nullptr;
    NoteModel* typed_ = nullptr;
    std::optional<platform::ServicesGuard> again_;
};
