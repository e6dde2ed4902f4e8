#pragma once

#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "windows/Panel.h"
#include "model/Images.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "platform/Clock.h"
#include "support/FakeDesktop.h"
#include "support/Suites.h"
#include "noteview/NoteView.h"
#include "sound/Sound.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>

// One controller on a fake desktop with its files in a fresh folder, a fixed date, a manual
// clock, and one note shown in a view the size of its window.
struct Fixture {
    QTemporaryDir dir;
    FakeDesktop desktop;
    LogCapture log;
    QDateTime today{QDate(2026, 3, 1), QTime(12, 0), Qt::UTC};
    std::unique_ptr<AppController> app;
    NoteModel* note = nullptr;
    std::unique_ptr<Panel> window;
    NoteView* view = nullptr;

    Fixture()
    {
        Store::setUrlForTesting(dir.filePath(QStringLiteral("notes.json")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        platform::setNow([this] { return today; });
        motion::FrameClock::instance().setManual(true);
        Sound::setObserver([](Sound::Effect) {});
        app = makeAppController();
    }

    ~Fixture()
    {
        window.reset();
        app.reset();
        Sound::setObserver({});
        platform::setNow({});
    }

    NoteModel* addNote(const QString& text, const QStringList& images = {})
    {
        NoteData data;
        data.id = QUuid::createUuid();
        data.text = text;
        data.onScreen = true;
        data.created = today.addDays(-3);
        data.modified = today.addDays(-2);
        if (!images.isEmpty()) {
            data.images = images;
        }
        note = new NoteModel(data);
        app->setNotes(app->notes() + QList<NoteModel*>{note});
        return note;
    }

    // The view in a note window of its own, as the controller shows it.
    NoteView& showView()
    {
        window = std::make_unique<Panel>(
            QRectF(QPointF(300, 300), QSizeF(app->winW(note), app->winH(note))));
        view = new NoteView(note, app.get());
        window->setContent(view);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qWarning("note window was not exposed");
        }
        return *view;
    }

    QString writeImage(QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return Images::save(image).value_or(QString());
    }

    QJsonArray savedNotes() const
    {
        QFile file(dir.filePath(QStringLiteral("notes.json")));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).array()
                                              : QJsonArray();
    }

    static void advance(double seconds) { motion::FrameClock::instance().advance(seconds); }
};

inline QColor pixel(const QImage& image, QPointF p)
{
    return image.pixelColor(p.toPoint());
}

inline bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance &&
           std::abs(a.alpha() - b.alpha()) <= tolerance;
}
