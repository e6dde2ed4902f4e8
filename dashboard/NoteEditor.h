#pragma once

#include "model/NoteModel.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class AppController;
class BarWidget;
class DropOverlay;
class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class QVBoxLayout;
class SwatchButton;

// The right-hand pane of the dashboard: one note on a full pane of its paper, with its
// toolbar (or the Recently Deleted bar), modified date, images and text. A fresh editor is
// made for every selected note. Every change goes through the note's setters or a
// controller operation; the editor saves nothing itself.
class NoteEditor : public QWidget {
    Q_OBJECT
public:
    NoteEditor(NoteModel* note, AppController* app, std::function<void()> deselect,
               QWidget* parent = nullptr);
    ~NoteEditor() override;

    // The narrowest pane that keeps every control whole, in the user's language: the actions
    // row with its icons alone and the on-screen button with the longer of its names.
    static int narrowestWidth(const QFont& font);

    NoteModel* note() const { return note_; }
    bool isDropping() const { return dropping_; }

    // Hooks for tests and the window's shortcuts.
    QPlainTextEdit* textEdit() const { return text_; }
    const QList<SwatchButton*>& swatches() const { return swatches_; }

Q_SIGNALS:
    // Moved to Recently Deleted from the editor's own button.
    void trashed(NoteModel* note);

protected:
    void applyTextScale();
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolbar();
    void buildIdentityControls();
    void buildActionControls();
    QWidget* buildDeletedBar();
    void buildImages();
    void showTileMenu(QWidget* tile, QPoint at, const QString& name);
    void onNoteChanged(NoteModel::Field field);
    void syncHeader();
    void syncColor();
    void syncPin();
    void syncReminder();
    void syncOnScreen();
    void syncModified();
    void syncTextFromNote();
    // The note's text in the editor: whole, or, when too long to edit, its beginning and
    // read-only.
    void showText(const QString& text);
    void syncEditable();
    void pushTextToNote();
    void fillFolderMenu();
    void fillReminderMenu();
    void setDropping(bool dropping);
    void fitToolbar();
    void shortenFolderName(int room);
    void fitImages();
    bool acceptsDrag(const QMimeData* mime) const;
    bool dropImages(const QMimeData* mime);
    void trashNote();
    void deleteNoteForever();

    QPointer<NoteModel> note_;
    QPointer<AppController> app_;
    std::function<void()> deselect_;
    bool dropping_ = false;
    bool syncing_ = false;

    BarWidget* toolbar_ = nullptr;
    QBoxLayout* toolbarRows_ = nullptr;
    QHBoxLayout* identityRow_ = nullptr;
    QHBoxLayout* actionsRow_ = nullptr;
    BarWidget* deletedBar_ = nullptr;
    QList<SwatchButton*> swatches_;
    QToolButton* folderButton_ = nullptr;
    QToolButton* pinButton_ = nullptr;
    QToolButton* remindButton_ = nullptr;
    QPushButton* screenButton_ = nullptr;
    QList<QToolButton*> labelled_;
    QLabel* modified_ = nullptr;
    QScrollArea* imageArea_ = nullptr;
    QWidget* imageSpacer_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QString partial_; // the whole text while only its beginning is shown; null otherwise
    DropOverlay* overlay_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
};
