// The two faces of the reader's font, embedded in the program at build time from the files
// that platform/CMakeLists.txt names (MIREWOOD_FONT_REGULAR, MIREWOOD_FONT_BOLD). Read by
// font.cpp, which hands the bytes to FreeType.
#include "platform/draw_private.h"

#define MIREWOOD_EMBED(symbol, path)                                                  \
    ".section .rodata\n.balign 16\n.globl " symbol "\n.hidden " symbol "\n" symbol ":\n" \
    ".incbin \"" path "\"\n.globl " symbol "_end\n.hidden " symbol "_end\n" symbol "_end:\n.previous\n"

asm(MIREWOOD_EMBED("mirewood_font_regular", MIREWOOD_FONT_REGULAR));
asm(MIREWOOD_EMBED("mirewood_font_bold", MIREWOOD_FONT_BOLD));

extern "C" const uint8_t mirewood_font_regular[], mirewood_font_regular_end[];
extern "C" const uint8_t mirewood_font_bold[], mirewood_font_bold_end[];

namespace plat::draw::detail {

FontFile EmbeddedFontFile(Face face) {
    if (face == BoldFace)
        return FontFile{mirewood_font_bold, static_cast<size_t>(mirewood_font_bold_end - mirewood_font_bold)};
    return FontFile{mirewood_font_regular, static_cast<size_t>(mirewood_font_regular_end - mirewood_font_regular)};
}

}  // namespace plat::draw::detail
