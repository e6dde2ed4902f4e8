#include "motion/Motion.h"

#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace motion {

namespace {

constexpr int kFrameIntervalMs = 16;
// A frame after a long stall (a suspended machine) counts as this long at most.
constexpr double kMaxFrame = 0.25;
// Due times are sums of doubles; this much lateness still counts as on time.
constexpr double kDueSlack = 1e-9;

} // namespace

struct FrameClock::Delayed {
    double due = 0;
    quint64 sequence = 0;
    std::function<void()> fn;
    QPointer<const QObject> context;
    bool hasContext = false;
};

Ticker::~Ticker()
{
    FrameClock::instance().stop(this);
}

FrameClock& FrameClock::instance()
{
    // Deliberately never destroyed: tickers and pending steps may outlive the application
    // object at exit, and their destructors still talk to the clock.
    static FrameClock* clock = new FrameClock;
    return *clock;
}

FrameClock::FrameClock()
    : frameTimer_(new QTimer(this))
    , delayTimer_(new QTimer(this))
{
    frameTimer_->setTimerType(Qt::PreciseTimer);
    frameTimer_->setInterval(kFrameIntervalMs);
    connect(frameTimer_, &QTimer::timeout, this, &FrameClock::onFrame);
    delayTimer_->setTimerType(Qt::PreciseTimer);
    delayTimer_->setSingleShot(true);
    connect(delayTimer_, &QTimer::timeout, this, &FrameClock::runDue);
}

FrameClock::~FrameClock() = default;

double FrameClock::realNow() const
{
    using namespace std::chrono;
    static const auto epoch = steady_clock::now();
    return duration<double>(steady_clock::now() - epoch).count();
}

double FrameClock::now() const
{
    return manual_ ? manualNow_ : realNow() + realOffset_;
}

void FrameClock::setManual(bool manual)
{
    if (manual == manual_)
        return;
    if (manual) {
        manualNow_ = now();
        manual_ = true;
    } else {
        manual_ = false;
        realOffset_ += std::max(0.0, manualNow_ - now());
        lastFrame_ = now();
    }
    updateFrameTimer();
    armDelayTimer();
}

void FrameClock::advance(double seconds, double frame)
{
    if (!manual_)
        return;
    const double end = manualNow_ + std::max(seconds, 0.0);
    if (frame <= 0)
        frame = std::max(seconds, 0.0);
    do {
        double frameEnd = std::min(manualNow_ + frame, end);
        if (end - frameEnd < kDueSlack)
            frameEnd = end;
        advanceFrame(frameEnd);
    } while (manualNow_ < end);
}

// One manual frame. Steps falling due inside it run at their own due time, with every moving
// value brought to that instant first, so chains of steps keep their nominal timing.
void FrameClock::advanceFrame(double frameEnd)
{
    while (!delayed_.empty() && delayed_.front()->due <= frameEnd + kDueSlack) {
        const double due = std::clamp(delayed_.front()->due, manualNow_, frameEnd);
        if (due > manualNow_) {
            const double dt = due - manualNow_;
            manualNow_ = due;
            tickAll(dt);
        }
        runNext();
    }
    const double dt = frameEnd - manualNow_;
    manualNow_ = frameEnd;
    tickAll(dt);
    // Steps scheduled by this frame's tickers with no delay.
    while (!delayed_.empty() && delayed_.front()->due <= frameEnd + kDueSlack)
        runNext();
}

void FrameClock::after(double seconds, std::function<void()> fn, const QObject* context)
{
    if (!fn)
        return;
    if (QThread::currentThread() != thread()) {
        // Hop to the clock's thread; the context is watched from here on.
        QPointer<const QObject> watched(context);
        const bool hasContext = context != nullptr;
        QMetaObject::invokeMethod(
            this,
            [this, seconds, fn = std::move(fn), watched, hasContext]() mutable {
                if (!hasContext || watched)
                    after(seconds, std::move(fn), watched.data());
            },
            Qt::QueuedConnection);
        return;
    }
    auto step = std::make_unique<Delayed>();
    step->due = now() + std::max(seconds, 0.0);
    step->sequence = sequence_++;
    step->fn = std::move(fn);
    step->context = context;
    step->hasContext = context != nullptr;
    const auto at = std::upper_bound(
        delayed_.begin(), delayed_.end(), step->due,
        [](double due, const std::unique_ptr<Delayed>& other) { return due < other->due; });
    delayed_.insert(at, std::move(step));
    armDelayTimer();
}

void FrameClock::runNext()
{
    std::unique_ptr<Delayed> step = std::move(delayed_.front());
    delayed_.erase(delayed_.begin());
    if (step->hasContext && !step->context)
        return;
    step->fn();
}

void FrameClock::runDue()
{
    // Steps scheduled while these run wait for the next turn of the event loop, so a step
    // that keeps rescheduling itself cannot starve everything else.
    const double t = now();
    const quint64 limit = sequence_;
    while (!delayed_.empty() && delayed_.front()->due <= t + kDueSlack &&
           delayed_.front()->sequence < limit)
        runNext();
    armDelayTimer();
}

void FrameClock::armDelayTimer()
{
    if (manual_ || delayed_.empty()) {
        delayTimer_->stop();
        return;
    }
    const double wait = std::max(0.0, delayed_.front()->due - now());
    delayTimer_->start(static_cast<int>(std::ceil(wait * 1000)));
}

void FrameClock::start(Ticker* ticker)
{
    if (!ticker || isRunning(ticker))
        return;
    tickers_.push_back(ticker);
    updateFrameTimer();
}

void FrameClock::stop(Ticker* ticker)
{
    const auto it = std::find(tickers_.begin(), tickers_.end(), ticker);
    if (it == tickers_.end())
        return;
    if (tickDepth_ > 0) {
        *it = nullptr; // the frame in progress is walking this list
        return;
    }
    tickers_.erase(it);
    updateFrameTimer();
}

bool FrameClock::isRunning(const Ticker* ticker) const
{
    return ticker && std::find(tickers_.begin(), tickers_.end(), ticker) != tickers_.end();
}

int FrameClock::activeTickers() const
{
    return static_cast<int>(
        std::count_if(tickers_.begin(), tickers_.end(), [](Ticker* t) { return t != nullptr; }));
}

bool FrameClock::isFrameTimerActive() const
{
    return frameTimer_->isActive();
}

void FrameClock::tickAll(double dt)
{
    // Walk by index over the tickers present when the frame began: callbacks may start,
    // stop or destroy tickers, which only appends or nulls slots until the frame is over.
    ++tickDepth_;
    const std::size_t count = tickers_.size();
    for (std::size_t i = 0; i < count; ++i) {
        Ticker* ticker = tickers_[i];
        if (!ticker)
            continue;
        const bool moving = ticker->tick(dt);
        if (!moving && tickers_[i] == ticker)
            tickers_[i] = nullptr;
    }
    if (--tickDepth_ > 0)
        return;
    std::erase(tickers_, nullptr);
    updateFrameTimer();
}

void FrameClock::onFrame()
{
    const double t = now();
    const double dt = std::clamp(t - lastFrame_, 0.0, kMaxFrame);
    lastFrame_ = t;
    tickAll(dt);
}

void FrameClock::updateFrameTimer()
{
    const bool wanted = !manual_ && activeTickers() > 0;
    if (wanted && !frameTimer_->isActive()) {
        lastFrame_ = now();
        frameTimer_->start();
    } else if (!wanted && frameTimer_->isActive()) {
        frameTimer_->stop();
    }
}

} // namespace motion
