#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class AppController;
class FolderLocks;

// The notes folder the user chooses (NotesFolder.cpp): moves the notes file, its pictures and
// tombstones there, or, when it holds notes already, shows those instead.
class NotesFolderMove : public QObject {
public:
    explicit NotesFolderMove(AppController& app);
    ~NotesFolderMove() override;

    // Asks for a folder without waiting, then moves the notes there.
    void choose();
    // Says on the dashboard what went wrong, if anything.
    void moveTo(const QString& folder);
    bool moving() const { return move_.has_value(); }
    // The locks of the notes folder, not owned; until set, plain locks of its own.
    void setLocks(FolderLocks* locks) { locks_ = locks; }
    // Finishes or undoes a move cut short, at start.
    void recover();

private:
    void finish(bool staged, const QString& error);
    void adoptNotesIn(const QString& folder);
    void switchTo(const QString& folder);
    void tellFailed(const QString& folder, const QString& reason);
    FolderLocks& locks();

    AppController& app_;
    // A move under way: its files are copied on a worker.
    struct Move {
        QString from;
        QString to;
        std::shared_ptr<std::atomic<bool>> cancel;
    };
    std::optional<Move> move_;
    FolderLocks* locks_ = nullptr;
    std::unique_ptr<FolderLocks> ownLocks_;
};
