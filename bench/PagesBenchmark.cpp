// The time from a page change to the new page's first complete paint, in a real window:
// building the page from nothing, the leaving page's snapshot for the cross-fade, layout and
// the paint itself. Run it under an X server (xvfb-run) to include the window system.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "Models/SittingTracker.h"
#include "Support/PageDesk.h"
#include "Views/ContentView.h"
#include "Views/Pages.h"
#include "Views/WindowBackdrop.h"

namespace {

// Notes when the widget it watches has finished painting.
class PaintWatch final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            // The page paints itself, then its children; seeing its own paint is enough
            // because processEvents returns only after the whole paint pass.
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void BM_PageChangeToFirstPaint(benchmark::State& state) {
    const auto target = static_cast<AppPage>(state.range(0));
    PageDesk desk;
    desk.motion.setReduceMotion(false);
    desk.storeToday(200, 30);
    desk.settings.setBoolean(QStringLiteral("showExerciseOffset"), true);
    SittingTracker& tracker = desk.open();
    ContentView view(
        tracker,
        [&desk](AppPage page, SittingTracker& shown) {
            return makePage(page, shown, desk.context);
        },
        [](SittingTracker&) { return std::make_unique<WindowBackdrop>(); }, desk.motion);
    view.resize(380, 580);
    view.show();
    waitUntil([&] { return view.windowHandle() && view.windowHandle()->isExposed(); });
    QCoreApplication::processEvents();

    const AppPage home = target == AppPage::dashboard ? AppPage::settings : AppPage::dashboard;
    for (auto _ : state) {
        tracker.setCurrentPage(home);
        waitUntil([&] { return !view.isCrossFading(); });

        PaintWatch watch;
        QElapsedTimer elapsed;
        elapsed.start();
        tracker.setCurrentPage(target);
        view.page()->installEventFilter(&watch);
        while (!watch.painted) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        state.SetIterationTime(static_cast<double>(elapsed.nsecsElapsed()) / 1e9);
        view.page()->removeEventFilter(&watch);
    }
    state.SetLabel(AppPages::name(target).toStdString());
}
BENCHMARK(BM_PageChangeToFirstPaint)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
