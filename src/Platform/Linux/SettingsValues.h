#pragma once

#include <QHash>
#include <QString>
#include <variant>

// One stored setting with the type it was written as; the store never converts between them.
using SettingsValue = std::variant<qint64, bool, double, QString>;
using SettingsValues = QHash<QString, SettingsValue>;
