#include "AppDelegate.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDateTime>
#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <utility>

#include "Models/SittingTracker.h"
#include "Platform/Linux/XEmbedTrayColors.h"

using namespace Qt::StringLiterals;

namespace {

// Our monochrome figure in the panel's colour. A StatusNotifier host (KDE, or GNOME with its
// AppIndicator extension) loads the installed symbolic icon by name and recolours it for its
// panel. On an XEmbed tray the icon is our own pixels, so we tint the glyph: in the colour the
// tray asks for, or else in the text colour of the current palette.
QIcon trayIcon() {
    const bool hostRecolours = QDBusConnection::sessionBus().interface()->isServiceRegistered(
        u"org.kde.StatusNotifierWatcher"_s);
    if (hostRecolours) {
        QIcon themed = QIcon::fromTheme(u"spindrel-symbolic"_s);
        if (!themed.isNull()) {
            return themed;
        }
    }
    const QColor ink =
        xembedTrayForeground().value_or(QGuiApplication::palette().color(QPalette::WindowText));
    const QIcon symbol(u":/icons/spindrel-symbolic.svg"_s);
    QIcon tinted;
    for (const int size : {16, 22, 24, 32, 48}) {
        QPixmap glyph = symbol.pixmap(size, size);
        QPainter painter(&glyph);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(glyph.rect(), ink);
        painter.end();
        tinted.addPixmap(glyph);
    }
    tinted.setIsMask(true);
    return tinted;
}

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

}  // namespace

namespace {

QString roleOf(AppPage page) {
    return u"spindrel-"_s + AppPages::name(page);
}

}  // namespace

AppDelegate::AppDelegate(SittingTracker& tracker, ContentFactory makeContent, QObject* parent)
    : QObject(parent), tracker_(tracker), makeContent_(std::move(makeContent)) {
    // The window's role names the page it shows, for assistive tools and scripts.
    connect(&tracker_, &SittingTracker::currentPageChanged, this, [this] {
        if (mainWindow_) {
            mainWindow_->setWindowRole(roleOf(tracker_.currentPage()));
        }
    });
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        statusItem_ = std::make_unique<QSystemTrayIcon>(trayIcon());
        statusItem_->setToolTip(u"Spindrel"_s);
        connect(
            statusItem_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    toggleWindow();
                }
            });
        statusItem_->show();
        // A switch between light and dark themes recolours the glyph.
        QCoreApplication::instance()->installEventFilter(this);
    }
    QTimer::singleShot(firstWindowDelay, this, &AppDelegate::showWindow);
    // The first window is built and drawn once offscreen while the delay runs, so that when it
    // opens its blurred backdrop and shadows are ready.
    mainWindow_ = buildWindow();
    mainWindow_->grab();
    preparedWindow_ = true;
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange &&
        watched == QCoreApplication::instance() && statusItem_) {
        statusItem_->setIcon(trayIcon());
    }
    return QObject::eventFilter(watched, event);
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
    window->setWindowIcon(QIcon::fromTheme(u"spindrel"_s, QIcon(u":/icons/spindrel.svg"_s)));
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
