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

std::optional<QCameraFormat> QtCameraFrameSource::chooseFormat(
    const QList<QCameraFormat>& formats) {
    if (formats.isEmpty()) {
        return std::nullopt;
    }
    const auto useful = [](const QCameraFormat& format) {
        const QSize size = format.resolution();
        return size.width() >= kSmallestUseful.width() && size.height() >= kSmallestUseful.height();
    };
    const auto smallerOrSlower = [](const QCameraFormat& a, const QCameraFormat& b) {
        if (area(a.resolution()) != area(b.resolution())) {
            return area(a.resolution()) < area(b.resolution());
        }
        return a.maxFrameRate() < b.maxFrameRate();
    };
    if (std::any_of(formats.begin(), formats.end(), useful)) {
        std::optional<QCameraFormat> best;
        for (const QCameraFormat& format : formats) {
            if (useful(format) && (!best || smallerOrSlower(format, *best))) {
                best = format;
            }
        }
        return best;
    }
    return *std::max_element(formats.begin(), formats.end(), smallerOrSlower);
}

void QtCameraFrameSource::start(FrameSink& sink) {
    sink_ = &sink;
    device_ = QMediaDevices::defaultVideoInput();
    if (device_.isNull()) {
        fail(FrameSourceFailure::noCamera);
        return;
    }
    camera_ = std::make_unique<QCamera>(device_);
    if (const std::optional<QCameraFormat> format = chooseFormat(device_.videoFormats())) {
        camera_->setCameraFormat(*format);
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
