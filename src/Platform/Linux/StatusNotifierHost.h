#pragma once

class QDBusConnection;

// Who shows StatusNotifier items on this desktop, as far as our figure is concerned.
enum class StatusNotifierHost {
    // No StatusNotifier watcher: the icon goes to an XEmbed tray, if there is one.
    none,
    // GNOME Shell's AppIndicator extension and KDE Plasma: they load a symbolic icon by its
    // theme name and fill it with the panel's own colour.
    recolouring,
    // Anyone else (swaybar, waybar, …): a named icon's file, or else our pixels, drawn as given.
    asGiven,
};

// Asks the session bus who owns the StatusNotifier watcher. A process we cannot name counts
// as drawing icons as given.
StatusNotifierHost statusNotifierHost(const QDBusConnection& bus);
