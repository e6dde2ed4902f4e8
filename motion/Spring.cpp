#include "motion/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace motion::detail {

namespace {

constexpr double kMinResponse = 1e-4;
constexpr double kMinDamping = 1e-3; // an undamped spring would never come to rest

double angularFrequency(double response)
{
    return 2 * std::numbers::pi / std::max(response, kMinResponse);
}

SpringState underdamped(SpringState s, double w0, double zeta, double t)
{
    const double wd = w0 * std::sqrt(1 - zeta * zeta);
    const double decay = std::exp(-zeta * w0 * t);
    const double a = s.offset;
    const double b = (s.velocity + zeta * w0 * s.offset) / wd;
    const double c = std::cos(wd * t);
    const double sn = std::sin(wd * t);
    const double x = decay * (a * c + b * sn);
    const double v = decay * ((b * wd - zeta * w0 * a) * c - (a * wd + zeta * w0 * b) * sn);
    return {x, v};
}

SpringState critical(SpringState s, double w0, double t)
{
    const double decay = std::exp(-w0 * t);
    const double b = s.velocity + w0 * s.offset;
    return {(s.offset + b * t) * decay, (s.velocity - w0 * b * t) * decay};
}

SpringState overdamped(SpringState s, double w0, double zeta, double t)
{
    const double root = std::sqrt(zeta * zeta - 1);
    const double r1 = -w0 * (zeta - root);
    const double r2 = -w0 * (zeta + root);
    const double c2 = (s.velocity - r1 * s.offset) / (r2 - r1);
    const double c1 = s.offset - c2;
    const double e1 = std::exp(r1 * t);
    const double e2 = std::exp(r2 * t);
    return {c1 * e1 + c2 * e2, c1 * r1 * e1 + c2 * r2 * e2};
}

} // namespace

SpringState stepSpring(SpringState state, double response, double dampingFraction, double dt)
{
    if (dt <= 0)
        return state;
    if (response <= kMinResponse)
        return {};
    const double w0 = angularFrequency(response);
    const double zeta = std::max(dampingFraction, kMinDamping);
    if (std::abs(zeta - 1) < 1e-6)
        return critical(state, w0, dt);
    if (zeta < 1)
        return underdamped(state, w0, zeta, dt);
    return overdamped(state, w0, zeta, dt);
}

bool springSettled(const SpringState& state, double response, double span)
{
    const double tolerance = std::max(1e-3 * std::abs(span), 1e-5);
    return std::abs(state.offset) <= tolerance &&
           std::abs(state.velocity) / angularFrequency(response) <= tolerance;
}

} // namespace motion::detail
