#include "Views/CalibrationView.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "Components/GlassTheme.h"
#include "Support/PageDesk.h"
#include "Views/FilledButton.h"
#include "Views/LinkButton.h"
#include "Views/PostureIndicatorCard.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

struct CalibrationPage {
    PageDesk desk;
    std::unique_ptr<CalibrationView> view;

    void open() { view = desk.openOn<CalibrationView>(AppPage::calibration); }
    PostureCamera& camera() { return desk.tracker->postureCamera(); }
    bool cameraRuns() {
        return waitUntil([this] { return camera().isRunning(); });
    }
};

}  // namespace

TEST(CalibrationView, OpeningStartsTheCameraOnceAndTheButtonWakesWhenItRuns) {
    CalibrationPage page;
    page.desk.camera.scene.opensOnlyWhenTold = true;
    page.open();
    EXPECT_EQ(page.view->state(), CalibrationView::State::introduction);
    EXPECT_EQ(page.view->cameraStatusText(), u"Camera is starting..."_s);
    ASSERT_TRUE(waitUntil([&] { return page.desk.camera.scene.sourcesOpened == 1; }));
    QTest::qWait(50);
    EXPECT_FALSE(page.view->calibrateButton()->isEnabled()) << "still opening";
    page.desk.camera.finishOpening();
    EXPECT_FALSE(page.view->calibrateButton()->isEnabled());
    EXPECT_TRUE(page.view->calibrateButton()->isDimmed());

    // The camera's own announcement redraws the page; no tracker change is needed.
    ASSERT_TRUE(page.cameraRuns());
    EXPECT_TRUE(page.view->cameraStatusText().isEmpty());
    EXPECT_TRUE(page.view->calibrateButton()->isEnabled());
    EXPECT_FALSE(page.view->calibrateButton()->isDimmed());
    EXPECT_EQ(page.desk.camera.scene.sourcesOpened, 1);

    // A page opened over the running camera starts it no second time and has no word to wait
    // for: its button is awake at once.
    CalibrationView again(*page.desk.tracker, page.desk.context);
    again.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(page.desk.camera.scene.sourcesOpened, 1);
    EXPECT_TRUE(again.calibrateButton()->isEnabled());
}

TEST(CalibrationView, CountsThreeTwoOneASecondEachKeepsTheLatestMeasurementAndLeadsOn) {
    CalibrationPage page;
    page.open();
    ASSERT_TRUE(page.cameraRuns());
    ASSERT_TRUE(page.desk.see(4.0, -2.5, 101.0));
    const PostureSnapshot seen = *page.camera().latestSnapshot();

    QElapsedTimer counting;
    counting.start();
    QTest::mouseClick(page.view->calibrateButton(), Qt::LeftButton);
    EXPECT_EQ(page.view->state(), CalibrationView::State::countdown);
    EXPECT_EQ(page.view->countdownText(), u"3"_s);
    ASSERT_TRUE(waitUntil([&] { return page.view->countdownText() == u"2"_s; }));
    EXPECT_GE(counting.elapsed(), 950);
    ASSERT_TRUE(waitUntil([&] { return page.view->countdownText() == u"1"_s; }));
    EXPECT_GE(counting.elapsed(), 1950);
    EXPECT_FALSE(page.camera().isCalibrated());
    ASSERT_TRUE(waitUntil([&] { return page.view->state() == CalibrationView::State::finished; }));
    EXPECT_GE(counting.elapsed(), 2950);
    EXPECT_FALSE(page.view->isCounting());

    EXPECT_TRUE(page.camera().isCalibrated());
    EXPECT_EQ(page.camera().baselineHeadTilt(), seen.headTiltDegrees);
    EXPECT_EQ(page.camera().baselineShoulderTilt(), seen.shoulderTiltDegrees);
    EXPECT_EQ(page.camera().baselineSlouchAngle(), seen.slouchAngleDegrees);
    EXPECT_EQ(page.desk.settings.real(u"baselineSlouchAngle"_s), seen.slouchAngleDegrees);

    // Back leads to the settings, Done to the dashboard.
    QTest::mouseClick(page.view->backButton(), Qt::LeftButton);
    EXPECT_EQ(page.desk.tracker->currentPage(), AppPage::settings);
    QTest::mouseClick(page.view->doneButton(), Qt::LeftButton);
    EXPECT_EQ(page.desk.tracker->currentPage(), AppPage::dashboard);
}

TEST(CalibrationView, WithNobodyInViewOrOnlyAnOldMeasurementItSaysNoBaselineWasTaken) {
    for (const bool userLeftLongAgo : {false, true}) {
        SCOPED_TRACE(userLeftLongAgo);
        CalibrationPage page;
        page.open();
        ASSERT_TRUE(page.cameraRuns());
        if (userLeftLongAgo) {
            ASSERT_TRUE(page.desk.see(1.0));
            page.desk.clock.advance(1min);
        }
        page.view->calibrateButton()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(page.view->calibrateButton(), Qt::Key_Return);
        for (int second = 0; second < 3; ++second) {
            page.view->countdownTick();
        }
        EXPECT_EQ(page.view->state(), CalibrationView::State::noBaseline);
        EXPECT_FALSE(page.camera().isCalibrated());
        EXPECT_FALSE(page.desk.settings.contains(u"postureCalibrated"_s));
        EXPECT_FALSE(page.view->doneButton()->isVisible());
        EXPECT_TRUE(page.view->retryButton()->isVisible());
        EXPECT_TRUE(page.view->retryButton()->hasFocus());

        QTest::keyClick(page.view->retryButton(), Qt::Key_Space);
        EXPECT_EQ(page.view->state(), CalibrationView::State::introduction);
    }
}

// Each camera problem in words, on this page and on the dashboard's posture card, and what
// happens when it goes away: an unplugged or missing camera is taken back when a device
// appears, a camera lent to another app a minute after that app lets go.
TEST(CalibrationView, EveryCameraProblemIsPutIntoWordsHereAndOnThePostureCard) {
    enum class Cause { noCamera, refused, noModel, unplugged, otherApp };
    struct Case {
        Cause cause;
        QString line;
        bool red;
        bool denialFlag;
    };
    const Case cases[] = {
        {Cause::noCamera, u"No webcam found. Plug one in and tracking starts by itself."_s, true,
         true},
        {Cause::refused,
         u"Camera access denied. Add yourself to the video group (sudo usermod -aG video $USER), "
         u"then log in again."_s,
         true, true},
        {Cause::noModel, u"The pose model is missing. Reinstall Spindrel to track posture."_s, true,
         false},
        {Cause::unplugged, u"Camera unplugged. Tracking resumes when it's back."_s, false, false},
        {Cause::otherApp, u"Paused while another app uses the camera."_s, false, false},
    };
    for (const Case& problem : cases) {
        SCOPED_TRACE(problem.line.toStdString());
        CalibrationPage page;
        FakeScene& scene = page.desk.camera.scene;
        scene.hasCamera = problem.cause != Cause::noCamera;
        scene.refusesAccess = problem.cause == Cause::refused;
        scene.modelLoads = problem.cause != Cause::noModel;
        page.desk.storeCalibration();
        page.desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
        page.open();
        PostureIndicatorCard card(*page.desk.tracker, page.desk.context);
        card.resize(320, 120);
        card.show();
        if (problem.cause == Cause::unplugged || problem.cause == Cause::otherApp) {
            ASSERT_TRUE(page.cameraRuns());
            if (problem.cause == Cause::unplugged) {
                page.desk.camera.unplug();
            } else {
                page.desk.cameraWatch.setHeldByOtherApp(true);
            }
        }
        ASSERT_TRUE(waitUntil([&] { return page.camera().problem().has_value(); }));
        page.desk.tick();

        EXPECT_EQ(page.view->cameraStatusText(), problem.line);
        EXPECT_EQ(page.view->cameraStatusColor().red() == 219, problem.red);
        EXPECT_FALSE(page.view->calibrateButton()->isEnabled());
        QTest::mouseClick(page.view->calibrateButton(), Qt::LeftButton);
        EXPECT_EQ(page.view->state(), CalibrationView::State::introduction);
        EXPECT_EQ(card.detailText(), problem.line);
        EXPECT_EQ(card.statusText(), u"Unknown"_s);
        EXPECT_EQ(page.camera().cameraPermissionDenied(), problem.denialFlag);

        // The camera comes back by itself once the cause is gone, and can calibrate at once,
        // also where the denial flag stays set.
        if (problem.cause == Cause::otherApp) {
            page.desk.cameraWatch.setHeldByOtherApp(false);
            page.desk.tick();
            page.desk.tick();  // a minute after the other app let go
        } else if (problem.cause != Cause::noModel) {
            scene.hasCamera = true;
            scene.refusesAccess = false;
            page.desk.cameraWatch.announceDevicesChanged();
        } else {
            continue;
        }
        ASSERT_TRUE(page.cameraRuns());
        EXPECT_TRUE(page.view->cameraStatusText().isEmpty());
        EXPECT_TRUE(page.view->calibrateButton()->isEnabled());
        EXPECT_EQ(card.detailText(), u"Watching. Give me a second."_s);
    }
}
