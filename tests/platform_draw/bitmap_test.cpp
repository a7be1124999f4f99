// Bitmap resources: decoding at each bit depth, refusing malformed files without reading
// past their bytes, handles and the decoded cache, cells of a strip, and drawing at scale.
#include <gtest/gtest.h>

#include "draw_test_support.h"
#include "platform/platform.h"

namespace {

using plat::Rect;

constexpr uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Black = 0x000000;

class BitmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::draw::InitFramebuffer(1);
        surface = plat::draw::CreateScreenSurface(0, 0, Rect{0, 0, plat::ScreenWidth, plat::ScreenHeight});
    }
    void TearDown() override {
        plat::DeleteSurface(surface);
        drawtest::ClearBitmaps();
    }
    // Reads the w x h logical pixels at (x, y), top row first.
    static std::vector<uint32_t> Read(int32_t x, int32_t y, int32_t w, int32_t h) {
        const int32_t s = plat::draw::Scale();
        std::vector<uint32_t> out;
        for (int32_t j = 0; j < h; ++j)
            for (int32_t i = 0; i < w; ++i) out.push_back(drawtest::DevicePixel((x + i) * s, (y + j) * s));
        return out;
    }
    plat::SurfaceId surface = 0;
};

// A 3 x 2 image (rows padded at every depth) with a colour per pixel.
const std::vector<uint32_t> Expected = {Red, Green, Blue, Black, Blue, Red};

TEST_F(BitmapTest, DecodesEveryBitDepth) {
    struct Case {
        int32_t bits;
        std::vector<uint32_t> palette;
        std::vector<uint32_t> pixels;  // palette indices, or colours at 24 bits
    };
    // Two-colour and sixteen-colour palettes cannot hold every colour: the 1-bit case
    // uses its own pair.
    const std::vector<uint32_t> pal = {Black, Red, Green, Blue};
    const Case cases[] = {
        {4, pal, {1, 2, 3, 0, 3, 1}},
        {8, pal, {1, 2, 3, 0, 3, 1}},
        {24, {}, Expected},
    };
    std::vector<std::vector<uint8_t>> files;
    int32_t id = 100;
    for (const Case& c : cases) files.push_back(drawtest::MakeBmp(3, 2, c.bits, c.palette, c.pixels));
    files.push_back(drawtest::MakeBmp(10, 2, 1, {Black, Red}, {1, 0, 1, 0, 1, 0, 1, 0, 1, 1,  //
                                                                0, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
    for (const auto& f : files) drawtest::AddBitmap(id++, f);

    for (int32_t scale = 1; scale <= 3; ++scale) {
        plat::draw::InitFramebuffer(scale);
        for (int32_t i = 0; i < 3; ++i) {
            const plat::BitmapId b = plat::LoadBitmap(100 + i);
            ASSERT_NE(b, 0) << cases[i].bits << " bits";
            plat::Size size{};
            ASSERT_TRUE(plat::GetBitmapSize(b, size));
            EXPECT_EQ(size.width, 3);
            EXPECT_EQ(size.height, 2);
            plat::DrawBitmap(surface, b, 10, 20 + 5 * i);
            EXPECT_EQ(Read(10, 20 + 5 * i, 3, 2), Expected) << cases[i].bits << " bits, scale " << scale;
            EXPECT_TRUE(plat::ReleaseBitmap(b));
        }
        const plat::BitmapId mono = plat::LoadBitmap(103);
        ASSERT_NE(mono, 0);
        plat::DrawBitmap(surface, mono, 50, 50);
        const std::vector<uint32_t> row0 = {Red, Black, Red, Black, Red, Black, Red, Black, Red, Red};
        const std::vector<uint32_t> row1 = {Black, Black, Black, Black, Black, Black, Black, Black, Red, Black};
        EXPECT_EQ(Read(50, 50, 10, 1), row0) << "1 bit, scale " << scale;
        EXPECT_EQ(Read(50, 51, 10, 1), row1) << "1 bit, bits past the first byte, scale " << scale;
        plat::ReleaseBitmap(mono);
    }
}

TEST_F(BitmapTest, RefusesMalformedFiles) {
    const auto good = drawtest::MakeBmp(3, 2, 8, {Black, Red, Green, Blue}, {1, 2, 3, 0, 3, 1});
    const auto patch = [&](size_t at, std::vector<uint8_t> bytes) {
        auto f = good;
        for (size_t i = 0; i < bytes.size(); ++i) f[at + i] = bytes[i];
        return f;
    };
    const auto cut = [&](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(size)); };
    struct Case {
        std::vector<uint8_t> bytes;
        const char* what;
    };
    const Case cases[] = {
        {cut(good.size() - 1), "pixel rows cut short"},
        {cut(14 + 20), "header cut short"},
        {cut(14 + 40 + 8), "palette cut short"},
        {cut(0), "no bytes"},
        {patch(30, {1, 0, 0, 0}), "run-length compressed"},
        {patch(22, {0xFE, 0xFF, 0xFF, 0xFF}), "top-down (negative height)"},
        {patch(18, {0xA0, 0x86, 0x01, 0x00}), "absurd width"},
        {patch(22, {0x00, 0x00, 0x00, 0x40}), "absurd height"},
        {patch(18, {0, 0, 0, 0}), "zero width"},
        {patch(28, {16, 0}), "16 bits per pixel"},
        {patch(28, {32, 0}), "32 bits per pixel"},
        {patch(26, {2, 0}), "two planes"},
        {patch(46, {0, 1, 0, 0}), "palette larger than the depth allows"},
        {patch(10, {0xFF, 0xFF, 0, 0}), "pixel offset past the end"},
        {patch(10, {20, 0, 0, 0}), "pixel offset inside the header"},
        {patch(14, {0xFF, 0xFF, 0xFF, 0x7F}), "header size past the end"},
    };
    int32_t id = 200;
    for (const Case& c : cases) {
        // Exact-size copies, so that a read past the end is caught by the sanitizer build.
        std::vector<uint8_t> exact(c.bytes);
        drawtest::AddBitmap(id, exact);
        EXPECT_EQ(plat::LoadBitmap(id), 0) << c.what;
        drawtest::ClearBitmaps();
        ++id;
    }
    EXPECT_EQ(plat::LoadBitmap(299), 0) << "no such resource";
    EXPECT_EQ(plat::LoadBitmap(0), 0);
    plat::Size size{};
    EXPECT_FALSE(plat::GetBitmapSize(0, size));
    EXPECT_FALSE(plat::ReleaseBitmap(12345));
}

TEST_F(BitmapTest, HandlesShareTheDecodedBitmap) {
    const auto file = drawtest::MakeBmp(3, 2, 24, {}, Expected);
    drawtest::AddBitmap(300, file);
    const plat::BitmapId a = plat::LoadBitmap(300), b = plat::LoadBitmap(300);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b) << "each load is released on its own";
    EXPECT_EQ(plat::draw::BitmapResourceId(a), 300);
    EXPECT_TRUE(plat::ReleaseBitmap(a));
    EXPECT_FALSE(plat::ReleaseBitmap(a)) << "released twice";
    EXPECT_EQ(plat::draw::BitmapResourceId(a), 0);
    plat::DrawBitmap(surface, a, 0, 0);
    EXPECT_EQ(drawtest::InkBox().right, 0) << "a released bitmap draws nothing";
    plat::DrawBitmap(surface, b, 0, 0);
    EXPECT_EQ(Read(0, 0, 3, 2), Expected);
    EXPECT_TRUE(plat::ReleaseBitmap(b));

    // The handle table is fixed: one load too many fails, a release makes room again.
    std::vector<plat::BitmapId> held;
    for (plat::BitmapId h; (h = plat::LoadBitmap(300)) != 0;) held.push_back(h);
    EXPECT_EQ(static_cast<int32_t>(held.size()), plat::draw::MaxBitmaps);
    plat::ReleaseBitmap(held.back());
    held.back() = plat::LoadBitmap(300);
    EXPECT_NE(held.back(), 0);
    for (const plat::BitmapId h : held) plat::ReleaseBitmap(h);
}

TEST_F(BitmapTest, CacheMakesRoomByDroppingUnheldBitmaps) {
    // Three large bitmaps that do not fit the cache together: the one released goes.
    const int32_t side = 900;
    std::vector<uint32_t> pixels(static_cast<size_t>(side * side));
    std::vector<std::vector<uint8_t>> files;
    for (uint32_t colour : {Red, Green, Blue}) {
        std::fill(pixels.begin(), pixels.end(), colour);
        pixels[0] = Black;  // the top-left corner marks the orientation
        files.push_back(drawtest::MakeBmp(side, side, 24, {}, pixels));
    }
    for (int32_t i = 0; i < 3; ++i) drawtest::AddBitmap(400 + i, files[static_cast<size_t>(i)]);
    const plat::BitmapId red = plat::LoadBitmap(400);
    ASSERT_NE(red, 0);
    const plat::BitmapId green = plat::LoadBitmap(401);
    ASSERT_NE(green, 0);
    const plat::BitmapId blue = plat::LoadBitmap(402);
    EXPECT_EQ(blue, 0) << "no room while both others are held";
    plat::ReleaseBitmap(red);
    const plat::BitmapId blue2 = plat::LoadBitmap(402);
    ASSERT_NE(blue2, 0);
    for (const auto& [bitmap, colour] : {std::pair{green, Green}, std::pair{blue2, Blue}}) {
        plat::DrawBitmap(surface, bitmap, -10, -10);
        EXPECT_EQ(Read(0, 0, 2, 1), (std::vector<uint32_t>{colour, colour}));
        plat::DrawBitmap(surface, bitmap, 5, 5);
        EXPECT_EQ(Read(5, 5, 2, 1), (std::vector<uint32_t>{Black, colour}));
    }
    plat::ReleaseBitmap(green);
    plat::ReleaseBitmap(blue2);
}

TEST_F(BitmapTest, DrawsOneCellOfAStripClipped) {
    // Three 2 x 1 cells: red red | green green | blue blue.
    const auto file = drawtest::MakeBmp(6, 1, 24, {}, {Red, Red, Green, Green, Blue, Blue});
    drawtest::AddBitmap(500, file);
    const plat::BitmapId strip = plat::LoadBitmap(500);
    ASSERT_NE(strip, 0);
    for (int32_t scale = 1; scale <= 3; ++scale) {
        plat::draw::InitFramebuffer(scale);
        plat::DrawBitmapCell(surface, strip, 1, 2, 30, 40);
        EXPECT_EQ(Read(29, 40, 4, 1), (std::vector<uint32_t>{drawtest::White, Green, Green, drawtest::White}));
        const auto before = drawtest::Snapshot();
        plat::DrawBitmapCell(surface, strip, 3, 2, 30, 40);
        plat::DrawBitmapCell(surface, strip, -1, 2, 30, 40);
        plat::DrawBitmapCell(surface, strip, 0, 0, 30, 40);
        EXPECT_EQ(drawtest::Snapshot(), before) << "cells outside the strip draw nothing";

        const plat::SurfaceId clipped = plat::draw::CreateScreenSurface(100, 100, Rect{101, 100, 102, 101});
        plat::DrawBitmap(clipped, strip, 0, 0);
        EXPECT_EQ(drawtest::ChangesOutside(before, drawtest::Snapshot(), Rect{101, 100, 102, 101}), 0);
        EXPECT_EQ(Read(101, 100, 1, 1), std::vector<uint32_t>{Red});
        plat::DeleteSurface(clipped);
    }
    plat::ReleaseBitmap(strip);
}

}  // namespace
