#include <gtest/gtest.h>

#include <QBackingStore>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "Components/AccessibilityPreferences.h"
#include "Components/BreathingEffect.h"
#include "Components/CastShadow.h"
#include "Components/Easing.h"
#include "Components/GlassTheme.h"
#include "Components/ProgressBar.h"
#include "Components/RiskBadge.h"
#include "Components/Squircle.h"
#include "Components/StatCard.h"
#include "Components/StatLabel.h"
#include "Components/StudyLink.h"
#include "Components/TimeRingChart.h"
#include "Components/TrayFigure.h"
#include "Components/VisibleSteps.h"
#include "Support/PostureBodies.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// A card on a white page with room around it for its shadow, rendered as the user sees it.
QImage renderCard(CardDepth depth, AccessibilityPreferences& motion,
                  QColor pageColour = Qt::white) {
    QWidget page;
    page.setAutoFillBackground(true);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, pageColour);
    page.setPalette(palette);
    page.resize(300, 200);
    auto* card = new StatCard(depth, motion, &page);
    card->setGeometry(50, 40, 200, 100);
    page.show();
    QImage image(page.size(), QImage::Format_ARGB32);
    page.render(&image);
    return image;
}

double darkness(QRgb pixel) {
    return 1.0 - qGray(pixel) / 255.0;
}

// The ring's pixel at this fraction of a turn, clockwise from 12 o'clock.
QColor ringPixel(const QImage& image, const QRectF& ring, double turn) {
    const double angle = turn * 2 * std::numbers::pi;
    const QPointF centre = ring.center();
    const qreal radius = ring.width() / 2;
    return image.pixelColor(QPoint(static_cast<int>(centre.x() + radius * std::sin(angle)),
                                   static_cast<int>(centre.y() - radius * std::cos(angle))));
}

// A page of the window's pale surface, of this size.
void makePale(QWidget& page, QSize size) {
    page.setAutoFillBackground(true);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.965F, 0.965F, 0.965F));
    page.setPalette(palette);
    page.resize(size);
}

// An animation clock the test sets by hand.
struct HandClock final : AnimationClock {
    std::chrono::milliseconds at{0};
    std::chrono::milliseconds now() const override { return at; }
};

// The largest difference of any colour channel between two pictures of the same size.
int maxChannelDifference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return most;
}

// Counts the events of one type that reach the objects it watches.
class EventCounter : public QObject {
public:
    EventCounter(QEvent::Type type, int& count) : type_(type), count_(count) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        count_ += event->type() == type_ ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
    int& count_;
};

// The smallest rectangle that holds every pixel passing `ink`.
QRect inkBounds(const QImage& image, const std::function<bool(QRgb)>& ink) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            bounds |= ink(image.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
        }
    }
    return bounds;
}

QImage renderWidget(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

}  // namespace

TEST(StatCard, AProminentCardCastsAFurtherDarkerShadowAndReducedTransparencyKeepsShadows) {
    AccessibilityPreferences motion;
    const QImage prominent = renderCard(CardDepth::prominent, motion);
    const QImage recessed = renderCard(CardDepth::recessed, motion);
    for (const int below : {3, 8}) {
        EXPECT_GT(darkness(prominent.pixel(150, 140 + below)),
                  darkness(recessed.pixel(150, 140 + below)) + 0.002)
            << below;
    }
    EXPECT_GT(darkness(prominent.pixel(150, 156)), 0.001);
    EXPECT_LT(darkness(recessed.pixel(150, 156)), 0.001);

    // The sheen: lit from the top-left corner, fading out before the middle.
    const QImage glass = renderCard(CardDepth::standard, motion, Qt::gray);
    const int middle = qGray(glass.pixel(150, 90));
    EXPECT_GT(qGray(glass.pixel(72, 52)), middle + 5);
    EXPECT_LE(qGray(glass.pixel(228, 112)), middle);

    // Reduced transparency: a flat fill, its shadow still below it.
    motion.setReduceTransparency(true);
    const QImage flat = renderCard(CardDepth::standard, motion);
    EXPECT_EQ(flat.pixelColor(150, 90).rgb(), GlassTheme::fromSrgb({0.96, 0.97, 0.96}).rgb());
    EXPECT_EQ(flat.pixelColor(100, 60).rgb(), flat.pixelColor(200, 120).rgb());
    EXPECT_GT(darkness(flat.pixel(150, 143)), 0.005);
}

TEST(TimeRingChart, ArcsCoverTheirSharesClockwiseFromTwelve) {
    TimeRingChart chart;
    chart.resize(chart.sizeHint());
    chart.setMinutes(30, 10);
    const QImage image = renderWidget(chart);
    const QRectF ring = chart.ringRect();
    const auto isSitting = [](QColor c) { return c.red() > 150 && c.green() < 140; };
    const auto isBreak = [](QColor c) { return c.green() > c.red() + 40; };
    for (const double turn : {0.05, 0.3, 0.5, 0.7}) {
        EXPECT_TRUE(isSitting(ringPixel(image, ring, turn))) << turn;
    }
    for (const double turn : {0.8, 0.9}) {
        EXPECT_TRUE(isBreak(ringPixel(image, ring, turn))) << turn;
    }

    chart.setMinutes(0, 0);
    const QImage empty = renderWidget(chart);
    for (const double turn : {0.1, 0.5, 0.9}) {
        const QColor track = ringPixel(empty, ring, turn);
        EXPECT_GT(track.lightness(), 200) << turn;  // only the faint track
        EXPECT_FALSE(isSitting(track) || isBreak(track));
    }
    // The most minutes there can be: the middle shows the sum of both, which must not wrap
    // (the sanitizer build stops here if it does).
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    chart.setMinutes(most, most);
    renderWidget(chart);
}

TEST(TimeRingChart, RingAndLegendCentreAsOneRowForShortAndLongValues) {
    for (const auto& [sitting, breaks] : {std::pair{0, 0}, std::pair{605, 95}}) {
        TimeRingChart chart;
        chart.setMinutes(sitting, breaks);
        chart.resize(320, chart.sizeHint().height());
        const QImage image = renderWidget(chart);
        const QRect drawn = inkBounds(image, [](QRgb pixel) { return qGray(pixel) < 245; });
        // The ring's square on the left (its stroke reaches half a width beyond it, which the
        // layout leaves out), the longest legend value on the right.
        EXPECT_NEAR(drawn.left() + TimeRingChart::ringWidth / 2, image.width() - 1 - drawn.right(),
                    2)
            << sitting << "m sitting";
    }
}

TEST(TimeRingChart, MinutesTextAndFractionsSaturateRatherThanWrapNegative) {
    EXPECT_EQ(TimeRingChart::formatMinutes(59), u"59m"_s);
    EXPECT_EQ(TimeRingChart::formatMinutes(60), u"1h 0m"_s);
    EXPECT_EQ(TimeRingChart::formatMinutes(605), u"10h 5m"_s);
    EXPECT_DOUBLE_EQ(TimeRingChart::arcFractions(1, 0).sittingEnd, 1.0);  // a full ring

    constexpr qint64 most = std::numeric_limits<qint64>::max();
    const auto halves = TimeRingChart::arcFractions(most, most);
    EXPECT_DOUBLE_EQ(halves.sittingEnd, 0.5);
    EXPECT_DOUBLE_EQ(halves.breakEnd, 1.0);
    EXPECT_EQ(TimeRingChart::formatMinutes(std::numeric_limits<qint64>::min()), u"0m"_s);
    EXPECT_EQ(TimeRingChart::formatMinutes(most), u"153722867280912930h 7m"_s);
}

TEST(ProgressBar, FillsItsFractionFromTheLeftClampedAndGivenItsValueAgainDoesNotRedraw) {
    // Inside a breathing card every repaint of the bar draws the whole card afresh.
    QWidget card;
    card.resize(220, 20);
    auto* bar = new ProgressBar(&card);
    bar->setGeometry(10, 8, 200, 4);
    bar->setColor(Qt::red);
    const auto redAt = [bar](int x) {
        const QColor pixel = renderWidget(*bar).pixelColor(x, 2);
        return pixel.red() > 200 && pixel.green() < 80;
    };
    bar->setProgress(0.0, false);
    EXPECT_FALSE(redAt(10));
    bar->setProgress(1.3, false);
    EXPECT_TRUE(redAt(197));
    EXPECT_DOUBLE_EQ(ProgressBar::fillWidth(200, -0.5), 0.0);
    bar->setProgress(0.5, false);
    EXPECT_TRUE(redAt(90));
    EXPECT_FALSE(redAt(110));

    card.show();
    QTest::qWait(50);
    int paints = 0;
    EventCounter counter(QEvent::Paint, paints);
    bar->installEventFilter(&counter);
    bar->setColor(Qt::red);
    bar->setProgress(0.5);
    QTest::qWait(100);
    EXPECT_EQ(paints, 0);
    bar->setProgress(0.7);
    QTest::qWait(100);
    EXPECT_GT(paints, 0);
}

TEST(StatLabel, CaptionsAreUpperCaseWithFullUnicodeMapping) {
    EXPECT_EQ(StatLabel::captionText(u"straße"_s), u"STRASSE"_s);
    EXPECT_EQ(StatLabel::captionText(u"istanbul"_s), u"ISTANBUL"_s);  // no Turkish dotted I
}

TEST(VisibleSteps, ASwingWakesAtEachVisibleStepAndNeverBetween) {
    // A card's breath: 7 s each way, drawn in steps of one visible step of its 4 % fade of
    // the darkest ink.
    const double ink = VisibleSteps::contrastOnPaleSurface(GlassTheme::primaryInk);
    const double step = VisibleSteps::colourStep / (0.04 * ink);
    const auto level = [&](std::chrono::milliseconds at) {
        return std::floor(swingAt(at, 7s) / step + 0.5);
    };
    int wakes = 0;
    int changes = 0;
    std::chrono::milliseconds at{0};
    while (at < 28s) {
        const std::chrono::milliseconds next = VisibleSteps::nextSwingLevelChange(at, 7s, step);
        ASSERT_GT(next, at);
        for (std::chrono::milliseconds between = at + 1ms; between < next; between += 1ms) {
            ASSERT_EQ(level(between), level(at)) << "a step at " << between.count() << " ms";
        }
        ASSERT_NE(level(next), level(at)) << "a wake for nothing at " << next.count() << " ms";
        ++wakes;
        at = next;
    }
    for (std::chrono::milliseconds t = 1ms; t <= at; t += 1ms) {
        changes += level(t) != level(t - 1ms) ? 1 : 0;
    }
    EXPECT_EQ(wakes, changes);
    EXPECT_LE(wakes, 2 * 2 * 5);  // two breaths, about four steps each way
}

TEST(Breathing, SleepsBetweenVisibleStepsAndDrawsTheSameFramesFromItsKeptPicture) {
    AccessibilityPreferences motion;
    HandClock clock;
    // Two identical cards on a page; the second draws afresh every time.
    QWidget page;
    page.resize(400, 400);
    const auto card = [&](int top) {
        auto* view = new QWidget(&page);
        view->setGeometry(40, top, 320, 150);
        auto* label = new QLabel(u"Today's Activity"_s, view);
        label->setGeometry(20, 20, 200, 30);
        auto* effect = new BreathingEffect(view, 0.004, 7s, motion);
        effect->setClock(clock);
        return std::pair{effect, label};
    };
    auto [breath, label] = card(20);
    QCursor::setPos(5, 5);
    page.show();
    ASSERT_TRUE(waitUntil([&] { return breath->isBreathing(); }));
    const auto frame = [&](std::chrono::milliseconds at) {
        clock.at = at;
        QImage image(page.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        page.render(&image);
        return image.copy(30, 10, 340, 170);
    };
    ASSERT_TRUE(breath->nextWake().has_value());
    const std::chrono::milliseconds wake = *breath->nextWake();
    EXPECT_GT(wake, 300ms);  // not ten times a second
    // Not later than its fade has gone a visible step and a half, give or take the grid wakes
    // are put on.
    std::chrono::milliseconds visible{0};
    const double ink = VisibleSteps::contrastOnPaleSurface(GlassTheme::primaryInk);
    while (0.04 * ink * swingAt(visible, 7s) < 1.5 * VisibleSteps::colourStep) {
        visible += 1ms;
    }
    EXPECT_LE(wake, visible + VisibleSteps::frameGrid);

    // Over a rising breath the picture changes at its few visible steps and stays between
    // them, so that a repaint over the card (the badge's pulse) copies what is shown.
    int changes = 0;
    QImage last = frame(0ms);
    std::vector<QImage> rising;
    for (std::chrono::milliseconds at = 100ms; at <= 7000ms; at += 100ms) {
        rising.push_back(frame(at));
        changes += rising.back() != last ? 1 : 0;
        last = rising.back();
    }
    EXPECT_GE(changes, 2);
    EXPECT_LE(changes, 4);
    // The next breath, and the fall between, show each level as the first rise showed it.
    for (std::chrono::milliseconds at = 100ms; at <= 7000ms; at += 100ms) {
        const auto step = static_cast<std::size_t>(at / 100ms) - 1;
        ASSERT_EQ(frame(14000ms - at), rising.at(step)) << at.count();
        ASSERT_EQ(frame(14000ms + at), rising.at(step)) << at.count();
    }

    // The kept picture gives the frame a fresh drawing gives, at the same instant, also
    // after the content changed.
    const QImage warm = frame(3500ms);
    label->setText(u"Yesterday"_s);
    const QImage changed = frame(3500ms);
    EXPECT_GT(maxChannelDifference(warm, changed), 100);
    clock.at = 700ms;  // shown later, the second card's breath still steps with the first's
    auto [fresh, freshLabel] = card(200);
    freshLabel->setText(u"Yesterday"_s);
    qobject_cast<QWidget*>(fresh->parent())->show();
    ASSERT_TRUE(waitUntil([&] { return fresh->isBreathing(); }));
    clock.at = 3500ms;
    QImage both(page.size(), QImage::Format_ARGB32);
    both.fill(Qt::white);
    page.render(&both);
    EXPECT_EQ(both.copy(30, 10, 340, 170), both.copy(30, 190, 340, 170));
    EXPECT_EQ(both.copy(30, 10, 340, 170), changed);

    // Nothing wakes for a card at rest: hovered, motion reduced, or hidden.
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(breath->parent(), &enter);
    EXPECT_DOUBLE_EQ(breath->scale(), 1.0);
    EXPECT_FALSE(breath->nextWake().has_value());
    // Let go, it rests until its breath passes through rest again, then breathes on in step.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(breath->parent(), &leave);
    clock.at = 7000ms;
    EXPECT_DOUBLE_EQ(breath->scale(), 1.0);
    ASSERT_TRUE(breath->nextWake().has_value());
    EXPECT_GT(*breath->nextWake(), 14000ms);
    clock.at = 17500ms;
    both.fill(Qt::white);
    page.render(&both);
    EXPECT_EQ(both.copy(30, 10, 340, 170), both.copy(30, 190, 340, 170));
    EXPECT_EQ(both.copy(30, 10, 340, 170), changed);
    // Motion reduced while it rests to rejoin: it stays at rest.
    QCoreApplication::sendEvent(breath->parent(), &enter);
    QCoreApplication::sendEvent(breath->parent(), &leave);
    motion.setReduceMotion(true);
    EXPECT_DOUBLE_EQ(breath->scale(), 1.0);
    clock.at += BreathingEffect::settleTime;
    ASSERT_TRUE(waitUntil([&] { return !breath->nextWake(); }));
    EXPECT_DOUBLE_EQ(breath->opacity(), 1.0);
    motion.setReduceMotion(false);
    EXPECT_TRUE(breath->nextWake().has_value());
    page.hide();
    EXPECT_FALSE(breath->nextWake().has_value());
}

TEST(StatCard, EntersAndLeavesScaledFromNinetyFivePercentWithAFade) {
    AccessibilityPreferences motion;
    HandClock clock;
    QWidget page;
    page.resize(300, 200);
    auto* card = new StatCard(CardDepth::standard, motion, &page);
    card->setGeometry(20, 20, 200, 100);
    card->breath().setClock(clock);
    page.show();
    card->leave();
    EXPECT_TRUE(card->isVisible());  // on its way out
    clock.at += BreathingEffect::presenceTime / 2;
    EXPECT_NEAR(card->breath().presence(), 0.5, 1e-9);
    EXPECT_NEAR(card->breath().scale(), 0.975, 1e-3);
    clock.at += BreathingEffect::presenceTime;
    ASSERT_TRUE(waitUntil([&] { return card->isHidden(); }));
    card->enter();
    EXPECT_TRUE(card->isVisible());
    EXPECT_DOUBLE_EQ(card->breath().presence(), 0.0);
    clock.at += BreathingEffect::presenceTime;
    EXPECT_DOUBLE_EQ(card->breath().presence(), 1.0);

    motion.setReduceMotion(true);  // all at once
    card->leave();
    EXPECT_TRUE(card->isHidden());
    card->enter();
    EXPECT_DOUBLE_EQ(card->breath().presence(), 1.0);
}

TEST(CastShadow, DrawsWhatQtsOwnShadowDrawsAlsoAfterTheWidgetOrTheShadowChanges) {
    // One button under the kept shadow, its twin under Qt's, side by side.
    QWidget page;
    page.resize(560, 140);
    const auto button = [&](int left, QGraphicsDropShadowEffect* shadow) {
        auto* label = new QLabel(u"Take a Reset"_s, &page);
        label->setGeometry(left + 30, 40, 200, 44);
        label->setStyleSheet(u"background: rgb(60, 110, 80); color: white;"_s);
        shadow->setParent(label);
        shadow->setColor(QColor::fromRgbF(0.12F, 0.25F, 0.18F, 0.3F));
        shadow->setBlurRadius(24);
        shadow->setOffset(0, 5);
        label->setGraphicsEffect(shadow);
        return label;
    };
    QLabel* kept = button(0, new CastShadow);
    QLabel* fresh = button(280, new QGraphicsDropShadowEffect);
    page.show();
    const auto halves = [&] {
        const QImage image = renderWidget(page);
        return std::pair{image.copy(0, 0, 280, 140), image.copy(280, 0, 280, 140)};
    };
    const auto [before, reference] = halves();
    EXPECT_LE(maxChannelDifference(before, reference), 3);
    // A second drawing comes from the kept picture; a changed button must not.
    EXPECT_LE(maxChannelDifference(halves().first, reference), 3);
    kept->setText(u"Settings"_s);
    fresh->setText(u"Settings"_s);
    const auto [after, changedReference] = halves();
    EXPECT_GT(maxChannelDifference(before, after), 100);
    EXPECT_LE(maxChannelDifference(after, changedReference), 3);
    // So must a shadow given a new colour.
    for (QLabel* label : {kept, fresh}) {
        static_cast<QGraphicsDropShadowEffect*>(label->graphicsEffect())->setColor(Qt::red);
    }
    const auto [dropped, droppedReference] = halves();
    EXPECT_LE(maxChannelDifference(dropped, droppedReference), 3);
}

TEST(RiskBadge, ALevelChangeCrossFadesAndThePulseSleepsWhileHidden) {
    AccessibilityPreferences motion;
    HandClock clock;
    RiskBadge badge(RiskLevel::low, motion);
    badge.setClock(clock);
    badge.resize(badge.sizeHint());
    badge.show();
    ASSERT_TRUE(waitUntil([&] { return badge.isPulsing(); }));
    ASSERT_TRUE(badge.nextWake().has_value());
    const auto tint = [&] {
        const QImage image = renderWidget(badge);
        const QRectF pill = badge.pillRect();
        return image.pixelColor(
            QPoint(static_cast<int>(pill.left() + 6), static_cast<int>(pill.center().y())));
    };
    const QColor low = tint();
    badge.setRiskLevel(RiskLevel::high);
    EXPECT_FALSE(badge.isPulsing());  // restarts in the new colours
    EXPECT_EQ(badge.accessibleName(), RiskLevels::badgeWord(RiskLevel::high));
    EXPECT_EQ(badge.previousLevel(), RiskLevel::low);
    clock.at += RiskBadge::levelChangeTime / 2;
    EXPECT_DOUBLE_EQ(badge.levelProgress(), 0.5);
    const QColor between = tint();
    clock.at += RiskBadge::levelChangeTime;
    ASSERT_TRUE(waitUntil([&] { return !badge.previousLevel(); }));
    const QColor high = tint();
    EXPECT_GT(high.red() - high.green(), between.red() - between.green());
    EXPECT_GT(between.red() - between.green(), low.red() - low.green());
    ASSERT_TRUE(waitUntil([&] { return badge.isPulsing(); }));

    badge.hide();
    EXPECT_FALSE(badge.nextWake().has_value());
    EXPECT_FALSE(badge.isPulsing());
    badge.show();

    motion.setReduceMotion(true);  // still, and a new level at once
    EXPECT_FALSE(badge.isPulsing());
    EXPECT_FALSE(badge.nextWake().has_value());
    badge.setRiskLevel(RiskLevel::medium);
    EXPECT_FALSE(badge.previousLevel().has_value());
    EXPECT_FALSE(badge.nextWake().has_value());
    QTest::qWait(300);
    EXPECT_FALSE(badge.isPulsing());
    EXPECT_DOUBLE_EQ(badge.badgeScale(), 1.0);
    EXPECT_DOUBLE_EQ(badge.glowScale(), 1.2);
}

TEST(RiskBadge, ShowsTheLevelsTintInsideThePillAndLetteringAtTheDrawingsDensity) {
    AccessibilityPreferences motion;
    for (const RiskLevel level : {RiskLevel::low, RiskLevel::medium, RiskLevel::high}) {
        RiskBadge badge(level, motion);
        badge.resize(badge.sizeHint());
        const QImage image = renderWidget(badge);
        const QRectF pill = badge.pillRect();
        const QColor inside = image.pixelColor(
            QPoint(static_cast<int>(pill.left() + 6), static_cast<int>(pill.center().y())));
        // On white, the frost is colourless: what colour there is comes from the level's tint.
        const QColor accent = GlassTheme::fromSrgb(RiskLevels::accentColor(level));
        const int apart = std::abs(inside.hsvHue() - accent.hsvHue());
        EXPECT_LE(std::min(apart, 360 - apart), 12) << RiskLevels::badgeWord(level).toStdString();
        EXPECT_GT(inside.hsvSaturation(), 3) << RiskLevels::badgeWord(level).toStdString();
    }
    // Drawn at twice the screen's density, the lettering has detail of its own, not the
    // screen's picture enlarged.
    RiskBadge badge(RiskLevel::medium, motion);
    badge.resize(badge.sizeHint());
    QImage fine(badge.size() * 2, QImage::Format_ARGB32);
    fine.setDevicePixelRatio(2);
    fine.fill(Qt::white);
    badge.render(&fine, {}, {}, QWidget::DrawChildren);
    const QImage enlarged =
        renderWidget(badge).scaled(fine.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fine.setDevicePixelRatio(1);
    EXPECT_GT(maxChannelDifference(fine, enlarged), 60);
}

TEST(StudyLink, ClickOpensTheStudysDoiPageAndABadAddressDoesNothing) {
    QWidget card;
    card.resize(200, 100);
    std::vector<QUrl> opened;
    StudyLink* link = StudyLink::attach(&card, u"10.1007/s10654-018-0380-1"_s,
                                        u"Brisketh et al., 2018 — Sitting time & mortality risk"_s,
                                        [&opened](const QUrl& url) { opened.push_back(url); });
    card.show();
    // The icon's ink, at rest, stands 6 pt in from the card's top and right edges.
    QImage drawn(card.size(), QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    card.render(&drawn, {}, {}, QWidget::DrawChildren);
    const QRect ink = inkBounds(drawn, [](QRgb pixel) { return qAlpha(pixel) > 40; });
    EXPECT_EQ(ink.right(), 200 - 6 - 1);
    EXPECT_EQ(ink.top(), 6);
    EXPECT_EQ(ink.width(), 13);  // an 11 pt symbol
    EXPECT_EQ(link->toolTip(), u"Brisketh et al., 2018 — Sitting time & mortality risk"_s);
    // Hovering lights the icon, easing out over 0.15 s; at once when motion is reduced.
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_LT(link->lit(), 1.0);
    ASSERT_TRUE(waitUntil([&] { return link->lit() == 1.0; }));
    AccessibilityPreferences still;
    still.setReduceMotion(true);
    auto* steady = new StudyLink(u"x"_s, u"x"_s, {}, &card, &still);
    steady->show();
    QCoreApplication::sendEvent(steady, &enter);
    EXPECT_EQ(steady->lit(), 1.0);
    // Clicks are the dashboard's; the keyboard opens the page too.
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Space);
    ASSERT_EQ(opened.size(), 1U);
    EXPECT_EQ(opened.front(), QUrl(u"https://doi.org/10.1007/s10654-018-0380-1"_s));

    StudyLink broken(u"http://[not a host"_s, u"x"_s,
                     [&opened](const QUrl& url) { opened.push_back(url); });
    QTest::mouseClick(&broken, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1U);
}

TEST(Squircle, CornersStayInsideTheRectAndBlendIntoTheEdges) {
    const QRectF rect(0, 0, 100, 60);
    const QPainterPath path = Squircle::roundedRect(rect, 16);
    EXPECT_EQ(path.boundingRect(), rect);
    EXPECT_FALSE(path.contains(QPointF(1, 1)));  // the corner is cut
    EXPECT_TRUE(path.contains(QPointF(50, 1)));  // the edge is straight
    EXPECT_TRUE(path.contains(QPointF(16, 16)));
    const QPainterPath capsule = Squircle::capsule(QRectF(0, 0, 80, 20));
    EXPECT_TRUE(capsule.contains(QPointF(40, 10)));
    EXPECT_FALSE(capsule.contains(QPointF(1, 1)));
}

namespace {

// How many pixels of the icon, handed over at 22 px and drawn on a bar of this colour, differ
// from the bar by a clear step of luminance.
int pixelsStandingOut(const QIcon& icon, const QColor& bar) {
    const auto luminance = [](const QColor& color) {
        return 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
    };
    QImage shown(22, 22, QImage::Format_ARGB32);
    shown.fill(bar);
    QPainter painter(&shown);
    painter.drawPixmap(0, 0, icon.pixmap(QSize(22, 22), 1.0));
    painter.end();
    int standing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            standing += std::abs(luminance(shown.pixelColor(x, y)) - luminance(bar)) > 0.4 ? 1 : 0;
        }
    }
    return standing;
}

}  // namespace

TEST(TrayFigure, TheOutlinedFigureReadsOnBlackAndOnWhiteBarsWhereThePlainOneVanishes) {
    const QIcon glyph(QStringLiteral(SPINDREL_TRAY_GLYPH));
    ASSERT_FALSE(glyph.isNull());
    for (const QColor& ink : {QColor(0x2e, 0x34, 0x36), QColor(0xee, 0xee, 0xec)}) {
        const QIcon outlined = TrayFigure::outlined(glyph, ink);
        EXPECT_GE(pixelsStandingOut(outlined, Qt::black), 40) << ink.name().toStdString();
        EXPECT_GE(pixelsStandingOut(outlined, Qt::white), 40) << ink.name().toStdString();
        const QIcon plain = TrayFigure::tinted(glyph, ink);
        EXPECT_LT(
            std::min(pixelsStandingOut(plain, Qt::black), pixelsStandingOut(plain, Qt::white)), 5)
            << ink.name().toStdString();
    }
    // Named for the hosts that recolour, the same pixels for those that do not.
    const QIcon outlined = TrayFigure::outlined(glyph, Qt::white);
    const QIcon named = TrayFigure::named(outlined, u"spindrel-symbolic"_s);
    EXPECT_EQ(named.name(), u"spindrel-symbolic"_s);
    EXPECT_EQ(named.pixmap(QSize(22, 22), 1.0).toImage(),
              outlined.pixmap(QSize(22, 22), 1.0).toImage());
}

TEST(RiskBadge, ThePulseWakesWhereItsGlowHasChangedByAVisibleStepAndNowhereElse) {
    for (const RiskLevel level : {RiskLevel::low, RiskLevel::high}) {
        AccessibilityPreferences motion;
        HandClock clock;
        QWidget page;
        makePale(page, QSize(300, 200));
        auto* badge = new RiskBadge(level, motion, &page);
        badge->setClock(clock);
        badge->resize(badge->sizeHint());
        badge->move(150 - badge->width() / 2, 100 - badge->height() / 2);
        page.show();
        ASSERT_TRUE(waitUntil([&] { return badge->isPulsing(); }));
        // The glow alone: the pill, at its largest, moves by its own rule of a pixel.
        const QRectF pill = badge->pillRect().translated(badge->pos());
        const QRect inside =
            QRectF(pill.center() - QPointF(pill.width(), pill.height()) * 0.51, pill.size() * 1.02)
                .toAlignedRect()
                .adjusted(-1, -1, 1, 1);
        const auto glowAt = [&](std::chrono::milliseconds at) {
            clock.at = at;
            QImage image(page.size(), QImage::Format_ARGB32);
            page.render(&image);
            QPainter(&image).fillRect(inside, Qt::black);
            return image;
        };
        const std::vector<double> rungs = badge->pulseRungs();
        const auto levelAt = [&] {
            return std::upper_bound(rungs.begin(), rungs.end(), badge->pulsePhase()) -
                   rungs.begin();
        };
        QImage shown = glowAt(0ms);
        auto shownLevel = levelAt();
        for (std::chrono::milliseconds at = 20ms; at <= RiskBadge::pulseHalfCycle; at += 20ms) {
            const QImage now = glowAt(at);
            // Never further from the last wake's picture than a visible step, and eight-bit
            // rounding either side of it.
            ASSERT_LE(maxChannelDifference(shown, now), 4) << at.count() << " ms";
            if (levelAt() != shownLevel) {
                // A wake shows a change someone can see.
                EXPECT_GE(maxChannelDifference(shown, now), 2) << at.count() << " ms";
                shown = now;
                shownLevel = levelAt();
            }
        }
        // The faint glow of a low risk wakes five times on its way up; a brighter one more.
        EXPECT_EQ(shownLevel, static_cast<long>(rungs.size()));
        EXPECT_LE(rungs.size(), level == RiskLevel::low ? 5U : 14U);
    }
}

TEST(RiskBadge, PulseAndBreathFramesRedrawLittleAndShowWhatAFullRepaintWould) {
    AccessibilityPreferences motion;
    HandClock clock;
    QWidget page;
    makePale(page, QSize(320, 220));
    auto* card = new StatCard(CardDepth::standard, motion, &page);
    card->breath().setClock(clock);
    auto* slot = new QWidget(card);
    card->addContent(slot);
    // Lettering inside the card, within the glow's reach.
    auto* line = new QLabel(u"Your chair is plotting against you."_s, card);
    card->addContent(line);
    card->setGeometry(20, 20, 280, 180);
    auto* badge = new RiskBadge(RiskLevel::high, motion, &page);
    badge->setClock(clock);
    badge->floatOver(slot);
    // Lettering below the card, in its shadow's soft reach.
    auto* below = new QLabel(u"Building up."_s, &page);
    below->setGeometry(20, 204, 280, 12);
    int pagePaints = 0;
    EventCounter counter(QEvent::Paint, pagePaints);
    page.installEventFilter(&counter);
    int belowPaints = 0;
    EventCounter belowCounter(QEvent::Paint, belowPaints);
    below->installEventFilter(&belowCounter);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    ASSERT_TRUE(waitUntil([&] { return badge->isPulsing(); }));
    ASSERT_TRUE(badge->geometry().contains(line->geometry().translated(card->pos()).topLeft() +
                                           QPoint(line->width() / 2, 0)));

    // What the screen shows against the whole window drawn afresh.
    const auto shownAgainstFresh = [&] {
        const qreal ratio = page.devicePixelRatioF();
        const QRect area = QRectF(QPointF(0, 0), QSizeF(page.size()) * ratio).toAlignedRect();
        // The window's own picture, as last sent to the screen.
        QPaintDevice* store = page.backingStore()->paintDevice();
        EXPECT_EQ(store->devType(), QInternal::Image);
        const QImage shown = static_cast<QImage*>(store)->copy(area);
        const QImage fresh = page.grab().toImage().copy(area);
        return maxChannelDifference(shown.convertToFormat(QImage::Format_RGB32),
                                    fresh.convertToFormat(QImage::Format_RGB32));
    };
    int frames = 0;
    int quietFrames = 0;
    int pagePaintsInQuietFrames = 0;
    bool lineChanged = false;
    int belowPaintsInFrames = 0;
    const double firstScale = card->breath().scale();
    // Four seconds of pulse: the card breathes a step or two meanwhile, and its lettering
    // changes.
    while (clock.at < 4s) {
        ASSERT_TRUE(badge->nextWake().has_value());
        const double cardScale = card->breath().scale();
        clock.at = *badge->nextWake();
        const std::chrono::milliseconds due = clock.at;
        const int pagePaintsBefore = pagePaints;
        const int belowPaintsBefore = belowPaints;
        ASSERT_TRUE(waitUntil([&] { return badge->nextWake() != due; }));
        QCoreApplication::processEvents();
        belowPaintsInFrames += lineChanged ? 0 : belowPaints - belowPaintsBefore;
        // Nothing under the badge changed since its last frame: the page is left alone.
        if (frames > 0 && !lineChanged && card->breath().scale() == cardScale) {
            ++quietFrames;
            pagePaintsInQuietFrames += pagePaints - pagePaintsBefore;
        }
        lineChanged = false;
        ++frames;
        ASSERT_LE(shownAgainstFresh(), 1) << clock.at.count() << " ms";
        if (frames == 8) {
            line->setText(u"Move before it wins."_s);
            QCoreApplication::processEvents();
            lineChanged = true;
        }
    }
    EXPECT_GE(quietFrames, 8);
    EXPECT_EQ(pagePaintsInQuietFrames, 0);
    // The card's breath redraws the card, not the faint reach of its shadow.
    EXPECT_NE(card->breath().scale(), firstScale);
    EXPECT_EQ(belowPaintsInFrames, 0);
}
