#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "controller/ClipboardOffer.h"
#include "controller/ImageQueue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

// How long the GUI thread stops answering while a picture comes in from the clipboard: the
// longest lateness of a 1 ms timer. bench/run fills the X clipboard first.
//   quillhaven_stall paste   a PNG is on the clipboard: Ctrl+V into a note, until it shows
//                            and the note has grown to hold it
//   quillhaven_stall stuck   the owner was stopped: the pad's offer and Ctrl+V, for 1.5 s
// Prints "<longest stall in ms> <seconds until done>".
namespace {

class Lateness {
public:
    Lateness()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.nsecsElapsed() / 1e6 - 1.0);
            clock_.restart();
        });
        clock_.start();
        timer_.start();
    }
    double longest() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double longest_ = 0;
};

void runFor(int ms)
{
    QTimer::singleShot(ms, [] { QApplication::exit(0); });
    QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const bool stuck = argc > 1 && qstrcmp(argv[1], "stuck") == 0;
    std::unique_ptr<AppController> app = makeAppController();
    app->start();
    NoteModel* note = app->newNote(std::nullopt, QStringLiteral("yellow"));
    app->drop(note);
    runFor(1000); // start-up and the note's landing are not what is measured

    Lateness lateness;
    QElapsedTimer took;
    took.start();
    qint64 arrived = -1; // ms until the picture was in the note
    if (stuck) {
        app->clipOffer().setUsed(-1); // as if copied after the launch: the pad asks
        app->clipOffer().refresh();
    }
    app->images().pasteImage(note);
    if (stuck) {
        runFor(1500);
    } else {
        // Measured on past the picture's arrival: the note grows and paints it after that.
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (arrived < 0 && !note->images().isEmpty()) {
                arrived = took.elapsed();
            }
            if ((arrived >= 0 && took.elapsed() > arrived + 500) || took.elapsed() > 120'000) {
                QApplication::exit(0);
            }
        });
        done.start(5);
        QApplication::exec();
    }
    std::printf("%.1f %.2f\n", lateness.longest(),
                double(arrived >= 0 ? arrived : took.elapsed()) / 1000);
    return stuck || !note->images().isEmpty() ? 0 : 1;
}
