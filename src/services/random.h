// The random generator the features draw from: a per-thread linear congruential state and its
// seeding.
#pragma once

#include <cstdint>
#include <optional>

namespace tavik {

// The generator state becomes the seed, all 32 bits.
void seed_random(std::uint32_t seed);

// Seeds from the tick count plus the process-wide seeding counter and advances the counter, so that
// two seedings in the same millisecond still differ.
void seed_random();

// A number between the bounds, both included. An absent lower bound is 0, an absent upper bound
// 0x7FFFFFFF, a negative bound counts as 0, and swapped bounds are put in order. Equal bounds give
// that value without advancing the generator; otherwise one generator step gives a 15-bit output o
// and the result is lower + o mod (span + 1), so it never exceeds lower + 32767.
std::int32_t random_integer(std::optional<std::int32_t> lower, std::optional<std::int32_t> upper);

// The calling thread's generator state (1 before its first seeding).
std::uint32_t generator_state();

// The process-wide seeding counter (0 at start).
std::uint32_t seeding_counter();

// Puts the seeding counter back to a known value, as a fresh process has it (for tests).
void reset_seeding_counter(std::uint32_t value = 0);

} // namespace tavik
