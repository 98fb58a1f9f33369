#include "Platform/Linux/ImageFileFrameSource.h"

#include "Platform/Linux/QImageFrame.h"

ImageFileFrameSource::ImageFileFrameSource(QString path, std::chrono::milliseconds frameInterval)
    : path_(std::move(path)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(frameInterval);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (sink_) {
            sink_->frameArrived(QImageFrame(image_));
        }
    });
}

void ImageFileFrameSource::start(FrameSink& sink) {
    image_ = QImage(path_);
    if (image_.isNull()) {
        sink.sourceFailed(FrameSourceFailure::noCamera);
        return;
    }
    sink_ = &sink;
    timer_.start();
    sink.sourceStarted();
}

void ImageFileFrameSource::stop() {
    timer_.stop();
    sink_ = nullptr;
}
