#include "Platform/Linux/DisplayConnection.h"

#include <sys/socket.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <fstream>

namespace DisplayConnection {

void makeRoomForRepaints(int socket) {
    int wanted = 0;
    if (!(std::ifstream("/proc/sys/net/core/wmem_max") >> wanted) || wanted <= 0) {
        return;
    }
    // Room for a repaint of the glow at twice the screen's density, with plenty to spare; a
    // server that stops reading still holds the window back before long.
    wanted = std::min(wanted, 1 << 20);
    int current = 0;
    socklen_t length = sizeof current;
    // The kernel holds twice what it is asked for, for its own bookkeeping. A socket may start
    // with more than the ceiling allows asking for: asking then would only shrink it.
    if (getsockopt(socket, SOL_SOCKET, SO_SNDBUF, &current, &length) != 0 ||
        current >= 2 * static_cast<long long>(wanted)) {
        return;
    }
    // A refusal leaves the socket as it was: repaints then only wait more often.
    static_cast<void>(setsockopt(socket, SOL_SOCKET, SO_SNDBUF, &wanted, sizeof wanted));
}

void makeRoomForRepaints(const QGuiApplication& app) {
    const auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    makeRoomForRepaints(xcb_get_file_descriptor(x11->connection()));
}

}  // namespace DisplayConnection
