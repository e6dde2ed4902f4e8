#include "Dashboard.h"
#include "app/NoticeRoute.h"
#include "dashboard/DashWindow.h"
#include "dashboard/NoticeBar.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "platform/Notices.h"

#include <QToolButton>

// The dashboard's quiet line for what the program could not do by itself.
class NoticeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theHotKeyHelpIsShownOnceEverAndOnlyWhenSeen()
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
        const QString text = view->noticeBar()->text();
        QVERIFY(text.contains("\u201Cquillhaven --toggle-dashboard\u201D"));
        QVERIFY(text.contains("\u201Cquillhaven --capture\u201D"));
        // A line across the top, not a share of the window.
        QTRY_COMPARE(view->noticeBar()->width(), view->width());
        QVERIFY(view->noticeBar()->height() < 80);
        QTest::mouseClick(view->noticeBar()->closeButton(), Qt::LeftButton);
        QVERIFY(view->noticeBar()->isHidden());

        // The next launch's dashboard stays quiet.
        auto next = f.makeView();
        next->offerHotKeyHelp(false);
        QVERIFY(next->noticeBar()->isHidden());
    }

    void aFailingSaveIsShownUntilASaveSucceedsNoticesFromBelowOpenTheDashboard()
    {
        DashboardFixture f;
        auto view = f.makeView();
        NotesWriter& writer = f.app->writer();
        Q_EMIT writer.stateChanged(NotesWriter::State::Failed, "Read-only file system");
        const QString text = view->noticeBar()->text();
        QVERIFY(text.contains("Read-only file system"));
        QVERIFY(text.contains(Store::url()));
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
};

static RegisterSuite<NoticeTest> registered;

#include "NoticeTest.moc"
