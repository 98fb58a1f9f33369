#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Models/PostureGeometry.h"
#include "Platform/HeadTiltPoseDetector.h"
#include "Platform/VideoFrame.h"
#include "Support/DrawnFace.h"

namespace {

// A network that answers the frame and the second pass's larger square (told apart by size)
// with joints given in advance, as the real one would place them on the drawn face.
class ScriptedNetwork : public PoseDetector {
public:
    std::optional<BodyJoints> onFrame;
    std::optional<BodyJoints> onSquare;
    int calls = 0;

    std::optional<BodyJoints> detect(const RgbImage& frame) override {
        ++calls;
        return frame.width == kFaceFrameSide ? onFrame : onSquare;
    }
};

BodyJoints joints(PoseJoint nose, PoseJoint leftEar, PoseJoint rightEar) {
    BodyJoints body;
    body.nose = nose;
    body.leftEar = leftEar;
    body.rightEar = rightEar;
    body.leftShoulder = {0.2, 0.1, 0.9F};
    body.rightShoulder = {0.8, 0.1, 0.9F};
    body.neck = {0.45, 0.3, 0.9F};
    return body;
}

// The first pass has the ears level, 80 px apart, centred at (100, 90) px.
const BodyJoints kFirstPass = joints({0.5, 0.5, 0.9F}, {0.3, 0.55, 0.8F}, {0.7, 0.55, 0.7F});
// The face on the second pass's square: the 200-px frame sits at its top, 256 px wide and
// centred, so the face centre lands at (256, 128) of 512 px and 100 frame px span 128.
const BodyJoints kSecondPass = joints({0.5, 0.75, 0.9F}, {0.375, 0.75, 0.9F}, {0.625, 0.75, 0.9F});

struct Outcome {
    std::optional<BodyJoints> body;
    int calls = 0;
};

Outcome detect(const RgbImage& frame, std::optional<BodyJoints> first,
               std::optional<BodyJoints> second) {
    auto network = std::make_unique<ScriptedNetwork>();
    network->onFrame = first;
    network->onSquare = second;
    ScriptedNetwork& seen = *network;
    HeadTiltPoseDetector detector(std::move(network));
    Outcome run;
    run.body = detector.detect(frame);
    run.calls = seen.calls;
    return run;
}

double earLineDegrees(const BodyJoints& body) {
    return PostureGeometry::directionDegrees({body.leftEar.x, body.leftEar.y},
                                             {body.rightEar.x, body.rightEar.y});
}

TEST(HeadTiltPoseDetector, SetsTheEarLineToTheFacesRollAndKeepsTheRestOfTheBody) {
    for (const bool secondPassFindsTheFace : {true, false}) {
        SCOPED_TRACE(secondPassFindsTheFace);
        const Outcome run =
            detect(drawnFace(12.0), kFirstPass,
                   secondPassFindsTheFace ? std::optional(kSecondPass) : std::nullopt);
        ASSERT_TRUE(run.body);
        EXPECT_EQ(run.calls, 2);
        const BodyJoints& body = *run.body;
        EXPECT_NEAR(earLineDegrees(body), 12.0, 1.0);
        // Midpoint and spacing as the first pass had them, in pixels; confidences unchanged.
        EXPECT_NEAR((body.leftEar.x + body.rightEar.x) / 2.0, 0.5, 1e-9);
        EXPECT_NEAR((body.leftEar.y + body.rightEar.y) / 2.0, 0.55, 1e-9);
        EXPECT_NEAR(std::hypot((body.rightEar.x - body.leftEar.x) * kFaceFrameSide,
                               (body.rightEar.y - body.leftEar.y) * kFaceFrameSide),
                    80.0, 1e-9);
        EXPECT_EQ(body.leftEar.confidence, 0.8F);
        EXPECT_EQ(body.rightEar.confidence, 0.7F);
        EXPECT_EQ(body.nose.x, kFirstPass.nose.x);
        EXPECT_EQ(body.leftShoulder.x, kFirstPass.leftShoulder.x);
        EXPECT_EQ(body.neck.y, kFirstPass.neck.y);
    }
}

TEST(HeadTiltPoseDetector, KeepsTheNetworksEarsWhereNoFaceShowsAndLooksNoFurtherForNobody) {
    const RgbImage wall{kFaceFrameSide, kFaceFrameSide,
                        QByteArray(kFaceFrameSide * kFaceFrameSide * 3, char(90))};
    const Outcome plain = detect(wall, kFirstPass, kSecondPass);
    ASSERT_TRUE(plain.body);
    EXPECT_EQ(plain.body->leftEar.y, kFirstPass.leftEar.y);
    EXPECT_EQ(plain.body->rightEar.x, kFirstPass.rightEar.x);

    const Outcome nobody = detect(drawnFace(12.0), std::nullopt, kSecondPass);
    EXPECT_FALSE(nobody.body);
    EXPECT_EQ(nobody.calls, 1);
}

}  // namespace
