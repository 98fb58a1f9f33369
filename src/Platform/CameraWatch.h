#pragma once

#include <QObject>

// Who else uses the webcam, and when video devices come and go. A V4L2 webcam streams to one
// process at a time: while another app holds it, Spindrel must not, and the user is most
// likely on a video call at the desk.
class CameraWatch : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~CameraWatch() override = default;

    // Another process has a video device open that Spindrel would use.
    virtual bool heldByOtherApp() const = 0;

signals:
    // Announced as soon as it is seen, so that the camera can let go at once.
    void heldByOtherAppChanged();
    // A video device appeared or went away.
    void devicesChanged();
};
