// Windows-1252 text to and from the 16-bit text of the platform interface. The book and the
// program's own texts are 8-bit; every caller that hands them to the platform widens here.
#include <cstdint>

#include "platform/platform.h"

namespace plat {
namespace {

// Bytes 0x80..0x9F; the five bytes that Windows-1252 leaves undefined map to themselves.
constexpr char16_t HighControlBlock[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t WidenByte(char byte) {
    const auto b = static_cast<uint8_t>(byte);
    if (b >= 0x80 && b < 0xA0) return HighControlBlock[b - 0x80];
    return b;
}

char NarrowCharacter(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int32_t i = 0; i < 32; ++i) {
        if (HighControlBlock[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

int32_t Widen(const char* text, char16_t* out, int32_t capacity) {
    if (capacity <= 0) return 0;
    int32_t n = 0;
    while (text[n] != 0 && n < capacity - 1) {
        out[n] = WidenByte(text[n]);
        ++n;
    }
    out[n] = 0;
    return n;
}

void WidenCount(const char* text, int32_t count, char16_t* out) {
    for (int32_t i = 0; i < count; ++i) out[i] = WidenByte(text[i]);
    out[count < 0 ? 0 : count] = 0;
}

int32_t Narrow(const char16_t* text, char* out, int32_t capacity) {
    if (capacity <= 0) return 0;
    int32_t n = 0;
    while (text[n] != 0 && n < capacity - 1) {
        out[n] = NarrowCharacter(text[n]);
        ++n;
    }
    out[n] = 0;
    return n;
}

}  // namespace plat
