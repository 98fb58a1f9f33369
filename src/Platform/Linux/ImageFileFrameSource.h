#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <chrono>

#include "Platform/FrameSource.h"

// Plays one image file as a camera would, at a steady frame rate: for tests, demos and for
// measuring the posture pipeline without a webcam.
class ImageFileFrameSource final : public FrameSource {
public:
    ImageFileFrameSource(QString path, std::chrono::milliseconds frameInterval);

    void start(FrameSink& sink) override;
    void stop() override;

private:
    QString path_;
    QImage image_;
    QTimer timer_;
    FrameSink* sink_ = nullptr;
};
