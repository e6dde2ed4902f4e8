#include "app/WidgetViews.h"
#include "Harness.h"

#include "model/Images.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSettings>
#include <QUuid>
#include <ctime>

Harness::Harness()
    : today(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)
{
    Store::setUrlForTesting(dir.filePath(QStringLiteral("notes.json")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    platform::setNow([this] { return today; });
    motion::FrameClock::instance().setManual(true);
    Sound::setObserver([this](Sound::Effect effect) { sounds << effect; });
}

Harness::~Harness()
{
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Sound::setObserver({});
    platform::setNow({});
}

AppController& Harness::launch()
{
    app = makeAppController();
    return *app;
}

AppController& Harness::startUp()
{
    launch().start();
    return *app;
}

QString Harness::notesPath() const
{
    return dir.filePath(QStringLiteral("notes.json"));
}

void Harness::writeNotes(const QJsonArray& records)
{
    QFile file(notesPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(records).toJson(QJsonDocument::Compact));
}

QByteArray Harness::savedBytes() const
{
    QFile file(notesPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonArray Harness::savedNotes() const
{
    return QJsonDocument::fromJson(savedBytes()).array();
}

QString Harness::writeImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + ".png";
    image.save(QDir(Images::dir()).filePath(name), "PNG");
    return name;
}

bool Harness::imageExists(const QString& name) const
{
    return QFile::exists(QDir(Images::dir()).filePath(name));
}

QJsonObject Harness::record(const QString& text, bool onScreen, double x, double y)
{
    return QJsonObject{{"id", QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()},
                       {"text", text},
                       {"folded", false},
                       {"onScreen", onScreen},
                       {"x", x},
                       {"y", y}};
}

double Harness::referenceSeconds(const QDateTime& when)
{
    const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return reference.msecsTo(when) / 1000.0;
}

NoteModel* Harness::addNote(const QString& text, bool onScreen)
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

void Harness::advance(double seconds)
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
    QFont font(QStringLiteral("DejaVu Sans"));
    QApplication::setFont(font);
    return runSuites(argc, argv);
}
