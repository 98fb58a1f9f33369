#pragma once

#include <QByteArray>
#include <optional>

#include "Platform/Linux/SettingsValues.h"

// The settings file's one spelling: a JSON object with a group per type and a SHA-256 of the
// groups, so that any damage that would change a value read is told from an intact file.
namespace SettingsDocument {

QByteArray encode(const SettingsValues& values);

// Absent for anything that is not exactly what encode() writes, up to JSON's own freedom of
// spacing and escapes: unparsable text, a foreign shape, a value of the wrong type, or a
// checksum that does not match the values.
std::optional<SettingsValues> decode(const QByteArray& bytes);

}  // namespace SettingsDocument
