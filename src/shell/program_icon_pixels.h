// The program icon's pictures as ready-made pixels, generated at build time from assets/icons.
#pragma once

#include <cstdint>
#include <span>

namespace tavik {

struct IconPicture {
    int width;
    int height;
    // Row by row, each pixel 0xAARRGGBB as the PNG has it (the colour not multiplied by the alpha).
    const std::uint32_t* pixels;
};

// 256, 48 and 32 pixels square, in this order.
std::span<const IconPicture> program_icon_pictures();

} // namespace tavik
