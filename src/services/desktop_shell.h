// The desktop services the features call: a modal message box, opening a web address, ending.
#pragma once

#include "text.h"

#include <cstdint>
#include <optional>

namespace tavik {

// 信息：
inline constexpr char kDefaultMessageTitle[] = "\xd0\xc5\xcf\xa2\xa3\xba";

// Shows a modal box and waits until it is closed. `type` is built from the message_box_type bits;
// without kSystemModal the box is task-modal. The owner is used only when that window exists.
// Returns the closing button as 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No, and 0 for
// anything else, including a box that could not be shown.
std::int32_t show_message(const Text& text, std::uint32_t type,
                          std::optional<Text> title = std::nullopt,
                          std::optional<std::uint32_t> owner_window = std::nullopt);

// Hands the address, unchanged and even when empty, to the desktop's opener and returns at once.
// Failures are ignored and nothing is shown.
void open_web_address(const Text& address);

// Stops every event from reaching a handler, runs the orderly shutdown and ends the process with
// the code as its exit status.
[[noreturn]] void end_program(std::int32_t exit_code);

} // namespace tavik
