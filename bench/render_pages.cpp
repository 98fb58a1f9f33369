// Writes pictures of every page in each of its states, in the window as it is composited:
//   render_pages [DIR]         PNGs into DIR, /tmp/pages-png by default
//   render_pages DIR camera    only each camera problem, on the calibration page and the card
// The tracker runs over the test fakes, so each state is set up exactly.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>

#include "Components/TrayFigure.h"
#include "Models/SittingTracker.h"
#include "Support/PageDesk.h"
#include "Views/CalibrationView.h"
#include "Views/ContentView.h"
#include "Views/DashboardView.h"
#include "Views/ExerciseOffsetCard.h"
#include "Views/FilledButton.h"
#include "Views/Pages.h"
#include "Views/PostureIndicatorCard.h"
#include "Views/ResetView.h"
#include "Views/SettingsView.h"
#include "Views/ToggleSwitch.h"
#include "Views/WindowBackdrop.h"

using namespace Qt::StringLiterals;

namespace {

// One window over one desk; the desk is set up before the window opens.
class Window {
public:
    explicit Window(PageDesk& desk) : desk_(desk) {
        SittingTracker& tracker = desk.tracker ? *desk.tracker : desk.open();
        view_ = std::make_unique<ContentView>(
            tracker,
            [this](AppPage page, SittingTracker& shown) {
                return makePage(page, shown, desk_.context);
            },
            [](SittingTracker&) { return std::make_unique<WindowBackdrop>(); }, desk_.motion);
        view_->resize(380, 580);
        view_->show();
        settle();
    }

    template <typename Page>
    Page& page() {
        return *static_cast<Page*>(view_->page());
    }
    void show(AppPage page) {
        desk_.tracker->setCurrentPage(page);
        settle();
    }
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    // The window with the pop-up list of `picker` open over it, where it opens on screen.
    void saveOpen(QComboBox& picker, const QDir& folder, const QString& name) {
        picker.showPopup();
        settle();
        QImage image = picture();
        QWidget* list = picker.view()->window();
        QPainter painter(&image);
        list->render(&painter, view_->mapFromGlobal(list->mapToGlobal(QPoint(0, 0))));
        painter.end();
        picker.hidePopup();
        image.save(folder.filePath(name + u".png"_s));
    }
    // The change to `page` held half-way through its cross-fade.
    void saveMidFade(AppPage page, const QDir& folder, const QString& name) {
        desk_.tracker->setCurrentPage(page);
        if (auto* fade = view_->findChild<QVariantAnimation*>(u"pageCrossFade"_s)) {
            fade->pause();
            fade->setCurrentTime(static_cast<int>(ContentView::crossFade.count() / 2));
        }
        picture().save(folder.filePath(name + u".png"_s));
    }
    QImage picture() {
        QImage image(view_->size() * 2, QImage::Format_ARGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::magenta);  // anything left unpainted shows
        view_->render(&image);
        return image;
    }
    void save(const QDir& folder, const QString& name) {
        settle();
        // Switches and bars glide into place.
        QElapsedTimer gliding;
        gliding.start();
        while (gliding.elapsed() < 600) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        picture().save(folder.filePath(name + u".png"_s));
    }

private:
    PageDesk& desk_;
    std::unique_ptr<ContentView> view_;
};

void dashboards(const QDir& folder) {
    struct Day {
        const char* name;
        double sitting;
        double breaks;
    };
    for (const Day day : {Day{"low", 95, 8}, Day{"medium", 400, 25}, Day{"high", 530, 0}}) {
        for (const int cards : {0, 1, 2}) {
            PageDesk desk;
            desk.storeToday(day.sitting, day.breaks);
            desk.settings.setBoolean(u"showExerciseOffset"_s, cards >= 1);
            desk.settings.setBoolean(u"postureTrackingEnabled"_s, cards >= 2);
            desk.open();
            if (cards >= 1) {
                desk.tracker->logExercise(10);
            }
            Window window(desk);
            const QString name = u"dashboard-%1-%2"_s.arg(QLatin1String(day.name))
                                     .arg(cards == 0   ? u"plain"_s
                                          : cards == 1 ? u"exercise"_s
                                                       : u"exercise-posture"_s);
            window.save(folder, name);
            if (cards >= 1) {
                QScrollBar* bar = window.page<DashboardView>().scrollArea()->verticalScrollBar();
                bar->setValue(bar->maximum());
                window.save(folder, name + u"-scrolled"_s);
            }
        }
    }
    // A desktop that gives no idle time: the activity card says so, on a plain day and a full one.
    for (const bool cards : {false, true}) {
        PageDesk desk;
        desk.storeToday(95, 8);
        desk.settings.setBoolean(u"showExerciseOffset"_s, cards);
        desk.settings.setBoolean(u"postureTrackingEnabled"_s, cards);
        desk.idle.idle.reset();
        desk.open();
        Window window(desk);
        window.save(folder, cards ? u"dashboard-no-idle-time-exercise-posture"_s
                                  : u"dashboard-no-idle-time-plain"_s);
    }
    // The posture card's verdicts, the dashboard scrolled to it.
    PageDesk desk;
    desk.storeToday(200, 30);
    desk.storeCalibration();
    desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
    desk.open();
    Window window(desk);
    desk.startCamera();
    desk.tickSeeing(2.0);
    window.save(folder, u"dashboard-posture-good"_s);
    desk.tickSeeing(12.0);
    window.save(folder, u"dashboard-posture-fair"_s);
    desk.tickSeeing(0.0, 0.0, 121.2);
    window.save(folder, u"dashboard-posture-poor"_s);
}

void resets(const QDir& folder) {
    PageDesk desk;
    desk.random.queued = {4};  // "Shoulder Reset": a minute in three steps
    desk.open();
    Window window(desk);
    window.show(AppPage::reset);
    window.save(folder, u"reset-before"_s);
    ResetView& reset = window.page<ResetView>();
    reset.startButton()->click();
    for (int second = 0; second < 52; ++second) {
        reset.runner().tick();
    }
    window.save(folder, u"reset-during-final-seconds"_s);
    for (int second = 0; second < 8; ++second) {
        reset.runner().tick();
    }
    window.save(folder, u"reset-completed"_s);
}

void settings(const QDir& folder) {
    PageDesk desk;
    desk.open();
    Window window(desk);
    window.show(AppPage::settings);
    window.save(folder, u"settings"_s);
    window.page<SettingsView>().exerciseSwitch()->click();
    window.save(folder, u"settings-locked-in"_s);
    desk.tracker->setPostureTrackingEnabled(true);
    window.save(folder, u"settings-posture-on"_s);
}

// The two pickers open, and a page change caught half-way.
void pickersAndFades(const QDir& folder) {
    {
        PageDesk desk;
        desk.settings.setBoolean(u"showExerciseOffset"_s, true);
        desk.open();
        Window window(desk);
        DashboardView& dashboard = window.page<DashboardView>();
        dashboard.scrollArea()->ensureWidgetVisible(dashboard.exerciseCard()->picker());
        window.saveOpen(*dashboard.exerciseCard()->picker(), folder,
                        u"dashboard-exercise-picker-open"_s);
        window.show(AppPage::settings);
        window.saveOpen(*window.page<SettingsView>().cadencePicker(), folder,
                        u"settings-cadence-picker-open"_s);
    }
    PageDesk desk;
    desk.storeToday(95, 8);
    desk.motion.setReduceMotion(false);
    desk.open();
    Window window(desk);
    window.saveMidFade(AppPage::settings, folder, u"page-change-mid-fade"_s);
}

void calibrations(const QDir& folder) {
    {
        PageDesk desk;
        desk.camera.scene.opensOnlyWhenTold = true;
        desk.open();
        Window window(desk);
        window.show(AppPage::calibration);
        window.save(folder, u"calibration-intro-starting"_s);
        desk.camera.finishOpening();
        waitUntil([&] { return desk.tracker->postureCamera().isRunning(); });
        window.save(folder, u"calibration-intro"_s);
        auto& page = window.page<CalibrationView>();
        page.calibrateButton()->click();
        page.countdownTick();
        window.save(folder, u"calibration-counting"_s);
        desk.see(1.0);
        page.countdownTick();
        page.countdownTick();
        window.save(folder, u"calibration-finished"_s);
    }
    {
        PageDesk desk;
        desk.open();
        Window window(desk);
        window.show(AppPage::calibration);
        desk.startCamera();
        auto& page = window.page<CalibrationView>();
        page.calibrateButton()->click();
        for (int i = 0; i < 3; ++i) {
            page.countdownTick();
        }
        window.save(folder, u"calibration-no-baseline"_s);
    }
    {
        PageDesk desk;
        desk.camera.scene.hasCamera = false;
        desk.open();
        Window window(desk);
        window.show(AppPage::calibration);
        waitUntil([&] { return desk.tracker->postureCamera().cameraPermissionDenied(); });
        window.save(folder, u"calibration-denied"_s);
    }
}

// Each camera problem as the calibration page and the dashboard's posture card put it.
void cameraProblems(const QDir& folder) {
    enum class Cause { noCamera, refused, noModel, unplugged, otherApp };
    const std::pair<Cause, QString> causes[] = {
        {Cause::noCamera, u"no-webcam"_s},    {Cause::refused, u"access-refused"_s},
        {Cause::noModel, u"no-pose-model"_s}, {Cause::unplugged, u"unplugged"_s},
        {Cause::otherApp, u"other-app"_s},
    };
    for (const auto& [cause, name] : causes) {
        PageDesk desk;
        FakeScene& scene = desk.camera.scene;
        scene.hasCamera = cause != Cause::noCamera;
        scene.refusesAccess = cause == Cause::refused;
        scene.modelLoads = cause != Cause::noModel;
        desk.storeToday(140, 20);
        desk.storeCalibration();
        desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
        desk.open();
        PostureCamera& camera = desk.tracker->postureCamera();
        if (cause == Cause::unplugged || cause == Cause::otherApp) {
            waitUntil([&] { return camera.isRunning(); });
            if (cause == Cause::unplugged) {
                desk.camera.unplug();
            } else {
                desk.cameraWatch.setHeldByOtherApp(true);
            }
        }
        waitUntil([&] { return camera.problem().has_value(); });
        desk.tick();
        Window window(desk);
        auto& dashboard = window.page<DashboardView>();
        dashboard.scrollArea()->ensureWidgetVisible(dashboard.postureCard());
        window.save(folder, u"camera-%1-card"_s.arg(name));
        window.show(AppPage::calibration);
        window.save(folder, u"camera-%1-calibration"_s.arg(name));
    }
}

// The tray figure at 22 px as a panel that draws icons as given shows it, on a black, a grey
// and a white bar, four times enlarged: outlined in a dark and in a light text colour, and the
// plain symbolic file beside them.
void trayFigures(const QDir& folder) {
    const QIcon glyph(QStringLiteral(SPINDREL_TRAY_GLYPH));
    const QColor dark(0x2e, 0x34, 0x36);
    const QIcon figures[] = {TrayFigure::outlined(glyph, dark),
                             TrayFigure::outlined(glyph, QColor(0xee, 0xee, 0xec)),
                             TrayFigure::tinted(glyph, dark)};
    const QColor bars[] = {Qt::black, QColor(0x80, 0x80, 0x80), Qt::white};
    constexpr int cell = 30;
    QImage sheet(cell * 3, cell * 3, QImage::Format_ARGB32);
    QPainter painter(&sheet);
    for (int row = 0; row < 3; ++row) {
        painter.fillRect(0, row * cell, sheet.width(), cell, bars[row]);
        for (int column = 0; column < 3; ++column) {
            painter.drawPixmap(column * cell + 4, row * cell + 4,
                               figures[column].pixmap(QSize(22, 22), 1.0));
        }
    }
    painter.end();
    sheet.scaled(sheet.size() * 4).save(folder.filePath(u"tray-figures.png"_s));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QDir folder(arguments.size() > 1 ? arguments[1] : u"/tmp/pages-png"_s);
    QDir().mkpath(folder.path());
    if (arguments.size() > 2 && arguments[2] == u"camera"_s) {
        cameraProblems(folder);
        return 0;
    }
    dashboards(folder);
    resets(folder);
    settings(folder);
    calibrations(folder);
    pickersAndFades(folder);
    cameraProblems(folder);
    trayFigures(folder);
    return 0;
}
