#pragma once

#include "controller/AppController.h"
#include "controller/ImageQueue.h"
#include "dashboard/DashboardView.h"
#include "model/NoteFilter.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "windows/Panel.h"

#include <functional>

// The program's windows in the states a person meets them in, shared by the checks that read
// every window (names for a screen reader, German texts). The notes say German things so that
// the translation check can take their words as the user's own.
namespace tour {

using Visit = std::function<void(QWidget* window)>;

// The dashboard shown with `note` (if any) in its editor.
inline DashboardView* dashboardOn(AppController& app, const NoteModel* note = nullptr)
{
    app.showDashboard();
    Fixture::settle();
    auto* dashboard = app.dashboardWindow()->findChild<DashboardView*>();
    if (note != nullptr) {
        dashboard->setSelected(note->id());
        dashboard->refreshNow();
    }
    return dashboard;
}

// The pad closed and then hot, a note on the screen with a picture, and the viewer on it; then
// the dashboard with nothing selected, a pinned note in the editor, a deleted one, and a search
// that finds nothing ("nichts"), with notes of today, of the last week and older. Returns the
// note on the screen.
inline NoteModel* everyWindow(Fixture& f, const Visit& visit)
{
    AppController& app = f.startUp();
    app.newNote(std::nullopt, "yellow")->setText("Einkaufsliste\nMilch und Brot");
    app.newNote(std::nullopt, "pink");
    NoteModel* shown = f.shownNote("Zahnarzt anrufen\nmorgen #arbeit");
    app.setRevealed(true);
    for (const bool hot : {false, true}) {
        app.setPadHot(hot);
        Fixture::advance(2.0);
        Fixture::settle();
        visit(app.padWindow());
    }
    app.images().addImage(shown, flatImage(QSize(80, 60), Qt::darkCyan));
    Fixture::finishImages();
    app.viewImages(shown, 0);
    Fixture::advance(2.0);
    Fixture::settle();
    visit(app.window(shown));
    visit(app.viewerWindow());

    NoteModel* pinned = app.newNote(std::nullopt, "blue");
    pinned->setText("Reiseplanung\nZüge buchen #urlaub");
    pinned->setPinned(true);
    pinned->setModified(f.today.addDays(-1));
    NoteModel* old = app.newNote(std::nullopt, "green");
    old->setText("Rezepte");
    old->setModified(f.today.addDays(-20));
    NoteModel* gone = app.newNote(std::nullopt, "yellow");
    gone->setText("Alte Liste");
    app.trash(gone);
    DashboardView* dashboard = dashboardOn(app);
    visit(app.dashboardWindow());
    dashboard->setSelected(pinned->id());
    dashboard->refreshNow();
    visit(app.dashboardWindow());
    dashboard->setFilter(NoteFilter::deleted());
    dashboard->setSelected(gone->id());
    dashboard->refreshNow();
    visit(app.dashboardWindow());
    dashboard->setSearch("nichts");
    dashboard->refreshNow();
    visit(app.dashboardWindow());
    return shown;
}

} // namespace tour
