#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Watches the notes folder for changes made by others (a folder-sync engine bringing another
// computer's notes, an editor) and its images folder for pictures arriving. A burst of changes
// (a sync engine writes a temporary file, renames it, touches the folder) is told once, after
// the folder has been quiet for `settleMs`. Our own saves are seen here too: whoever listens
// tells them apart by what the store remembers of its writes. A file replaced by a rename
// stays watched.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int settleMs = 250;

    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;

    // Watches the folder holding `notesFile` (and the file, and "images" in the folder) from
    // now on, in place of anything watched before. Empty stops watching.
    void watch(const QString& notesFile);
    const QString& notesFile() const { return notesFile_; }
    // A change was seen and is held until the folder has been quiet.
    bool settling() const;
    // When the earliest change of the notes folder not yet taken was seen (now, when none
    // waits); taking it starts afresh. Whatever the change holds was made before then.
    QDateTime takeNoticed();

Q_SIGNALS:
    // The notes folder changed: the notes file, a conflict copy, the tombstones, anything.
    void notesChanged();
    // The images folder changed: a picture may have arrived.
    void imagesChanged();

private:
    void rewatch();
    void notesSeen();

    QFileSystemWatcher* watcher_;
    QTimer* notesQuiet_;
    QTimer* imagesQuiet_;
    QDateTime noticed_;
    QString notesFile_;
    QString folder_;
    QString images_;
};
