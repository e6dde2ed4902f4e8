#pragma once

#include "dashboard/DashboardView.h"
#include "support/Fixture.h"
#include "support/Suites.h"

#include <QPushButton>
#include <memory>

// The shared fixture with its controller made and the clock at 2026-03-10 12:00 UTC.
class DashboardFixture : public Fixture {
public:
    DashboardFixture();

    struct Note {
        QString text;
        qint64 age = 60; // seconds before now
        QString folder = "Personal";
        QString color = "yellow";
        bool pinned = false;
        bool onScreen = false;
        bool deleted = false;
    };
    // Adds the notes to the controller in this order (and saves).
    QList<NoteModel*> add(const QList<Note>& notes);
    NoteModel* add(const Note& note) { return add(QList<Note>{note}).first(); }
    // Notes that differ in their text alone.
    QList<NoteModel*> addTexts(const QStringList& texts);

    // A dashboard view on the controller, shown at the window's usual size and active.
    std::unique_ptr<DashboardView> makeView();
};

// The sidebar row showing `title`, or -1.
int sidebarRow(const DashboardView& view, const QString& title);
// Clicks the sidebar row showing `title`; fails the test when there is none.
void clickSidebarRow(DashboardView& view, const QString& title);
// Clicks the list row of `note`.
void clickNoteRow(DashboardView& view, const NoteModel* note);
QStringList groupTitles(const DashboardView& view);
// The push button under `root` with this text or accessible name, or nullptr.
QPushButton* buttonNamed(const QWidget* root, const QString& text);
// Whether that button is there and shown.
inline bool showsButton(const QWidget* root, const QString& text)
{
    return buttonNamed(root, text) != nullptr && buttonNamed(root, text)->isVisible();
}
