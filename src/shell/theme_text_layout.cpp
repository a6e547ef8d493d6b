// Caption layout of the control theme, on UTF-16 text so no character is ever split.
#include "shell/theme_text_layout.h"

#include <algorithm>

namespace tavik::theme {
namespace {

// The smallest piece of a caption that is never split: one character (a surrogate pair is one),
// a mnemonic marker with the character it marks, "&&", or a line break.
struct Piece {
    std::u16string_view raw;
    std::u16string shown;
    std::size_t bytes = 0;
    bool is_line_break = false;
};

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool is_break(char16_t unit) {
    return unit == u'\r' || unit == u'\n';
}

// Length in code units of the character starting at position.
std::size_t character_length(std::u16string_view text, std::size_t position) {
    if (is_high_surrogate(text[position]) && position + 1 < text.size() &&
        is_low_surrogate(text[position + 1])) {
        return 2;
    }
    return 1;
}

std::size_t character_bytes(std::u16string_view character) {
    return character.size() == 1 && character[0] < 0x80 ? 1 : 2;
}

Piece next_piece(std::u16string_view text, std::size_t position) {
    const char16_t unit = text[position];
    const bool has_next = position + 1 < text.size();
    if (unit == u'\r' && has_next && text[position + 1] == u'\n') {
        return {text.substr(position, 2), {}, 2, true};
    }
    if (is_break(unit)) {
        return {text.substr(position, 1), {}, 1, true};
    }
    if (unit == u'&') {
        if (has_next && text[position + 1] == u'&') {
            return {text.substr(position, 2), u"&", 2, false};
        }
        if (has_next && !is_break(text[position + 1])) {
            const std::size_t length = character_length(text, position + 1);
            const std::u16string_view marked = text.substr(position + 1, length);
            return {text.substr(position, 1 + length), std::u16string(marked),
                    1 + character_bytes(marked), false};
        }
        // A marker with nothing after it on the line shows nothing.
        return {text.substr(position, 1), {}, 1, false};
    }
    const std::u16string_view character = text.substr(position, character_length(text, position));
    return {character, std::u16string(character), character_bytes(character), false};
}

std::vector<Piece> split_into_pieces(std::u16string_view text) {
    std::vector<Piece> pieces;
    for (std::size_t position = 0; position < text.size();) {
        pieces.push_back(next_piece(text, position));
        position += pieces.back().raw.size();
    }
    return pieces;
}

struct LineInProgress {
    std::u16string raw;
    std::u16string shown;
    std::size_t bytes = 0;
    bool is_full = false;
};

} // namespace

std::u16string_view limit_caption(std::u16string_view caption, std::size_t limit) {
    std::size_t bytes = 0;
    std::size_t position = 0;
    while (position < caption.size()) {
        const Piece piece = next_piece(caption, position);
        if (bytes + piece.bytes > limit) {
            break;
        }
        bytes += piece.bytes;
        position += piece.raw.size();
    }
    return caption.substr(0, position);
}

std::u16string shown_text(std::u16string_view caption) {
    std::u16string shown;
    for (const Piece& piece : split_into_pieces(caption)) {
        shown += piece.shown;
    }
    return shown;
}

std::vector<TextLine> lay_out_caption(std::u16string_view caption, const Rect& area,
                                      int line_height, HAlign horizontal, VAlign vertical,
                                      const MeasureText& measure) {
    if (caption.empty()) {
        return {};
    }
    std::vector<LineInProgress> lines(1);
    for (const Piece& piece : split_into_pieces(caption)) {
        if (piece.is_line_break) {
            lines.emplace_back();
            continue;
        }
        LineInProgress* line = &lines.back();
        if (line->is_full || line->bytes + piece.bytes > line_byte_limit) {
            // The rest of an overlong line is not drawn.
            line->is_full = true;
            continue;
        }
        if (!line->raw.empty() && measure(line->shown + piece.shown) > area.width) {
            line = &lines.emplace_back();
        }
        line->raw += piece.raw;
        line->shown += piece.shown;
        line->bytes += piece.bytes;
    }

    const int count = static_cast<int>(lines.size());
    const int block_height = std::min(count * line_height, area.height);
    int top = area.top;
    if (vertical == VAlign::middle) {
        top += (area.height - block_height) / 2;
    } else if (vertical == VAlign::bottom) {
        top = area.bottom() - block_height;
    }

    std::vector<TextLine> placed;
    placed.reserve(lines.size());
    for (int index = 0; index < count; ++index) {
        LineInProgress& line = lines[static_cast<std::size_t>(index)];
        const int width = line.shown.empty() ? 0 : measure(line.shown);
        int x = area.left;
        if (horizontal == HAlign::centre) {
            x += (area.width - width) / 2;
        } else if (horizontal == HAlign::right) {
            x = area.right() - width;
        }
        placed.push_back({std::move(line.raw), x, top + index * line_height, width});
    }
    return placed;
}

} // namespace tavik::theme
