// Decodes an icon image (an uncompressed DIB at 1, 4, 8, 24 or 32 bits per pixel with its
// 1-bit mask) into ARGB pixels for the window icon and the desktop's icon files.
#include "platform/sdl/icon_pixels.h"

#include <cstddef>

#include "platform/resource_formats.h"

namespace plat::icon {
namespace {

const uint8_t* RowOf(const uint8_t* rows, int32_t stride, int32_t height, int32_t y) {
    return rows + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride);  // bottom row first
}

// Returns the colour of pixel x of a DIB row as 0xRRGGBB.
uint32_t ColourOf(const IconImageView& image, const uint8_t* row, int32_t x) {
    const int32_t bits = image.bitsPerPixel;
    const uint8_t* bgr = nullptr;
    if (bits == 24 || bits == 32) {
        bgr = row + x * (bits / 8);
    } else {
        const int32_t perByte = 8 / bits;
        const int32_t index = (row[x / perByte] >> (8 - bits * (x % perByte + 1))) & ((1 << bits) - 1);
        if (index >= image.paletteCount) return 0;  // an index past the palette reads as black
        bgr = image.palette + index * 4;
    }
    return static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
}

// Tells whether a 32-bit image carries alpha; old ones leave it 0 and rely on the mask alone.
bool HasAlphaChannel(const IconImageView& image) {
    if (image.bitsPerPixel != 32) return false;
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = RowOf(image.pixels, image.stride, image.height, y);
        for (int32_t x = 0; x < image.width; ++x) {
            if (row[x * 4 + 3] != 0) return true;
        }
    }
    return false;
}

}  // namespace

bool DecodeIcon(const uint8_t* data, uint32_t size, int32_t side, uint32_t* argb) {
    int32_t count = 0;
    if (data == nullptr || argb == nullptr || ReadIcon(data, size, count)) return false;
    for (int32_t i = 0; i < count; ++i) {
        IconImageView image;
        if (ReadIconImage(data, size, i, image) || image.width != side) continue;
        const bool alphaChannel = HasAlphaChannel(image);
        for (int32_t y = 0; y < side; ++y) {
            const uint8_t* row = RowOf(image.pixels, image.stride, side, y);
            const uint8_t* mask = RowOf(image.mask, image.maskStride, side, y);
            for (int32_t x = 0; x < side; ++x) {
                const uint32_t alpha = alphaChannel                            ? row[x * 4 + 3]
                                       : ((mask[x / 8] >> (7 - x % 8)) & 1) != 0 ? 0u
                                                                                 : 0xFFu;
                argb[static_cast<size_t>(y) * static_cast<size_t>(side) + static_cast<size_t>(x)] =
                    alpha == 0 ? 0 : alpha << 24 | ColourOf(image, row, x);
            }
        }
        return true;
    }
    return false;
}

}  // namespace plat::icon
