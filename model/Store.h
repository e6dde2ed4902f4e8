#pragma once

#include "model/NoteData.h"

#include <QByteArray>
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
// Logs "Quillhaven: save failed: <reason>" and returns false on failure. A file that someone
// else changed since this process last read or wrote it is first kept aside, with one line.
bool save(const QList<NoteModel*>& notes);

// The file format on its own, for tests, the fuzzer and the benchmarks.
QByteArray encode(const QList<NoteData>& records, QString* error = nullptr);
std::optional<QList<NoteData>> decode(const QByteArray& bytes);

} // namespace Store
