#pragma once

#include <QString>
#include <span>

#include "Data/NotificationMessage.h"

class RandomSource;

// The sitting-reminder catalogue and the study facts shown with reminders and after resets.
namespace ScienceNudges {

// The 80 reminders; each body holds "{mins}" at least once.
std::span<const NotificationMessage> humorMessages();
// The 10 one-line study facts, each with its citation.
std::span<const QString> nudges();

// A reminder for this many minutes: a random message with every "{mins}" filled in,
// then a blank line, the chart mark and a random fact.
NotificationMessage reminder(long long minutes, RandomSource& random);

}  // namespace ScienceNudges
