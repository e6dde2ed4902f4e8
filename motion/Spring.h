#pragma once

// Internal to the motion layer: the damped spring both moving values and window frames use.
namespace motion::detail {

struct SpringState {
    double offset = 0;   // position minus target
    double velocity = 0; // per second
};

// Exact motion of a unit-mass spring over dt with a fixed target (stiffness (2 pi/response)^2,
// damping 4 pi dampingFraction/response).
SpringState stepSpring(SpringState state, double response, double dampingFraction, double dt);

// Settled once both offset and velocity are negligible against the distance travelled.
bool springSettled(const SpringState& state, double response, double span);

// Sub-step length used while a spring's target is being blended.
constexpr double kSpringSubStep = 1.0 / 240.0;

} // namespace motion::detail
