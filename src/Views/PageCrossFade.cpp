#include "Views/PageCrossFade.h"

#include <QPainter>

#include "Components/Easing.h"

PageCrossFade::PageCrossFade(QPixmap leaving, QPixmap arriving, std::chrono::milliseconds duration,
                             QWidget* parent)
    : QWidget(parent), leaving_(std::move(leaving)), arriving_(std::move(arriving)) {
    // It lies over the real arriving page, hidden till the end: a click during the quarter
    // second goes to neither page, rather than to one half gone.
    fade_.setObjectName(QStringLiteral("pageCrossFade"));
    fade_.setParent(this);
    fade_.setDuration(static_cast<int>(duration.count()));
    fade_.setStartValue(0.0);
    fade_.setEndValue(1.0);
    fade_.setEasingCurve(easeInOutCurve());
    connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        progress_ = value.toDouble();
        update();
    });
    connect(&fade_, &QVariantAnimation::finished, this, &PageCrossFade::finished);
    fade_.start();
}

QPixmap PageCrossFade::pictureOf(QWidget& page) {
    const qreal scale = page.devicePixelRatioF();
    QPixmap picture(page.size() * scale);
    picture.setDevicePixelRatio(scale);
    // Only what the page itself draws: no window colour behind it, so the backdrop shows.
    picture.fill(Qt::transparent);
    page.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture;
}

void PageCrossFade::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(1.0 - progress_);
    painter.drawPixmap(0, 0, leaving_);
    painter.setOpacity(progress_);
    painter.drawPixmap(0, 0, arriving_);
}
