#include "Views/ContentView.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>

#include "Support/PostureBodies.h"
#include "Support/TrackerDesk.h"

using namespace Qt::StringLiterals;

namespace {

// Pages that say which they are, and count how often one was built.
struct Router {
    TrackerDesk desk{QDateTime(QDate(2026, 3, 10), QTime(9, 0))};
    int built = 0;
    bool reduceMotion = false;
    std::unique_ptr<ContentView> view;

    Router() {
        desk.launch();
        view = std::make_unique<ContentView>(
            *desk.tracker,
            [this](AppPage page, SittingTracker&) {
                ++built;
                return std::make_unique<QLabel>(AppPages::name(page));
            },
            nullptr, [this] { return reduceMotion; });
        view->resize(380, 580);
        view->show();
    }
    QString shown() const { return static_cast<QLabel*>(view->page())->text(); }
};

}  // namespace

TEST(ContentView, ShowsThePageTheTrackerNamesCentredAt360By560) {
    Router router;
    EXPECT_EQ(router.shown(), u"dashboard"_s);
    EXPECT_EQ(router.view->page()->geometry(), QRect(10, 10, 360, 560));
    for (const AppPage page :
         {AppPage::reset, AppPage::settings, AppPage::calibration, AppPage::dashboard}) {
        router.desk.tracker->setCurrentPage(page);
        EXPECT_EQ(router.shown(), AppPages::name(page));
    }
    EXPECT_EQ(router.built, 5);
    router.desk.tracker->setCurrentPage(AppPage::dashboard);  // the same page: nothing new
    EXPECT_EQ(router.built, 5);
}

TEST(ContentView, CrossFadesInAQuarterSecondUnlessMotionIsReduced) {
    Router router;
    QElapsedTimer fading;
    fading.start();
    router.desk.tracker->setCurrentPage(AppPage::settings);
    EXPECT_TRUE(router.view->isCrossFading());
    ASSERT_TRUE(waitUntil([&] { return !router.view->isCrossFading(); }));
    EXPECT_GE(fading.elapsed(), 240);
    EXPECT_LT(fading.elapsed(), 400);

    router.reduceMotion = true;
    router.desk.tracker->setCurrentPage(AppPage::dashboard);
    EXPECT_FALSE(router.view->isCrossFading());
    EXPECT_EQ(router.shown(), u"dashboard"_s);
}
