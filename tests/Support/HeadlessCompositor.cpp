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
using namespace Qt::StringLiterals;

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
    environment.insert(u"PATH"_s, u"/usr/local/bin:/usr/bin:/bin"_s);
    environment.insert(u"HOME"_s, home);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    environment.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
    return environment;
}

}  // namespace

bool HeadlessCompositor::installed(Kind kind) {
    return !QStandardPaths::findExecutable(kind == Kind::sway ? u"sway"_s : u"kwin_wayland"_s)
                .isEmpty();
}

HeadlessCompositor::HeadlessCompositor(Kind kind) : kind_(kind) {
    runtime_ = home_.path() + u"/runtime"_s;
    if (!home_.isValid() || !QDir().mkpath(runtime_)) {
        failure_ = u"no temporary folder"_s;
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
        failure_ = u"it offered no seat within %1 ms:\n%2"_s.arg(kStartLimitMs).arg(log());
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
    const QString config = runtime_ + u"/sway.conf"_s;
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write("xwayland disable\n") < 0) {
        failure_ = u"cannot write %1"_s.arg(config);
        return;
    }
    file.close();
    QProcessEnvironment environment = baseEnvironment(runtime_, runtime_);
    environment.insert(u"WLR_BACKENDS"_s, u"headless"_s);
    environment.insert(u"WLR_LIBINPUT_NO_DEVICES"_s, u"1"_s);
    environment.insert(u"WLR_RENDERER"_s, u"pixman"_s);
    compositor_.setProcessEnvironment(environment);
    const QStringList sway{u"sway"_s, u"-c"_s, config};
    if (geteuid() == 0) {
        // Its runtime folder must be its own, as a login would have made it, inside ours.
        if (!QFile::setPermissions(home_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther) ||
            chown(QFile::encodeName(runtime_).constData(), kNobody, kNobody) != 0 ||
            chown(QFile::encodeName(config).constData(), kNobody, kNobody) != 0) {
            failure_ = u"cannot hand %1 to the unprivileged user"_s.arg(runtime_);
            return;
        }
        compositor_.setProgram(u"setpriv"_s);
        compositor_.setArguments(
            QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s} + sway);
    } else {
        compositor_.setProgram(sway.first());
        compositor_.setArguments(sway.mid(1));
    }
}

void HeadlessCompositor::prepareKWin() {
    // The installed binary carries a file capability that a container refuses to grant; a
    // plain copy has none and runs.
    const QString binary = home_.path() + u"/kwin_wayland"_s;
    if (!QFile::copy(QStandardPaths::findExecutable(u"kwin_wayland"_s), binary) ||
        !QFile::setPermissions(binary, QFile::ReadOwner | QFile::ExeOwner)) {
        failure_ = u"cannot copy kwin_wayland to %1"_s.arg(binary);
        return;
    }
    // KWin wants a session bus and logind's system bus; private ones keep it from the tests'.
    const QString sessionBus = u"unix:path="_s + home_.path() + u"/session-bus"_s;
    const QString systemBus = u"unix:path="_s + home_.path() + u"/system-bus"_s;
    if (!startBus(sessionBus) || !startBus(systemBus)) {
        return;
    }
    QProcessEnvironment environment = baseEnvironment(home_.path(), runtime_);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, sessionBus);
    environment.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, systemBus);
    // KWin offers fake input only to clients its desktop files name; the test's typing is none.
    environment.insert(u"KWIN_WAYLAND_NO_PERMISSION_CHECKS"_s, u"1"_s);
    compositor_.setProcessEnvironment(environment);
    // A socket name of our own, so that a restarted KWin listens where the last one did.
    compositor_.setProgram(binary);
    compositor_.setArguments({u"--virtual"_s, u"--width"_s, u"1280"_s, u"--height"_s, u"800"_s,
                              u"--socket"_s, u"wayland-spindrel"_s});
}

bool HeadlessCompositor::startBus(const QString& address) {
    auto bus = std::make_unique<QProcess>();
    bus->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bus->start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s,
                                  u"--print-address"_s, u"--address="_s + address});
    // It prints its address once it listens.
    if (!bus->waitForStarted(kStartLimitMs) || !bus->waitForReadyRead(kStartLimitMs)) {
        failure_ = u"dbus-daemon did not start at %1"_s.arg(address);
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
                       QDir(runtime_).entryList({u"wayland-*"_s}, QDir::System);
                   for (const QString& name : sockets) {
                       if (name.endsWith(u".lock"_s)) {
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
        environment.insert(u"WAYLAND_DISPLAY"_s, socket_);
        wtype.setProcessEnvironment(environment);
        wtype.start(u"wtype"_s, {u"a"_s});
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
