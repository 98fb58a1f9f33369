#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>
#include <chrono>
#include <functional>
#include <memory>

class QWidget;
class SittingTracker;
class TrayHost;

// The tray icon and the one small window, and what a click on either or on a notification
// does. The tracker counts on whether or not any of it is visible.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Builds what the window shows: the page router over the tracker.
    using ContentFactory = std::function<std::unique_ptr<QWidget>(SittingTracker&)>;

    static constexpr int windowWidth = 380;
    static constexpr int windowHeight = 580;
    static constexpr std::chrono::milliseconds firstWindowDelay{300};

    AppDelegate(SittingTracker& tracker, TrayHost& tray, ContentFactory makeContent,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    // The tray icon where a tray host is there; the first window 0.3 s later either way.
    void applicationDidFinishLaunching();
    void toggleWindow();
    // Brings the window forward, building a new one if none is visible.
    void showWindow();
    // A click on one of our notifications: the window, then the reset page.
    void notificationClicked();
    // The tray icon was clicked. A double click is one click: the activations that follow the
    // first within the desktop's double-click time belong to it.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

private:
    std::unique_ptr<QWidget> buildWindow();
    QIcon trayIcon() const;

    SittingTracker& tracker_;
    TrayHost& tray_;
    ContentFactory makeContent_;
    QElapsedTimer lastActivation_;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
    std::unique_ptr<QWidget> mainWindow_;
    bool firstWindowReported_ = false;
    // Built at launch and not yet shown.
    bool preparedWindow_ = false;
};
