#include "Platform/Linux/WaylandIdleSource.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QByteArray>
#include <cstring>
#include <string_view>

#include "Platform/Linux/WaylandEventReader.h"
#include "Platform/Linux/WaylandPointers.h"
#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"

using namespace std::chrono;

namespace {

// Start-up waits for the compositor's list of globals on the main thread; a stuck compositor
// costs at most this, and the next source in the chain answers instead.
constexpr milliseconds kAnswerLimit{2000};

// libwayland's own lookup would first take a WAYLAND_SOCKET handed to this process, which
// belongs to the toolkit's connection; so the socket is opened here. -1 when nobody listens.
int openSocket(const QString& socket) {
    QByteArray path = socket.toLocal8Bit();
    if (!socket.startsWith(u'/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || socket.isEmpty()) {
            return -1;
        }
        path = runtime + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

struct WaylandIdleSource::Connection {
    explicit Connection(wl_display* connected, milliseconds idleTimeout)
        : display(connected), reader(*connected), timeout(idleTimeout) {}

    WaylandPtr<wl_display, &wl_display_disconnect> display;
    WaylandEventReader reader;
    milliseconds timeout;

    WaylandPtr<wl_registry, &wl_registry_destroy> registry;
    // The names of the globals it needs, as the registry lists them.
    std::optional<uint32_t> seatGlobal;
    std::optional<uint32_t> extGlobal;
    std::optional<uint32_t> kdeGlobal;
    bool seatRemoved = false;

    WaylandPtr<wl_seat, &wl_seat_destroy> seat;
    WaylandPtr<ext_idle_notifier_v1, &ext_idle_notifier_v1_destroy> extNotifier;
    WaylandPtr<ext_idle_notification_v1, &ext_idle_notification_v1_destroy> extNotification;
    WaylandPtr<org_kde_kwin_idle, &org_kde_kwin_idle_destroy> kdeIdle;
    WaylandPtr<org_kde_kwin_idle_timeout, &org_kde_kwin_idle_timeout_release> kdeTimeout;

    // When input stopped, while the compositor calls the seat idle.
    std::optional<steady_clock::time_point> idleSince;

    // The compositor tells of idleness `timeout` after the last input: back-date it to then.
    void idled() { idleSince = steady_clock::now() - timeout; }
    void resumed() { idleSince.reset(); }

    static Connection& of(void* data) { return *static_cast<Connection*>(data); }

    static void global(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t) {
        Connection& self = of(data);
        const std::string_view offered(interface);
        // The first seat is the user's; a second seat (a rare multi-user setup) is not ours.
        if (offered == wl_seat_interface.name && !self.seatGlobal) {
            self.seatGlobal = name;
        } else if (offered == ext_idle_notifier_v1_interface.name) {
            self.extGlobal = name;
        } else if (offered == org_kde_kwin_idle_interface.name) {
            self.kdeGlobal = name;
        }
    }

    static void globalRemoved(void* data, wl_registry*, uint32_t name) {
        Connection& self = of(data);
        if (self.seat && self.seatGlobal && *self.seatGlobal == name) {
            self.seatRemoved = true;
        }
    }

    static constexpr wl_registry_listener registryListener{&global, &globalRemoved};
    static constexpr ext_idle_notification_v1_listener extListener{
        [](void* data, ext_idle_notification_v1*) { of(data).idled(); },
        [](void* data, ext_idle_notification_v1*) { of(data).resumed(); }};
    static constexpr org_kde_kwin_idle_timeout_listener kdeListener{
        [](void* data, org_kde_kwin_idle_timeout*) { of(data).idled(); },
        [](void* data, org_kde_kwin_idle_timeout*) { of(data).resumed(); }};

    template <typename Interface>
    Interface* bind(uint32_t global, const wl_interface& interface) {
        // Version 1 of each has all that is needed here.
        return static_cast<Interface*>(wl_registry_bind(registry.get(), global, &interface, 1));
    }

    // Lists the compositor's globals and asks for the notification; false when it cannot be had.
    bool subscribe() {
        registry.reset(wl_display_get_registry(display.get()));
        if (!registry || wl_registry_add_listener(registry.get(), &registryListener, this) != 0 ||
            !reader.roundtrip(kAnswerLimit) || !seatGlobal || (!extGlobal && !kdeGlobal)) {
            return false;
        }
        seat.reset(bind<wl_seat>(*seatGlobal, wl_seat_interface));
        const auto ms = static_cast<uint32_t>(timeout.count());
        if (extGlobal) {
            extNotifier.reset(
                bind<ext_idle_notifier_v1>(*extGlobal, ext_idle_notifier_v1_interface));
            extNotification.reset(
                ext_idle_notifier_v1_get_idle_notification(extNotifier.get(), ms, seat.get()));
            ext_idle_notification_v1_add_listener(extNotification.get(), &extListener, this);
        } else {
            kdeIdle.reset(bind<org_kde_kwin_idle>(*kdeGlobal, org_kde_kwin_idle_interface));
            kdeTimeout.reset(org_kde_kwin_idle_get_idle_timeout(kdeIdle.get(), seat.get(), ms));
            org_kde_kwin_idle_timeout_add_listener(kdeTimeout.get(), &kdeListener, this);
        }
        // Confirms the compositor took the request, so a refusal shows now, not at a tick.
        return reader.roundtrip(kAnswerLimit);
    }
};

WaylandIdleSource::WaylandIdleSource(milliseconds timeout)
    : WaylandIdleSource(qEnvironmentVariable("WAYLAND_DISPLAY"), timeout) {}

WaylandIdleSource::WaylandIdleSource(QString socket, milliseconds timeout)
    : socket_(std::move(socket)), timeout_(timeout) {
    connect();
}

WaylandIdleSource::~WaylandIdleSource() = default;

void WaylandIdleSource::connect() {
    const int fd = openSocket(socket_);
    if (fd < 0) {
        return;
    }
    // The display owns the socket from here, also when it fails to set up.
    wl_display* display = wl_display_connect_to_fd(fd);
    if (display == nullptr) {
        return;
    }
    auto connection = std::make_unique<Connection>(display, timeout_);
    if (connection->subscribe()) {
        connection_ = std::move(connection);
    } else if (!connection->reader.broken()) {
        worthAsking_ = false;
    }
}

std::optional<milliseconds> WaylandIdleSource::idleTime() {
    if (connection_ && (connection_->reader.broken() || connection_->seatRemoved)) {
        connection_.reset();
    }
    if (!connection_ && worthAsking_) {
        connect();
    }
    if (!connection_) {
        return std::nullopt;
    }
    if (!connection_->idleSince) {
        return milliseconds{0};
    }
    return duration_cast<milliseconds>(steady_clock::now() - *connection_->idleSince);
}

std::optional<WaylandIdleSource::Protocol> WaylandIdleSource::protocol() const {
    if (!connection_ || connection_->reader.broken()) {
        return std::nullopt;
    }
    return connection_->extNotification ? Protocol::extIdleNotify : Protocol::kdeIdle;
}

std::string WaylandIdleSource::name() const {
    const std::optional<Protocol> speaking = protocol();
    if (!speaking) {
        return "Wayland idle notification";
    }
    return *speaking == Protocol::extIdleNotify ? "Wayland ext_idle_notifier_v1"
                                                : "Wayland org_kde_kwin_idle";
}
