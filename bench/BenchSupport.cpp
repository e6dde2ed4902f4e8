#include "BenchSupport.h"

#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "platform/Services.h"

#include <QDir>
#include <QSettings>
#include <QWidget>
#include <array>
#include <atomic>
#include <random>

namespace bench {

namespace {

constexpr std::array kWords{
    "the",     "meeting", "call",   "remember", "buy",    "milk",    "bread",  "project", "review",
    "draft",   "send",    "email",  "to",       "before", "friday",  "idea",   "for",     "a",
    "new",     "design",  "check",  "with",     "Anna",   "about",   "budget", "numbers", "book",
    "flights", "hotel",   "and",    "dentist",  "at",     "three",   "notes",  "from",    "talk",
    "on",      "caching", "pick",   "up",       "parcel", "post",    "office", "garden",  "water",
    "plants",  "fix",     "bike",   "tyre",     "read",   "chapter", "seven",  "release", "plan",
    "tests",   "deploy",  "recipe", "lemon",    "cake",   "flour",   "eggs",   "sugar",   "ask",
    "Tom",     "whether", "the",    "report",   "is",     "ready",   "café",   "Zürich",  "naïve"};
constexpr std::array kTags{"#work",   "#ideas",   "#groceries", "#travel", "#home",
                           "#urgent", "#reading", "#health",    "#money",  "#later"};
constexpr std::array kColors{"yellow", "pink", "blue", "green"};
constexpr std::array kFolders{"Personal", "Work", "Ideas"};

// Per thread: only what the measured code allocates counts, not the program's workers
// (the folder's first look, the writer) busy beside it.
thread_local bool counting = false;
thread_local long counted = 0;

QString sentence(std::mt19937& rng)
{
    std::uniform_int_distribution<int> length(5, 14);
    std::uniform_int_distribution<size_t> word(0, kWords.size() - 1);
    QString s;
    const int n = length(rng);
    for (int i = 0; i < n; ++i) {
        s += QString::fromUtf8(kWords[word(rng)]);
        s += i + 1 < n ? QStringLiteral(" ") : QStringLiteral(".");
    }
    s[0] = s[0].toUpper();
    return s;
}

QString noteText(std::mt19937& rng)
{
    std::uniform_int_distribution<int> sentences(1, 5);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<size_t> tag(0, kTags.size() - 1);
    const bool multiLine = percent(rng) < 40;
    QString text;
    const int n = sentences(rng);
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            text += multiLine ? QStringLiteral("\n") : QStringLiteral(" ");
        }
        text += sentence(rng);
    }
    if (percent(rng) < 30) {
        text += QStringLiteral("\n") + QString::fromUtf8(kTags[tag(rng)]);
        if (percent(rng) < 40) {
            text += QStringLiteral(" ") + QString::fromUtf8(kTags[tag(rng)]);
        }
    }
    return text;
}

QString imageName(std::mt19937& rng)
{
    const QUuid id(rng(), rng() & 0xffff, rng() & 0xffff, 1, 2, 3, 4, 5, 6, 7, 8);
    return id.toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
}

} // namespace

void BenchDesktop::setWindowFrame(QWidget* window, const QRectF& frame)
{
    window->setGeometry(platform::toQt(frame, QRect(QPoint(0, 0), screenFrame().size().toSize())));
}

QRectF BenchDesktop::windowFrame(const QWidget* window) const
{
    return platform::fromQt(window->geometry(), QRect(QPoint(0, 0), screenFrame().size().toSize()));
}

BenchDesktop& desktop()
{
    static BenchDesktop instance;
    return instance;
}

QString dataDir()
{
    return QStringLiteral(QUILLHAVEN_BENCH_DATA);
}

void setUpEnvironment()
{
    QDir(dataDir()).removeRecursively();
    QDir().mkpath(dataDir());
    platform::Services services;
    services.notesFile = QDir(dataDir()).filePath(QStringLiteral("notes.json"));
    services.desktop = &desktop();
    // Stands for the whole run.
    static const platform::ServicesGuard installed(services);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dataDir());
    motion::FrameClock::instance().setManual(true);
}

QList<NoteData> sampleRecords(int count)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_real_distribution<double> age(0, 60 * 86400.0);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<NoteData> records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        NoteData d;
        d.id = QUuid(rng(), rng() & 0xffff, rng() & 0xffff, 9, 8, 7, 6, 5, 4, 3,
                     static_cast<uchar>(i));
        d.text = noteText(rng);
        d.x = 200 + percent(rng) * 7.25;
        d.y = 300 + percent(rng) * 3.5;
        d.color = QString::fromUtf8(kColors[static_cast<size_t>(percent(rng)) % kColors.size()]);
        d.folder = QString::fromUtf8(kFolders[static_cast<size_t>(percent(rng)) % kFolders.size()]);
        d.pinned = percent(rng) < 5;
        const QDateTime created = now.addMSecs(-static_cast<qint64>(age(rng) * 1000));
        d.created = created;
        d.modified = created.addMSecs(static_cast<qint64>(
            std::uniform_real_distribution<double>(0, 1)(rng) * created.msecsTo(now)));
        if (percent(rng) < 2) {
            d.deletedAt = now.addSecs(-percent(rng) * 3600);
        }
        if (percent(rng) < 3) {
            d.images = QStringList{imageName(rng)};
        }
        d.pw = percent(rng) < 80 ? 220 : 320;
        d.ph = percent(rng) < 80 ? 220 : 360;
        records << d;
    }
    return records;
}

QList<NoteModel*> sampleNotes(int count)
{
    return makeNotes(sampleRecords(count));
}

QString longText(int bytes)
{
    std::mt19937 rng(7);
    QString text;
    while (text.toUtf8().size() < bytes) {
        text += noteText(rng) + QStringLiteral("\n");
    }
    return text;
}

std::unique_ptr<AppController> makeController()
{
    return makeAppController();
}

namespace allocations {

void begin()
{
    counted = 0;
    counting = true;
}

long end()
{
    counting = false;
    return counted;
}

} // namespace allocations

} // namespace bench

// The bench executable's own allocator entry points: they count, then hand over to the C
// library, so the tick's "no allocation" can be checked rather than assumed.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);

void* malloc(size_t size)
{
    if (bench::counting) {
        ++bench::counted;
    }
    return __libc_malloc(size);
}

void* calloc(size_t n, size_t size)
{
    if (bench::counting) {
        ++bench::counted;
    }
    return __libc_calloc(n, size);
}

void* realloc(void* p, size_t size)
{
    if (bench::counting) {
        ++bench::counted;
    }
    return __libc_realloc(p, size);
}
}
