// The page tests' fixture: a page window on the headless device with the draw recorder on,
// display lists built by hand and laid out without a rebuild, and the recorded draws read
// back in client coordinates.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace pagetest {

struct DrawnText {
    std::u16string text;
    plat::Rect rect;  // client coordinates
    uint32_t flags;
    plat::FontId font;
};

struct DrawnBitmap {
    int32_t resourceId;
    int32_t x, y;  // client coordinates
};

class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a display list of the test's own: empty list and controls, a fresh pen.
    void StartPage();
    // Lays the display list out and draws it, as a repaint does (no rebuild).
    void Paint();
    // Shows a paragraph of the fixture book: rebuilt and painted.
    void Show(int16_t paragraph);

    // Adds a button of the given size to the page, with a real child window.
    plat::WindowId AddButton(int16_t width, int16_t height, bool picture = false);
    plat::WindowId AddEditBox(int16_t width, int16_t height);
    // Where a control is now, in client coordinates.
    plat::Rect ControlRect(plat::WindowId control) const;

    // The page's own text draws (in the page fonts) since the last paint.
    std::vector<DrawnText> Texts() const;
    std::vector<DrawnBitmap> Bitmaps() const;
    std::vector<plat::Rect> Inversions() const;

    // Width of a narrow text in a page font, as the layout measures it.
    int32_t Width(const char* text, bool bold = false) const;
    int32_t Height(const char* text, bool bold = false) const;

    plat::WindowId window = plat::NoWindow;
    plat::Rect origin = {};  // the client area on the screen
    plat::SurfaceId measure = 0;
};

std::string Narrow(const std::u16string& text);

}  // namespace pagetest
