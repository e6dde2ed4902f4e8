#include "platform/portal/PortalCapture.h"

#include "app/CaptureRegion.h"
#include "controller/ImageQueue.h"
#include "model/Images.h"
#include "platform/ImageSources.h"
#include "platform/Notices.h"
#include "support/FakePortal.h"
#include "support/Fixture.h"
#include "support/Suites.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

static QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// Screen captures on a Wayland session: the Screenshot portal (a fake one on a private bus)
// gives the image, and nothing but a real picture becomes a note. The portal answers from
// another process, so these tests wait on what it brings, not on the clock.
class PortalCaptureTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<Fixture> f;
    QStringList helperArguments_;
    QString file_; // the capture's temporary file
    int ended_ = 0;

    AppController& app() { return *f->app; }

    // Captures go through the portal client on the private bus.
    void captureThroughPortal(imagesources::CaptureMethod method)
    {
        imagesources::PortalCapture how{bus_->connect(), method, 5s, {}};
        how.startHelper = [this](const QStringList& arguments, std::function<void()> finished,
                                 QString*) {
            helperArguments_ = arguments;
            finished();
            return true;
        };
        f->services().launchCapture = [this, how](const QString& file,
                                                  std::function<void()> finished, QString*) {
            file_ = file;
            imagesources::capturePortal(how, file, [this, finished] {
                ++ended_;
                finished();
            });
            return true;
        };
    }

private Q_SLOTS:
    void init()
    {
        bus_ = std::make_unique<PrivateBus>();
        if (!bus_->ok())
            QSKIP(qPrintable(bus_->error));
        f = std::make_unique<Fixture>();
        f->startUp();
    }

    void cleanup()
    {
        f.reset();
        bus_.reset();
    }

    // A black, failed or cancelled shot makes no note; a region from the desktop's picker does,
    // and a whole-screen shot goes under the program's own overlay.
    void onlyARealPictureFromThePortalBecomesANote()
    {
        auto fake = std::make_unique<FakePortal>(bus_->connect());
        captureThroughPortal(imagesources::CaptureMethod::PortalRegion);
        QSignalSpy notices(&platform::Notices::shared(), &platform::Notices::posted);

        // What XWayland's root gives, or a compositor that would not share the screen.
        fake->screenshotFile = f->dir.filePath("black.png");
        filled(QSize(64, 48), Qt::black).save(fake->screenshotFile);
        app().images().captureScreenshot(nullptr);
        QTRY_COMPARE(f->log.lines.size(), 1);
        QCOMPARE(f->log.lines[0],
                 "Quillhaven: screencapture failed: the screen image is all black");
        QCOMPARE(notices.size(), 1);

        // The user's cancel is no failure: nothing to say.
        fake->screenshotResponse = 1;
        app().images().captureScreenshot(nullptr);
        QTRY_COMPARE(ended_, 2);
        Fixture::finishImages();
        QCOMPARE(f->log.lines.size(), 1);
        QCOMPARE(app().notes().size(), 0);

        fake->screenshotResponse = 0;
        fake->screenshotFile = f->writeFile("region.png", QSize(120, 80));
        app().images().captureScreenshot(nullptr);
        QTRY_COMPARE(app().notes().size(), 1);
        QCOMPARE(Images::load(app().notes()[0]->images().value(0)).size(), QSize(120, 80));
        QVERIFY(fake->lastCall("Screenshot")->options.value("interactive").toBool());
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(!QFile::exists(file_));

        fake->screenshotFile = f->writeFile("screen.png", QSize(1440, 900));
        captureThroughPortal(imagesources::CaptureMethod::PortalScreen);
        app().images().captureScreenshot(nullptr);
        QTRY_COMPARE(helperArguments_.size(), 4);
        QCOMPARE(helperArguments_[0], "--capture-region");
        QVERIFY(helperArguments_[1].startsWith(QDir::tempPath() + "/quillhaven-"));
        QCOMPARE(helperArguments_.mid(2), (QStringList{"--from", fake->screenshotFile}));
        QVERIFY(!fake->lastCall("Screenshot")->options.value("interactive").toBool());

        // A portal without the interface, and no portal on the bus at all: said at once.
        fake->versions.erase("org.freedesktop.portal.Screenshot");
        for (const int lines : {2, 3}) {
            captureThroughPortal(imagesources::CaptureMethod::PortalRegion);
            app().images().captureScreenshot(nullptr);
            QTRY_COMPARE(f->log.lines.size(), lines);
            QVERIFY(f->log.lines.last().startsWith(
                "Quillhaven: screencapture failed: the desktop offers no screenshot portal; "));
            QVERIFY(!fake || fake->calls.last().method == "Get"); // and no Screenshot request
            fake.reset();
        }
        QCOMPARE(notices.size(), 3);
        QCOMPARE(app().notes().size(), 1);
    }
};

// The check every grab passes before the user sees it.
class BlankShotTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyBlackOrClearImagesAreBlank()
    {
        using imagesources::blankImage;
        QVERIFY(blankImage(QImage()) && blankImage(filled(QSize(40, 30), Qt::black)));
        QVERIFY(blankImage(filled(QSize(40, 30), Qt::transparent)));
        QImage mixed = filled(QSize(40, 30), Qt::black);
        mixed.setPixel(3, 3, qRgba(255, 255, 255, 0)); // invisible colour counts as nothing
        QVERIFY(blankImage(mixed));
        mixed.setPixel(39, 29, qRgb(1, 0, 0)); // the last pixel alone makes it a picture
        QVERIFY(!blankImage(mixed));
        QVERIFY(!blankImage(
            filled(QSize(2, 2), QColor(30, 30, 30)).convertToFormat(QImage::Format_Indexed8)));
    }

    void theChildMapsADesktopImageOntoItsPointsOrRefusesIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("shot.png");
        filled(QSize(2880, 1800), Qt::darkCyan).save(path);
        QString failure;
        QCOMPARE(shotFromFile(path, QRect(0, 0, 1440, 900), &failure).devicePixelRatio(), 2.0);
        QVERIFY(failure.isEmpty());

        filled(QSize(1440, 900), Qt::black).save(path);
        QVERIFY(shotFromFile(path, QRect(0, 0, 1440, 900), &failure).isNull());
        QCOMPARE(failure, "the screen image is all black");
        QVERIFY(shotFromFile(dir.filePath("none.png"), QRect(0, 0, 10, 10), &failure).isNull());
        QVERIFY(failure.startsWith("the screen image could not be read"));
    }

    // Only a capture that kept the user waiting is logged, with the step that took the time.
    void aSlowCaptureIsToldByItsSteps()
    {
        using imagesources::slowCaptureLine;
        QVERIFY(slowCaptureLine(1000, 1100, "overlay-shown 2900\n").isEmpty());
        QVERIFY(slowCaptureLine(1000, 1100, "").isEmpty());
        QVERIFY(slowCaptureLine(1000, 1100, "overlay-shown soon\n").isEmpty());
        QCOMPARE(slowCaptureLine(1000, 18500, "Qt says\noverlay-shown 19600\n"),
                 "Quillhaven: slow capture: the selection showed after 18.6 s (screen image "
                 "17.5 s, helper 1.1 s)");
    }
};

static RegisterSuite<PortalCaptureTest> registered;
static RegisterSuite<BlankShotTest> registeredBlank;

#include "PortalCaptureTest.moc"
