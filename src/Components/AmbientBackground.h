#pragma once

#include <QPixmap>
#include <QWidget>

#include "Models/RiskLevel.h"

// The window's backdrop: a pale wash with three soft glows, blurred. It never moves, so it is
// drawn and blurred once per size and kept.
class AmbientBackground : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal blurRadius = 60;

    explicit AmbientBackground(RiskLevel level, QWidget* parent = nullptr);

    // The backdrop at this size and pixel ratio, before and after the blur.
    static QImage render(QSize size, qreal devicePixelRatio);
    static QImage renderBlurred(QSize size, qreal devicePixelRatio);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap cached_;
};
