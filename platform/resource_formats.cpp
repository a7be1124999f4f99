// Readers for the embedded resource formats: bounds-checked views into the bytes, no
// allocation. See resource_formats.h; the text formats are described in docs/resources.md.
#include "platform/resource_formats.h"

#include <cstring>

namespace plat {

namespace {

constexpr FormatError Fail(const char* message, int32_t line = 0) { return {message, line}; }

uint32_t U16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

// Bytes per row of a DIB, padded to four bytes; computed in 64 bits so that no width
// in a damaged header can overflow it.
uint64_t DibStride(int64_t width, int64_t bitsPerPixel) { return static_cast<uint64_t>((width * bitsPerPixel + 31) / 32 * 4); }

// The part of BITMAPINFOHEADER both BMP files and icon images share. header points at the
// info header, size counts the bytes from there to the end of the data.
struct DibHeader {
    int32_t width, height;
    uint32_t headerSize, planes, bitsPerPixel, compression, coloursUsed;
};

FormatError ReadDibHeader(const uint8_t* header, uint64_t size, DibHeader& h) {
    if (size < 40) return Fail("truncated bitmap header");
    h.headerSize = U32(header);
    if (h.headerSize < 40 || h.headerSize > size) return Fail("not a BITMAPINFOHEADER bitmap (old or unknown header)");
    h.width = S32(header + 4);
    h.height = S32(header + 8);
    h.planes = U16(header + 12);
    h.bitsPerPixel = U16(header + 14);
    h.compression = U32(header + 16);
    h.coloursUsed = U32(header + 32);
    if (h.compression != 0) return Fail("compressed bitmap (only uncompressed BI_RGB bitmaps are supported)");
    if (h.planes != 1) return Fail("bitmap with more than one plane");
    return {};
}

bool IsPaletteDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

// Checks the palette of a DIB: at most 2^bits entries that lie within the data.
FormatError ReadPalette(const DibHeader& h, const uint8_t* palette, uint64_t room, const uint8_t*& out, int32_t& count) {
    out = nullptr;
    count = 0;
    if (!IsPaletteDepth(h.bitsPerPixel)) return {};
    const uint32_t most = 1u << h.bitsPerPixel;
    const uint32_t n = h.coloursUsed ? h.coloursUsed : most;
    if (n > most) return Fail("palette larger than the bit depth allows");
    if (uint64_t{n} * 4 > room) return Fail("palette runs past the end of the file");
    out = palette;
    count = static_cast<int32_t>(n);
    return {};
}

// ---- Text formats ----------------------------------------------------------------------

struct Token {
    TextView text;
    bool quoted = false;
};

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Walks the words and quoted texts of one line.
class Line {
public:
    Line(const char* begin, const char* end, int32_t number) : p_(begin), end_(end), number_(number) {}
    int32_t Number() const { return number_; }
    bool AtEnd() {
        while (p_ < end_ && Blank(*p_)) ++p_;
        return p_ == end_;
    }
    // Reads the next token; returns false at the end of the line or on an open quote
    // (then error is set).
    bool Next(Token& t, FormatError& error) {
        if (AtEnd()) return false;
        if (*p_ == '"') {
            const char* close = static_cast<const char*>(std::memchr(p_ + 1, '"', static_cast<size_t>(end_ - p_ - 1)));
            if (!close) {
                error = Fail("unterminated quote", number_);
                return false;
            }
            t = {{p_ + 1, static_cast<int32_t>(close - p_ - 1)}, true};
            p_ = close + 1;
            return true;
        }
        const char* start = p_;
        while (p_ < end_ && !Blank(*p_)) ++p_;
        t = {{start, static_cast<int32_t>(p_ - start)}, false};
        return true;
    }

private:
    const char* p_;
    const char* end_;
    int32_t number_;
};

// Splits a text resource into lines, skipping blank lines and comments.
class Lines {
public:
    Lines(const uint8_t* data, uint32_t size)
        : p_(reinterpret_cast<const char*>(data)), end_(p_ + size) {}
    // Returns false at the end, or on a control character or zero byte (then error is set).
    bool Next(Line& line, FormatError& error) {
        while (p_ < end_) {
            const char* nl = static_cast<const char*>(std::memchr(p_, '\n', static_cast<size_t>(end_ - p_)));
            const char* lineEnd = nl ? nl : end_;
            const char* start = p_;
            p_ = nl ? nl + 1 : end_;
            ++number_;
            for (const char* c = start; c < lineEnd; ++c)
                if ((static_cast<unsigned char>(*c) < 32 && !Blank(*c)) || *c == 127) {
                    error = Fail("control character in text", number_);
                    return false;
                }
            Line candidate(start, lineEnd, number_);
            if (candidate.AtEnd()) continue;
            const char* first = start;
            while (Blank(*first)) ++first;
            if (*first == '#') continue;
            line = candidate;
            return true;
        }
        return false;
    }

private:
    const char* p_;
    const char* end_;
    int32_t number_ = 0;
};

bool Is(const Token& t, const char* word) {
    return !t.quoted && static_cast<size_t>(t.text.length) == std::strlen(word) &&
           std::memcmp(t.text.text, word, static_cast<size_t>(t.text.length)) == 0;
}

// Reads an id or command number, 1 to 65535.
bool ReadNumber(Line& line, int32_t& value, FormatError& error, int32_t lowest = 1) {
    Token t;
    if (!line.Next(t, error) || t.quoted || t.text.length == 0 || t.text.length > 5) return false;
    int32_t v = 0;
    for (int32_t i = 0; i < t.text.length; ++i) {
        const char c = t.text.text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < lowest || v > 65535) return false;
    value = v;
    return true;
}

bool ReadQuoted(Line& line, TextView& text, FormatError& error) {
    Token t;
    if (!line.Next(t, error) || !t.quoted) return false;
    text = t.text;
    return true;
}

// Fails unless nothing but blanks is left on the line.
FormatError Finish(Line& line, FormatError error) {
    if (error) return error;
    return line.AtEnd() ? FormatError{} : Fail("unexpected text at the end of the line", line.Number());
}

}  // namespace

// ---- Bitmaps ----------------------------------------------------------------------------

FormatError ReadBitmap(const uint8_t* data, uint32_t size, BitmapView& out) {
    if (size < 14 + 40 || data[0] != 'B' || data[1] != 'M') return Fail("not a BMP file");
    DibHeader h{};
    if (FormatError e = ReadDibHeader(data + 14, size - 14, h)) return e;
    if (h.height < 0) return Fail("top-down bitmap (negative height); store it bottom-up");
    if (h.width <= 0 || h.height == 0 || h.width > 8192 || h.height > 8192) return Fail("bitmap size out of range");
    if (!IsPaletteDepth(h.bitsPerPixel) && h.bitsPerPixel != 24)
        return Fail("unsupported bit depth (1, 4, 8 or 24 bits per pixel)");
    const uint32_t offset = U32(data + 10);
    const uint64_t paletteStart = 14 + uint64_t{h.headerSize};
    if (offset < paletteStart || offset > size) return Fail("pixel data offset out of range");
    const uint64_t stride = DibStride(h.width, h.bitsPerPixel);
    if (offset + stride * static_cast<uint64_t>(h.height) > size) return Fail("pixel rows run past the end of the file");
    BitmapView v;
    if (FormatError e = ReadPalette(h, data + paletteStart, offset - paletteStart, v.palette, v.paletteCount)) return e;
    v.width = h.width;
    v.height = h.height;
    v.bitsPerPixel = static_cast<int32_t>(h.bitsPerPixel);
    v.pixels = data + offset;
    v.stride = static_cast<int32_t>(stride);
    out = v;
    return {};
}

// ---- Sounds -----------------------------------------------------------------------------

FormatError ReadWave(const uint8_t* data, uint32_t size, WaveView& out) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return Fail("not a RIFF WAVE file");
    const uint8_t* format = nullptr;
    uint32_t formatSize = 0;
    WaveView v;
    for (uint64_t at = 12; at + 8 <= size;) {
        const uint8_t* chunk = data + at;
        const uint32_t length = U32(chunk + 4);
        if (at + 8 + length > size) return Fail("chunk runs past the end of the file");
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            format = chunk + 8;
            formatSize = length;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !v.samples) {
            v.samples = chunk + 8;
            v.sampleBytes = length;
        }
        at += 8 + uint64_t{length} + (length & 1);
    }
    if (!format || formatSize < 16) return Fail("WAVE file without a format chunk");
    if (U16(format) != 1) return Fail("compressed WAVE (only uncompressed PCM is supported)");
    if (U16(format + 2) != 1) return Fail("WAVE is not mono (one channel)");
    const uint32_t bits = U16(format + 14);
    if (bits != 8 && bits != 16) return Fail("WAVE is not 8 or 16 bits per sample");
    const uint32_t rate = U32(format + 4);
    if (rate < 1000 || rate > 96000) return Fail("WAVE sample rate out of range");
    if (!v.samples) return Fail("WAVE file without a data chunk");
    v.sampleRate = static_cast<int32_t>(rate);
    v.bitsPerSample = static_cast<int32_t>(bits);
    out = v;
    return {};
}

// ---- The icon ---------------------------------------------------------------------------

FormatError ReadIcon(const uint8_t* data, uint32_t size, int32_t& imageCount) {
    if (size < 6 || U16(data) != 0 || U16(data + 2) != 1) return Fail("not an icon file");
    const int32_t count = static_cast<int32_t>(U16(data + 4));
    if (count == 0) return Fail("icon file without images");
    if (6 + 16 * uint64_t(count) > size) return Fail("icon directory runs past the end of the file");
    for (int32_t i = 0; i < count; ++i) {
        IconImageView image;
        if (FormatError e = ReadIconImage(data, size, i, image)) return e;
    }
    imageCount = count;
    return {};
}

FormatError ReadIconImage(const uint8_t* data, uint32_t size, int32_t index, IconImageView& out) {
    if (size < 6 || index < 0 || index >= static_cast<int32_t>(U16(data + 4)) || 6 + 16 * uint64_t(index + 1) > size)
        return Fail("no such icon image");
    const uint8_t* entry = data + 6 + 16 * index;
    const uint32_t bytes = U32(entry + 8), offset = U32(entry + 12);
    if (uint64_t{offset} + bytes > size) return Fail("icon image runs past the end of the file");
    const uint8_t* dib = data + offset;
    if (bytes >= 8 && std::memcmp(dib, "\x89PNG", 4) == 0) return Fail("PNG images in icons are not supported");
    DibHeader h{};
    if (FormatError e = ReadDibHeader(dib, bytes, h)) return e;
    if (h.width <= 0 || h.width > 256 || h.height != 2 * h.width) return Fail("icon image size out of range");
    if (!IsPaletteDepth(h.bitsPerPixel) && h.bitsPerPixel != 24 && h.bitsPerPixel != 32)
        return Fail("unsupported icon bit depth");
    IconImageView v;
    if (FormatError e = ReadPalette(h, dib + h.headerSize, bytes - h.headerSize, v.palette, v.paletteCount)) return e;
    const int32_t height = h.width;
    const uint64_t pixelsAt = h.headerSize + uint64_t(v.paletteCount) * 4;
    const uint64_t stride = DibStride(h.width, h.bitsPerPixel), maskStride = DibStride(h.width, 1);
    if (pixelsAt + (stride + maskStride) * static_cast<uint64_t>(height) > bytes)
        return Fail("icon image rows run past its data");
    v.width = h.width;
    v.height = height;
    v.bitsPerPixel = static_cast<int32_t>(h.bitsPerPixel);
    v.pixels = dib + pixelsAt;
    v.stride = static_cast<int32_t>(stride);
    v.mask = v.pixels + stride * static_cast<uint64_t>(height);
    v.maskStride = static_cast<int32_t>(maskStride);
    out = v;
    return {};
}

// ---- Text resources ---------------------------------------------------------------------

FormatError ReadMenu(const uint8_t* data, uint32_t size, MenuView& out) {
    MenuView m;
    bool popup = false;
    Lines lines(data, size);
    Line line(nullptr, nullptr, 0);
    FormatError error;
    while (lines.Next(line, error)) {
        Token keyword;
        if (!line.Next(keyword, error)) return error;  // an unterminated quote
        if (Is(keyword, "popup")) {
            if (popup) return Fail("a menu has one popup line", line.Number());
            if (!ReadQuoted(line, m.popup, error)) return error ? error : Fail("expected: popup \"caption\"", line.Number());
            popup = true;
        } else if (Is(keyword, "item")) {
            if (!popup) return Fail("items come after the popup line", line.Number());
            if (m.itemCount == MenuItemCapacity) return Fail("too many menu items", line.Number());
            MenuItem& item = m.items[m.itemCount];
            if (!ReadNumber(line, item.command, error) || !ReadQuoted(line, item.text, error))
                return error ? error : Fail("expected: item <command 1..65535> \"text\"", line.Number());
            ++m.itemCount;
        } else {
            return Fail("expected popup or item", line.Number());
        }
        if (FormatError e = Finish(line, error)) return e;
    }
    if (error) return error;
    if (!popup || m.itemCount == 0) return Fail("a menu needs a popup line and at least one item");
    out = m;
    return {};
}

FormatError ReadMenuBar(const uint8_t* data, uint32_t size, MenuBarView& out) {
    MenuBarView b;
    Lines lines(data, size);
    Line line(nullptr, nullptr, 0);
    FormatError error;
    while (lines.Next(line, error)) {
        Token keyword;
        if (!line.Next(keyword, error)) return error;  // an unterminated quote
        if (Is(keyword, "menu")) {
            if (b.menuId) return Fail("the menu is named twice", line.Number());
            if (!ReadNumber(line, b.menuId, error)) return error ? error : Fail("expected: menu <id>", line.Number());
        } else if (Is(keyword, "bitmap")) {
            Token images;
            if (b.bitmapId) return Fail("the bitmap is named twice", line.Number());
            if (!ReadNumber(line, b.bitmapId, error) || !line.Next(images, error) || !Is(images, "images") ||
                !ReadNumber(line, b.imageCount, error))
                return error ? error : Fail("expected: bitmap <id> images <count>", line.Number());
        } else if (Is(keyword, "button")) {
            if (b.buttonCount == MenuBarButtonCapacity) return Fail("too many buttons", line.Number());
            MenuBarButton& button = b.buttons[b.buttonCount];
            if (!ReadNumber(line, button.command, error))
                return error ? error : Fail("expected: button <command> ...", line.Number());
            Token option;
            while (line.Next(option, error)) {
                if (Is(option, "cell") && button.cell < 0) {
                    if (!ReadNumber(line, button.cell, error, 0) || button.cell > 255)
                        return error ? error : Fail("expected: cell <0..255>", line.Number());
                } else if (Is(option, "text") && button.stringId < 0) {
                    if (!ReadNumber(line, button.stringId, error))
                        return error ? error : Fail("expected: text <string id>", line.Number());
                } else if (Is(option, "dropdown") && !button.dropDown) {
                    button.dropDown = true;
                } else {
                    return Fail("expected cell <n>, text <id> or dropdown, each at most once", line.Number());
                }
            }
            if (error) return error;
            if (button.cell < 0 && button.stringId < 0) return Fail("a button needs a cell or a text", line.Number());
            ++b.buttonCount;
        } else {
            return Fail("expected menu, bitmap or button", line.Number());
        }
        if (FormatError e = Finish(line, error)) return e;
    }
    if (error) return error;
    if (!b.menuId || !b.bitmapId || b.buttonCount == 0)
        return Fail("a command bar needs a menu line, a bitmap line and at least one button");
    out = b;
    return {};
}

FormatError ReadString(const uint8_t* data, uint32_t size, TextView& out) {
    Lines lines(data, size);
    Line line(nullptr, nullptr, 0);
    FormatError error;
    TextView text;
    bool found = false;
    while (lines.Next(line, error)) {
        Token keyword;
        if (!line.Next(keyword, error)) return error;  // an unterminated quote
        if (!Is(keyword, "text") || found) return Fail("a string file holds one line: text \"...\"", line.Number());
        if (!ReadQuoted(line, text, error)) return error ? error : Fail("expected: text \"...\"", line.Number());
        if (FormatError e = Finish(line, error)) return e;
        found = true;
    }
    if (error) return error;
    if (!found) return Fail("a string file holds one line: text \"...\"");
    out = text;
    return {};
}

}  // namespace plat
