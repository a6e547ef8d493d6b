// Conversion between the GBK bytes of a Text and the UTF-16 that the window toolkit keeps.
#pragma once

#include "text.h"

#include <string>
#include <string_view>

namespace tavik {

// What a GBK byte sequence that maps to no character becomes. A lead byte followed by a byte of
// 0x80 or above is one broken character and gives one replacement; a lead byte followed by an ASCII
// byte, or at the very end, gives one replacement and the ASCII byte is kept.
inline constexpr char16_t kGbkReplacementCharacter = u'\uFFFD';

// What a character that GBK cannot hold becomes (one byte per character, a surrogate pair or a lone
// surrogate included); the rest of the text converts as usual.
inline constexpr char kGbkUnrepresentableByte = '?';

// Code page 936 as the converter knows it (0x80 is the euro sign).
std::u16string gbk_to_utf16(std::string_view gbk);
Text utf16_to_gbk(std::u16string_view text);

} // namespace tavik
