// Splitting, comparing and converting texts, and the checked access to the members of a text array.
#include "text_operations.h"

#include "allocation.h"
#include "fatal_error.h"

#include <algorithm>
#include <cstring>

namespace tavik {

namespace {

// A text is read as a zero-terminated buffer would be: it ends at its first zero byte.
std::string_view up_to_zero(std::string_view text) {
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

bool is_lead_byte(char byte) {
    return static_cast<unsigned char>(byte) >= 0x80;
}

void append_member(TextArray& members, std::string_view bytes) {
    if (members.size() == members.capacity()) {
        const std::size_t grown = std::max<std::size_t>(16, members.capacity() * 2);
        allocate_or_end(grown * sizeof(Text), [&] { members.reserve(grown); });
    }
    members.push_back(copy_text(bytes));
}

} // namespace

Text bytes_to_text(const ByteSet& bytes) {
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return copy_text(up_to_zero(all));
}

int compare_texts(std::string_view first, std::string_view second) {
    first = up_to_zero(first);
    second = up_to_zero(second);
    const std::size_t common = std::min(first.size(), second.size());
    // memcmp compares as unsigned char, so a lead byte sorts after every ASCII byte.
    const int order = common == 0 ? 0 : std::memcmp(first.data(), second.data(), common);
    if (order != 0) {
        return order < 0 ? -1 : 1;
    }
    if (first.size() == second.size()) {
        return 0;
    }
    // The shorter text meets its terminating zero where the longer has a non-zero byte.
    return first.size() < second.size() ? -1 : 1;
}

TextArray split_text(std::string_view text, std::optional<std::string_view> delimiter,
                     std::optional<std::int32_t> limit) {
    text = up_to_zero(text);
    const std::string_view separator = delimiter ? up_to_zero(*delimiter) : std::string_view(",");
    std::optional<std::int32_t> left;
    if (limit) {
        left = std::max(*limit, 0);
    }

    TextArray members;
    if (text.empty() || left == 0) {
        return members;
    }
    if (separator.empty()) {
        append_member(members, text);
        return members;
    }

    std::size_t position = 0;
    std::size_t start = 0;
    while (text.size() - position >= separator.size()) {
        if (text.compare(position, separator.size(), separator) == 0) {
            append_member(members, text.substr(start, position - start));
            position += separator.size();
            start = position;
            if (left && --*left == 0) {
                return members;
            }
        } else if (is_lead_byte(text[position])) {
            if (position + 1 == text.size()) {
                break; // a lone lead byte at the end stays with the last member
            }
            position += 2;
        } else {
            ++position;
        }
    }
    if (start < text.size()) {
        append_member(members, text.substr(start));
    }
    return members;
}

std::int32_t member_count(const TextArray& members) {
    return static_cast<std::int32_t>(members.size());
}

const Text& member_access(const TextArray& members, std::int32_t index) {
    if (index < 1) {
        fatal_error_report(fatal_message::kIndexBelowOne, fatal_code::kIndexBelowOne);
    }
    if (index > member_count(members)) {
        fatal_error_report(fatal_message::kIndexAboveCount, fatal_code::kIndexAboveCount);
    }
    return members[static_cast<std::size_t>(index) - 1];
}

} // namespace tavik
