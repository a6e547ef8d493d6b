// The Content-Length rule that sizes body reads, and how its value is taken from a header line.
#include "services/read_size.h"

#include <gtest/gtest.h>
#include <string>

namespace tavik {
namespace {

TEST(ReadSize, FollowsTheContentLengthRule) {
    const struct {
        std::optional<std::string> value;
        std::size_t read_size;
    } cases[] = {
        {std::nullopt, 10240},
        {"", 10240},
        {"3", 4},
        {"1", 2},
        {"   3", 4},
        {"\t3", 4},
        {"+3", 4},
        {"3abc", 4},
        {"3 4", 4},
        {"0", 10240},
        {"000", 10240},
        {"-0", 10240},
        {"-5", 10240},
        {"- 5", 10240},
        {"+-5", 10240},
        {"abc", 10240},
        {"0x10", 10240},
        {"102398", 102399},
        {"102399", 102400},
        {"102400", 102400},
        {"15728640", 102400},
        // 31 characters are still read; the 32nd makes the value unreadable.
        {std::string(30, '0') + "7", 8},
        {std::string(31, '0') + "7", 10240},
        {std::string(31, '9'), 102400},
        {"-" + std::string(30, '9'), 10240},
    };
    for (const auto& c : cases) {
        const std::optional<std::string_view> value =
            c.value ? std::optional<std::string_view>(*c.value) : std::nullopt;
        EXPECT_EQ(read_size_for_content_length(value), c.read_size)
            << (c.value ? "\"" + *c.value + "\"" : "absent");
    }
}

TEST(ReadSize, TakesTheValueOfContentLengthHeaderLinesOnly) {
    const struct {
        const char* line;
        std::optional<std::string> value;
    } cases[] = {
        {"Content-Length: 42\r\n", "42"},
        {"content-length:42\r\n", "42"},
        {"CONTENT-LENGTH: \t 42 \t\r\n", "42"},
        {"Content-Length: -5 bytes\r\n", "-5 bytes"},
        {"Content-Length:\r\n", ""},
        {"Content-Type: text/plain\r\n", std::nullopt},
        {"Content-Lengths: 42\r\n", std::nullopt},
        {"X-Content-Length: 42\r\n", std::nullopt},
        {"Content-Length 42\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\n", std::nullopt},
        {"\r\n", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<std::string_view> value = content_length_of_header_line(c.line);
        EXPECT_EQ(value.has_value(), c.value.has_value()) << c.line;
        if (value && c.value) {
            EXPECT_EQ(*value, *c.value) << c.line;
        }
    }
}

} // namespace
} // namespace tavik
