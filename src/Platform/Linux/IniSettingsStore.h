#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

#include "Platform/SettingsStore.h"

class QSettings;

// The settings and day record in an INI file, by default ~/.config/spindrel/spindrel.conf.
// Values are kept as text the user can read; each type has one spelling, and a real is
// written in its shortest exact form so it reads back bit for bit. Writes replace the file
// atomically. A damaged file is set aside beside the new one, never overwritten.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(QString path);
    ~IniSettingsStore() override;

    // The XDG config location.
    static QString defaultPath();

    // Where a damaged file found at opening was moved; empty when there was none.
    const QString& setAsidePath() const { return setAsidePath_; }
    const QString& path() const { return path_; }

    bool contains(const QString& key) const override;
    std::optional<qint64> integer(const QString& key) const override;
    std::optional<bool> boolean(const QString& key) const override;
    std::optional<double> real(const QString& key) const override;
    std::optional<QString> string(const QString& key) const override;

    void setInteger(const QString& key, qint64 value) override;
    void setBoolean(const QString& key, bool value) override;
    void setReal(const QString& key, double value) override;
    void setString(const QString& key, const QString& value) override;
    void commit() override;

private:
    std::optional<QString> text(const QString& key) const;
    void write(const QString& key, const QString& value);
    bool isDamaged() const;
    bool setAside();

    QString path_;
    QString setAsidePath_;
    std::unique_ptr<QSettings> file_;
    // What the file holds, read once: reads at every tick need no parsing.
    QHash<QString, QVariant> values_;
    bool warnedAboutWrite_ = false;
};
