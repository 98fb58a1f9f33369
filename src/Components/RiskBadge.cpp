#include "Components/RiskBadge.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "Components/AccessibilityPreferences.h"
#include "Components/BreathingEffect.h"
#include "Components/Easing.h"
#include "Components/GlassTheme.h"
#include "Components/ImageBlur.h"
#include "Components/LiquidGlass.h"
#include "Components/Squircle.h"
#include "Components/VisibleSteps.h"

namespace {

constexpr qreal kGlowBlur = 12;

// A level's capsule in its colour, blurred, with room around it for the blur.
QImage blurredGlow(RiskLevel level, QSizeF pill, qreal ratio) {
    const QColor accent = GlassTheme::fromSrgb(RiskLevels::accentColor(level));
    const QSizeF canvas = pill + QSizeF(4 * kGlowBlur, 4 * kGlowBlur);
    QImage image((canvas * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(Squircle::capsule(QRectF(QPointF(2 * kGlowBlur, 2 * kGlowBlur), pill)),
                     accent);
    painter.end();
    return ImageBlur::blurred(image, kGlowBlur * ratio);
}

bool isOpaque(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        if (!std::all_of(line, line + argb.width(),
                         [](QRgb pixel) { return qAlpha(pixel) == 255; })) {
            return false;
        }
    }
    return true;
}

// Draws `image` centred on the painter's origin.
void drawCentred(QPainter& painter, const QImage& image) {
    const QSizeF size = image.deviceIndependentSize();
    painter.drawImage(QPointF(-size.width() / 2, -size.height() / 2), image);
}

// The phases, from rest to the peak of the swell, at which the glow's picture has changed by a
// visible step since the last of them: the pulse wakes there and nowhere else. The blurred edge
// sweeps faster over some phases than others, so the steps are uneven.
std::vector<double> glowRungs(RiskLevel level, QSizeF pill) {
    constexpr int kSamples = 40;
    const double contrast = VisibleSteps::contrastOnPaleSurface(RiskLevels::accentColor(level));
    const QImage glow = blurredGlow(level, pill, 1.0);
    // Each quarter of the glow mirrors the others: the top left one, up to the centre, tells.
    const QSizeF reach = glow.deviceIndependentSize() * (RiskBadge::glowScale(1.0) / 2);
    const QSize size(static_cast<int>(std::ceil(reach.width())) + 1,
                     static_cast<int>(std::ceil(reach.height())) + 1);
    // Sixteen bits a channel, so that eight-bit rounding does not move the steps.
    const auto drawnAt = [&](double phase) {
        QImage cover(size, QImage::Format_RGBA64_Premultiplied);
        cover.fill(Qt::transparent);
        QPainter painter(&cover);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(size.width(), size.height());
        painter.scale(RiskBadge::glowScale(phase), RiskBadge::glowScale(phase));
        painter.setOpacity(RiskBadge::glowOpacity(level, phase));
        drawCentred(painter, glow);
        return cover;
    };
    const auto change = [&](const QImage& from, const QImage& to) {
        int most = 0;
        for (int y = 0; y < size.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgba64*>(from.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgba64*>(to.constScanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                most = std::max(most, std::abs(b[x].alpha() - a[x].alpha()));
            }
        }
        return most / 65535.0 * contrast;
    };
    std::vector<double> rungs;
    QImage shown = drawnAt(0.0);
    for (int sample = 1; sample <= kSamples; ++sample) {
        const double phase = static_cast<double>(sample) / kSamples;
        QImage now = drawnAt(phase);
        if (change(shown, now) >= VisibleSteps::colourStep) {
            rungs.push_back(phase);
            shown = std::move(now);
        }
    }
    return rungs;
}

QColor mix(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * t),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * t),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * t),
                            static_cast<float>(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

}  // namespace

RiskBadge::RiskBadge(RiskLevel level, AccessibilityPreferences& motion, QWidget* parent)
    : QWidget(parent), level_(level), motion_(motion), previousLevel_(level) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(RiskLevels::badgeWord(level));
    // The glow's room around the pill belongs to the card below as far as the pointer goes.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    wakeTimer_.setSingleShot(true);
    wakeTimer_.setTimerType(Qt::PreciseTimer);
    connect(&wakeTimer_, &QTimer::timeout, this, &RiskBadge::wake);
    pulseDelay_.setSingleShot(true);
    connect(&pulseDelay_, &QTimer::timeout, this, [this] {
        if (isVisible() && !motion_.reduceMotion()) {
            setPulsing(true);
        }
    });
    connect(&motion_, &AccessibilityPreferences::changed, this, [this] {
        if (motion_.reduceMotion()) {
            pulseDelay_.stop();
            levelChangeStart_.reset();
            setPulsing(false);
        }
        update();
    });
}

RiskBadge::~RiskBadge() = default;

void RiskBadge::setClock(const AnimationClock& clock) {
    clock_ = &clock;
    pulseStart_ = now();
    levelChangeStart_.reset();
    scheduleWake();
}

bool RiskBadge::reducesTransparency() const {
    return motion_.reduceTransparency();
}

double RiskBadge::glowOpacity(RiskLevel level, double phase) {
    double rest = 0.08;
    double peak = 0.18;
    switch (level) {
        case RiskLevel::low:
            break;
        case RiskLevel::medium:
            rest = 0.14;
            peak = 0.30;
            break;
        case RiskLevel::high:
            rest = 0.20;
            peak = 0.45;
            break;
    }
    return rest + (peak - rest) * phase;
}

double RiskBadge::glowOpacity() const {
    return glowOpacity(level_, pulsePhase());
}

double RiskBadge::pulsePhase() const {
    if (!pulsing_) {
        return 0.0;
    }
    return swingAt(now() - pulseStart_, pulseHalfCycle);
}

double RiskBadge::levelProgress() const {
    if (!levelChangeStart_) {
        return 1.0;
    }
    const double t = static_cast<double>((now() - *levelChangeStart_).count()) /
                     static_cast<double>(levelChangeTime.count());
    return easeInOut(std::clamp(t, 0.0, 1.0));
}

std::optional<RiskLevel> RiskBadge::previousLevel() const {
    if (!levelChangeStart_) {
        return std::nullopt;
    }
    return previousLevel_;
}

std::vector<double> RiskBadge::pulseRungs() const {
    // The pill's edge moves by 1 % of its width over the swell: a rung for each pixel.
    std::vector<double> rungs = VisibleSteps::evenRungs(1.0 / (0.01 * pillSize().width()));
    if (!motion_.reduceTransparency()) {
        std::optional<std::vector<double>>& glow = glowRungs_[static_cast<std::size_t>(level_)];
        if (!glow) {
            glow = glowRungs(level_, pillSize(level_));
        }
        std::vector<double> both;
        std::merge(rungs.begin(), rungs.end(), glow->begin(), glow->end(),
                   std::back_inserter(both));
        rungs = std::move(both);
    }
    return rungs;
}

void RiskBadge::scheduleWake() {
    std::optional<std::chrono::milliseconds> due;
    bool transition = false;
    if (isVisible() && levelChangeStart_) {
        due = now() + VisibleSteps::transitionFrame;  // a short cross-fade
        transition = true;
    } else if (isVisible() && pulsing_) {
        const auto from = std::max(now(), wakeAt_.value_or(std::chrono::milliseconds{0}));
        due = pulseStart_ +
              VisibleSteps::nextSwingLevelChange(from - pulseStart_, pulseHalfCycle, pulseRungs());
    }
    if (!due) {
        wakeTimer_.stop();
        wakeAt_.reset();
        return;
    }
    wakeAt_ = transition ? *due : VisibleSteps::onFrameGrid(*due);
    wakeTimer_.start(std::max(std::chrono::milliseconds{0}, *wakeAt_ - now()));
}

void RiskBadge::wake() {
    if (levelChangeStart_ && now() - *levelChangeStart_ >= levelChangeTime) {
        levelChangeStart_.reset();
        updateGeometry();  // the old level's room is no longer needed
        followSlot();
    }
    showNextFrame();
    scheduleWake();
}

void RiskBadge::showNextFrame() {
    // Most frames change the badge alone. Qt would draw the window's backdrop and the card under
    // it again for each of them; as an opaque widget over a kept picture of what lies below,
    // the badge is drawn alone instead. Only its own frame sees it opaque: a repaint of the card
    // or a grab of the window draws everything below it as usual, and the next full repaint of
    // the badge keeps what lay below it.
    if (!underlayIsCurrent()) {
        update();
        return;
    }
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    repaint();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

std::optional<RiskBadge::UnderlayLook> RiskBadge::underlayLookNow() const {
    const BreathingEffect* host = hostBreath();
    const QWidget* top = window();
    // Over anything but a breathing card nothing says when the picture below has changed.
    const qint64 hostPicture = host != nullptr ? host->pictureKey() : 0;
    if (hostPicture == 0 || !isVisible() || top == this) {
        return std::nullopt;
    }
    return UnderlayLook{QRect(mapTo(top, QPoint(0, 0)), size()),
                        top->size(),
                        top->devicePixelRatioF(),
                        host->scale(),
                        host->opacity(),
                        hostPicture};
}

bool RiskBadge::underlayIsCurrent() const {
    const std::optional<UnderlayLook> look = underlayLookNow();
    return look && !underlay_.isNull() && underlayLook_ == *look;
}

void RiskBadge::keepUnderlay(const QPainter& painter, const QRegion& painted) {
    // Only a repaint that drew everything under the badge, on a picture of the whole window at
    // its density: the window's own. A grab draws on a pixmap. The backing store is not asked
    // for its picture: outside its own repaints Wayland's has none, and asking crashes.
    const QPaintDevice* device =
        painter.paintEngine() != nullptr ? painter.paintEngine()->paintDevice() : nullptr;
    if (device == nullptr || device->devType() != QInternal::Image ||
        !(QRegion(rect()) - painted).isEmpty()) {
        return;
    }
    const std::optional<UnderlayLook> look = underlayLookNow();
    const auto* image = static_cast<const QImage*>(device);
    if (!look || image->devicePixelRatio() != look->ratio ||
        image->size() != (QSizeF(look->window) * look->ratio).toSize()) {
        return;
    }
    const QRect pixels = painter.deviceTransform().mapRect(QRectF(rect())).toAlignedRect();
    if (!image->rect().contains(pixels)) {
        return;
    }
    // In the device's own pixels, so that it goes back where it came from at any density.
    QImage kept = image->copy(pixels);
    // The window's backdrop leaves nothing under the badge see-through; a page drawn without
    // it (for a cross-fade) does.
    if (kept.hasAlphaChannel() && !isOpaque(kept)) {
        return;
    }
    underlay_ = std::move(kept);
    underlay_.setDevicePixelRatio(1.0);
    underlayAt_ = pixels.topLeft();
    underlayLook_ = *look;
}

void RiskBadge::setPulsing(bool pulsing) {
    pulsing_ = pulsing;
    if (pulsing_) {
        pulseStart_ = now();
    }
    update();
    scheduleWake();
}

void RiskBadge::setRiskLevel(RiskLevel level) {
    if (level == level_) {
        return;
    }
    previousLevel_ = level_;
    level_ = level;
    setAccessibleName(RiskLevels::badgeWord(level));
    if (motion_.reduceMotion() || !isVisible()) {
        levelChangeStart_.reset();
    } else {
        levelChangeStart_ = now();
    }
    updateGeometry();
    followSlot();
    update();
    if (motion_.reduceMotion()) {
        scheduleWake();
        return;
    }
    setPulsing(false);
    pulseDelay_.start(pulseRestartDelay);
}

void RiskBadge::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (motion_.reduceMotion()) {
        return;
    }
    pulseDelay_.start(pulseStartDelay);
}

void RiskBadge::hideEvent(QHideEvent* event) {
    // Nothing wakes for a badge nobody sees.
    pulseDelay_.stop();
    levelChangeStart_.reset();
    setPulsing(false);
    QWidget::hideEvent(event);
}

QSizeF RiskBadge::pillSize(RiskLevel level) const {
    // Measuring the mark shapes a colour emoji, which decodes its picture each time: the
    // size is measured once per level and font.
    std::optional<QSizeF>& known = pillSizes_[static_cast<std::size_t>(level)];
    if (!known) {
        const QFontMetricsF mark(GlassTheme::font(font(), 12, QFont::Normal));
        const QFontMetricsF word(GlassTheme::roundedFont(13));
        const qreal content = mark.horizontalAdvance(RiskLevels::badgeMark(level)) + 6 +
                              word.horizontalAdvance(RiskLevels::badgeWord(level));
        known = QSizeF(content + 32, std::max(mark.height(), word.height()) + 16);
    }
    return *known;
}

void RiskBadge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        pillSizes_ = {};
        glowRungs_ = {};
        contents_ = {};
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

QSizeF RiskBadge::pillSize() const {
    const QSizeF now = pillSize(level_);
    if (!levelChangeStart_) {
        return now;
    }
    const QSizeF before = pillSize(previousLevel_);
    const double t = levelProgress();
    return before + (now - before) * t;
}

QSize RiskBadge::pillRoom() const {
    // Room for the wider of the two pills while one level changes into the next.
    QSizeF room = pillSize(level_);
    if (levelChangeStart_) {
        room = room.expandedTo(pillSize(previousLevel_));
    }
    return room.toSize() + QSize(2, 2);
}

QMargins RiskBadge::glowReach() const {
    // The glow swells to 1.4 times the pill and blurs past that; the pill itself grows by 2 %.
    const QSize room = pillRoom();
    const auto reach = [](int side) {
        return static_cast<int>(std::ceil(side * 0.2 + 2 * kGlowBlur));
    };
    return {reach(room.width()), reach(room.height()), reach(room.width()), reach(room.height())};
}

QRect RiskBadge::roomRect() const {
    const QSize room = pillRoom();
    return {(width() - room.width()) / 2, (height() - room.height()) / 2, room.width(),
            room.height()};
}

QSize RiskBadge::sizeHint() const {
    return pillRoom().grownBy(glowReach());
}

QRectF RiskBadge::pillRect() const {
    const QSizeF pill = pillSize();
    return {(width() - pill.width()) / 2, (height() - pill.height()) / 2, pill.width(),
            pill.height()};
}

void RiskBadge::paintContent(QPainter& painter, const QRectF& pill, RiskLevel level,
                             double opacity) {
    if (opacity <= 0) {
        return;
    }
    // Each level's mark and word centred in the pill as it is now.
    painter.save();
    painter.setOpacity(opacity);
    painter.drawPixmap(ownPill(pill, level).topLeft(), contentPicture(level, painter));
    painter.restore();
}

const QPixmap& RiskBadge::contentPicture(RiskLevel level, const QPainter& target) {
    // A change of level redraws the pill every frame for its short fade: shaping the words and
    // decoding the colour emoji of the mark each time would cost most of a frame.
    const qreal ratio = densityOf(target);
    auto& [picture, drawnFor] = contents_[static_cast<std::size_t>(level)];
    const QSizeF own = pillSize(level);
    if (picture.isNull() || picture.devicePixelRatio() != ratio || drawnFor != own) {
        drawnFor = own;
        picture = QPixmap((own * ratio).toSize());
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        drawContent(painter, QRectF(QPointF(0, 0), own), level);
    }
    return picture;
}

QRectF RiskBadge::ownPill(const QRectF& pill, RiskLevel level) const {
    const QSizeF own = pillSize(level);
    return {pill.center() - QPointF(own.width() / 2, own.height() / 2), own};
}

qreal RiskBadge::densityOf(const QPainter& target) const {
    // A painter on the widget reports the widget's density; the engine knows what it draws on
    // (a grab may be denser than the screen).
    const QPaintDevice* device =
        target.paintEngine() != nullptr ? target.paintEngine()->paintDevice() : target.device();
    return device != nullptr ? device->devicePixelRatioF() : devicePixelRatioF();
}

void RiskBadge::drawContent(QPainter& painter, const QRectF& pill, RiskLevel level) {
    const QFont markFont = GlassTheme::font(font(), 12, QFont::Normal);
    const QFont wordFont = GlassTheme::roundedFont(13);
    const QString mark = RiskLevels::badgeMark(level);
    const qreal markWidth = QFontMetricsF(markFont).horizontalAdvance(mark);
    const QRectF content = ownPill(pill, level).adjusted(16, 8, -16, -8);
    painter.save();
    painter.setFont(markFont);
    painter.drawText(QRectF(content.left(), content.top(), markWidth, content.height()),
                     Qt::AlignCenter, mark);
    painter.setFont(wordFont);
    painter.setPen(GlassTheme::primaryText());
    painter.drawText(content.adjusted(markWidth + 6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     RiskLevels::badgeWord(level));
    painter.restore();
}

void RiskBadge::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const bool overUnderlay = testAttribute(Qt::WA_OpaquePaintEvent);
    if (!overUnderlay) {
        // Qt has just drawn what lies under the badge.
        keepUnderlay(painter, event->region());
    }
    const QPixmap& pill = pillPicture(painter);
    const QPoint pillAt = roomRect().topLeft();
    const QRectF pillArea = pillRect();
    const double progress = levelProgress();
    const std::optional<RiskLevel> previous = previousLevel();
    const QTransform host = hostTransform();
    const double hostAlpha = hostOpacity();
    const QTransform underlayToPixels = VisibleSteps::onDevicePixels(painter, underlayAt_);
    VisibleSteps::paintInBands(painter, VisibleSteps::repaintedRegion(painter, rect(), 1), [&] {
        if (overUnderlay) {
            painter.save();
            painter.setWorldTransform(underlayToPixels);
            painter.drawImage(0, 0, underlay_);
            painter.restore();
        }
        // A badge floating over a breathing card breathes with it.
        painter.setTransform(host, true);
        painter.setOpacity(hostAlpha);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!reducesTransparency()) {
            // A new level's glow fades in over the old one's.
            if (previous) {
                paintGlow(painter, pillArea, *previous, 1.0 - progress);
            }
            paintGlow(painter, pillArea, level_, previous ? progress : 1.0);
        }
        const QPointF centre = pillArea.center();
        painter.translate(centre);
        painter.scale(badgeScale(), badgeScale());
        painter.translate(-centre);
        painter.drawPixmap(pillAt, pill);
    });
}

const QImage& RiskBadge::glowImage(RiskLevel level, QSizeF pill, qreal ratio) {
    Glow& glow = glows_[static_cast<std::size_t>(level)];
    if (glow.image.isNull() || glow.size != pill || glow.ratio != ratio) {
        glow.image = blurredGlow(level, pill, ratio);
        glow.size = pill;
        glow.ratio = ratio;
    }
    return glow.image;
}

void RiskBadge::paintGlow(QPainter& painter, const QRectF& pill, RiskLevel level, double weight) {
    if (weight <= 0) {
        return;
    }
    // Blurred once for the level's own pill, and stretched to the pill as it is while a change
    // of level eases one size into the other.
    const QSizeF own = pillSize(level);
    const QImage& glow = glowImage(level, own, densityOf(painter));
    painter.save();
    painter.translate(pill.center());
    painter.scale(glowScale() * pill.width() / own.width(),
                  glowScale() * pill.height() / own.height());
    painter.setOpacity(painter.opacity() * glowOpacity(level, pulsePhase()) * weight);
    drawCentred(painter, glow);
    painter.restore();
}

const QPixmap& RiskBadge::pillPicture(const QPainter& target) {
    // The pill stays the same between level changes while the pulse redraws it a few times a
    // second: it is drawn once into a picture, which a pulse frame only copies. The picture has
    // the pixel density of what it is drawn on (a grab may be denser than the screen), or its
    // lettering comes out soft.
    const qreal ratio = densityOf(target);
    const QRect room = roomRect();
    const PillLook look{level_,      previousLevel_, levelProgress(), motion_.reduceTransparency(),
                        room.size(), ratio};
    if (pill_.isNull() || !(pillLook_ == look)) {
        pill_ = QPixmap((QSizeF(room.size()) * ratio).toSize());
        pill_.setDevicePixelRatio(ratio);
        pill_.fill(Qt::transparent);
        QPainter painter(&pill_);
        painter.translate(-room.topLeft());
        paintPill(painter);
        pillLook_ = look;
    }
    return pill_;
}

void RiskBadge::paintPill(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = pillRect();
    const QPainterPath capsule = Squircle::capsule(pill);
    const double progress = levelProgress();
    const QColor accent = mix(GlassTheme::fromSrgb(RiskLevels::accentColor(previousLevel_)),
                              GlassTheme::fromSrgb(RiskLevels::accentColor(level_)),
                              levelChangeStart_ ? progress : 1.0);
    painter.fillPath(capsule, GlassTheme::ultraThinMaterial());
    painter.fillPath(capsule,
                     GlassTheme::withOpacity(accent, motion_.reduceTransparency() ? 0.18 : 0.10));
    QLinearGradient rim(pill.topLeft(), pill.bottomLeft());
    rim.setColorAt(0.0, GlassTheme::withOpacity(accent, 0.4));
    rim.setColorAt(1.0, GlassTheme::withOpacity(accent, 0.1));
    QPen rimPen(QBrush(rim), 0.75, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    rimPen.setMiterLimit(10);
    painter.strokePath(Squircle::capsule(pill.adjusted(0.375, 0.375, -0.375, -0.375)), rimPen);

    // The old mark and word fade out as the new ones fade in.
    if (levelChangeStart_) {
        paintContent(painter, pill, previousLevel_, 1.0 - progress);
        paintContent(painter, pill, level_, progress);
    } else {
        drawContent(painter, pill, level_);
    }
}

void RiskBadge::floatOver(QWidget* slot) {
    slot_ = slot;
    slot->setFixedSize(pillRoom());
    // Every widget between the slot and the badge's own parent moves the slot when it moves.
    for (QWidget* w = slot; w && w != parentWidget(); w = w->parentWidget()) {
        w->installEventFilter(this);
    }
    followSlot();
}

void RiskBadge::followSlot() {
    if (!slot_ || !parentWidget()) {
        return;
    }
    slot_->setFixedSize(pillRoom());
    setGeometry(
        QRect(slot_->mapTo(parentWidget(), QPoint(0, 0)), slot_->size()).marginsAdded(glowReach()));
    setVisible(slot_->isVisible());
    raise();
}

bool RiskBadge::eventFilter(QObject* watched, QEvent* event) {
    if (slot_ && watched->isWidgetType()) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                followSlot();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

const BreathingEffect* RiskBadge::hostBreath() const {
    if (!slot_) {
        return nullptr;
    }
    for (QWidget* w = slot_->parentWidget(); w && w != parentWidget(); w = w->parentWidget()) {
        if (const auto* breath = qobject_cast<const BreathingEffect*>(w->graphicsEffect())) {
            return breath;
        }
    }
    return nullptr;
}

QTransform RiskBadge::hostTransform() const {
    const BreathingEffect* breath = hostBreath();
    if (!breath) {
        return {};
    }
    const auto* host = qobject_cast<const QWidget*>(breath->parent());
    if (!host) {
        return {};
    }
    // The host's breath, seen from the badge's own coordinates.
    const QPoint offset = host->mapTo(parentWidget(), QPoint(0, 0)) - pos();
    return QTransform::fromTranslate(-offset.x(), -offset.y()) * breath->breathTransform() *
           QTransform::fromTranslate(offset.x(), offset.y());
}

double RiskBadge::hostOpacity() const {
    const BreathingEffect* breath = hostBreath();
    return breath ? breath->opacity() : 1.0;
}
