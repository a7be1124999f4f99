// The program's icon as straight ARGB pixels: one image of an .ico file, its palette and
// transparency mask applied. The desktop device gives it to the window; the desktop-icon
// tool writes it out as PNG files. Free of SDL, so a host tool can use it.
#pragma once

#include <cstdint>

namespace plat::icon {

inline constexpr int32_t MaxIconSide = 256;

// Decodes the image of side x side pixels of an .ico file (checked by the resource readers)
// into argb, top row first, 0xAARRGGBB with transparent pixels 0; false when the file has
// no image of that size or cannot be read. argb holds side * side values.
bool DecodeIcon(const uint8_t* data, uint32_t size, int32_t side, uint32_t* argb);

}  // namespace plat::icon
