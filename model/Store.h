#pragma once

#include "model/DiskFile.h"
#include "model/NoteData.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

class NoteModel;

// The notes file: one JSON array in the application folder, rewritten whole and atomically
// after every persisted change.
namespace Store {

// Location of notes.json: the folder the notes moved to while running, else the services'
// notes file when they name one, else notes.json in configuredFolder(), computed once.
QString url();
// The folder of url().
QString folder();
// Where the notes live when nothing else says: QUILLHAVEN_DATA_DIR, else the folder the user
// chose (the setting "notesFolder", while it exists), else the application folder in
// `dataDir` (see locateIn()). Logs one line when the chosen folder is gone.
QString configuredFolder(const QString& dataDir);
// The notes moved: from now on url() answers notes.json in `folder`, for the services in force.
void useFolder(const QString& folder);
// Remembers the user's choice for later starts.
void rememberFolder(const QString& folder);
// What url() does with the user's data folder, for any data folder: moves the legacy folder
// into place when the application folder is missing, creates it, returns its notes.json.
QString locateIn(const QString& dataDir);

// Moves the file at `path` out of the way of the next save (to "<path>.<why>-<time>"), logging
// "Quillhaven: <message><where>": whatever is in it stays on disk for the user to recover.
// Returns where it went, or nothing when it could not be moved.
QString keepAside(const QString& path, const QString& why, const QString& message,
                  const QDateTime& when);

// What load() found when the notes file could not be read: where it was kept aside (byte for
// byte) and how many notes were recovered from it.
struct Damage {
    QString keptAs;
    int recovered = 0;
};

// The records of the notes file, ids made unique; empty when there is none. Only a regular file
// is read: anything else (a FIFO, a device, a folder), like a file that does not decode, is
// kept aside as unreadable, and every complete record that still decodes on its own is
// recovered from it; `damage` then tells what happened. The notes this computer's layout file
// names (LocalLayout) sit where it says, whoever wrote the notes file last. Whoever keeps the
// live notes builds them from these.
QList<NoteData> load(Damage* damage = nullptr);
// What one save writes, taken on the GUI thread and then written anywhere: the records (their
// strings are shared, not copied), and the file and services they belong to, so the writing
// thread reads nothing that the GUI thread may change.
struct Snapshot {
    QList<NoteData> records;
    QString path;
    int generation = 0;
    QDateTime taken; // names a file kept aside
    // The version of the notes file whose notes the records hold already (merged in): found in
    // the file's place, it is no outside change.
    std::optional<DiskFile::Stamp> merged;
    // Where this computer's layout of the records goes (LocalLayout::path()); none: nowhere.
    QString layoutPath;
};
Snapshot snapshot(const QList<NoteModel*>& notes);
// The same around records read already.
Snapshot snapshotOf(QList<NoteData> records);

// Encodes and writes the snapshot; safe on any one thread at a time besides load(). Logs
// "Quillhaven: save failed: <reason>" and returns false on failure, with the reason in `error`.
// A file that someone else changed since this process last read or wrote it, even in the last
// instant before the new one takes its place, is kept aside (the newest few of them), with one
// line.
bool write(const Snapshot& snapshot, QString* error = nullptr);
// A readable one is no longer kept aside but parked beside the notes file for the next merge
// (RemoteFiles), so that what another computer wrote is merged rather than overwritten.
//
// write() without the log line, for a caller that reports failures itself (the writer, which
// retries).
bool writeQuietly(const Snapshot& snapshot, QString* error);
// write(snapshot(notes)), on the caller's thread.
bool save(const QList<NoteModel*>& notes);

// The notes file as someone else left it: its records and which file it was.
struct RemoteVersion {
    QList<NoteData> records;
    DiskFile::Stamp stamp;
};
// The notes file at `path` when it changed outside since this process last read or wrote it
// (as a save judges that) and is not the version `merged`, and it decodes; otherwise nothing.
// `unreadable` tells a change that does not decode or is no regular file: what the live notes
// hold is then on no disk until the next save. Any thread: it may wait for a save under way,
// so not the GUI thread.
std::optional<RemoteVersion> readRemote(const QString& path, int generation,
                                        const std::optional<DiskFile::Stamp>& merged,
                                        bool* unreadable = nullptr);

// The file format on its own, for tests, the fuzzer and the benchmarks.
QByteArray encode(const QList<NoteData>& records, QString* error = nullptr);
std::optional<QList<NoteData>> decode(const QByteArray& bytes);

// encode(), reusing the bytes of each record that is unchanged since the last call: a key
// changes one note, and with thousands of notes encoding them all again would be most of a
// save. Kept by one thread; the bytes are kept only for files large enough to gain from it.
class Encoder {
public:
    QByteArray encode(const QList<NoteData>& records, QString* error = nullptr);

private:
    struct Encoded {
        NoteData record;
        QByteArray bytes;
    };
    std::vector<Encoded> last_;
};

// The records of a damaged file that decode on their own: each complete object at the top of
// its array, in order; whatever is cut off or broken is skipped. Safe on any input.
QList<NoteData> salvage(const QByteArray& bytes);

} // namespace Store
