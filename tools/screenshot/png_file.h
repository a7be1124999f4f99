// PNG files of the screen for the screenshot tool and the golden-image test: writing a
// rectangle of the framebuffer at its scale, and reading an image back.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace screenshot {

struct Image {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, row after row
};

// The pixels of a logical screen rectangle at the framebuffer's scale.
Image CaptureScreen(const plat::Rect& screenRect);
// Writes an image as an 8-bit RGB PNG; false (with errno set by the system) on failure.
bool WritePng(const char* path, const Image& image);
// Reads a PNG of any colour type into out; false when it cannot be read.
bool ReadPng(const char* path, Image& out);

}  // namespace screenshot
