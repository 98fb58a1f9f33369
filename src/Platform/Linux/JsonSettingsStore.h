#pragma once

#include <QString>

#include "Platform/Linux/SettingsValues.h"
#include "Platform/SettingsStore.h"

// The settings and day record in one JSON file, by default ~/.config/spindrel/spindrel.json,
// each value with its type and the whole under a checksum. Saves replace the file atomically
// and never wait on a lock. A damaged file is set aside beside the new one, never overwritten;
// a save that fails keeps the old file and the values in memory.
class JsonSettingsStore final : public SettingsStore {
public:
    // legacyIniPath names the INI file earlier versions kept; it is read only while path does
    // not exist yet, and moved aside once its values are saved in the new file.
    explicit JsonSettingsStore(QString path, QString legacyIniPath = {});

    // The XDG config locations of the file and of the one it replaces.
    static QString defaultPath();
    static QString defaultLegacyIniPath();

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
    template <typename T>
    std::optional<T> typed(const QString& key) const;
    void set(const QString& key, SettingsValue value);
    void open();
    void migrate(const QString& legacyIniPath);
    bool setAside(const QString& damagedPath);
    bool save();

    QString path_;
    QString setAsidePath_;
    SettingsValues values_;
    // False while a damaged file that could not be moved aside sits at path_.
    bool mayWrite_ = true;
    bool unsaved_ = false;
    bool warnedAboutSave_ = false;
};
