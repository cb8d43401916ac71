// Bytes of a fuzz input read as a sequence of small choices; past the end
// every read is 0, so any input is a valid program of steps.
#pragma once

#include <cstddef>
#include <cstdint>

class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int Below(int n) { return n > 0 ? Byte() % n : 0; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};
