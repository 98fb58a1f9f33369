#pragma once

#include <span>

#include "Data/NotificationMessage.h"
#include "Models/PostureVerdict.h"

class RandomSource;

// The posture notifications: eight humorous messages for each issue.
namespace PostureMessages {

std::span<const NotificationMessage> forIssue(PostureIssue issue);
// One of the issue's messages, drawn uniformly.
NotificationMessage pick(PostureIssue issue, RandomSource& random);

}  // namespace PostureMessages
