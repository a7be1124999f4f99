// The headless device's screen hooks: the framebuffer's scale, its pixels and PNG copies.
// Kept apart from headless.cpp so that a test that never looks at the screen does not
// pull the drawing in.
#include "platform/draw_internal.h"
#include "platform/headless/headless.h"

namespace headless {

void SetScale(int32_t scale) { plat::draw::InitFramebuffer(scale); }

uint32_t PixelAt(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= plat::ScreenWidth || y >= plat::ScreenHeight) return 0;
    const int32_t s = plat::draw::Scale();
    return plat::draw::Pixels()[static_cast<size_t>(y * s) * static_cast<size_t>(plat::draw::PixelWidth()) +
                                static_cast<size_t>(x * s)] & 0xFFFFFF;
}

bool SavePng(const char* path) { return plat::draw::WritePng(path); }

}  // namespace headless
