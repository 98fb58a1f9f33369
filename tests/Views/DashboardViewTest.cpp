#include "Views/DashboardView.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "Components/GlassTheme.h"
#include "Components/ProgressBar.h"
#include "Components/RiskBadge.h"
#include "Components/StudyLink.h"
#include "Components/TimeRingChart.h"
#include "Support/PageDesk.h"
#include "Views/ExerciseOffsetCard.h"
#include "Views/GlassButton.h"
#include "Views/LinkButton.h"
#include "Views/PostureIndicatorCard.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// A dashboard over a day that already holds this much sitting and break time. The tracker's
// first tick adds half a minute of sitting, which whole minutes do not show.
struct Dashboard {
    PageDesk desk;
    std::unique_ptr<DashboardView> view;

    explicit Dashboard(double sitting = 0, double breaks = 0, bool exercise = false,
                       bool posture = false) {
        desk.storeToday(sitting, breaks);
        desk.settings.setBoolean(u"showExerciseOffset"_s, exercise);
        desk.settings.setBoolean(u"postureTrackingEnabled"_s, posture);
        view = desk.openOn<DashboardView>(AppPage::dashboard);
    }
    SittingTracker& tracker() { return *desk.tracker; }
};

// Whether all of `widget` is in view on the page, not cut by the page's edge or the scroll.
bool wholeInView(const DashboardView& page, QWidget* widget) {
    const QRect onPage(widget->mapTo(&page, QPoint(0, 0)), widget->size());
    if (!page.rect().contains(onPage)) {
        return false;
    }
    QScrollArea* scroll = page.scrollArea();
    if (!scroll->isAncestorOf(widget)) {
        return !onPage.intersects(scroll->geometry());
    }
    return scroll->viewport()->rect().contains(
        QRect(widget->mapTo(scroll->viewport(), QPoint(0, 0)), widget->size()));
}

}  // namespace

TEST(DashboardView, CoachLineAndRingFollowTheTrackerAndANewLineFadesInUnlessMotionIsReduced) {
    Dashboard dashboard(29);
    dashboard.desk.motion.setReduceMotion(false);
    EXPECT_EQ(dashboard.view->coachLine(), u"Fresh start. Let's keep this clean."_s);
    EXPECT_EQ(dashboard.view->ringChart()->sittingMinutes(), 29);
    QLabel* line = nullptr;
    for (QLabel* label : dashboard.view->findChildren<QLabel*>()) {
        line = label->text() == dashboard.view->coachLine() ? label : line;
    }
    ASSERT_NE(line, nullptr);
    dashboard.desk.tick();  // 30 minutes now
    EXPECT_EQ(dashboard.view->ringChart()->sittingMinutes(), 30);
    EXPECT_EQ(dashboard.view->coachLine(), u"You've been steady today. Let's keep it that way."_s);
    ASSERT_NE(line->graphicsEffect(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return line->graphicsEffect() == nullptr; }));

    dashboard.desk.motion.setReduceMotion(true);
    dashboard.desk.tick(180);  // 120 minutes: the cruising line
    EXPECT_EQ(dashboard.view->coachLine(), u"Cruising. Your spine is still rooting for you."_s);
    EXPECT_EQ(line->text(), dashboard.view->coachLine());
    EXPECT_EQ(line->graphicsEffect(), nullptr);
    // The day's break minutes reach the rules too.
    EXPECT_EQ(Dashboard(40, 7).view->coachLine(),
              u"Solid break game today. Your body appreciates it."_s);
}

TEST(DashboardView, SaysUnderTheRingWhileTheDesktopGivesNoIdleTime) {
    Dashboard dashboard(95, 8);
    QLabel* notice = dashboard.view->idleTimeNotice();
    EXPECT_FALSE(notice->isVisible());

    // The idle source falls silent; after ten minutes it is given up.
    dashboard.desk.idle.idle.reset();
    dashboard.desk.tick(20);
    ASSERT_FALSE(dashboard.tracker().idleTimeAvailable());
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(),
              u"Can't see keyboard and mouse idle time on this desktop \u2014 "
              u"every minute counts as sitting."_s);
    // Wrapped within the column, every line shown, and the reset button still in view.
    const QRect inView(notice->mapTo(dashboard.view.get(), QPoint(0, 0)), notice->size());
    EXPECT_TRUE(dashboard.view->rect().contains(inView));
    EXPECT_GE(notice->height(), notice->heightForWidth(notice->width()));
    EXPECT_TRUE(wholeInView(*dashboard.view, dashboard.view->resetButton()));

    dashboard.desk.idle.idle = 3s;
    dashboard.desk.tick();
    EXPECT_FALSE(notice->isVisible());
}

TEST(DashboardView, RiskCardShowsTheLevelsLineAndBar) {
    struct Case {
        double sitting;
        RiskLevel level;
        QString line;
        double bar;
        QColor color;
    };
    const std::vector<Case> cases{
        {100, RiskLevel::low, u"Your spine is still on speaking terms with you."_s, 0.25,
         QColor::fromRgbF(0.42F, 0.80F, 0.47F)},
        {400, RiskLevel::medium, u"Your chair is plotting against you. Move before it wins."_s,
         0.55, QColor::fromRgbF(1.0F, 0.79F, 0.28F)},
        {500, RiskLevel::high, u"Your body filed a grievance. Time to negotiate."_s, 0.90,
         QColor::fromRgbF(1.0F, 0.42F, 0.42F)},
    };
    for (const Case& day : cases) {
        Dashboard dashboard(day.sitting);
        EXPECT_EQ(dashboard.view->riskBadge()->riskLevel(), day.level);
        EXPECT_EQ(dashboard.view->riskLine(), day.line);
        EXPECT_DOUBLE_EQ(dashboard.view->riskBar()->progress(), day.bar);
        ProgressBar* bar = dashboard.view->riskBar();
        const int filledEnd = static_cast<int>(ProgressBar::fillWidth(bar->width(), day.bar));
        QImage picture(bar->size(), QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        bar->render(&picture, {}, {}, QWidget::DrawChildren);
        const QColor shown = picture.pixelColor(filledEnd - 4, bar->height() / 2);
        EXPECT_NEAR(shown.redF(), day.color.redF(), 0.03);
        EXPECT_NEAR(shown.greenF(), day.color.greenF(), 0.03);
        EXPECT_NEAR(shown.blueF(), day.color.blueF(), 0.03);
    }
}

TEST(DashboardView, LogExerciseAddsThePickedAmountAndItSurvivesARestart) {
    Dashboard dashboard(0, 0, true);
    ExerciseOffsetCard* card = dashboard.view->exerciseCard();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->picker()->currentText(), u"15 min"_s);
    EXPECT_EQ(card->picker()->count(), 7);
    // Under six hours nothing is owed.
    EXPECT_EQ(card->neededText(), u"0m"_s);
    EXPECT_TRUE(card->bar()->isHidden());
    EXPECT_EQ(card->statusText(), u"You're ahead of the chair. Stay that way."_s);
    EXPECT_EQ(card->statusColor(), GlassTheme::success());

    // 15 → 20 → 30 with the arrow keys, then the button with the mouse.
    card->picker()->setFocus();
    QTest::keyClick(card->picker(), Qt::Key_Down);
    QTest::keyClick(card->picker(), Qt::Key_Down);
    EXPECT_EQ(card->picker()->currentText(), u"30 min"_s);
    QTest::mouseClick(card->logButton(), Qt::LeftButton);
    EXPECT_EQ(dashboard.tracker().exerciseMinutes(), 30);
    EXPECT_EQ(card->loggedText(), u"30m"_s);
    EXPECT_EQ(card->picker()->currentText(), u"30 min"_s);  // kept for the next log
    EXPECT_TRUE(card->logButton()->hasPressedLook());
    EXPECT_TRUE(waitUntil([&] { return !card->logButton()->hasPressedLook(); }));

    QTest::mouseClick(card->logButton(), Qt::LeftButton);
    EXPECT_EQ(card->loggedText(), u"60m"_s);
    EXPECT_EQ(dashboard.desk.settings.integer(u"exerciseToday"_s), 60);

    dashboard.view.reset();
    dashboard.desk.tracker.reset();
    EXPECT_EQ(dashboard.desk.launch().exerciseMinutes(), 60);
}

TEST(DashboardView, ExerciseCardMeasuresTheLoggedAgainstTheNeeded) {
    Dashboard dashboard(360, 0, true);  // six hours call for 30 minutes
    ExerciseOffsetCard* card = dashboard.view->exerciseCard();
    ASSERT_NE(card, nullptr);
    dashboard.tracker().logExercise(10);
    EXPECT_EQ(card->neededText(), u"30m"_s);
    EXPECT_FALSE(card->bar()->isHidden());
    EXPECT_NEAR(card->bar()->progress(), 1.0 / 3.0, 1e-9);
    EXPECT_EQ(card->statusText(), u"20m of movement stands between you and regret."_s);
    EXPECT_EQ(card->statusColor(), GlassTheme::secondaryText());

    card->picker()->setCurrentIndex(card->picker()->findData(20));
    QTest::mouseClick(card->logButton(), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(card->bar()->progress(), 1.0);
    EXPECT_EQ(card->statusText(), u"Your future back says thank you."_s);
    EXPECT_EQ(card->statusColor(), GlassTheme::success());
    dashboard.tracker().logExercise(15);  // more than owed: nothing negative is owed
    EXPECT_EQ(card->statusText(), u"Your future back says thank you."_s);
}

TEST(DashboardView, ResetPressesInForAnEighthOfASecondAndSettingsOpensAtOnce) {
    Dashboard dashboard;
    QElapsedTimer pressed;
    pressed.start();
    QTest::mouseClick(dashboard.view->resetButton(), Qt::LeftButton);
    EXPECT_TRUE(dashboard.view->resetButton()->hasPressedLook());
    EXPECT_EQ(dashboard.tracker().currentPage(), AppPage::dashboard);
    ASSERT_TRUE(waitUntil([&] { return dashboard.tracker().currentPage() == AppPage::reset; }));
    EXPECT_GE(pressed.elapsed(), 110);

    // Settings opens at once, also from the keyboard.
    dashboard.view->settingsButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dashboard.view->settingsButton(), Qt::Key_Space);
    EXPECT_EQ(dashboard.tracker().currentPage(), AppPage::settings);
}

TEST(DashboardView, OptionalCardsComeAndGoWithTheSettingsAndTightenTheColumn) {
    Dashboard dashboard;
    EXPECT_EQ(dashboard.view->postureCard(), nullptr);
    EXPECT_EQ(dashboard.view->exerciseCard(), nullptr);
    EXPECT_EQ(dashboard.view->columnSpacing(), 20);

    dashboard.tracker().setShowExerciseOffset(true);
    EXPECT_NE(dashboard.view->exerciseCard(), nullptr);
    EXPECT_EQ(dashboard.view->columnSpacing(), 16);

    dashboard.tracker().setPostureTrackingEnabled(true);
    ASSERT_NE(dashboard.view->postureCard(), nullptr);
    EXPECT_TRUE(dashboard.view->postureCard()->isVisible());
    EXPECT_EQ(dashboard.view->columnSpacing(), 12);

    dashboard.tracker().setPostureTrackingEnabled(false);
    dashboard.tracker().setShowExerciseOffset(false);
    EXPECT_EQ(dashboard.view->postureCard(), nullptr);
    EXPECT_EQ(dashboard.view->exerciseCard(), nullptr);
    EXPECT_EQ(dashboard.view->columnSpacing(), 20);
}

TEST(DashboardView, StudyLinksOpenTheirPapers) {
    Dashboard dashboard(0, 0, true);
    const QList<StudyLink*> links = dashboard.view->findChildren<StudyLink*>();
    ASSERT_EQ(links.size(), 2);
    for (StudyLink* link : links) {
        QTest::mouseClick(link, Qt::LeftButton);
    }
    ASSERT_EQ(dashboard.desk.opened.size(), 2U);
    EXPECT_EQ(dashboard.desk.opened[0].toString(), u"https://doi.org/10.1007/s10654-018-0380-1"_s);
    EXPECT_EQ(dashboard.desk.opened[1].toString(),
              u"https://doi.org/10.1016/S0140-6736(16)30370-1"_s);
}

TEST(DashboardView, ATallColumnScrollsUnderAFloatingBarKeepsItsActionsInViewAndFollowsTab) {
    for (const bool posture : {false, true}) {
        Dashboard dashboard(400, 20, true, posture);
        QScrollArea* scroll = dashboard.view->scrollArea();
        ASSERT_EQ(scroll->verticalScrollBar()->value(), 0);
        EXPECT_GT(scroll->widget()->height(), scroll->viewport()->height());
        // The bar floats: the column keeps the page's full width and stays centred.
        EXPECT_TRUE(dashboard.view->scrollBar()->isVisible());
        EXPECT_EQ(scroll->viewport()->width(), dashboard.view->width());
        EXPECT_TRUE(wholeInView(*dashboard.view, dashboard.view->resetButton()));
        EXPECT_TRUE(wholeInView(*dashboard.view, dashboard.view->settingsButton()));
        // Over nothing, the top-left corner stays see-through.
        QImage picture(dashboard.view->size(), QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        dashboard.view->render(&picture, {}, {}, QWidget::DrawChildren);
        EXPECT_EQ(picture.pixelColor(2, 2).alpha(), 0);
        if (!posture) {
            continue;
        }
        // Tabbing down the column scrolls to each control.
        QWidget* log = dashboard.view->exerciseCard()->logButton();
        for (int i = 0; i < 20 && QApplication::focusWidget() != log; ++i) {
            QTest::keyClick(
                QApplication::focusWidget() ? QApplication::focusWidget() : dashboard.view.get(),
                Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget(), log);
        EXPECT_GT(scroll->verticalScrollBar()->value(), 0);
        EXPECT_EQ(dashboard.view->scrollBar()->value(), scroll->verticalScrollBar()->value());
        EXPECT_TRUE(wholeInView(*dashboard.view, log));
    }
    Dashboard plain(400, 20);
    EXPECT_FALSE(plain.view->scrollBar()->isVisible());
    EXPECT_TRUE(plain.view->scrollArea()->isAncestorOf(plain.view->resetButton()));
}
