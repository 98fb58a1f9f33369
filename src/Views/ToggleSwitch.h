#pragma once

#include <QVariantAnimation>

#include "Views/PageButton.h"

// An on/off switch: a capsule track, accent when on, and a white knob that slides across.
class ToggleSwitch : public PageButton {
    Q_OBJECT

public:
    // `name` is what a screen reader says for it; the switch shows no text.
    explicit ToggleSwitch(const QString& name, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {40, 24}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double knob_ = 0.0;  // 0 off … 1 on
    QVariantAnimation slide_;
};
