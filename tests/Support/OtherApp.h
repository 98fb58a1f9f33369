#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <cstdint>
#include <utility>

inline std::int64_t monotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Another app on the webcam: a child process that opens the device node and holds it until
// told to let go; one that streams also maps it, as a V4L2 stream maps the device's buffers.
// It reports the moment just before its open.
class OtherApp {
public:
    enum class Use { lists, streams };

    explicit OtherApp(const QString& device, Use use = Use::streams) {
        const QByteArray path = QFile::encodeName(device);
        int report[2];
        int hold[2];
        if (::pipe2(report, O_CLOEXEC) != 0 || ::pipe2(hold, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls in the child of a threaded process.
            ::close(report[0]);
            ::close(hold[1]);
            const std::int64_t before = monotonicNs();
            const int node = ::open(path.constData(), O_RDONLY);
            if (node >= 0 && use == Use::streams) {
                (void)::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, node, 0);
            }
            (void)!::write(report[1], &before, sizeof before);
            char ignored = 0;
            (void)!::read(hold[0], &ignored, 1);  // until the parent closes its end
            ::_exit(node >= 0 ? 0 : 1);
        }
        ::close(report[1]);
        ::close(hold[0]);
        report_ = report[0];
        hold_ = hold[1];
    }
    ~OtherApp() {
        leave();
        if (report_ >= 0) {
            ::close(report_);
        }
    }
    std::int64_t openedAtNs() const {
        std::int64_t at = 0;
        return ::read(report_, &at, sizeof at) == sizeof at ? at : 0;
    }
    // Closes the device and ends; true when the child had opened it.
    bool leave() {
        if (hold_ < 0) {
            return false;
        }
        ::close(std::exchange(hold_, -1));
        int status = 0;
        ::waitpid(pid_, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    pid_t pid_ = -1;
    int report_ = -1;
    int hold_ = -1;
};
