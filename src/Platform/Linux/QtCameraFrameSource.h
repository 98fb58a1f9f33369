#pragma once

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoSink>
#include <memory>
#include <optional>

#include "Platform/FrameSource.h"

// The desktop's default webcam through Qt Multimedia, opened in its smallest format that still
// gives the pose network a useful picture, at the lowest frame rate it offers.
class QtCameraFrameSource final : public FrameSource {
public:
    QtCameraFrameSource();
    ~QtCameraFrameSource() override;

    void start(FrameSink& sink) override;
    void stop() override;

    struct FormatOption {
        QSize resolution;
        float maxFrameRate = 0.0F;
    };
    // Which format to ask for: the smallest at least 320×240, the slowest of equals; the
    // largest when every one is smaller. None for a device that lists no formats.
    static std::optional<qsizetype> chooseFormat(const QList<FormatOption>& formats);

private:
    void fail(FrameSourceFailure failure);
    FrameSourceFailure openFailure() const;

    QMediaDevices devices_;
    QCameraDevice device_;
    std::unique_ptr<QCamera> camera_;
    QMediaCaptureSession session_;
    QVideoSink videoSink_;
    FrameSink* sink_ = nullptr;
    bool started_ = false;
};
