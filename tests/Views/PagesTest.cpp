#include "Views/Pages.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSet>
#include <QTest>

#include "Support/PageDesk.h"
#include "Views/CalibrationView.h"
#include "Views/DashboardView.h"
#include "Views/ResetView.h"
#include "Views/SettingsView.h"

using namespace Qt::StringLiterals;

namespace {

// A page as the window shows it: both optional cards on, posture tracking running.
struct ShownPage {
    PageDesk desk;
    std::unique_ptr<QWidget> page;

    explicit ShownPage(AppPage which) {
        desk.settings.setBoolean(u"showExerciseOffset"_s, true);
        desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
        desk.open();
        waitUntil([this] { return desk.tracker->postureCamera().isRunning(); });
        page = makePage(which, *desk.tracker, desk.context);
        page->show();
        page->activateWindow();
        QCoreApplication::processEvents();
    }

    // Every control a pointer could press, that is shown and enabled.
    QList<QWidget*> controls() const {
        QList<QWidget*> found;
        for (QWidget* child : page->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractButton*>(child) || qobject_cast<QComboBox*>(child);
            if (control && child->isVisibleTo(page.get()) && child->isEnabled()) {
                found.append(child);
            }
        }
        return found;
    }
    // Where Tab takes the focus, once round the page.
    QSet<QWidget*> tabbedThrough() const {
        QSet<QWidget*> reached;
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : page.get(),
                            Qt::Key_Tab);
            if (QWidget* focused = QApplication::focusWidget()) {
                reached.insert(focused);
            }
        }
        return reached;
    }
};

const std::array<AppPage, 4> kPages{AppPage::dashboard, AppPage::reset, AppPage::settings,
                                    AppPage::calibration};

}  // namespace

TEST(Pages, EachPageIsBuiltAtTheWindowsPageSizeAndNewOnEveryVisit) {
    PageDesk desk;
    desk.open();
    const std::unique_ptr<QWidget> dashboard =
        makePage(AppPage::dashboard, *desk.tracker, desk.context);
    EXPECT_NE(qobject_cast<DashboardView*>(dashboard.get()), nullptr);
    EXPECT_EQ(dashboard->size(), QSize(360, 560));
    EXPECT_NE(qobject_cast<ResetView*>(makePage(AppPage::reset, *desk.tracker, desk.context).get()),
              nullptr);
    EXPECT_NE(
        qobject_cast<SettingsView*>(makePage(AppPage::settings, *desk.tracker, desk.context).get()),
        nullptr);
    EXPECT_NE(qobject_cast<CalibrationView*>(
                  makePage(AppPage::calibration, *desk.tracker, desk.context).get()),
              nullptr);
    EXPECT_NE(makePage(AppPage::dashboard, *desk.tracker, desk.context).get(), dashboard.get());
}

TEST(Pages, TabReachesEveryControlOfEveryPageAndStopsNowhereElse) {
    for (const AppPage which : kPages) {
        ShownPage shown(which);
        const QSet<QWidget*> reached = shown.tabbedThrough();
        const QList<QWidget*> controls = shown.controls();
        for (QWidget* control : controls) {
            EXPECT_TRUE(reached.contains(control))
                << "page " << static_cast<int>(which) << ": " << control->metaObject()->className()
                << " \"" << control->accessibleName().toStdString() << "\" is not reached by Tab";
        }
        // A stop with nothing to press leaves a keyboard user lost on the page.
        for (QWidget* stop : reached) {
            EXPECT_TRUE(controls.contains(stop))
                << "page " << static_cast<int>(which) << ": Tab stops on a "
                << stop->metaObject()->className();
        }
    }
}

TEST(Pages, EveryControlAndTextHasANameAScreenReaderCanSay) {
    for (const AppPage which : kPages) {
        ShownPage shown(which);
        for (QWidget* control : shown.controls()) {
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << "page " << static_cast<int>(which) << ": a nameless "
                << control->metaObject()->className();
        }
        for (QLabel* label : shown.page->findChildren<QLabel*>()) {
            if (label->isVisibleTo(shown.page.get())) {
                EXPECT_FALSE(label->text().isEmpty() && label->accessibleName().isEmpty())
                    << "page " << static_cast<int>(which) << ": a visible label says nothing";
            }
        }
    }
}
