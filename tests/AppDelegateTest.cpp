#include "AppDelegate.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "Support/FakeTrayHost.h"
#include "Support/PageDesk.h"
#include "Views/ContentView.h"
#include "Views/Pages.h"
#include "Views/SettingsView.h"

namespace {

// The shell over a desk, with the real router and pages, and the window it opens at launch.
struct Shell {
    PageDesk desk;
    FakeTrayHost tray;
    std::unique_ptr<AppDelegate> delegate;

    Shell() {
        desk.open();
        delegate = std::make_unique<AppDelegate>(*desk.tracker, tray, [this](SittingTracker& t) {
            return std::make_unique<ContentView>(
                t,
                [this](AppPage page, SittingTracker& s) { return makePage(page, s, desk.context); },
                nullptr, desk.motion);
        });
        delegate->applicationDidFinishLaunching();
        waitUntil([this] { return window() != nullptr; });
    }
    ~Shell() {
        delegate.reset();
        QCoreApplication::processEvents();
    }
    // The window on screen, if one is.
    static QWidget* window() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->windowTitle() == QStringLiteral("Spindrel") && top->isVisible()) {
                return top;
            }
        }
        return nullptr;
    }
    // Past the double-click time, so that the next activation is a click of its own.
    static void pauseBetweenClicks() { QTest::qWait(QApplication::doubleClickInterval() + 100); }
};

}  // namespace

TEST(AppDelegate, ADoubleClickOnTheIconIsOneClick) {
    Shell shell;
    ASSERT_NE(Shell::window(), nullptr);
    // As Qt reports it on an XEmbed tray: a click, then the double click.
    shell.delegate->trayActivated(QSystemTrayIcon::Trigger);
    shell.delegate->trayActivated(QSystemTrayIcon::DoubleClick);
    QCoreApplication::processEvents();
    EXPECT_EQ(Shell::window(), nullptr);
    Shell::pauseBetweenClicks();
    // As a StatusNotifier host may: two activations in quick succession.
    shell.delegate->trayActivated(QSystemTrayIcon::Trigger);
    QWidget* opened = Shell::window();
    shell.delegate->trayActivated(QSystemTrayIcon::Trigger);
    QCoreApplication::processEvents();
    EXPECT_NE(opened, nullptr);
    EXPECT_EQ(Shell::window(), opened);
}

TEST(AppDelegate, AClosedWindowIsRebuiltOnTheLastPageOrOnTheResetPageForAReminder) {
    Shell shell;
    QWidget* first = Shell::window();
    ASSERT_NE(first, nullptr);
    shell.desk.tracker->setCurrentPage(AppPage::settings);
    ASSERT_TRUE(first->close());  // what the title bar's close button does
    EXPECT_EQ(Shell::window(), nullptr);
    EXPECT_EQ(shell.desk.tracker->currentPage(), AppPage::settings);

    shell.delegate->trayActivated(QSystemTrayIcon::Trigger);
    QWidget* rebuilt = Shell::window();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt->findChild<SettingsView*>(), nullptr);
    EXPECT_EQ(rebuilt->size(), QSize(AppDelegate::windowWidth, AppDelegate::windowHeight));

    // A click on a reminder, with the window closed, shows it on the reset page.
    rebuilt->close();
    shell.delegate->notificationClicked();
    EXPECT_NE(Shell::window(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return shell.desk.tracker->currentPage() == AppPage::reset; }));
}
