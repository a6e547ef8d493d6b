// Fuzzes bytes_to_text with byte sets that may hold zero bytes anywhere.
//
// Properties:
//  1. The text is the byte set's bytes up to, not including, the first zero byte, or all of them
//     when there is none: a prefix of the bytes, unchanged.
//  2. The text holds no zero byte.
//  3. No read past the byte set (exact-size buffer under AddressSanitizer).
#include "fuzz_check.h"
#include "services/text_operations.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tavik::ByteSet bytes(data, data + size);
    const tavik::Text text = tavik::bytes_to_text(bytes);

    const std::size_t zero =
        static_cast<std::size_t>(std::find(data, data + size, 0) - data); // size when none
    FUZZ_CHECK(text.size() == zero);
    FUZZ_CHECK(std::equal(text.begin(), text.end(), data, [](char t, std::uint8_t b) {
        return static_cast<std::uint8_t>(t) == b;
    }));
    FUZZ_CHECK(text.find('\0') == tavik::Text::npos);
    return 0;
}
