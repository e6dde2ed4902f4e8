#include "support/Fixture.h"

#include "app/WidgetViews.h"
#include "model/ImageWork.h"
#include "model/Images.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "support/ImageBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSettings>
#include <QTest>
#include <QUuid>

Fixture::Fixture(QDateTime today)
    : today(std::move(today))
    , clock_([this] { return this->today; })
    , services_([this] {
        platform::Services fakes = platform::services();
        fakes.notesFile = dir.filePath(QStringLiteral("notes.json"));
        fakes.soundPlayed = [this](int effect) { sounds << Sound::Effect(effect); };
        fakes.settlePause = [this](int) {
            if (settling) {
                settling();
            }
        };
        return fakes;
    }())
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    motion::FrameClock::instance().setManual(true);
}

Fixture::~Fixture()
{
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Fixture::writeNotes(const QJsonArray& records) const
{
    QFile file(notesPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(records).toJson(QJsonDocument::Compact));
}

QByteArray Fixture::savedBytes() const
{
    // Saving runs on the writer's thread: what a test reads is what the last change wrote.
    if (app) {
        app->writer().drain();
    }
    QFile file(notesPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Fixture::savedTexts() const
{
    QStringList result;
    for (const NoteData& r : Store::decode(savedBytes()).value_or(QList<NoteData>())) {
        result << r.text;
    }
    return result;
}

QStringList Fixture::texts(const QList<NoteModel*>& notes)
{
    QStringList result;
    for (const NoteModel* note : notes) {
        result << note->text();
    }
    return result;
}

QString Fixture::storeImage(QSize size, QColor colour) const
{
    const QString name =
        QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
    flatImage(size, colour).save(QDir(Images::dir()).filePath(name), "PNG");
    return name;
}

QString Fixture::writeFile(const QString& name, QSize size, QColor colour) const
{
    const QString path = dir.filePath(name);
    flatImage(size, colour).save(path, "PNG");
    return path;
}

NoteModel* Fixture::addNote(const QString& text, bool onScreen)
{
    NoteData data;
    data.id = QUuid::createUuid();
    data.text = text;
    data.onScreen = onScreen;
    data.created = today;
    auto* note = new NoteModel(data);
    app->setNotes(app->notes() + QList<NoteModel*>{note});
    return note;
}

NoteModel* Fixture::shownNote(const QString& text)
{
    NoteModel* note = addNote(text, true);
    note->origin = QPointF(100, 300);
    app->show(note);
    return note;
}

void Fixture::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void Fixture::finishImages()
{
    for (int hop = 0; hop < 3; ++hop) {
        settle();
        Images::waitForWorker();
    }
    settle();
}

QJsonObject Fixture::record(const QString& text, bool onScreen, double x, double y)
{
    QJsonObject r{{"text", text}, {"folded", false}, {"onScreen", onScreen}, {"x", x}, {"y", y}};
    r["id"] = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return r;
}
