#include "Platform/Linux/PoseGeometry.h"
#include "Platform/Linux/XnnpackLandmarkNetwork.h"
#include "Platform/VideoFrame.h"
#include "Support/TestPhotos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSize = PoseLandmarkNetwork::kInputSize;

double sigmoid(float logit) {
    return 1.0 / (1.0 + std::exp(-double(logit)));
}

// A test photograph on the network's canvas, placed as the detector places a frame.
PoseCanvas canvasOf(const QString& name, bool mirror) {
    const RgbImage frame = photoFrame(name, mirror);
    PoseCanvas canvas;
    if (frame.isValid()) {
        drawOnCanvas(frame, CanvasPlacement::forFrame(frame.width, frame.height, kSize), kSize,
                     canvas);
    }
    return canvas;
}

struct ExpectedAnswer {
    std::string photograph;
    bool mirrored = false;
    PoseLandmarks landmarks;
};

// The landmarks a reference engine gave on these canvases (see the data file's head).
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

TEST(PoseLandmarkNetwork, GivesTheReferenceLandmarksOnTheTestPhotographs) {
    const auto network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    ASSERT_NE(network, nullptr);
    const std::vector<ExpectedAnswer> answers = expectedAnswers();
    ASSERT_EQ(answers.size(), 6U);
    for (const ExpectedAnswer& expected : answers) {
        SCOPED_TRACE(expected.photograph + (expected.mirrored ? " mirrored" : ""));
        const PoseCanvas canvas =
            canvasOf(QString::fromStdString(expected.photograph), expected.mirrored);
        ASSERT_TRUE(canvas.isValid());
        const std::optional<PoseLandmarks> actual = network->run(canvas);
        ASSERT_TRUE(actual.has_value());
        // Compared as the network's users read them: positions and depth in canvas widths,
        // visibility and presence as probabilities.
        for (std::size_t i = 0; i < actual->values.size(); ++i) {
            const std::size_t component = i % PoseLandmarks::kValuesPerLandmark;
            const auto read = [&](float value) {
                return component < 3 ? double(value) / kSize : sigmoid(value);
            };
            EXPECT_NEAR(read(actual->values[i]), read(expected.landmarks.values[i]), 1e-3)
                << "landmark " << i / 5 << " value " << component;
        }
        EXPECT_NEAR(actual->personPresent, expected.landmarks.personPresent, 1e-3F);
    }
}

TEST(PoseLandmarkNetwork, CanvasHoldsTheFrameScaledAndCentredOnBlack) {
    // A portrait frame with red rising to the right and green downwards fills the canvas's
    // height, four canvas pixels to a frame pixel, centred across.
    RgbImage frame{32, 64, {}};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            frame.pixels.append(char(6 * x)).append(char(3 * y)).append(char(200));
        }
    }
    PoseCanvas canvas;
    drawOnCanvas(frame, CanvasPlacement::forFrame(frame.width, frame.height, kSize), kSize, canvas);
    ASSERT_TRUE(canvas.isValid());
    const auto at = [&](int x, int y, int channel) {
        return int(
            canvas.pixels[(std::size_t(y) * kSize + std::size_t(x)) * 3 + std::size_t(channel)]);
    };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            SCOPED_TRACE(testing::Message() << "canvas pixel " << x << ", " << y);
            const double frameX = (x - 64.0) / 4.0;
            const double frameY = y / 4.0;
            if (x <= 60 || x >= 192) {
                ASSERT_EQ(at(x, y, 0) + at(x, y, 1) + at(x, y, 2), 0);
            } else if (frameX >= 0.0 && frameX <= 31.0 && frameY >= 0.0 && frameY <= 63.0) {
                ASSERT_NEAR(at(x, y, 0), 6.0 * frameX, 1.0);
                ASSERT_NEAR(at(x, y, 1), 3.0 * frameY, 1.0);
                ASSERT_EQ(at(x, y, 2), 200);
            }
        }
    }
    // Within a frame pixel of its edge the black border blends in: 3/4 of a pixel out, 1/4 of
    // the colour is left.
    EXPECT_NEAR(at(61, 128, 2), 50, 1);
    EXPECT_NEAR(at(191, 128, 2), 50, 1);
}

TEST(PoseLandmarkNetwork, RefusesACanvasOfTheWrongSizeOrKind) {
    const auto network = XnnpackLandmarkNetwork::create(SPINDREL_POSE_MODEL, 1);
    ASSERT_NE(network, nullptr);
    const std::size_t small = kSize - 1;
    EXPECT_FALSE(network->run(PoseCanvas{kSize - 1, std::vector<std::uint8_t>(small * small * 3)}));
    // One byte a pixel.
    EXPECT_FALSE(
        network->run(PoseCanvas{kSize, std::vector<std::uint8_t>(std::size_t(kSize) * kSize)}));
    EXPECT_FALSE(network->run(PoseCanvas{}));
}

}  // namespace
