// The reader of shellart's pixel-art sources. See pixel_art.h for the format.
#include "pixel_art.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace shellart {

PixelArtFile ReadPixelArt(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + ": cannot open");
    PixelArtFile file;
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& message) {
        throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": " + message);
    };
    PixelArt* open = nullptr;
    while (std::getline(in, line)) {
        ++lineNo;
        if (open && static_cast<int>(open->rows.size()) < open->height) {
            if (static_cast<int>(line.size()) != open->width) fail("picture row is not " + std::to_string(open->width) + " characters wide");
            for (char c : line)
                if (!file.colours.count(c)) fail(std::string("character '") + c + "' has no colour");
            open->rows.push_back(line);
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "colour") {
            std::string ch, hex;
            words >> ch >> hex;
            if (ch.size() != 1 || hex.size() != 6 || hex.find_first_not_of("0123456789abcdef") != std::string::npos)
                fail("expected: colour <char> <rrggbb>");
            const unsigned long v = std::stoul(hex, nullptr, 16);
            file.colours[ch[0]] = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
        } else if (keyword == "transparent") {
            std::string ch;
            words >> ch;
            if (ch.size() != 1 || !file.colours.count(ch[0])) fail("expected: transparent <char with a colour>");
            file.transparent = ch[0];
        } else if (keyword == "image") {
            std::string name, size;
            words >> name >> size;
            PixelArt art;
            char x = 0;
            std::istringstream dims(size);
            if (name.empty() || !(dims >> art.width >> x >> art.height) || x != 'x' || art.width <= 0 || art.height <= 0)
                fail("expected: image <name> <width>x<height>");
            if (file.images.count(name)) fail("image " + name + " is defined twice");
            open = &(file.images[name] = art);
        } else {
            fail("unknown line: " + line);
        }
    }
    if (open && static_cast<int>(open->rows.size()) < open->height) fail("picture ends early");
    return file;
}

}  // namespace shellart
