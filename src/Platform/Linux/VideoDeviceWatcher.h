#pragma once

#include <QHash>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <map>
#include <memory>

#include "Platform/CameraWatch.h"

// Where the video devices and the processes are; tests put stand-in device files in a folder
// of their own.
struct VideoDevicePlaces {
    QString deviceFolder = QStringLiteral("/dev");
    QString processFolder = QStringLiteral("/proc");
    QString namePrefix = QStringLiteral("video");
    // How long a process that opened a device counts as taking the camera before it streams
    // from it. Browsers open every camera to list them, and PipeWire keeps them open between
    // uses; only one that goes on to stream (maps the device's buffers) holds it after that.
    std::chrono::milliseconds startingToStream{10'000};
};

// Watches the video device nodes with inotify: every open and close of a /dev/video* node,
// and nodes that appear or go in /dev. On each such event it looks through /proc/*/fd for
// processes other than this one that have a node open, and in their /proc/*/maps for the
// ones that stream from it. Another app holds the camera from its open on, for as long as it
// streams. It wakes only when a node is opened, closed, added or removed, and once after an
// open that is not followed by streaming; between events it costs nothing.
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
    // Other processes that have a device open, each with whether it streams from one.
    std::map<int, bool> otherHolders() const;
    void look();

    Places places_;
    int inotify_ = -1;
    int folderWatch_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QHash<int, QString> deviceWatches_;  // watch descriptor → device path
    bool heldByOther_ = false;
    // When each other holder was first seen; those there before the watch began count only
    // while they stream.
    std::map<int, std::chrono::steady_clock::time_point> firstSeen_;
    QTimer streamingDue_;
    // The opener's file descriptor is installed a moment after inotify reports the open: when
    // an open is not found at once, one more look follows shortly.
    QTimer secondLook_;
};
