// The seam through which a feature switches the painted control theme, which the shell owns.
#pragma once

#include <cstdint>

namespace tavik {

class ThemeSwitch {
public:
    virtual ~ThemeSwitch() = default;
    // 1, 2 and 3 switch the theme on with that colour set and give 1; anything else switches it
    // off and gives what switching off gave.
    virtual std::int32_t set_theme(std::int32_t mode) = 0;
};

// Through the environment's theme switch; 0 when the program has none.
std::int32_t set_control_theme(std::int32_t mode);

} // namespace tavik
