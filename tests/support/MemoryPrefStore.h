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
    int opened = 0;

    bool OpenReadOnly() override { return exists; }
    bool Open() override { return writable && (exists = true); }
    bool Close() override { return true; }
    const Value *Get(const std::string &n, char type)
    {
        auto it = values.find(n);
        return it != values.end() && it->second.type == type ? &it->second : nullptr;
    }
    bool ReadBool(const std::string &n, bool &v) override
    {
        const Value *x = Get(n, 'b');
        return x ? (v = x->i != 0, true) : false;
    }
    bool ReadInteger(const std::string &n, int32_t &v) override
    {
        const Value *x = Get(n, 'i');
        return x ? (v = x->i, true) : false;
    }
    bool ReadString(const std::string &n, std::string &v) override
    {
        if (!values.count(n))
            return v.clear(), true;
        const Value *x = Get(n, 's');
        return x ? (v = x->s, true) : false;
    }
    bool ReadBinary(const std::string &n, std::string &v) override
    {
        const Value *x = Get(n, 'x');
        return x ? (v = x->s, true) : false;
    }
    bool ReadDate(const std::string &n, double &v) override
    {
        const Value *x = Get(n, 'd');
        return x ? (v = x->d, true) : false;
    }
    void WriteBool(const std::string &n, bool v) override { values[n] = {'b', v, {}}; }
    void WriteInteger(const std::string &n, int32_t v) override { values[n] = {'i', v, {}}; }
    void WriteString(const std::string &n, const std::string &v) override { values[n] = {'s', 0, v}; }
    void WriteBinary(const std::string &n, const std::string &v) override { values[n] = {'x', 0, v}; }
    void WriteDate(const std::string &n, double v) override { values[n] = {'d', 0, {}, v}; }
    bool ReadFallback(std::string &b) override { return file ? (b = *file, true) : false; }
    bool WriteFallback(const std::string &b) override { return fileWritable ? (file = b, true) : false; }
    void EraseFallback() override { file.reset(); }
};
