#pragma once

#include <QMetaType>
#include <QString>

// The window's pages. Not persisted: a new tracker starts on the dashboard.
enum class AppPage { dashboard, reset, settings, calibration };

Q_DECLARE_METATYPE(AppPage)

namespace AppPages {

// A page's name for scripts and assistive tools: "dashboard", "reset", "settings",
// "calibration".
inline QString name(AppPage page) {
    switch (page) {
        case AppPage::dashboard:
            return QStringLiteral("dashboard");
        case AppPage::reset:
            return QStringLiteral("reset");
        case AppPage::settings:
            return QStringLiteral("settings");
        case AppPage::calibration:
            return QStringLiteral("calibration");
    }
    return {};
}

}  // namespace AppPages
