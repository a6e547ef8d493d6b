// Reads a fuzz input front to back in the fixed layouts the targets document, so that the seed
// corpus can be written by hand (fuzz/make_seeds.py).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size) {}

    // 0 once the input is used up.
    std::uint8_t byte() { return size_ > 0 ? (--size_, *data_++) : 0; }

    std::int32_t int32() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= std::uint32_t{byte()} << shift; // little-endian
        }
        return static_cast<std::int32_t>(value);
    }

    // Up to `count` bytes in a buffer of exactly their size, so that a read past them is caught.
    std::vector<char> bytes(std::size_t count) {
        const std::size_t taken = std::min(count, size_);
        std::vector<char> out(data_, data_ + taken);
        data_ += taken;
        size_ -= taken;
        return out;
    }

    std::vector<char> rest() { return bytes(size_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};
