// Fuzzes split_text with any text, delimiter and member limit.
//
// Input: a flag byte (bit 0: a delimiter is given, bit 1: a limit is given), the delimiter's length
// (0 to 4, modulo 5), the limit (32 bits, little-endian), the delimiter, then the text.
//
// Properties, where T is the text up to its first zero byte and D the delimiter up to its first
// zero byte (a Text ends there):
//  1. Without a limit, the members joined with D give back T, or T without a D at its very end
//     (a delimiter at the end makes no empty last member). An empty D gives T as the one member;
//     an empty T gives no members.
//  2. Members never start at a trail byte: read from the start of a member, the characters (a
//     byte of 0x80 or above takes the next byte with it) end exactly where the delimiter after it
//     begins, and D is found at none of the character starts in between. Only the last member may
//     end in a lone lead byte.
//  3. With a limit L (negative counts as 0), the result is the first L members of the result
//     without a limit (all of them when there are fewer): the rest of the text is dropped.
//  4. No read past the text: the bytes are handed over in a buffer of exactly their size, so
//     AddressSanitizer catches a read beyond them.
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "services/text_operations.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string_view up_to_zero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

bool is_lead(char byte) {
    return static_cast<unsigned char>(byte) >= 0x80;
}

std::string join(const tavik::TextArray& members, std::string_view delimiter) {
    std::string joined;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0) {
            joined += delimiter;
        }
        joined += members[i];
    }
    return joined;
}

void check_unlimited(std::string_view text, std::string_view delimiter,
                     const tavik::TextArray& members) {
    if (text.empty()) {
        FUZZ_CHECK(members.empty());
        return;
    }
    if (delimiter.empty()) {
        FUZZ_CHECK(members.size() == 1 && members[0] == text);
        return;
    }
    const std::string joined = join(members, delimiter);
    FUZZ_CHECK(joined == text || joined + std::string(delimiter) == text);

    // Where the members and the delimiters between them lie in the text.
    std::size_t start = 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string_view member = members[i];
        FUZZ_CHECK(text.substr(start, member.size()) == member);
        const std::size_t end = start + member.size();
        const bool last = i + 1 == members.size();
        const bool delimiter_follows = !last || end < text.size();
        std::size_t at = start;
        while (at < end) {
            // A match would have ended the member here.
            FUZZ_CHECK(text.compare(at, delimiter.size(), delimiter) != 0);
            at += is_lead(text[at]) && at + 1 < text.size() ? 2 : 1;
        }
        if (delimiter_follows) {
            FUZZ_CHECK(at == end); // a character does not reach into the delimiter
            FUZZ_CHECK(text.compare(end, delimiter.size(), delimiter) == 0);
            start = end + delimiter.size();
        } else {
            FUZZ_CHECK(end == text.size());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t flags = input.byte();
    const bool has_delimiter = (flags & 1) != 0;
    const bool has_limit = (flags & 2) != 0;
    const std::size_t delimiter_length = input.byte() % 5;
    const std::int32_t limit = input.int32();
    const std::vector<char> delimiter_bytes = input.bytes(delimiter_length);
    const std::vector<char> text_bytes = input.rest();
    const std::string_view text_view(text_bytes.data(), text_bytes.size());

    const std::optional<std::string_view> delimiter =
        has_delimiter ? std::optional<std::string_view>(
                            std::string_view(delimiter_bytes.data(), delimiter_bytes.size()))
                      : std::nullopt;
    const tavik::TextArray unlimited = tavik::split_text(text_view, delimiter);
    check_unlimited(up_to_zero(text_view), delimiter ? up_to_zero(*delimiter) : ",", unlimited);

    if (has_limit) {
        const tavik::TextArray limited = tavik::split_text(text_view, delimiter, limit);
        const std::size_t kept =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(limit, 0)), unlimited.size());
        FUZZ_CHECK(limited.size() == kept);
        FUZZ_CHECK(std::equal(limited.begin(), limited.end(), unlimited.begin()));
    }
    return 0;
}
