#include "Platform/Linux/VideoDeviceWatcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr uint32_t kDeviceEvents = IN_OPEN | IN_CLOSE;
constexpr uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

bool isProcessId(const char* name) {
    if (*name == '\0') {
        return false;
    }
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
    }
    return true;
}

// Closes a directory stream however the scan leaves it.
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Directory = std::unique_ptr<DIR, DirCloser>;

// The folder open at `fd` as a directory stream, which then owns the descriptor; none, with
// the descriptor closed, when the folder cannot be read.
Directory directoryAt(int fd) {
    if (fd < 0) {
        return nullptr;
    }
    Directory directory(::fdopendir(fd));
    if (!directory) {
        ::close(fd);
    }
    return directory;
}

// Whether one process has one of the paths open, from the links in its fd folder. A process
// of another user cannot be read and so holds nothing as far as this can tell.
bool holdsAny(int processFolder, const char* pid, const std::vector<std::string>& paths) {
    const std::string fdFolder = std::string(pid) + "/fd";
    const Directory entries =
        directoryAt(::openat(processFolder, fdFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!entries) {
        return false;
    }
    std::array<char, 4096> target{};
    while (const dirent* entry = ::readdir(entries.get())) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const ssize_t length =
            ::readlinkat(::dirfd(entries.get()), entry->d_name, target.data(), target.size());
        if (length <= 0 || static_cast<size_t>(length) >= target.size()) {
            continue;
        }
        const std::string_view link(target.data(), static_cast<size_t>(length));
        if (std::any_of(paths.begin(), paths.end(),
                        [link](const std::string& path) { return link == path; })) {
            return true;
        }
    }
    return false;
}

// Whether one process has one of the paths mapped: a V4L2 stream maps the device's buffers
// into the streaming process, and a process that merely opened the device has none.
bool mapsAny(int processFolder, const char* pid, const std::vector<std::string>& paths) {
    const std::string mapsFile = std::string(pid) + "/maps";
    const int maps = ::openat(processFolder, mapsFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (maps < 0) {
        return false;
    }
    std::string text;
    std::array<char, 16384> chunk{};
    ssize_t got = 0;
    while ((got = ::read(maps, chunk.data(), chunk.size())) > 0) {
        text.append(chunk.data(), static_cast<size_t>(got));
    }
    ::close(maps);
    return std::any_of(paths.begin(), paths.end(), [&text](const std::string& path) {
        // Each mapping's line ends in its file's path.
        return text.find(" " + path + "\n") != std::string::npos;
    });
}

}  // namespace

VideoDeviceWatcher::VideoDeviceWatcher(Places places, QObject* parent)
    : CameraWatch(parent), places_(std::move(places)) {
    secondLook_.setSingleShot(true);
    secondLook_.setInterval(100ms);
    connect(&secondLook_, &QTimer::timeout, this, &VideoDeviceWatcher::look);
    streamingDue_.setSingleShot(true);
    connect(&streamingDue_, &QTimer::timeout, this, &VideoDeviceWatcher::look);

    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) {
        qWarning("Spindrel: cannot watch the video devices: %s", std::strerror(errno));
        return;
    }
    folderWatch_ = ::inotify_add_watch(
        inotify_, QFile::encodeName(places_.deviceFolder).constData(), kFolderEvents);
    const QStringList present =
        QDir(places_.deviceFolder)
            .entryList({places_.namePrefix + u'*'}, QDir::System | QDir::Files);
    for (const QString& name : present) {
        watchDevice(name);
    }
    notifier_ = std::make_unique<QSocketNotifier>(inotify_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &VideoDeviceWatcher::readEvents);
    // Whoever had a device open before the watch began did not just open it.
    for (const auto& [pid, streams] : otherHolders()) {
        firstSeen_.emplace(pid, std::chrono::steady_clock::time_point::min());
        heldByOther_ = heldByOther_ || streams;
    }
}

VideoDeviceWatcher::~VideoDeviceWatcher() {
    notifier_.reset();
    if (inotify_ >= 0) {
        ::close(inotify_);
    }
}

QStringList VideoDeviceWatcher::devices() const {
    QStringList paths = deviceWatches_.values();
    paths.sort();
    return paths;
}

void VideoDeviceWatcher::watchDevice(const QString& name) {
    const QString path = QDir(places_.deviceFolder).filePath(name);
    const int watch =
        ::inotify_add_watch(inotify_, QFile::encodeName(path).constData(), kDeviceEvents);
    // A node the user may not read cannot be watched; it cannot be used either.
    if (watch >= 0) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        deviceWatches_.insert(watch, canonical.isEmpty() ? path : canonical);
    }
}

void VideoDeviceWatcher::forgetDevice(const QString& name) {
    const QString path = QDir(places_.deviceFolder).filePath(name);
    for (auto it = deviceWatches_.begin(); it != deviceWatches_.end();) {
        if (QFileInfo(it.value()).fileName() == name || it.value() == path) {
            ::inotify_rm_watch(inotify_, it.key());
            it = deviceWatches_.erase(it);
        } else {
            ++it;
        }
    }
}

void VideoDeviceWatcher::readEvents() {
    alignas(inotify_event) std::array<char, 4096> buffer{};
    bool devicesChanged = false;
    bool opened = false;
    for (;;) {
        const ssize_t length = ::read(inotify_, buffer.data(), buffer.size());
        if (length <= 0) {
            break;  // EAGAIN: all read
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                opened = true;
                continue;
            }
            if (event->wd == folderWatch_) {
                const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
                if (!name.startsWith(places_.namePrefix)) {
                    continue;
                }
                if (event->mask & (IN_CREATE | IN_MOVED_TO)) {
                    watchDevice(name);
                    devicesChanged = true;
                } else if (event->mask & (IN_DELETE | IN_MOVED_FROM)) {
                    forgetDevice(name);
                    devicesChanged = true;
                }
                continue;
            }
            if (event->mask & IN_IGNORED) {
                deviceWatches_.remove(event->wd);
            }
            if (event->mask & IN_OPEN) {
                opened = true;
            }
        }
    }
    look();
    if (opened && !heldByOther_) {
        secondLook_.start();
    }
    if (devicesChanged) {
        emit this->devicesChanged();
    }
}

void VideoDeviceWatcher::look() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point now = Clock::now();
    const std::map<int, bool> holders = otherHolders();
    std::map<int, Clock::time_point> seen;
    bool held = false;
    std::optional<Clock::time_point> nextDue;
    for (const auto& [pid, streams] : holders) {
        const auto known = firstSeen_.find(pid);
        const Clock::time_point first = known != firstSeen_.end() ? known->second : now;
        seen.emplace(pid, first);
        const Clock::time_point due = first + places_.startingToStream;
        if (streams || due > now) {
            held = true;
        }
        if (!streams && due > now && (!nextDue || due < *nextDue)) {
            nextDue = due;
        }
    }
    firstSeen_ = std::move(seen);
    if (nextDue) {
        streamingDue_.start(std::chrono::ceil<std::chrono::milliseconds>(*nextDue - now) +
                            std::chrono::milliseconds{1});
    }
    if (held != heldByOther_) {
        heldByOther_ = held;
        emit heldByOtherAppChanged();
    }
}

std::map<int, bool> VideoDeviceWatcher::otherHolders() const {
    std::map<int, bool> holders;
    if (deviceWatches_.isEmpty()) {
        return holders;
    }
    std::vector<std::string> paths;
    for (const QString& path : deviceWatches_) {
        paths.push_back(QFile::encodeName(path).toStdString());
    }
    const Directory entries = directoryAt(::open(
        QFile::encodeName(places_.processFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!entries) {
        return holders;
    }
    const std::string self = std::to_string(::getpid());
    const int folder = ::dirfd(entries.get());
    while (const dirent* entry = ::readdir(entries.get())) {
        if (isProcessId(entry->d_name) && self != entry->d_name &&
            holdsAny(folder, entry->d_name, paths)) {
            holders.emplace(std::atoi(entry->d_name), mapsAny(folder, entry->d_name, paths));
        }
    }
    return holders;
}
