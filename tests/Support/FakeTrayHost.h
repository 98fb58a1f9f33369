#pragma once

#include "Platform/TrayHost.h"

// A panel that draws our pixels and asks for no colour.
class FakeTrayHost : public TrayHost {
public:
    Drawing drawing() const override { return Drawing::ownPixels; }
    std::optional<std::uint32_t> requestedInk() const override { return std::nullopt; }
};
