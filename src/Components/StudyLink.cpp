#include "Components/StudyLink.h"

#include <QEvent>
#include <QPainter>

#include "Components/AccessibilityPreferences.h"
#include "Components/Easing.h"
#include "Components/GlassTheme.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kPadding = 6;
constexpr qreal kIcon = 13;  // the size of an 11 pt symbol

// Keeps a link in its card's top-right corner as the card is laid out.
class CornerPin final : public QObject {
public:
    CornerPin(QWidget* card, StudyLink* link) : QObject(link), card_(card), link_(link) {
        card->installEventFilter(this);
        place();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == card_ &&
            (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
            place();
        }
        return false;
    }

private:
    // The icon's edge, not the button's, stands 6 pt in: the button keeps room around the
    // icon for its hover growth.
    void place() {
        const QSize size = link_->sizeHint();
        const int room = (size.width() - static_cast<int>(kIcon)) / 2;
        link_->setGeometry(card_->width() - kPadding + room - size.width(), kPadding - room,
                           size.width(), size.height());
        link_->raise();
    }

    QWidget* card_;
    StudyLink* link_;
};

}  // namespace

StudyLink::StudyLink(QString url, QString tooltip, UrlOpener open, QWidget* parent,
                     const AccessibilityPreferences* motion)
    : QAbstractButton(parent), url_(std::move(url)), open_(std::move(open)), motion_(motion) {
    lighting_.setDuration(static_cast<int>(hoverTime.count()));
    QEasingCurve curve;
    curve.setCustomType(&easeOut);
    lighting_.setEasingCurve(curve);
    connect(&lighting_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        lit_ = value.toDouble();
        update();
    });
    setToolTip(tooltip);
    setAccessibleName(tooltip);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &StudyLink::openStudy);
}

QString StudyLink::doiUrl(const QString& doiPath) {
    return u"https://doi.org/"_s + doiPath;
}

StudyLink* StudyLink::attach(QWidget* card, const QString& doiPath, const QString& tooltip,
                             UrlOpener open, const AccessibilityPreferences* motion) {
    auto* link = new StudyLink(doiUrl(doiPath), tooltip, std::move(open), card, motion);
    new CornerPin(card, link);
    return link;
}

QSize StudyLink::sizeHint() const {
    // Room for the icon at 115 %.
    const int side = static_cast<int>(std::ceil(kIcon * 1.15)) + 2;
    return {side, side};
}

void StudyLink::openStudy() {
    const QUrl address(url_, QUrl::StrictMode);
    if (!address.isValid() || address.scheme().isEmpty() || !open_) {
        return;
    }
    open_(address);
}

void StudyLink::lightTo(double target) {
    lighting_.stop();
    if ((motion_ && motion_->reduceMotion()) || !isVisible()) {
        lit_ = target;
        update();
        return;
    }
    lighting_.setStartValue(lit_);
    lighting_.setEndValue(target);
    lighting_.start();
}

void StudyLink::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    lightTo(1.0);
    QAbstractButton::enterEvent(event);
}

void StudyLink::leaveEvent(QEvent* event) {
    hovered_ = false;
    lightTo(hasFocus() ? 1.0 : 0.0);
    QAbstractButton::leaveEvent(event);
}

void StudyLink::focusInEvent(QFocusEvent* event) {
    lightTo(1.0);
    QAbstractButton::focusInEvent(event);
}

void StudyLink::focusOutEvent(QFocusEvent* event) {
    lightTo(hovered_ ? 1.0 : 0.0);
    QAbstractButton::focusOutEvent(event);
}

void StudyLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = 1.0 + 0.15 * lit_;
    const QColor ink = GlassTheme::withOpacity(GlassTheme::tertiaryText(), 0.6 + 0.4 * lit_);
    painter.translate(QRectF(rect()).center());
    painter.scale(scale, scale);
    const QRectF circle(-kIcon / 2 + 0.6, -kIcon / 2 + 0.6, kIcon - 1.2, kIcon - 1.2);
    painter.setPen(QPen(ink, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(0, -kIcon * 0.22), 0.9, 0.9);
    painter.drawRoundedRect(QRectF(-0.7, -kIcon * 0.08, 1.4, kIcon * 0.34), 0.7, 0.7);
}
