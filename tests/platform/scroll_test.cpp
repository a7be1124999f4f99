// The scroll bar's clamping and input, and scrolling a window's pixels and children.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/recorder.h"

namespace {

using namespace testing_platform;

plat::ScrollInfo Range(int32_t maximum, int32_t page, int32_t position) {
    return plat::ScrollInfo{plat::ScrollAll | plat::ScrollDisableNoScroll, 0, maximum, page, position, 0};
}

TEST_F(PlatformTest, ScrollPositionIsClampedToMaximumLessPagePlusOne) {
    const plat::WindowId main = CreateMain();
    struct Case {
        int32_t maximum, page, position, expected;
        const char* what;
    };
    const Case cases[] = {
        {726, 242, 16, 16, "line down from the top"},
        {726, 242, 258, 258, "page down from there"},
        {726, 242, 726, 485, "bottom of a 500-pixel page"},
        {726, 242, -16, 0, "line up at the top"},
        {484, 242, 484, 243, "content of exactly two pages"},
        {241, 242, 100, 0, "nothing to scroll"},
        {400, 0, 400, 400, "no page"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::SetScrollInfo(main, Range(c.maximum, c.page, c.position), true), c.expected) << c.what;
        EXPECT_EQ(plat::GetScrollInfo(main).position, c.expected) << c.what;
    }
    // Changing the page alone clamps the position again.
    plat::SetScrollInfo(main, Range(726, 242, 485), true);
    EXPECT_EQ(plat::SetScrollInfo(main, plat::ScrollInfo{plat::ScrollPage, 0, 0, 300, 0, 0}, true), 427);
    const plat::ScrollInfo info = plat::GetScrollInfo(main);
    EXPECT_EQ(info.maximum, 726);
    EXPECT_EQ(info.page, 300);
}

TEST_F(PlatformTest, ScrollBarTapsBecomeScrollMessages) {
    const plat::WindowId main = CreateMain();
    plat::SetScrollInfo(main, Range(726, 242, 0), true);
    headless::PumpMessages();
    Log().clear();
    const int32_t barX = 240 - 6;
    headless::Tap(barX, 26 + 5);          // up arrow
    headless::Tap(barX, 26 + 268 - 5);    // down arrow
    headless::Tap(barX, 26 + 200);        // track below the thumb
    headless::PumpMessages();
    std::vector<uint32_t> codes;
    for (const Seen& s : SeenOf(plat::MsgVScroll)) codes.push_back(static_cast<uint32_t>(s.wParam & 0xFFFF));
    EXPECT_EQ(codes, (std::vector<uint32_t>{plat::ScrollLineUp, plat::ScrollEnd, plat::ScrollLineDown, plat::ScrollEnd,
                                            plat::ScrollPageDown, plat::ScrollEnd}));
    EXPECT_TRUE(SeenOf(plat::MsgLButtonDown).empty()) << "the bar is not the client area";

    // With nothing to scroll the bar is disabled: taps do nothing.
    plat::SetScrollInfo(main, Range(241, 242, 0), true);
    Log().clear();
    headless::Tap(barX, 26 + 268 - 5);
    headless::PumpMessages();
    EXPECT_TRUE(SeenOf(plat::MsgVScroll).empty());
}

TEST_F(PlatformTest, HoldingAnArrowRepeatsItsStepUntilRelease) {
    const plat::WindowId main = CreateMain();
    plat::SetScrollInfo(main, Range(726, 242, 0), true);
    headless::PumpMessages();
    Log().clear();
    headless::PointerDown(240 - 6, 26 + 268 - 5);
    headless::AdvanceClock(1000);  // first repeat after 400 ms, then every 100 ms
    headless::PointerUp(240 - 6, 26 + 268 - 5);
    headless::AdvanceClock(1000);
    const auto scrolls = SeenOf(plat::MsgVScroll);
    ASSERT_EQ(scrolls.size(), 9u);
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(scrolls[i].wParam, plat::ScrollLineDown) << i;
    EXPECT_EQ(scrolls[8].wParam, plat::ScrollEnd);
    EXPECT_TRUE(SeenOf(plat::MsgTimer).empty()) << "the repeat is the window system's own timer";
}

TEST_F(PlatformTest, DraggingTheThumbReportsTrackPositions) {
    const plat::WindowId main = CreateMain();
    plat::SetScrollInfo(main, Range(726, 242, 0), true);
    headless::PumpMessages();
    Log().clear();
    const int32_t barX = 240 - 6;
    const int32_t thumbY = 26 + 13 + 4;  // the thumb starts just below the up arrow
    headless::PointerDown(barX, thumbY);
    headless::PointerMove(barX, thumbY + 40);
    headless::PointerMove(barX, 26 + 400);  // far past the bottom
    headless::PointerUp(barX, 26 + 400);
    headless::PumpMessages();
    const auto scrolls = SeenOf(plat::MsgVScroll);
    ASSERT_EQ(scrolls.size(), 4u);
    EXPECT_EQ(scrolls[0].wParam & 0xFFFF, plat::ScrollThumbTrack);
    EXPECT_GT(scrolls[0].wParam >> 16, 0u);
    EXPECT_EQ(scrolls[1].wParam, (485u << 16) | plat::ScrollThumbTrack) << "clamped to the last position";
    EXPECT_EQ(scrolls[2].wParam, (485u << 16) | plat::ScrollThumbPosition);
    EXPECT_EQ(scrolls[3].wParam & 0xFFFF, plat::ScrollEnd);
}

TEST_F(PlatformTest, ScrollWindowMovesPixelsAndChildrenAndInvalidatesTheStrip) {
    const plat::WindowId main = CreateMain();
    const plat::WindowId button =
        plat::CreateControl(plat::ControlClass::Button, u"Go", plat::StyleVisible, {10, 100, 60, 120}, main, 5000);
    headless::PumpMessages();
    // A black line at client y = 50.
    Extra() = [](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgPaint) return false;
        const plat::SurfaceId s = plat::BeginPaint(w);
        plat::FillRect(s, {150, 50, 200, 51}, 0x000000);
        plat::EndPaint(w, s);
        return true;
    };
    plat::InvalidateWindow(main, true);
    plat::UpdateWindow(main);
    Log().clear();
    Extra() = nullptr;

    const plat::Rect client = plat::GetClientRect(main);
    plat::ScrollWindow(main, -16, client, client);
    EXPECT_EQ(headless::PixelAt(160, 26 + 34), 0x000000u) << "pixels moved up by 16";
    EXPECT_EQ(headless::PixelAt(160, 26 + 50), 0xFFFFFFu);
    const plat::Rect moved = plat::GetWindowRect(button);
    EXPECT_EQ(moved.top, 26 + 84);
    plat::UpdateWindow(main);
    const auto paints = SeenOf(plat::MsgPaint, main);
    ASSERT_EQ(paints.size(), 1u);
}

}  // namespace
