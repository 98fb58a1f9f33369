#include "Views/ContentView.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QVariantAnimation>

#include "Support/PageDesk.h"
#include "Views/Pages.h"
#include "Views/WindowBackdrop.h"

using namespace Qt::StringLiterals;

namespace {

// Pages that say which they are, and count how often one was built.
struct Router {
    TrackerDesk desk;
    AccessibilityPreferences motion;
    int built = 0;
    std::unique_ptr<ContentView> view;

    Router() {
        desk.launch();
        view = std::make_unique<ContentView>(
            *desk.tracker,
            [this](AppPage page, SittingTracker&) {
                ++built;
                return std::make_unique<QLabel>(AppPages::name(page));
            },
            nullptr, motion);
        view->resize(380, 580);
        view->show();
    }
    QString shown() const { return static_cast<QLabel*>(view->page())->text(); }
};

// The window as it opens: the real backdrop and the real pages, in a palette whose window colour
// is one no page or backdrop uses, so that any flat panel filled with it shows.
struct Window {
    PageDesk desk;
    std::unique_ptr<ContentView> view;

    Window() {
        desk.motion.setReduceMotion(false);
        desk.open();
        view = std::make_unique<ContentView>(
            *desk.tracker,
            [this](AppPage page, SittingTracker& shown) {
                return makePage(page, shown, desk.context);
            },
            [](SittingTracker&) { return std::make_unique<WindowBackdrop>(); }, desk.motion);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Window, Qt::magenta);
        view->setPalette(palette);
        view->resize(380, 580);
        view->show();
        QCoreApplication::processEvents();
    }
    // The cross-fade held at `at` into its quarter second.
    QImage frameAt(std::chrono::milliseconds at) const {
        if (auto* fade = view->findChild<QVariantAnimation*>(u"pageCrossFade"_s)) {
            fade->pause();
            fade->setCurrentTime(static_cast<int>(at.count()));
        }
        return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

int flatPanelPixels(const QImage& frame) {
    int count = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QColor pixel = frame.pixelColor(x, y);
            count += pixel.red() > 150 && pixel.blue() > 150 && pixel.green() < 120 ? 1 : 0;
        }
    }
    return count;
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                   std::abs(p.blue() - q.blue());
        }
    }
    return sum / (a.width() * a.height());
}

}  // namespace

TEST(ContentView, ShowsThePageTheTrackerNamesCrossFadingForAQuarterSecondUnlessMotionIsReduced) {
    Router router;
    EXPECT_EQ(router.shown(), u"dashboard"_s);
    EXPECT_EQ(router.view->page()->geometry(), QRect(10, 10, 360, 560));
    QElapsedTimer fading;
    fading.start();
    router.desk.tracker->setCurrentPage(AppPage::settings);
    EXPECT_TRUE(router.view->isCrossFading());
    EXPECT_EQ(router.shown(), u"settings"_s);
    ASSERT_TRUE(waitUntil([&] { return !router.view->isCrossFading(); }));
    EXPECT_GE(fading.elapsed(), 240);
    // The leaving page is dropped once the fade is over.
    EXPECT_TRUE(waitUntil([&] { return router.view->findChildren<QLabel*>().size() == 1; }));

    router.motion.setReduceMotion(true);
    for (const AppPage page :
         {AppPage::reset, AppPage::settings, AppPage::calibration, AppPage::dashboard}) {
        router.desk.tracker->setCurrentPage(page);
        EXPECT_EQ(router.shown(), AppPages::name(page));
        EXPECT_FALSE(router.view->isCrossFading());
    }
    EXPECT_EQ(router.built, 6);
    router.desk.tracker->setCurrentPage(AppPage::dashboard);  // the same page: nothing new
    EXPECT_EQ(router.built, 6);
}

TEST(ContentView, MidFadeTheLeavingPageFadesOutAndTheNewOneInOverTheBackdrop) {
    Window window;
    const QImage dashboard = window.frameAt(std::chrono::milliseconds{0});
    window.desk.tracker->setCurrentPage(AppPage::settings);
    const QImage early = window.frameAt(std::chrono::milliseconds{60});
    const QImage middle = window.frameAt(std::chrono::milliseconds{125});
    const QImage late = window.frameAt(std::chrono::milliseconds{190});
    const QImage settings = window.frameAt(ContentView::crossFade);

    for (const QImage* frame : {&dashboard, &early, &middle, &late, &settings}) {
        EXPECT_EQ(flatPanelPixels(*frame), 0);
    }
    // Both pages show in the middle; the new one gains what the old one loses.
    EXPECT_GT(meanDifference(middle, dashboard), 3.0);
    EXPECT_GT(meanDifference(middle, settings), 3.0);
    EXPECT_GT(meanDifference(early, settings), meanDifference(late, settings) + 3.0);
    EXPECT_LT(meanDifference(early, dashboard) + 3.0, meanDifference(late, dashboard));
}
