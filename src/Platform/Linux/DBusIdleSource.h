#pragma once

#include <QDBusConnection>
#include <QString>

#include "Platform/IdleSource.h"

// Idle time from a desktop service on the session bus that answers one method with the
// milliseconds since the last input.
class DBusIdleSource final : public IdleSource {
public:
    struct Endpoint {
        QString service;
        QString path;
        QString interface;
        QString method;
    };

    // GNOME's compositor, on X11 and Wayland alike.
    static Endpoint mutterIdleMonitor();
    // KDE and other desktops that implement the screen-saver service.
    static Endpoint screenSaver();

    DBusIdleSource(QDBusConnection connection, Endpoint endpoint);

    std::optional<std::chrono::milliseconds> idleTime() override;
    // The service's bus name says which desktop answers.
    std::string name() const override { return endpoint_.service.toStdString(); }

private:
    QDBusConnection connection_;
    Endpoint endpoint_;
};
