#include "Views/DashboardView.h"

#include <QLabel>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "Components/BreathingEffect.h"
#include "Components/GlassTheme.h"
#include "Components/ProgressBar.h"
#include "Components/RiskBadge.h"
#include "Components/StatCard.h"
#include "Components/StatLabel.h"
#include "Components/StudyLink.h"
#include "Components/TimeRingChart.h"
#include "Components/VisibleSteps.h"
#include "Models/DayCoaching.h"
#include "Models/SittingTracker.h"
#include "Views/ExerciseOffsetCard.h"
#include "Views/Fade.h"
#include "Views/GlassButton.h"
#include "Views/LinkButton.h"
#include "Views/Observe.h"
#include "Views/PageContext.h"
#include "Views/PostureIndicatorCard.h"
#include "Views/TextStyle.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

QColor riskBarColor(RiskLevel level) {
    switch (level) {
        case RiskLevel::low:
            return QColor::fromRgbF(0.42F, 0.80F, 0.47F);
        case RiskLevel::medium:
            return QColor::fromRgbF(1.0F, 0.79F, 0.28F);
        case RiskLevel::high:
            return QColor::fromRgbF(1.0F, 0.42F, 0.42F);
    }
    return {};
}

GlassButtonStyle resetButtonStyle() {
    GlassButtonStyle style;
    style.text = {14, QFont::DemiBold, Qt::white};
    style.fillTop = QColor::fromRgbF(0.22F, 0.40F, 0.30F, 0.55F);
    style.fillBottom = QColor::fromRgbF(0.14F, 0.28F, 0.20F, 0.7F);
    style.rimStops = {{0.0, 0.35}, {0.3, 0.1}, {0.6, 0.0}};
    style.cornerRadius = 12;
    style.paddingY = 12;
    style.shadowRadius = 12;
    style.shadowDrop = 5;
    style.pressedScale = 0.96;
    style.hoverScale = 1.01;
    style.fullWidth = true;
    return style;
}

// The column scrolls under a thin, quiet bar that floats over its right edge, so that the
// column stays centred whether or not it scrolls.
constexpr auto kScrollBarStyle =
    u"QScrollBar:vertical { background: transparent; width: 6px; margin: 2px 0; }"
    u"QScrollBar::handle:vertical { background: rgba(0, 0, 0, 50); border-radius: 3px;"
    u" min-height: 24px; }"
    u"QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    u"QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";
constexpr int kScrollBarWidth = 6;

// The bar floats over the breathing cards, so each breath repaints the strip of it over the
// card. The bar is kept as a picture until it moves or changes state, and drawn in bands, so
// that strip is a copy that stays on this thread rather than wake Qt's blending pool.
class FloatingScrollBar final : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void paintEvent(QPaintEvent* event) override {
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SC_All;
        QPainter painter(this);
        // The device's own ratio: a picture of the page may be taken finer than the screen's.
        const QPaintDevice* target =
            painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
        const qreal ratio = target ? target->devicePixelRatioF() : devicePixelRatioF();
        const Look look{option.sliderPosition,
                        option.minimum,
                        option.maximum,
                        option.pageStep,
                        size(),
                        ratio,
                        option.state.toInt(),
                        option.activeSubControls.toInt()};
        if (picture_.isNull() || !(look == look_)) {
            picture_ = QPixmap((QSizeF(size()) * ratio).toSize());
            picture_.setDevicePixelRatio(ratio);
            picture_.fill(Qt::transparent);
            QPainter bar(&picture_);
            style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &bar, this);
            look_ = look;
        }
        VisibleSteps::paintInBands(painter, event->region(),
                                   [&] { painter.drawPixmap(0, 0, picture_); });
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::StyleChange) {
            picture_ = QPixmap();
        }
        QScrollBar::changeEvent(event);
    }

private:
    // What the kept picture shows.
    struct Look {
        int position;
        int minimum;
        int maximum;
        int pageStep;
        QSize size;
        qreal ratio;
        unsigned state;
        unsigned activeControls;
        bool operator==(const Look&) const = default;
    };

    QPixmap picture_;
    Look look_{};
};

}  // namespace

DashboardView::DashboardView(SittingTracker& tracker, PageContext& context, QWidget* parent)
    : QWidget(parent), tracker_(tracker), context_(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Tab goes from control to control and the area scrolls to each; the area itself is no stop.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setStyleSheet(u"QScrollArea { background: transparent; }"_s);
    scroll_->viewport()->setAutoFillBackground(false);
    page->addWidget(scroll_);
    // The area's own bar keeps the range and the position; this one only shows and moves them.
    QScrollBar* range = scroll_->verticalScrollBar();
    overlayBar_ = new FloatingScrollBar(Qt::Vertical, this);
    overlayBar_->setStyleSheet(QString::fromUtf16(kScrollBarStyle));
    overlayBar_->setFocusPolicy(Qt::NoFocus);
    overlayBar_->hide();
    connect(range, &QScrollBar::rangeChanged, this, [this](int minimum, int maximum) {
        overlayBar_->setRange(minimum, maximum);
        overlayBar_->setPageStep(scroll_->verticalScrollBar()->pageStep());
        overlayBar_->setVisible(maximum > minimum);
        placeOverlayBar();
    });
    connect(range, &QScrollBar::valueChanged, overlayBar_, &QScrollBar::setValue);
    connect(overlayBar_, &QScrollBar::valueChanged, range, &QScrollBar::setValue);
    // Where the column is taller than the page, the reset button and the settings link stay in
    // full view under it rather than be cut by the page's edge.
    footer_ = new QVBoxLayout;
    footer_->setContentsMargins(20, 0, 20, 0);
    page->addLayout(footer_);

    column_ = new QWidget;
    stack_ = new QVBoxLayout(column_);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    QLabel* title = PageText::label(
        u"Spindrel"_s, {.pointSize = 18, .color = GlassTheme::primaryText(), .rounded = true},
        column_);
    title->setAlignment(Qt::AlignHCenter);
    header->addWidget(title);
    coach_ = PageText::paragraph({}, {12, QFont::Medium, GlassTheme::accent(), true}, column_);
    PageText::limitLines(*coach_, 2);
    header->addWidget(coach_);
    stack_->addLayout(header);

    auto* activity = new StatCard(CardDepth::prominent, context_.motion, column_);
    activity->addContent(new StatLabel(u"Today's Activity"_s, activity));
    ring_ = new TimeRingChart(activity);
    activity->addContent(ring_);
    idleNotice_ = PageText::paragraph(DayCoaching::idleTimeUnavailable(),
                                      {11, QFont::Normal, GlassTheme::secondaryText()}, activity);
    activity->addContent(idleNotice_, {});
    stack_->addWidget(activity);

    aboveRisk_ = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    stack_->addItem(aboveRisk_);
    riskCard_ = new StatCard(CardDepth::standard, context_.motion, column_);
    riskCard_->addContent(new StatLabel(u"Sitting Risk Level"_s, riskCard_));
    // The badge pulses over its card rather than inside it, so that its pulse does not
    // redraw the whole card; a slot in the card keeps its room.
    auto* badgeSlot = new QWidget(riskCard_);
    riskCard_->addContent(badgeSlot);
    badge_ = new RiskBadge(tracker_.riskLevel(), context_.motion, column_);
    badge_->floatOver(badgeSlot);
    riskLine_ =
        PageText::paragraph({}, {11, QFont::Normal, GlassTheme::secondaryText()}, riskCard_);
    PageText::limitLines(*riskLine_, 2);
    riskCard_->addContent(riskLine_, {});
    riskBar_ = new ProgressBar(riskCard_);
    riskBar_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    riskCard_->addSpacing(4);
    riskCard_->addContent(riskBar_, {});
    StudyLink::attach(riskCard_, u"10.1007/s10654-018-0380-1"_s,
                      u"Brisketh et al., 2018 \u2014 Sitting time & mortality risk"_s,
                      context_.openUrl, &context_.motion);
    stack_->addWidget(riskCard_);
    belowRisk_ = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    stack_->addItem(belowRisk_);

    exerciseCard_ = new ExerciseOffsetCard(tracker_, context_, column_);
    stack_->addWidget(exerciseCard_);

    aboveReset_ = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    stack_->addItem(aboveReset_);
    reset_ =
        new GlassButton(u"Take a Reset \U0001F9D8"_s, resetButtonStyle(), context_.motion, column_);
    stack_->addWidget(reset_);
    settings_ =
        new LinkButton(u"Settings"_s, {12, QFont::Normal, GlassTheme::tertiaryText()}, column_);
    settings_->setHoverColor(GlassTheme::accent());
    stack_->addWidget(settings_, 0, Qt::AlignHCenter);
    stack_->addStretch(1);
    scroll_->setWidget(column_);
    // The scroll area fills its widget's background; the page lets the backdrop through.
    column_->setAutoFillBackground(false);

    connect(reset_, &QAbstractButton::clicked, this, &DashboardView::takeReset);
    connect(settings_, &QAbstractButton::clicked, this,
            [this] { tracker_.setCurrentPage(AppPage::settings); });
    Observe::tracker(tracker_, this, [this] { redraw(); });
    redraw();
}

void DashboardView::takeReset() {
    reset_->setPressedLook(true);
    QTimer::singleShot(resetPressHold, this, [this] {
        reset_->setPressedLook(false);
        tracker_.setCurrentPage(AppPage::reset);
    });
}

void DashboardView::placeOptionalCards() {
    // An optional card fades in from 95 % of its size and leaves as it came, while the page is
    // on screen.
    const bool posture = tracker_.postureTrackingEnabled();
    if (posture && (!postureCard_ || postureLeaving_)) {
        if (!postureCard_) {
            postureCard_ = new PostureIndicatorCard(tracker_, context_, column_);
            stack_->insertWidget(stack_->indexOf(exerciseCard_), postureCard_);
        }
        postureLeaving_ = false;
        postureCard_->enter();
    } else if (!posture && postureCard_ && !postureLeaving_) {
        postureLeaving_ = true;
        QPointer<PostureIndicatorCard> card = postureCard_;
        postureCard_->breath().leave([card] {
            if (card) {
                card->deleteLater();
            }
        });
    }
    const bool exercise = tracker_.showExerciseOffset();
    if (exercise && (exerciseCard_->isHidden() || exerciseLeaving_)) {
        exerciseLeaving_ = false;
        exerciseCard_->enter();
    } else if (!exercise && !exerciseCard_->isHidden() && !exerciseLeaving_) {
        exerciseLeaving_ = true;
        exerciseCard_->breath().leave([this] {
            exerciseCard_->hide();
            exerciseLeaving_ = false;
        });
    }

    // The fewer cards, the more air between them.
    const int optional = (posture ? 1 : 0) + (tracker_.showExerciseOffset() ? 1 : 0);
    stack_->setSpacing(optional == 0 ? 20 : optional == 1 ? 16 : 12);
    stack_->setContentsMargins(20, optional == 0 ? 10 : 2, 20, 10);
    const int riskAir = optional == 0 ? 4 : 0;
    aboveRisk_->changeSize(0, riskAir, QSizePolicy::Minimum, QSizePolicy::Fixed);
    belowRisk_->changeSize(0, riskAir, QSizePolicy::Minimum, QSizePolicy::Fixed);
    aboveReset_->changeSize(0, optional == 0 ? 8 : 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    stack_->invalidate();
    placeActions();
}

void DashboardView::placeActions() {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const int spacing = stack_->spacing();
    const int actions = reset_->sizeHint().height() + settings_->sizeHint().height() + 2 * spacing;
    int column = stack_->hasHeightForWidth() ? stack_->totalHeightForWidth(width())
                                             : stack_->totalSizeHint().height();
    if (actionsPinned_) {
        column += actions;
    }
    const bool pin = column > height();
    if (pin == actionsPinned_) {
        footer_->setContentsMargins(20, pin ? spacing : 0, 20, pin ? 10 : 0);
        return;
    }
    actionsPinned_ = pin;
    QBoxLayout* to = pin ? footer_ : stack_;
    // In the column they stand before its closing stretch.
    const int at = pin ? 0 : stack_->count() - 1;
    to->insertWidget(at, reset_);
    to->insertWidget(at + 1, settings_, 0, Qt::AlignHCenter);
    footer_->setSpacing(spacing);
    footer_->setContentsMargins(20, pin ? spacing : 0, 20, pin ? 10 : 0);
}

void DashboardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeOverlayBar();
    placeActions();
}

void DashboardView::placeOverlayBar() {
    overlayBar_->setGeometry(width() - kScrollBarWidth - 2, scroll_->y(), kScrollBarWidth,
                             scroll_->height());
    overlayBar_->raise();
}

void DashboardView::redraw() {
    placeOptionalCards();
    const RiskLevel risk = tracker_.riskLevel();
    const QString coach =
        DayCoaching::coachLine(tracker_.totalSittingMinutes(), tracker_.breakMinutes(), risk);
    if (coach != coach_->text()) {
        coach_->setText(coach);
        fadeIn(*coach_, 500ms, context_.motion);
    }
    ring_->setMinutes(tracker_.totalSittingMinutes(), tracker_.breakMinutes());
    // Without idle time every minute is counted as sitting; the ring must not pass for measured.
    idleNotice_->setVisible(!tracker_.idleTimeAvailable());
    badge_->setRiskLevel(risk);
    if (DayCoaching::riskLine(risk) != riskLine_->text()) {
        riskLine_->setText(DayCoaching::riskLine(risk));
        fadeIn(*riskLine_, 500ms, context_.motion);
    }
    riskBar_->setProgress(DayCoaching::riskBarProgress(risk), isVisible());
    riskBar_->setColor(riskBarColor(risk));
}

QString DashboardView::coachLine() const {
    return coach_->text();
}

QString DashboardView::riskLine() const {
    return riskLine_->text();
}

PostureIndicatorCard* DashboardView::postureCard() const {
    return postureLeaving_ ? nullptr : postureCard_.data();
}

ExerciseOffsetCard* DashboardView::exerciseCard() const {
    return exerciseCard_->isHidden() || exerciseLeaving_ ? nullptr : exerciseCard_;
}

int DashboardView::columnSpacing() const {
    return stack_->spacing();
}
