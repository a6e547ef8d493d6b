// The themed drawing of each kind on a QPainter: the painters' pixels plus the captions, copied
// onto the control in one drawImage call.
#pragma once

#include "shell/theme_painters.h"

class QPainter;
class QStyle;
class QStyleOptionButton;
class QStyleOptionComboBox;
class QStyleOptionGroupBox;
class QStyleOptionSpinBox;
class QWidget;
class QRect;
class QSize;

namespace tavik::theme {

void draw_push_button(QPainter& painter, const QStyleOptionButton& option, const QWidget* widget,
                      const ColourSet& colours, const StateFlags& flags,
                      const Surroundings& surroundings);

// Check boxes and radio buttons; style gives the indicator and label rectangles.
void draw_check_control(QPainter& painter, const QStyleOptionButton& option, const QWidget* widget,
                        const QStyle& style, bool is_radio, const ColourSet& colours,
                        const StateFlags& flags, const Surroundings& surroundings);

void draw_group_box(QPainter& painter, const QStyleOptionGroupBox& option, const QWidget* widget,
                    const Surroundings& surroundings, Rgb caption_colour, Rgb colour_beneath);

// The edit frame over a control of the given size, drawn at the painter's origin.
void draw_edit_frame(QPainter& painter, const QSize& size, const ColourSet& colours,
                     const StateFlags& flags, const Surroundings& surroundings);

void draw_combo_box(QPainter& painter, const QStyleOptionComboBox& option, const QWidget* widget,
                    const QStyle& style, const ColourSet& colours, StateFlags flags,
                    const Surroundings& surroundings);

void draw_spin_box(QPainter& painter, const QStyleOptionSpinBox& option, const QWidget* widget,
                   const QStyle& style, const ColourSet& colours, const StateFlags& flags,
                   const Surroundings& surroundings);

// An area filled with one of the colour set's gradients, such as the chosen item of a drop-down
// list.
void draw_gradient(QPainter& painter, const QRect& rect, const Gradient& gradient);

} // namespace tavik::theme
