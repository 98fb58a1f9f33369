#include "Platform/Linux/OpenCvLandmarkNetwork.h"
#include "Platform/Linux/PoseGeometry.h"
#include "Platform/Linux/XnnpackLandmarkNetwork.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kSize = PoseLandmarkNetwork::kInputSize;

double sigmoid(float logit) {
    return 1.0 / (1.0 + std::exp(-double(logit)));
}

// A test photograph on the network's canvas, placed as the detector places a frame.
cv::Mat canvasOf(const QString& name, bool mirror) {
    const QImage image = QImage(QStringLiteral(SPINDREL_TEST_DATA_DIR "/") + name)
                             .convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) {
        return {};
    }
    const cv::Mat rgb(image.height(), image.width(), CV_8UC3, const_cast<uchar*>(image.constBits()),
                      std::size_t(image.bytesPerLine()));
    cv::Mat frame = rgb.clone();
    if (mirror) {
        cv::flip(frame, frame, 1);
    }
    const CanvasPlacement placement = CanvasPlacement::forFrame(frame.cols, frame.rows, kSize);
    const cv::Matx23d toCanvas(placement.scale, 0.0, placement.offsetX, 0.0, placement.scale,
                               placement.offsetY);
    cv::Mat canvas;
    cv::warpAffine(frame, canvas, toCanvas, cv::Size(kSize, kSize), cv::INTER_LINEAR,
                   cv::BORDER_CONSTANT, cv::Scalar::all(0));
    return canvas;
}

TEST(PoseLandmarkNetwork, XnnpackGivesOpenCvsLandmarksOnTheTestPhotographs) {
    const auto reference = OpenCvLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    const auto network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    ASSERT_NE(reference, nullptr);
    ASSERT_NE(network, nullptr);
    for (const char* name : {"astronaut.png", "camera.png", "rocket.jpg"}) {
        for (const bool mirror : {false, true}) {
            SCOPED_TRACE(std::string(name) + (mirror ? " mirrored" : ""));
            const cv::Mat canvas = canvasOf(QString::fromLatin1(name), mirror);
            ASSERT_FALSE(canvas.empty());
            const std::optional<PoseLandmarks> expected = reference->run(canvas);
            const std::optional<PoseLandmarks> actual = network->run(canvas);
            ASSERT_TRUE(expected.has_value());
            ASSERT_TRUE(actual.has_value());
            // Compared as the network's users read them: positions and depth in canvas widths,
            // visibility and presence as probabilities.
            std::array<double, PoseLandmarks::kValuesPerLandmark> largest{};
            for (std::size_t i = 0; i < expected->values.size(); ++i) {
                const std::size_t component = i % PoseLandmarks::kValuesPerLandmark;
                const auto read = [&](float value) {
                    return component < 3 ? double(value) / kSize : sigmoid(value);
                };
                const double difference =
                    std::abs(read(actual->values[i]) - read(expected->values[i]));
                EXPECT_LT(difference, 1e-3) << "landmark " << i / 5 << " value " << component;
                largest[component] = std::max(largest[component], difference);
            }
            EXPECT_NEAR(actual->personPresent, expected->personPresent, 1e-3F);
            std::printf(
                "%s%s: largest differences x %.1e, y %.1e, z %.1e, visibility %.1e, "
                "presence %.1e; person present %.1e\n",
                name, mirror ? " mirrored" : "", largest[0], largest[1], largest[2], largest[3],
                largest[4], double(std::abs(actual->personPresent - expected->personPresent)));
        }
    }
}

TEST(PoseLandmarkNetwork, RefusesACanvasOfTheWrongSizeOrKind) {
    const auto network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    ASSERT_NE(network, nullptr);
    EXPECT_FALSE(network->run(cv::Mat(kSize, kSize - 1, CV_8UC3, cv::Scalar::all(0))));
    EXPECT_FALSE(network->run(cv::Mat(kSize, kSize, CV_8UC1, cv::Scalar::all(0))));
    EXPECT_FALSE(network->run(cv::Mat()));
}

}  // namespace
