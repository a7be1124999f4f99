// The formats of the resources the reader embeds, read in place without allocation:
// BMP bitmaps, WAVE sounds, the .ico icon, and our own text formats for the menu, the
// command-bar description and strings (docs/resources.md). The resource embedder checks
// every file with these readers at build time; the platform layer uses them to draw,
// play and build the command bar, so a file that got in is a file that reads.
#pragma once

#include <cstdint>

namespace plat {

// What went wrong, or nothing. line counts from 1 in text formats and is 0 otherwise.
struct FormatError {
    const char* message = nullptr;
    int32_t line = 0;
    explicit operator bool() const { return message != nullptr; }
};

// ---- Bitmaps: a BMP file, uncompressed and bottom-up, at 1, 4, 8 or 24 bits per pixel.

struct BitmapView {
    int32_t width = 0, height = 0;
    int32_t bitsPerPixel = 0;
    const uint8_t* palette = nullptr;  // paletteCount entries of blue, green, red, unused
    int32_t paletteCount = 0;          // 0 at 24 bits per pixel
    const uint8_t* pixels = nullptr;   // the bottom row first
    int32_t stride = 0;                // bytes per row, a multiple of 4
};

// Reads the headers of a BMP file and checks that its palette and rows lie inside it.
FormatError ReadBitmap(const uint8_t* data, uint32_t size, BitmapView& out);

// ---- Sounds: a RIFF WAVE file of uncompressed PCM, one channel, 8 or 16 bits per sample.

struct WaveView {
    int32_t sampleRate = 0;
    int32_t bitsPerSample = 0;
    const uint8_t* samples = nullptr;
    uint32_t sampleBytes = 0;
};

FormatError ReadWave(const uint8_t* data, uint32_t size, WaveView& out);

// ---- The icon: an .ico file whose images are uncompressed DIBs.

struct IconImageView {
    int32_t width = 0, height = 0;
    int32_t bitsPerPixel = 0;
    const uint8_t* palette = nullptr;  // as in BitmapView
    int32_t paletteCount = 0;
    const uint8_t* pixels = nullptr;  // colour rows, the bottom row first
    int32_t stride = 0;
    const uint8_t* mask = nullptr;  // 1 bit per pixel, set = transparent, the bottom row first
    int32_t maskStride = 0;
};

// Counts the images of an icon file and checks every one of them.
FormatError ReadIcon(const uint8_t* data, uint32_t size, int32_t& imageCount);
// Reads image index (0 .. imageCount - 1) of a checked icon file.
FormatError ReadIconImage(const uint8_t* data, uint32_t size, int32_t index, IconImageView& out);

// ---- Text resources. Texts point into the resource's bytes and are not zero-terminated.

struct TextView {
    const char* text = nullptr;
    int32_t length = 0;
};

inline constexpr int MenuItemCapacity = 16;
inline constexpr int MenuBarButtonCapacity = 16;

struct MenuItem {
    int32_t command = 0;
    TextView text;  // '&' marks the access key, as the platform's menus show it
};

struct MenuView {
    TextView popup;  // the pop-up's caption
    MenuItem items[MenuItemCapacity];
    int32_t itemCount = 0;
};

struct MenuBarButton {
    int32_t command = 0;
    int32_t cell = -1;      // cell of the button bitmap (16 x 16 each, from the left), or -1
    int32_t stringId = -1;  // string resource with the button's text, or -1
    bool dropDown = false;  // opens the pop-up of the menu
};

struct MenuBarView {
    int32_t menuId = 0;
    int32_t bitmapId = 0;
    int32_t imageCount = 0;  // images declared to the shell; a cell may lie beyond them
    MenuBarButton buttons[MenuBarButtonCapacity];
    int32_t buttonCount = 0;
};

FormatError ReadMenu(const uint8_t* data, uint32_t size, MenuView& out);
FormatError ReadMenuBar(const uint8_t* data, uint32_t size, MenuBarView& out);
FormatError ReadString(const uint8_t* data, uint32_t size, TextView& out);

}  // namespace plat
