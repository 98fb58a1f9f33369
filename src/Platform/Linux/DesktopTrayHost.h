#pragma once

#include <QDBusConnection>

#include "Platform/TrayHost.h"

// The tray of this desktop session: a StatusNotifier host on the session bus, else an XEmbed
// tray on the X display. The application's palette changes when the desktop's theme does.
class DesktopTrayHost : public TrayHost {
    Q_OBJECT

public:
    explicit DesktopTrayHost(const QDBusConnection& bus, QObject* parent = nullptr);

    Drawing drawing() const override;
    std::optional<std::uint32_t> requestedInk() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDBusConnection bus_;
};
