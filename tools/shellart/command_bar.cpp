// The command-bar strip (bitmap 421) and the button guide images (1101 to 1106), both
// drawn from the pixel-art cells in art/cells.txt so that the guide shows exactly what the
// command bar shows.
#include <stdexcept>

#include "scenes.h"

namespace shellart {

namespace {

constexpr int CellSize = 16;
constexpr int CellCount = 7;

const PixelArt& Cell(const PixelArtFile& cells, int n) {
    auto it = cells.images.find(std::to_string(n));
    if (it == cells.images.end() || it->second.width != CellSize || it->second.height != CellSize)
        throw std::runtime_error("cells.txt: cell " + std::to_string(n) + " is missing or not 16x16");
    return it->second;
}

// The button face drawn around a cell, as the command bar shows a button.
constexpr Rgb Face{212, 208, 200}, Light{255, 255, 255}, Shadow{128, 128, 128}, Ink{0, 0, 0};
constexpr Rgb Paper{255, 255, 255};
constexpr int ButtonSize = 20;
constexpr int CaptionLeft = ButtonSize + 6;
constexpr double CaptionPixels = 13;
constexpr int CaptionLineHeight = 17;

void Put(RgbImage& image, int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < image.width && y < image.height)
        image.pixels[static_cast<size_t>(y) * image.width + x] = c;
}

void DrawButton(RgbImage& image, const PixelArt& cell, int top) {
    for (int y = 0; y < ButtonSize; ++y)
        for (int x = 0; x < ButtonSize; ++x) {
            const bool light = x == 0 || y == 0, dark = x == ButtonSize - 1 || y == ButtonSize - 1;
            Put(image, x, top + y, dark ? Shadow : light ? Light : Face);
        }
    const int inset = (ButtonSize - CellSize) / 2;
    for (int y = 0; y < CellSize; ++y)
        for (int x = 0; x < CellSize; ++x)
            if (cell.rows[y][x] == '#') Put(image, inset + x, top + inset + y, Ink);
}

}  // namespace

IndexedImage MakeCommandBarStrip(const PixelArtFile& cells) {
    IndexedImage strip{CellSize * CellCount, CellSize, {{0, 0, 0}, {255, 255, 255}}, {}};
    strip.pixels.assign(static_cast<size_t>(strip.width) * strip.height, 1);
    for (int n = 0; n < CellCount; ++n) {
        const PixelArt& cell = Cell(cells, n);
        for (int y = 0; y < CellSize; ++y)
            for (int x = 0; x < CellSize; ++x)
                if (cell.rows[y][x] == '#') strip.pixels[static_cast<size_t>(y) * strip.width + n * CellSize + x] = 0;
    }
    return strip;
}

std::vector<GuideImage> MakeButtonGuide(const PixelArtFile& cells, const Sources& sources) {
    struct Entry {
        int id, width, height, cell;
        std::vector<std::string> lines;
    };
    const Entry entries[] = {
        {1101, 191, 21, 0, {"Displays this text"}},
        {1102, 276, 21, 1, {"Goes to the RESTART screen."}},
        {1103, 250, 23, 2, {"Goes to the Information Screen."}},
        {1104, 223, 40, 3, {"Returns to the screen in the", "main section."}},
        {1105, 227, 21, 4, {"Goes to the previous Screen."}},
        {1106, 211, 22, 5, {"Goes to the next Screen."}},
    };
    const Font font(sources.fontDir + "/DejaVuSans.ttf", CaptionPixels, 1, true);
    std::vector<GuideImage> out;
    for (const Entry& e : entries) {
        Canvas canvas(e.width, e.height, 1, Paper);
        Mask text(canvas);
        const int lines = static_cast<int>(e.lines.size());
        const int top = (e.height - lines * CaptionLineHeight + 1) / 2;
        for (int i = 0; i < lines; ++i) {
            if (CaptionLeft + font.Measure(e.lines[i]) > e.width)
                throw std::runtime_error("caption of bitmap " + std::to_string(e.id) + " does not fit");
            font.Draw(text, e.lines[i], CaptionLeft, top + i * CaptionLineHeight + 13);
        }
        canvas.Paint(text, Ink);
        RgbImage image = canvas.Resolve();
        DrawButton(image, Cell(cells, e.cell), (e.height - ButtonSize) / 2);
        out.push_back({e.id, std::move(image)});
    }
    return out;
}

}  // namespace shellart
