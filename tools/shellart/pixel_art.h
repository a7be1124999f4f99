// Pixel-art sources: small text files in art/ where each character of a picture row is one
// pixel, with a key that gives each character its colour. shellart reads the command-bar
// cells and the icon from them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "raster.h"

namespace shellart {

struct PixelArt {
    int width = 0, height = 0;
    std::vector<std::string> rows;  // height rows of width characters
};

struct PixelArtFile {
    std::map<char, Rgb> colours;
    char transparent = 0;  // the character left out of an icon's mask, or 0
    std::map<std::string, PixelArt> images;
};

// Reads a pixel-art file:
//   colour <char> <rrggbb>     gives a character its colour
//   transparent <char>         marks the character an icon leaves transparent
//   image <name> <w>x<h>       followed by h rows of exactly w characters
// Blank lines and lines starting with '#' outside a picture are skipped. Throws with
// "file:line: message" on a malformed line, a short picture or an unknown character.
PixelArtFile ReadPixelArt(const std::string& path);

}  // namespace shellart
