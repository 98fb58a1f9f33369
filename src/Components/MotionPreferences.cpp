#include "Components/MotionPreferences.h"

#include "Platform/AccessibilitySettings.h"

MotionPreferences::MotionPreferences(QObject* parent) : QObject(parent) {}

MotionPreferences::MotionPreferences(const AccessibilitySettings& desktop, QObject* parent)
    : QObject(parent) {
    const auto follow = [this, &desktop] {
        setReduceMotion(desktop.reduceMotion());
        setReduceTransparency(desktop.reduceTransparency());
    };
    connect(&desktop, &AccessibilitySettings::changed, this, follow);
    follow();
}

void MotionPreferences::setReduceMotion(bool reduce) {
    if (reduceMotion_ != reduce) {
        reduceMotion_ = reduce;
        emit changed();
    }
}

void MotionPreferences::setReduceTransparency(bool reduce) {
    if (reduceTransparency_ != reduce) {
        reduceTransparency_ = reduce;
        emit changed();
    }
}
