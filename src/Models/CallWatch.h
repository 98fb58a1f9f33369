#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>

class CameraWatch;
class Clock;

// Whether the user is on a video call at the desk, as far as Spindrel can tell: another app
// holds the webcam. The call is taken to go on for a minute after that app lets go, so that an
// app reopening the camera (a call reconnecting, a browser switching devices) does not end it,
// and so that Spindrel's own camera waits that long before it takes the webcam back.
class CallWatch : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds releaseGrace{60};

    CallWatch(CameraWatch& watch, Clock& clock, QObject* parent = nullptr);

    bool onCall() const { return onCall_; }
    // Time since the other app last let go of the webcam, on the boot clock; none while it
    // holds it, or if no app ever did since launch.
    std::optional<std::chrono::milliseconds> sinceReleased() const;

public slots:
    // Ends the call once the grace after the release has passed. A timer set at the release
    // calls it; the tracker's tick calls it too.
    void recheck();

signals:
    void onCallChanged();

private:
    void follow();
    void setOnCall(bool onCall);

    CameraWatch& watch_;
    Clock& clock_;
    bool onCall_ = false;
    std::optional<std::chrono::milliseconds> releasedAt_;
    QTimer graceEnd_;
};
