// The theme's painters: what each themed kind of control looks like, drawn into a Canvas the size
// of the control. Captions are left to the toolkit's text drawing; the painters say where.
#pragma once

#include "shell/theme_canvas.h"
#include "shell/theme_rules.h"
#include "shell/theme_text_layout.h"

#include <optional>

namespace tavik::theme {

// The desktop colours the painters build on. parent_background is the brush colour the control's
// parent reported for it, if it reported one; without it the background fill draws nothing.
struct Surroundings {
    Rgb button_face;
    Rgb window_colour;
    std::optional<Rgb> parent_background;
};

struct CaptionPlacement {
    Rect area;
    Rgb colour;
};

// A push button over the whole canvas: parent background, button-face line, dark frame, state band
// and face with pixel-rounded corners, focus rectangle. Returns where its caption goes.
CaptionPlacement paint_push_button(Canvas& canvas, const ColourSet& colours,
                                   const StateFlags& flags, const Surroundings& surroundings);

// The flat two-line frame that replaces an edit box's border, over the whole canvas.
void paint_edit_frame(Canvas& canvas, const ColourSet& colours, const StateFlags& flags,
                      const Surroundings& surroundings);

struct CaptionSize {
    int width = 0;
    int height = 0;
    HAlign alignment = HAlign::left;
};

struct GroupBoxLayout {
    int top_line = 0;
    int caption_x = 0;
    Rgb background;
};

// A group box's frame. The canvas starts out empty, so the box's own fill shows wherever the
// painter draws nothing; colour_beneath is the colour at the box's top-left corner before it is
// painted. sample_text_height places the top line of a box without a caption. Returns where the
// caption goes (drawn in the parent's text colour) and the background colour used.
GroupBoxLayout paint_group_box(Canvas& canvas, const std::optional<CaptionSize>& caption,
                               int sample_text_height, const Surroundings& surroundings,
                               Rgb colour_beneath);

// The kinds the main window does not have, drawn in the same colour sets.
void paint_check_indicator(Canvas& canvas, const Rect& box, const ColourSet& colours,
                           const StateFlags& flags, const Surroundings& surroundings);
void paint_radio_indicator(Canvas& canvas, const Rect& box, const ColourSet& colours,
                           const StateFlags& flags, const Surroundings& surroundings);

enum class Arrow { up, down };

void paint_arrow(Canvas& canvas, const Rect& area, Arrow arrow, Rgb colour);
// The step buttons of an up-down control and the drop button of an editable combo box.
void paint_small_button(Canvas& canvas, const Rect& area, const ColourSet& colours,
                        const StateFlags& flags, const Surroundings& surroundings, Arrow arrow,
                        bool arrow_enabled);

Rgb arrow_colour(const ColourSet& colours, const StateFlags& flags);

} // namespace tavik::theme
