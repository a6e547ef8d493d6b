// Texts, byte sets and text arrays: splitting, comparing, converting, and checked member access.
#include "services/allocation.h"
#include "services/fatal_error.h"
#include "services/text_operations.h"
#include "support/program_end.h"

#include <climits>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using testing::ProgramEndCatcher;
using testing::ProgramEnded;

TEST(SplitText, FollowsTheScanRules) {
    struct Case {
        const char* what;
        Text text;
        std::optional<std::string_view> delimiter;
        std::optional<std::int32_t> limit;
        TextArray expected;
    };
    const Case cases[] = {
        {"a list ending in CR LF has no empty last member", "a\r\nb\r\n", "\r\n", {}, {"a", "b"}},
        {"the last line without CR LF is still a member", "a\r\nb", "\r\n", {}, {"a", "b"}},
        {"adjacent delimiters give an empty member", "a\r\n\r\nb", "\r\n", {}, {"a", "", "b"}},
        {"a leading delimiter gives an empty first member", "\r\na", "\r\n", {}, {"", "a"}},
        {"the delimiter alone is one empty member", "\r\n", "\r\n", {}, {""}},
        {"the empty text has no members", "", "\r\n", {}, {}},
        {"a half delimiter at the end stays in the member", "a\r", "\r\n", {}, {"a\r"}},
        {"the default delimiter is a comma", "a,b,c", {}, {}, {"a", "b", "c"}},
        {"a limit drops the rest of the text", "a,b,c", {}, 2, {"a", "b"}},
        {"a limit of 0 gives no members", "a,b,c", {}, 0, {}},
        {"a negative limit counts as 0", "a,b,c", {}, -3, {}},
        {"a limit that never runs out changes nothing", "a,b,c", {}, 5, {"a", "b", "c"}},
        {"a limit with no delimiter found keeps the text", "abc", {}, 1, {"abc"}},
        {"an empty delimiter gives the whole text", "a,b,c", "", {}, {"a,b,c"}},
        {"a delimiter longer than the text", "ab", "abc", {}, {"ab"}},
        // 丂 is 0x81 0x40, and 0x40 is also "@": a trail byte is never matched.
        {"a trail byte equal to the delimiter does not split",
         "\x81\x40@b",
         "@",
         {},
         {"\x81\x40", "b"}},
        // 啊啊 is B0 A1 B0 A1; A1 B0 only occurs across the two characters.
        {"no match across a character boundary",
         "\xb0\xa1\xb0\xa1",
         "\xa1\xb0",
         {},
         {"\xb0\xa1\xb0\xa1"}},
        {"a double-byte delimiter",
         "a\xd2\xd2"
         "b",
         "\xd2\xd2",
         {},
         {"a", "b"}},
        {"a lone lead byte at the end stays in the last member",
         "a,b\xb0",
         ",",
         {},
         {"a", "b\xb0"}},
        {"a lone lead byte as the whole text", "\xb0", ",", {}, {"\xb0"}},
        {"the text ends at its first zero byte", "a,b\0,c"s, ",", {}, {"a", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(split_text(c.text, c.delimiter, c.limit), c.expected) << c.what;
    }
}

TEST(BytesToText, TakesTheBytesUpToTheFirstZero) {
    struct Case {
        const char* what;
        ByteSet bytes;
        Text expected;
    };
    const Case cases[] = {
        {"a version text", {'1', '.', '0'}, "1.0"},
        {"line breaks are kept", {'1', '.', '0', '\r', '\n'}, "1.0\r\n"},
        {"a zero byte cuts the text", {'1', '.', 0, '0'}, "1."},
        {"a leading zero byte gives the empty text", {0, 'x'}, ""},
        {"the empty byte set gives the empty text", {}, ""},
        {"bytes are not checked for well-formed GBK", {0xff, 0x80, 0xb0}, "\xff\x80\xb0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bytes_to_text(c.bytes), c.expected) << c.what;
    }
}

TEST(CompareTexts, ComparesUnsignedBytesUpToTheFirstZero) {
    struct Case {
        std::string_view first;
        std::string_view second;
        int expected;
    };
    const Case cases[] = {
        {"1.0", "1.0", 0},
        {"", "", 0},
        {{}, "", 0}, // an absent text is the empty text
        {{}, "1.0", -1},
        {"1.0", {}, 1},
        {"1.0", "1.00", -1},
        {"1.00", "1.0", 1},
        {"1.0", "1.1", -1},
        {"\x80", "z", 1}, // a lead byte sorts after every ASCII byte
        {"A", "a", -1},   // no case folding
        {"\xb0\xa1", "\xb0\xa2", -1},
        {"1.0\0junk"sv, "1.0", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compare_texts(c.first, c.second), c.expected)
            << '"' << c.first << "\" with \"" << c.second << '"';
    }
}

TEST(MemberAccess, GivesTheMemberItselfByOneBasedIndex) {
    const TextArray members = {"a", "", "c"};
    EXPECT_EQ(member_count(members), 3);
    EXPECT_EQ(member_count({}), 0);
    EXPECT_EQ(&member_access(members, 1), &members[0]);
    EXPECT_EQ(&member_access(members, 3), &members[2]);
    EXPECT_EQ(member_access(members, 2), "");
}

TEST(MemberAccess, AnIndexOutsideTheArrayEndsTheProgram) {
    struct Case {
        TextArray members;
        std::int32_t index;
        std::int32_t code;
    };
    const Case cases[] = {
        {{"a", "b"}, 3, fatal_code::kIndexAboveCount},
        {{"a", "b"}, INT32_MAX, fatal_code::kIndexAboveCount},
        {{"a", "b"}, 0, fatal_code::kIndexBelowOne},
        {{"a", "b"}, INT32_MIN, fatal_code::kIndexBelowOne},
        // An empty array fails both tests; the lower one comes first.
        {{}, 0, fatal_code::kIndexBelowOne},
        {{}, 1, fatal_code::kIndexAboveCount},
    };
    for (const Case& c : cases) {
        ProgramEndCatcher program;
        const Text message = c.code == fatal_code::kIndexBelowOne ? fatal_message::kIndexBelowOne
                                                                  : fatal_message::kIndexAboveCount;
        try {
            member_access(c.members, c.index);
            ADD_FAILURE() << "index " << c.index << " came back";
        } catch (const ProgramEnded& ended) {
            EXPECT_EQ(ended.exit_code, -1);
            EXPECT_TRUE(program.reported(message, c.code)) << "index " << c.index;
        }
    }
}

TEST(Allocation, MemoryThatCannotBeHadEndsTheProgramNamingTheSize) {
    struct Case {
        const char* what;
        Text (*make)();
    };
    const Case cases[] = {
        {"the allocator gives up", []() -> Text { throw std::bad_alloc(); }},
        {"more than a text can hold",
         [] {
             Text text;
             text.reserve(text.max_size() + 1);
             return text;
         }},
    };
    for (const Case& c : cases) {
        ProgramEndCatcher program;
        try {
            allocate_or_end(4096, c.make);
            ADD_FAILURE() << c.what << ": came back";
        } catch (const ProgramEnded& ended) {
            EXPECT_EQ(ended.exit_code, -1);
            EXPECT_TRUE(program.reported(out_of_memory_message(4096), fatal_code::kNone)) << c.what;
        }
    }
}

} // namespace
} // namespace tavik
