#pragma once

#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "model/Images.h"
#include "motion/Motion.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "sound/Sound.h"
#include "support/FakeDesktop.h"
#include "support/ImageBytes.h"

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QTemporaryDir>
#include <memory>

// What a test of the running program stands on: a fake 1440 x 900 desktop (status bar 24), the
// notes file, images and settings in a fresh folder, the date fixed (`today`, which the test may
// move), the frame clock stepped by hand, sounds recorded and log lines captured. The
// controller is made only when asked for. Everything is put back when the fixture goes.
class Fixture {
public:
    explicit Fixture(QDateTime today = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC));
    ~Fixture();
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    QTemporaryDir dir;
    FakeDesktop desktop;
    LogCapture log;
    QDateTime today;
    QList<Sound::Effect> sounds;
    std::function<void()> settling; // runs where the saving thread would wait for a file to settle

private:
    // Made after the members they read and undone before those go.
    platform::NowOverride clock_;
    platform::ServicesGuard services_;

public:
    std::unique_ptr<AppController> app;

    // Makes the controller (it reads clipboard count, folders and screen as at launch).
    AppController& launch() { return *(app = makeAppController()); }
    // launch() + start().
    AppController& startUp()
    {
        launch().start();
        return *app;
    }

    // The fakes in force, for a test to replace one (a file chooser, a capture) until the
    // fixture goes.
    platform::Services& services() { return services_.installed(); }

    QString notesPath() const { return dir.filePath(QStringLiteral("notes.json")); }
    void writeNotes(const QJsonArray& records) const;
    QByteArray savedBytes() const;
    QJsonArray savedNotes() const { return QJsonDocument::fromJson(savedBytes()).array(); }
    QString notesText() const { return QString::fromUtf8(savedBytes()); }
    // The texts of the saved notes, in their order; none when the file does not read.
    QStringList savedTexts() const;

    // A PNG of the given size and colour written straight into the images folder; returns its
    // file name.
    QString storeImage(QSize size, QColor colour = Qt::darkCyan) const;
    // An image stored the way the program stores one; returns its file name.
    QString saveImage(QSize size) const
    {
        return Images::save(flatImage(size, Qt::darkCyan)).value_or(QString());
    }
    bool imageExists(const QString& name) const
    {
        return QFile::exists(QDir(Images::dir()).filePath(name));
    }
    // A PNG file outside the program's folders; returns its path.
    QString writeFile(const QString& name, QSize size, QColor colour = Qt::red) const;

    // Adds a live note created today to the controller, without touching the file.
    NoteModel* addNote(const QString& text, bool onScreen = false);
    // A note on the screen with its window.
    NoteModel* shownNote(const QString& text);

    static QStringList texts(const QList<NoteModel*>& notes);

    static void advance(double seconds) { motion::FrameClock::instance().advance(seconds); }
    // Lets queued work and deferred deletions run.
    static void settle();
    // Lets pictures in work finish and reach their notes (clipboard reading, then storing).
    static void finishImages();

    // A note record with the required keys; dates are seconds since 2001-01-01 UTC.
    static QJsonObject record(const QString& text, bool onScreen = false, double x = 0,
                              double y = 0);
    static double referenceSeconds(const QDateTime& when)
    {
        return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).msecsTo(when) / 1000.0;
    }
};

// The base of a suite on the running program: a fresh fixture, started, for each test function.
class StartedSuite : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<Fixture> h;
    AppController& app() { return *h->app; }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Fixture>();
        h->startUp();
    }
    void cleanup() { h.reset(); }
};
