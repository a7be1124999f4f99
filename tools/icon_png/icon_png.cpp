// icon_png: writes the program's icon (resource 420's .ico file) as the PNG files of a
// desktop's icon theme, <out>/<N>x<N>/apps/<name>.png for every size a desktop asks for.
// Sizes the icon does not hold are enlarged from a smaller image by a whole factor,
// pixel for pixel, so the pixel art stays sharp. Run at build time for resources/desktop.
// Usage: icon_png <icon.ico> <out folder> <name>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl/icon_pixels.h"

namespace {

constexpr int32_t Sizes[] = {16, 32, 48, 64, 128, 256};

bool WritePng(const std::string& path, const std::vector<uint32_t>& argb, int32_t side) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(side), static_cast<png_uint_32>(side), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<size_t>(side) * 4);
        for (int32_t y = 0; y < side; ++y) {
            for (int32_t x = 0; x < side; ++x) {
                const uint32_t p = argb[static_cast<size_t>(y * side + x)];
                png_byte* out = &row[static_cast<size_t>(x) * 4];
                out[0] = static_cast<png_byte>(p >> 16);
                out[1] = static_cast<png_byte>(p >> 8);
                out[2] = static_cast<png_byte>(p);
                out[3] = static_cast<png_byte>(p >> 24);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: icon_png <icon.ico> <out folder> <name>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> ico((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto size = static_cast<uint32_t>(ico.size());
    for (int32_t side : Sizes) {
        // The largest image of the icon whose side divides this size.
        std::vector<uint32_t> source;
        int32_t sourceSide = 0;
        for (int32_t candidate = side; candidate >= 1 && sourceSide == 0; --candidate) {
            if (side % candidate != 0) continue;
            source.assign(static_cast<size_t>(candidate * candidate), 0);
            if (plat::icon::DecodeIcon(ico.data(), size, candidate, source.data())) sourceSide = candidate;
        }
        if (sourceSide == 0) {
            std::fprintf(stderr, "icon_png: %s has no image to make a %dx%d icon from\n", argv[1], side, side);
            return 1;
        }
        std::vector<uint32_t> image(static_cast<size_t>(side * side));
        const int32_t factor = side / sourceSide;
        for (int32_t y = 0; y < side; ++y) {
            for (int32_t x = 0; x < side; ++x)
                image[static_cast<size_t>(y * side + x)] = source[static_cast<size_t>(y / factor * sourceSide + x / factor)];
        }
        const std::string folder = std::string(argv[2]) + "/" + std::to_string(side) + "x" + std::to_string(side) + "/apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::string path = folder + "/" + argv[3] + ".png";
        if (error || !WritePng(path, image, side)) {
            std::fprintf(stderr, "icon_png: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
