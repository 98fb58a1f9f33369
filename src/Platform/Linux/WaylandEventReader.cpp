#include "Platform/Linux/WaylandEventReader.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>

#include "Platform/Linux/WaylandPointers.h"

using namespace std::chrono;

WaylandEventReader::WaylandEventReader(wl_display& display)
    : display_(display), notifier_(wl_display_get_fd(&display), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { readEvents(); });
}

bool WaylandEventReader::broken() const {
    return wl_display_get_error(&display_) != 0;
}

void WaylandEventReader::readEvents() {
    // Another reader may have queued events since the last turn; they go out before reading.
    while (wl_display_prepare_read(&display_) != 0) {
        if (!dispatchPending()) {
            return;
        }
    }
    // Readable (or closed), so this does not block. A read that finds nothing fails without
    // marking the display: only a marked display is broken.
    if (wl_display_read_events(&display_) != 0 && broken()) {
        stopOnError();
        return;
    }
    if (dispatchPending()) {
        flush();
    }
}

bool WaylandEventReader::dispatchPending() {
    if (wl_display_dispatch_pending(&display_) < 0) {
        stopOnError();
        return false;
    }
    return true;
}

bool WaylandEventReader::flush() {
    // A full socket (EAGAIN) keeps the rest for the next turn; our few requests never fill it.
    if (wl_display_flush(&display_) < 0 && errno != EAGAIN) {
        stopOnError();
        return false;
    }
    return true;
}

void WaylandEventReader::stopOnError() {
    // A closed socket stays readable: listening on would spin the main loop.
    notifier_.setEnabled(false);
}

bool WaylandEventReader::roundtrip(milliseconds limit) {
    bool answered = false;
    static const wl_callback_listener done{
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
    const WaylandPtr<wl_callback, &wl_callback_destroy> callback(wl_display_sync(&display_));
    if (!callback) {
        return false;
    }
    wl_callback_add_listener(callback.get(), &done, &answered);
    const auto deadline = steady_clock::now() + limit;
    while (!answered) {
        if (!flush()) {
            return false;
        }
        if (wl_display_prepare_read(&display_) != 0) {
            if (!dispatchPending()) {
                return false;
            }
            continue;
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        pollfd socket{wl_display_get_fd(&display_), POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&socket, 1, static_cast<int>(left.count())) : 0;
        if (ready <= 0) {
            wl_display_cancel_read(&display_);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        if (wl_display_read_events(&display_) != 0 && broken()) {
            stopOnError();
            return false;
        }
        if (!dispatchPending()) {
            return false;
        }
    }
    return !broken();
}
