#pragma once

#include <vector>

#include "Platform/Notifier.h"

class FakeNotifier final : public Notifier {
public:
    bool canPost() const override { return available; }
    void post(const NotificationMessage& message) override { posted.push_back(message); }

    bool available = true;
    std::vector<NotificationMessage> posted;
};
