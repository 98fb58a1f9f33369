#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// A real Wayland compositor without a screen, started for one test in folders of its own and
// stopped when the test ends: sway 1.7 (wlroots) or KWin 5.27.
class HeadlessCompositor {
public:
    enum class Kind { sway, kwin };

    // Whether the compositor's Debian package is installed.
    static bool installed(Kind kind);
    // Starts it and waits until it offers a seat; check started() and failure().
    explicit HeadlessCompositor(Kind kind);
    ~HeadlessCompositor();
    HeadlessCompositor(const HeadlessCompositor&) = delete;
    HeadlessCompositor& operator=(const HeadlessCompositor&) = delete;

    bool started() const { return failure_.isEmpty(); }
    // Why it did not start, with its log.
    QString failure() const { return failure_; }
    // The absolute path of its Wayland socket.
    QString socket() const { return socket_; }

    // One key press and release through the compositor's own path for input that no device
    // made: the virtual-keyboard protocol (wtype) on sway, fake input on KWin.
    bool pressKey();
    // Ends the compositor at once, as a crash would.
    void kill();
    // Starts it again after kill(), in the same folders; false (see failure()) if it fails.
    bool startAgain();

private:
    void prepareSway();
    void prepareKWin();
    bool startBus(const QString& address);
    bool waitForSeat();
    QString log();

    Kind kind_;
    QTemporaryDir home_;
    QString runtime_;
    QString socket_;
    QString failure_;
    std::vector<std::unique_ptr<QProcess>> helpers_;  // private buses
    QProcess compositor_;
};
