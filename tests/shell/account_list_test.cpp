// The account list carried by the program: its size, its line breaks and the form of every name.
#include "shell/account_list.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {
namespace {

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 2);
    }
    return lines;
}

bool is_lower(char c) {
    return c >= 'a' && c <= 'z';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Four to seven lower-case letters, then two to five digits, nine characters in all.
bool has_name_form(std::string_view name) {
    if (name.size() != 9) {
        return false;
    }
    std::size_t letters = 0;
    while (letters < name.size() && is_lower(name[letters])) {
        ++letters;
    }
    for (std::size_t i = letters; i < name.size(); ++i) {
        if (!is_digit(name[i])) {
            return false;
        }
    }
    return letters >= 4 && letters <= 7;
}

TEST(AccountList, HoldsExactly381NamesEachEndedByCrLf) {
    const std::string_view text = account_list();
    ASSERT_EQ(text.size(), 4191u);
    // Each name takes 11 bytes, the last two CR LF: no bare CR or LF, nothing after the last break.
    for (std::size_t i = 0; i < text.size(); i += 11) {
        EXPECT_EQ(text.substr(i + 9, 2), "\r\n") << "after the name at byte " << i;
    }
    EXPECT_EQ(lines_of(text).size(), 381u);
}

TEST(AccountList, NamesHaveTheirFormAndAreDistinct) {
    const auto names = lines_of(account_list());
    std::set<std::string_view> distinct;
    for (const auto name : names) {
        EXPECT_TRUE(has_name_form(name)) << std::string(name);
        EXPECT_TRUE(distinct.insert(name).second) << "repeated: " << std::string(name);
    }
}

} // namespace
} // namespace tavik
