#include "Components/AccessibilityPreferences.h"

#include "Platform/AccessibilitySettings.h"

AccessibilityPreferences::AccessibilityPreferences(QObject* parent) : QObject(parent) {}

AccessibilityPreferences::AccessibilityPreferences(const AccessibilitySettings& desktop,
                                                   QObject* parent)
    : QObject(parent) {
    const auto follow = [this, &desktop] {
        setReduceMotion(desktop.reduceMotion());
        setReduceTransparency(desktop.reduceTransparency());
    };
    connect(&desktop, &AccessibilitySettings::changed, this, follow);
    follow();
}

void AccessibilityPreferences::setReduceMotion(bool reduce) {
    if (reduceMotion_ != reduce) {
        reduceMotion_ = reduce;
        emit changed();
    }
}

void AccessibilityPreferences::setReduceTransparency(bool reduce) {
    if (reduceTransparency_ != reduce) {
        reduceTransparency_ = reduce;
        emit changed();
    }
}
