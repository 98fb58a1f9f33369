#include "Platform/HeadTiltPoseDetector.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "Platform/FaceSymmetry.h"
#include "Platform/VideoFrame.h"

namespace {

// The second pass's square, in pixels; the network scales it to its own input.
constexpr int kCanvasSide = 512;
// The face window's radius in ear spacings: eyes, nose and mouth, not hair or background.
constexpr double kWindowPerEarSpacing = 0.4;

struct Pixel {
    double x = 0.0;
    double y = 0.0;  // down
};

// The run of frame pixels averaged into one canvas pixel along one axis.
struct Span {
    int first = 0;
    int end = 0;
};

std::vector<Span> spans(int canvasLength, int frameLength) {
    std::vector<Span> result(static_cast<std::size_t>(canvasLength));
    for (int i = 0; i < canvasLength; ++i) {
        Span& span = result[std::size_t(i)];
        span.first = i * frameLength / canvasLength;
        span.end = std::max(span.first + 1, (i + 1) * frameLength / canvasLength);
    }
    return result;
}

// The frame at the top of a square twice its longer side, shrunk to kCanvasSide; each canvas
// pixel is the mean of the frame pixels it covers, so fine detail does not alias. The pixels
// are drawn into `image`, whose buffer is reused from frame to frame.
struct HalfSizeCanvas {
    double scale = 1.0;  // canvas pixels per frame pixel
    double offsetX = 0.0;

    HalfSizeCanvas(const RgbImage& frame, RgbImage& image) {
        scale = kCanvasSide / (2.0 * std::max(frame.width, frame.height));
        const int width = std::max(1, int(std::lround(frame.width * scale)));
        const int height = std::max(1, int(std::lround(frame.height * scale)));
        offsetX = (kCanvasSide - width) / 2.0;
        image.width = kCanvasSide;
        image.height = kCanvasSide;
        image.pixels.resize(qsizetype(kCanvasSide) * kCanvasSide * 3);
        image.pixels.fill(char(0));
        const auto* source = reinterpret_cast<const unsigned char*>(frame.pixels.constData());
        auto* target = reinterpret_cast<unsigned char*>(image.pixels.data());
        const int left = int(offsetX);
        const std::vector<Span> columns = spans(width, frame.width);
        const std::vector<Span> rows = spans(height, frame.height);
        for (int row = 0; row < height; ++row) {
            const Span& rowSpan = rows[std::size_t(row)];
            unsigned char* out = target + (qsizetype(row) * kCanvasSide + left) * 3;
            for (const Span& column : columns) {
                unsigned sum[3] = {0, 0, 0};
                for (int y = rowSpan.first; y < rowSpan.end; ++y) {
                    const unsigned char* p =
                        source + (qsizetype(y) * frame.width + column.first) * 3;
                    for (int x = column.first; x < column.end; ++x, p += 3) {
                        sum[0] += p[0];
                        sum[1] += p[1];
                        sum[2] += p[2];
                    }
                }
                const auto count =
                    unsigned((rowSpan.end - rowSpan.first) * (column.end - column.first));
                for (const unsigned channel : sum) {
                    *out++ = static_cast<unsigned char>(channel / count);
                }
            }
        }
    }

    // A joint found on the canvas, in frame pixels.
    Pixel toFrame(const PoseJoint& joint) const {
        return {(joint.x * kCanvasSide - offsetX) / scale, (1.0 - joint.y) * kCanvasSide / scale};
    }
};

Pixel inPixels(const PoseJoint& joint, const RgbImage& frame) {
    return {joint.x * frame.width, (1.0 - joint.y) * frame.height};
}

PoseJoint normalised(Pixel pixel, float confidence, const RgbImage& frame) {
    return {pixel.x / frame.width, 1.0 - pixel.y / frame.height, confidence};
}

}  // namespace

HeadTiltPoseDetector::HeadTiltPoseDetector(std::unique_ptr<PoseDetector> network)
    : network_(std::move(network)) {}

std::optional<BodyJoints> HeadTiltPoseDetector::detect(const RgbImage& frame) {
    std::optional<BodyJoints> body = network_->detect(frame);
    if (!body) {
        return body;
    }
    // The face as the half-size pass places it; when that pass finds nobody, as the first did.
    const HalfSizeCanvas canvas(frame, halfSize_);
    const std::optional<BodyJoints> head = network_->detect(halfSize_);
    const auto face = [&](const PoseJoint& joint) {
        return head ? canvas.toFrame(joint) : inPixels(joint, frame);
    };
    const BodyJoints& faceJoints = head ? *head : *body;
    const Pixel nose = face(faceJoints.nose);
    const Pixel leftEar = face(faceJoints.leftEar);
    const Pixel rightEar = face(faceJoints.rightEar);
    const double earSpacing = std::hypot(rightEar.x - leftEar.x, rightEar.y - leftEar.y);
    const std::optional<double> roll = FaceSymmetry::rollDegrees(
        frame, FaceWindow{nose.x, nose.y, kWindowPerEarSpacing * earSpacing});
    if (!roll) {
        return body;
    }
    // The first pass's ears keep their midpoint and spacing; only their line turns.
    const Pixel left = inPixels(body->leftEar, frame);
    const Pixel right = inPixels(body->rightEar, frame);
    const Pixel middle{(left.x + right.x) / 2.0, (left.y + right.y) / 2.0};
    const double half = std::hypot(right.x - left.x, right.y - left.y) / 2.0;
    const double radians = *roll * std::numbers::pi / 180.0;
    const double alongX = half * std::cos(radians);
    const double alongY = -half * std::sin(radians);  // counter-clockwise on screen: y goes up
    body->leftEar =
        normalised({middle.x - alongX, middle.y - alongY}, body->leftEar.confidence, frame);
    body->rightEar =
        normalised({middle.x + alongX, middle.y + alongY}, body->rightEar.confidence, frame);
    return body;
}
