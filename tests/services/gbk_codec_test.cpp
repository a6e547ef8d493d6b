// GBK <-> UTF-16: round trips, and what broken GBK and characters GBK lacks become.
#include "services/gbk_codec.h"

#include <gtest/gtest.h>
#include <string>

namespace tavik {
namespace {

TEST(GbkCodec, RoundTripsWhatGbkHolds) {
    struct Case {
        const char* what;
        Text gbk;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"empty", "", u""},
        {"an account name", "abcd12345", u"abcd12345"},
        {"line breaks", "a\r\nb\r\n", u"a\r\nb\r\n"},
        {"Chinese", "\xd2\xbb\xbc\xfc\xbb\xf1\xc8\xa1", u"一键获取"},
        {"mixed",
         "\xb1\xe0\xbc\xad\xbf\xf2"
         "1",
         u"编辑框1"},
        {"full-width punctuation", "\xa3\xba\xa1\xa3", u"：。"},
        {"a trail byte that looks like a backslash", "\xd5\x5c", u"\u8AA0"},
        {"the euro sign of code page 936", "\x80", u"€"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbk_to_utf16(c.gbk), c.utf16) << c.what;
        EXPECT_EQ(utf16_to_gbk(c.utf16), c.gbk) << c.what;
    }
}

TEST(GbkCodec, BrokenGbkBecomesReplacementCharacters) {
    struct Case {
        const char* what;
        Text gbk;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a lone lead byte at the end", "ab\xb0", u"ab\uFFFD"},
        // Letters can be trail bytes (B0 61 is a character); a line break cannot.
        {"a lead byte before a line break keeps the break", "\xb0\r\n\xd2\xbb", u"\uFFFD\r\n一"},
        {"a byte that never starts a character",
         "a\xff"
         "b",
         u"a\uFFFDb"},
        {"an unassigned pair is one broken character",
         "\xa2\xa0"
         "c",
         u"\uFFFDc"},
        {"a lead byte before 0xFF is one broken character", "\xb0\xff\xd2\xbb", u"\uFFFD一"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbk_to_utf16(c.gbk), c.expected) << c.what;
    }
}

TEST(GbkCodec, CharactersGbkLacksBecomeQuestionMarksAndTheRestSurvives) {
    struct Case {
        const char* what;
        std::u16string utf16;
        Text expected;
    };
    const Case cases[] = {
        {"a Thai letter", u"a\u0E01b", "a?b"},
        {"a character outside the basic plane is one mark", u"名😀x", "\xc3\xfb?x"},
        {"a lone high surrogate at the end", u"ab\xD800", "ab?"},
        {"a lone low surrogate",
         u"a\xDC00"
         u"b",
         "a?b"},
        {"a high surrogate before a letter",
         u"\xD800"
         u"a",
         "?a"},
        {"several in a row", u"\u0E01\u0E02\u0E03", "???"},
        // The converter skips tag characters without a word; each must still leave its mark.
        {"a tag character", u"a\U000E0041b", "a?b"},
        {"the first and the last tag character", u"\U000E0000\U000E007F", "??"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf16_to_gbk(c.utf16), c.expected) << c.what;
    }
}

TEST(GbkCodec, LongTextsConvertWhole) {
    // Larger than a list of accounts, with double-byte characters, breaks and a broken tail.
    Text gbk;
    std::u16string utf16;
    for (int i = 0; i < 1000; ++i) {
        gbk += "\xd5\xcb\xba\xc5" + std::to_string(i) + "\r\n"; // 账号
        const std::string digits = std::to_string(i);
        utf16 += u"账号" + std::u16string(digits.begin(), digits.end()) + u"\r\n";
    }
    EXPECT_EQ(gbk_to_utf16(gbk), utf16);
    EXPECT_EQ(utf16_to_gbk(utf16), gbk);
    EXPECT_EQ(gbk_to_utf16(gbk + "\xb0"), utf16 + u"\uFFFD");
    EXPECT_EQ(utf16_to_gbk(utf16 + u"\u0E01"), gbk + "?");
}

TEST(GbkCodec, AnErrorLeavesNothingBehindForTheNextCall) {
    EXPECT_EQ(gbk_to_utf16("x\xb0"), u"x\uFFFD");
    EXPECT_EQ(gbk_to_utf16("\xd2\xbb"), u"一");
    EXPECT_EQ(utf16_to_gbk(u"x\xD800"), "x?");
    EXPECT_EQ(utf16_to_gbk(u"\xDC00"
                           u"一"),
              "?\xd2\xbb");
}

} // namespace
} // namespace tavik
