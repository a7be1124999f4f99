// PNG files of the screen, through libpng's simplified interface.
#include "tools/screenshot/png_file.h"

#include <png.h>

#include <algorithm>

#include "platform/draw_internal.h"

namespace screenshot {

Image CaptureScreen(const plat::Rect& screenRect) {
    const int32_t scale = plat::draw::Scale();
    const plat::Rect r = {std::max(screenRect.left, 0), std::max(screenRect.top, 0),
                          std::min(screenRect.right, plat::ScreenWidth), std::min(screenRect.bottom, plat::ScreenHeight)};
    Image image;
    if (r.right <= r.left || r.bottom <= r.top) return image;
    image.width = (r.right - r.left) * scale;
    image.height = (r.bottom - r.top) * scale;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    const uint32_t* pixels = plat::draw::Pixels();
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(r.top * scale + y) * plat::draw::PixelWidth() + r.left * scale;
        std::transform(row, row + image.width, image.pixels.begin() + static_cast<ptrdiff_t>(y) * image.width,
                       [](uint32_t p) { return p & 0xFFFFFF; });
    }
    return image;
}

bool WritePng(const char* path, const Image& image) {
    std::vector<uint8_t> rgb(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        rgb[3 * i] = static_cast<uint8_t>(image.pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(image.pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(image.pixels[i]);
    }
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, path, 0, rgb.data(), image.width * 3, nullptr) != 0;
}

bool ReadPng(const char* path, Image& out) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path) == 0) return false;
    png.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) == 0) {
        png_image_free(&png);
        return false;
    }
    out.width = static_cast<int32_t>(png.width);
    out.height = static_cast<int32_t>(png.height);
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        out.pixels[i] = static_cast<uint32_t>(rgb[3 * i]) << 16 | static_cast<uint32_t>(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    }
    return true;
}

}  // namespace screenshot
