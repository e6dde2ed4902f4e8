#pragma once

#include "model/NoteData.h"
#include "platform/Desktop.h"

#include <QList>
#include <QString>
#include <memory>

class AppController;
class NoteModel;

namespace bench {

// A desktop whose pointer the benchmark places; nothing else moves.
class BenchDesktop : public platform::Desktop {
public:
    QPointF mouse{100, 100};

    QPointF mouseLocation() const override { return mouse; }
    QRectF screenFrame() const override { return {0, 0, 1440, 900}; }
    double statusBarThickness() const override { return 24; }
    int clipboardChangeCount() const override { return 0; }
    QImage clipboardImage() const override { return {}; }
    void setClipboardImage(const QImage&) override {}
    void haptic() override {}
    double uptime() const override { return 1000; }
    void setWindowFrame(QWidget* window, const QRectF& frame) override;
    QRectF windowFrame(const QWidget* window) const override;
    bool hasCompositor() const override { return true; }
    QImage grabScreen() const override { return {}; }
};

BenchDesktop& desktop();

// Points the notes file, preferences and images at a folder under the build directory (on
// the real disk, so that the atomic write pays what it pays for the user), installs the
// bench desktop and stops the animation clock. Called once by main.
void setUpEnvironment();
QString dataDir();

// `count` notes as a user might have them: a few sentences each, some on several lines,
// some #tags, a few with image names, spread over two months.
QList<NoteData> sampleRecords(int count);
QList<NoteModel*> sampleNotes(int count);
// A note of about `bytes` bytes of such text.
QString longText(int bytes);

std::unique_ptr<AppController> makeController();

// Counts calls to malloc, calloc and realloc between begin() and end().
namespace allocations {
void begin();
long end();
} // namespace allocations

} // namespace bench
