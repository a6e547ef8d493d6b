// The window description: the main window and its controls as data, read by the toolkit at
// start-up.
#pragma once

#include "services/text.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

namespace tavik {

enum class ElementKind {
    Window,           // 窗口
    EditBox,          // 编辑框
    PushButton,       // 按钮
    Label,            // 标签
    TransparentLabel, // 透明标签
    GroupBox,         // 分组框
};

// The program's event handlers, named by role; the toolkit finds the procedure in its handler
// table.
enum class Handler { VersionGate, AccountDraw, FriendlyLink };

struct Binding {
    std::int32_t event;
    Handler handler;
};

enum class MousePointer { KindDefault, PointingHand };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A named font; controls without one use the desktop's default user-interface font.
struct Font {
    Text face;
    int pixel_height = 12;
    int weight = 700;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
};

enum class HorizontalAlignment { Left, Centre, Right };
enum class VerticalAlignment { Top, Centre, Bottom };

enum class WindowBorder {
    None,
    Fixed,
    Sizable,
    SizableTool,
    FixedTool,
    SizableSunken,
    FixedSunken
};
enum class StartPosition { Normal, Centred, Minimised, Maximised };

struct WindowProperties {
    Text title;
    WindowBorder border = WindowBorder::Fixed;
    bool control_box = true;
    bool minimise_button = true;
    bool maximise_button = false;
    bool movable = true;
    StartPosition start_position = StartPosition::Centred;
    Rgb background{255, 255, 255};
    bool escape_closes = true;
    bool own_icon = true;
    std::optional<Font> font;
};

enum class EditBorder { None, ThinLine, Sunken };

struct EditBoxProperties {
    Text text;
    bool multi_line = false;
    EditBorder border = EditBorder::Sunken;
    Rgb text_colour{0, 0, 0};
    Rgb background{255, 255, 255};
    HorizontalAlignment alignment = HorizontalAlignment::Left;
    bool read_only = false;
    bool hide_selection = true;
    std::optional<Font> font;
};

struct PushButtonProperties {
    Text caption;
    bool default_button = false;
    std::optional<Font> font;
};

struct LabelProperties {
    Text caption;
};

struct TransparentLabelProperties {
    Text caption;
    Rgb text_colour{0, 0, 0};
    std::optional<Font> font;
    HorizontalAlignment alignment = HorizontalAlignment::Left;
    VerticalAlignment vertical_alignment = VerticalAlignment::Centre;
    bool word_wrap = false;
};

struct GroupBoxProperties {
    Text caption;
    HorizontalAlignment caption_alignment = HorizontalAlignment::Left;
    Rgb text_colour{0, 0, 0};
    Rgb background{255, 255, 255};
    std::optional<Font> font;
};

using ElementProperties =
    std::variant<WindowProperties, EditBoxProperties, PushButtonProperties, LabelProperties,
                 TransparentLabelProperties, GroupBoxProperties>;

struct Element {
    ElementKind kind;
    // How the features address the element; the window's own name is empty.
    std::string_view name;
    std::uint32_t number;
    // Element number of the containing control; 0 for controls that sit on the window itself.
    std::uint32_t parent = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool visible = true;
    bool disabled = false;
    bool tab_stop = false;
    std::int32_t tab_number = 0;
    MousePointer pointer = MousePointer::KindDefault;
    std::vector<Binding> bindings;
    ElementProperties properties;
};

// The window first, then its controls; the order decides creation, stacking and focus ties.
struct WindowDescription {
    std::uint32_t window_number;
    std::vector<Element> elements;

    const Element& window() const { return elements.front(); }
    const Element* find(std::uint32_t element_number) const;
    const Element* find(std::string_view name) const;
};

// Where the toolkit reads its descriptions from; an empty result means they cannot be read.
class DescriptionSource {
public:
    virtual ~DescriptionSource() = default;
    virtual std::optional<std::vector<WindowDescription>> read() const = 0;
};

// The controls that take the keyboard focus, in focus order: ascending tab number, and among equal
// tab numbers the one listed later first.
std::vector<std::uint32_t> focus_order(const WindowDescription& description);

} // namespace tavik
