// The desktop services on top of the message box, opener and lifecycle seams.
#include "desktop_shell.h"

#include "message_box.h"
#include "program_lifecycle.h"
#include "service_environment.h"
#include "url_opener.h"

#include <cstdlib>
#include <utility>

namespace tavik {

namespace {

// The closing button's place in the order OK, Cancel, Abort, Retry, Ignore, Yes, No.
std::int32_t result_for(MessageBoxButton button) {
    switch (button) {
    case MessageBoxButton::Ok:
        return 0;
    case MessageBoxButton::Cancel:
        return 1;
    case MessageBoxButton::Abort:
        return 2;
    case MessageBoxButton::Retry:
        return 3;
    case MessageBoxButton::Ignore:
        return 4;
    case MessageBoxButton::Yes:
        return 5;
    case MessageBoxButton::No:
        return 6;
    case MessageBoxButton::None:
        break;
    }
    return 0;
}

} // namespace

std::int32_t show_message(const Text& text, std::uint32_t type, std::optional<Text> title,
                          std::optional<std::uint32_t> owner_window) {
    MessageBoxPresenter* presenter = service_environment().message_box;
    if (presenter == nullptr) {
        return 0;
    }
    MessageBoxRequest request;
    request.text = text;
    request.title = title ? std::move(*title) : Text(kDefaultMessageTitle);
    // A box that is not system-modal is always task-modal.
    request.type =
        (type & message_box_type::kSystemModal) != 0 ? type : type | message_box_type::kTaskModal;
    if (owner_window && presenter->window_exists(*owner_window)) {
        request.owner = owner_window;
    }
    return result_for(presenter->present(request));
}

void open_web_address(const Text& address) {
    if (UrlOpener* opener = service_environment().url_opener; opener != nullptr) {
        opener->open(address);
    }
}

void end_program(std::int32_t exit_code) {
    if (ProgramLifecycle* lifecycle = service_environment().lifecycle; lifecycle != nullptr) {
        lifecycle->suppress_events_for_good();
        lifecycle->shut_down(exit_code);
    }
    // Without a toolkit there is nothing to release beyond what the runtime's own exit does.
    std::exit(exit_code);
}

} // namespace tavik
