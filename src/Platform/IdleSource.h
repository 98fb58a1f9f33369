#pragma once

#include <chrono>
#include <optional>
#include <string>

// How long the keyboard and mouse have been untouched in the user's session.
class IdleSource {
public:
    virtual ~IdleSource() = default;

    // Absent when the source cannot answer (no such service, no display, an error).
    virtual std::optional<std::chrono::milliseconds> idleTime() = 0;
    // A few words that tell a user or a log reader which desktop service this is.
    virtual std::string name() const = 0;
};
