#pragma once

#include <bit>
#include <variant>

#include "Platform/Linux/SettingsValues.h"
#include "Platform/SettingsStore.h"
#include "Support/FileBytes.h"

// Whether the store reads key back exactly as expected: of the same type, a real to the bit.
inline bool readsBack(const SettingsStore& store, const QString& key,
                      const SettingsValue& expected) {
    if (const auto* real = std::get_if<double>(&expected)) {
        const auto read = store.real(key);
        return read && std::bit_cast<quint64>(*read) == std::bit_cast<quint64>(*real);
    }
    if (const auto* integer = std::get_if<qint64>(&expected)) {
        return store.integer(key) == *integer;
    }
    if (const auto* boolean = std::get_if<bool>(&expected)) {
        return store.boolean(key) == *boolean;
    }
    return store.string(key) == std::get<QString>(expected);
}

inline void storeAll(SettingsStore& store, const SettingsValues& values) {
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (const auto* real = std::get_if<double>(&it.value())) {
            store.setReal(it.key(), *real);
        } else if (const auto* integer = std::get_if<qint64>(&it.value())) {
            store.setInteger(it.key(), *integer);
        } else if (const auto* boolean = std::get_if<bool>(&it.value())) {
            store.setBoolean(it.key(), *boolean);
        } else {
            store.setString(it.key(), std::get<QString>(it.value()));
        }
    }
    store.commit();
}
