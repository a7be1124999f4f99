// Encoders for the files shellart writes: uncompressed bottom-up BMP (1, 8 and 24 bits per
// pixel), the .ico icon group, and PNG previews for looking at the results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace shellart {

using Bytes = std::vector<uint8_t>;

// Encodes an indexed image at 1 or 8 bits per pixel; the palette is written in full
// (2 or 256 entries, unused entries black). Throws when a pixel exceeds the depth.
Bytes EncodeBmp(const IndexedImage& image, int bitsPerPixel);
Bytes EncodeBmp24(const RgbImage& image);
// Encodes an icon group of 8-bit images; transparent[i] marks pixels left out by the mask.
struct IconImage {
    IndexedImage image;
    std::vector<bool> transparent;
};
Bytes EncodeIco(const std::vector<IconImage>& images);

RgbImage ToRgb(const IndexedImage& image);
// Writes image as an 8-bit RGB PNG, each pixel repeated zoom x zoom times.
void WritePng(const std::string& path, const RgbImage& image, int zoom);
void WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace shellart
