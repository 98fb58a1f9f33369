#include "Platform/Linux/QtCameraFrameSource.h"

#include <unistd.h>

#include <QFile>
#include <QVideoFrame>
#include <algorithm>

#include "Platform/Linux/QImageFrame.h"

namespace {

constexpr QSize kSmallestUseful{320, 240};

// A video frame maps and converts only when the throttle keeps it.
class QtVideoFrame final : public VideoFrame {
public:
    explicit QtVideoFrame(const QVideoFrame& frame) : frame_(frame) {}
    std::optional<RgbImage> toRgbImage() const override {
        return QImageFrame::toRgb(frame_.toImage());
    }

private:
    QVideoFrame frame_;
};

qint64 area(QSize size) {
    return qint64(size.width()) * size.height();
}

}  // namespace

QtCameraFrameSource::QtCameraFrameSource() {
    session_.setVideoSink(&videoSink_);
    QObject::connect(&videoSink_, &QVideoSink::videoFrameChanged, &videoSink_,
                     [this](const QVideoFrame& frame) {
                         if (sink_ && started_ && frame.isValid()) {
                             sink_->frameArrived(QtVideoFrame(frame));
                         }
                     });
    QObject::connect(&devices_, &QMediaDevices::videoInputsChanged, &videoSink_, [this] {
        const QList<QCameraDevice> inputs = QMediaDevices::videoInputs();
        if (sink_ && !inputs.contains(device_)) {
            fail(FrameSourceFailure::cameraDisconnected);
        }
    });
}

QtCameraFrameSource::~QtCameraFrameSource() {
    stop();
}

std::optional<qsizetype> QtCameraFrameSource::chooseFormat(const QList<FormatOption>& formats) {
    const auto useful = [](const FormatOption& format) {
        return format.resolution.width() >= kSmallestUseful.width() &&
               format.resolution.height() >= kSmallestUseful.height();
    };
    const auto smallerOrSlower = [](const FormatOption& a, const FormatOption& b) {
        if (area(a.resolution) != area(b.resolution)) {
            return area(a.resolution) < area(b.resolution);
        }
        return a.maxFrameRate < b.maxFrameRate;
    };
    const bool anyUseful = std::any_of(formats.begin(), formats.end(), useful);
    std::optional<qsizetype> best;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const FormatOption& format = formats[i];
        if (anyUseful && !useful(format)) {
            continue;
        }
        // Among useful formats the smallest wins; when none is useful, the largest.
        if (!best || (anyUseful ? smallerOrSlower(format, formats[*best])
                                : smallerOrSlower(formats[*best], format))) {
            best = i;
        }
    }
    return best;
}

void QtCameraFrameSource::start(FrameSink& sink) {
    sink_ = &sink;
    device_ = QMediaDevices::defaultVideoInput();
    if (device_.isNull()) {
        fail(FrameSourceFailure::noCamera);
        return;
    }
    camera_ = std::make_unique<QCamera>(device_);
    const QList<QCameraFormat> formats = device_.videoFormats();
    QList<FormatOption> options;
    for (const QCameraFormat& format : formats) {
        options.push_back({format.resolution(), format.maxFrameRate()});
    }
    if (const std::optional<qsizetype> chosen = chooseFormat(options)) {
        camera_->setCameraFormat(formats[*chosen]);
    }
    QObject::connect(camera_.get(), &QCamera::activeChanged, &videoSink_, [this](bool active) {
        if (active && sink_ && !started_) {
            started_ = true;
            sink_->sourceStarted();
        }
    });
    QObject::connect(camera_.get(), &QCamera::errorOccurred, &videoSink_, [this] {
        fail(started_ ? FrameSourceFailure::cameraDisconnected : openFailure());
    });
    session_.setCamera(camera_.get());
    camera_->start();
}

void QtCameraFrameSource::stop() {
    sink_ = nullptr;
    started_ = false;
    if (camera_) {
        camera_->disconnect(&videoSink_);
        camera_->stop();
        session_.setCamera(nullptr);
        // stop() may be reached from one of the camera's own signals.
        camera_.release()->deleteLater();
    }
}

// A device node that is there but may not be opened means the user lacks the rights to it
// (not in the "video" group, or a sandbox); anything else is a camera that will not open.
FrameSourceFailure QtCameraFrameSource::openFailure() const {
    const QByteArray node = device_.id();
    if (node.startsWith("/dev/") && QFile::exists(QString::fromLocal8Bit(node)) &&
        ::access(node.constData(), R_OK | W_OK) != 0) {
        return FrameSourceFailure::accessRefused;
    }
    return FrameSourceFailure::noCamera;
}

void QtCameraFrameSource::fail(FrameSourceFailure failure) {
    FrameSink* sink = sink_;
    stop();
    if (sink) {
        sink->sourceFailed(failure);
    }
}
