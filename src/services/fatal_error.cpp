// The fatal error report: compose the box text, show it, end the program with -1.
#include "fatal_error.h"

#include "message_box.h"
#include "program_lifecycle.h"
#include "service_environment.h"

#include <cstdlib>
#include <string>

namespace tavik {

namespace {
// 运行时出错! then CR LF CR LF
constexpr char kHeading[] = "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed\x21\r\n\r\n";
// 错误代码：
constexpr char kCodeLabel[] = "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba";
// 错误信息：
constexpr char kMessageLabel[] = "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba";
// 错误
constexpr char kTitle[] = "\xb4\xed\xce\xf3";
// 分配 and 字节内存失败!
constexpr char kAllocateBefore[] = "\xb7\xd6\xc5\xe4\x20";
constexpr char kAllocateAfter[] = "\x20\xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc\x21";
} // namespace

Text compose_fatal_error_text(const Text& message, std::int32_t code) {
    Text text = kHeading;
    if (code != 0) {
        text += kCodeLabel;
        text += std::to_string(code);
        text += "\r\n\r\n";
    }
    if (!message.empty()) {
        text += kMessageLabel;
        text += message;
        text += "\r\n";
    }
    return text;
}

Text out_of_memory_message(std::size_t bytes) {
    return kAllocateBefore + std::to_string(bytes) + kAllocateAfter;
}

void fatal_error_report(const Text& message, std::int32_t code) {
    ServiceEnvironment& environment = service_environment();
    if (environment.lifecycle != nullptr) {
        environment.lifecycle->suppress_events_for_good();
    }
    if (environment.message_box != nullptr) {
        // No owner and no task-modal bit: the main window stays enabled, its events stay
        // suppressed.
        environment.message_box->present({compose_fatal_error_text(message, code), kTitle,
                                          message_box_type::kOk | message_box_type::kIconError,
                                          std::nullopt});
    }
    if (environment.lifecycle != nullptr) {
        environment.lifecycle->clear_exit_routines();
        environment.lifecycle->shut_down(-1);
    }
    std::_Exit(255);
}

void fatal_out_of_memory(std::size_t bytes) {
    fatal_error_report(out_of_memory_message(bytes), fatal_code::kNone);
}

} // namespace tavik
