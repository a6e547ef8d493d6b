// What the window toolkit lets the services do to the program's life: stop events, end the process.
#pragma once

#include <cstdint>

namespace tavik {

class ProgramLifecycle {
public:
    virtual ~ProgramLifecycle() = default;

    // From the first call on no event reaches a handler; the count is never lowered again.
    virtual void suppress_events_for_good() = 0;

    // Forgets the registered exit routines so that shutdown runs none of them.
    virtual void clear_exit_routines() = 0;

    // Runs shutdown (exit routines, release of the toolkit) and ends the process with the code.
    [[noreturn]] virtual void shut_down(std::int32_t exit_code) = 0;
};

} // namespace tavik
