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

// The whole text the control holds now, as a new copy. A window that is not loaded or a control
// whose window does not exist ends the program in the fatal error report (code 0).
Text read_control_text(std::uint32_t window, std::string_view control);

// Replaces the control's whole text; the control keeps a copy of its own. Same fatal errors as
// reading.
void write_control_text(std::uint32_t window, std::string_view control, const Text& text);

} // namespace tavik
