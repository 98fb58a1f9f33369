#pragma once

#include <optional>
#include <string>

// Whether there is a desktop to open a window on, asked before the toolkit starts: without one
// Qt ends the process with a platform-plugin message that tells a user nothing they can act on.
namespace DesktopSession {

// Nothing when an X11 or Wayland display answers, or when the platform was chosen explicitly
// (QT_QPA_PLATFORM or -platform, offscreen for instance); otherwise one line for the user
// saying what is missing.
std::optional<std::string> missingDisplay(int argc, const char* const* argv);

}  // namespace DesktopSession
