// The friendly link: a left-button press on the link label opens the partner site.
#pragma once

#include "services/text.h"

#include <cstdint>

namespace tavik {

// The partner site: http:// and a host, set when the program is built.
Text partner_address();

// Left-button-pressed handler of 透明标签4. The position and the Ctrl/Shift/Alt bits are not
// looked at: every press opens the partner site again.
void friendly_link(std::int32_t x, std::int32_t y, std::uint32_t function_keys);

} // namespace tavik
