// Drawing primitives of the theme's off-screen pixel buffer.
#include "shell/theme_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tavik::theme {
namespace {

constexpr std::uint32_t opaque = 0xFF000000u;

std::uint32_t to_pixel(Rgb colour) {
    return opaque | (std::uint32_t{colour.r} << 16) | (std::uint32_t{colour.g} << 8) |
           std::uint32_t{colour.b};
}

Rgb to_rgb(std::uint32_t pixel) {
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
}

std::uint8_t channel(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// a + (b - a) * t + (c - a) * s, channel by channel.
Rgb blend(Rgb a, Rgb b, double t, Rgb c, double s) {
    const auto mix = [t, s](std::uint8_t ca, std::uint8_t cb, std::uint8_t cc) {
        return channel(ca + (cb - ca) * t + (cc - ca) * s);
    };
    return {mix(a.r, b.r, c.r), mix(a.g, b.g, c.g), mix(a.b, b.b, c.b)};
}

} // namespace

Rect Rect::intersected(const Rect& other) const {
    const int l = std::max(left, other.left);
    const int t = std::max(top, other.top);
    const int r = std::min(right(), other.right());
    const int b = std::min(bottom(), other.bottom());
    if (r <= l || b <= t) {
        return {l, t, 0, 0};
    }
    return {l, t, r - l, b - t};
}

Rgb gradient_colour(const Gradient& gradient, double u, double v) {
    // Two triangles meeting on the diagonal from top right to bottom left: (top left, top right,
    // bottom left) and (bottom right, top right, bottom left). With equal top and equal bottom
    // corners both reduce to the same top-to-bottom gradient.
    if (u + v <= 1.0) {
        return blend(gradient.top_left, gradient.top_right, u, gradient.bottom_left, v);
    }
    return blend(gradient.bottom_right, gradient.bottom_left, 1.0 - u, gradient.top_right, 1.0 - v);
}

Canvas::Canvas(int width, int height)
    : width_(std::max(0, width))
    , height_(std::max(0, height))
    , pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u) {}

std::optional<Rgb> Canvas::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return std::nullopt;
    }
    const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    if ((pixel & opaque) == 0) {
        return std::nullopt;
    }
    return to_rgb(pixel);
}

void Canvas::set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[static_cast<std::size_t>(y) * width_ + x] = to_pixel(colour);
}

void Canvas::fill(const Rect& area, Rgb colour) {
    const Rect clipped = area.intersected(bounds());
    const std::uint32_t pixel = to_pixel(colour);
    for (int y = clipped.top; y < clipped.bottom(); ++y) {
        auto* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        std::fill(row + clipped.left, row + clipped.right(), pixel);
    }
}

void Canvas::frame(const Rect& area, Rgb colour) {
    if (area.is_empty()) {
        return;
    }
    fill({area.left, area.top, area.width, 1}, colour);
    fill({area.left, area.bottom() - 1, area.width, 1}, colour);
    fill({area.left, area.top, 1, area.height}, colour);
    fill({area.right() - 1, area.top, 1, area.height}, colour);
}

void Canvas::horizontal_line(int x_first, int x_last, int y, Rgb colour) {
    if (x_last < x_first) {
        return;
    }
    fill({x_first, y, x_last - x_first + 1, 1}, colour);
}

void Canvas::line(int x0, int y0, int x1, int y1, Rgb colour) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int step_x = x0 < x1 ? 1 : -1;
    const int step_y = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        set(x0, y0, colour);
        if (x0 == x1 && y0 == y1) {
            return;
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += step_x;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += step_y;
        }
    }
}

void Canvas::fill_gradient(const Rect& area, const Gradient& gradient) {
    if (area.is_empty()) {
        return;
    }
    const Rect clipped = area.intersected(bounds());
    const double u_span = area.width > 1 ? area.width - 1 : 1;
    const double v_span = area.height > 1 ? area.height - 1 : 1;
    for (int y = clipped.top; y < clipped.bottom(); ++y) {
        const double v = (y - area.top) / v_span;
        if (gradient.is_vertical()) {
            fill({clipped.left, y, clipped.width, 1}, gradient_colour(gradient, 0.0, v));
            continue;
        }
        for (int x = clipped.left; x < clipped.right(); ++x) {
            set(x, y, gradient_colour(gradient, (x - area.left) / u_span, v));
        }
    }
}

template <typename Dot> void Canvas::for_each_frame_dot(const Rect& area, Dot dot) {
    if (area.is_empty()) {
        return;
    }
    // The dots keep to one checkerboard measured from the area's corner, so the rectangle looks
    // the same wherever it is drawn.
    const auto maybe = [&](int x, int y) {
        if (((x - area.left) + (y - area.top)) % 2 == 0) {
            dot(x, y);
        }
    };
    for (int x = area.left; x < area.right(); ++x) {
        maybe(x, area.top);
        if (area.height > 1) {
            maybe(x, area.bottom() - 1);
        }
    }
    for (int y = area.top + 1; y < area.bottom() - 1; ++y) {
        maybe(area.left, y);
        if (area.width > 1) {
            maybe(area.right() - 1, y);
        }
    }
}

void Canvas::dotted_frame(const Rect& area, Rgb colour) {
    for_each_frame_dot(area, [&](int x, int y) { set(x, y, colour); });
}

void Canvas::invert_dotted_frame(const Rect& area) {
    for_each_frame_dot(area, [&](int x, int y) {
        if (const auto colour = at(x, y)) {
            set(x, y,
                {static_cast<std::uint8_t>(255 - colour->r),
                 static_cast<std::uint8_t>(255 - colour->g),
                 static_cast<std::uint8_t>(255 - colour->b)});
        }
    });
}

} // namespace tavik::theme
