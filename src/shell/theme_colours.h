// The colour sets of the control theme: the colours each mode paints the themed controls in.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tavik::theme {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// Every channel lowered by the same amount, stopping at 0; the theme derives its shades of grey
// for disabled controls from the desktop's button face this way.
constexpr Rgb darker_by(Rgb colour, int amount) {
    const auto lower = [amount](std::uint8_t channel) {
        return static_cast<std::uint8_t>(std::max(0, channel - amount));
    };
    return {lower(colour.r), lower(colour.g), lower(colour.b)};
}

// An area's colours at its four corners. When the two top corners and the two bottom corners are
// alike it is a plain top-to-bottom gradient; otherwise the area is shaded as two triangles.
struct Gradient {
    Rgb top_left;
    Rgb top_right;
    Rgb bottom_left;
    Rgb bottom_right;

    constexpr bool is_vertical() const {
        return top_left == top_right && bottom_left == bottom_right;
    }
    static constexpr Gradient vertical(Rgb top, Rgb bottom) { return {top, top, bottom, bottom}; }
    static constexpr Gradient flat(Rgb colour) { return {colour, colour, colour, colour}; }
};

// What one mode paints: the dark frame and the state bands and faces of buttons, and the outline
// of edit boxes.
struct ColourSet {
    Rgb dark_frame;
    Rgb edit_outline;
    Gradient band_pressed;
    Gradient band_hot;
    Gradient band_checked;
    Gradient band_focused;
    Gradient band_normal;
    Gradient face_pressed;
    Gradient face_normal;
};

// Colours that every mode shares.
inline constexpr Rgb text_black{0, 0, 0};
inline constexpr Rgb muted_text{165, 162, 148};
inline constexpr Rgb disabled_fill{245, 244, 234};
inline constexpr Rgb group_frame{191, 184, 191};

// Modes 1, 2 and 3 are the blue, olive and silver sets; every other mode has none (theme off).
const ColourSet* colour_set_for_mode(int mode);

} // namespace tavik::theme
