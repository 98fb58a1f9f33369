#include "Platform/Linux/SettingsDocument.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QVariant>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kVersion = 1;
const QString kVersionKey = u"version"_s;
const QString kIntegersKey = u"integers"_s;
const QString kBooleansKey = u"booleans"_s;
const QString kRealsKey = u"reals"_s;
const QString kStringsKey = u"strings"_s;
const QString kChecksumKey = u"sha256"_s;

// JSON has no spelling for -0, the infinities or NaN (Qt writes 0 and null for them), so a real
// is kept as the shortest text that reads back to the same bits. Qt's shortest form of -0
// drops the sign; it is spelled out here.
QString realText(double value) {
    if (value == 0.0 && std::signbit(value)) {
        return u"-0"_s;
    }
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> realFromText(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// What the checksum covers: every group and the version, in QJsonObject's sorted key order, so
// the same values always hash the same whatever order they were set in.
QString checksumOf(const QJsonObject& groups) {
    const QByteArray canonical = QJsonDocument(groups).toJson(QJsonDocument::Compact);
    return QString::fromLatin1(
        QCryptographicHash::hash(canonical, QCryptographicHash::Sha256).toHex());
}

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

QJsonObject groupsOf(const SettingsValues& values) {
    QJsonObject integers;
    QJsonObject booleans;
    QJsonObject reals;
    QJsonObject strings;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        std::visit(Overloaded{
                       [&](qint64 v) { integers.insert(it.key(), v); },
                       [&](bool v) { booleans.insert(it.key(), v); },
                       [&](double v) { reals.insert(it.key(), realText(v)); },
                       [&](const QString& v) { strings.insert(it.key(), v); },
                   },
                   it.value());
    }
    return QJsonObject{{kVersionKey, kVersion},
                       {kIntegersKey, integers},
                       {kBooleansKey, booleans},
                       {kRealsKey, reals},
                       {kStringsKey, strings}};
}

std::optional<SettingsValue> integerFrom(const QJsonValue& value) {
    // A number with a fraction or beyond 64 bits parses as a double, which no integer write made.
    if (value.toVariant().metaType() != QMetaType::fromType<qlonglong>()) {
        return std::nullopt;
    }
    return value.toInteger();
}

std::optional<SettingsValue> booleanFrom(const QJsonValue& value) {
    return value.isBool() ? std::optional<SettingsValue>(value.toBool()) : std::nullopt;
}

std::optional<SettingsValue> realFrom(const QJsonValue& value) {
    const auto real = value.isString() ? realFromText(value.toString()) : std::nullopt;
    return real ? std::optional<SettingsValue>(*real) : std::nullopt;
}

std::optional<SettingsValue> stringFrom(const QJsonValue& value) {
    return value.isString() ? std::optional<SettingsValue>(value.toString()) : std::nullopt;
}

// Adds one group's values; false when the group is no object, holds a value of another type, or
// names a key another group already has.
bool readGroup(const QJsonValue& group, std::optional<SettingsValue> (*convert)(const QJsonValue&),
               SettingsValues& values) {
    if (!group.isObject()) {
        return false;
    }
    const QJsonObject object = group.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const std::optional<SettingsValue> value = convert(it.value());
        if (!value || values.contains(it.key())) {
            return false;
        }
        values.insert(it.key(), *value);
    }
    return true;
}

}  // namespace

namespace SettingsDocument {

QByteArray encode(const SettingsValues& values) {
    QJsonObject document = groupsOf(values);
    document.insert(kChecksumKey, checksumOf(document));
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

std::optional<SettingsValues> decode(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    QJsonObject groups = document.object();
    const QJsonValue checksum = groups.take(kChecksumKey);
    const bool shaped = checksum.isString() && groups.size() == 5 &&
                        groups.value(kVersionKey).toVariant() == QVariant(qlonglong{kVersion});
    if (!shaped || checksum.toString() != checksumOf(groups)) {
        return std::nullopt;
    }
    SettingsValues values;
    const bool typed = readGroup(groups.value(kIntegersKey), integerFrom, values) &&
                       readGroup(groups.value(kBooleansKey), booleanFrom, values) &&
                       readGroup(groups.value(kRealsKey), realFrom, values) &&
                       readGroup(groups.value(kStringsKey), stringFrom, values);
    return typed ? std::optional(std::move(values)) : std::nullopt;
}

}  // namespace SettingsDocument
