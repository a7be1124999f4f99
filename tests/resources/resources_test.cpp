// The reader's own resources as the program links them: the committed images have the
// sizes, depths and layout the shell relies on, the menu and command-bar sources read as
// the shell expects, and FindResource finds program and book resources and nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/resource_formats.h"
#include "platform/resources.h"

using plat::FindResource;
using plat::ResourceType;

namespace {

std::string Str(plat::TextView t) { return std::string(t.text, static_cast<size_t>(t.length)); }

plat::BitmapView Bitmap(int32_t id) {
    const plat::ResourceEntry* e = FindResource(ResourceType::Bitmap, id);
    plat::BitmapView v;
    if (!e) {
        ADD_FAILURE() << "bitmap " << id << " is missing";
        return v;
    }
    const plat::FormatError error = plat::ReadBitmap(e->data, e->size, v);
    EXPECT_FALSE(error) << "bitmap " << id << ": " << error.message;
    return v;
}

// Reads pixel (x, y), y counted from the top, as 0xRRGGBB.
uint32_t Pixel(const plat::BitmapView& b, int x, int y) {
    const uint8_t* row = b.pixels + static_cast<size_t>(b.height - 1 - y) * b.stride;
    if (b.bitsPerPixel == 24) return uint32_t{row[x * 3 + 2]} << 16 | uint32_t{row[x * 3 + 1]} << 8 | row[x * 3];
    const int index = b.bitsPerPixel == 8 ? row[x] : (row[x / 8] >> (7 - x % 8)) & 1;
    const uint8_t* p = b.palette + index * 4;
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

TEST(ProgramBitmaps, HaveTheSizesAndDepthsTheShellUses) {
    struct Row {
        int32_t id, width, height, bitsPerPixel;
    };
    const Row rows[] = {
        {421, 112, 16, 1},  {1100, 159, 134, 8}, {1101, 191, 21, 24}, {1102, 276, 21, 24}, {1103, 250, 23, 24},
        {1104, 223, 40, 24}, {1105, 227, 21, 24}, {1106, 211, 22, 24}, {1864, 200, 240, 8},
    };
    for (const Row& r : rows) {
        const plat::BitmapView b = Bitmap(r.id);
        EXPECT_EQ(b.width, r.width) << r.id;
        EXPECT_EQ(b.height, r.height) << r.id;
        EXPECT_EQ(b.bitsPerPixel, r.bitsPerPixel) << r.id;
        EXPECT_EQ(b.paletteCount, r.bitsPerPixel == 24 ? 0 : 1 << r.bitsPerPixel) << r.id;
    }
}

// Seven 16 x 16 cells: 0 to 5 carry ink (black), cell 6 is blank (white).
TEST(ProgramBitmaps, CommandBarStripHasSixDrawnCellsAndABlankOne) {
    const plat::BitmapView strip = Bitmap(421);
    ASSERT_EQ(strip.width, 112);
    for (int cell = 0; cell < 7; ++cell) {
        int ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t p = Pixel(strip, cell * 16 + x, y);
                ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << "cell " << cell;
                ink += p == 0;
            }
        if (cell == 6)
            EXPECT_EQ(ink, 0) << "the blank cell";
        else
            EXPECT_GT(ink, 20) << "cell " << cell;
    }
}

// Each guide image shows a command-bar button with the same cell as the strip, vertically
// centred at the left (a 20 x 20 button with the cell inset by 2), then its caption.
TEST(ProgramBitmaps, ButtonGuideImagesShowTheStripsCells) {
    const plat::BitmapView strip = Bitmap(421);
    const struct {
        int32_t id, cell;
    } guide[] = {{1101, 0}, {1102, 1}, {1103, 2}, {1104, 3}, {1105, 4}, {1106, 5}};
    for (const auto& g : guide) {
        const plat::BitmapView image = Bitmap(g.id);
        const int top = (image.height - 20) / 2 + 2;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool stripInk = Pixel(strip, g.cell * 16 + x, y) == 0;
                const bool guideInk = Pixel(image, 2 + x, top + y) == 0;
                ASSERT_EQ(stripInk, guideInk) << "bitmap " << g.id << " at " << x << "," << y;
            }
        int captionInk = 0;  // the caption is dark text right of the button
        for (int y = 0; y < image.height; ++y)
            for (int x = 24; x < image.width; ++x) captionInk += Pixel(image, x, y) < 0x404040;
        EXPECT_GT(captionInk, 100) << "bitmap " << g.id;
    }
}

TEST(ProgramBitmaps, TitlePictureFitsThePage) {
    const plat::BitmapView title = Bitmap(1864);
    EXPECT_LE(title.width, 227);
    EXPECT_LE(title.height, 397);
}

TEST(ProgramResources, MenuHasTheNineItems) {
    const plat::ResourceEntry* e = FindResource(ResourceType::Menu, 102);
    ASSERT_NE(e, nullptr);
    plat::MenuView menu;
    ASSERT_FALSE(plat::ReadMenu(e->data, e->size, menu));
    EXPECT_EQ(Str(menu.popup), "&Menu");
    const struct {
        int32_t command;
        const char* text;
    } items[] = {{500, "Start at the &Beginning"}, {501, "&Information"}, {502, "&Restart"},
                 {503, "&Objective"},               {504, "&Sounds"},      {506, "&Hints"},
                 {507, "&About ..."},               {508, "&Credits"},     {509, "&Exit"}};
    ASSERT_EQ(menu.itemCount, 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(menu.items[i].command, items[i].command) << i;
        EXPECT_EQ(Str(menu.items[i].text), items[i].text) << i;
    }
}

TEST(ProgramResources, CommandBarHasTheElevenButtons) {
    const plat::ResourceEntry* e = FindResource(ResourceType::MenuBar, 102);
    ASSERT_NE(e, nullptr);
    plat::MenuBarView bar;
    ASSERT_FALSE(plat::ReadMenuBar(e->data, e->size, bar));
    EXPECT_EQ(bar.menuId, 102);
    EXPECT_EQ(bar.bitmapId, 421);
    EXPECT_EQ(bar.imageCount, 6);
    const plat::MenuBarButton buttons[] = {
        {401, -1, 411, true}, {513, 0, -1, false}, {502, 1, -1, false}, {501, 2, -1, false},
        {516, 6, -1, false},  {516, 6, -1, false}, {510, 3, -1, false}, {514, 6, -1, false},
        {512, 4, -1, false},  {515, 6, -1, false}, {511, 5, -1, false},
    };
    ASSERT_EQ(bar.buttonCount, 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(bar.buttons[i].command, buttons[i].command) << "button " << i + 1;
        EXPECT_EQ(bar.buttons[i].cell, buttons[i].cell) << "button " << i + 1;
        EXPECT_EQ(bar.buttons[i].stringId, buttons[i].stringId) << "button " << i + 1;
        EXPECT_EQ(bar.buttons[i].dropDown, buttons[i].dropDown) << "button " << i + 1;
    }
    const plat::ResourceEntry* caption = FindResource(ResourceType::String, bar.buttons[0].stringId);
    ASSERT_NE(caption, nullptr);
    plat::TextView text;
    ASSERT_FALSE(plat::ReadString(caption->data, caption->size, text));
    EXPECT_EQ(Str(text), "Menu");
}

TEST(ProgramResources, IconHasA16And32PixelImageOf256Colours) {
    const plat::ResourceEntry* e = FindResource(ResourceType::Icon, 420);
    ASSERT_NE(e, nullptr);
    int32_t count = 0;
    ASSERT_FALSE(plat::ReadIcon(e->data, e->size, count));
    ASSERT_EQ(count, 2);
    for (int32_t i = 0; i < 2; ++i) {
        plat::IconImageView image;
        ASSERT_FALSE(plat::ReadIconImage(e->data, e->size, i, image));
        EXPECT_EQ(image.width, i == 0 ? 16 : 32);
        EXPECT_EQ(image.height, image.width);
        EXPECT_EQ(image.bitsPerPixel, 8);
        EXPECT_EQ(image.paletteCount, 256);
    }
}

TEST(FindResource, FindsProgramAndBookResourcesAndNothingElse) {
    // The test book (book/) brings picture 1701 and the sound TEST_TONE.
    const plat::ResourceEntry* picture = FindResource(ResourceType::Bitmap, 1701);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(std::memcmp(picture->data, "BM", 2), 0);
    const plat::ResourceEntry* sound = FindResource(ResourceType::Wave, "TEST_TONE");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->id, -1);
    EXPECT_EQ(std::memcmp(sound->data, "RIFF", 4), 0);

    EXPECT_EQ(FindResource(ResourceType::Bitmap, 9999), nullptr);
    EXPECT_EQ(FindResource(ResourceType::Bitmap, 102), nullptr) << "menu 102 is not a bitmap";
    EXPECT_EQ(FindResource(ResourceType::String, 412), nullptr);
    EXPECT_EQ(FindResource(ResourceType::Wave, "test_tone"), nullptr) << "names compare exactly";
    EXPECT_EQ(FindResource(ResourceType::Wave, "TEST"), nullptr);
    EXPECT_EQ(FindResource(ResourceType::Wave, static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(FindResource(ResourceType::Wave, -1), nullptr) << "a named resource has no id";
}

}  // namespace
