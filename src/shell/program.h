// Runs the whole program: the toolkit on Qt, the service seams, the handlers bound to the window.
#pragma once

#include <cstdint>
#include <functional>

namespace tavik {

struct ProgramHandlers {
    std::function<void()> version_gate;
    std::function<void()> account_draw;
    std::function<void(std::int32_t x, std::int32_t y, std::uint32_t function_keys)> friendly_link;
};

[[noreturn]] void run_program(const ProgramHandlers& handlers);

} // namespace tavik
