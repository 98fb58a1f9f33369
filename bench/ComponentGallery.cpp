#include "ComponentGallery.h"

#include <QLabel>
#include <QVBoxLayout>

#include "Components/AmbientBackground.h"
#include "Components/GlassTheme.h"
#include "Components/ProgressBar.h"
#include "Components/RiskBadge.h"
#include "Components/StatCard.h"
#include "Components/StatLabel.h"
#include "Components/StudyLink.h"
#include "Components/TimeRingChart.h"

using namespace Qt::StringLiterals;

std::unique_ptr<QWidget> makeComponentGallery(AccessibilityPreferences& motion) {
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(380, 580);
    auto* backdrop = new AmbientBackground(RiskLevel::medium, window.get());
    backdrop->setGeometry(0, 0, 380, 580);
    auto* column = new QVBoxLayout(window.get());
    column->setContentsMargins(30, 24, 30, 24);
    column->setSpacing(16);

    auto* title = new QLabel(u"Spindrel"_s);
    title->setFont(GlassTheme::font(title->font(), 18, QFont::DemiBold));
    column->addWidget(title, 0, Qt::AlignHCenter);

    auto* activity = new StatCard(CardDepth::prominent, motion);
    activity->addContent(new StatLabel(u"Today's Activity"_s));
    auto* ring = new TimeRingChart;
    ring->setMinutes(200, 35);
    activity->addContent(ring);
    column->addWidget(activity);

    auto* risk = new StatCard(CardDepth::standard, motion);
    risk->addContent(new StatLabel(u"Sitting Risk Level"_s));
    risk->addContent(new RiskBadge(RiskLevel::medium, motion));
    auto* riskBar = new ProgressBar;
    riskBar->setColor(GlassTheme::fromSrgb({1.0, 0.79, 0.28}));
    riskBar->setProgress(0.55, false);
    risk->addContent(riskBar, {});
    StudyLink::attach(risk, u"10.1007/s10654-018-0380-1"_s,
                      u"Brisketh et al., 2018 — Sitting time & mortality risk"_s, nullptr);
    column->addWidget(risk);

    auto* exercise = new StatCard(CardDepth::recessed, motion);
    exercise->addContent(new StatLabel(u"Exercise Offset"_s));
    auto* exerciseBar = new ProgressBar;
    exerciseBar->setColor(GlassTheme::standardOrange());
    exerciseBar->setProgress(1.0 / 3.0, false);
    exercise->addContent(exerciseBar, {});
    column->addWidget(exercise);
    column->addStretch(1);
    return window;
}
