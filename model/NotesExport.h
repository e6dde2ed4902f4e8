#pragma once

#include "model/NoteData.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

// The notes as a folder of Markdown files that any editor opens: one file per note (its text,
// then its pictures beside it as PNG files linked from the text, a short front-matter block
// first), and an index.md linking each note. Formatting is pure; write() does the disk.
namespace NotesExport {

// One note to export, with what the live note computes from its text.
struct Item {
    NoteData record;
    QString title;
    QStringList tags;
};

// One file of the export: either its bytes, or the picture file it is a copy of.
struct File {
    QString name;
    QByteArray bytes;
    QString copyOf;

    bool operator==(const File&) const = default;
};

// A file name stem from a title: no path separators, control characters or characters that
// other systems refuse, short, never hidden; "Note" when nothing is left.
QString stemOf(const QString& title);
// A link target for a file name in the same folder, safe in any Markdown reader.
QString linkTo(const QString& fileName);

// The Markdown of one note whose pictures are exported as `pictures`, in order.
QByteArray markdown(const Item& item, const QStringList& pictures);

// Every file of the export of `items`, index.md last; the pictures are copies of files in
// `imagesFolder` (those without a file there are left out). Names are unique without regard to case
// (for disks that ignore it).
QList<File> plan(const QList<Item>& items, const QString& imagesFolder);

// Writes the files into `folder` (created when missing), each one whole or not at all. A picture
// whose file has gone since is skipped. Stops early when `cancel` is set; false, with the reason
// in `error`, when a file cannot be written.
bool write(const QString& folder, const QList<File>& files, QString* error,
           const std::atomic<bool>* cancel = nullptr);

} // namespace NotesExport
