// Switching the program's own look for buttons, edit boxes and group boxes on and off.
#pragma once

namespace tavik {

// Modes 1, 2 and 3 switch the control theme on in the blue, olive or silver colours: the theme is
// first switched off, then on again, so every control starts afresh, and the result is 1. Any
// other mode switches the theme off and gives 1 if it was on, 0 if it was already off. While the
// theme is on, every qualifying control of the application is drawn by it, those created later
// included; switching it off gives every control its own look back at once.
// Call on the GUI thread with a QApplication in place; without one nothing is switched and the
// result is 0.
int set_theme(int mode);

} // namespace tavik
