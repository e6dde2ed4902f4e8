#include "motion/Motion.h"
#include "motion/Spring.h"
#include "platform/Desktop.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <unordered_map>

namespace motion {

namespace {

class FrameAnimation;

// The running frame animation of each window. Keyed by address only: a dead window's entry
// is dropped on its next frame, and a new window at the same address simply replaces it.
std::unordered_map<const QWidget*, std::unique_ptr<FrameAnimation>>& running()
{
    static auto* table = new std::unordered_map<const QWidget*, std::unique_ptr<FrameAnimation>>;
    return *table;
}

QRectF lerp(const QRectF& a, const QRectF& b, double t)
{
    auto mix = [t](double x, double y) { return x + (y - x) * t; };
    return QRectF(mix(a.x(), b.x()), mix(a.y(), b.y()), mix(a.width(), b.width()),
                  mix(a.height(), b.height()));
}

class FrameAnimation : public Ticker {
public:
    FrameAnimation(QWidget* window, const QRectF& target, const Animation& curve,
                   std::function<void()> completion)
        : window_(window)
        , key_(window)
        , from_(platform::desktop().windowFrame(window))
        , to_(target)
        , curve_(curve)
        , completion_(std::move(completion))
    {
    }

    bool tick(double dt) override
    {
        if (!window_) {
            finish(false);
            return false;
        }
        const double progress = advanceProgress(dt);
        platform::desktop().setWindowFrame(window_, done_ ? to_ : lerp(from_, to_, progress));
        if (!done_)
            return true;
        finish(true);
        return false;
    }

    bool isFor(const QWidget* window) const { return window_ && window_ == window; }

private:
    // Eased progress from 0 to 1; a spring curve drives a spring from 0 to 1 and may overshoot.
    double advanceProgress(double dt)
    {
        elapsed_ += dt;
        if (curve_.kind == Animation::Kind::Spring) {
            spring_ = detail::stepSpring(spring_, curve_.response, curve_.dampingFraction, dt);
            done_ = detail::springSettled(spring_, curve_.response, 1);
            return 1 + spring_.offset;
        }
        const double duration = curve_.kind == Animation::Kind::None ? 0 : curve_.duration;
        const double progress = duration > 0 ? std::min(elapsed_ / duration, 1.0) : 1.0;
        done_ = progress >= 1;
        return curve_.ease(progress);
    }

    // Removes this animation (destroying it) and then runs the completion if it finished.
    void finish(bool completed)
    {
        auto completion = std::move(completion_);
        auto& table = running();
        const auto it = table.find(key_);
        if (it != table.end() && it->second.get() == this)
            table.erase(it); // deletes this; nothing below may touch members
        if (completed && completion)
            completion();
    }

    QPointer<QWidget> window_;
    const QWidget* key_;
    QRectF from_;
    QRectF to_;
    Animation curve_;
    std::function<void()> completion_;
    double elapsed_ = 0;
    bool done_ = false;
    detail::SpringState spring_{-1, 0};
};

} // namespace

void animateWindowFrame(QWidget* window, const QRectF& target, const Animation& curve,
                        std::function<void()> completion)
{
    if (!window)
        return;
    auto animation = std::make_unique<FrameAnimation>(window, target, curve, std::move(completion));
    FrameAnimation* raw = animation.get();
    // Replacing the entry destroys the old animation, which stops it; its completion is lost.
    running()[window] = std::move(animation);
    FrameClock::instance().start(raw);
}

void cancelWindowFrame(QWidget* window)
{
    running().erase(window);
}

bool isAnimatingWindowFrame(const QWidget* window)
{
    const auto it = running().find(window);
    return it != running().end() && it->second->isFor(window);
}

} // namespace motion
