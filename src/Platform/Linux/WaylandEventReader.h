#pragma once

#include <QSocketNotifier>
#include <chrono>

struct wl_display;

// Carries a display's events from its socket to their listeners on the main loop. It wakes only
// when the compositor has something to say: no thread, no timer.
class WaylandEventReader final {
public:
    explicit WaylandEventReader(wl_display& display);

    // Sends what is queued and waits, at most `limit`, until the compositor has answered all of
    // it. A stuck compositor must not freeze the main thread; false when it did not answer.
    bool roundtrip(std::chrono::milliseconds limit);
    // The connection failed for good (the compositor went away or refused a request).
    bool broken() const;

private:
    void readEvents();
    bool dispatchPending();
    bool flush();
    void stopOnError();

    wl_display& display_;
    QSocketNotifier notifier_;
};
