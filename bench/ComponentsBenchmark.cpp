#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include "ComponentGallery.h"
#include "Components/AccessibilityPreferences.h"

namespace {

// One full paint of a dashboard-like window, after the first (which fills the caches).
void BM_PaintWindow(benchmark::State& state) {
    const auto ratio = static_cast<qreal>(state.range(0));
    AccessibilityPreferences motion;
    const std::unique_ptr<QWidget> window = makeComponentGallery(motion);
    window->show();
    QCoreApplication::processEvents();
    QImage image(window->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    window->render(&image);
    for (auto _ : state) {
        window->update();
        window->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintWindow)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
