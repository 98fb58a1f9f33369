#pragma once

#include <memory>

#include "Platform/IdleSource.h"

// Idle time from the X server's screen-saver extension; any X11 session has it.
class XScreenSaverIdleSource final : public IdleSource {
public:
    // Connects to the display named by DISPLAY, now or at the first query that finds it.
    XScreenSaverIdleSource();
    ~XScreenSaverIdleSource() override;

    std::optional<std::chrono::milliseconds> idleTime() override;
    std::string name() const override { return "X11 MIT-SCREEN-SAVER"; }

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
    bool connect();
};
