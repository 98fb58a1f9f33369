#pragma once

#include <QObject>
#include <cstdint>
#include <optional>

// The panel that shows our tray icon: how it draws the icon it is handed, and word when the
// desktop's colours change, so that the icon can be drawn again.
class TrayHost : public QObject {
    Q_OBJECT

public:
    enum class Drawing {
        // GNOME's AppIndicator extension and KDE Plasma: they load a symbolic icon by its theme
        // name and fill it with the panel's own colour.
        recolouring,
        // Other StatusNotifier hosts (swaybar, waybar, …): a named icon's file, or else our
        // pixels, drawn as they are.
        asGiven,
        // An XEmbed tray, or no host known: our pixels.
        ownPixels,
    };

    using QObject::QObject;
    ~TrayHost() override = default;

    virtual Drawing drawing() const = 0;
    // The colour an XEmbed tray asks its icons to take, as 0xRRGGBB, where it names one.
    virtual std::optional<std::uint32_t> requestedInk() const = 0;

signals:
    // The desktop switched between light and dark, or to another theme.
    void appearanceChanged();
};
