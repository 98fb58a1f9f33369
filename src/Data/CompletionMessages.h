#pragma once

#include <QString>
#include <span>

// The cheers shown when a reset is done.
namespace CompletionMessages {

std::span<const QString> all();

}  // namespace CompletionMessages
