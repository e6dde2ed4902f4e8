#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <functional>
#include <memory>
#include <vector>

class QTimer;
class QWidget;

// The program's small motion layer. Models take their new values at once; views keep an
// AnimatedValue per animated field and move it towards the model's value with the animation
// that was current when the model changed. One FrameClock drives every moving value, window
// frame and delayed step, so tests can step time by hand instead of sleeping.
namespace motion {

struct Animation {
    enum class Kind { None, Spring, EaseOut, EaseInOut, Cubic };

    Kind kind = Kind::None;
    double response = 0.55;       // spring: period of the undamped spring, seconds
    double dampingFraction = 1.0; // spring: 1 is critical, lower overshoots
    double blendDuration = 0.0;   // spring: how long an interrupted spring blends
    double duration = 0.0;        // ease and cubic curves
    QPointF c1, c2;               // cubic curve control points

    static Animation none() { return {}; }
    static Animation spring(double response, double dampingFraction, double blendDuration = 0);
    static Animation easeOut(double duration);
    static Animation easeInOut(double duration);
    static Animation cubic(double duration, QPointF c1, QPointF c2);
    // The toolkit's default animation: a critically damped spring of 0.55 s.
    static Animation standard();

    bool isNone() const { return kind == Kind::None; }
    // Progress 0..1 -> 0..1 for the ease and cubic kinds.
    double ease(double progress) const;
};

// Runs `body` with `animation` as the current transaction: every published change inside it
// carries that animation to the views that observe it.
void withAnimation(const Animation& animation, const std::function<void()>& body);
const Animation& currentAnimation();

class Ticker {
public:
    virtual ~Ticker();
    // Advances by dt seconds; returns false once settled (the clock then drops it).
    virtual bool tick(double dt) = 0;
};

class FrameClock : public QObject {
    Q_OBJECT
public:
    static FrameClock& instance();

    // Monotonic seconds. In manual mode it moves only through advance().
    double now() const;

    // Tests: time stands still until advance() is called.
    void setManual(bool manual);
    bool isManual() const { return manual_; }
    // Moves time forward in frames of at most `frame` seconds, ticking every moving value
    // and running every delayed step that falls due, in time order.
    void advance(double seconds, double frame = 1.0 / 60.0);

    // Runs fn once, `seconds` from now, on the main thread. With a context object the step
    // is dropped if the context has been destroyed by then.
    void after(double seconds, std::function<void()> fn, const QObject* context = nullptr);

    void start(Ticker* ticker);
    void stop(Ticker* ticker);
    bool isRunning(const Ticker* ticker) const;
    int activeTickers() const;
    // Delayed steps not yet run (including those whose context has gone).
    int pendingSteps() const { return static_cast<int>(delayed_.size()); }
    // Whether the real-time frame timer is running; it runs only while something moves.
    bool isFrameTimerActive() const;

private:
    FrameClock();
    ~FrameClock() override;
    double realNow() const;
    void onFrame();
    void tickAll(double dt);
    void runNext();
    void runDue();
    void advanceFrame(double frameEnd);
    void updateFrameTimer();
    void armDelayTimer();

    struct Delayed;
    bool manual_ = false;
    double manualNow_ = 0;
    double realOffset_ = 0; // keeps time monotonic across a switch out of manual mode
    double lastFrame_ = 0;
    int tickDepth_ = 0;
    std::vector<Ticker*> tickers_; // slots go null while ticking, compacted afterwards
    std::vector<std::unique_ptr<Delayed>> delayed_; // sorted by due time, then sequence
    quint64 sequence_ = 0;
    QTimer* frameTimer_ = nullptr;
    QTimer* delayTimer_ = nullptr;
};

inline void after(double seconds, std::function<void()> fn, const QObject* context = nullptr)
{
    FrameClock::instance().after(seconds, std::move(fn), context);
}

// A presentation value that moves towards its target. A spring keeps its velocity when it is
// retargeted; an ease curve starts from the current value.
class AnimatedValue : public Ticker {
public:
    explicit AnimatedValue(double value = 0);
    ~AnimatedValue() override;
    AnimatedValue(const AnimatedValue&) = delete;
    AnimatedValue& operator=(const AnimatedValue&) = delete;

    double value() const { return value_; }
    double velocity() const { return velocity_; }
    double target() const { return target_; }
    bool isAnimating() const;

    // Moves towards target with the given animation; Animation::none() jumps.
    void setTarget(double target, const Animation& animation);
    // Convenience: retarget with the current transaction.
    void animateTo(double target) { setTarget(target, currentAnimation()); }
    void jump(double value);

    // Called after every change of value (each frame while moving, and on a jump).
    std::function<void()> onChange;

    bool tick(double dt) override;

private:
    double value_ = 0;
    double velocity_ = 0;
    double target_ = 0;
    double currentSpringTarget() const;
    void startEase();
    void startSpring(bool interrupted, double previousTarget);
    bool tickEase(double dt);
    bool tickSpring(double dt);
    void notify();

    Animation animation_;
    double from_ = 0;
    double elapsed_ = 0;
    double blendFrom_ = 0; // spring target being blended away from
    double span_ = 0;      // distance of the current move, scales the settle threshold
};

// Animates a top-level window's frame (y-up space) with the given curve; completion runs once
// when the frame arrives. A new frame animation of the same window replaces the old one,
// whose completion then never runs.
void animateWindowFrame(QWidget* window, const QRectF& target, const Animation& curve,
                        std::function<void()> completion = {});
// Cancels a running frame animation of the window without running its completion.
void cancelWindowFrame(QWidget* window);
bool isAnimatingWindowFrame(const QWidget* window);

// The named window curves: "default timing" and the glide's cubic.
Animation defaultTiming(double duration);
Animation glideCurve(double duration);

} // namespace motion
