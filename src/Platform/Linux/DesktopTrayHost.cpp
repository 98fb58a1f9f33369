#include "Platform/Linux/DesktopTrayHost.h"

#include <QCoreApplication>
#include <QEvent>

#include "Platform/Linux/StatusNotifierHost.h"
#include "Platform/Linux/XEmbedTrayColors.h"

DesktopTrayHost::DesktopTrayHost(const QDBusConnection& bus, QObject* parent)
    : TrayHost(parent), bus_(bus) {
    QCoreApplication::instance()->installEventFilter(this);
}

TrayHost::Drawing DesktopTrayHost::drawing() const {
    switch (statusNotifierHost(bus_)) {
        case StatusNotifierHost::recolouring:
            return Drawing::recolouring;
        case StatusNotifierHost::asGiven:
            return Drawing::asGiven;
        case StatusNotifierHost::none:
            break;
    }
    return Drawing::ownPixels;
}

std::optional<std::uint32_t> DesktopTrayHost::requestedInk() const {
    if (const std::optional<QColor> ink = xembedTrayForeground()) {
        return ink->rgb() & 0xFFFFFFU;
    }
    return std::nullopt;
}

bool DesktopTrayHost::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange &&
        watched == QCoreApplication::instance()) {
        emit appearanceChanged();
    }
    return TrayHost::eventFilter(watched, event);
}
