// The toolkit's rules against a platform that records what it is asked to do: load order, event
// routing and suppression, closing, shutdown and the start-up failures.
#include "services/fatal_error.h"
#include "services/message_box.h"
#include "services/service_environment.h"
#include "shell/main_window_description.h"
#include "shell/toolkit.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tavik {
namespace {

struct ProcessEnded {
    int code;
};

// Keeps a log of the platform calls and the state a handler would see.
class RecordingPlatform final : public ToolkitPlatform {
public:
    std::vector<std::string> log;
    std::map<std::uint32_t, Text> texts;
    bool window = false;
    bool window_visible = false;
    std::vector<std::uint32_t> created;
    std::vector<std::vector<std::uint32_t>> stacks;
    std::vector<std::uint32_t> focus;
    bool fail_control = false;
    // Runs while the toolkit processes pending messages, like a resize the building caused.
    std::function<void()> on_pending;

    void initialise() override { log.push_back("initialise"); }
    void process_pending_messages() override {
        log.push_back("pending");
        if (on_pending) {
            on_pending();
        }
    }
    bool create_window(const WindowDescription&) override {
        log.push_back("create window");
        window = true;
        return true;
    }
    bool create_control(const Element& control) override {
        if (fail_control) {
            return false;
        }
        created.push_back(control.number);
        return true;
    }
    void move_into_container(const Element& control, const Element& container) override {
        log.push_back("move " + std::string(control.name) + " into " + std::string(container.name));
    }
    void stack_siblings(const std::vector<std::uint32_t>& top_first) override {
        stacks.push_back(top_first);
    }
    void set_pointer(std::uint32_t, MousePointer) override {}
    void set_focus_order(const std::vector<std::uint32_t>& order) override { focus = order; }
    void show_control(std::uint32_t) override {}
    void discard_window() override {
        log.push_back("discard");
        window = false;
    }
    bool window_exists() const override { return window; }
    bool control_exists(std::uint32_t element) const override {
        return window && std::find(created.begin(), created.end(), element) != created.end();
    }
    void show_window() override {
        log.push_back("show window");
        window_visible = true;
    }
    Text control_text(std::uint32_t element) override { return texts[element]; }
    void set_control_text(std::uint32_t element, const Text& text) override {
        texts[element] = text;
    }
    void flush_control_texts() override {}
    int run_message_loop() override {
        log.push_back("loop");
        return 0;
    }
    void post_quit(int code) override { log.push_back("quit " + std::to_string(code)); }
    void release() override { log.push_back("release"); }
    [[noreturn]] void end_process(int code) override { throw ProcessEnded{code}; }
};

class FixedDescriptions final : public DescriptionSource {
public:
    explicit FixedDescriptions(std::optional<std::vector<WindowDescription>> descriptions)
        : descriptions_(std::move(descriptions)) {}
    std::optional<std::vector<WindowDescription>> read() const override { return descriptions_; }

private:
    std::optional<std::vector<WindowDescription>> descriptions_;
};

class BoxRecorder final : public MessageBoxPresenter {
public:
    std::vector<Text> texts;
    MessageBoxButton present(const MessageBoxRequest& request) override {
        texts.push_back(request.text);
        return MessageBoxButton::Ok;
    }
};

constexpr std::uint32_t kLinkLabel = 0x16010019;
constexpr std::uint32_t kDrawButton = 0x16010015;

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = service_environment();
        service_environment().lifecycle = &toolkit_;
        service_environment().controls = &toolkit_;
        service_environment().message_box = &boxes_;
    }
    void TearDown() override { service_environment() = saved_; }

    // Binds every handler to a recorder of (element, event) pairs.
    void record_all_handlers() {
        for (Handler h : {Handler::VersionGate, Handler::AccountDraw, Handler::FriendlyLink}) {
            toolkit_.bind(h, [this](EventRecord& r) {
                raised_.push_back({r.element, r.event});
                records_.push_back(r);
            });
        }
    }

    // A copy of the main window whose window element also binds the given events.
    static WindowDescription with_window_bindings(std::vector<std::int32_t> events) {
        WindowDescription d = main_window_description();
        for (std::int32_t e : events) {
            d.elements.front().bindings.push_back({e, Handler::VersionGate});
        }
        return d;
    }

    void load(WindowDescription description) {
        FixedDescriptions source(std::vector<WindowDescription>{std::move(description)});
        toolkit_.begin(source);
        ASSERT_TRUE(toolkit_.load_window(kMainWindowNumber));
    }

    // Runs something that must end the process and returns the exit code it ended with.
    template <typename F> int exit_code_of(F&& f) {
        try {
            f();
        } catch (const ProcessEnded& ended) {
            return ended.code;
        }
        ADD_FAILURE() << "the process did not end";
        return 0;
    }

    RecordingPlatform platform_;
    Toolkit toolkit_{platform_};
    BoxRecorder boxes_;
    std::vector<std::pair<std::uint32_t, std::int32_t>> raised_;
    std::vector<EventRecord> records_;

private:
    ServiceEnvironment saved_;
};

TEST_F(ToolkitTest, BuildsHiddenFromLastToFirstThenRaisesCreatedOnceBeforeShowing) {
    std::vector<std::string> seen_at_created;
    bool visible_at_created = true;
    std::size_t controls_at_created = 0;
    WindowDescription d = with_window_bindings({event::kPositionChanged, event::kSizeChanged});
    toolkit_.bind(Handler::VersionGate, [&](EventRecord& r) {
        raised_.push_back({r.element, r.event});
        if (r.event == event::kCreated) {
            visible_at_created = platform_.window_visible;
            controls_at_created = platform_.created.size();
        }
    });
    load(std::move(d));

    const std::vector<std::uint32_t> last_to_first{0x16010002, 0x16010012, 0x16010013, 0x16010014,
                                                   0x16010015, 0x16010016, 0x16010017, 0x16010018,
                                                   0x16010019, 0x1601001E};
    EXPECT_EQ(platform_.created, last_to_first);
    EXPECT_EQ(controls_at_created, 10u);
    EXPECT_FALSE(visible_at_created);
    EXPECT_TRUE(platform_.window_visible);
    const std::vector<std::pair<std::uint32_t, std::int32_t>> expected{
        {kMainWindowElement, event::kCreated},
        {kMainWindowElement, event::kPositionChanged},
        {kMainWindowElement, event::kSizeChanged}};
    EXPECT_EQ(raised_, expected);
    EXPECT_EQ(toolkit_.suppression_count(), 0);
}

TEST_F(ToolkitTest, HappeningsWhileBuildingReachNoHandler) {
    WindowDescription d =
        with_window_bindings({event::kPositionChanged, event::kSizeChanged, event::kGotFocus});
    toolkit_.bind(Handler::VersionGate, [&](EventRecord& r) {
        raised_.push_back({r.element, r.event});
    });
    platform_.on_pending = [&] {
        if (platform_.window) {
            toolkit_.window_moved();
            toolkit_.window_resized();
            InputMessage focus{.element = kMainWindowElement, .kind = InputKind::KeyDown};
            toolkit_.route_input(focus);
        }
    };
    load(std::move(d));
    platform_.on_pending = nullptr;
    ASSERT_FALSE(raised_.empty());
    EXPECT_EQ(raised_.front().second, event::kCreated);
    EXPECT_EQ(raised_.size(), 3u) << "created, position changed and size changed only";
}

TEST_F(ToolkitTest, ContainersStackingAndFocusOrderFollowTheDescription) {
    load(main_window_description());
    const std::vector<std::string> moves_expected{
        "move 透明标签5 into 分组框1", "move 透明标签3 into 分组框1", "move 透明标签2 into 分组框1",
        "move 透明标签1 into 分组框1", "move 按钮1 into 分组框1",     "move 编辑框2 into 分组框1"};
    std::vector<std::string> moves;
    std::copy_if(platform_.log.begin(), platform_.log.end(), std::back_inserter(moves),
                 [](const std::string& s) { return s.rfind("move", 0) == 0; });
    EXPECT_EQ(moves, moves_expected);

    const std::vector<std::vector<std::uint32_t>> stacks{
        {0x16010019, 0x16010013, 0x16010012, 0x16010002},
        {0x1601001E, 0x16010018, 0x16010017, 0x16010016, 0x16010015, 0x16010014}};
    EXPECT_EQ(platform_.stacks, stacks);
    EXPECT_EQ(platform_.focus, (std::vector<std::uint32_t>{0x16010002, 0x16010014, 0x16010015}));
}

TEST_F(ToolkitTest, InputBecomesEventsWithPositionsAndFunctionKeys) {
    WindowDescription d = main_window_description();
    for (Element& e : d.elements) {
        if (e.number == kLinkLabel) {
            for (std::int32_t n : {-2, -3, -4, -5, -6, -9, -10, -11, -12}) {
                e.bindings.push_back({n, Handler::FriendlyLink});
            }
        }
    }
    load(std::move(d));
    record_all_handlers();

    struct Case {
        InputKind kind;
        std::int32_t event;
        std::int32_t x, y;
        std::uint32_t keys;
        std::array<std::int32_t, 3> arguments;
    };
    const Case cases[] = {
        {InputKind::LeftPress, -1, 3, 4, 0, {3, 4, 0}},
        {InputKind::LeftRelease, -2, 3, 4, function_key::kCtrl, {3, 4, 1}},
        {InputKind::LeftDoubleClick, -3, 130, 20, function_key::kShift, {130, 20, 2}},
        {InputKind::RightPress, -4, 0, 0, function_key::kAlt, {0, 0, 4}},
        {InputKind::RightRelease, -5, 0, 0, 7, {0, 0, 7}},
        {InputKind::MouseMove, -6, -1, -2, 0, {0xFFFF, 0xFFFE, 0}},
        {InputKind::KeyDown, -9, 0, 0, 0, {0, 0, 0}},
        {InputKind::KeyUp, -10, 0, 0, 0, {0, 0, 0}},
        {InputKind::Character, -11, 0, 0, 0, {0, 0, 0}},
        {InputKind::Wheel, -12, 0, 0, 0, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        records_.clear();
        InputMessage m{
            .element = kLinkLabel, .kind = c.kind, .x = c.x, .y = c.y, .function_keys = c.keys};
        EXPECT_EQ(toolkit_.route_input(m), InputVerdict::Dispatch);
        ASSERT_EQ(records_.size(), 1u) << c.event;
        EXPECT_EQ(records_[0].event, c.event);
        EXPECT_EQ(records_[0].window, kMainWindowNumber);
        EXPECT_EQ(records_[0].element, kLinkLabel);
        if (c.event >= -6) {
            EXPECT_EQ(records_[0].arguments, c.arguments) << c.event;
        }
    }
}

TEST_F(ToolkitTest, BindingIsFoundByElementAndEventOnly) {
    load(main_window_description());
    record_all_handlers();
    // The draw button binds clicked; a left press on it and a click on the link label find nothing.
    toolkit_.route_input({.element = kDrawButton, .kind = InputKind::LeftPress});
    toolkit_.button_clicked(kLinkLabel);
    EXPECT_TRUE(raised_.empty());
    toolkit_.button_clicked(kDrawButton);
    toolkit_.route_input({.element = kLinkLabel, .kind = InputKind::LeftPress});
    const std::vector<std::pair<std::uint32_t, std::int32_t>> expected{
        {kDrawButton, event::kClicked}, {kLinkLabel, event::kLeftButtonPressed}};
    EXPECT_EQ(raised_, expected);
}

TEST_F(ToolkitTest, AHandlerAnsweringFalseDiscardsTheInput) {
    load(main_window_description());
    toolkit_.bind(Handler::FriendlyLink, [](EventRecord& r) {
        r.has_result = true;
        r.result = r.arguments[0] == 1 ? 0 : 1;
    });
    EXPECT_EQ(toolkit_.route_input({.element = kLinkLabel, .kind = InputKind::LeftPress, .x = 1}),
              InputVerdict::Discard);
    EXPECT_EQ(toolkit_.route_input({.element = kLinkLabel, .kind = InputKind::LeftPress, .x = 2}),
              InputVerdict::Dispatch);
}

TEST_F(ToolkitTest, NothingReachesAHandlerWhileSuppressed) {
    load(main_window_description());
    record_all_handlers();
    toolkit_.suppress_events_for_good();
    toolkit_.button_clicked(kDrawButton);
    toolkit_.route_input({.element = kLinkLabel, .kind = InputKind::LeftPress});
    EXPECT_TRUE(raised_.empty());
}

TEST_F(ToolkitTest, EventsFromAnInconsistentDescriptionEndInTheirFatalReports) {
    struct Case {
        const char* what;
        EventRecord record;
        Text message;
    };
    const Case cases[] = {
        {"unknown window",
         {.window = 0x52010002, .element = kLinkLabel, .event = -1},
         fatal_message::kEventWindowUnknown},
        {"unknown element",
         {.window = kMainWindowNumber, .element = 0x16019999, .event = -1},
         fatal_message::kEventElementUnknown},
        {"unknown kind",
         {.window = kMainWindowNumber, .element = kLinkLabel, .event = -1},
         fatal_message::kEventElementInvalid},
    };
    for (const Case& c : cases) {
        // Each report suppresses events for good; start from a fresh toolkit every time.
        RecordingPlatform platform;
        Toolkit toolkit(platform);
        service_environment().lifecycle = &toolkit;
        WindowDescription copy = main_window_description();
        copy.elements[2].kind = static_cast<ElementKind>(99); // the link label, of no known kind
        FixedDescriptions source(std::vector<WindowDescription>{copy});
        toolkit.begin(source);
        ASSERT_TRUE(toolkit.load_window(kMainWindowNumber));
        boxes_.texts.clear();
        EventRecord record = c.record;
        EXPECT_EQ(exit_code_of([&] { toolkit.raise_event(record); }), -1) << c.what;
        ASSERT_EQ(boxes_.texts.size(), 1u) << c.what;
        EXPECT_EQ(boxes_.texts[0], compose_fatal_error_text(c.message, 0)) << c.what;
        EXPECT_EQ(toolkit.state(), LifeState::ShuttingDown);
    }
}

TEST_F(ToolkitTest, StartUpFailuresEndInTheirFatalReports) {
    struct Case {
        const char* what;
        std::optional<std::vector<WindowDescription>> descriptions;
        bool fail_control;
        Text message;
    };
    WindowDescription other = main_window_description();
    other.window_number = 0x52010002;
    const Case cases[] = {
        {"unreadable description", std::nullopt, false, fatal_message::kDescriptionUnreadable},
        {"start window missing", std::vector<WindowDescription>{other}, false,
         fatal_message::kStartWindowFailed},
        {"a control cannot be made", std::vector<WindowDescription>{main_window_description()},
         true, fatal_message::kStartWindowFailed},
    };
    for (const Case& c : cases) {
        RecordingPlatform platform;
        platform.fail_control = c.fail_control;
        Toolkit toolkit(platform);
        service_environment().lifecycle = &toolkit;
        boxes_.texts.clear();
        FixedDescriptions source(c.descriptions);
        EXPECT_EQ(exit_code_of([&] { toolkit.run(source, kMainWindowNumber); }), -1) << c.what;
        ASSERT_EQ(boxes_.texts.size(), 1u) << c.what;
        EXPECT_EQ(boxes_.texts[0], compose_fatal_error_text(c.message, 0)) << c.what;
        EXPECT_FALSE(platform.window_visible) << c.what;
        EXPECT_FALSE(platform.window) << c.what << ": a partly built window is thrown away";
    }
}

TEST_F(ToolkitTest, ClosingAsksBothQueriesThenQuitsOnceTheLoopWasEntered) {
    load(with_window_bindings({event::kCloseRequested, event::kMayClose, event::kWillBeDestroyed}));
    std::vector<std::int32_t> asked;
    std::optional<std::int32_t> refuse;
    toolkit_.bind(Handler::VersionGate, [&](EventRecord& r) {
        asked.push_back(r.event);
        if (refuse && r.event == *refuse) {
            r.has_result = true;
            r.result = 0;
        }
    });
    refuse = event::kCloseRequested;
    EXPECT_FALSE(toolkit_.window_close_requested());
    refuse = event::kMayClose;
    EXPECT_FALSE(toolkit_.window_close_requested());
    refuse.reset();
    EXPECT_TRUE(toolkit_.window_close_requested());
    EXPECT_EQ(asked, (std::vector<std::int32_t>{12, 12, 1, 12, 1}));

    toolkit_.window_being_destroyed();
    EXPECT_EQ(asked.back(), event::kWillBeDestroyed);
    toolkit_.window_destroyed();
    EXPECT_EQ(std::count(platform_.log.begin(), platform_.log.end(), "quit 0"), 0)
        << "no quit before the loop was entered";
}

TEST_F(ToolkitTest, ShutdownRunsEachExitRoutineOnceInOrderThenEndsWithTheCode) {
    static std::vector<int> ran;
    ran.clear();
    load(main_window_description());
    toolkit_.add_exit_routine([] { ran.push_back(1); });
    toolkit_.add_exit_routine([] { ran.push_back(2); });
    void (*third)() = [] { ran.push_back(3); };
    toolkit_.add_exit_routine(third);
    toolkit_.add_exit_routine(third);
    EXPECT_EQ(exit_code_of([&] { toolkit_.shut_down(7); }), 7);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_GT(toolkit_.suppression_count(), 0);
    EXPECT_EQ(platform_.log.back(), "release");
}

TEST_F(ToolkitTest, AFatalReportRunsNoExitRoutine) {
    static int ran = 0;
    ran = 0;
    load(main_window_description());
    toolkit_.add_exit_routine([] { ++ran; });
    EXPECT_EQ(exit_code_of([] { fatal_error_report("", 0); }), -1);
    EXPECT_EQ(ran, 0);
}

TEST_F(ToolkitTest, WholeRunEndsWithTheLoopsCodeAfterTheWindowWasShown) {
    FixedDescriptions source(std::vector<WindowDescription>{main_window_description()});
    EXPECT_EQ(exit_code_of([&] { toolkit_.run(source, kMainWindowNumber); }), 0);
    const auto shown = std::find(platform_.log.begin(), platform_.log.end(), "show window");
    const auto loop = std::find(platform_.log.begin(), platform_.log.end(), "loop");
    ASSERT_NE(shown, platform_.log.end());
    EXPECT_LT(shown, loop);
    EXPECT_TRUE(toolkit_.loop_entered());
}

TEST_F(ToolkitTest, ControlTextsNeedTheirWindowAndControl) {
    FixedDescriptions source(std::vector<WindowDescription>{main_window_description()});
    toolkit_.begin(source);
    EXPECT_EQ(toolkit_.access(kMainWindowNumber, "标签2"), ControlAccess::WindowNotLoaded);
    ASSERT_TRUE(toolkit_.load_window(kMainWindowNumber));
    EXPECT_EQ(toolkit_.access(kMainWindowNumber, "标签2"), ControlAccess::Ok);
    EXPECT_EQ(toolkit_.access(0x52010002, "标签2"), ControlAccess::WindowNotLoaded);
    EXPECT_EQ(toolkit_.access(kMainWindowNumber, "标签9"), ControlAccess::ControlMissing);
    EXPECT_EQ(toolkit_.access(kMainWindowNumber, ""), ControlAccess::ControlMissing);
    toolkit_.write(kMainWindowNumber, "标签2", "1.0");
    EXPECT_EQ(toolkit_.read(kMainWindowNumber, "标签2"), "1.0");
}

} // namespace
} // namespace tavik
