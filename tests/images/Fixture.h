#pragma once

#include "controller/AppController.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"
#include "sound/Sound.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// A started controller on a fake 1440 x 900 desktop, its files in a fresh folder, the date
// fixed at 2026-03-01 12:00 UTC and the frame clock stepped by hand.
class Fixture {
public:
    Fixture();
    ~Fixture();

    QTemporaryDir dir;
    FakeDesktop desktop;
    LogCapture log;
    QDateTime today;
    QList<Sound::Effect> sounds;
    std::unique_ptr<AppController> app;

    NoteModel* addNote(const QString& text, bool onScreen = false);
    // A note on the screen with its window.
    NoteModel* shownNote(const QString& text);
    // A PNG of the given size and colour in the images folder; returns its file name.
    QString storeImage(QSize size, QColor colour = Qt::darkCyan);
    // A PNG file outside the program's folders; returns its path.
    QString writeFile(const QString& name, QSize size, QColor colour = Qt::red);
    QString notesText() const;

    void advance(double seconds);
};
