// show_message and end_program over the message box and lifecycle seams.
#include "services/desktop_shell.h"
#include "services/message_box.h"
#include "services/program_lifecycle.h"
#include "services/service_environment.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace tavik {
namespace {

namespace mb = message_box_type;

// Answers every box with a preset button and remembers what it was asked to show.
class PresetPresenter final : public MessageBoxPresenter {
public:
    MessageBoxButton answer = MessageBoxButton::Ok;
    std::set<std::uint32_t> windows;
    std::vector<MessageBoxRequest> shown;

    MessageBoxButton present(const MessageBoxRequest& request) override {
        shown.push_back(request);
        return answer;
    }
    bool window_exists(std::uint32_t window) override { return windows.count(window) != 0; }
};

class ShowMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = service_environment();
        service_environment().message_box = &presenter_;
    }
    void TearDown() override { service_environment() = saved_; }

    const MessageBoxRequest& only_box() {
        EXPECT_EQ(presenter_.shown.size(), 1u);
        return presenter_.shown.back();
    }

    PresetPresenter presenter_;

private:
    ServiceEnvironment saved_;
};

const Text kDefaultTitle = "\xd0\xc5\xcf\xa2\xa3\xba";        // 信息：
const Text kUpdateTitle = "\xb8\xfc\xd0\xc2\xcc\xe1\xca\xbe"; // 更新提示

TEST_F(ShowMessageTest, ClosingButtonBecomesItsPlaceInTheResultOrder) {
    struct Case {
        std::uint32_t type;
        MessageBoxButton closed_with;
        std::int32_t expected;
    };
    const Case cases[] = {
        {mb::kOk, MessageBoxButton::Ok, 0},
        {mb::kOkCancel, MessageBoxButton::Cancel, 1},
        {mb::kAbortRetryIgnore, MessageBoxButton::Abort, 2},
        {mb::kAbortRetryIgnore, MessageBoxButton::Retry, 3},
        {mb::kAbortRetryIgnore, MessageBoxButton::Ignore, 4},
        {mb::kYesNoCancel, MessageBoxButton::Cancel, 1},
        {mb::kYesNo, MessageBoxButton::Yes, 5},
        {mb::kYesNo, MessageBoxButton::No, 6},
        {mb::kRetryCancel, MessageBoxButton::Retry, 3},
        // Closed some other way, or never shown.
        {mb::kYesNo, MessageBoxButton::None, 0},
    };
    for (const Case& c : cases) {
        presenter_.answer = c.closed_with;
        EXPECT_EQ(show_message("text", c.type), c.expected)
            << "type " << c.type << ", button " << static_cast<int>(c.closed_with);
    }
}

TEST_F(ShowMessageTest, TypeZeroIsAnOkBoxTitledInformationAndGivesZero) {
    EXPECT_EQ(show_message("", 0), 0);
    const MessageBoxRequest& box = only_box();
    EXPECT_EQ(box.title, kDefaultTitle);
    EXPECT_EQ(box.text, "");
    EXPECT_EQ(box.type, mb::kTaskModal);
    EXPECT_FALSE(box.owner.has_value());
}

TEST_F(ShowMessageTest, GivenTitleAndTextPassUnchanged) {
    const Text text = "\xb5\xda\xd2\xbb\xd0\xd0\r\n\xb5\xda\xb6\xfe\xd0\xd0"; // 第一行 CR LF 第二行
    show_message(text, 0, kUpdateTitle);
    show_message(text, 0, Text());
    ASSERT_EQ(presenter_.shown.size(), 2u);
    EXPECT_EQ(presenter_.shown[0].title, kUpdateTitle);
    EXPECT_EQ(presenter_.shown[0].text, text);
    // A title that is given, even an empty one, is not replaced by the default.
    EXPECT_EQ(presenter_.shown[1].title, "");
}

TEST_F(ShowMessageTest, EveryBoxButASystemModalOneIsTaskModal) {
    struct Case {
        std::uint32_t type;
        std::uint32_t shown_as;
    };
    const Case cases[] = {
        {0x0, 0x2000},    {0x24, 0x2024},   {0x2000, 0x2000},
        {0x1000, 0x1000}, {0x1010, 0x1010}, {0x3000, 0x3000},
    };
    for (const Case& c : cases) {
        presenter_.shown.clear();
        show_message("text", c.type);
        EXPECT_EQ(only_box().type, c.shown_as) << "type " << std::hex << c.type;
    }
}

TEST_F(ShowMessageTest, OwnerIsPassedOnlyWhenItsWindowExists) {
    presenter_.windows = {1};
    show_message("text", 0, std::nullopt, 1u);
    show_message("text", 0, std::nullopt, 2u);
    show_message("text", 0, std::nullopt, std::nullopt);
    ASSERT_EQ(presenter_.shown.size(), 3u);
    EXPECT_EQ(presenter_.shown[0].owner, std::optional<std::uint32_t>(1u));
    EXPECT_FALSE(presenter_.shown[1].owner.has_value());
    EXPECT_FALSE(presenter_.shown[2].owner.has_value());
}

TEST(ShowMessageWithoutPresenter, GivesZero) {
    const ServiceEnvironment saved = service_environment();
    service_environment().message_box = nullptr;
    EXPECT_EQ(show_message("text", mb::kYesNo), 0);
    service_environment() = saved;
}

// Stands in for the toolkit's lifecycle: reports on stderr what it was asked, then ends the process
// the way the real shutdown does, with the code as exit status.
class ExitingLifecycle final : public ProgramLifecycle {
public:
    void suppress_events_for_good() override { suppressed_ = true; }
    void clear_exit_routines() override { exit_routines_cleared_ = true; }
    [[noreturn]] void shut_down(std::int32_t exit_code) override {
        std::fprintf(stderr, "shut down: suppressed %d, exit routines cleared %d\n", suppressed_,
                     exit_routines_cleared_);
        std::fflush(stderr);
        std::_Exit(exit_code);
    }

private:
    bool suppressed_ = false;
    bool exit_routines_cleared_ = false;
};

TEST(EndProgramDeathTest, SuppressesEventsThenShutsDownWithTheCode) {
    struct Case {
        std::int32_t code;
        int status; // what the parent sees: the low eight bits
    };
    const Case cases[] = {{0, 0}, {-1, 255}, {3, 3}};
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                ExitingLifecycle lifecycle;
                service_environment().lifecycle = &lifecycle;
                end_program(c.code);
            },
            ::testing::ExitedWithCode(c.status), "shut down: suppressed 1, exit routines cleared 0")
            << "code " << c.code;
    }
}

TEST(EndProgramDeathTest, EndsWithTheCodeWhenNoToolkitIsThere) {
    EXPECT_EXIT(
        {
            service_environment().lifecycle = nullptr;
            end_program(-1);
        },
        ::testing::ExitedWithCode(255), "");
}

} // namespace
} // namespace tavik
