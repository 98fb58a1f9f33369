#include "AppDelegate.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <utility>

#include "Components/TrayFigure.h"
#include "Models/SittingTracker.h"
#include "Platform/TrayHost.h"

using namespace Qt::StringLiterals;

namespace {

// QT_LOGGING_RULES="spindrel.startup.debug=true" reports when the first window has painted,
// so that start-up can be measured from outside against the moment the process was launched.
Q_LOGGING_CATEGORY(startupLog, "spindrel.startup", QtWarningMsg)

class FirstPaintReport final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // Queued, so the report follows the whole window's paint and its flush.
            QTimer::singleShot(0, this, [this] {
                qCDebug(startupLog, "first window painted at %lld ms since the epoch",
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
                deleteLater();
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

QString roleOf(AppPage page) {
    return u"spindrel-"_s + AppPages::name(page);
}

// QT_LOGGING_RULES="spindrel.window.debug=true" reports each page the open window turns to, by
// its role: on Wayland no tool outside the application can read the role itself.
Q_LOGGING_CATEGORY(windowLog, "spindrel.window", QtWarningMsg)

}  // namespace

AppDelegate::AppDelegate(SittingTracker& tracker, TrayHost& tray, ContentFactory makeContent,
                         QObject* parent)
    : QObject(parent), tracker_(tracker), tray_(tray), makeContent_(std::move(makeContent)) {
    // The window's role names the page it shows, for assistive tools and scripts.
    connect(&tracker_, &SittingTracker::currentPageChanged, this, [this] {
        if (mainWindow_) {
            mainWindow_->setWindowRole(roleOf(tracker_.currentPage()));
            qCDebug(windowLog, "the window shows %s", qPrintable(mainWindow_->windowRole()));
        }
    });
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        statusItem_ = std::make_unique<QSystemTrayIcon>(trayIcon());
        statusItem_->setToolTip(u"Spindrel"_s);
        connect(statusItem_.get(), &QSystemTrayIcon::activated, this, &AppDelegate::trayActivated);
        statusItem_->show();
        // A switch between light and dark themes recolours the glyph.
        connect(&tray_, &TrayHost::appearanceChanged, this,
                [this] { statusItem_->setIcon(trayIcon()); });
    }
    QTimer::singleShot(firstWindowDelay, this, &AppDelegate::showWindow);
    // The first window is built and drawn once offscreen while the delay runs, so that when it
    // opens its blurred backdrop and shadows are ready.
    mainWindow_ = buildWindow();
    mainWindow_->grab();
    preparedWindow_ = true;
}

// Our monochrome figure, legible whatever the panel does with it. GNOME's AppIndicator extension
// and KDE load the symbolic icon by name and fill it with their panel's colour. Qt hands a
// StatusNotifier host a name and pixels together, and hosts such as swaybar draw the named
// file as it is, dark on a black bar: to them we give no name, only a figure in the theme's text
// colour ringed by the opposite shade. An XEmbed tray draws our pixels, in the colour it asks
// for where it says one.
QIcon AppDelegate::trayIcon() const {
    const QString symbolic = u"spindrel-symbolic"_s;
    const QIcon glyph = QIcon::fromTheme(symbolic);
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    switch (tray_.drawing()) {
        case TrayHost::Drawing::recolouring:
            // Where the host cannot find the name (a build never installed), it draws the pixels.
            return TrayFigure::named(TrayFigure::outlined(glyph, text), symbolic);
        case TrayHost::Drawing::asGiven:
            return TrayFigure::outlined(glyph, text);
        case TrayHost::Drawing::ownPixels:
            break;
    }
    if (const std::optional<std::uint32_t> ink = tray_.requestedInk()) {
        return TrayFigure::tinted(glyph, QColor::fromRgb(*ink));
    }
    return TrayFigure::outlined(glyph, text);
}

void AppDelegate::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) {
        return;
    }
    // Qt reports a double click as a click and then a double click, and some panels as two
    // activations: either way the second belongs to the first.
    if (lastActivation_.isValid() &&
        lastActivation_.elapsed() < QApplication::doubleClickInterval()) {
        return;
    }
    lastActivation_.start();
    toggleWindow();
}

void AppDelegate::toggleWindow() {
    if (mainWindow_ && mainWindow_->isVisible() && !mainWindow_->isMinimized()) {
        mainWindow_->close();
        return;
    }
    showWindow();
}

void AppDelegate::showWindow() {
    if (!mainWindow_ || (!mainWindow_->isVisible() && !std::exchange(preparedWindow_, false))) {
        // A closed window is never reopened: a fresh one shows the page last active.
        mainWindow_ = buildWindow();
    }
    if (startupLog().isDebugEnabled() && !firstWindowReported_) {
        firstWindowReported_ = true;
        auto* report = new FirstPaintReport(mainWindow_.get());
        mainWindow_->installEventFilter(report);
        for (QWidget* part : mainWindow_->findChildren<QWidget*>()) {
            part->installEventFilter(report);
        }
    }
    mainWindow_->show();
    if (mainWindow_->isMinimized()) {
        mainWindow_->showNormal();
    }
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

void AppDelegate::notificationClicked() {
    showWindow();
    QTimer::singleShot(0, this, [this] { tracker_.setCurrentPage(AppPage::reset); });
}

std::unique_ptr<QWidget> AppDelegate::buildWindow() {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(u"Spindrel"_s);
    window->setWindowRole(roleOf(tracker_.currentPage()));
    window->setWindowIcon(QIcon::fromTheme(u"spindrel"_s));
    window->setFixedSize(windowWidth, windowHeight);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeContent_(tracker_).release());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window;
}
