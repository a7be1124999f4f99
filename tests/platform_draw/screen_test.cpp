// The framebuffer itself: inversion, scrolling, 1-bit chrome images, the changed region and
// the PNG writer.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>

#include "draw_test_support.h"
#include "platform/platform.h"

namespace {

using plat::Rect;

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::draw::InitFramebuffer(1);
        surface = plat::draw::CreateScreenSurface(0, 0, Rect{0, 0, plat::ScreenWidth, plat::ScreenHeight});
    }
    void TearDown() override { plat::DeleteSurface(surface); }
    plat::SurfaceId surface = 0;
};

TEST_F(ScreenTest, InvertingTwiceRestores) {
    for (int32_t scale = 1; scale <= 3; ++scale) {
        plat::draw::InitFramebuffer(scale);
        plat::FillRect(surface, Rect{0, 0, 120, 30}, 0x336699);
        plat::SetTextColor(surface, 0x000000);
        plat::DrawText(surface, u"Title", -1, Rect{4, 0, 236, 20}, plat::TextVCenter);
        const auto before = drawtest::Snapshot();
        plat::InvertRect(surface, Rect{0, 0, 240, 20});
        EXPECT_EQ(drawtest::DevicePixel(0, 0), 0x336699u ^ 0xFFFFFFu);
        EXPECT_EQ(drawtest::DevicePixel(239 * scale, 19 * scale), 0x000000u) << "white becomes black";
        EXPECT_EQ(drawtest::ChangesOutside(before, drawtest::Snapshot(), Rect{0, 0, 240, 20}), 0);
        plat::InvertRect(surface, Rect{0, 0, 240, 20});
        EXPECT_EQ(drawtest::Snapshot(), before) << "scale " << scale;
    }
}

TEST_F(ScreenTest, ScrollMovesRowsWithinTheRectangle) {
    for (int32_t scale = 1; scale <= 3; ++scale) {
        plat::draw::InitFramebuffer(scale);
        plat::FillRect(surface, Rect{10, 100, 20, 101}, 0xFF0000);
        plat::FillRect(surface, Rect{10, 50, 20, 51}, 0x00FF00);  // outside the scrolled rectangle
        plat::draw::ScrollScreenRect(Rect{0, 60, 240, 200}, -30);
        EXPECT_EQ(drawtest::DevicePixel(10 * scale, 70 * scale), 0xFF0000u) << "moved up by 30";
        EXPECT_EQ(drawtest::DevicePixel(10 * scale, 50 * scale), 0x00FF00u) << "untouched outside";
        plat::draw::ScrollScreenRect(Rect{0, 60, 240, 200}, 100);
        EXPECT_EQ(drawtest::DevicePixel(10 * scale, 170 * scale), 0xFF0000u) << "moved down by 100";
        plat::draw::ScrollScreenRect(Rect{0, 60, 240, 200}, 500);  // farther than its height
        EXPECT_EQ(drawtest::DevicePixel(10 * scale, 170 * scale), 0xFF0000u);
    }
}

TEST_F(ScreenTest, MonoImagesAndTheChangedRegion) {
    plat::draw::TakeChangedRect();
    // A 9 x 2 image: a corner bit and a bit in the second byte of each row.
    const uint8_t rows[] = {0x80, 0x80, 0x00, 0x80};
    plat::draw::DrawMonoImage(surface, rows, 9, 2, 5, 6, 0x0000FF);
    EXPECT_EQ(drawtest::DevicePixel(5, 6), 0x0000FFu);
    EXPECT_EQ(drawtest::DevicePixel(13, 6), 0x0000FFu);
    EXPECT_EQ(drawtest::DevicePixel(13, 7), 0x0000FFu);
    EXPECT_EQ(drawtest::DevicePixel(6, 6), drawtest::White);
    const Rect changed = plat::draw::TakeChangedRect();
    EXPECT_EQ(changed.left, 5);
    EXPECT_EQ(changed.bottom, 8);
    EXPECT_EQ(plat::draw::TakeChangedRect().right, 0) << "taking it empties it";
}

TEST_F(ScreenTest, WritesThePixelsAsPng) {
    plat::draw::InitFramebuffer(2);
    plat::FillRect(surface, Rect{1, 2, 3, 4}, 0x123456);
    const std::string path = ::testing::TempDir() + "draw_screen_test.png";
    ASSERT_TRUE(plat::draw::WritePng(path.c_str()));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    EXPECT_EQ(image.width, 480u);
    EXPECT_EQ(image.height, 640u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    const auto at = [&](int32_t x, int32_t y) {
        const size_t i = (static_cast<size_t>(y) * 480 + static_cast<size_t>(x)) * 3;
        return static_cast<uint32_t>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    };
    EXPECT_EQ(at(2, 4), 0x123456u);
    EXPECT_EQ(at(5, 7), 0x123456u);
    EXPECT_EQ(at(6, 4), 0xFFFFFFu);
    std::remove(path.c_str());
    EXPECT_FALSE(plat::draw::WritePng((::testing::TempDir() + "no-such-folder/x.png").c_str()));
}

}  // namespace
