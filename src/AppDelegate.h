#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QWidget;
class SittingTracker;

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

    AppDelegate(SittingTracker& tracker, ContentFactory makeContent, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The tray icon where a tray host is there; the first window 0.3 s later either way.
    void applicationDidFinishLaunching();
    void toggleWindow();
    // Brings the window forward, building a new one if none is visible.
    void showWindow();
    // A click on one of our notifications: the window, then the reset page.
    void notificationClicked();

    QWidget* mainWindow() const { return mainWindow_.get(); }
    QSystemTrayIcon* statusItem() const { return statusItem_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QWidget> buildWindow();

    SittingTracker& tracker_;
    ContentFactory makeContent_;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
    std::unique_ptr<QWidget> mainWindow_;
    bool firstWindowReported_ = false;
    // Built at launch and not yet shown.
    bool preparedWindow_ = false;
};
