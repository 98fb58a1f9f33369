#include "Platform/Linux/DBusIdleSource.h"

#include <QDBusMessage>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {
// The tick waits for the answer on the main thread; a stuck service must not freeze it.
constexpr int kReplyTimeoutMs = 1000;
}  // namespace

DBusIdleSource::Endpoint DBusIdleSource::mutterIdleMonitor() {
    return {u"org.gnome.Mutter.IdleMonitor"_s, u"/org/gnome/Mutter/IdleMonitor/Core"_s,
            u"org.gnome.Mutter.IdleMonitor"_s, u"GetIdletime"_s};
}

DBusIdleSource::Endpoint DBusIdleSource::screenSaver() {
    return {u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s,
            u"org.freedesktop.ScreenSaver"_s, u"GetSessionIdleTime"_s};
}

DBusIdleSource::DBusIdleSource(QDBusConnection connection, Endpoint endpoint)
    : connection_(std::move(connection)), endpoint_(std::move(endpoint)) {}

std::optional<std::chrono::milliseconds> DBusIdleSource::idleTime() {
    if (!connection_.isConnected()) {
        return std::nullopt;
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(endpoint_.service, endpoint_.path,
                                                             endpoint_.interface, endpoint_.method);
    const QDBusMessage reply = connection_.call(call, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        return std::nullopt;
    }
    const QVariant value = reply.arguments().constFirst();
    bool ok = false;
    const qulonglong ms = value.toULongLong(&ok);
    if (!ok || (value.metaType() != QMetaType::fromType<qulonglong>() &&
                value.metaType() != QMetaType::fromType<uint>())) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<qint64>(ms));
}
