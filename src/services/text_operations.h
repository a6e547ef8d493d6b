// Operations on texts, byte sets and text arrays. A text ends at its first zero byte, if it has
// one.
#pragma once

#include "text.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavik {

// The bytes up to, not including, the first zero byte (all of them when there is none). No
// trimming, no change of encoding.
Text bytes_to_text(const ByteSet& bytes);

// -1, 0 or +1: byte by byte as unsigned values, no case folding, no locale. The empty text stands
// for an absent one, and a text that is a prefix of the other sorts first.
int compare_texts(std::string_view first, std::string_view second);

// Splits at the delimiter ("," when none is given). A match is only tried at the start of a
// character, never at a trail byte. Empty members at the start and between adjacent delimiters are
// kept; a delimiter at the very end makes no empty last member. A limit (negative counts as 0)
// stops after that many delimiters and drops the rest of the text. An empty delimiter gives the
// whole text as one member; an empty text or a limit of 0 gives no members.
TextArray split_text(std::string_view text,
                     std::optional<std::string_view> delimiter = std::nullopt,
                     std::optional<std::int32_t> limit = std::nullopt);

std::int32_t member_count(const TextArray& members);

// The member at a 1-based index; the array keeps it. An index below 1 ends the program with fatal
// code 4, then an index above the member count with code 1.
const Text& member_access(const TextArray& members, std::int32_t index);

} // namespace tavik
