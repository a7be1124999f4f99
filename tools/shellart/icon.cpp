// Icon 420 from its pixel art (art/icon.txt): a 16 x 16 and a 32 x 32 image, each with a
// 256-entry palette of the art's colours and a mask from its transparent character.
#include <stdexcept>

#include "scenes.h"

namespace shellart {

std::vector<IconImage> MakeIcon(const PixelArtFile& icon) {
    if (!icon.transparent) throw std::runtime_error("icon.txt: no transparent character");
    std::vector<Rgb> palette;
    std::map<char, uint8_t> index;
    for (auto [ch, colour] : icon.colours) {
        index[ch] = static_cast<uint8_t>(palette.size());
        palette.push_back(ch == icon.transparent ? Rgb{} : colour);
    }
    std::vector<IconImage> out;
    for (int size : {16, 32}) {
        auto it = icon.images.find(std::to_string(size));
        if (it == icon.images.end() || it->second.width != size || it->second.height != size)
            throw std::runtime_error("icon.txt: image " + std::to_string(size) + " is missing or the wrong size");
        IconImage image{{size, size, palette, {}}, {}};
        for (const std::string& row : it->second.rows)
            for (char ch : row) {
                image.image.pixels.push_back(index.at(ch));
                image.transparent.push_back(ch == icon.transparent);
            }
        out.push_back(std::move(image));
    }
    return out;
}

}  // namespace shellart
