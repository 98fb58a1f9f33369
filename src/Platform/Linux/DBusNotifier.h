#pragma once

#include <QDBusConnection>
#include <QSet>
#include <optional>

#include "Platform/Notifier.h"

// Desktop notifications through the freedesktop notification service on the session bus.
class DBusNotifier final : public Notifier {
    Q_OBJECT

public:
    explicit DBusNotifier(QDBusConnection connection, QObject* parent = nullptr);

    bool canPost() const override;
    void post(const NotificationMessage& message) override;

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    bool serverRendersMarkup();

    QDBusConnection connection_;
    std::optional<bool> bodyMarkup_;
    // The notifications we posted that are still on screen; clicks on others are not ours.
    QSet<uint> shown_;
};
