#pragma once

#include "model/NoteData.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class NoteModel;

// The notes file: one JSON array in the application folder, rewritten whole and atomically
// after every persisted change.
namespace Store {

// Location of notes.json: the services' notes file when they name one, else computed once in
// the user's data folder (moving the legacy folder into place first).
QString url();
// What url() does with the user's data folder, for any data folder: moves the legacy folder
// into place when the application folder is missing, creates it, returns its notes.json.
QString locateIn(const QString& dataDir);

// The records of the notes file, ids made unique; empty when there is none or it is kept aside
// as unreadable. Whoever keeps the live notes builds them from these.
QList<NoteData> load();
// What one save writes, taken on the GUI thread and then written anywhere: the records (their
// strings are shared, not copied), and the file and services they belong to, so the writing
// thread reads nothing that the GUI thread may change.
struct Snapshot {
    QList<NoteData> records;
    QString path;
    int generation = 0;
    QDateTime taken; // names a file kept aside
};
Snapshot snapshot(const QList<NoteModel*>& notes);
// The same around records read already.
Snapshot snapshotOf(QList<NoteData> records);

// Encodes and writes the snapshot; safe on any one thread at a time besides load(). Logs
// "Quillhaven: save failed: <reason>" and returns false on failure, with the reason in `error`.
// A file that someone else changed since this process last read or wrote it is first kept
// aside, with one line.
bool write(const Snapshot& snapshot, QString* error = nullptr);
// write(snapshot(notes)), on the caller's thread.
bool save(const QList<NoteModel*>& notes);

// The file format on its own, for tests, the fuzzer and the benchmarks.
QByteArray encode(const QList<NoteData>& records, QString* error = nullptr);
std::optional<QList<NoteData>> decode(const QByteArray& bytes);

} // namespace Store
