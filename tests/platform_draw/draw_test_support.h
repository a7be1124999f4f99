// Helpers shared by the drawing tests: reading the framebuffer back, finding where ink
// landed, building tiny bitmap files and serving them as bitmap resources.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/draw_internal.h"

namespace drawtest {

inline constexpr uint32_t White = 0xFFFFFF;

// The device pixels of the whole framebuffer, copied.
std::vector<uint32_t> Snapshot();
// The device pixel at (x, y).
uint32_t DevicePixel(int32_t x, int32_t y);
// The smallest device rectangle holding every pixel that is not white; empty when none.
plat::Rect InkBox();
// Device pixels that differ between two snapshots outside the logical rectangle keep.
int32_t ChangesOutside(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after,
                       const plat::Rect& keep);

// A bottom-up DIB with a file header: rows are given top row first, one palette index (or
// 0xRRGGBB colour at 24 bits) per pixel.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, int32_t bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint32_t>& pixels);

// Serves bytes as bitmap resource id until ClearBitmaps; the bytes must outlive that. Give
// every bitmap of the test program its own id: decoded bitmaps are cached by id.
void AddBitmap(int32_t id, const std::vector<uint8_t>& bytes);
void ClearBitmaps();

}  // namespace drawtest
