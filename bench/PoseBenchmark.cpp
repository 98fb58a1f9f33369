#include "Platform/FaceSymmetry.h"
#include "Platform/HeadTiltPoseDetector.h"
#include "Platform/Linux/BlazePoseDetector.h"
#include "Platform/Linux/PoseCanvas.h"
#include "Platform/Linux/PoseGeometry.h"
#include "Platform/Linux/QImageFrame.h"
#include "Platform/Linux/XnnpackLandmarkNetwork.h"
#include "Platform/VideoFrame.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <fstream>
#include <string>

namespace {

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

// Memory the detector costs the process: once loaded, and once it has run a few frames and
// holds its working buffers. Measured in a child forked from this process before anything in it
// has touched the network, so the figure is what posture tracking adds.
void BM_PoseNetworkMemory(benchmark::State& state) {
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
            auto detector = BlazePoseDetector::create(SPINDREL_POSE_MODEL, 1);
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
BENCHMARK(BM_PoseNetworkMemory)->Iterations(1);

void BM_PoseDetect(benchmark::State& state) {
    auto detector = BlazePoseDetector::create(SPINDREL_POSE_MODEL, int(state.range(0)));
    if (!detector) {
        state.SkipWithError("pose model did not load");
        return;
    }
    const RgbImage frame = webcamFrame();
    benchmark::DoNotOptimize(detector->detect(frame));  // the first run touches the buffers
    for (auto _ : state) {
        benchmark::DoNotOptimize(detector->detect(frame));
    }
}
// Real time per frame, and CPU time per frame (which a busy shared machine inflates less).
BENCHMARK(BM_PoseDetect)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The whole posture pass: the network on the frame, again on the frame at half size, and the
// face's mirror-symmetry search. Its cost over BM_PoseDetect is what the head tilt adds.
void BM_PoseDetectWithHeadTilt(benchmark::State& state) {
    auto network = BlazePoseDetector::create(SPINDREL_POSE_MODEL, int(state.range(0)));
    if (!network) {
        state.SkipWithError("pose model did not load");
        return;
    }
    HeadTiltPoseDetector detector(std::move(network));
    const QImage photo = QImage(QStringLiteral(SPINDREL_TEST_DATA_DIR "/astronaut.png"))
                             .convertToFormat(QImage::Format_RGB888);
    const RgbImage frame = QImageFrame::toRgb(photo).value_or(RgbImage{});
    if (!detector.detect(frame)) {
        state.SkipWithError("nobody found in the photograph");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(detector.detect(frame));
    }
}
BENCHMARK(BM_PoseDetectWithHeadTilt)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The face's mirror-symmetry search on its own.
void BM_FaceSymmetry(benchmark::State& state) {
    const RgbImage frame = webcamFrame();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FaceSymmetry::rollDegrees(frame, FaceWindow{320, 200, 40}));
    }
}
BENCHMARK(BM_FaceSymmetry)->Unit(benchmark::kMillisecond);

// The frame-to-canvas step on its own, to see whether it matters next to the network.
void BM_PoseCanvas(benchmark::State& state) {
    const RgbImage frame = webcamFrame();
    const CanvasPlacement placement =
        CanvasPlacement::forFrame(frame.width, frame.height, PoseLandmarkNetwork::kInputSize);
    PoseCanvas canvas;
    for (auto _ : state) {
        drawOnCanvas(frame, placement, PoseLandmarkNetwork::kInputSize, canvas);
        benchmark::DoNotOptimize(canvas.pixels.data());
    }
}
BENCHMARK(BM_PoseCanvas)->Unit(benchmark::kMicrosecond);

// The network alone on a prepared canvas: BM_PoseDetect less this is the detector's own share.
void BM_PoseNetwork(benchmark::State& state) {
    const auto network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    if (!network) {
        state.SkipWithError("pose model did not load");
        return;
    }
    const RgbImage frame = webcamFrame();
    PoseCanvas canvas;
    drawOnCanvas(
        frame,
        CanvasPlacement::forFrame(frame.width, frame.height, PoseLandmarkNetwork::kInputSize),
        PoseLandmarkNetwork::kInputSize, canvas);
    for (auto _ : state) {
        benchmark::DoNotOptimize(network->run(canvas));
    }
}
BENCHMARK(BM_PoseNetwork)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
