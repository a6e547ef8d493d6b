// How the theme lays out a control's caption: line breaks, byte limits and placement in an area.
#pragma once

#include "shell/theme_canvas.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::theme {

enum class HAlign { left, centre, right };
enum class VAlign { top, middle, bottom };

// One line of a caption. text keeps its mnemonic markers ("&") for the toolkit's text drawing,
// which underlines the character after a single "&" and shows "&&" as one "&"; x and y are the
// line's top-left corner and width is what the shown text measures.
struct TextLine {
    std::u16string text;
    int x = 0;
    int y = 0;
    int width = 0;

    friend bool operator==(const TextLine&, const TextLine&) = default;
};

// Width in pixels of text as it shows on screen, mnemonic markers already taken out.
using MeasureText = std::function<int(std::u16string_view shown)>;

// Captions are read up to this many bytes, and a line is drawn up to this many bytes, counted as
// in the program's double-byte text encoding: one byte for ASCII, two for any other character.
inline constexpr std::size_t caption_byte_limit = 255;
inline constexpr std::size_t line_byte_limit = 1023;

// The caption cut to at most limit bytes, never inside a character, a surrogate pair or a
// mnemonic pair.
std::u16string_view limit_caption(std::u16string_view caption,
                                  std::size_t limit = caption_byte_limit);

// The caption as one line shows it: mnemonic markers removed and "&&" shown as "&".
std::u16string shown_text(std::u16string_view caption);

// Breaks the caption into lines at CR LF (a lone CR or LF counts too) and wherever the next
// character would pass the area's right edge; a line always keeps at least one character. Each
// line is placed by the horizontal alignment; the block of lines by the vertical alignment, its
// height limited to the area's. Lines that fall outside the area are still returned: the caller
// clips to the area.
std::vector<TextLine> lay_out_caption(std::u16string_view caption, const Rect& area,
                                      int line_height, HAlign horizontal, VAlign vertical,
                                      const MeasureText& measure);

} // namespace tavik::theme
