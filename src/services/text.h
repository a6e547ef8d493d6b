// The value types the services and features pass around: GBK texts, byte sets and text arrays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// GBK bytes (code page 936) without the terminating zero; lengths and positions count bytes and a
// byte of 0x80 or above leads a double-byte character. An absent text and the empty text are both
// the empty string.
using Text = std::string;

// Raw bytes as they arrived, zero bytes included.
using ByteSet = std::vector<std::uint8_t>;

// One-dimensional, indexed from 1 by member access; a member may be empty.
using TextArray = std::vector<Text>;

} // namespace tavik
