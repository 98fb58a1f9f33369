#pragma once

#include <QHash>
#include <QVariant>

#include "Platform/SettingsStore.h"

// Keeps typed values as a defaults store does; put() plants any value, of any type.
class MemorySettingsStore final : public SettingsStore {
public:
    bool contains(const QString& key) const override { return values.contains(key); }
    std::optional<qint64> integer(const QString& key) const override { return typed<qint64>(key); }
    std::optional<bool> boolean(const QString& key) const override { return typed<bool>(key); }
    std::optional<double> real(const QString& key) const override { return typed<double>(key); }
    std::optional<QString> string(const QString& key) const override { return typed<QString>(key); }

    void setInteger(const QString& key, qint64 value) override { put(key, value); }
    void setBoolean(const QString& key, bool value) override { put(key, value); }
    void setReal(const QString& key, double value) override { put(key, value); }
    void setString(const QString& key, const QString& value) override { put(key, value); }
    void commit() override { ++commits; }

    void put(const QString& key, QVariant value) { values.insert(key, std::move(value)); }

    QHash<QString, QVariant> values;
    int commits = 0;

private:
    template <typename T>
    std::optional<T> typed(const QString& key) const {
        const auto it = values.constFind(key);
        if (it == values.cend() || it->metaType() != QMetaType::fromType<T>()) {
            return std::nullopt;
        }
        return it->template value<T>();
    }
};
