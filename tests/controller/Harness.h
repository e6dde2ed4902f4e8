#pragma once

#include "controller/AppController.h"
#include "sound/Sound.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// Reaches the controller's private gesture state.
class ControllerTestAccess {
public:
    static void setPulling(AppController& app, NoteModel* note) { app.gesture_.pull.note = note; }
};

// One controller on a fake 1440 x 900 desktop (status bar 24), with its notes file, images
// and preferences in a fresh folder, a fixed date and a manual frame clock.
class Harness {
public:
    Harness();
    ~Harness();

    QTemporaryDir dir;
    FakeDesktop desktop;
    LogCapture log;
    QDateTime today;
    QList<Sound::Effect> sounds;
    std::unique_ptr<AppController> app;

    // Creates the controller (reads clipboard count, folders and screen as at launch).
    AppController& launch();
    // launch() + start().
    AppController& startUp();

    QString notesPath() const;
    void writeNotes(const QJsonArray& records);
    QJsonArray savedNotes() const;
    QByteArray savedBytes() const;

    // A PNG of the given pixel size in the images folder; returns its file name.
    QString writeImage(QSize size);
    bool imageExists(const QString& name) const;

    // A note record with the required keys; dates are seconds since 2001-01-01 UTC.
    static QJsonObject record(const QString& text, bool onScreen = false, double x = 0,
                              double y = 0);
    static double referenceSeconds(const QDateTime& when);

    // Adds a live note to the controller without touching the file.
    NoteModel* addNote(const QString& text, bool onScreen = false);

    void advance(double seconds);
};
