#pragma once

#include <QObject>

#include "Data/NotificationMessage.h"

// Posts desktop notifications and reports clicks on the ones it posted.
class Notifier : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~Notifier() override = default;

    // Whether the program may post at all: a notification service is there to take them.
    virtual bool canPost() const = 0;
    // Shown at once, with the default sound. Delivery is not observed.
    virtual void post(const NotificationMessage& message) = 0;

signals:
    // The user activated one of our notifications (its default action).
    void clicked();
};
