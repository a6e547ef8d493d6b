// What the window toolkit needs from a windowing system; the Qt realisation implements it.
#pragma once

#include "services/text.h"
#include "window_description.h"

#include <cstdint>
#include <vector>

namespace tavik {

class ToolkitPlatform {
public:
    virtual ~ToolkitPlatform() = default;

    // Prepares the windowing system on the GUI thread before any window exists.
    virtual void initialise() = 0;
    // Handles every message already waiting, without waiting for more.
    virtual void process_pending_messages() = 0;

    // Building: everything is created hidden; false when the platform cannot create it.
    virtual bool create_window(const WindowDescription& description) = 0;
    virtual bool create_control(const Element& control) = 0;
    virtual void move_into_container(const Element& control, const Element& container) = 0;
    // Stacks siblings so that the first is on top and each next lies directly beneath.
    virtual void stack_siblings(const std::vector<std::uint32_t>& top_first) = 0;
    virtual void set_pointer(std::uint32_t element, MousePointer pointer) = 0;
    virtual void set_focus_order(const std::vector<std::uint32_t>& order) = 0;
    virtual void show_control(std::uint32_t element) = 0;
    // Throws away a partly built window without raising anything.
    virtual void discard_window() = 0;

    virtual bool window_exists() const = 0;
    virtual bool control_exists(std::uint32_t element) const = 0;
    // Shows the window in its normal state and activates it.
    virtual void show_window() = 0;

    virtual Text control_text(std::uint32_t element) = 0;
    virtual void set_control_text(std::uint32_t element, const Text& text) = 0;
    // Puts control writes that were held back while a handler ran on screen.
    virtual void flush_control_texts() = 0;

    // Runs until the quit message arrives and returns its code.
    virtual int run_message_loop() = 0;
    virtual void post_quit(int code) = 0;
    // Lets go of what the platform holds (pointers, icons, windows) before the process ends.
    virtual void release() = 0;
    [[noreturn]] virtual void end_process(int code) = 0;
};

} // namespace tavik
