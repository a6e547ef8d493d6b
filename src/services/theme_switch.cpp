// Forwards theme changes to the shell's theme switch.
#include "theme_switch.h"

#include "service_environment.h"

namespace tavik {

std::int32_t set_control_theme(std::int32_t mode) {
    ThemeSwitch* theme = service_environment().theme;
    return theme != nullptr ? theme->set_theme(mode) : 0;
}

} // namespace tavik
