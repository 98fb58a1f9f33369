#pragma once

#include <QColor>
#include <optional>

// The icon colour an XEmbed tray asks its icons to use (_NET_SYSTEM_TRAY_COLORS on the tray
// manager of the display's default screen), so that a monochrome icon reads on a dark panel
// as well as a light one. None without an X display, a tray, or a tray that says nothing.
std::optional<QColor> xembedTrayForeground();
