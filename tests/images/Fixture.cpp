#include "app/WidgetViews.h"
#include "Fixture.h"

#include "model/Images.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QUuid>
#include <ctime>

Fixture::Fixture()
    : today(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)
{
    Store::setUrlForTesting(dir.filePath(QStringLiteral("notes.json")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    platform::setNow([this] { return today; });
    motion::FrameClock::instance().setManual(true);
    Sound::setObserver([this](Sound::Effect effect) { sounds << effect; });
    app = makeAppController();
    app->start();
}

Fixture::~Fixture()
{
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Sound::setObserver({});
    platform::setNow({});
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

QString Fixture::storeImage(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + ".png";
    image.save(QDir(Images::dir()).filePath(name), "PNG");
    return name;
}

QString Fixture::writeFile(const QString& name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

QString Fixture::notesText() const
{
    QFile file(dir.filePath(QStringLiteral("notes.json")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void Fixture::advance(double seconds)
{
    motion::FrameClock::instance().advance(seconds);
}

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    tzset();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    return runSuites(argc, argv);
}
