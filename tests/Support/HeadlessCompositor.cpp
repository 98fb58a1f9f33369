#include "Support/HeadlessCompositor.h"

#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <chrono>
#include <string_view>

#include "Platform/Linux/WaylandPointers.h"
#include "fake-input-client.h"

using namespace std::chrono_literals;

namespace {

// Generous for a loaded machine: sway starts in a fraction of a second, KWin in one or two.
constexpr int kStartLimitMs = 20000;
// sway refuses to run as root; as root the tests start it as this unprivileged user.
constexpr uid_t kNobody = 65534;

using WaylandDisplay = WaylandPtr<wl_display, &wl_display_disconnect>;
using Registry = WaylandPtr<wl_registry, &wl_registry_destroy>;
using FakeInput = WaylandPtr<org_kde_kwin_fake_input, &org_kde_kwin_fake_input_destroy>;

struct Globals {
    bool seat = false;
    std::optional<uint32_t> fakeInput;

    static void global(void* data, wl_registry*, uint32_t name, const char* interface,
                       uint32_t version) {
        auto& self = *static_cast<Globals*>(data);
        const std::string_view offered(interface);
        self.seat = self.seat || offered == wl_seat_interface.name;
        if (offered == org_kde_kwin_fake_input_interface.name && version >= 4) {
            self.fakeInput = name;
        }
    }
    static void removed(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener listener{&global, &removed};
};

// The compositor's globals as a client sees them, once it answers.
std::optional<Globals> listGlobals(wl_display* display, Registry& registry) {
    Globals globals;
    registry.reset(wl_display_get_registry(display));
    wl_registry_add_listener(registry.get(), &Globals::listener, &globals);
    if (wl_display_roundtrip(display) < 0) {
        return std::nullopt;
    }
    return globals;
}

QProcessEnvironment baseEnvironment(const QString& home, const QString& runtime) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    return environment;
}

}  // namespace

bool HeadlessCompositor::installed(Kind kind) {
    return !QStandardPaths::findExecutable(kind == Kind::sway ? QStringLiteral("sway")
                                                              : QStringLiteral("kwin_wayland"))
                .isEmpty();
}

HeadlessCompositor::HeadlessCompositor(Kind kind) : kind_(kind) {
    runtime_ = home_.path() + QStringLiteral("/runtime");
    if (!home_.isValid() || !QDir().mkpath(runtime_)) {
        failure_ = QStringLiteral("no temporary folder");
        return;
    }
    QFile::setPermissions(runtime_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    compositor_.setProcessChannelMode(QProcess::MergedChannels);
    if (kind == Kind::sway) {
        prepareSway();
    } else {
        prepareKWin();
    }
    if (failure_.isEmpty()) {
        startAgain();
    }
}

bool HeadlessCompositor::startAgain() {
    socket_.clear();
    compositor_.start();
    if (!waitForSeat()) {
        failure_ =
            QStringLiteral("it offered no seat within %1 ms:\n%2").arg(kStartLimitMs).arg(log());
        return false;
    }
    return true;
}

HeadlessCompositor::~HeadlessCompositor() {
    kill();
    for (auto& helper : helpers_) {
        helper->kill();
        helper->waitForFinished(5000);
    }
}

void HeadlessCompositor::prepareSway() {
    // No bar, no X server of its own: nothing but the compositor.
    const QString config = runtime_ + QStringLiteral("/sway.conf");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write("xwayland disable\n") < 0) {
        failure_ = QStringLiteral("cannot write %1").arg(config);
        return;
    }
    file.close();
    QProcessEnvironment environment = baseEnvironment(runtime_, runtime_);
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    compositor_.setProcessEnvironment(environment);
    const QStringList sway{QStringLiteral("sway"), QStringLiteral("-c"), config};
    if (geteuid() == 0) {
        // Its runtime folder must be its own, as a login would have made it, inside ours.
        if (!QFile::setPermissions(home_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther) ||
            chown(QFile::encodeName(runtime_).constData(), kNobody, kNobody) != 0 ||
            chown(QFile::encodeName(config).constData(), kNobody, kNobody) != 0) {
            failure_ = QStringLiteral("cannot hand %1 to the unprivileged user").arg(runtime_);
            return;
        }
        compositor_.setProgram(QStringLiteral("setpriv"));
        compositor_.setArguments(QStringList{QStringLiteral("--reuid=65534"),
                                             QStringLiteral("--regid=65534"),
                                             QStringLiteral("--clear-groups")} +
                                 sway);
    } else {
        compositor_.setProgram(sway.first());
        compositor_.setArguments(sway.mid(1));
    }
}

void HeadlessCompositor::prepareKWin() {
    // The installed binary carries a file capability that a container refuses to grant; a
    // plain copy has none and runs.
    const QString binary = home_.path() + QStringLiteral("/kwin_wayland");
    if (!QFile::copy(QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")), binary) ||
        !QFile::setPermissions(binary, QFile::ReadOwner | QFile::ExeOwner)) {
        failure_ = QStringLiteral("cannot copy kwin_wayland to %1").arg(binary);
        return;
    }
    // KWin wants a session bus and logind's system bus; private ones keep it from the tests'.
    const QString sessionBus =
        QStringLiteral("unix:path=") + home_.path() + QStringLiteral("/session-bus");
    const QString systemBus =
        QStringLiteral("unix:path=") + home_.path() + QStringLiteral("/system-bus");
    if (!startBus(sessionBus) || !startBus(systemBus)) {
        return;
    }
    QProcessEnvironment environment = baseEnvironment(home_.path(), runtime_);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBus);
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), systemBus);
    // KWin offers fake input only to clients its desktop files name; the test's typing is none.
    environment.insert(QStringLiteral("KWIN_WAYLAND_NO_PERMISSION_CHECKS"), QStringLiteral("1"));
    compositor_.setProcessEnvironment(environment);
    // A socket name of our own, so that a restarted KWin listens where the last one did.
    compositor_.setProgram(binary);
    compositor_.setArguments({QStringLiteral("--virtual"), QStringLiteral("--width"),
                              QStringLiteral("1280"), QStringLiteral("--height"),
                              QStringLiteral("800"), QStringLiteral("--socket"),
                              QStringLiteral("wayland-spindrel")});
}

bool HeadlessCompositor::startBus(const QString& address) {
    auto bus = std::make_unique<QProcess>();
    bus->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bus->start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
         QStringLiteral("--print-address"), QStringLiteral("--address=") + address});
    // It prints its address once it listens.
    if (!bus->waitForStarted(kStartLimitMs) || !bus->waitForReadyRead(kStartLimitMs)) {
        failure_ = QStringLiteral("dbus-daemon did not start at %1").arg(address);
        return false;
    }
    helpers_.push_back(std::move(bus));
    return true;
}

bool HeadlessCompositor::waitForSeat() {
    if (!compositor_.waitForStarted(kStartLimitMs)) {
        return false;
    }
    return QTest::qWaitFor(
               [this] {
                   if (compositor_.state() != QProcess::Running) {
                       return true;  // gone: the caller reads the log
                   }
                   // The socket's name is the compositor's choice under sway, ours under KWin.
                   const QStringList sockets =
                       QDir(runtime_).entryList({QStringLiteral("wayland-*")}, QDir::System);
                   for (const QString& name : sockets) {
                       if (name.endsWith(QStringLiteral(".lock"))) {
                           continue;
                       }
                       const QString path = runtime_ + u'/' + name;
                       const WaylandDisplay display(
                           wl_display_connect(QFile::encodeName(path).constData()));
                       Registry registry;
                       if (display &&
                           listGlobals(display.get(), registry).value_or(Globals{}).seat) {
                           socket_ = path;
                           return true;
                       }
                   }
                   return false;
               },
               kStartLimitMs) &&
           !socket_.isEmpty();
}

QString HeadlessCompositor::log() {
    return QString::fromLocal8Bit(compositor_.readAll());
}

bool HeadlessCompositor::pressKey() {
    if (kind_ == Kind::sway) {
        QProcess wtype;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
        wtype.setProcessEnvironment(environment);
        wtype.start(QStringLiteral("wtype"), {QStringLiteral("a")});
        return wtype.waitForFinished(kStartLimitMs) && wtype.exitStatus() == QProcess::NormalExit &&
               wtype.exitCode() == 0;
    }
    const WaylandDisplay display(wl_display_connect(QFile::encodeName(socket_).constData()));
    Registry registry;
    const std::optional<Globals> globals =
        display ? listGlobals(display.get(), registry) : std::nullopt;
    if (!globals || !globals->fakeInput) {
        return false;
    }
    const FakeInput input(static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(
        registry.get(), *globals->fakeInput, &org_kde_kwin_fake_input_interface, 4)));
    org_kde_kwin_fake_input_authenticate(input.get(), "Spindrel tests", "type a key");
    org_kde_kwin_fake_input_keyboard_key(input.get(), KEY_A, WL_KEYBOARD_KEY_STATE_PRESSED);
    org_kde_kwin_fake_input_keyboard_key(input.get(), KEY_A, WL_KEYBOARD_KEY_STATE_RELEASED);
    return wl_display_roundtrip(display.get()) >= 0;
}

void HeadlessCompositor::kill() {
    if (compositor_.state() != QProcess::NotRunning) {
        compositor_.kill();
        compositor_.waitForFinished(5000);
    }
}
