#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

// A thin bar filled from the left to a fraction; 1 or more is full. Changes glide over 0.5 s.
class ProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    void setProgress(double progress, bool animated = true);
    void setColor(const QColor& color);
    double progress() const { return target_; }
    // The filled part of a bar of this width.
    static qreal fillWidth(qreal barWidth, double progress);

    QSize sizeHint() const override { return {200, 4}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double target_ = 0.0;
    double shown_ = 0.0;
    QColor color_;
    QVariantAnimation glide_;
};
