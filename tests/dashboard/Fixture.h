#pragma once

#include "controller/AppController.h"
#include "dashboard/DashboardView.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// A controller on a fake desktop with its notes, images and settings in a fresh folder, the
// clock fixed at 2026-03-10 12:00 UTC, animations on a manual clock and sounds silenced.
class Fixture {
public:
    Fixture();
    ~Fixture();

    QTemporaryDir dir;
    FakeDesktop desktop;
    LogCapture log;
    QDateTime now;
    std::unique_ptr<AppController> app;

    struct Note {
        QString text;
        qint64 age = 60; // seconds before now
        QString folder = QStringLiteral("Personal");
        QString color = QStringLiteral("yellow");
        bool pinned = false;
        bool onScreen = false;
        bool deleted = false;
    };
    // Adds the notes to the controller in this order (and saves).
    QList<NoteModel*> add(const QList<Note>& notes);
    NoteModel* add(const Note& note) { return add(QList<Note>{note}).first(); }

    // A dashboard view on the controller, shown at the window's usual size.
    std::unique_ptr<DashboardView> makeView();
    // Lets queued refreshes and deferred deletions run.
    static void settle();

    QString writeImage(QSize size = QSize(40, 30));
};

// Clicks the sidebar row showing `title`; fails the test when there is none.
void clickSidebarRow(DashboardView& view, const QString& title);
// Clicks the list row of `note`.
void clickNoteRow(DashboardView& view, const NoteModel* note);
QStringList groupTitles(const DashboardView& view);
