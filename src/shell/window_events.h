// Event numbers and the record that carries a raised event to its handler.
#pragma once

#include <array>
#include <cstdint>

namespace tavik {

namespace event {
// Window events.
inline constexpr std::int32_t kCreated = 0;
inline constexpr std::int32_t kMayClose = 1;
inline constexpr std::int32_t kWillBeDestroyed = 2;
inline constexpr std::int32_t kPositionChanged = 3;
inline constexpr std::int32_t kSizeChanged = 4;
inline constexpr std::int32_t kCloseRequested = 12;
// Push button events.
inline constexpr std::int32_t kClicked = 0;
// Events every kind of element raises.
inline constexpr std::int32_t kLeftButtonPressed = -1;
inline constexpr std::int32_t kLeftButtonReleased = -2;
inline constexpr std::int32_t kLeftButtonDoubleClicked = -3;
inline constexpr std::int32_t kRightButtonPressed = -4;
inline constexpr std::int32_t kRightButtonReleased = -5;
inline constexpr std::int32_t kMouseMoved = -6;
inline constexpr std::int32_t kGotFocus = -7;
inline constexpr std::int32_t kLostFocus = -8;
inline constexpr std::int32_t kKeyPressed = -9;
inline constexpr std::int32_t kKeyReleased = -10;
inline constexpr std::int32_t kCharacterTyped = -11;
inline constexpr std::int32_t kWheelTurned = -12;
} // namespace event

// Function-key bits carried by mouse events.
namespace function_key {
inline constexpr std::uint32_t kCtrl = 1;
inline constexpr std::uint32_t kShift = 2;
inline constexpr std::uint32_t kAlt = 4;
} // namespace function_key

struct EventRecord {
    std::uint32_t window = 0;
    std::uint32_t element = 0;
    std::int32_t event = 0;
    std::int32_t argument_count = 0;
    std::array<std::int32_t, 3> arguments{};
    // Set by a handler that returns a value.
    bool has_result = false;
    std::int32_t result = 0;
};

} // namespace tavik
