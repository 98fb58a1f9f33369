#include "Platform/Linux/BlazePoseDetector.h"
#include "Platform/Linux/OpenCvLandmarkNetwork.h"
#include "Platform/Linux/XnnpackLandmarkNetwork.h"
#include "Platform/VideoFrame.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

namespace {

enum class Engine { OpenCv, Xnnpack };

std::unique_ptr<BlazePoseDetector> detectorOn(Engine engine, int threads) {
    // The canvas warp runs on OpenCV's threads, as in the posture module.
    cv::setNumThreads(threads);
    std::unique_ptr<PoseLandmarkNetwork> network;
    if (engine == Engine::OpenCv) {
        network = OpenCvLandmarkNetwork::create(SPINDREL_POSE_MODEL, threads);
    } else {
        network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, threads);
    }
    if (!network) {
        return nullptr;
    }
    return std::make_unique<BlazePoseDetector>(std::move(network));
}

// A webcam-sized frame; the network's cost does not depend on what is in it.
RgbImage webcamFrame() {
    RgbImage frame;
    frame.width = 640;
    frame.height = 480;
    frame.pixels.resize(qsizetype(frame.width) * frame.height * 3);
    for (qsizetype i = 0; i < frame.pixels.size(); ++i) {
        frame.pixels[i] = char((i * 7919) % 251);
    }
    return frame;
}

double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0.0;
            status >> kib;
            return kib / 1024.0;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0.0;
}

// Memory an engine costs the process: once loaded, and once it has run a few frames and holds
// its working buffers. Each engine is measured in a child forked from this untouched process,
// so neither is charged for what the other already brought in.
void BM_PoseNetworkMemory(benchmark::State& state) {
    const auto engine = Engine(state.range(0));
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            double figures[2] = {-1.0, -1.0};
            const RgbImage frame = webcamFrame();
            const double before = residentMiB();
            auto detector = detectorOn(engine, 1);
            if (detector) {
                figures[0] = residentMiB() - before;
                for (int i = 0; i < 5; ++i) {
                    benchmark::DoNotOptimize(detector->detect(frame));
                }
                figures[1] = residentMiB() - before;
            }
            const bool written = write(channel[1], figures, sizeof figures) == sizeof figures;
            _exit(written ? 0 : 1);
        }
        close(channel[1]);
        double figures[2] = {-1.0, -1.0};
        const bool read = ::read(channel[0], figures, sizeof figures) == sizeof figures;
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!read || figures[0] < 0.0) {
            state.SkipWithError("pose model did not load");
            return;
        }
        state.counters["rss_load_MiB"] = figures[0];
        state.counters["rss_running_MiB"] = figures[1];
    }
}
// Registered first, while nothing in this process has touched either engine.
BENCHMARK(BM_PoseNetworkMemory)
    ->ArgName("engine")
    ->Arg(int(Engine::OpenCv))
    ->Arg(int(Engine::Xnnpack))
    ->Iterations(1);

// Both engines on the same frame, in turn (ABBA, so a drift in the machine's speed falls on
// both alike); the counters are each engine's median milliseconds per frame, by the wall clock
// and in CPU time of the calling thread (which a busy shared machine inflates less).
void BM_PoseEnginesAlternated(benchmark::State& state) {
    const int threads = int(state.range(0));
    auto opencv = detectorOn(Engine::OpenCv, threads);
    auto xnnpack = detectorOn(Engine::Xnnpack, threads);
    if (!opencv || !xnnpack) {
        state.SkipWithError("pose model did not load");
        return;
    }
    const RgbImage frame = webcamFrame();
    benchmark::DoNotOptimize(opencv->detect(frame));  // first runs allocate
    benchmark::DoNotOptimize(xnnpack->detect(frame));
    struct Times {
        std::vector<double> wall;
        std::vector<double> cpu;
    };
    Times opencvMs;
    Times xnnpackMs;
    const auto threadCpuMs = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    };
    const auto timed = [&](BlazePoseDetector& detector, Times& into) {
        const double cpuStart = threadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(detector.detect(frame));
        into.wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        into.cpu.push_back(threadCpuMs() - cpuStart);
    };
    for (auto _ : state) {
        timed(*opencv, opencvMs);
        timed(*xnnpack, xnnpackMs);
        timed(*xnnpack, xnnpackMs);
        timed(*opencv, opencvMs);
    }
    const auto median = [](std::vector<double> values) {
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    state.counters["opencv_ms"] = median(opencvMs.wall);
    state.counters["xnnpack_ms"] = median(xnnpackMs.wall);
    state.counters["opencv_cpu_ms"] = median(opencvMs.cpu);
    state.counters["xnnpack_cpu_ms"] = median(xnnpackMs.cpu);
}
BENCHMARK(BM_PoseEnginesAlternated)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The frame-to-canvas step on its own, to see whether it matters next to the network.
void BM_PoseCanvas(benchmark::State& state) {
    const RgbImage frame = webcamFrame();
    const cv::Mat rgb(frame.height, frame.width, CV_8UC3,
                      const_cast<char*>(frame.pixels.constData()));
    const cv::Matx23d toCanvas(0.4, 0.0, 0.0, 0.0, 0.4, 0.0);
    cv::Mat canvas;
    for (auto _ : state) {
        cv::warpAffine(rgb, canvas, toCanvas, cv::Size(256, 256));
        benchmark::DoNotOptimize(canvas.data);
    }
}
BENCHMARK(BM_PoseCanvas)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
