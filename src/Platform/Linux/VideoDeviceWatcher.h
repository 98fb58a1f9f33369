#pragma once

#include <QHash>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "Platform/CameraWatch.h"

// Where the video devices and the processes are; tests put stand-in device files in a folder
// of their own.
struct VideoDevicePlaces {
    QString deviceFolder = QStringLiteral("/dev");
    QString processFolder = QStringLiteral("/proc");
    QString namePrefix = QStringLiteral("video");
};

// Watches the video device nodes with inotify: every open and close of a /dev/video* node,
// and nodes that appear or go in /dev. On each such event it looks through /proc/*/fd for
// processes other than this one that hold a node open. It wakes only when a node is opened,
// closed, added or removed; between events it costs nothing.
class VideoDeviceWatcher final : public CameraWatch {
    Q_OBJECT

public:
    using Places = VideoDevicePlaces;

    explicit VideoDeviceWatcher(Places places = Places(), QObject* parent = nullptr);
    ~VideoDeviceWatcher() override;

    bool heldByOtherApp() const override { return heldByOther_; }
    // The device nodes now watched, as full paths, sorted.
    QStringList devices() const;
    // Whether inotify could be set up at all; without it nobody else is ever seen.
    bool isWatching() const { return inotify_ >= 0; }

private:
    void readEvents();
    void watchDevice(const QString& name);
    void forgetDevice(const QString& name);
    bool otherProcessHoldsADevice() const;
    void look();

    Places places_;
    int inotify_ = -1;
    int folderWatch_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QHash<int, QString> deviceWatches_;  // watch descriptor → device path
    bool heldByOther_ = false;
    // The opener's file descriptor is installed a moment after inotify reports the open: when
    // an open is not found at once, one more look follows shortly.
    QTimer secondLook_;
};
