// Reading and writing control texts through the toolkit's port, ending the program when it cannot.
#include "control_text.h"

#include "fatal_error.h"
#include "service_environment.h"

namespace tavik {

namespace {

// The port, once it has said that the control can be reached; without a port nothing is loaded.
ControlTextPort& reachable(std::uint32_t window, std::string_view control) {
    ControlTextPort* port = service_environment().controls;
    const ControlAccess access =
        port != nullptr ? port->access(window, control) : ControlAccess::WindowNotLoaded;
    switch (access) {
    case ControlAccess::Ok:
        return *port;
    case ControlAccess::ControlMissing:
        fatal_error_report(fatal_message::kControlMissing, fatal_code::kNone);
    case ControlAccess::WindowNotLoaded:
        break;
    }
    fatal_error_report(fatal_message::kControlWindowNotLoaded, fatal_code::kNone);
}

} // namespace

Text read_control_text(std::uint32_t window, std::string_view control) {
    return reachable(window, control).read(window, control);
}

void write_control_text(std::uint32_t window, std::string_view control, const Text& text) {
    reachable(window, control).write(window, control, text);
}

} // namespace tavik
