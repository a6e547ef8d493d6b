// Pixel-exact painters of the themed controls.
#include "shell/theme_painters.h"

#include <algorithm>
#include <cmath>

namespace tavik::theme {
namespace {

Rgb disabled_frame(const Surroundings& surroundings) {
    return darker_by(surroundings.button_face, 32);
}

Rgb frame_colour(const ColourSet& colours, const StateFlags& flags,
                 const Surroundings& surroundings) {
    return flags.disabled ? disabled_frame(surroundings) : colours.dark_frame;
}

void round_button_corners(Canvas& canvas, Rgb outer, Rgb diagonal, Rgb edge) {
    const int w = canvas.width();
    const int h = canvas.height();
    for (const auto& [x, y] : {std::pair{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}}) {
        canvas.set(x, y, outer);
    }
    for (const auto& [x, y] : {std::pair{2, 2}, {w - 3, 2}, {2, h - 3}, {w - 3, h - 3}}) {
        canvas.set(x, y, diagonal);
    }
    for (const auto& [x, y] : {std::pair{1, 2},
                               {2, 1},
                               {w - 3, 1},
                               {w - 2, 2},
                               {1, h - 3},
                               {2, h - 2},
                               {w - 3, h - 2},
                               {w - 2, h - 3}}) {
        canvas.set(x, y, edge);
    }
}

// Where a group box's caption starts and which part of the top line is cleared beneath it.
struct CaptionSpan {
    int fill_x;
    int text_x;
    int clear_first;
    int clear_last;
};

CaptionSpan caption_span(int box_width, const CaptionSize& caption) {
    const int w = caption.width;
    switch (caption.alignment) {
    case HAlign::centre: {
        const int x = (box_width - w) / 2;
        return {x, x, x - 5, x + w + 4};
    }
    case HAlign::right: {
        const int x = box_width - 10 - w;
        return {x, x, x, box_width - 11};
    }
    case HAlign::left:
        break;
    }
    return {10, 9, 8, w + 9};
}

} // namespace

CaptionPlacement paint_push_button(Canvas& canvas, const ColourSet& colours,
                                   const StateFlags& flags, const Surroundings& surroundings) {
    const Rect all = canvas.bounds();
    const Rgb face = surroundings.button_face;
    if (surroundings.parent_background) {
        canvas.fill(all, *surroundings.parent_background);
    }
    canvas.frame(all, face);
    const Rgb dark = frame_colour(colours, flags, surroundings);
    canvas.frame(all.inset(1), dark);
    if (flags.disabled) {
        canvas.fill(all.inset(2), disabled_fill);
        round_button_corners(canvas, face, darker_by(face, 21), darker_by(face, 17));
    } else {
        canvas.fill_gradient(all.inset(2), band_gradient(colours, band_for(flags)));
        canvas.fill_gradient(all.inset(4), face_gradient(colours, face_for(flags)));
        round_button_corners(canvas, face, dark, dark);
    }
    if (flags.focused) {
        canvas.invert_dotted_frame(all.inset(3));
    }
    const Rect caption_area = flags.pressed ? all.inset(4).moved(1, 1) : all.inset(4);
    return {caption_area, caption_colour(flags)};
}

void paint_edit_frame(Canvas& canvas, const ColourSet& colours, const StateFlags& flags,
                      const Surroundings& surroundings) {
    const Rect all = canvas.bounds();
    canvas.frame(all, flags.disabled ? disabled_frame(surroundings) : colours.edit_outline);
    const bool greyed = flags.disabled || flags.read_only;
    canvas.frame(all.inset(1), greyed ? surroundings.button_face : surroundings.window_colour);
}

GroupBoxLayout paint_group_box(Canvas& canvas, const std::optional<CaptionSize>& caption,
                               int sample_text_height, const Surroundings& surroundings,
                               Rgb colour_beneath) {
    const int w = canvas.width();
    const int h = canvas.height();
    const int top = caption ? caption->height / 2 : sample_text_height / 2;
    const CaptionSpan span = caption ? caption_span(w, *caption) : CaptionSpan{};

    if (const auto& brush = surroundings.parent_background) {
        if (caption) {
            canvas.fill({span.fill_x, 0, caption->width, caption->height}, *brush);
        }
        canvas.fill({0, 0, w, caption ? top + 2 : 2}, *brush);
        canvas.fill({0, 0, 2, h}, *brush);
        canvas.fill({0, h - 2, w, 2}, *brush);
        canvas.fill({w - 2, 0, 2, h}, *brush);
    }
    canvas.frame({0, top, w, h - top}, group_frame);

    const Rgb background = canvas.at(0, 0).value_or(colour_beneath);
    const int bottom = h - 1;
    // Each corner: three pixels of the outer edge go to the background, two pixels on the
    // diagonal inside take the frame colour.
    for (const auto& [x, step_x] : {std::pair{0, 1}, {w - 1, -1}}) {
        for (const auto& [y, step_y] : {std::pair{top, 1}, {bottom, -1}}) {
            canvas.set(x, y, background);
            canvas.set(x, y + step_y, background);
            canvas.set(x, y + 2 * step_y, background);
            canvas.set(x + step_x, y, background);
            canvas.set(x + 2 * step_x, y, background);
            canvas.set(x + 2 * step_x, y + step_y, group_frame);
            canvas.set(x + step_x, y + 2 * step_y, group_frame);
        }
    }

    if (caption) {
        canvas.horizontal_line(span.clear_first, span.clear_last, top, background);
    }
    return {top, span.text_x, background};
}

void paint_check_indicator(Canvas& canvas, const Rect& box, const ColourSet& colours,
                           const StateFlags& flags, const Surroundings& surroundings) {
    canvas.frame(box, frame_colour(colours, flags, surroundings));
    if (flags.disabled) {
        canvas.fill(box.inset(1), disabled_fill);
    } else {
        // The ring shows pointer and press; checking shows as the mark.
        StateFlags ring = flags;
        ring.checked = ring.indeterminate = ring.focused = ring.is_default = false;
        canvas.fill_gradient(box.inset(1), band_gradient(colours, band_for(ring)));
        canvas.fill_gradient(box.inset(2),
                             face_gradient(colours, flags.pressed ? Face::pressed : Face::normal));
    }
    const Rect inner = box.inset(3);
    if (inner.is_empty()) {
        return;
    }
    if (flags.indeterminate) {
        canvas.fill(inner.inset(1), muted_text);
    } else if (flags.checked) {
        const Rgb mark = flags.disabled ? muted_text : colours.dark_frame;
        const int left = inner.left;
        const int middle_y = inner.top + inner.height / 2 - 1;
        const int low_x = inner.left + inner.width / 3;
        const int low_y = inner.bottom() - 2;
        for (int thickness = 0; thickness < 2; ++thickness) {
            canvas.line(left, middle_y + thickness, low_x, low_y + thickness, mark);
            canvas.line(low_x, low_y + thickness, inner.right() - 1, inner.top + thickness, mark);
        }
    }
}

void paint_radio_indicator(Canvas& canvas, const Rect& box, const ColourSet& colours,
                           const StateFlags& flags, const Surroundings& surroundings) {
    const int size = std::min(box.width, box.height);
    if (size <= 0) {
        return;
    }
    const double radius = size / 2.0;
    const double centre_x = box.left + radius;
    const double centre_y = box.top + radius;
    StateFlags ring = flags;
    ring.checked = ring.indeterminate = ring.focused = ring.is_default = false;
    const Gradient& band = band_gradient(colours, band_for(ring));
    const Gradient& face = face_gradient(colours, flags.pressed ? Face::pressed : Face::normal);
    const Rgb frame = frame_colour(colours, flags, surroundings);
    const Rgb mark = flags.disabled ? muted_text : colours.dark_frame;
    for (int y = box.top; y < box.top + size; ++y) {
        for (int x = box.left; x < box.left + size; ++x) {
            const double distance = std::hypot(x + 0.5 - centre_x, y + 0.5 - centre_y);
            if (distance > radius) {
                continue;
            }
            const double u = (x - box.left) / std::max(1.0, size - 1.0);
            const double v = (y - box.top) / std::max(1.0, size - 1.0);
            Rgb colour = frame;
            if (flags.checked && distance <= radius * 0.4) {
                colour = mark;
            } else if (distance <= radius - 2.0) {
                colour = flags.disabled ? disabled_fill : gradient_colour(face, u, v);
            } else if (distance <= radius - 1.0) {
                colour = flags.disabled ? disabled_fill : gradient_colour(band, u, v);
            }
            canvas.set(x, y, colour);
        }
    }
}

void paint_arrow(Canvas& canvas, const Rect& area, Arrow arrow, Rgb colour) {
    int width = std::min(7, area.width - 4);
    if (width % 2 == 0) {
        --width;
    }
    if (width < 1) {
        return;
    }
    const int height = (width + 1) / 2;
    const int centre_x = area.left + area.width / 2;
    const int top = area.top + (area.height - height) / 2;
    for (int row = 0; row < height; ++row) {
        const int half = arrow == Arrow::down ? height - 1 - row : row;
        canvas.horizontal_line(centre_x - half, centre_x + half, top + row, colour);
    }
}

Rgb arrow_colour(const ColourSet& colours, const StateFlags& flags) {
    return flags.disabled ? muted_text : colours.dark_frame;
}

void paint_small_button(Canvas& canvas, const Rect& area, const ColourSet& colours,
                        const StateFlags& flags, const Surroundings& surroundings, Arrow arrow,
                        bool arrow_enabled) {
    if (area.is_empty()) {
        return;
    }
    canvas.frame(area, frame_colour(colours, flags, surroundings));
    if (flags.disabled) {
        canvas.fill(area.inset(1), disabled_fill);
    } else if (flags.pressed) {
        canvas.fill_gradient(area.inset(1), colours.face_pressed);
    } else if (flags.hot) {
        canvas.fill_gradient(area.inset(1), colours.band_hot);
    } else {
        canvas.fill_gradient(area.inset(1), colours.face_normal);
    }
    StateFlags arrow_flags = flags;
    arrow_flags.disabled = flags.disabled || !arrow_enabled;
    paint_arrow(canvas, area.inset(1), arrow, arrow_colour(colours, arrow_flags));
}

} // namespace tavik::theme
