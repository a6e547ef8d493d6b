// Fuzzes the read-size rule and the Content-Length header recognition.
//
// Input: a flag byte (bit 0: the header is there), then the bytes, taken once as the header's value
// and once as a whole header line.
//
// Properties:
//  1. The read size is always 10240 or from 2 to 102400.
//  2. It matches a reference model built on strtoll: no value or one longer than 31 characters
//     gives 10240; otherwise strtoll's leading decimal number n gives n + 1 (at most 102400) when
//     it is positive and 10240 when it is 0, negative or missing.
//  3. A header line is taken as Content-Length only when it starts with that name (any case) and a
//     colon; the value is what follows, without white space around it.
//  4. No read past the value or the line (exact-size buffers under AddressSanitizer).
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "services/read_size.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::size_t reference_read_size(std::optional<std::string_view> value) {
    if (!value || value->size() > tavik::read_size::kLongestValue) {
        return tavik::read_size::kUnannounced;
    }
    const std::string terminated(*value); // strtoll stops at a zero byte, as the rule does
    const long long n = std::strtoll(terminated.c_str(), nullptr, 10);
    if (n <= 0) {
        return tavik::read_size::kUnannounced;
    }
    return static_cast<std::size_t>(std::min<long long>(n, tavik::read_size::kLargest - 1)) + 1;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_content_length_name(std::string_view name) {
    constexpr std::string_view kName = "content-length";
    return name.size() == kName.size() &&
           std::equal(name.begin(), name.end(), kName.begin(), [](char c, char lower) {
               return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == lower;
           });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const bool announced = (input.byte() & 1) != 0;
    const std::vector<char> bytes = input.rest();
    const std::string_view text(bytes.data(), bytes.size());

    const std::optional<std::string_view> value =
        announced ? std::optional<std::string_view>(text) : std::nullopt;
    const std::size_t read_size = tavik::read_size_for_content_length(value);
    FUZZ_CHECK(read_size == tavik::read_size::kUnannounced ||
               (read_size >= 2 && read_size <= tavik::read_size::kLargest));
    FUZZ_CHECK(read_size == reference_read_size(value));

    // The same bytes as a header line.
    const std::optional<std::string_view> found = tavik::content_length_of_header_line(text);
    const std::size_t colon = text.find(':');
    const bool named =
        colon != std::string_view::npos && is_content_length_name(text.substr(0, colon));
    FUZZ_CHECK(found.has_value() == named);
    if (found) {
        FUZZ_CHECK(found->data() >= text.data() + colon + 1 &&
                   found->data() + found->size() <= text.data() + text.size());
        FUZZ_CHECK(found->empty() || (!is_space(found->front()) && !is_space(found->back())));
        // Only white space lies between the colon and the value, and after it.
        const std::string_view before(text.data() + colon + 1,
                                      static_cast<std::size_t>(found->data() - text.data()) -
                                          colon - 1);
        const std::string_view after =
            text.substr(static_cast<std::size_t>(found->data() - text.data()) + found->size());
        FUZZ_CHECK(std::all_of(before.begin(), before.end(), is_space));
        FUZZ_CHECK(std::all_of(after.begin(), after.end(), is_space));
    }
    return 0;
}
