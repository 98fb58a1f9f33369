#include "Views/Pages.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSet>
#include <QTest>

#include "Support/PageDesk.h"

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

// Every text the page shows: labels, buttons and the choices of its pickers.
QStringList shownTexts(const QWidget& page) {
    QStringList texts;
    for (QWidget* child : page.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&page)) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(child)) {
            texts.append(label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            texts.append(button->text());
        } else if (auto* picker = qobject_cast<QComboBox*>(child)) {
            for (int i = 0; i < picker->count(); ++i) {
                texts.append(picker->itemText(i));
            }
        }
    }
    return texts;
}

const std::array<AppPage, 4> kPages{AppPage::dashboard, AppPage::reset, AppPage::settings,
                                    AppPage::calibration};

}  // namespace

TEST(Pages, TabReachesEveryControlAndStopsNowhereElseAndAScreenReaderCanSayThemAll) {
    for (const AppPage which : kPages) {
        SCOPED_TRACE(AppPages::name(which).toStdString());
        ShownPage shown(which);
        const QSet<QWidget*> reached = shown.tabbedThrough();
        const QList<QWidget*> controls = shown.controls();
        for (QWidget* control : controls) {
            EXPECT_TRUE(reached.contains(control))
                << control->metaObject()->className() << " \""
                << control->accessibleName().toStdString() << "\" is not reached by Tab";
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << "a nameless " << control->metaObject()->className();
        }
        // A stop with nothing to press leaves a keyboard user lost on the page.
        for (QWidget* stop : reached) {
            EXPECT_TRUE(controls.contains(stop))
                << "Tab stops on a " << stop->metaObject()->className();
        }
        for (QLabel* label : shown.page->findChildren<QLabel*>()) {
            if (label->isVisibleTo(shown.page.get())) {
                EXPECT_FALSE(label->text().isEmpty() && label->accessibleName().isEmpty())
                    << "a visible label says nothing";
            }
        }
    }
}

TEST(Pages, EachPageShowsItsFixedCaptionsWordForWord) {
    const std::vector<std::pair<AppPage, QStringList>> captions{
        {AppPage::dashboard,
         {u"Spindrel"_s, u"TODAY'S ACTIVITY"_s, u"SITTING RISK LEVEL"_s, u"POSTURE"_s,
          u"Calibrate"_s, u"EXERCISE OFFSET"_s, u"LOGGED"_s, u"NEEDED"_s, u"5 min"_s, u"60 min"_s,
          u"Log Exercise"_s, u"Take a Reset \U0001F9D8"_s, u"Settings"_s}},
        {AppPage::reset,
         {u"Back"_s, u"Quick Reset"_s, u"Time to remind your body you're not furniture."_s,
          u"Surprise Me"_s, u"Walk"_s, u"Stairs"_s, u"Stretch"_s, u"Stand"_s, u"Start"_s,
          u"Skip"_s}},
        {AppPage::settings,
         {u"Back"_s, u"Settings"_s, u"BREAK CADENCE"_s,
          u"\U0001F6E1\uFE0F Protect \u2014 every 20 min"_s,
          u"\U0001F9D8 Balanced \u2014 every 30 min"_s, u"\u26A1 Focus \u2014 every 60 min"_s,
          u"FEATURES"_s, u"Exercise Offset Tracker"_s,
          u"Log movement to fight back against your chair"_s, u"Posture Tracking"_s,
          u"Keeps an eye on your head, shoulders & slouch"_s, u"Calibrate Posture"_s}},
        {AppPage::calibration,
         {u"Back"_s, u"Posture Calibration"_s, u"Sit up straight in your best posture"_s,
          u"Face your camera directly"_s, u"Click Calibrate and hold still for 3 seconds"_s,
          u"Calibrate"_s}},
    };
    for (const auto& [which, expected] : captions) {
        ShownPage shown(which);
        const QStringList texts = shownTexts(*shown.page);
        for (const QString& caption : expected) {
            EXPECT_TRUE(texts.contains(caption)) << "page " << AppPages::name(which).toStdString()
                                                 << " lacks \"" << caption.toStdString() << "\"";
        }
    }
}
