#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "Models/SittingTracker.h"
#include "Support/FakeCamera.h"
#include "Support/FakeCameraWatch.h"
#include "Support/FakeClock.h"
#include "Support/FakeIdleSource.h"
#include "Support/FakeNotifier.h"
#include "Support/FakeRandomSource.h"
#include "Support/MemorySettingsStore.h"

using namespace std::chrono_literals;

namespace {

struct BenchDesk {
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(7, 0))};
    FakeIdleSource idle;
    FakeNotifier notifier;
    MemorySettingsStore settings;
    FakeRandomSource random;
    FakeCameraBackend camera;
    FakeCameraWatch cameraWatch;
    SittingTracker tracker{
        TrackerServices{clock, idle, notifier, settings, random, camera, cameraWatch}};
};

// One tick of an ordinary working minute: active, no reminder due.
void BM_ActiveTick(benchmark::State& state) {
    BenchDesk desk;
    desk.settings.setInteger(QStringLiteral("reminderInterval"), 1'000'000);
    SittingTracker quiet(TrackerServices{desk.clock, desk.idle, desk.notifier, desk.settings,
                                         desk.random, desk.camera, desk.cameraWatch});
    for (auto _ : state) {
        desk.clock.advance(30s);
        quiet.tick();
    }
}
BENCHMARK(BM_ActiveTick);

// A 16-hour day of 1920 ticks: work, breaks, a lunch away, reminders.
void BM_SixteenHourDay(benchmark::State& state) {
    for (auto _ : state) {
        BenchDesk desk;
        for (int i = 0; i < 1920; ++i) {
            const int minuteOfHour = (i / 2) % 60;
            desk.idle.idle =
                minuteOfHour >= 50 ? std::chrono::seconds((minuteOfHour - 49) * 60) : 4s;
            desk.clock.advance(30s);
            desk.tracker.tick();
        }
        benchmark::DoNotOptimize(desk.tracker.totalSittingMinutes());
    }
}
BENCHMARK(BM_SixteenHourDay)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("TZ", "UTC");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
