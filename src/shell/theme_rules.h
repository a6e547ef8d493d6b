// The control theme's rules that do not depend on the toolkit: which controls it takes over, how
// their state picks colours, and what switching the theme reports.
#pragma once

#include "shell/theme_colours.h"

namespace tavik::theme {

// What the theme knows about one control. disabled, focused and hot follow the control's focus,
// enabling and pointer events; pressed, default, checked and indeterminate follow the control's
// own state; read-only is taken once, when the theme takes the control over.
struct StateFlags {
    bool disabled = false;
    bool focused = false;
    bool hot = false;
    bool pressed = false;
    bool is_default = false;
    bool checked = false;
    bool indeterminate = false;
    bool read_only = false;
};

// The ring just inside a button's dark frame is shaded by the first state that applies, in this
// order.
enum class Band { pressed, hot, checked, focused, normal };
enum class Face { pressed, normal };

Band band_for(const StateFlags& flags);
Face face_for(const StateFlags& flags);
const Gradient& band_gradient(const ColourSet& colours, Band band);
const Gradient& face_gradient(const ColourSet& colours, Face face);

// Captions of buttons, check boxes and radio buttons: black, or muted when disabled or
// indeterminate.
Rgb caption_colour(const StateFlags& flags);

// The kinds of control the theme recognises. Only some are taken over; the others keep their own
// look.
enum class ControlKind {
    none,
    push_button,
    check_box,
    radio_button,
    group_box,
    edit_box,
    combo_box,
    up_down,
    combo_list,
    scroll_bar,
    month_calendar,
    tab_control,
    progress_bar,
    track_bar,
};

bool is_taken_over(ControlKind kind);

// The toolkit's widget classes as far as the theme tells them apart.
enum class WidgetClass {
    other,
    push_button,
    command_link,
    tool_button,
    check_box,
    radio_button,
    group_box,
    line_edit,
    plain_text_edit,
    rich_text_edit,
    combo_box,
    spin_box,
    date_time_edit,
    combo_popup_list,
    scroll_bar,
    calendar,
    tab_bar,
    progress_bar,
    slider,
    key_sequence_edit,
    list_view,
    tree_view,
};

struct WidgetTraits {
    WidgetClass widget_class = WidgetClass::other;
    // Push buttons: what they show and which styles they carry beyond a plain button.
    bool has_text = false;
    bool has_image = false;
    bool is_default = false;
    bool is_checkable = false;
    bool is_flat = false;
    bool has_menu = false;
    // Group boxes that carry a check box of their own in the title.
    bool has_title_check_box = false;
    // Line edits that are a part of a spin box or combo box rather than a control of their own.
    bool is_part_of_composite = false;
};

ControlKind classify(const WidgetTraits& traits);

// Modes 1, 2 and 3 switch the theme on; every other value switches it off.
bool mode_switches_on(int mode);

// What setting the theme reports: 1 for a mode that switches it on; otherwise 1 when switching off
// removed the theme, 0 when it was already off.
int set_theme_result(int mode, bool switched_off_a_running_theme);

} // namespace tavik::theme
