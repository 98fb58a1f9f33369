#pragma once

#include <QObject>

// The desktop's wishes for less motion (its animations switched off) and less transparency (a
// high-contrast look), followed live.
class AccessibilitySettings : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~AccessibilitySettings() override = default;

    virtual bool reduceMotion() const = 0;
    virtual bool reduceTransparency() const = 0;

signals:
    void changed();
};
