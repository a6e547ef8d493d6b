// Reading and writing a control's whole text by name, as the features do it.
#pragma once

#include "text.h"

#include <cstdint>
#include <string_view>

namespace tavik {

enum class ControlAccess { Ok, WindowNotLoaded, ControlMissing };

// Implemented by the window toolkit; control names are those of the window description.
class ControlTextPort {
public:
    virtual ~ControlTextPort() = default;
    virtual ControlAccess access(std::uint32_t window, std::string_view control) = 0;
    // Only called after access() said Ok.
    virtual Text read(std::uint32_t window, std::string_view control) = 0;
    virtual void write(std::uint32_t window, std::string_view control, const Text& text) = 0;
};

} // namespace tavik
