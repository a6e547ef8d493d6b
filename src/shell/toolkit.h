// The window toolkit's rules: start-up, loading a window, routing events to handlers, closing and
// shutdown. Plain C++; a ToolkitPlatform does the windowing.
#pragma once

#include "services/control_text.h"
#include "services/program_lifecycle.h"
#include "toolkit_platform.h"
#include "window_description.h"
#include "window_events.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tavik {

enum class LifeState { Starting, Building, InCreated, Showing, Running, Closing, ShuttingDown };

// Input taken from the queue, already mapped to the element that owns its target.
enum class InputKind {
    LeftPress,
    LeftRelease,
    LeftDoubleClick,
    RightPress,
    RightRelease,
    MouseMove,
    KeyDown,
    KeyUp,
    Character,
    Wheel,
};

struct InputMessage {
    std::uint32_t element = 0;
    InputKind kind = InputKind::MouseMove;
    // Mouse position in the element's client coordinates.
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t function_keys = 0;
    // Key code for key events, character code for characters, rotation for the wheel.
    std::int32_t value = 0;
};

enum class InputVerdict { Dispatch, Discard };

std::int32_t event_number(InputKind kind);

class Toolkit final : public ProgramLifecycle, public ControlTextPort {
public:
    using Procedure = std::function<void(EventRecord&)>;

    explicit Toolkit(ToolkitPlatform& platform);

    void bind(Handler handler, Procedure procedure);
    void add_exit_routine(void (*routine)());

    // Start-up, message loop and shutdown; ends the process.
    [[noreturn]] void run(const DescriptionSource& source, std::uint32_t start_window);
    // Start-up and message loop; returns the exit code of the loop.
    int start(const DescriptionSource& source, std::uint32_t start_window);
    // The first steps of start-up: the platform, the descriptions, the exit routine.
    void begin(const DescriptionSource& source);
    bool load_window(std::uint32_t window_number);

    // Calls the handler bound to the event; false when none ran.
    bool raise_event(EventRecord& record);

    // Calls from the platform as things happen to the window and its controls.
    InputVerdict route_input(const InputMessage& input);
    void button_clicked(std::uint32_t element);
    void window_moved();
    void window_resized();
    // Both close queries; false when a handler refused.
    bool window_close_requested();
    void window_being_destroyed();
    void window_destroyed();

    // ProgramLifecycle
    void suppress_events_for_good() override;
    void clear_exit_routines() override;
    [[noreturn]] void shut_down(std::int32_t exit_code) override;

    // ControlTextPort
    ControlAccess access(std::uint32_t window, std::string_view control) override;
    Text read(std::uint32_t window, std::string_view control) override;
    void write(std::uint32_t window, std::string_view control, const Text& text) override;

    LifeState state() const { return state_; }
    int suppression_count() const { return suppression_; }
    bool loop_entered() const { return loop_entered_; }
    const WindowDescription* loaded_window() const { return window_; }

private:
    EventRecord window_event(std::int32_t number) const;
    // Raises a window event and tells whether its handler answered false.
    bool refused(std::int32_t number);

    ToolkitPlatform& platform_;
    std::array<Procedure, 3> procedures_;
    std::vector<void (*)()> exit_routines_;
    std::vector<WindowDescription> descriptions_;
    const WindowDescription* window_ = nullptr;
    LifeState state_ = LifeState::Starting;
    int suppression_ = 0;
    bool loop_entered_ = false;
};

} // namespace tavik
