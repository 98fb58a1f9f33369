#include "Platform/Linux/IniSettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QtDebug>

using namespace Qt::StringLiterals;

namespace {

// Text that QSettings would silently read past: bytes that are no text, or lines that are
// neither a section, a key with a value, nor a comment (a cut-off write, foreign content).
bool looksLikeOurIni(const QByteArray& bytes) {
    if (bytes.contains('\0')) {
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return false;
    }
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        const bool fine = line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#') ||
                          (line.startsWith(u'[') && line.endsWith(u']')) || line.contains(u'=');
        if (!fine) {
            return false;
        }
    }
    return true;
}

QString freeAsidePath(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString candidate = u"%1.damaged-%2"_s.arg(path, stamp);
    for (int n = 2; QFileInfo::exists(candidate); ++n) {
        candidate = u"%1.damaged-%2-%3"_s.arg(path, stamp).arg(n);
    }
    return candidate;
}

}  // namespace

IniSettingsStore::IniSettingsStore(QString path) : path_(std::move(path)) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // A damaged file that cannot be moved aside is left as it is: the store then works from
    // defaults in memory rather than write over what the user had.
    if (isDamaged() && !setAside()) {
        return;
    }
    file_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    if (file_->status() != QSettings::NoError) {
        file_.reset();
        if (!setAside()) {
            return;
        }
        file_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    }
    for (const QString& key : file_->allKeys()) {
        values_.insert(key, file_->value(key));
    }
}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/spindrel/spindrel.conf"_s;
}

bool IniSettingsStore::isDamaged() const {
    const QFileInfo info(path_);
    if (!info.exists() && !info.isSymLink()) {
        return false;
    }
    if (!info.isFile()) {
        return true;
    }
    QFile file(path_);
    return !file.open(QIODevice::ReadOnly) || !looksLikeOurIni(file.readAll());
}

bool IniSettingsStore::setAside() {
    const QString aside = freeAsidePath(path_);
    if (!QFile::rename(path_, aside)) {
        qWarning(
            "Spindrel: %s is damaged and could not be moved aside; "
            "running on defaults without saving.",
            qPrintable(path_));
        return false;
    }
    qWarning("Spindrel: %s was damaged; kept it as %s and started afresh.", qPrintable(path_),
             qPrintable(aside));
    setAsidePath_ = aside;
    return true;
}

bool IniSettingsStore::contains(const QString& key) const {
    return values_.contains(key);
}

std::optional<QString> IniSettingsStore::text(const QString& key) const {
    const auto it = values_.constFind(key);
    if (it == values_.cend() || it->metaType() != QMetaType::fromType<QString>()) {
        return std::nullopt;
    }
    return it->toString();
}

std::optional<qint64> IniSettingsStore::integer(const QString& key) const {
    const auto value = text(key);
    bool ok = false;
    const qint64 number = value ? value->toLongLong(&ok) : 0;
    return ok ? std::optional(number) : std::nullopt;
}

std::optional<bool> IniSettingsStore::boolean(const QString& key) const {
    const auto value = text(key);
    if (value == u"true"_s) {
        return true;
    }
    if (value == u"false"_s) {
        return false;
    }
    return std::nullopt;
}

std::optional<double> IniSettingsStore::real(const QString& key) const {
    const auto value = text(key);
    bool ok = false;
    const double number = value ? value->toDouble(&ok) : 0.0;
    return ok ? std::optional(number) : std::nullopt;
}

std::optional<QString> IniSettingsStore::string(const QString& key) const {
    return text(key);
}

void IniSettingsStore::write(const QString& key, const QString& value) {
    values_.insert(key, value);
    if (file_) {
        file_->setValue(key, value);
    }
}

void IniSettingsStore::setInteger(const QString& key, qint64 value) {
    write(key, QString::number(value));
}

void IniSettingsStore::setBoolean(const QString& key, bool value) {
    write(key, value ? u"true"_s : u"false"_s);
}

void IniSettingsStore::setReal(const QString& key, double value) {
    write(key, QString::number(value, 'g', QLocale::FloatingPointShortest));
}

void IniSettingsStore::setString(const QString& key, const QString& value) {
    write(key, value);
}

void IniSettingsStore::commit() {
    if (!file_) {
        return;
    }
    file_->sync();
    if (file_->status() != QSettings::NoError && !warnedAboutWrite_) {
        warnedAboutWrite_ = true;
        qWarning("Spindrel: could not save %s; today's counts live on in memory.",
                 qPrintable(path_));
    }
}
