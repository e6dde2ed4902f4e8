#include "controller/GestureState.h"

namespace gestures {

namespace {

template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

GestureState step(const GestureState& state, const GestureEvent& event)
{
    const Pull* pull = std::get_if<Pull>(&state);
    const Drag* drag = std::get_if<Drag>(&state);
    return std::visit(
        Overloaded{
            [&](const PullTook& e) -> GestureState {
                return Pull{e.note, e.at, e.at.x(), false, 0};
            },
            [&](const PullMoved& e) -> GestureState {
                if (pull == nullptr) {
                    return state;
                }
                Pull next = *pull;
                next.lastX = e.x;
                return next;
            },
            [&](const PadReleased& e) -> GestureState {
                if (pull == nullptr) {
                    return state;
                }
                // Held on only the first time: a carried pull ends at any release.
                if (e.heldOn && !pull->carried && pull->note) {
                    Pull next = *pull;
                    next.carried = true;
                    next.crossedAt = e.time;
                    return next;
                }
                return Idle{};
            },
            [&](const RawReleased& e) -> GestureState {
                const bool ends = pull != nullptr && pull->carried && e.time != pull->crossedAt;
                return ends ? GestureState(Idle{}) : state;
            },
            [&](const DragMoved& e) -> GestureState {
                Drag next;
                if (drag != nullptr && drag->note == e.note) {
                    next = *drag;
                } else {
                    next = Drag{e.note, e.grab, e.at.x(), {}};
                    next.velocity.start(e.at.y(), e.time);
                }
                next.velocity.sample(e.at.y(), e.time);
                next.lastX = e.at.x();
                return next;
            },
            [&](const DragEnded& e) -> GestureState {
                return drag != nullptr && drag->note == e.note ? GestureState(Idle{}) : state;
            },
            [&](const ResizePressed& e) -> GestureState { return e.from; },
            [&](const ResizeReleased&) -> GestureState {
                return std::holds_alternative<Resize>(state) ? GestureState(Idle{}) : state;
            },
        },
        event);
}

} // namespace gestures
