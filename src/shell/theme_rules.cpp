// State precedence, control classification and switching results of the control theme.
#include "shell/theme_rules.h"

namespace tavik::theme {

Band band_for(const StateFlags& flags) {
    if (flags.pressed) {
        return Band::pressed;
    }
    if (flags.hot) {
        return Band::hot;
    }
    if (flags.checked || flags.indeterminate) {
        return Band::checked;
    }
    if (flags.focused || flags.is_default) {
        return Band::focused;
    }
    return Band::normal;
}

Face face_for(const StateFlags& flags) {
    return flags.pressed || flags.checked || flags.indeterminate ? Face::pressed : Face::normal;
}

const Gradient& band_gradient(const ColourSet& colours, Band band) {
    switch (band) {
    case Band::pressed:
        return colours.band_pressed;
    case Band::hot:
        return colours.band_hot;
    case Band::checked:
        return colours.band_checked;
    case Band::focused:
        return colours.band_focused;
    case Band::normal:
        break;
    }
    return colours.band_normal;
}

const Gradient& face_gradient(const ColourSet& colours, Face face) {
    return face == Face::pressed ? colours.face_pressed : colours.face_normal;
}

Rgb caption_colour(const StateFlags& flags) {
    return flags.disabled || flags.indeterminate ? muted_text : text_black;
}

bool is_taken_over(ControlKind kind) {
    switch (kind) {
    case ControlKind::push_button:
    case ControlKind::check_box:
    case ControlKind::radio_button:
    case ControlKind::group_box:
    case ControlKind::edit_box:
    case ControlKind::combo_box:
    case ControlKind::up_down:
    case ControlKind::combo_list:
        return true;
    case ControlKind::none:
    case ControlKind::scroll_bar:
    case ControlKind::month_calendar:
    case ControlKind::tab_control:
    case ControlKind::progress_bar:
    case ControlKind::track_bar:
        break;
    }
    return false;
}

namespace {

ControlKind classify_push_button(const WidgetTraits& traits) {
    // A button that shows only a picture is an image button, not one the theme can draw.
    if (traits.has_image && !traits.has_text) {
        return ControlKind::none;
    }
    // A blank button with no style beyond the plain one is left alone as well.
    const bool plain =
        !traits.is_default && !traits.is_checkable && !traits.is_flat && !traits.has_menu;
    if (!traits.has_text && !traits.has_image && plain) {
        return ControlKind::none;
    }
    return ControlKind::push_button;
}

} // namespace

ControlKind classify(const WidgetTraits& traits) {
    switch (traits.widget_class) {
    case WidgetClass::push_button:
        return classify_push_button(traits);
    case WidgetClass::check_box:
        return ControlKind::check_box;
    case WidgetClass::radio_button:
        return ControlKind::radio_button;
    case WidgetClass::group_box:
        return traits.has_title_check_box ? ControlKind::none : ControlKind::group_box;
    case WidgetClass::line_edit:
        return traits.is_part_of_composite ? ControlKind::none : ControlKind::edit_box;
    case WidgetClass::plain_text_edit:
        return ControlKind::edit_box;
    case WidgetClass::combo_box:
        return ControlKind::combo_box;
    case WidgetClass::spin_box:
        return ControlKind::up_down;
    case WidgetClass::combo_popup_list:
        return ControlKind::combo_list;
    case WidgetClass::scroll_bar:
        return ControlKind::scroll_bar;
    case WidgetClass::calendar:
        return ControlKind::month_calendar;
    case WidgetClass::tab_bar:
        return ControlKind::tab_control;
    case WidgetClass::progress_bar:
        return ControlKind::progress_bar;
    case WidgetClass::slider:
        return ControlKind::track_bar;
    case WidgetClass::other:
    case WidgetClass::command_link:
    case WidgetClass::tool_button:
    case WidgetClass::rich_text_edit:
    case WidgetClass::date_time_edit:
    case WidgetClass::key_sequence_edit:
    case WidgetClass::list_view:
    case WidgetClass::tree_view:
        break;
    }
    return ControlKind::none;
}

bool mode_switches_on(int mode) {
    return colour_set_for_mode(mode) != nullptr;
}

int set_theme_result(int mode, bool switched_off_a_running_theme) {
    if (mode_switches_on(mode)) {
        return 1;
    }
    return switched_off_a_running_theme ? 1 : 0;
}

} // namespace tavik::theme
