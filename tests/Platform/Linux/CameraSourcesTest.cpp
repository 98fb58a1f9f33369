#include <gtest/gtest.h>

#include <QImage>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <vector>

#include "Platform/Linux/ImageFileFrameSource.h"
#include "Platform/Linux/QtCameraFrameSource.h"
#include "Platform/VideoFrame.h"
#include "Support/PostureBodies.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

class RecordingSink final : public FrameSink {
public:
    void sourceStarted() override { started = true; }
    void frameArrived(const VideoFrame& frame) override {
        ++frames;
        if (!first) {
            first = frame.toRgbImage();
        }
    }
    void sourceFailed(FrameSourceFailure why) override { failure = why; }

    bool started = false;
    int frames = 0;
    std::optional<RgbImage> first;
    std::optional<FrameSourceFailure> failure;
};

}  // namespace

TEST(ImageFileFrameSource, PlaysTheImageAsASteadyStreamOfPackedRgbFramesOrHasNoCamera) {
    QTemporaryDir folder;
    // An odd width, so that QImage's padded rows must be packed.
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(4, 2, QColor(200, 100, 50));
    const QString path = folder.filePath(u"still.png"_s);
    ASSERT_TRUE(image.save(path));

    ImageFileFrameSource source(path, 20ms);
    RecordingSink sink;
    source.start(sink);
    EXPECT_TRUE(sink.started);
    ASSERT_TRUE(waitUntil([&] { return sink.frames >= 5; }));
    source.stop();
    const int stoppedAt = sink.frames;
    QElapsedTimer pause;
    pause.start();
    waitUntil([&] { return pause.elapsed() > 100; });
    EXPECT_EQ(sink.frames, stoppedAt);

    ASSERT_TRUE(sink.first && sink.first->isValid());
    EXPECT_EQ(sink.first->width, 5);
    EXPECT_EQ(sink.first->height, 3);
    const QByteArray& pixels = sink.first->pixels;
    EXPECT_EQ(pixels.mid(0, 3), QByteArray("\x0a\x14\x1e"));
    EXPECT_EQ(pixels.mid((2 * 5 + 4) * 3, 3), QByteArray("\xc8\x64\x32"));

    // A missing file is no camera.
    ImageFileFrameSource missing(u"/nonexistent/still.png"_s, 20ms);
    RecordingSink nothing;
    missing.start(nothing);
    EXPECT_EQ(nothing.failure, FrameSourceFailure::noCamera);
    EXPECT_FALSE(nothing.started);
}

TEST(QtCameraFrameSource, WithoutAWebcamItReportsNoCamera) {
    if (!QMediaDevices::videoInputs().isEmpty()) {
        GTEST_SKIP() << "this machine has a webcam";
    }
    QtCameraFrameSource source;
    RecordingSink sink;
    source.start(sink);
    ASSERT_TRUE(waitUntil([&] { return sink.failure.has_value(); }));
    EXPECT_EQ(sink.failure, FrameSourceFailure::noCamera);
    EXPECT_FALSE(sink.started);
}

TEST(QtCameraFrameSource, ChoosesTheSmallestUsefulFormatAtTheLowestRate) {
    using Option = QtCameraFrameSource::FormatOption;
    const QList<Option> typical = {
        {{1280, 720}, 30}, {{640, 480}, 30}, {{320, 240}, 30}, {{320, 240}, 15}, {{160, 120}, 30}};
    EXPECT_EQ(QtCameraFrameSource::chooseFormat(typical), 3);
    const QList<Option> allTiny = {{{160, 120}, 30}, {{176, 144}, 30}, {{80, 60}, 5}};
    EXPECT_EQ(QtCameraFrameSource::chooseFormat(allTiny), 1);
    const QList<Option> narrowButTall = {{{240, 320}, 30}, {{640, 360}, 60}};
    EXPECT_EQ(QtCameraFrameSource::chooseFormat(narrowButTall), 1);
    EXPECT_EQ(QtCameraFrameSource::chooseFormat({}), std::nullopt);
}
