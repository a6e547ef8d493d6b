// The fatal error report: the box text, the order of its steps, and that it never comes back.
#include "services/fatal_error.h"
#include "services/message_box.h"
#include "services/program_lifecycle.h"
#include "services/service_environment.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavik {
namespace {

struct ProgramEnded {
    std::int32_t code;
};

// Records what the report asks of the toolkit and the desktop, and ends "the process" by throwing.
class Recorder final : public ProgramLifecycle, public MessageBoxPresenter {
public:
    std::vector<std::string> steps;
    MessageBoxRequest shown;

    void suppress_events_for_good() override { steps.push_back("suppress"); }
    void clear_exit_routines() override { steps.push_back("clear exit routines"); }
    [[noreturn]] void shut_down(std::int32_t exit_code) override {
        steps.push_back("shut down");
        throw ProgramEnded{exit_code};
    }
    MessageBoxButton present(const MessageBoxRequest& request) override {
        steps.push_back("box");
        shown = request;
        return MessageBoxButton::Ok;
    }
};

class FatalErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = service_environment();
        service_environment().lifecycle = &recorder_;
        service_environment().message_box = &recorder_;
    }
    void TearDown() override { service_environment() = saved_; }

    Recorder recorder_;

private:
    ServiceEnvironment saved_;
};

const Text kHeading = "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed\x21\r\n\r\n"; // 运行时出错!

TEST(FatalErrorText, ComposesHeadingCodeAndMessageLines) {
    struct Case {
        const char* what;
        Text message;
        std::int32_t code;
        Text expected;
    };
    const Text code_label = "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba";    // 错误代码：
    const Text message_label = "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba"; // 错误信息：
    const Case cases[] = {
        {"code 1 with its message", fatal_message::kIndexAboveCount, 1,
         kHeading + code_label + "1\r\n\r\n" + message_label + fatal_message::kIndexAboveCount +
             "\r\n"},
        {"code 0 has no code line", fatal_message::kStartWindowFailed, 0,
         kHeading + message_label + fatal_message::kStartWindowFailed + "\r\n"},
        {"code 0 and no message leave the heading alone", "", 0, kHeading},
        {"a negative code is shown as it is", "", -7, kHeading + code_label + "-7\r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compose_fatal_error_text(c.message, c.code), c.expected) << c.what;
    }
}

TEST(FatalErrorText, OutOfMemoryMessageNamesTheSize) {
    // 分配 4096 字节内存失败!
    EXPECT_EQ(out_of_memory_message(4096),
              "\xb7\xd6\xc5\xe4 4096 \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!");
}

TEST_F(FatalErrorReportTest, SuppressesFirstThenShowsTheBoxThenEndsWithoutExitRoutines) {
    try {
        fatal_error_report(fatal_message::kIndexAboveCount, fatal_code::kIndexAboveCount);
        FAIL() << "the report came back";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.code, -1);
    }
    EXPECT_EQ(recorder_.steps,
              (std::vector<std::string>{"suppress", "box", "clear exit routines", "shut down"}));
    EXPECT_EQ(recorder_.shown.title, "\xb4\xed\xce\xf3"); // 错误
    EXPECT_EQ(recorder_.shown.type, message_box_type::kOk | message_box_type::kIconError);
    EXPECT_FALSE(recorder_.shown.owner.has_value());
    EXPECT_EQ(recorder_.shown.text, compose_fatal_error_text(fatal_message::kIndexAboveCount, 1));
}

} // namespace
} // namespace tavik
