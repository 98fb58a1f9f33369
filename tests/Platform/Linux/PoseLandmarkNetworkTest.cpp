#include "Platform/Linux/PoseGeometry.h"
#include "Platform/Linux/XnnpackLandmarkNetwork.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <opencv2/imgproc.hpp>
#include <sstream>
#include <string>
#include <vector>

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

struct ExpectedAnswer {
    std::string photograph;
    bool mirrored = false;
    PoseLandmarks landmarks;
};

// The landmarks OpenCV's DNN module gave on these canvases (see the data file's head).
std::vector<ExpectedAnswer> expectedAnswers() {
    std::vector<ExpectedAnswer> answers;
    std::ifstream file(SPINDREL_TEST_DATA_DIR "/pose-landmarks-expected.txt");
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::istringstream fields(line);
        ExpectedAnswer answer;
        std::string orientation;
        fields >> answer.photograph >> orientation >> answer.landmarks.personPresent;
        answer.mirrored = orientation == "mirrored";
        for (float& value : answer.landmarks.values) {
            fields >> value;
        }
        if (fields) {
            answers.push_back(answer);
        }
    }
    return answers;
}

TEST(PoseLandmarkNetwork, GivesTheLandmarksOpenCvGaveOnTheTestPhotographs) {
    const auto network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    ASSERT_NE(network, nullptr);
    const std::vector<ExpectedAnswer> answers = expectedAnswers();
    ASSERT_EQ(answers.size(), 6U);
    for (const ExpectedAnswer& expected : answers) {
        SCOPED_TRACE(expected.photograph + (expected.mirrored ? " mirrored" : ""));
        const cv::Mat canvas =
            canvasOf(QString::fromStdString(expected.photograph), expected.mirrored);
        ASSERT_FALSE(canvas.empty());
        const std::optional<PoseLandmarks> actual = network->run(canvas);
        ASSERT_TRUE(actual.has_value());
        // Compared as the network's users read them: positions and depth in canvas widths,
        // visibility and presence as probabilities.
        std::array<double, PoseLandmarks::kValuesPerLandmark> largest{};
        for (std::size_t i = 0; i < actual->values.size(); ++i) {
            const std::size_t component = i % PoseLandmarks::kValuesPerLandmark;
            const auto read = [&](float value) {
                return component < 3 ? double(value) / kSize : sigmoid(value);
            };
            const double difference =
                std::abs(read(actual->values[i]) - read(expected.landmarks.values[i]));
            EXPECT_LT(difference, 1e-3) << "landmark " << i / 5 << " value " << component;
            largest[component] = std::max(largest[component], difference);
        }
        EXPECT_NEAR(actual->personPresent, expected.landmarks.personPresent, 1e-3F);
        std::printf(
            "%s%s: largest differences x %.1e, y %.1e, z %.1e, visibility %.1e, "
            "presence %.1e; person present %.1e\n",
            expected.photograph.c_str(), expected.mirrored ? " mirrored" : "", largest[0],
            largest[1], largest[2], largest[3], largest[4],
            double(std::abs(actual->personPresent - expected.landmarks.personPresent)));
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
