// File encoders for shellart: BMP, ICO and PNG previews. See image_files.h.
#include "image_files.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace shellart {

namespace {

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

uint32_t Stride(int width, int bitsPerPixel) {
    return static_cast<uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

// BITMAPINFOHEADER; heightField is twice the height inside an icon.
void PutInfoHeader(Bytes& b, int width, int heightField, int bitsPerPixel, uint32_t imageBytes, uint32_t colours) {
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(heightField));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bitsPerPixel));
    Put32(b, 0);  // BI_RGB: uncompressed
    Put32(b, imageBytes);
    Put32(b, 2835);  // 72 dots per inch
    Put32(b, 2835);
    Put32(b, colours);
    Put32(b, 0);
}

void PutPalette(Bytes& b, const std::vector<Rgb>& palette, size_t entries) {
    for (size_t i = 0; i < entries; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        b.insert(b.end(), {c.b, c.g, c.r, 0});
    }
}

// Appends the rows bottom-up, each padded to four bytes.
void PutIndexedRows(Bytes& b, const IndexedImage& image, int bitsPerPixel) {
    const uint32_t stride = Stride(image.width, bitsPerPixel);
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t v = image.pixels[static_cast<size_t>(y) * image.width + x];
            if (v >> bitsPerPixel) throw std::runtime_error("palette index does not fit the bit depth");
            if (bitsPerPixel == 8)
                row[x] = v;
            else
                row[x / 8] = static_cast<uint8_t>(row[x / 8] | v << (7 - x % 8));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
}

}  // namespace

Bytes EncodeBmp(const IndexedImage& image, int bitsPerPixel) {
    if (bitsPerPixel != 1 && bitsPerPixel != 8) throw std::runtime_error("unsupported bit depth");
    const uint32_t entries = 1u << bitsPerPixel;
    if (image.palette.size() > entries) throw std::runtime_error("palette larger than the bit depth allows");
    const uint32_t imageBytes = Stride(image.width, bitsPerPixel) * static_cast<uint32_t>(image.height);
    const uint32_t offset = 14 + 40 + entries * 4;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + imageBytes);
    Put32(b, 0);
    Put32(b, offset);
    PutInfoHeader(b, image.width, image.height, bitsPerPixel, imageBytes, entries);
    PutPalette(b, image.palette, entries);
    PutIndexedRows(b, image, bitsPerPixel);
    return b;
}

Bytes EncodeBmp24(const RgbImage& image) {
    const uint32_t stride = Stride(image.width, 24);
    const uint32_t imageBytes = stride * static_cast<uint32_t>(image.height);
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + imageBytes);
    Put32(b, 0);
    Put32(b, 54);
    PutInfoHeader(b, image.width, image.height, 24, imageBytes, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.pixels[static_cast<size_t>(y) * image.width + x];
            b.insert(b.end(), {c.b, c.g, c.r});
        }
        b.resize(start + stride, 0);
    }
    return b;
}

Bytes EncodeIco(const std::vector<IconImage>& images) {
    std::vector<Bytes> dibs;
    for (const IconImage& icon : images) {
        const IndexedImage& im = icon.image;
        const uint32_t xorBytes = Stride(im.width, 8) * static_cast<uint32_t>(im.height);
        const uint32_t andStride = Stride(im.width, 1);
        Bytes d;
        PutInfoHeader(d, im.width, im.height * 2, 8, xorBytes + andStride * static_cast<uint32_t>(im.height), 256);
        PutPalette(d, im.palette, 256);
        PutIndexedRows(d, im, 8);
        for (int y = im.height - 1; y >= 0; --y) {
            Bytes row(andStride, 0);
            for (int x = 0; x < im.width; ++x)
                if (icon.transparent[static_cast<size_t>(y) * im.width + x])
                    row[x / 8] = static_cast<uint8_t>(row[x / 8] | 0x80 >> (x % 8));
            d.insert(d.end(), row.begin(), row.end());
        }
        dibs.push_back(std::move(d));
    }
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);  // icon
    Put16(b, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        b.push_back(static_cast<uint8_t>(images[i].image.width));
        b.push_back(static_cast<uint8_t>(images[i].image.height));
        b.push_back(0);  // 256 colours
        b.push_back(0);
        Put16(b, 1);  // planes
        Put16(b, 8);  // bits per pixel
        Put32(b, static_cast<uint32_t>(dibs[i].size()));
        Put32(b, offset);
        offset += static_cast<uint32_t>(dibs[i].size());
    }
    for (const Bytes& d : dibs) b.insert(b.end(), d.begin(), d.end());
    return b;
}

RgbImage ToRgb(const IndexedImage& image) {
    RgbImage out{image.width, image.height, {}};
    for (uint8_t v : image.pixels) out.pixels.push_back(image.palette.at(v));
    return out;
}

void WritePng(const std::string& path, const RgbImage& image, int zoom) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error(path + ": cannot write");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const int w = image.width * zoom, h = image.height * zoom;
    Bytes row(static_cast<size_t>(w) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        throw std::runtime_error(path + ": PNG encoding failed");
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb c = image.pixels[static_cast<size_t>(y / zoom) * image.width + x / zoom];
            row[x * 3] = c.r;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.b;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error(path + ": cannot write");
}

}  // namespace shellart
