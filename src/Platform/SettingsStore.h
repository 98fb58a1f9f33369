#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// The user's persistent key-value store for settings and the day record.
// Each typed read is absent both when the key is missing and when what is stored there is
// not of that type; contains() tells the two apart.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool contains(const QString& key) const = 0;
    virtual std::optional<qint64> integer(const QString& key) const = 0;
    virtual std::optional<bool> boolean(const QString& key) const = 0;
    virtual std::optional<double> real(const QString& key) const = 0;
    virtual std::optional<QString> string(const QString& key) const = 0;

    virtual void setInteger(const QString& key, qint64 value) = 0;
    virtual void setBoolean(const QString& key, bool value) = 0;
    virtual void setReal(const QString& key, double value) = 0;
    virtual void setString(const QString& key, const QString& value) = 0;

    // Makes everything set so far durable. The tracker calls it after each group of writes.
    virtual void commit() = 0;
};
