// A settings store in memory for the preference tests and the fuzzer:
// values keep the type they were written with; the fallback file is a string.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "shell/Preferences.h"

struct MemoryPrefStore : TPrefStore {
    struct Value {
        char type;  // 'b'ool, 'i'nteger, 's'tring, 'x' binary, 'd'ate
        int32_t i = 0;
        std::string s;
        double d = 0;
    };
    bool exists = false, writable = true, fileWritable = true;
    std::map<std::string, Value> values;
    std::optional<std::string> file;

    bool OpenReadOnly() override { return exists; }
    bool Open() override { return writable && (exists = true); }
    bool Close() override { return true; }
    // A value of another type reads as missing, a missing string as empty.
    template <class T, class M>
    bool Read(const std::string &n, char type, T &v, M Value::*field)
    {
        auto it = values.find(n);
        if (it == values.end())
            return type == 's' && (v = T(), true);
        return it->second.type == type && (v = T(it->second.*field), true);
    }
    bool ReadBool(const std::string &n, bool &v) override { return Read(n, 'b', v, &Value::i); }
    bool ReadInteger(const std::string &n, int32_t &v) override { return Read(n, 'i', v, &Value::i); }
    bool ReadString(const std::string &n, std::string &v) override { return Read(n, 's', v, &Value::s); }
    bool ReadBinary(const std::string &n, std::string &v) override { return Read(n, 'x', v, &Value::s); }
    bool ReadDate(const std::string &n, double &v) override { return Read(n, 'd', v, &Value::d); }
    void WriteBool(const std::string &n, bool v) override { values[n] = {'b', v, {}}; }
    void WriteInteger(const std::string &n, int32_t v) override { values[n] = {'i', v, {}}; }
    void WriteString(const std::string &n, const std::string &v) override { values[n] = {'s', 0, v}; }
    void WriteBinary(const std::string &n, const std::string &v) override { values[n] = {'x', 0, v}; }
    void WriteDate(const std::string &n, double v) override { values[n] = {'d', 0, {}, v}; }
    bool ReadFallback(std::string &b) override { return file ? (b = *file, true) : false; }
    bool WriteFallback(const std::string &b) override { return fileWritable ? (file = b, true) : false; }
    void EraseFallback() override { file.reset(); }
};
