// Writes the framebuffer to a PNG file at its device size: the screenshots of the headless
// device, golden pages and the authoring tools all come through here.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "platform/draw_internal.h"

namespace plat::draw {

bool WritePng(const char* path) {
    if (path == nullptr) return false;
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(PixelWidth()), static_cast<png_uint_32>(PixelHeight()), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        // The pixels are 0x00RRGGBB words: in memory blue, green, red and an unused byte.
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        for (int32_t y = 0; y < PixelHeight(); ++y) {
            const uint32_t* row = Pixels() + static_cast<size_t>(y) * static_cast<size_t>(PixelWidth());
            png_write_row(png, reinterpret_cast<png_const_bytep>(row));
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return std::fclose(file) == 0 && written;
}

}  // namespace plat::draw
