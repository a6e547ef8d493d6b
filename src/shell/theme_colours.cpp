// The three colour sets of the control theme.
#include "shell/theme_colours.h"

namespace tavik::theme {
namespace {

constexpr Gradient hot_band = Gradient::vertical({255, 240, 207}, {229, 151, 0});
constexpr Gradient checked_band{{214, 203, 189}, {214, 207, 198}, {247, 243, 239}, {247, 243, 239}};
constexpr Gradient normal_band = Gradient::vertical({255, 255, 255}, {226, 223, 214});
constexpr Gradient blue_focus_band = Gradient::vertical({206, 231, 255}, {105, 130, 238});

constexpr ColourSet blue{
    .dark_frame = {0, 60, 115},
    .edit_outline = {123, 158, 189},
    .band_pressed = Gradient::vertical({209, 204, 193}, {242, 241, 238}),
    .band_hot = hot_band,
    .band_checked = checked_band,
    .band_focused = blue_focus_band,
    .band_normal = normal_band,
    .face_pressed = {{231, 227, 222}, {231, 231, 231}, {231, 227, 222}, {231, 227, 222}},
    .face_normal = Gradient::vertical({252, 252, 251}, {236, 235, 230}),
};

constexpr ColourSet olive{
    .dark_frame = {55, 98, 6},
    .edit_outline = {164, 185, 127},
    .band_pressed = Gradient::flat({239, 227, 206}),
    .band_hot = hot_band,
    .band_checked = checked_band,
    .band_focused = hot_band,
    .band_normal = normal_band,
    .face_pressed = Gradient::flat({239, 227, 206}),
    .face_normal = Gradient::vertical({252, 252, 251}, {236, 225, 201}),
};

constexpr ColourSet silver{
    .dark_frame = {0, 60, 116},
    .edit_outline = {198, 197, 215},
    .band_pressed = Gradient::flat({239, 227, 206}),
    .band_hot = hot_band,
    .band_checked = checked_band,
    .band_focused = blue_focus_band,
    .band_normal = normal_band,
    .face_pressed = Gradient::vertical({179, 178, 197}, {252, 252, 251}),
    .face_normal = Gradient::vertical({252, 252, 251}, {198, 197, 215}),
};

} // namespace

const ColourSet* colour_set_for_mode(int mode) {
    switch (mode) {
    case 1:
        return &blue;
    case 2:
        return &olive;
    case 3:
        return &silver;
    default:
        return nullptr;
    }
}

} // namespace tavik::theme
