#pragma once

#include <QDialog>

class AppController;
class QListWidget;

// "Restore from Backup…": the backups, newest first, each with its date and how many notes it
// holds; the chosen one is merged into the notes by the controller.
class RestoreDialog : public QDialog {
public:
    RestoreDialog(AppController* app, QWidget* parent);

    QListWidget* list() const { return list_; }

private:
    void restoreChosen();

    AppController* app_;
    QListWidget* list_;
};
