// Seeding and drawing: the generator step, the bounds rules of random integer, the seeding counter.
#include "random.h"

#include "tick_source.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace tavik {

namespace {

thread_local std::uint32_t generator = 1;

// Only the GUI thread seeds; the atomic merely keeps a stray second thread from being undefined
// behaviour, it does not make concurrent seedings meaningful.
std::atomic<std::uint32_t> seedings{0};

// Advances the state and yields its bits 16 to 30: 0 to 32767.
std::uint32_t generator_step() {
    generator = generator * 214013u + 2531011u;
    return (generator >> 16) & 0x7FFFu;
}

} // namespace

void seed_random(std::uint32_t seed) {
    generator = seed;
}

void seed_random() {
    const std::uint32_t counter = seedings.load(std::memory_order_relaxed);
    const std::uint32_t seed = tick_count() + counter;
    generator = seed;
    seedings.store(counter + (seed & 0xFFu) + 100u, std::memory_order_relaxed);
}

std::int32_t random_integer(std::optional<std::int32_t> lower, std::optional<std::int32_t> upper) {
    std::int32_t low = std::max(lower.value_or(0), 0);
    std::int32_t high = std::max(upper.value_or(0x7FFFFFFF), 0);
    if (low > high) {
        std::swap(low, high);
    }
    if (low == high) {
        return low;
    }
    // Both bounds are non-negative, so the difference fits; the cap only bites for 0 to 0x7FFFFFFF.
    const auto span = std::min<std::uint32_t>(static_cast<std::uint32_t>(high - low), 0x7FFFFFFEu);
    return low + static_cast<std::int32_t>(generator_step() % (span + 1u));
}

std::uint32_t generator_state() {
    return generator;
}

std::uint32_t seeding_counter() {
    return seedings.load(std::memory_order_relaxed);
}

void reset_seeding_counter(std::uint32_t value) {
    seedings.store(value, std::memory_order_relaxed);
}

} // namespace tavik
