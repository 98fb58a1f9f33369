#pragma once

#include <QByteArray>
#include <optional>

#include "Platform/Linux/SettingsValues.h"

// Reads the INI file that earlier Spindrel versions kept (spindrel.conf), once, to carry its
// values over. Every value there was plain text under [General]: an integer, true or false, a
// real in its shortest form, or the day's date.
namespace LegacyIniSettings {

// Absent when any line could lose or change a value, where QSettings would have read past
// it silently: text that is not UTF-8, a line of no known kind, another section, a duplicated
// key, or a value with quotes, a backslash or a comma (QSettings' escapes and lists).
std::optional<SettingsValues> read(const QByteArray& bytes);

}  // namespace LegacyIniSettings
