#pragma once

#include <QMetaType>

// The window's pages. Not persisted: a new tracker starts on the dashboard.
enum class AppPage { dashboard, reset, settings, calibration };

Q_DECLARE_METATYPE(AppPage)
