// The window table, messages and painting: creation, default handling, send and post,
// painting at once, erasing, sizes and input routing.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/recorder.h"

namespace {

using namespace testing_platform;

constexpr uint32_t MsgUser = 0x400;

TEST_F(PlatformTest, CreationSendsCreateThenSizeAndNarrowsTheClientByTheScrollBar) {
    const plat::WindowId main = CreateMain();
    ASSERT_GE(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, plat::MsgCreate);
    EXPECT_EQ(Log()[1].message, plat::MsgSize);
    EXPECT_EQ(Log()[1].lParam, (268 << 16) | 227);

    const plat::Rect client = plat::GetClientRect(main);
    EXPECT_EQ(client.right, 240 - 13);
    EXPECT_EQ(client.bottom, 268);
    const plat::Rect outer = plat::GetWindowRect(main);
    EXPECT_EQ(outer.top, plat::TaskbarHeight);  // the default place is below the taskbar
    EXPECT_EQ(outer.bottom, plat::TaskbarHeight + 268);
    EXPECT_TRUE(plat::IsWindowVisible(main));
}

TEST_F(PlatformTest, CreationRefusedByTheCreateHandler) {
    Extra() = [](plat::WindowId, uint32_t message, uintptr_t, intptr_t, intptr_t* result) {
        if (message != plat::MsgCreate) return false;
        *result = -1;
        return true;
    };
    EXPECT_EQ(plat::CreateMainWindow(ClassName, u"x", plat::StyleVisible, 0, 26, 240, 268), plat::NoWindow);
    EXPECT_EQ(SeenOf(plat::MsgDestroy).size(), 1u);
    EXPECT_EQ(plat::CreateMainWindow(u"NoSuchClass", u"x", 0, 0, 26, 240, 268), plat::NoWindow);
    EXPECT_NE(plat::LastError(), 0u);
}

TEST_F(PlatformTest, CloseDestroysByDefaultParentBeforeChildren) {
    const plat::WindowId main = CreateMain();
    const plat::WindowId button =
        plat::CreateControl(plat::ControlClass::Button, u"Ok", plat::StyleVisible, {4, 4, 60, 24}, main, 519);
    ASSERT_NE(button, plat::NoWindow);
    plat::SetWindowProc(button, RecordingProc);
    Log().clear();

    plat::SendMessage(main, plat::MsgClose, 0, 0);
    const auto destroys = SeenOf(plat::MsgDestroy);
    ASSERT_EQ(destroys.size(), 2u);
    EXPECT_EQ(destroys[0].window, main);
    EXPECT_EQ(destroys[1].window, button);
    EXPECT_FALSE(plat::IsWindow(main));
    EXPECT_FALSE(plat::IsWindow(button));
    // A stale id stays stale even after its slot is used again.
    const plat::WindowId again = CreateMain();
    EXPECT_NE(again, main);
    EXPECT_FALSE(plat::IsWindow(main));
    EXPECT_EQ(plat::SendMessage(main, MsgUser, 0, 0), 0);
}

TEST_F(PlatformTest, SendRunsAtOncePostWaitsForTheLoopInOrder) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    Log().clear();

    EXPECT_TRUE(plat::PostMessage(main, MsgUser, 1, 0));
    EXPECT_TRUE(plat::PostMessage(main, MsgUser, 2, 0));
    EXPECT_TRUE(SeenOf(MsgUser).empty());
    Extra() = [](plat::WindowId, uint32_t message, uintptr_t, intptr_t, intptr_t* result) {
        if (message != MsgUser + 1) return false;
        *result = 42;
        return true;
    };
    EXPECT_EQ(plat::SendMessage(main, MsgUser + 1, 3, 0), 42);
    ASSERT_EQ(Log().size(), 1u);  // the sent one, before the posted ones

    headless::PumpMessages();
    const auto posted = SeenOf(MsgUser);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].wParam, 1u);
    EXPECT_EQ(posted[1].wParam, 2u);
}

TEST_F(PlatformTest, PostToAGoneWindowOrAFullQueueFails) {
    const plat::WindowId main = CreateMain();
    int32_t accepted = 0;
    while (plat::PostMessage(main, MsgUser, 0, 0) && accepted < 10000) ++accepted;
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 10000);
    headless::PumpMessages();
    EXPECT_EQ(static_cast<int32_t>(SeenOf(MsgUser).size()), accepted);

    plat::PostMessage(main, MsgUser + 1, 0, 0);
    plat::DestroyWindow(main);
    EXPECT_FALSE(plat::PostMessage(main, MsgUser, 0, 0));
    headless::PumpMessages();
    EXPECT_TRUE(SeenOf(MsgUser + 1).empty());  // dropped with its window
}

TEST_F(PlatformTest, QuitEndsTheLoopWithItsCodeAfterPostedMessages) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    plat::PostMessage(main, MsgUser, 0, 0);
    plat::PostQuitMessage(3);
    plat::MessageRecord m{};
    ASSERT_TRUE(plat::GetMessage(m));
    EXPECT_EQ(m.message, MsgUser);
    EXPECT_FALSE(plat::GetMessage(m));
    EXPECT_EQ(m.message, plat::MsgQuit);
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(PlatformTest, UpdateWindowPaintsAtOnceAndIsNotReentered) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    Log().clear();

    int32_t depth = 0, deepest = 0;
    Extra() = [&](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgPaint) return false;
        deepest = std::max(deepest, ++depth);
        const plat::SurfaceId s = plat::BeginPaint(w);
        plat::InvalidateWindow(w, true);
        plat::UpdateWindow(w);  // inside the paint: must not paint again now
        plat::EndPaint(w, s);
        --depth;
        return true;
    };
    plat::InvalidateWindow(main, false);
    plat::UpdateWindow(main);
    EXPECT_EQ(SeenOf(plat::MsgPaint).size(), 1u);  // done before UpdateWindow returned
    EXPECT_EQ(deepest, 1);

    // A paint that asks for a repaint once its own paint has ended gets it at once (nested).
    int32_t paints = 0;
    Extra() = [&](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgPaint) return false;
        plat::EndPaint(w, plat::BeginPaint(w));
        if (++paints == 1) {
            plat::InvalidateWindow(w, true);
            plat::UpdateWindow(w);
            EXPECT_EQ(paints, 2);
        }
        return true;
    };
    Log().clear();
    plat::InvalidateWindow(main, true);
    plat::UpdateWindow(main);
    EXPECT_EQ(paints, 2);
    plat::UpdateWindow(main);  // nothing invalid: no paint
    EXPECT_EQ(paints, 2);
}

TEST_F(PlatformTest, InvalidationWithEraseFillsWhiteOnlyInTheClient) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    // Paint the client black, then ask for an erase without drawing anything.
    Extra() = [](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgPaint) return false;
        const plat::SurfaceId s = plat::BeginPaint(w);
        plat::FillRect(s, plat::GetClientRect(w), 0x000000);
        plat::EndPaint(w, s);
        return true;
    };
    plat::InvalidateWindow(main, false);
    plat::UpdateWindow(main);
    EXPECT_EQ(headless::PixelAt(100, 100), 0x000000u);

    Extra() = [](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgPaint) return false;
        plat::EndPaint(w, plat::BeginPaint(w));
        return true;
    };
    plat::InvalidateWindow(main, false);
    plat::UpdateWindow(main);
    EXPECT_EQ(headless::PixelAt(100, 100), 0x000000u) << "no erase asked for";
    plat::InvalidateWindow(main, true);
    plat::UpdateWindow(main);
    EXPECT_EQ(headless::PixelAt(100, 100), 0xFFFFFFu);
    EXPECT_EQ(headless::PixelAt(0, 26), 0xFFFFFFu);
    EXPECT_NE(headless::PixelAt(5, 10), 0xFFFFFFu) << "the taskbar is not the window's";
}

TEST_F(PlatformTest, PaintIsClippedToTheInvalidPart) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    Extra() = [](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgPaint) return false;
        const plat::SurfaceId s = plat::BeginPaint(w);
        plat::FillRect(s, plat::GetClientRect(w), 0x112233);
        plat::EndPaint(w, s);
        return true;
    };
    // Only a strip is invalid (as after a scroll): only the strip changes.
    plat::ScrollWindow(main, -16, plat::GetClientRect(main), plat::GetClientRect(main));
    plat::UpdateWindow(main);
    EXPECT_EQ(headless::PixelAt(50, 26 + 268 - 1), 0x112233u);
    EXPECT_EQ(headless::PixelAt(50, 26 + 268 - 16), 0x112233u);
    EXPECT_EQ(headless::PixelAt(50, 26 + 268 - 17), 0xFFFFFFu);
}

TEST_F(PlatformTest, MoveSendsSizeOnlyWhenTheSizeChanges) {
    const plat::WindowId main = CreateMain();
    Log().clear();
    EXPECT_TRUE(plat::MoveWindow(main, {0, 26, 240, 294}, true));  // same place and size
    EXPECT_TRUE(plat::MoveWindow(main, {0, 30, 240, 298}, true));  // moved only
    EXPECT_TRUE(SeenOf(plat::MsgSize).empty());
    EXPECT_TRUE(plat::ResizeTopmost(main, 240, 188));
    const auto sizes = SeenOf(plat::MsgSize);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].lParam, (188 << 16) | 227);
    EXPECT_EQ(plat::GetWindowRect(main).top, 30);  // not moved
}

TEST_F(PlatformTest, FocusMessagesAndKeysGoToTheFocusedWindow) {
    const plat::WindowId main = CreateMain();
    const plat::WindowId edit =
        plat::CreateControl(plat::ControlClass::Edit, u"", plat::StyleVisible | plat::StyleBorder, {4, 4, 100, 24}, main, 4000);
    plat::SetWindowProc(edit, RecordingProc);
    headless::PumpMessages();
    Log().clear();

    headless::PressKey(plat::KeyPageDown);
    headless::PumpMessages();
    ASSERT_EQ(SeenOf(plat::MsgKeyDown).size(), 1u);
    EXPECT_EQ(SeenOf(plat::MsgKeyDown)[0].window, main) << "no focus: the active window gets keys";

    plat::SetFocus(main);
    Log().clear();
    EXPECT_EQ(plat::SetFocus(edit), main);
    ASSERT_EQ(SeenOf(plat::MsgKillFocus).size(), 1u);
    EXPECT_EQ(SeenOf(plat::MsgKillFocus)[0].window, main);
    ASSERT_EQ(SeenOf(plat::MsgSetFocus).size(), 1u);
    EXPECT_EQ(SeenOf(plat::MsgSetFocus)[0].window, edit);

    Log().clear();
    headless::PressKey(plat::KeyReturn);
    headless::TypeText(u"ab");
    headless::PumpMessages();
    const auto chars = SeenOf(plat::MsgChar, edit);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, static_cast<uintptr_t>(plat::KeyReturn));  // made by TranslateMessage
    EXPECT_EQ(chars[1].wParam, static_cast<uintptr_t>(u'a'));
}

TEST_F(PlatformTest, PressGoesToTheTopmostWindowUnderItAndKeepsThePointerUntilRelease) {
    const plat::WindowId main = CreateMain();
    const plat::WindowId button =
        plat::CreateControl(plat::ControlClass::Button, u"", plat::StyleVisible | plat::ButtonOwnerDraw, {10, 10, 60, 30}, main, 5000);
    plat::SetWindowProc(button, RecordingProc);
    headless::PumpMessages();
    Log().clear();

    headless::PointerDown(20, 26 + 15);  // on the button
    headless::PointerMove(200, 26 + 200);  // dragged off it
    headless::PointerUp(200, 26 + 200);
    headless::Tap(200, 26 + 200);  // on the page
    headless::PumpMessages();

    const auto downs = SeenOf(plat::MsgLButtonDown);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].window, button);
    EXPECT_EQ(downs[0].lParam, (5 << 16) | 10) << "client coordinates of the button";
    EXPECT_EQ(downs[1].window, main);
    const auto ups = SeenOf(plat::MsgLButtonUp);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[0].window, button) << "captured until the release";
    EXPECT_EQ(ups[1].window, main);
}

TEST_F(PlatformTest, ButtonTapBecomesACommandAtTheParent) {
    const plat::WindowId main = CreateMain();
    const plat::WindowId button =
        plat::CreateControl(plat::ControlClass::Button, u"Ok", plat::StyleVisible | plat::ButtonDefaultPush, {10, 10, 60, 30}, main, 519);
    const plat::WindowId box =
        plat::CreateControl(plat::ControlClass::Button, u"Sound", plat::StyleVisible | plat::ButtonAutoCheckBox, {10, 40, 100, 60}, main, 518);
    headless::PumpMessages();
    Log().clear();

    headless::Tap(20, 26 + 20);
    headless::Tap(20, 26 + 50);
    headless::PointerDown(20, 26 + 20);
    headless::PointerUp(150, 26 + 150);  // released elsewhere: no command
    headless::PumpMessages();
    const auto commands = SeenOf(plat::MsgCommand, main);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].wParam, plat::MakeCommandParam(0, 519));
    EXPECT_EQ(commands[1].wParam, plat::MakeCommandParam(0, 518));
    EXPECT_EQ(plat::SendMessage(box, plat::MsgGetCheck, 0, 0), 1);
    EXPECT_EQ(plat::GetControl(main, 519), button);
    EXPECT_EQ(plat::GetControlId(box), 518);
}

TEST_F(PlatformTest, EditBoxTakesTypedTextUpToItsLimit) {
    const plat::WindowId main = CreateMain();
    const plat::WindowId edit =
        plat::CreateControl(plat::ControlClass::Edit, u"", plat::StyleVisible | plat::StyleBorder, {4, 4, 100, 24}, main, 4000);
    plat::SendMessage(edit, plat::MsgLimitText, 4, 0);
    plat::SetFocus(edit);
    headless::TypeText(u"marsh");
    headless::PressKey(plat::KeyBack);
    headless::TypeText(u"e");
    headless::PumpMessages();
    char16_t text[16];
    EXPECT_EQ(plat::GetWindowText(edit, text, 16), 4);
    EXPECT_EQ(std::u16string(text), u"mare");
    EXPECT_EQ(plat::GetWindowText(edit, text, 3), 2);  // cut to the capacity
    EXPECT_EQ(std::u16string(text), u"ma");
}

TEST_F(PlatformTest, CloseRequestFromTheDeviceClosesTheActiveWindow) {
    const plat::WindowId main = CreateMain();
    headless::RequestClose();
    headless::PumpMessages();
    EXPECT_FALSE(plat::IsWindow(main));
    ASSERT_EQ(SeenOf(plat::MsgClose).size(), 1u);
}

TEST_F(PlatformTest, TaskbarShowsTheActiveWindowsCaption) {
    CreateMain();
    headless::PumpMessages();
    // The caption's text is drawn in white on the taskbar's band somewhere along it.
    bool white = false;
    for (int32_t x = 0; x < 120 && !white; ++x) {
        for (int32_t y = 4; y < 22 && !white; ++y) white = headless::PixelAt(x, y) == 0xFFFFFFu;
    }
    EXPECT_TRUE(white);
    EXPECT_NE(headless::PixelAt(239, 1), 0xFFFFFFu);
}

}  // namespace
