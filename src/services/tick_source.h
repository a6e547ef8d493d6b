// The millisecond tick count that seeds the random generator, behind a seam so tests can set it.
#pragma once

#include <cstdint>

namespace tavik {

class TickSource {
public:
    virtual ~TickSource() = default;
    // Milliseconds since the system started, 32 bits, wrapping.
    virtual std::uint32_t milliseconds() = 0;
};

// The boot-time clock: it keeps counting while the machine is suspended.
class BootClockTickSource final : public TickSource {
public:
    std::uint32_t milliseconds() override;
};

// The tick source installed in service_environment(), or the boot-time clock when there is none.
std::uint32_t tick_count();

} // namespace tavik
