#pragma once

#include <memory>
#include <vector>

#include "Platform/IdleSource.h"

// Desktops expose idle time in different ways; asks each source in turn and takes the first
// answer, so the same program works on GNOME, KDE, wlroots desktops and plain X11 sessions.
// Which source answers is logged under "spindrel.idle" at the first query and whenever it
// changes (QT_LOGGING_RULES="spindrel.idle.info=true" shows it).
class IdleSourceChain final : public IdleSource {
public:
    explicit IdleSourceChain(std::vector<std::unique_ptr<IdleSource>> sources);

    std::optional<std::chrono::milliseconds> idleTime() override;
    // The name of the source that answered the last query, or a word that none did.
    std::string name() const override;
    // The source that answered the last query; absent when none did or none was asked yet.
    std::optional<std::string> answeredBy() const { return answeredBy_; }

private:
    void noteAnswer(std::optional<std::string> source);

    std::vector<std::unique_ptr<IdleSource>> sources_;
    std::optional<std::string> answeredBy_;
    bool asked_ = false;
};
