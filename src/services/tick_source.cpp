// The boot-time clock as a 32-bit millisecond tick count.
#include "tick_source.h"

#include "service_environment.h"

#include <ctime>

namespace tavik {

std::uint32_t BootClockTickSource::milliseconds() {
    timespec now{};
    // CLOCK_BOOTTIME has been there since Linux 2.6.39; the monotonic clock only stands in for it
    // on a kernel without it, and merely stops counting during suspend.
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        clock_gettime(CLOCK_MONOTONIC, &now);
    }
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms); // wraps after about 49.7 days, as intended
}

std::uint32_t tick_count() {
    if (TickSource* installed = service_environment().ticks) {
        return installed->milliseconds();
    }
    static BootClockTickSource boot_clock;
    return boot_clock.milliseconds();
}

} // namespace tavik
