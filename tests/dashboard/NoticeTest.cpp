#include "Dashboard.h"
#include "app/NoticeRoute.h"
#include "dashboard/DashListView.h"
#include "dashboard/DashWindow.h"
#include "dashboard/ElidedLabel.h"
#include "dashboard/NoticeBar.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "platform/Notices.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

// WCAG's contrast ratio of two opaque colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a dark platform theme hands the toolkit.
QPalette darkPalette()
{
    QPalette dark(QColor(53, 53, 53), QColor(35, 35, 35));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(238, 238, 236));
    dark.setColor(QPalette::Base, QColor(45, 45, 45));
    return dark;
}

} // namespace

// The dashboard's quiet line for what the program could not do by itself.
class NoticeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The hot key help is shown once ever and only when seen; a failing save until a save
    // succeeds; notices from below open the dashboard.
    void hotKeyHelpSaveFailuresAndNoticesFromBelow()
    {
        DashboardFixture f;
        auto view = f.makeView();
        view->offerHotKeyHelp(true);
        QVERIFY(view->noticeBar()->isHidden());

        // Not on the screen: kept for when it is.
        view->hide();
        view->offerHotKeyHelp(false);
        QVERIFY(view->noticeBar()->isHidden());
        view->show();
        view->offerHotKeyHelp(false);
        const QString help = view->noticeBar()->text();
        QVERIFY(help.contains("\u201Cquillhaven --toggle-dashboard\u201D"));
        QVERIFY(help.contains("\u201Cquillhaven --capture\u201D"));
        // A line across the top, not a share of the window.
        QTRY_COMPARE(view->noticeBar()->width(), view->width());
        QVERIFY(view->noticeBar()->height() < 80);
        QTest::mouseClick(view->noticeBar()->closeButton(), Qt::LeftButton);
        QVERIFY(view->noticeBar()->isHidden());

        // The next launch's dashboard stays quiet.
        auto next = f.makeView();
        next->offerHotKeyHelp(false);
        QVERIFY(next->noticeBar()->isHidden());

        // A failing save is shown until a save succeeds.
        NotesWriter& writer = f.app->writer();
        Q_EMIT writer.stateChanged(NotesWriter::State::Failed, "Read-only file system");
        const QString text = view->noticeBar()->text();
        QVERIFY(text.contains("Read-only file system") && text.contains(Store::url()));
        // A dashboard opened while it fails says so too.
        QCOMPARE(f.makeView()->noticeBar()->text(), text);

        Q_EMIT writer.stateChanged(NotesWriter::State::Failed, "No space left on device");
        QVERIFY(view->noticeBar()->text().contains("No space left on device"));
        Q_EMIT writer.stateChanged(NotesWriter::State::Pending, QString());
        QVERIFY(view->noticeBar()->isHidden());

        // Another notice that took its place stays.
        Q_EMIT writer.stateChanged(NotesWriter::State::Failed, "Read-only file system");
        view->showNotice("The screen could not be captured.");
        Q_EMIT writer.stateChanged(NotesWriter::State::Saved, QString());
        QCOMPARE(view->noticeBar()->text(), "The screen could not be captured.");

        // A notice from below opens the dashboard with it.
        showNoticesInDashboard(f.app.get());
        platform::Notices::shared().post("Nothing could be pasted.");
        auto* window = qobject_cast<DashWindow*>(f.app->dashboardWindow());
        QVERIFY(window != nullptr && window->isVisible());
        QCOMPARE(window->view()->noticeBar()->text(), "Nothing could be pasted.");
    }

    // The platform theme's palette turns dark, then light again, while the dashboard is open:
    // every text keeps 4.5:1 against the ground painted under it, the note's paper included.
    void everyTextIsReadableInLightAndDarkAndFollowsASwitch()
    {
        DashboardFixture f;
        const QList<NoteModel*> notes = f.add({{"Groceries\nmilk"}, {"Plumber #work"}});
        auto view = f.makeView();
        view->showNotice(QStringLiteral("Something the program could not do"));
        clickNoteRow(*view, notes[0]);
        QList<QWidget*> texts = {view->findChild<ElidedLabel*>(),
                                 view->noticeBar()->findChild<QLabel*>(), view->searchField(),
                                 view->findChild<QPlainTextEdit*>()};
        for (DashListView* list : view->findChildren<DashListView*>()) {
            texts << list; // the sidebar and the list
        }
        const QPalette original = QGuiApplication::palette();
        for (const bool dark : {true, false}) {
            QApplication::setPalette(dark ? darkPalette() : original);
            const QImage shot = view->grab().toImage();
            for (QWidget* text : texts) {
                QVERIFY(text);
                const QColor ink = text->palette().color(text->foregroundRole());
                const QColor ground = shot.pixelColor(text->mapTo(view.get(), QPoint(2, 2)));
                QVERIFY2(
                    contrast(ink, ground) >= 4.5,
                    qPrintable(QStringLiteral("%1 %2: %3 on %4")
                                   .arg(dark ? "dark" : "light", text->metaObject()->className(),
                                        ink.name(), ground.name())));
            }
        }
    }
};

static RegisterSuite<NoticeTest> registered;

#include "NoticeTest.moc"
