// The Content-Length rule that sizes the reads of a response body.
#include "read_size.h"

#include <algorithm>

namespace tavik {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::size_t read_size_for_content_length(std::optional<std::string_view> value) {
    if (!value || value->size() > read_size::kLongestValue) {
        return read_size::kUnannounced;
    }
    std::string_view rest = *value;
    while (!rest.empty() && is_space(rest.front())) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // Saturates: every length from kLargest on gives the same size, so larger numbers need not fit.
    std::size_t length = 0;
    for (; !rest.empty() && is_digit(rest.front()); rest.remove_prefix(1)) {
        length = std::min<std::size_t>(length * 10 + static_cast<std::size_t>(rest.front() - '0'),
                                       read_size::kLargest);
    }
    if (negative || length == 0) {
        return read_size::kUnannounced;
    }
    return std::min(length + 1, read_size::kLargest);
}

std::optional<std::string_view> content_length_of_header_line(std::string_view line) {
    constexpr std::string_view kName = "content-length";
    const std::size_t colon = line.find(':');
    if (colon != kName.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kName.size(); ++i) {
        const char c = line[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kName[i]) {
            return std::nullopt;
        }
    }
    return trim(line.substr(colon + 1));
}

} // namespace tavik
