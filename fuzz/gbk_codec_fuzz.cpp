// Fuzzes the GBK codec both ways: the input is read once as GBK bytes and once as UTF-16 units.
//
// Properties:
//  1. GBK to UTF-16 never crashes and gives at most one unit per byte; zero bytes come through as
//     U+0000, one each, wherever they stand.
//  2. Valid GBK (text that converts without a replacement character) converts back to exactly the
//     same bytes.
//  3. UTF-16 to GBK gives at most two bytes per unit, and its output is valid GBK: it converts to
//     UTF-16 without a replacement character.
//  4. That conversion back gives the original text, except that each character GBK cannot hold (a
//     surrogate pair, a lone surrogate, a character the code page lacks) is one '?'.
//  5. No read past either input (exact-size buffers under AddressSanitizer).
#include "fuzz_check.h"
#include "services/gbk_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void check_gbk_bytes(std::string_view gbk) {
    const std::u16string unicode = tavik::gbk_to_utf16(gbk);
    FUZZ_CHECK(unicode.size() <= gbk.size());
    FUZZ_CHECK(std::count(unicode.begin(), unicode.end(), u'\0') ==
               std::count(gbk.begin(), gbk.end(), '\0'));
    if (unicode.find(tavik::kGbkReplacementCharacter) == std::u16string::npos) {
        FUZZ_CHECK(tavik::utf16_to_gbk(unicode) == gbk);
    }
}

void check_unicode(std::u16string_view unicode) {
    const tavik::Text gbk = tavik::utf16_to_gbk(unicode);
    FUZZ_CHECK(gbk.size() <= 2 * unicode.size());
    const std::u16string back = tavik::gbk_to_utf16(gbk);
    FUZZ_CHECK(back.find(tavik::kGbkReplacementCharacter) == std::u16string::npos);

    std::size_t i = 0;
    std::size_t j = 0;
    while (i < unicode.size()) {
        FUZZ_CHECK(j < back.size());
        if (back[j] == unicode[i]) {
            ++i;
            ++j;
            continue;
        }
        FUZZ_CHECK(back[j] == static_cast<char16_t>(tavik::kGbkUnrepresentableByte));
        const bool pair = is_high_surrogate(unicode[i]) && i + 1 < unicode.size() &&
                          is_low_surrogate(unicode[i + 1]);
        i += pair ? 2 : 1;
        ++j;
    }
    FUZZ_CHECK(j == back.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> bytes(data, data + size);
    check_gbk_bytes(std::string_view(bytes.data(), bytes.size()));

    std::vector<char16_t> units(size / 2);
    if (!units.empty()) {
        std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
    }
    check_unicode(std::u16string_view(units.data(), units.size()));
    return 0;
}
