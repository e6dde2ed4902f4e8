#pragma once

#include <QPointer>
#include <QWidget>

class AppController;
class NoteModel;

// The content of one note window: paper, header strip, images, text, grip and effects.
class NoteView : public QWidget {
    Q_OBJECT
public:
    NoteView(NoteModel* note, AppController* app, QWidget* parent = nullptr);
    ~NoteView() override;

    NoteModel* note() const { return note_; }

private:
    QPointer<NoteModel> note_;
    QPointer<AppController> app_;
};
