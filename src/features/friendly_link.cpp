// The friendly link hands the partner address to the desktop and looks at nothing else.
#include "friendly_link.h"

#include "features/build_values.h"
#include "services/desktop_shell.h"

namespace tavik {

Text partner_address() {
    return kPartnerAddress;
}

void friendly_link(std::int32_t /*x*/, std::int32_t /*y*/, std::uint32_t /*function_keys*/) {
    open_web_address(kPartnerAddress);
}

} // namespace tavik
