// Bytes of a fuzz input read as a sequence of small choices; past the end
// every read is 0, so any input is a valid program of steps.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int Below(int n) { return n > 0 ? Byte() % n : 0; }
    int32_t Int32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(Byte()) << (8 * i);
        return int32_t(v);
    }
    // Up to n bytes (fewer at the end), as text.
    std::string Text(size_t n)
    {
        n = std::min(n, size_ - pos_);
        pos_ += n;
        return std::string(reinterpret_cast<const char *>(data_ + pos_ - n), n);
    }
    std::string Rest() { return Text(size_ - pos_); }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};
