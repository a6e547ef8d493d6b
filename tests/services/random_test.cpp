// The random generator: its step, the bounds rules of random integer, seeding and its counter.
#include "services/random.h"
#include "services/tick_source.h"
#include "support/fixed_tick_source.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <vector>

namespace tavik {
namespace {

using testing::FixedTickSource;

constexpr std::int32_t kMax = 0x7FFFFFFF;

std::vector<std::int32_t> draws(std::optional<std::int32_t> lower,
                                std::optional<std::int32_t> upper, int count) {
    std::vector<std::int32_t> results;
    for (int i = 0; i < count; ++i) {
        results.push_back(random_integer(lower, upper));
    }
    return results;
}

TEST(Generator, FromStateOneGivesTheKnownOutputs) {
    seed_random(1);
    // With no bounds every output comes through unchanged.
    EXPECT_EQ(draws(std::nullopt, std::nullopt, 5),
              (std::vector<std::int32_t>{41, 18467, 6334, 26500, 19169}));

    // The state keeps all 32 bits; the output shows only 15 of them.
    seed_random(1);
    random_integer(std::nullopt, std::nullopt);
    EXPECT_EQ(generator_state(), 214013u + 2531011u);
}

TEST(Generator, DrawsBetweenOneAnd381FromSeedOne) {
    seed_random(1);
    EXPECT_EQ(draws(1, 381, 3), (std::vector<std::int32_t>{42, 180, 239}));
}

TEST(RandomInteger, AppliesTheBoundsRules) {
    struct Case {
        const char* what;
        std::optional<std::int32_t> lower;
        std::optional<std::int32_t> upper;
        std::int32_t expected; // from state 1, whose first output is 41
        bool advances;
    };
    const Case cases[] = {
        {"equal bounds give the bound", 5, 5, 5, false},
        {"swapped bounds are put in order", 10, 1, 1 + 41 % 10, true},
        {"a negative lower bound counts as 0", -5, 3, 41 % 4, true},
        {"both negative collapse to 0", -3, -8, 0, false},
        {"a negative upper bound alone collapses to 0", std::nullopt, -1, 0, false},
        {"no bounds", std::nullopt, std::nullopt, 41, true},
        {"the full range is capped, not overflowed", 0, kMax, 41, true},
        {"only a lower bound reaches up to the maximum", 100, std::nullopt, 141, true},
        {"only an upper bound starts at 0", std::nullopt, 10, 41 % 11, true},
        {"the top of the range does not overflow", kMax - 1, kMax, kMax - 1 + 41 % 2, true},
        {"the draw range of the account draw", 1, 381, 42, true},
    };
    for (const Case& c : cases) {
        seed_random(1);
        EXPECT_EQ(random_integer(c.lower, c.upper), c.expected) << c.what;
        EXPECT_EQ(generator_state() != 1u, c.advances) << c.what;
    }
}

TEST(RandomInteger, SwappedAndClampedBoundsDrawLikeTheirOrderedForm) {
    seed_random(77);
    const auto swapped = draws(400, 3, 50);
    seed_random(77);
    EXPECT_EQ(swapped, draws(3, 400, 50));

    seed_random(77);
    const auto negative = draws(-9, 20, 50);
    seed_random(77);
    EXPECT_EQ(negative, draws(0, 20, 50));
}

TEST(RandomInteger, WideRangesOnlyReachTheLowest32768Values) {
    seed_random(12345);
    for (const std::int32_t value : draws(1000, std::nullopt, 2000)) {
        ASSERT_GE(value, 1000);
        ASSERT_LE(value, 1000 + 32767);
    }
}

TEST(SeedRandom, WithAValueTakesAll32BitsAndLeavesTheCounter) {
    reset_seeding_counter(7);
    seed_random(0xFFFFFFFFu);
    EXPECT_EQ(generator_state(), 0xFFFFFFFFu);
    EXPECT_EQ(seeding_counter(), 7u);
}

TEST(SeedRandom, WithoutAValueAddsTheCounterToTheTickCount) {
    FixedTickSource ticks(1000);
    reset_seeding_counter();
    seed_random();
    EXPECT_EQ(generator_state(), 1000u);
    EXPECT_EQ(seeding_counter(), 332u);
    // The same millisecond again still gives another seed.
    seed_random();
    EXPECT_EQ(generator_state(), 1332u);
    EXPECT_EQ(seeding_counter(), 484u);
}

TEST(SeedRandom, SumsWrapAt32Bits) {
    struct Case {
        std::uint32_t tick;
        std::uint32_t counter;
        std::uint32_t state;
        std::uint32_t next_counter;
    };
    const Case cases[] = {
        {0xFFFFFFF0u, 0x20u, 0x10u, 0x20u + 0x10u + 100u},
        {0u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFu + 100u - 1u},
        {0xFFFFFFFFu, 0u, 0xFFFFFFFFu, 0xFFu + 100u},
    };
    for (const Case& c : cases) {
        FixedTickSource ticks(c.tick);
        reset_seeding_counter(c.counter);
        seed_random();
        EXPECT_EQ(generator_state(), c.state) << c.tick << " + " << c.counter;
        EXPECT_EQ(seeding_counter(), c.next_counter) << c.tick << " + " << c.counter;
    }
}

TEST(SeedRandom, TheGeneratorStateBelongsToTheThread) {
    seed_random(1000);
    std::uint32_t other_start = 0;
    std::int32_t other_first = 0;
    std::thread other([&] {
        other_start = generator_state();
        other_first = random_integer(std::nullopt, std::nullopt);
    });
    other.join();
    EXPECT_EQ(other_start, 1u);
    EXPECT_EQ(other_first, 41);
    EXPECT_EQ(generator_state(), 1000u);
}

// /proc/uptime reads the same boot-time clock in hundredths of a second.
std::uint64_t uptime_milliseconds() {
    std::ifstream uptime("/proc/uptime");
    double seconds = 0;
    uptime >> seconds;
    return static_cast<std::uint64_t>(seconds * 1000.0);
}

TEST(TickCount, IsTheBootClockInMilliseconds) {
    if (!std::ifstream("/proc/uptime")) {
        GTEST_SKIP() << "no /proc/uptime to compare with";
    }
    const std::uint64_t before = uptime_milliseconds();
    const std::uint32_t ticks = BootClockTickSource().milliseconds();
    const std::uint64_t after = uptime_milliseconds();
    // Compared modulo 2^32, with room for the hundredths that /proc/uptime rounds away.
    const auto low = static_cast<std::uint32_t>(before - 20);
    EXPECT_LE(static_cast<std::uint32_t>(ticks - low),
              static_cast<std::uint32_t>(after + 20 - low));
}

TEST(TickCount, PrefersTheInstalledSource) {
    FixedTickSource ticks(4242);
    EXPECT_EQ(tick_count(), 4242u);
}

} // namespace
} // namespace tavik
