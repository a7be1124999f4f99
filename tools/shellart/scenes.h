// The reader's artwork, one maker per resource. Each returns pixels only; shellart.cpp
// encodes and writes them.
#pragma once

#include <string>
#include <vector>

#include "image_files.h"
#include "pixel_art.h"
#include "raster.h"

namespace shellart {

// Where the scene makers find their sources.
struct Sources {
    std::string artDir;   // shellart's art/ folder
    std::string fontDir;  // the DejaVu fonts
};

// Bitmap 421: the seven command-bar cells side by side, 112 x 16, two colours.
IndexedImage MakeCommandBarStrip(const PixelArtFile& cells);

struct GuideImage {
    int id;
    RgbImage image;
};
// Bitmaps 1101 to 1106: a command-bar button followed by its caption.
std::vector<GuideImage> MakeButtonGuide(const PixelArtFile& cells, const Sources& sources);

// Bitmap 1100: the publisher's emblem and word mark, 159 x 134.
IndexedImage MakeLogo(const Sources& sources);

// Bitmap 1864: the title picture, a drowned bell-tower in the marsh at dusk.
IndexedImage MakeTitlePicture();

// Icon 420: the 16 x 16 and 32 x 32 images.
std::vector<IconImage> MakeIcon(const PixelArtFile& icon);

}  // namespace shellart
