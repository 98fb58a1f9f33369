#pragma once

#include <QString>

struct NotificationMessage {
    QString title;
    QString body;

    bool operator==(const NotificationMessage&) const = default;
};
