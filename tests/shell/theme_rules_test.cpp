// The control theme's toolkit-free rules: which state shades a button, and how captions break
// into lines and are placed.
#include "shell/theme_rules.h"
#include "shell/theme_text_layout.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace tavik::theme {
namespace {

struct BandCase {
    const char* name;
    StateFlags flags;
    Band band;
    Face face;
};

void PrintTo(const BandCase& c, std::ostream* out) {
    *out << c.name;
}

class BandPrecedence : public testing::TestWithParam<BandCase> {};

TEST_P(BandPrecedence, FirstStateThatAppliesWins) {
    EXPECT_EQ(band_for(GetParam().flags), GetParam().band);
    EXPECT_EQ(face_for(GetParam().flags), GetParam().face);
}

StateFlags flags(bool pressed, bool hot, bool checked, bool indeterminate, bool focused,
                 bool is_default) {
    StateFlags f;
    f.pressed = pressed;
    f.hot = hot;
    f.checked = checked;
    f.indeterminate = indeterminate;
    f.focused = focused;
    f.is_default = is_default;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Theme, BandPrecedence,
    testing::Values(BandCase{"nothing", flags(false, false, false, false, false, false),
                             Band::normal, Face::normal},
                    BandCase{"pressed_over_everything", flags(true, true, true, false, true, true),
                             Band::pressed, Face::pressed},
                    BandCase{"hot_over_checked_and_focused",
                             flags(false, true, true, false, true, true), Band::hot, Face::pressed},
                    BandCase{"checked_over_focused", flags(false, false, true, false, true, false),
                             Band::checked, Face::pressed},
                    BandCase{"indeterminate_as_checked",
                             flags(false, false, false, true, false, true), Band::checked,
                             Face::pressed},
                    BandCase{"focused", flags(false, false, false, false, true, false),
                             Band::focused, Face::normal},
                    BandCase{"default_as_focused", flags(false, false, false, false, false, true),
                             Band::focused, Face::normal}),
    [](const testing::TestParamInfo<BandCase>& info) { return std::string(info.param.name); });

// Every character is 10 pixels wide, a surrogate pair counting as one character.
int ten_per_character(std::u16string_view shown) {
    int characters = 0;
    for (const char16_t unit : shown) {
        if (unit < 0xDC00 || unit > 0xDFFF) {
            ++characters;
        }
    }
    return 10 * characters;
}

struct LayoutCase {
    const char* name;
    std::u16string caption;
    Rect area;
    HAlign horizontal;
    VAlign vertical;
    std::vector<TextLine> lines;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << c.name;
}

class CaptionLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(CaptionLayout, BreaksAndPlacesLines) {
    const LayoutCase& c = GetParam();
    EXPECT_EQ(lay_out_caption(c.caption, c.area, 16, c.horizontal, c.vertical, ten_per_character),
              c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Theme, CaptionLayout,
    testing::Values(
        // The draw button: 80 x 24, caption area inset 4.
        LayoutCase{"centred_in_both_directions",
                   u"一键获取",
                   {4, 4, 72, 16},
                   HAlign::centre,
                   VAlign::middle,
                   {{u"一键获取", 20, 4, 40}}},
        LayoutCase{"breaks_where_the_next_character_passes_the_edge",
                   u"abcdefg",
                   {0, 0, 35, 64},
                   HAlign::left,
                   VAlign::top,
                   {{u"abc", 0, 0, 30}, {u"def", 0, 16, 30}, {u"g", 0, 32, 10}}},
        LayoutCase{"breaks_at_cr_lf_and_lone_line_feeds",
                   u"ab\r\ncd\nef",
                   {0, 0, 100, 64},
                   HAlign::right,
                   VAlign::top,
                   {{u"ab", 80, 0, 20}, {u"cd", 80, 16, 20}, {u"ef", 80, 32, 20}}},
        LayoutCase{"never_splits_a_surrogate_pair",
                   u"a\U0001F600b",
                   {0, 0, 25, 64},
                   HAlign::left,
                   VAlign::top,
                   {{u"a\U0001F600", 0, 0, 20}, {u"b", 0, 16, 10}}},
        LayoutCase{"keeps_a_too_wide_character_whole",
                   u"键",
                   {0, 0, 5, 16},
                   HAlign::left,
                   VAlign::top,
                   {{u"键", 0, 0, 10}}},
        LayoutCase{"measures_without_mnemonic_markers",
                   u"&Save && go",
                   {0, 0, 90, 16},
                   HAlign::left,
                   VAlign::top,
                   {{u"&Save && go", 0, 0, 90}}},
        LayoutCase{"keeps_a_marker_with_its_character",
                   u"ab&c",
                   {0, 0, 25, 32},
                   HAlign::left,
                   VAlign::top,
                   {{u"ab", 0, 0, 20}, {u"&c", 0, 16, 10}}},
        LayoutCase{"block_no_higher_than_the_area",
                   u"a\r\nb\r\nc",
                   {0, 10, 50, 16},
                   HAlign::left,
                   VAlign::middle,
                   {{u"a", 0, 10, 10}, {u"b", 0, 26, 10}, {u"c", 0, 42, 10}}},
        LayoutCase{"bottom_aligned_block",
                   u"a\r\nb",
                   {0, 0, 50, 100},
                   HAlign::left,
                   VAlign::bottom,
                   {{u"a", 0, 68, 10}, {u"b", 0, 84, 10}}},
        LayoutCase{
            "empty_caption_draws_nothing", u"", {0, 0, 50, 16}, HAlign::left, VAlign::top, {}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(CaptionLimits, CaptionIsReadUpTo255BytesWithoutSplittingACharacter) {
    const std::u16string ascii(300, u'a');
    EXPECT_EQ(limit_caption(ascii).size(), 255u);
    // 200 double-byte characters are 400 bytes; 127 of them fit in 254 bytes, a 128th would not.
    const std::u16string wide(200, u'键');
    EXPECT_EQ(limit_caption(wide).size(), 127u);
    EXPECT_EQ(limit_caption(u"a&&b", 2), u"a");
}

TEST(CaptionLimits, LineDrawsAtMost1023Bytes) {
    const std::u16string caption = std::u16string(600, u'键') + u"\r\nz";
    const auto lines = lay_out_caption(caption, {0, 0, 100000, 32}, 16, HAlign::left, VAlign::top,
                                       ten_per_character);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, std::u16string(511, u'键'));
    EXPECT_EQ(lines[1].text, u"z");
}

TEST(CaptionShownText, MarkersAreTakenOut) {
    EXPECT_EQ(shown_text(u"&File && &Edit&"), u"File & Edit");
}

} // namespace
} // namespace tavik::theme
