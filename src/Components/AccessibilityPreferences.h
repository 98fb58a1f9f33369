#pragma once

#include <QObject>

class AccessibilitySettings;

// The desktop's accessibility wishes the drawing follows: reduce motion and reduce transparency.
// Followed live from the desktop's settings where it is given them; tests set them directly.
class AccessibilityPreferences : public QObject {
    Q_OBJECT

public:
    // Both off until set.
    explicit AccessibilityPreferences(QObject* parent = nullptr);
    // Follows the desktop's settings.
    explicit AccessibilityPreferences(const AccessibilitySettings& desktop,
                                      QObject* parent = nullptr);

    bool reduceMotion() const { return reduceMotion_; }
    bool reduceTransparency() const { return reduceTransparency_; }
    void setReduceMotion(bool reduce);
    void setReduceTransparency(bool reduce);

signals:
    void changed();

private:
    bool reduceMotion_ = false;
    bool reduceTransparency_ = false;
};
