#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>
#include <chrono>

#include "Components/UrlOpener.h"

class AccessibilityPreferences;

// A small "i" in a card's top-right corner: the study behind a claim. Hovering names it,
// clicking opens its DOI page. Hovering brightens and grows it, easing out over 0.15 s (at once
// when motion is reduced).
class StudyLink : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds hoverTime{150};

    StudyLink(QString url, QString tooltip, UrlOpener open, QWidget* parent = nullptr,
              const AccessibilityPreferences* motion = nullptr);

    // Pins a link to the top-right corner of `card`, 6 pt in, without moving its content.
    static StudyLink* attach(QWidget* card, const QString& doiPath, const QString& tooltip,
                             UrlOpener open, const AccessibilityPreferences* motion = nullptr);
    // The DOI resolver's address for a DOI path.
    static QString doiUrl(const QString& doiPath);

    const QString& url() const { return url_; }
    bool isHovered() const { return hovered_; }
    // How lit the icon is, 0 (at rest: 60 % opacity, full size) to 1 (hovered: opaque, 115 %).
    double lit() const { return lit_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void openStudy();
    void lightTo(double target);

    QString url_;
    UrlOpener open_;
    bool hovered_ = false;
    const AccessibilityPreferences* motion_;
    double lit_ = 0.0;
    // Runs only while the icon changes.
    QVariantAnimation lighting_;
};
