#include "motion/Motion.h"
#include "motion/Spring.h"

#include <algorithm>
#include <cmath>

namespace motion {

AnimatedValue::AnimatedValue(double value)
    : value_(value)
    , target_(value)
    , from_(value)
    , blendFrom_(value)
{
}

AnimatedValue::~AnimatedValue()
{
    FrameClock::instance().stop(this);
}

bool AnimatedValue::isAnimating() const
{
    return FrameClock::instance().isRunning(this);
}

void AnimatedValue::jump(double value)
{
    FrameClock::instance().stop(this);
    value_ = target_ = from_ = blendFrom_ = value;
    velocity_ = 0;
    notify();
}

void AnimatedValue::setTarget(double target, const Animation& animation)
{
    // An equal target is no change: a running animation towards it carries on undisturbed.
    if (target == target_)
        return;
    if (animation.isNone()) {
        jump(target);
        return;
    }
    const bool interrupted = isAnimating();
    const double previousTarget = currentSpringTarget();
    target_ = target;
    animation_ = animation;
    if (animation.kind == Animation::Kind::Spring)
        startSpring(interrupted, previousTarget);
    else
        startEase();
}

double AnimatedValue::currentSpringTarget() const
{
    if (animation_.kind != Animation::Kind::Spring || animation_.blendDuration <= 0)
        return target_;
    const double mix = std::min(elapsed_ / animation_.blendDuration, 1.0);
    return blendFrom_ + (target_ - blendFrom_) * mix;
}

void AnimatedValue::startEase()
{
    from_ = value_;
    elapsed_ = 0;
    span_ = std::abs(target_ - value_);
    if (value_ == target_) {
        FrameClock::instance().stop(this);
        velocity_ = 0;
        return;
    }
    FrameClock::instance().start(this);
}

void AnimatedValue::startSpring(bool interrupted, double previousTarget)
{
    // An interrupted spring keeps its position and velocity; with a blend duration its
    // target slides from where the old one was to the new one instead of jumping.
    blendFrom_ = interrupted ? previousTarget : target_;
    elapsed_ = 0;
    span_ = std::max(std::abs(target_ - value_), std::abs(velocity_) * animation_.response);
    const detail::SpringState state{value_ - target_, velocity_};
    if (blendFrom_ == target_ && detail::springSettled(state, animation_.response, span_)) {
        FrameClock::instance().stop(this);
        if (value_ != target_) {
            value_ = target_;
            velocity_ = 0;
            notify();
        }
        return;
    }
    FrameClock::instance().start(this);
}

bool AnimatedValue::tick(double dt)
{
    const double before = value_;
    const bool moving = animation_.kind == Animation::Kind::Spring ? tickSpring(dt) : tickEase(dt);
    // Stop before telling anyone: the callback may retarget (restarting us) or destroy us.
    if (!moving)
        FrameClock::instance().stop(this);
    if (value_ != before)
        notify();
    return moving;
}

bool AnimatedValue::tickEase(double dt)
{
    elapsed_ += dt;
    const double duration = animation_.duration;
    const double progress = duration > 0 ? std::min(elapsed_ / duration, 1.0) : 1.0;
    if (progress >= 1) {
        value_ = target_;
        velocity_ = 0;
        return false;
    }
    const double next = from_ + (target_ - from_) * animation_.ease(progress);
    // Kept so that a spring taking over mid-curve carries the motion on.
    if (dt > 0)
        velocity_ = (next - value_) / dt;
    value_ = next;
    return true;
}

bool AnimatedValue::tickSpring(double dt)
{
    const double response = animation_.response;
    const bool blending = animation_.blendDuration > 0 && elapsed_ < animation_.blendDuration;
    double position = value_;
    double velocity = velocity_;
    double left = dt;
    while (left > 0) {
        const double step = blending ? std::min(left, detail::kSpringSubStep) : left;
        elapsed_ += step;
        left -= step;
        const double goal = currentSpringTarget();
        const auto next = detail::stepSpring({position - goal, velocity}, response,
                                             animation_.dampingFraction, step);
        position = next.offset + goal;
        velocity = next.velocity;
    }
    value_ = position;
    velocity_ = velocity;
    const double goal = currentSpringTarget();
    if (goal != target_ || !detail::springSettled({value_ - target_, velocity_}, response, span_))
        return true;
    value_ = target_;
    velocity_ = 0;
    return false;
}

void AnimatedValue::notify()
{
    // A copy, because the callback may destroy this value and its callback with it.
    if (const auto callback = onChange)
        callback();
}

} // namespace motion
