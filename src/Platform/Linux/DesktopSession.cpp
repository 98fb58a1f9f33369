#include "Platform/Linux/DesktopSession.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool platformChosen(int argc, const char* const* argv) {
    if (!environment("QT_QPA_PLATFORM").empty()) {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-platform" || argument == "--platform") {
            return true;
        }
    }
    return false;
}

bool x11Opens() {
    // xcb_connect hands back an error connection rather than null; xcb_disconnect takes both.
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    return xcb_connection_has_error(connection.get()) == 0;
}

// A Wayland display is a socket, named absolutely or inside the user's runtime directory.
bool waylandOpens(const std::string& display) {
    std::string path = display;
    if (path.front() != '/') {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (runtime.empty()) {
            return false;
        }
        path = runtime + '/' + display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return connected;
}

std::string quoted(const std::string& text) {
    return '"' + text + '"';
}

}  // namespace

std::optional<std::string> DesktopSession::missingDisplay(int argc, const char* const* argv) {
    const std::string x11 = environment("DISPLAY");
    const std::string wayland = environment("WAYLAND_DISPLAY");
    // A compositor that started us may hand over a connected socket instead of a name.
    if (platformChosen(argc, argv) || !environment("WAYLAND_SOCKET").empty()) {
        return std::nullopt;
    }
    const std::string lead = "Spindrel needs a desktop session: ";
    if (x11.empty() && wayland.empty()) {
        return lead +
               "no X11 or Wayland display was found (DISPLAY and WAYLAND_DISPLAY are unset).";
    }
    if ((!x11.empty() && x11Opens()) || (!wayland.empty() && waylandOpens(wayland))) {
        return std::nullopt;
    }
    if (wayland.empty()) {
        return lead + "the X11 display " + quoted(x11) + " could not be opened.";
    }
    if (x11.empty()) {
        return lead + "the Wayland display " + quoted(wayland) + " could not be opened.";
    }
    return lead + "neither the X11 display " + quoted(x11) + " nor the Wayland display " +
           quoted(wayland) + " could be opened.";
}
