#include "Platform/Linux/JsonSettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtDebug>

#include "Platform/Linux/LegacyIniSettings.h"
#include "Platform/Linux/SettingsDocument.h"

using namespace Qt::StringLiterals;

namespace {

// Our file is a few hundred bytes; something this large was never written by us.
constexpr qint64 kLargestFile = 1 << 20;

bool somethingAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The bytes of a regular file; absent for anything else at the path (a folder, a pipe that
// would block the read, a dangling link), for a file too large to be ours and for one that
// cannot be read.
std::optional<QByteArray> regularFileBytes(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kLargestFile) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kLargestFile) {
        return std::nullopt;
    }
    return bytes;
}

// base itself when nothing is there, else base with the first free number appended.
QString freePath(const QString& base) {
    QString candidate = base;
    for (int n = 2; somethingAt(candidate); ++n) {
        candidate = u"%1-%2"_s.arg(base).arg(n);
    }
    return candidate;
}

}  // namespace

JsonSettingsStore::JsonSettingsStore(QString path, QString legacyIniPath) : path_(std::move(path)) {
    if (somethingAt(path_)) {
        open();
    } else if (!legacyIniPath.isEmpty() && somethingAt(legacyIniPath)) {
        migrate(legacyIniPath);
    }
}

QString JsonSettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/spindrel/spindrel.json"_s;
}

QString JsonSettingsStore::defaultLegacyIniPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/spindrel/spindrel.conf"_s;
}

void JsonSettingsStore::open() {
    const std::optional<QByteArray> bytes = regularFileBytes(path_);
    std::optional<SettingsValues> values = bytes ? SettingsDocument::decode(*bytes) : std::nullopt;
    if (values) {
        values_ = std::move(*values);
    } else {
        mayWrite_ = setAside(path_);
    }
}

void JsonSettingsStore::migrate(const QString& legacyIniPath) {
    const std::optional<QByteArray> bytes = regularFileBytes(legacyIniPath);
    std::optional<SettingsValues> values = bytes ? LegacyIniSettings::read(*bytes) : std::nullopt;
    if (!values) {
        mayWrite_ = setAside(legacyIniPath);
        return;
    }
    values_ = std::move(*values);
    unsaved_ = true;
    // Moved aside only once its values are safe in the new file: a save that fails leaves it
    // to be carried over at the next start.
    if (save() && !QFile::rename(legacyIniPath, freePath(legacyIniPath + u".migrated"_s))) {
        qWarning(
            "Spindrel: carried %s over to %s but could not move it aside; it is not read again.",
            qPrintable(legacyIniPath), qPrintable(path_));
    }
}

bool JsonSettingsStore::setAside(const QString& damagedPath) {
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    const QString aside = freePath(u"%1.damaged-%2"_s.arg(damagedPath, stamp));
    if (!QFile::rename(damagedPath, aside)) {
        qWarning(
            "Spindrel: %s is damaged and could not be moved aside; "
            "running on defaults without saving.",
            qPrintable(damagedPath));
        return false;
    }
    qWarning("Spindrel: %s was damaged; kept it as %s and started afresh.", qPrintable(damagedPath),
             qPrintable(aside));
    setAsidePath_ = aside;
    return true;
}

bool JsonSettingsStore::save() {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    const QByteArray bytes = SettingsDocument::encode(values_);
    // Qt 6.4's commit() does not notice a buffered write that fails on a full disk and would
    // put the cut-off file in place of the good one: flush and check first. An uncommitted
    // QSaveFile discards what it wrote.
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                       file.flush() && file.commit();
    if (saved) {
        unsaved_ = false;
        warnedAboutSave_ = false;
    } else if (!warnedAboutSave_) {
        // Once per run of failed saves: a full disk would otherwise warn every half minute.
        warnedAboutSave_ = true;
        qWarning("Spindrel: could not save %s (%s); today's counts live on in memory.",
                 qPrintable(path_), qPrintable(file.errorString()));
    }
    return saved;
}

template <typename T>
std::optional<T> JsonSettingsStore::typed(const QString& key) const {
    const auto it = values_.constFind(key);
    const T* value = it == values_.cend() ? nullptr : std::get_if<T>(&it.value());
    return value ? std::optional<T>(*value) : std::nullopt;
}

bool JsonSettingsStore::contains(const QString& key) const {
    return values_.contains(key);
}

std::optional<qint64> JsonSettingsStore::integer(const QString& key) const {
    return typed<qint64>(key);
}

std::optional<bool> JsonSettingsStore::boolean(const QString& key) const {
    return typed<bool>(key);
}

std::optional<double> JsonSettingsStore::real(const QString& key) const {
    return typed<double>(key);
}

std::optional<QString> JsonSettingsStore::string(const QString& key) const {
    return typed<QString>(key);
}

void JsonSettingsStore::set(const QString& key, SettingsValue value) {
    values_.insert(key, std::move(value));
    unsaved_ = true;
}

void JsonSettingsStore::setInteger(const QString& key, qint64 value) {
    set(key, value);
}

void JsonSettingsStore::setBoolean(const QString& key, bool value) {
    set(key, value);
}

void JsonSettingsStore::setReal(const QString& key, double value) {
    set(key, value);
}

void JsonSettingsStore::setString(const QString& key, const QString& value) {
    set(key, value);
}

void JsonSettingsStore::commit() {
    if (mayWrite_ && unsaved_) {
        save();
    }
}
