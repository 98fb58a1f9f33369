#include "Platform/Linux/XScreenSaverIdleSource.h"

#include <QByteArray>

// Xlib's macros collide with Qt's names; it comes after every Qt header.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

struct XScreenSaverIdleSource::Connection {
    Display* display = nullptr;
    XScreenSaverInfo* info = nullptr;

    ~Connection() {
        if (info != nullptr) {
            XFree(info);
        }
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }
};

XScreenSaverIdleSource::XScreenSaverIdleSource() {
    connect();
}

XScreenSaverIdleSource::~XScreenSaverIdleSource() = default;

bool XScreenSaverIdleSource::connect() {
    // Under Wayland the X server is only XWayland, which never sees native input: its idle
    // counter would call a busy user idle.
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" || qEnvironmentVariableIsEmpty("DISPLAY")) {
        return false;
    }
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(nullptr);
    if (connection->display == nullptr) {
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (XScreenSaverQueryExtension(connection->display, &eventBase, &errorBase) == 0) {
        return false;
    }
    connection->info = XScreenSaverAllocInfo();
    if (connection->info == nullptr) {
        return false;
    }
    connection_ = std::move(connection);
    return true;
}

std::optional<std::chrono::milliseconds> XScreenSaverIdleSource::idleTime() {
    if (!connection_ && !connect()) {
        return std::nullopt;
    }
    Display* display = connection_->display;
    if (XScreenSaverQueryInfo(display, DefaultRootWindow(display), connection_->info) == 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(connection_->info->idle);
}
