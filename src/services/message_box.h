// The modal message box as the services ask for it, and the seam that puts it on screen.
#pragma once

#include "text.h"

#include <cstdint>
#include <optional>

namespace tavik {

// Bits of a message box type, with the values the desktop's own message box uses for them.
namespace message_box_type {
inline constexpr std::uint32_t kButtonsMask = 0x0000000F;
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kOkCancel = 0x1;
inline constexpr std::uint32_t kAbortRetryIgnore = 0x2;
inline constexpr std::uint32_t kYesNoCancel = 0x3;
inline constexpr std::uint32_t kYesNo = 0x4;
inline constexpr std::uint32_t kRetryCancel = 0x5;
inline constexpr std::uint32_t kIconMask = 0x000000F0;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconWarning = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kDefaultButtonMask = 0x00000F00;
inline constexpr std::uint32_t kSystemModal = 0x1000;
inline constexpr std::uint32_t kTaskModal = 0x2000;
} // namespace message_box_type

// The button that closed a box; None when it was closed some other way or never shown.
enum class MessageBoxButton { None, Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageBoxRequest {
    Text text;
    Text title;
    std::uint32_t type = 0;
    // Window number of an owner that exists; none for a box that stands on its own.
    std::optional<std::uint32_t> owner;
};

class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    // Shows the box and returns once the user has closed it.
    virtual MessageBoxButton present(const MessageBoxRequest& request) = 0;

    // Whether the window with this number is there to own a box. A presenter that cannot reach the
    // program's windows shows every box without an owner.
    virtual bool window_exists(std::uint32_t /*window*/) { return false; }
};

} // namespace tavik
