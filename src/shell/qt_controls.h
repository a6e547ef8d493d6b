// Builds the Qt widget for each kind of control in the window description.
#pragma once

#include "window_description.h"

#include <QFont>
#include <QWidget>
#include <optional>

namespace tavik {

// The widget for a control, created hidden as a child of parent with the control's geometry,
// colours, font, flags and initial text.
QWidget* create_control_widget(const Element& control, QWidget* parent);

// A named font with installed look-alikes behind it, or the desktop's default font.
QFont font_for(const std::optional<Font>& font);

} // namespace tavik
