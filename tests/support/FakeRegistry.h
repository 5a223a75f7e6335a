#pragma once
// A scripted registry: keys and values set by the test, Windows rules for
// buffers and sizes, and a record of every call.
#include "platform/Registry.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace zebrix::test {

class FakeRegistry : public RegistryService {
public:
    struct Value {
        std::uint32_t type = kRegSz;
        QByteArray bytes;                  // as stored, a string's terminating zero included
        long failure = kErrorSuccess;      // a read of this value fails with this code
        std::optional<std::uint32_t> size; // a size to report instead of the bytes' (a misbehaving store)
    };

    // A string value as the registry stores it: 8-bit text and its terminating zero.
    static Value String(const QByteArray& text)
    {
        QByteArray bytes = text;
        bytes.append('\0');
        return {kRegSz, bytes, kErrorSuccess, std::nullopt};
    }
    static Value Dword(std::uint32_t v)
    {
        QByteArray bytes;
        for (int i = 0; i < 4; ++i)
            bytes.append(static_cast<char>((v >> (8 * i)) & 0xFF));
        return {kRegDword, bytes, kErrorSuccess, std::nullopt};
    }

    void set(const QString& key, const QString& name, const Value& value) { keys[key.toUpper()][name.toUpper()] = value; }
    void addKey(const QString& key) { keys[key.toUpper()]; }

    long openKey(RegistryKey parent, const QString& subKey, std::uint32_t access, RegistryKey* result) override
    {
        opens.push_back({parent, subKey, access});
        *result = 0;
        if (parent != kHkeyLocalMachine)
            return kErrorInvalidHandle;
        const auto it = keys.find(subKey.toUpper());
        if (it == keys.end())
            return kErrorFileNotFound;
        *result = next++;
        open.push_back({*result, it->first});
        return kErrorSuccess;
    }

    long queryValue(RegistryKey key, const QString& valueName, std::uint32_t* type, char* data,
                    std::uint32_t* size) override
    {
        queries.push_back({key, valueName, size ? *size : 0});
        const auto k = std::find_if(open.begin(), open.end(), [key](const Handle& h) { return h.handle == key; });
        if (k == open.end())
            return kErrorInvalidHandle;
        const auto& values = keys[k->path];
        const auto v = values.find(valueName.toUpper());
        if (v == values.end())
            return kErrorFileNotFound;
        const Value& value = v->second;
        if (value.failure != kErrorSuccess)
            return value.failure;
        const auto needed = static_cast<std::uint32_t>(value.bytes.size());
        *type = value.type;
        if (data == nullptr) {
            *size = needed;
            return kErrorSuccess;
        }
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        std::memcpy(data, value.bytes.constData(), needed);
        *size = value.size.value_or(needed);
        return kErrorSuccess;
    }

    long closeKey(RegistryKey key) override
    {
        closes.push_back(key);
        const auto k = std::find_if(open.begin(), open.end(), [key](const Handle& h) { return h.handle == key; });
        if (k == open.end())
            return kErrorInvalidHandle;
        open.erase(k);
        return kErrorSuccess;
    }

    struct Open {
        RegistryKey parent;
        QString subKey;
        std::uint32_t access;
    };
    struct Query {
        RegistryKey key;
        QString valueName;
        std::uint32_t bufferSize;
    };
    struct Handle {
        RegistryKey handle;
        QString path;
    };

    std::map<QString, std::map<QString, Value>> keys; // upper-cased key path -> upper-cased value name -> value
    std::vector<Open> opens;
    std::vector<Query> queries;
    std::vector<RegistryKey> closes;
    std::vector<Handle> open; // keys still open
    RegistryKey next = 0x1000;
};

} // namespace zebrix::test
