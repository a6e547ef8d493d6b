// Memory the services ask for: a request that cannot be met ends in the fatal error report.
#pragma once

#include "fatal_error.h"
#include "text.h"

#include <cstddef>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace tavik {

// Runs make(), which asks for a block of `bytes` bytes. If the block cannot be had the program ends
// in the fatal error report naming that size; nothing is thrown to the caller.
template <typename Make> decltype(auto) allocate_or_end(std::size_t bytes, Make&& make) {
    try {
        return std::forward<Make>(make)();
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory(bytes);
    } catch (const std::length_error&) {
        // A size beyond what a string or vector can hold is memory that cannot be had, too.
        fatal_out_of_memory(bytes);
    }
}

// A new text holding a copy of the bytes; the block counts the terminating zero a text ends with.
inline Text copy_text(std::string_view bytes) {
    return allocate_or_end(bytes.size() + 1, [bytes] { return Text(bytes); });
}

} // namespace tavik
