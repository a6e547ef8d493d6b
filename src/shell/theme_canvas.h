// The off-screen pixel buffer the theme's painters draw into before it is copied onto a control.
#pragma once

#include "shell/theme_colours.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tavik::theme {

// A rectangle in pixels; right() and bottom() are one past the last column and row.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool is_empty() const { return width <= 0 || height <= 0; }
    constexpr Rect inset(int by) const {
        return {left + by, top + by, width - 2 * by, height - 2 * by};
    }
    constexpr Rect moved(int dx, int dy) const { return {left + dx, top + dy, width, height}; }
    Rect intersected(const Rect& other) const;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// The colour at a point of a gradient area, with u and v running from 0 at the left and top edge
// to 1 at the right and bottom edge. Each corner pixel gets its corner's colour exactly.
Rgb gradient_colour(const Gradient& gradient, double u, double v);

// Pixels are 0xAARRGGBB, row after row. A pixel that no painter touched stays fully transparent,
// so whatever lies beneath the control shows through when the buffer is copied onto it.
class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t* pixels() { return pixels_.data(); }

    // Empty for a point outside the buffer or a pixel nothing has been drawn on.
    std::optional<Rgb> at(int x, int y) const;

    // Every drawing call clips to the buffer.
    void set(int x, int y, Rgb colour);
    void fill(const Rect& area, Rgb colour);
    // A 1-pixel rectangle along the inside of the area's edge.
    void frame(const Rect& area, Rgb colour);
    // A horizontal run from x_first to x_last, both included.
    void horizontal_line(int x_first, int x_last, int y, Rgb colour);
    // A 1-pixel straight line from one point to the other, both ends included.
    void line(int x0, int y0, int x1, int y1, Rgb colour);
    void fill_gradient(const Rect& area, const Gradient& gradient);
    // Every other pixel of a 1-pixel rectangle, starting with its top-left corner.
    void dotted_frame(const Rect& area, Rgb colour);
    // The same dots, but each one inverts the colour already there, as the desktop's own focus
    // rectangle does, so it shows on any band colour.
    void invert_dotted_frame(const Rect& area);

private:
    template <typename Dot> void for_each_frame_dot(const Rect& area, Dot dot);

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

} // namespace tavik::theme
