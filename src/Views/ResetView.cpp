#include "Views/ResetView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Components/BreathingEffect.h"
#include "Components/FigureLabel.h"
#include "Components/GlassTheme.h"
#include "Data/CompletionMessages.h"
#include "Data/ScienceNudges.h"
#include "Models/SittingTracker.h"
#include "Platform/RandomSource.h"
#include "Views/BackHeader.h"
#include "Views/Fade.h"
#include "Views/FilledButton.h"
#include "Views/LinkButton.h"
#include "Views/PageContext.h"
#include "Views/PillButton.h"
#include "Views/TextStyle.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

FilledButtonStyle prominent(const QColor& tint) {
    return {tint, {13, QFont::DemiBold, Qt::white}, 8, 22, 7, false};
}

template <typename T>
const T& drawFrom(std::span<const T> items, RandomSource& random) {
    return items[random.uniformIndex(items.size())];
}

}  // namespace

ResetView::ResetView(SittingTracker& tracker, PageContext& context, QWidget* parent)
    : QWidget(parent), tracker_(tracker), context_(context), runner_(context.random, this) {
    stack_ = new QVBoxLayout(this);
    stack_->setContentsMargins(20, 0, 20, 16);
    stack_->setSpacing(14);

    back_ = addBackHeader(*stack_, this);

    QLabel* title = PageText::label(
        u"Quick Reset"_s, {.pointSize = 18, .color = GlassTheme::primaryText(), .rounded = true},
        this);
    stack_->addWidget(title, 0, Qt::AlignHCenter);
    stack_->addWidget(PageText::paragraph(u"Time to remind your body you're not furniture."_s,
                                          {13, QFont::Normal, GlassTheme::secondaryText()}, this));

    auto* pills = new QHBoxLayout;
    pills->setSpacing(6);
    pills->addStretch();
    const auto addPill = [&](std::optional<RoutineCategory> category, const QString& label) {
        auto* pill = new PillButton(label, this);
        pills->addWidget(pill);
        pills_.emplace_back(category, pill);
        connect(pill, &QAbstractButton::clicked, this,
                [this, category] { runner_.selectCategory(category); });
    };
    addPill(std::nullopt, u"Surprise Me"_s);
    for (const RoutineCategory category : RoutineCategories::allCases) {
        addPill(category, RoutineCategories::rawValue(category));
    }
    pills->addStretch();
    stack_->addLayout(pills);

    routinePanel_ = new QWidget(this);
    auto* panel = new QVBoxLayout(routinePanel_);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(10);
    category_ = PageText::label({}, {10, QFont::Medium, GlassTheme::secondaryText(), false, 1.0},
                                routinePanel_);
    panel->addWidget(category_, 0, Qt::AlignHCenter);
    name_ = PageText::label({}, {14, QFont::DemiBold, GlassTheme::accent()}, routinePanel_);
    panel->addWidget(name_, 0, Qt::AlignHCenter);
    step_ = PageText::paragraph(
        {}, {.pointSize = 20, .color = GlassTheme::primaryText(), .rounded = true}, routinePanel_);
    step_->setAlignment(Qt::AlignCenter);
    step_->setMinimumHeight(56);
    panel->addWidget(step_);
    tip_ = PageText::paragraph({}, {11, QFont::Normal, GlassTheme::tertiaryText(), true},
                               routinePanel_);
    tip_->setContentsMargins(8, 0, 8, 0);
    PageText::limitLines(*tip_, 2);
    panel->addWidget(tip_);
    countdown_ = new FigureLabel(GlassTheme::roundedFont(48), GlassTheme::accent(), routinePanel_);
    new BreathingEffect(countdown_, 0.01, std::chrono::seconds{4}, context_.motion);
    panel->addWidget(countdown_, 0, Qt::AlignHCenter);
    start_ = new FilledButton(u"Start"_s, prominent(GlassTheme::accent()), routinePanel_);
    panel->addWidget(start_, 0, Qt::AlignHCenter);
    skip_ =
        new LinkButton(u"Skip"_s, {12, QFont::Normal, GlassTheme::tertiaryText()}, routinePanel_);
    panel->addSpacing(4);
    panel->addWidget(skip_, 0, Qt::AlignHCenter);
    stack_->addWidget(routinePanel_);
    stack_->addStretch(1);

    connect(back_, &QAbstractButton::clicked, this, [this] {
        runner_.abandon();
        tracker_.setCurrentPage(AppPage::dashboard);
    });
    connect(start_, &QAbstractButton::clicked, &runner_, &RoutineRunner::startTimer);
    connect(skip_, &QAbstractButton::clicked, &runner_, &RoutineRunner::skip);
    connect(&runner_, &RoutineRunner::changed, this, &ResetView::redraw);
    runner_.pickRoutine();
}

void ResetView::redraw() {
    for (const auto& [category, pill] : pills_) {
        pill->setSelected(category == runner_.selectedCategory());
    }
    if (runner_.showComplete()) {
        // Keyboard focus would otherwise be lost with the hidden panel's buttons.
        const bool hadFocus = routinePanel_->isAncestorOf(focusWidget());
        routinePanel_->hide();
        if (!completePanel_) {
            buildCompletion();
        }
        if (hadFocus) {
            done_->setFocus(Qt::TabFocusReason);
        }
        return;
    }
    if (completePanel_) {
        completePanel_->deleteLater();
        completePanel_ = nullptr;
        cheer_ = fact_ = nullptr;
        done_ = nullptr;
    }
    routinePanel_->show();
    if (const std::optional<Routine>& routine = runner_.routine()) {
        category_->setText(RoutineCategories::emoji(routine->category) + u" "_s +
                           RoutineCategories::rawValue(routine->category).toUpper() + u" BREAK"_s);
        name_->setText(routine->name);
        tip_->setText(routine->tip);
    }
    if (runner_.currentStep() != step_->text()) {
        step_->setText(runner_.currentStep());
        fadeIn(*step_, 200ms, context_.motion);
    }
    countdown_->setText(runner_.timerText());
    countdown_->setColor(runner_.inFinalCountdown() ? GlassTheme::standardOrange()
                                                    : GlassTheme::accent());
    const bool choosing = !runner_.timerRunning();
    if (!choosing && start_->hasFocus()) {
        back_->setFocus(Qt::TabFocusReason);
    }
    start_->setVisible(choosing);
    skip_->setVisible(choosing);
}

void ResetView::buildCompletion() {
    completePanel_ = new QWidget(this);
    auto* panel = new QVBoxLayout(completePanel_);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(14);
    panel->addStretch(1);
    QLabel* cheered = PageText::label(
        u"You did the thing. \U0001F389"_s,
        {.pointSize = 18, .color = GlassTheme::success(), .rounded = true}, completePanel_);
    panel->addWidget(cheered, 0, Qt::AlignHCenter);
    cheer_ = PageText::paragraph(drawFrom(CompletionMessages::all(), context_.random),
                                 {14, QFont::Normal, GlassTheme::secondaryText()}, completePanel_);
    panel->addWidget(cheer_);
    fact_ =
        PageText::paragraph(drawFrom(ScienceNudges::nudges(), context_.random),
                            {11, QFont::Normal, GlassTheme::tertiaryText(), true}, completePanel_);
    fact_->setContentsMargins(16, 0, 16, 0);
    panel->addWidget(fact_);
    done_ = new FilledButton(u"Done"_s, prominent(GlassTheme::success()), completePanel_);
    panel->addWidget(done_, 0, Qt::AlignHCenter);
    panel->addStretch(1);
    // Two of the page's three flexible spaces are the panel's own.
    stack_->insertWidget(stack_->indexOf(routinePanel_) + 1, completePanel_, 2);
    connect(done_, &QAbstractButton::clicked, this, &ResetView::finish);
    completePanel_->show();
}

void ResetView::finish() {
    tracker_.resetSessionAfterBreak();
    tracker_.setCurrentPage(AppPage::dashboard);
}

bool ResetView::showsCompletion() const {
    return completePanel_ && !completePanel_->isHidden() && routinePanel_->isHidden();
}

QString ResetView::stepText() const {
    return step_->text();
}

QString ResetView::countdownText() const {
    return countdown_->text();
}

QColor ResetView::countdownColor() const {
    return countdown_->color();
}

QString ResetView::categoryLine() const {
    return category_->text();
}

QString ResetView::routineName() const {
    return name_->text();
}

QString ResetView::cheerText() const {
    return cheer_ ? cheer_->text() : QString();
}

QString ResetView::factText() const {
    return fact_ ? fact_->text() : QString();
}

PillButton* ResetView::pill(std::optional<RoutineCategory> category) const {
    for (const auto& [which, pill] : pills_) {
        if (which == category) {
            return pill;
        }
    }
    return nullptr;
}
