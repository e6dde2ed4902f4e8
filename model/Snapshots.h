#pragma once

#include "model/Store.h"

#include <QList>
#include <vector>

class NoteModel;

// Takes the snapshots a save hands to the writer, re-reading only the notes assigned to or
// moved since the last one: with ten thousand notes, copying every record would cost each key
// milliseconds. The records are shared with the snapshots, so a snapshot costs no copy while
// the writer has finished with the previous one.
class Snapshots {
public:
    Store::Snapshot take(const QList<NoteModel*>& notes);

private:
    void readAll(const QList<NoteModel*>& notes);
    void readChanged();

    QList<NoteModel*> notes_;
    QList<NoteData> records_;
    std::vector<quint64> revisions_;
};
