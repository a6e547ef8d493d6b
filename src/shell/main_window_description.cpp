// The main window as data: every control's kind, number, parent, geometry, text, colours and
// bindings. Texts are GBK; the comment beside each is the same text in UTF-8.
#include "main_window_description.h"

#include "account_list.h"
#include "window_events.h"

namespace tavik {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kDarkGrey{96, 96, 96};
constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kWhite{255, 255, 255};

// 楷体
const Font kKaiBold{"\xbf\xac\xcc\xe5"};
// 微软雅黑
const Font kYaHeiBold{"\xce\xa2\xc8\xed\xd1\xc5\xba\xda"};

constexpr std::uint32_t kGroupBox = 0x16010013;

Element transparent_label(std::string_view name, std::uint32_t number, std::uint32_t parent,
                          std::int32_t left, std::int32_t top, std::int32_t width, Text caption,
                          Rgb colour, std::optional<Font> font) {
    return Element{
        .kind = ElementKind::TransparentLabel,
        .name = name,
        .number = number,
        .parent = parent,
        .left = left,
        .top = top,
        .width = width,
        .height = 24,
        .properties = TransparentLabelProperties{.caption = std::move(caption),
                                                 .text_colour = colour,
                                                 .font = std::move(font)},
    };
}

} // namespace

WindowDescription main_window_description() {
    WindowDescription d{.window_number = kMainWindowNumber, .elements = {}};
    d.elements.reserve(11);

    d.elements.push_back(Element{
        .kind = ElementKind::Window,
        .name = "",
        .number = kMainWindowElement,
        .left = 50,
        .top = 50,
        .width = 286,
        .height = 191,
        .pointer = MousePointer::PointingHand,
        .bindings = {{event::kCreated, Handler::VersionGate}},
        // TavikLumrose软件1.0[电脑版]
        .properties = WindowProperties{.title = "TavikLumrose\xc8\xed\xbc\xfe"
                                                "1.0[\xb5\xe7\xc4\xd4\xb0\xe6]"},
    });
    // 3.请勿修改密码和非法使用，谢谢
    d.elements.push_back(transparent_label(
        "透明标签5", 0x1601001E, kGroupBox, 8, 96, 232,
        "3.\xc7\xeb\xce\xf0\xd0\xde\xb8\xc4\xc3\xdc\xc2\xeb\xba\xcd\xb7\xc7\xb7\xa8\xca\xb9\xd3\xc3"
        "\xa3\xac\xd0\xbb\xd0\xbb",
        kDarkGrey, kYaHeiBold));
    // 友情连接：Pondly下载站
    Element link =
        transparent_label("透明标签4", 0x16010019, 0, 8, 136, 136,
                          "\xd3\xd1\xc7\xe9\xc1\xac\xbd\xd3\xa3\xbaPondly\xcf\xc2\xd4\xd8\xd5\xbe",
                          kBlack, std::nullopt);
    link.bindings = {{event::kLeftButtonPressed, Handler::FriendlyLink}};
    d.elements.push_back(std::move(link));
    // 2.游戏帐号随机获取，用户自行测试
    d.elements.push_back(transparent_label(
        "透明标签3", 0x16010018, kGroupBox, 8, 72, 232,
        "2.\xd3\xce\xcf\xb7\xd5\xca\xba\xc5\xcb\xe6\xbb\xfa\xbb\xf1\xc8\xa1\xa3\xac\xd3\xc3\xbb\xa7"
        "\xd7\xd4\xd0\xd0\xb2\xe2\xca\xd4",
        kDarkGrey, kYaHeiBold));
    // 1.只支持4399平台，统一密码：k870913
    d.elements.push_back(transparent_label(
        "透明标签2", 0x16010017, kGroupBox, 8, 48, 248,
        "1.\xd6\xbb\xd6\xa7\xb3\xd6"
        "4399\xc6\xbd\xcc\xa8\xa3\xac\xcd\xb3\xd2\xbb\xc3\xdc\xc2\xeb\xa3\xbak870913",
        kDarkGrey, kKaiBold));
    // 游戏ID：
    d.elements.push_back(transparent_label("透明标签1", 0x16010016, kGroupBox, 8, 24, 48,
                                           "\xd3\xce\xcf\xb7ID\xa3\xba", kBlack, kKaiBold));
    d.elements.push_back(Element{
        .kind = ElementKind::PushButton,
        .name = "按钮1",
        .number = 0x16010015,
        .parent = kGroupBox,
        .left = 168,
        .top = 24,
        .width = 80,
        .height = 24,
        .tab_stop = true,
        .bindings = {{event::kClicked, Handler::AccountDraw}},
        // 一键获取
        .properties = PushButtonProperties{.caption = "\xd2\xbb\xbc\xfc\xbb\xf1\xc8\xa1"},
    });
    d.elements.push_back(Element{
        .kind = ElementKind::EditBox,
        .name = "编辑框2",
        .number = 0x16010014,
        .parent = kGroupBox,
        .left = 64,
        .top = 24,
        .width = 88,
        .height = 24,
        .tab_stop = true,
        .pointer = MousePointer::PointingHand,
        .properties = EditBoxProperties{.border = EditBorder::ThinLine,
                                        .text_colour = kGreen,
                                        .background = kWhite,
                                        .alignment = HorizontalAlignment::Centre,
                                        .read_only = true},
    });
    d.elements.push_back(Element{
        .kind = ElementKind::GroupBox,
        .name = "分组框1",
        .number = kGroupBox,
        .left = 8,
        .top = 8,
        .width = 264,
        .height = 128,
        .pointer = MousePointer::PointingHand,
        .properties = GroupBoxProperties{.caption = "Lumrose"},
    });
    d.elements.push_back(Element{
        .kind = ElementKind::Label,
        .name = "标签2",
        .number = 0x16010012,
        .left = 136,
        .top = 200,
        .width = 72,
        .height = 24,
        // 标签
        .properties = LabelProperties{.caption = "\xb1\xea\xc7\xa9"},
    });
    d.elements.push_back(Element{
        .kind = ElementKind::EditBox,
        .name = "编辑框1",
        .number = 0x16010002,
        .left = 24,
        .top = 224,
        .width = 96,
        .height = 24,
        .tab_stop = true,
        .properties = EditBoxProperties{.text = Text(account_list()),
                                        .multi_line = true,
                                        .border = EditBorder::Sunken},
    });
    return d;
}

std::optional<std::vector<WindowDescription>> BuiltInDescriptions::read() const {
    std::vector<WindowDescription> descriptions;
    descriptions.push_back(main_window_description());
    return descriptions;
}

} // namespace tavik
