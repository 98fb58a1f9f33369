#include "Platform/Linux/DBusNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kInterface = u"org.freedesktop.Notifications"_s;
const QString kDefaultAction = u"default"_s;
constexpr int kCapabilitiesTimeoutMs = 1000;

QDBusMessage notificationCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DBusNotifier::DBusNotifier(QDBusConnection connection, QObject* parent)
    : Notifier(parent), connection_(std::move(connection)) {
    connection_.connect(kService, kPath, kInterface, u"ActionInvoked"_s, this,
                        SLOT(onActionInvoked(uint, QString)));
    connection_.connect(kService, kPath, kInterface, u"NotificationClosed"_s, this,
                        SLOT(onNotificationClosed(uint, uint)));
}

bool DBusNotifier::canPost() const {
    if (!connection_.isConnected()) {
        return false;
    }
    QDBusConnectionInterface* bus = connection_.interface();
    if (bus->isServiceRegistered(kService)) {
        return true;
    }
    // Most daemons start on demand, at the first call to their name.
    const QDBusMessage reply = connection_.call(
        QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                       u"org.freedesktop.DBus"_s, u"ListActivatableNames"_s));
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toStringList().contains(kService);
}

bool DBusNotifier::serverRendersMarkup() {
    if (!bodyMarkup_) {
        const QDBusMessage reply = connection_.call(notificationCall(u"GetCapabilities"_s),
                                                    QDBus::Block, kCapabilitiesTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return false;  // asked again at the next post
        }
        bodyMarkup_ = reply.arguments().constFirst().toStringList().contains(u"body-markup"_s);
    }
    return *bodyMarkup_;
}

void DBusNotifier::post(const NotificationMessage& message) {
    // A server that renders markup would read "<" or "&" in our texts as tags.
    const QString body = serverRendersMarkup() ? message.body.toHtmlEscaped() : message.body;
    QVariantMap hints;
    hints.insert(u"sound-name"_s, u"message-new-instant"_s);
    hints.insert(u"desktop-entry"_s, u"spindrel"_s);
    hints.insert(u"urgency"_s, QVariant::fromValue<uchar>(1));

    QDBusMessage call = notificationCall(u"Notify"_s);
    call << u"Spindrel"_s << uint{0} << u"spindrel"_s << message.title << body
         << QStringList{kDefaultAction, u"Open Spindrel"_s} << hints << int{-1};
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid()) {
            shown_.insert(reply.value());
        }
        w->deleteLater();
    });
}

void DBusNotifier::onActionInvoked(uint id, const QString& actionKey) {
    if (actionKey == kDefaultAction && shown_.contains(id)) {
        emit clicked();
    }
}

void DBusNotifier::onNotificationClosed(uint id, uint /*reason*/) {
    shown_.remove(id);
}
