// How the features name the main window and the controls they reach: the window description's own
// numbers and names (UTF-8), exactly as the control text port receives them.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavik {

inline constexpr std::uint32_t kMainWindow = 0x52010001;

namespace control_name {
// The account list, kept below the window's visible area.
inline constexpr std::string_view kAccountList = "编辑框1";
// The account field that shows the drawn name.
inline constexpr std::string_view kAccountField = "编辑框2";
// The version holder, also kept out of sight.
inline constexpr std::string_view kVersionHolder = "标签2";
} // namespace control_name

} // namespace tavik
