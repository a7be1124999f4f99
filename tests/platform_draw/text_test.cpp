// Fonts and text on the framebuffer: metrics, extents that do not depend on the scale,
// alignment inside the rectangle, clipping, the Windows-1252 repertoire and the glyph cache.
#include <gtest/gtest.h>

#include <string>

#include "draw_test_support.h"
#include "platform/draw_private.h"
#include "platform/platform.h"

namespace {

using plat::Rect;
using plat::Size;

constexpr uint32_t Flags = plat::TextSingleLine | plat::TextNoPrefix;

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::draw::InitFramebuffer(1);
        bold = plat::CreateFont({13, 700});
        normal = plat::CreateFont({13, 300});
        surface = plat::draw::CreateScreenSurface(0, 0, Rect{0, 0, plat::ScreenWidth, plat::ScreenHeight});
        ASSERT_NE(bold, 0);
        ASSERT_NE(normal, 0);
        ASSERT_NE(surface, 0);
    }
    void TearDown() override {
        plat::DeleteSurface(surface);
        plat::DeleteFont(bold);
        plat::DeleteFont(normal);
    }
    // Draws text in a fresh white framebuffer at a scale and returns where its ink landed.
    Rect InkOf(int32_t scale, const char16_t* text, const Rect& rect, uint32_t flags) {
        plat::draw::InitFramebuffer(scale);
        plat::DrawText(surface, text, -1, rect, flags);
        return drawtest::InkBox();
    }
    plat::FontId bold = 0, normal = 0;
    plat::SurfaceId surface = 0;
};

TEST_F(TextTest, FontsHaveTheSizesTheLayoutIsMadeFor) {
    EXPECT_EQ(plat::ScreenDpiY(), 96);
    // The default window font sizes the controls: an edit box for 5 characters is
    // 2 * (5 * 6 + 1) = 62 pixels wide and 1.5 * 13 = 19 high.
    const plat::TextMetrics d = plat::DefaultFontMetrics();
    EXPECT_EQ(d.height, 13);
    EXPECT_EQ(d.averageWidth, 6);
    EXPECT_EQ(plat::GetTextMetrics(surface).height, 13) << "a new surface starts with the default font";

    plat::SelectFont(surface, normal);
    const plat::TextMetrics m = plat::GetTextMetrics(surface);
    EXPECT_GE(m.height, 13) << "a 13-pixel character height needs a cell at least as tall";
    EXPECT_LT(m.ascent, m.height);
    EXPECT_EQ(plat::GetTextExtent(surface, u"Mire", 4).height, m.height);

    const Size regular = plat::GetTextExtent(surface, u"The Mirewood Vow", -1);
    plat::SelectFont(surface, bold);
    EXPECT_GT(plat::GetTextExtent(surface, u"The Mirewood Vow", -1).width, regular.width)
        << "weight 700 picks the bold face";
}

TEST_F(TextTest, ExtentIsTheSameAtEveryScale) {
    const char16_t* texts[] = {u"The path narrows where the alders lean together, ", u"il", u"W",
                               u"\u201CKeep to the stones\u2026\u201D", u"caf\u00E9 \u00C6sir"};
    for (const plat::FontId font : {bold, normal, plat::draw::DefaultFont()}) {
        plat::SelectFont(surface, font);
        for (const char16_t* text : texts) {
            plat::draw::InitFramebuffer(1);
            const Size one = plat::GetTextExtent(surface, text, -1);
            EXPECT_GT(one.width, 0);
            for (int32_t scale = 2; scale <= 3; ++scale) {
                plat::draw::InitFramebuffer(scale);
                const Size scaled = plat::GetTextExtent(surface, text, -1);
                EXPECT_EQ(scaled.width, one.width) << "scale " << scale;
                EXPECT_EQ(scaled.height, one.height) << "scale " << scale;
            }
        }
    }
    // Count limits the characters measured; extents add up.
    plat::SelectFont(surface, normal);
    const int32_t ab = plat::GetTextExtent(surface, u"ab", 2).width;
    EXPECT_EQ(plat::GetTextExtent(surface, u"abcdef", 2).width, ab);
    EXPECT_EQ(plat::GetTextExtent(surface, u"a", 1).width + plat::GetTextExtent(surface, u"b", 1).width, ab);
    EXPECT_EQ(plat::GetTextExtent(surface, u"", -1).width, 0);
}

TEST_F(TextTest, NoPrefixProcessing) {
    plat::SelectFont(surface, normal);
    EXPECT_GT(plat::GetTextExtent(surface, u"&Menu", -1).width, plat::GetTextExtent(surface, u"Menu", -1).width);
    const Rect amp = InkOf(1, u"&", Rect{10, 10, 100, 30}, Flags);
    EXPECT_GT(amp.right, amp.left) << "an ampersand is drawn, not taken as a prefix";
}

TEST_F(TextTest, AlignmentPlacesTheLineInTheRectangle) {
    plat::SelectFont(surface, normal);
    const char16_t* text = u"Heron";
    const Size e = plat::GetTextExtent(surface, text, -1);
    const Rect rect{20, 40, 200, 80};
    struct Case {
        uint32_t flags;
        int32_t dx, dy;  // logical offset from the left, top placement
        const char* what;
    };
    const Case cases[] = {
        {plat::TextCenter, (180 - e.width) / 2, 0, "centred"},
        {plat::TextRight, 180 - e.width, 0, "right"},
        {plat::TextVCenter, 0, (40 - e.height) / 2, "vertically centred"},
        {plat::TextCenter | plat::TextVCenter, (180 - e.width) / 2, (40 - e.height) / 2, "centred both ways"},
    };
    for (int32_t scale = 1; scale <= 3; ++scale) {
        const Rect left = InkOf(scale, text, rect, Flags);
        ASSERT_GT(left.right, left.left);
        EXPECT_GE(left.left, rect.left * scale);
        EXPECT_GE(left.top, rect.top * scale);
        EXPECT_LE(left.right, (rect.left + e.width + 1) * scale) << "ink stays within the measured width";
        for (const Case& c : cases) {
            const Rect ink = InkOf(scale, text, rect, Flags | c.flags);
            EXPECT_EQ(ink.left - left.left, c.dx * scale) << c.what << " at scale " << scale;
            EXPECT_EQ(ink.top - left.top, c.dy * scale) << c.what << " at scale " << scale;
        }
    }
}

TEST_F(TextTest, TextStaysInsideItsRectangleAndTheClip) {
    plat::SelectFont(surface, bold);
    const char16_t* longText = u"A line far too long for the small rectangle it is given";
    const Rect rect{30, 50, 90, 56};  // narrower and lower than the text
    for (int32_t scale = 1; scale <= 3; ++scale) {
        plat::draw::InitFramebuffer(scale);
        const auto before = drawtest::Snapshot();
        plat::DrawText(surface, longText, -1, rect, Flags | plat::TextVCenter);
        EXPECT_EQ(drawtest::ChangesOutside(before, drawtest::Snapshot(), rect), 0) << "scale " << scale;
        EXPECT_GT(drawtest::InkBox().right, 0);

        // A surface with its origin moved and a clip that cuts the rectangle.
        const Rect clip{100, 100, 140, 110};
        const plat::SurfaceId clipped = plat::draw::CreateScreenSurface(90, 95, clip);
        plat::draw::InitFramebuffer(scale);
        const auto blank = drawtest::Snapshot();
        plat::DrawText(clipped, longText, -1, Rect{0, 0, 240, 30}, Flags);
        plat::FillRect(clipped, Rect{-50, -50, 300, 300}, 0x123456);
        plat::InvertRect(clipped, Rect{-50, -50, 300, 300});
        plat::FrameRect(clipped, Rect{-1, -1, 300, 300}, 0x00FF00);
        EXPECT_EQ(drawtest::ChangesOutside(blank, drawtest::Snapshot(), clip), 0) << "scale " << scale;
        EXPECT_EQ(drawtest::DevicePixel(100 * scale, 100 * scale), 0x123456u ^ 0xFFFFFFu);
        plat::DeleteSurface(clipped);
    }
}

TEST_F(TextTest, EveryWindows1252CharacterHasAGlyph) {
    char16_t wide[2];
    for (int32_t byte = 0x20; byte <= 0xFF; ++byte) {
        if (byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D)
            continue;  // no character in Windows-1252
        const char narrow[2] = {static_cast<char>(byte), 0};
        plat::Widen(narrow, wide, 2);
        for (const plat::FontId font : {bold, normal}) {
            EXPECT_TRUE(plat::draw::detail::HasGlyph(plat::draw::detail::FindFont(font), wide[0]))
                << "byte 0x" << std::hex << byte;
        }
    }
}

TEST_F(TextTest, DrawingIsTheSameAfterTheGlyphCacheFills) {
    plat::SelectFont(surface, normal);
    const Rect rect{4, 100, 236, 120};
    for (int32_t scale = 1; scale <= 3; ++scale) {
        plat::draw::InitFramebuffer(scale);
        plat::DrawText(surface, u"Keep to the stones\u2026", -1, rect, Flags);
        const auto first = drawtest::Snapshot();

        // Thousands of other glyphs push everything out of the cache more than once.
        std::u16string many;
        for (char16_t c = 0x100; c < 0x1F00; ++c) many.push_back(c);
        for (size_t at = 0; at < many.size(); at += 64)
            plat::DrawText(surface, many.c_str() + at, 64, Rect{0, 0, 240, 20}, Flags);

        plat::draw::InitFramebuffer(scale);
        plat::DrawText(surface, u"Keep to the stones\u2026", -1, rect, Flags);
        EXPECT_EQ(drawtest::Snapshot(), first) << "scale " << scale;
    }
}

TEST_F(TextTest, TablesRefuseOverflowAndStaleIds) {
    std::vector<plat::SurfaceId> surfaces;
    for (plat::SurfaceId s; (s = plat::CreateCompatibleSurface()) != 0;) surfaces.push_back(s);
    EXPECT_EQ(static_cast<int32_t>(surfaces.size()), plat::draw::MaxSurfaces - 1) << "the fixture holds one";
    EXPECT_EQ(plat::draw::CreateScreenSurface(0, 0, Rect{0, 0, 10, 10}), 0);
    ASSERT_TRUE(plat::DeleteSurface(surfaces.back()));
    EXPECT_FALSE(plat::DeleteSurface(surfaces.back())) << "a deleted surface is gone";
    const plat::SurfaceId again = plat::CreateCompatibleSurface();
    EXPECT_NE(again, 0);
    EXPECT_NE(again, surfaces.back()) << "a reused slot gets a new id";
    surfaces.back() = again;
    // A compatible surface measures in its font but has no pixels to draw on.
    plat::SelectFont(again, bold);
    EXPECT_EQ(plat::GetTextExtent(again, u"Ford", 4).width, plat::draw::MeasureText(bold, u"Ford", 4).width);
    plat::draw::InitFramebuffer(1);
    plat::DrawText(again, u"Ford", 4, Rect{0, 0, 100, 20}, Flags);
    plat::FillRect(again, Rect{0, 0, 100, 20}, 0);
    EXPECT_EQ(drawtest::InkBox().right, 0);
    for (const plat::SurfaceId s : surfaces) plat::DeleteSurface(s);

    std::vector<plat::FontId> fonts;
    for (plat::FontId f; (f = plat::CreateFont({13, 400})) != 0;) fonts.push_back(f);
    EXPECT_EQ(static_cast<int32_t>(fonts.size()), plat::draw::MaxFonts - 3) << "default, bold and normal are taken";
    plat::DeleteFont(fonts.back());
    EXPECT_EQ(plat::SelectFont(surface, fonts.back()), plat::draw::DefaultFont());
    EXPECT_EQ(plat::GetTextMetrics(surface).height, plat::DefaultFontMetrics().height)
        << "a deleted font measures as the default";
    for (const plat::FontId f : fonts) plat::DeleteFont(f);
    plat::DeleteFont(plat::draw::DefaultFont());
    EXPECT_EQ(plat::DefaultFontMetrics().height, 13) << "the default font cannot be deleted";
}

}  // namespace
