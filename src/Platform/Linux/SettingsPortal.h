#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QSet>
#include <QVariant>

#include "Platform/AccessibilitySettings.h"

// Reduce motion (GNOME's "enable-animations" off) and reduce transparency (a high-contrast
// theme), read from the desktop's settings portal and followed live. Without a portal both stay
// off.
class SettingsPortal : public AccessibilitySettings {
    Q_OBJECT

public:
    explicit SettingsPortal(const QDBusConnection& bus, QObject* parent = nullptr);

    bool reduceMotion() const override { return reduceMotion_; }
    bool reduceTransparency() const override { return reduceTransparency_; }

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void readAll();
    void apply(const QString& group, const QString& key, const QVariant& value);
    void setWishes(bool reduceMotion, bool reduceTransparency);

    QDBusConnection bus_;
    QSet<QString> changedLive_;
    bool reduceMotion_ = false;
    bool reduceTransparency_ = false;
};
