// Counts the frames a Qt program sends to its windows and the time the sending takes, for
// bench/measure-process.sh. Loaded with LD_PRELOAD, it stands in for QBackingStore::flush, calls
// Qt's own, and writes its running totals ("frames nanoseconds") to $SPINDREL_FRAME_COUNT_FILE
// and the pixels sent ("frames nanoseconds pixels") at most once a second, so that the counting
// costs the measured program next to nothing.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <QBackingStore>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;
using Flush = void (*)(QBackingStore*, const QRegion&, QWindow*, const QPoint&);

struct Totals {
    long long frames = 0;
    long long nanoseconds = 0;
    long long pixels = 0;
    Clock::time_point written{};
};

Totals& totals() {
    static Totals counted;
    return counted;
}

void writeTotals(const Totals& counted) {
    const char* path = std::getenv("SPINDREL_FRAME_COUNT_FILE");
    if (path == nullptr) {
        return;
    }
    char line[96];
    const int length = std::snprintf(line, sizeof line, "%lld %lld %lld\n", counted.frames,
                                     counted.nanoseconds, counted.pixels);
    const int file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file >= 0 && length > 0) {
        [[maybe_unused]] const ssize_t written = write(file, line, std::size_t(length));
    }
    if (file >= 0) {
        close(file);
    }
}

}  // namespace

void QBackingStore::flush(const QRegion& region, QWindow* window, const QPoint& offset) {
    static const auto qtFlush = reinterpret_cast<Flush>(
        dlsym(RTLD_NEXT, "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint"));
    if (qtFlush == nullptr) {
        std::abort();  // not Qt 6's QBackingStore: nothing sensible to count
    }
    const Clock::time_point start = Clock::now();
    qtFlush(this, region, window, offset);
    const Clock::time_point end = Clock::now();
    Totals& counted = totals();
    ++counted.frames;
    for (const QRect& rect : region) {
        counted.pixels += static_cast<long long>(rect.width()) * rect.height();
    }
    counted.nanoseconds +=
        std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count();
    if (end - counted.written >= std::chrono::seconds{1}) {
        counted.written = end;
        writeTotals(counted);
    }
}
