#pragma once

// What the model suites share: their common headers, file helpers and the fixture of the store
// on disk.
#include "model/DiskFile.h"
#include "model/Images.h"
#include "model/NoteModel.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "model/Tombstones.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "support/Suites.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>

inline QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The permission bits of `path` itself (not of what a link points at).
inline mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 07777;
}

// Puts a new file in place of `path` the way a sync tool does: written beside, renamed over.
inline void replaceFromOutside(const QString& path, const QByteArray& bytes)
{
    writeFile(path + ".sync-tool", bytes);
    QVERIFY(::rename(QFile::encodeName(path + ".sync-tool"), QFile::encodeName(path)) == 0);
}

// A note record of its own new id with `text`.
inline NoteData record(const QString& text)
{
    NoteData r;
    r.id = QUuid::createUuid();
    r.text = text;
    return r;
}

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
        DiskFile::setBeforeSwapHook({});
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
    QStringList savedTexts() const { return texts(readFile(path)); }
    QString lastSaved() const { return savedTexts().value(savedTexts().size() - 1); }

    // The files (not folders) beside the notes file.
    QStringList files() const { return QDir(f->dir.path()).entryList(QDir::Files); }

private:
    QObject* owner_ = nullptr;
    NoteModel* typed_ = nullptr;
    std::optional<platform::ServicesGuard> again_;
};
