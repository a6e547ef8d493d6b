// Fuzzes compare_texts with pairs and triples of texts that may hold zero bytes anywhere.
//
// Input: the lengths of the first and the second text (one byte each), the first, the second, then
// the third text.
//
// Properties, where a text is read up to its first zero byte:
//  1. The result is -1, 0 or +1, and swapping the texts negates it (antisymmetry).
//  2. The result is 0 exactly when both texts have the same bytes up to their first zero byte.
//  3. The order is that of the bytes as unsigned values, a prefix sorting first (checked against
//     std::lexicographical_compare), and it is transitive over three texts.
//  4. No read past either text (exact-size buffers under AddressSanitizer).
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "services/text_operations.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

std::string_view up_to_zero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

int reference_order(std::string_view a, std::string_view b) {
    const auto less = [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less)) {
        return -1;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less)) {
        return 1;
    }
    return 0;
}

std::string_view view(const std::vector<char>& bytes) {
    return {bytes.data(), bytes.size()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::size_t a_length = input.byte();
    const std::size_t b_length = input.byte();
    const std::vector<char> a = input.bytes(a_length);
    const std::vector<char> b = input.bytes(b_length);
    const std::vector<char> c = input.rest();

    const int ab = tavik::compare_texts(view(a), view(b));
    const int ba = tavik::compare_texts(view(b), view(a));
    FUZZ_CHECK(ab == -1 || ab == 0 || ab == 1);
    FUZZ_CHECK(ab == -ba);
    FUZZ_CHECK((ab == 0) == (up_to_zero(view(a)) == up_to_zero(view(b))));
    FUZZ_CHECK(ab == reference_order(up_to_zero(view(a)), up_to_zero(view(b))));
    FUZZ_CHECK(tavik::compare_texts(view(a), view(a)) == 0);

    const int bc = tavik::compare_texts(view(b), view(c));
    const int ac = tavik::compare_texts(view(a), view(c));
    if (ab <= 0 && bc <= 0) {
        FUZZ_CHECK(ac <= 0);
        FUZZ_CHECK(ac < 0 || (ab == 0 && bc == 0));
    }
    return 0;
}
