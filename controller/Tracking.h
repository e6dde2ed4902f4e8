#pragma once

#include <QPointF>
#include <QRectF>
#include <memory>
#include <optional>

class AppController;
class QTimer;

// Follows the pointer to open the pad when it is pushed against the top edge by the notch and
// close it when it leaves (Tracking.cpp). Reads the pointer every 80 ms while it moves or the
// pad is open. While the pad is hidden and the pointer still, it reads nothing when both
// motion and arrivals at the top edge are reported; every few seconds when only one of them
// is; and every 80 ms when neither is.
class Tracking {
public:
    explicit Tracking(AppController& app);
    ~Tracking();

    // Starts following, with what the desktop reports.
    void start();
    void trackCursor();
    // The pointer entered or left the pad's window.
    void pointerCrossedPad(bool inside);
    // The window system saw the pointer move.
    void pointerMoved();
    // The pointer arrived at the top edge where it opens the pad.
    void pointerAtEdge();
    // Reads the pointer steadily from now on, until it rests again.
    void followPointer();
    void setPadTakesPointer(bool open);

private:
    QPointF trackedPointer();
    void tick();
    // The strip of the top edge that opens the pad, in the y-up space.
    QRectF hotEdge() const;

    static constexpr int trackingMs = 80;
    // Reads a still pointer only to notice motion that made no event (a warp, faked input).
    static constexpr int idleCheckMs = 3000;
    AppController& app_;
    std::unique_ptr<QTimer> timer_;  // from the start on
    bool pollOnly_ = true;           // motion not known to be reported
    bool edgeTellsArrivals_ = false; // arriving at the top edge is reported
    bool movedSinceTick_ = false;
    QPointF lastReading_;
    // Where the pointer was read when it left the pad, while the position reads the same: where
    // the pointer is only seen over the program's own windows, that reading is stale.
    std::optional<QPointF> leftPadAt_;

    friend class ControllerTestAccess;
};
