#pragma once

#include "Platform/IdleSource.h"

class FakeIdleSource final : public IdleSource {
public:
    explicit FakeIdleSource(std::string label = "fake") : label_(std::move(label)) {}

    std::optional<std::chrono::milliseconds> idleTime() override { return idle; }
    std::string name() const override { return label_; }

    std::optional<std::chrono::milliseconds> idle = std::chrono::milliseconds{0};

private:
    std::string label_;
};
