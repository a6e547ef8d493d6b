// The toolkit's rules in the order the program lives them: start, build, route, close, shut down.
#include "toolkit.h"

#include "services/fatal_error.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

namespace tavik {

namespace {

void nothing_to_release() {}

bool known_kind(ElementKind kind) {
    switch (kind) {
    case ElementKind::Window:
    case ElementKind::EditBox:
    case ElementKind::PushButton:
    case ElementKind::Label:
    case ElementKind::TransparentLabel:
    case ElementKind::GroupBox:
        return true;
    }
    return false;
}

bool is_mouse(InputKind kind) {
    switch (kind) {
    case InputKind::LeftPress:
    case InputKind::LeftRelease:
    case InputKind::LeftDoubleClick:
    case InputKind::RightPress:
    case InputKind::RightRelease:
    case InputKind::MouseMove:
        return true;
    default:
        return false;
    }
}

} // namespace

std::int32_t event_number(InputKind kind) {
    switch (kind) {
    case InputKind::LeftPress:
        return event::kLeftButtonPressed;
    case InputKind::LeftRelease:
        return event::kLeftButtonReleased;
    case InputKind::LeftDoubleClick:
        return event::kLeftButtonDoubleClicked;
    case InputKind::RightPress:
        return event::kRightButtonPressed;
    case InputKind::RightRelease:
        return event::kRightButtonReleased;
    case InputKind::MouseMove:
        return event::kMouseMoved;
    case InputKind::KeyDown:
        return event::kKeyPressed;
    case InputKind::KeyUp:
        return event::kKeyReleased;
    case InputKind::Character:
        return event::kCharacterTyped;
    case InputKind::Wheel:
        return event::kWheelTurned;
    }
    return event::kMouseMoved;
}

Toolkit::Toolkit(ToolkitPlatform& platform)
    : platform_(platform) {}

void Toolkit::bind(Handler handler, Procedure procedure) {
    procedures_[static_cast<std::size_t>(handler)] = std::move(procedure);
}

void Toolkit::add_exit_routine(void (*routine)()) {
    if (std::find(exit_routines_.begin(), exit_routines_.end(), routine) == exit_routines_.end()) {
        exit_routines_.push_back(routine);
    }
}

void Toolkit::run(const DescriptionSource& source, std::uint32_t start_window) {
    shut_down(start(source, start_window));
    std::abort();
}

int Toolkit::start(const DescriptionSource& source, std::uint32_t start_window) {
    begin(source);
    if (!load_window(start_window)) {
        fatal_error_report(fatal_message::kStartWindowFailed, fatal_code::kNone);
    }

    loop_entered_ = true;
    if (!platform_.window_exists()) {
        return 0;
    }
    state_ = LifeState::Running;
    return platform_.run_message_loop();
}

void Toolkit::begin(const DescriptionSource& source) {
    state_ = LifeState::Starting;
    platform_.initialise();
    std::optional<std::vector<WindowDescription>> descriptions = source.read();
    if (!descriptions) {
        fatal_error_report(fatal_message::kDescriptionUnreadable, fatal_code::kNone);
    }
    descriptions_ = std::move(*descriptions);

    add_exit_routine(&nothing_to_release);
}

bool Toolkit::load_window(std::uint32_t window_number) {
    auto found =
        std::find_if(descriptions_.begin(), descriptions_.end(), [&](const WindowDescription& d) {
            return d.window_number == window_number && !d.elements.empty();
        });
    if (found == descriptions_.end() || found->window().kind != ElementKind::Window) {
        return false;
    }
    const WindowDescription& description = *found;

    platform_.process_pending_messages();
    ++suppression_;
    state_ = LifeState::Building;

    auto give_up = [&] {
        platform_.discard_window();
        window_ = nullptr;
        --suppression_;
        return false;
    };

    if (!platform_.create_window(description)) {
        return give_up();
    }
    window_ = &description;

    const std::vector<Element>& elements = description.elements;
    for (auto it = elements.rbegin(); it != elements.rend() - 1; ++it) {
        if (!platform_.create_control(*it)) {
            return give_up();
        }
    }
    for (auto it = elements.begin() + 1; it != elements.end(); ++it) {
        if (it->parent != 0) {
            const Element* container = description.find(it->parent);
            if (container == nullptr || container->kind == ElementKind::Window) {
                return give_up();
            }
            platform_.move_into_container(*it, *container);
        }
    }

    std::map<std::uint32_t, std::vector<std::uint32_t>> siblings;
    for (auto it = elements.begin() + 1; it != elements.end(); ++it) {
        siblings[it->parent].push_back(it->number);
    }
    for (const auto& [parent, top_first] : siblings) {
        platform_.stack_siblings(top_first);
    }

    for (const Element& element : elements) {
        if (element.pointer != MousePointer::KindDefault) {
            platform_.set_pointer(element.number, element.pointer);
        }
    }
    platform_.set_focus_order(focus_order(description));
    for (auto it = elements.begin() + 1; it != elements.end(); ++it) {
        if (it->visible) {
            platform_.show_control(it->number);
        }
    }

    // Moves, resizes and focus changes caused by the building reach no handler.
    platform_.process_pending_messages();
    --suppression_;

    state_ = LifeState::InCreated;
    EventRecord created = window_event(event::kCreated);
    raise_event(created);

    state_ = LifeState::Showing;
    if (platform_.window_exists()) {
        EventRecord moved = window_event(event::kPositionChanged);
        raise_event(moved);
    }
    if (platform_.window_exists()) {
        EventRecord resized = window_event(event::kSizeChanged);
        raise_event(resized);
    }
    if (platform_.window_exists() && description.window().visible) {
        platform_.show_window();
    }
    return true;
}

bool Toolkit::raise_event(EventRecord& record) {
    if (suppression_ > 0) {
        return false;
    }
    if (window_ == nullptr || window_->window_number != record.window) {
        fatal_error_report(fatal_message::kEventWindowUnknown, fatal_code::kNone);
    }
    const Element* element = window_->find(record.element);
    if (element == nullptr) {
        fatal_error_report(fatal_message::kEventElementUnknown, fatal_code::kNone);
    }
    if (!known_kind(element->kind)) {
        fatal_error_report(fatal_message::kEventElementInvalid, fatal_code::kNone);
    }
    auto binding = std::find_if(element->bindings.begin(), element->bindings.end(),
                                [&](const Binding& b) { return b.event == record.event; });
    if (binding == element->bindings.end()) {
        return false;
    }
    const Procedure& procedure = procedures_[static_cast<std::size_t>(binding->handler)];
    if (!procedure) {
        return false;
    }
    procedure(record);
    platform_.flush_control_texts();
    return true;
}

InputVerdict Toolkit::route_input(const InputMessage& input) {
    if (window_ == nullptr) {
        return InputVerdict::Dispatch;
    }
    EventRecord record{.window = window_->window_number,
                       .element = input.element,
                       .event = event_number(input.kind)};
    if (is_mouse(input.kind)) {
        // Positions travel as the unsigned 16-bit halves of the input message.
        record.argument_count = 3;
        record.arguments = {input.x & 0xFFFF, input.y & 0xFFFF,
                            static_cast<std::int32_t>(input.function_keys)};
    } else {
        record.argument_count = 2;
        record.arguments = {input.value, static_cast<std::int32_t>(input.function_keys), 0};
    }
    raise_event(record);
    if (record.has_result && record.result == 0) {
        return InputVerdict::Discard;
    }
    if (!platform_.window_exists()) {
        return InputVerdict::Discard;
    }
    return InputVerdict::Dispatch;
}

void Toolkit::button_clicked(std::uint32_t element) {
    if (window_ == nullptr) {
        return;
    }
    EventRecord record{
        .window = window_->window_number, .element = element, .event = event::kClicked};
    raise_event(record);
}

void Toolkit::window_moved() {
    if (window_ != nullptr) {
        EventRecord record = window_event(event::kPositionChanged);
        raise_event(record);
    }
}

void Toolkit::window_resized() {
    if (window_ != nullptr) {
        EventRecord record = window_event(event::kSizeChanged);
        raise_event(record);
    }
}

bool Toolkit::window_close_requested() {
    if (window_ == nullptr) {
        return true;
    }
    if (refused(event::kCloseRequested) || refused(event::kMayClose)) {
        return false;
    }
    state_ = LifeState::Closing;
    return true;
}

void Toolkit::window_being_destroyed() {
    if (window_ != nullptr) {
        EventRecord record = window_event(event::kWillBeDestroyed);
        raise_event(record);
    }
}

void Toolkit::window_destroyed() {
    window_ = nullptr;
    if (loop_entered_) {
        platform_.post_quit(0);
    }
}

void Toolkit::suppress_events_for_good() {
    ++suppression_;
    // What the last handler wrote must be on screen before a box or the end takes over.
    platform_.flush_control_texts();
}

void Toolkit::clear_exit_routines() {
    exit_routines_.clear();
}

void Toolkit::shut_down(std::int32_t exit_code) {
    state_ = LifeState::ShuttingDown;
    ++suppression_;
    std::vector<void (*)()> routines = std::exchange(exit_routines_, {});
    for (void (*routine)() : routines) {
        routine();
    }
    platform_.release();
    descriptions_.clear();
    window_ = nullptr;
    platform_.end_process(exit_code);
    // A platform that failed to end the process must not let the program run on.
    std::abort();
}

ControlAccess Toolkit::access(std::uint32_t window, std::string_view control) {
    if (window_ == nullptr || window_->window_number != window) {
        return ControlAccess::WindowNotLoaded;
    }
    const Element* element = window_->find(control);
    if (element == nullptr || element->kind == ElementKind::Window ||
        !platform_.control_exists(element->number)) {
        return ControlAccess::ControlMissing;
    }
    return ControlAccess::Ok;
}

Text Toolkit::read(std::uint32_t window, std::string_view control) {
    if (access(window, control) != ControlAccess::Ok) {
        return {};
    }
    return platform_.control_text(window_->find(control)->number);
}

void Toolkit::write(std::uint32_t window, std::string_view control, const Text& text) {
    if (access(window, control) == ControlAccess::Ok) {
        platform_.set_control_text(window_->find(control)->number, text);
    }
}

EventRecord Toolkit::window_event(std::int32_t number) const {
    return EventRecord{
        .window = window_->window_number, .element = window_->window().number, .event = number};
}

bool Toolkit::refused(std::int32_t number) {
    EventRecord record = window_event(number);
    raise_event(record);
    return record.has_result && record.result == 0;
}

} // namespace tavik
