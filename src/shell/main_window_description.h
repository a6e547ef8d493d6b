// The description of the program's one window, and the numbers and names it is known by.
#pragma once

#include "window_description.h"

#include <cstdint>

namespace tavik {

inline constexpr std::uint32_t kMainWindowNumber = 0x52010001;
inline constexpr std::uint32_t kMainWindowElement = 0x06010000;

// The main window with its ten controls, the account list included.
WindowDescription main_window_description();

// The description source the program starts from: it holds the main window only.
class BuiltInDescriptions final : public DescriptionSource {
public:
    std::optional<std::vector<WindowDescription>> read() const override;
};

} // namespace tavik
