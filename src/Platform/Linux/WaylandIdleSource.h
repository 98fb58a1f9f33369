#pragma once

#include <QString>
#include <memory>

#include "Platform/IdleSource.h"

// Idle time from the Wayland compositor itself, on KDE Plasma and the wlroots desktops (sway,
// Hyprland, river, Wayfire, labwc), where no D-Bus service answers and XWayland never sees
// native input. It asks for one idle notification on the seat, through ext_idle_notifier_v1
// where offered and org_kde_kwin_idle otherwise, on a connection of its own.
//
// The compositor says only "idle for at least the timeout" and "back"; before the timeout the
// idle time reads 0. While an idle inhibitor is active (a playing video, a presentation) the
// compositor says nothing, so the user reads as present all along.
class WaylandIdleSource final : public IdleSource {
public:
    enum class Protocol { extIdleNotify, kdeIdle };

    // On the compositor named by WAYLAND_DISPLAY.
    explicit WaylandIdleSource(std::chrono::milliseconds timeout);
    // On the compositor at `socket`: a name in XDG_RUNTIME_DIR or an absolute path.
    WaylandIdleSource(QString socket, std::chrono::milliseconds timeout);
    ~WaylandIdleSource() override;
    WaylandIdleSource(const WaylandIdleSource&) = delete;
    WaylandIdleSource& operator=(const WaylandIdleSource&) = delete;

    std::optional<std::chrono::milliseconds> idleTime() override;
    std::string name() const override;
    // The protocol the notification speaks; absent while there is no working connection.
    std::optional<Protocol> protocol() const;

private:
    struct Connection;

    void connect();

    QString socket_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<Connection> connection_;
    // A compositor that was reached but lacks both protocols or a seat, or did not answer in
    // time, is not asked again; one that could not be reached, or went away, is asked at each
    // query (KWin can restart behind its socket).
    bool worthAsking_ = true;
};
