// Reading and writing control texts: through the port when the control is there, the fatal error
// report when its window is not.
#include "services/control_text.h"
#include "services/fatal_error.h"
#include "support/program_end.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavik {
namespace {

using testing::ProgramEndCatcher;
using testing::ProgramEnded;

constexpr std::uint32_t kWindow = 0x52010001;

class ScriptedPort final : public ControlTextPort {
public:
    ControlAccess answer = ControlAccess::Ok;
    Text held = "held";
    std::vector<std::string> calls;

    ControlAccess access(std::uint32_t window, std::string_view control) override {
        calls.push_back("access " + std::to_string(window) + " " + std::string(control));
        return answer;
    }
    Text read(std::uint32_t, std::string_view) override {
        calls.push_back("read");
        return held;
    }
    void write(std::uint32_t, std::string_view, const Text& text) override {
        calls.push_back("write");
        held = text;
    }
};

class ControlTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = service_environment().controls;
        service_environment().controls = &port_;
    }
    void TearDown() override { service_environment().controls = saved_; }

    ScriptedPort port_;

private:
    ControlTextPort* saved_ = nullptr;
};

TEST_F(ControlTextTest, ReadsAndWritesThroughThePort) {
    write_control_text(kWindow, "编辑框2", "abcd12345");
    EXPECT_EQ(read_control_text(kWindow, "编辑框2"), "abcd12345");
    const std::string access = "access " + std::to_string(kWindow) + " 编辑框2";
    EXPECT_EQ(port_.calls, (std::vector<std::string>{access, "write", access, "read"}));
}

TEST_F(ControlTextTest, AControlThatCannotBeReachedEndsTheProgram) {
    struct Case {
        const char* what;
        bool port_installed;
        ControlAccess answer;
        Text message;
    };
    const Case cases[] = {
        {"window not loaded", true, ControlAccess::WindowNotLoaded,
         fatal_message::kControlWindowNotLoaded},
        {"control's window missing", true, ControlAccess::ControlMissing,
         fatal_message::kControlMissing},
        {"no toolkit at all", false, ControlAccess::Ok, fatal_message::kControlWindowNotLoaded},
    };
    for (const Case& c : cases) {
        for (const bool writing : {false, true}) {
            port_.answer = c.answer;
            port_.calls.clear();
            service_environment().controls = c.port_installed ? &port_ : nullptr;
            ProgramEndCatcher program;
            try {
                if (writing) {
                    write_control_text(kWindow, "标签2", "1.0");
                } else {
                    read_control_text(kWindow, "标签2");
                }
                ADD_FAILURE() << c.what << ": came back";
            } catch (const ProgramEnded& ended) {
                EXPECT_EQ(ended.exit_code, -1);
                EXPECT_TRUE(program.reported(c.message, fatal_code::kNone)) << c.what;
            }
            // Only the access test reached the port.
            EXPECT_LE(port_.calls.size(), 1u) << c.what;
            EXPECT_EQ(port_.held, "held") << c.what;
        }
    }
}

} // namespace
} // namespace tavik
