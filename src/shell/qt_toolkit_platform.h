// The toolkit's windowing on Qt Widgets: the main window, its controls, and their texts.
#pragma once

#include "toolkit_platform.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <unordered_map>

namespace tavik {

class QtInputHook;
class QtMainWindow;
class Toolkit;

class QtToolkitPlatform final : public ToolkitPlatform {
public:
    QtToolkitPlatform();
    ~QtToolkitPlatform() override;

    // The toolkit the window reports to; set before start-up.
    void attach(Toolkit& toolkit);

    // The element that owns a widget: the widget itself or its nearest registered ancestor within
    // the main window. Empty for widgets outside the main window.
    std::optional<std::uint32_t> element_owning(const QWidget* widget) const;
    QWidget* widget(std::uint32_t element) const;
    QWidget* main_window() const;

    void initialise() override;
    void process_pending_messages() override;
    bool create_window(const WindowDescription& description) override;
    bool create_control(const Element& control) override;
    void move_into_container(const Element& control, const Element& container) override;
    void stack_siblings(const std::vector<std::uint32_t>& top_first) override;
    void set_pointer(std::uint32_t element, MousePointer pointer) override;
    void set_focus_order(const std::vector<std::uint32_t>& order) override;
    void show_control(std::uint32_t element) override;
    void discard_window() override;
    bool window_exists() const override;
    bool control_exists(std::uint32_t element) const override;
    void show_window() override;
    Text control_text(std::uint32_t element) override;
    void set_control_text(std::uint32_t element, const Text& text) override;
    void flush_control_texts() override;
    int run_message_loop() override;
    void post_quit(int code) override;
    void release() override;
    [[noreturn]] void end_process(int code) override;

private:
    struct Control {
        QPointer<QWidget> widget;
        ElementKind kind;
        // A label gives back exactly the bytes it was given.
        Text caption;
        // A write held back until the handler that made it returns.
        std::optional<Text> pending;
    };

    void apply(Control& control, const Text& text);

    Toolkit* toolkit_ = nullptr;
    std::unique_ptr<QtInputHook> input_hook_;
    QPointer<QtMainWindow> window_;
    std::uint32_t window_element_ = 0;
    std::unordered_map<std::uint32_t, Control> controls_;
    std::unordered_map<const QWidget*, std::uint32_t> owners_;
    std::vector<std::uint32_t> pending_;
    QPointer<QWidget> first_focus_;
};

} // namespace tavik
