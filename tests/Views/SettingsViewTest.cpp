#include "Views/SettingsView.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include "Components/StudyLink.h"
#include "Support/FileBytes.h"
#include "Support/PageDesk.h"
#include "Views/LinkButton.h"
#include "Views/ToggleSwitch.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

struct SettingsPage {
    PageDesk desk;
    std::unique_ptr<SettingsView> view;

    void open() { view = desk.openOn<SettingsView>(AppPage::settings); }
    SittingTracker& tracker() { return *desk.tracker; }
    // Opens the cadence pop-up and picks the highlighted entry with Return, as a user would.
    void pickInPopup(int index) {
        QComboBox* picker = view->cadencePicker();
        picker->showPopup();
        QAbstractItemView* list = picker->view();
        list->setCurrentIndex(list->model()->index(index, 0));
        QTest::keyClick(list, Qt::Key_Return);
    }
};

}  // namespace

TEST(SettingsView, ShowsTheStoredCadenceAndKeepsAndConfirmsOnlyARealChange) {
    SettingsPage page;
    page.open();
    EXPECT_EQ(page.view->cadencePicker()->currentText(), u"🧘 Balanced — every 30 min"_s);
    EXPECT_EQ(page.view->hintText(),
              u"The science-backed sweet spot. 5 min every 30 min keeps blood sugar in check "
              u"without breaking flow. (Quellin et al., 2023)"_s);
    EXPECT_FALSE(page.view->showsConfirmation());

    const int commits = page.desk.settings.commits;
    page.pickInPopup(1);  // 30, already chosen
    EXPECT_EQ(page.tracker().reminderInterval(), 30);
    EXPECT_FALSE(page.view->showsConfirmation());
    EXPECT_EQ(page.desk.settings.commits, commits);

    QComboBox* picker = page.view->cadencePicker();
    picker->setFocus(Qt::TabFocusReason);
    QTest::keyClick(picker, Qt::Key_Down);  // 30 → 60
    EXPECT_EQ(page.tracker().reminderInterval(), 60);
    EXPECT_EQ(page.desk.settings.integer(u"reminderInterval"_s), 60);
    EXPECT_TRUE(page.view->hintText().startsWith(u"Deep work mode."_s));
    EXPECT_TRUE(page.view->showsConfirmation());
}

TEST(SettingsView, AStoredCadenceOfNoOptionShowsNoChoiceAndNoHintUntilOneIsPicked) {
    SettingsPage page;
    page.desk.settings.setInteger(u"reminderInterval"_s, 45);
    page.open();
    EXPECT_EQ(page.view->cadencePicker()->currentIndex(), -1);
    EXPECT_TRUE(page.view->hintText().isEmpty());
    page.pickInPopup(2);
    EXPECT_EQ(page.tracker().reminderInterval(), 60);
    EXPECT_EQ(page.view->cadencePicker()->currentIndex(), 2);
    EXPECT_FALSE(page.view->hintText().isEmpty());
}

TEST(SettingsView, TheExerciseSwitchIsKeptAtOnceAndConfirmedForASecondAndAHalfAfterTheLatest) {
    SettingsPage page;
    page.open();
    EXPECT_FALSE(page.view->exerciseSwitch()->isChecked());
    QTest::mouseClick(page.view->exerciseSwitch(), Qt::LeftButton);
    EXPECT_TRUE(page.tracker().showExerciseOffset());
    EXPECT_EQ(page.desk.settings.boolean(u"showExerciseOffset"_s), true);
    EXPECT_TRUE(page.view->showsConfirmation());
    QTest::qWait(500);
    page.view->exerciseSwitch()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.view->exerciseSwitch(), Qt::Key_Return);
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    EXPECT_FALSE(page.tracker().showExerciseOffset());
    EXPECT_FALSE(page.view->exerciseSwitch()->isChecked());
    EXPECT_TRUE(page.view->showsConfirmation());
    // Had the first change's hide stood, the line would go a second after the second change.
    ASSERT_TRUE(waitUntil([&] { return !page.view->showsConfirmation(); }));
    EXPECT_GE(sinceSecond.elapsed(), 1400);
}

TEST(SettingsView, PostureTrackingStartsTheCameraAndOffersCalibrationUntilSwitchedOff) {
    SettingsPage page;
    page.open();
    EXPECT_EQ(page.view->calibrateButton(), nullptr);
    page.view->postureSwitch()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.view->postureSwitch(), Qt::Key_Space);
    EXPECT_TRUE(page.tracker().postureTrackingEnabled());
    EXPECT_TRUE(page.view->showsConfirmation());
    ASSERT_TRUE(waitUntil([&] { return page.tracker().postureCamera().isRunning(); }));
    ASSERT_NE(page.view->calibrateButton(), nullptr);
    EXPECT_EQ(page.view->calibrateButton()->text(), u"Calibrate Posture"_s);

    // Once a baseline is kept, the same button offers to take it again.
    ASSERT_TRUE(page.desk.see(1.0));
    page.tracker().postureCamera().calibrate();
    EXPECT_EQ(page.view->calibrateButton()->text(), u"Recalibrate Posture"_s);

    QTest::mouseClick(page.view->postureSwitch(), Qt::LeftButton);
    EXPECT_FALSE(page.tracker().postureTrackingEnabled());
    EXPECT_EQ(page.view->calibrateButton(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return !page.tracker().postureCamera().isRunning(); }));
}

TEST(SettingsView, LeadsToCalibrationBackToTheDashboardAndToTheCadenceStudy) {
    SettingsPage page;
    page.desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
    page.open();
    ASSERT_NE(page.view->calibrateButton(), nullptr);
    QTest::mouseClick(page.view->calibrateButton(), Qt::LeftButton);
    EXPECT_EQ(page.tracker().currentPage(), AppPage::calibration);
    QTest::mouseClick(page.view->backButton(), Qt::LeftButton);
    EXPECT_EQ(page.tracker().currentPage(), AppPage::dashboard);

    auto* link = page.view->findChild<StudyLink*>();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->toolTip(), u"Quellin et al., 2023 — Optimal break frequency"_s);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(page.desk.opened.size(), 1U);
    EXPECT_EQ(page.desk.opened[0].toString(), u"https://doi.org/10.1249/MSS.0000000000003243"_s);
}

TEST(SettingsView, StartAtLoginShowsAndSetsTheAutostartEntryOnDisk) {
    SettingsPage page;
    page.open();
    const QString entry = page.desk.autostart.path();
    EXPECT_FALSE(page.view->loginSwitch()->isChecked());
    QTest::mouseClick(page.view->loginSwitch(), Qt::LeftButton);
    EXPECT_TRUE(page.view->loginSwitch()->isChecked());
    EXPECT_TRUE(page.view->showsConfirmation());
    EXPECT_TRUE(fileBytes(entry).split('\n').contains("Exec=/usr/bin/spindrel"));

    QTest::mouseClick(page.view->loginSwitch(), Qt::LeftButton);
    EXPECT_FALSE(page.view->loginSwitch()->isChecked());
    EXPECT_FALSE(QFile::exists(entry));

    // An entry put there by hand while the page was away shows as on when it is built again.
    ASSERT_TRUE(writeFileBytes(entry, {}));
    page.view = std::make_unique<SettingsView>(page.tracker(), page.desk.context);
    EXPECT_TRUE(page.view->loginSwitch()->isChecked());
}
