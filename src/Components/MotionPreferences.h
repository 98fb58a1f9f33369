#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QSet>
#include <QVariant>

// The desktop's accessibility wishes the drawing follows: reduce motion (GNOME's
// "enable-animations" off) and reduce transparency (a high-contrast theme). Read through the
// settings portal where there is one, and followed live; tests set them directly.
class MotionPreferences : public QObject {
    Q_OBJECT

public:
    // Defaults only: nothing is asked of the desktop.
    explicit MotionPreferences(QObject* parent = nullptr);
    // Follows the settings portal on this bus.
    explicit MotionPreferences(const QDBusConnection& bus, QObject* parent = nullptr);

    bool reduceMotion() const { return reduceMotion_; }
    bool reduceTransparency() const { return reduceTransparency_; }
    void setReduceMotion(bool reduce);
    void setReduceTransparency(bool reduce);

signals:
    void changed();

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void readFromPortal();
    void apply(const QString& group, const QString& key, const QVariant& value);

    QDBusConnection bus_;
    QSet<QString> changedLive_;
    bool reduceMotion_ = false;
    bool reduceTransparency_ = false;
};
