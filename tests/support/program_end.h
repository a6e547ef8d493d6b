// Test stand-ins for the end of the program: the fatal error report runs to the end and "the
// process" ends by throwing ProgramEnded, so a test can look at what the user would have seen.
#pragma once

#include "services/fatal_error.h"
#include "services/message_box.h"
#include "services/program_lifecycle.h"
#include "services/service_environment.h"

#include <cstdint>
#include <optional>

namespace tavik::testing {

struct ProgramEnded {
    std::int32_t exit_code;
};

// Installs itself as the lifecycle and message box seams for its lifetime and puts back what was
// there before.
class ProgramEndCatcher final : public ProgramLifecycle, public MessageBoxPresenter {
public:
    ProgramEndCatcher()
        : saved_(service_environment()) {
        service_environment().lifecycle = this;
        service_environment().message_box = this;
    }
    ~ProgramEndCatcher() override {
        service_environment().lifecycle = saved_.lifecycle;
        service_environment().message_box = saved_.message_box;
    }
    ProgramEndCatcher(const ProgramEndCatcher&) = delete;
    ProgramEndCatcher& operator=(const ProgramEndCatcher&) = delete;

    // The text of the error box, if one was shown.
    std::optional<Text> box_text;

    void suppress_events_for_good() override {}
    void clear_exit_routines() override {}
    [[noreturn]] void shut_down(std::int32_t exit_code) override { throw ProgramEnded{exit_code}; }
    MessageBoxButton present(const MessageBoxRequest& request) override {
        box_text = request.text;
        return MessageBoxButton::Ok;
    }

    // Whether the box is the fatal error report's box for this message and code.
    bool reported(const Text& message, std::int32_t code) const {
        return box_text == compose_fatal_error_text(message, code);
    }

private:
    ServiceEnvironment saved_;
};

} // namespace tavik::testing
