#include "motion/Motion.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace motion {

namespace {

// One coordinate of a cubic bezier from (0,0) to (1,1) with control values p1, p2.
double bezier(double t, double p1, double p2)
{
    const double u = 1 - t;
    return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
}

double bezierSlope(double t, double p1, double p2)
{
    const double u = 1 - t;
    return 3 * u * u * p1 + 6 * u * t * (p2 - p1) + 3 * t * t * (1 - p2);
}

// The curve parameter whose x is `x`: Newton first, bisection when Newton stalls.
double solveBezierX(double x, double x1, double x2)
{
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(t, x1, x2) - x;
        if (std::abs(error) < 1e-9)
            return t;
        const double slope = bezierSlope(t, x1, x2);
        if (std::abs(slope) < 1e-6)
            break;
        t -= error / slope;
        if (t < 0 || t > 1)
            break;
    }
    double lo = 0;
    double hi = 1;
    t = x;
    for (int i = 0; i < 60; ++i) {
        const double value = bezier(t, x1, x2);
        if (std::abs(value - x) < 1e-9)
            break;
        (value < x ? lo : hi) = t;
        t = (lo + hi) / 2;
    }
    return t;
}

double cubicEase(double progress, QPointF c1, QPointF c2)
{
    // The x control values are kept inside 0..1 so that x is monotonic and the curve a function.
    const double x1 = std::clamp(c1.x(), 0.0, 1.0);
    const double x2 = std::clamp(c2.x(), 0.0, 1.0);
    return bezier(solveBezierX(progress, x1, x2), c1.y(), c2.y());
}

Animation curve(Animation::Kind kind, double duration, QPointF c1, QPointF c2)
{
    Animation a;
    a.kind = kind;
    a.duration = std::max(duration, 0.0);
    a.c1 = c1;
    a.c2 = c2;
    return a;
}

// A deque keeps references from currentAnimation() valid while inner transactions come and go.
std::deque<Animation>& transactions()
{
    static std::deque<Animation> stack;
    return stack;
}

} // namespace

Animation Animation::spring(double response, double dampingFraction, double blendDuration)
{
    Animation a;
    a.kind = Kind::Spring;
    a.response = std::max(response, 0.0);
    a.dampingFraction = std::max(dampingFraction, 0.0);
    a.blendDuration = std::max(blendDuration, 0.0);
    return a;
}

Animation Animation::easeOut(double duration)
{
    return curve(Kind::EaseOut, duration, {0, 0}, {0.58, 1});
}

Animation Animation::easeInOut(double duration)
{
    return curve(Kind::EaseInOut, duration, {0.42, 0}, {0.58, 1});
}

Animation Animation::cubic(double duration, QPointF c1, QPointF c2)
{
    return curve(Kind::Cubic, duration, c1, c2);
}

Animation Animation::standard()
{
    return spring(0.55, 1.0);
}

double Animation::ease(double progress) const
{
    if (progress >= 1)
        return 1;
    if (progress <= 0)
        return 0;
    switch (kind) {
    case Kind::EaseOut:
    case Kind::EaseInOut:
    case Kind::Cubic:
        return cubicEase(progress, c1, c2);
    case Kind::None:
        return 1;
    case Kind::Spring:
        break;
    }
    return progress;
}

void withAnimation(const Animation& animation, const std::function<void()>& body)
{
    // Popped by a guard so that the outer transaction comes back however body leaves.
    struct Pop {
        ~Pop() { transactions().pop_back(); }
    };
    transactions().push_back(animation);
    Pop pop;
    if (body)
        body();
}

const Animation& currentAnimation()
{
    static const Animation none;
    const auto& stack = transactions();
    return stack.empty() ? none : stack.back();
}

Animation defaultTiming(double duration)
{
    return Animation::cubic(duration, {0.25, 0.1}, {0.25, 1.0});
}

Animation glideCurve(double duration)
{
    return Animation::cubic(duration, {0.2, 0.9}, {0.25, 1.0});
}

} // namespace motion
