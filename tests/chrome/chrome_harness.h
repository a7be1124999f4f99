// The chrome tests' fixture: the reader's main window with its command bar from the
// program's own resources, taps at places on the headless screen, the commands the window
// got, and where texts were drawn.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/draw_record.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "tests/platform/recorder.h"

namespace chrometest {


inline plat::Rect Middle(const plat::Rect& r) {
    const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    return {x, y, x + 1, y + 1};
}

class ChromeTest : public testing_platform::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        plat::record::Start();
        main = CreateMain();
        bar = plat::CreateMenuBar(main, 102, 421, 6);
        ASSERT_NE(bar, plat::NoWindow);
        headless::PumpMessages();
        testing_platform::Log().clear();
    }
    void TearDown() override {
        plat::record::Stop();
        PlatformTest::TearDown();
    }

    // Taps the middle of a screen rectangle and handles what the tap caused.
    static void TapIn(const plat::Rect& r) {
        ASSERT_LT(r.left, r.right) << "nothing to tap";
        const plat::Rect m = Middle(r);
        headless::Tap(m.left, m.top);
        headless::PumpMessages();
    }
    static void Press(uint32_t key) {
        headless::PressKey(key);
        headless::PumpMessages();
    }

    // The command ids that reached the main window since the log was last cleared.
    std::vector<uint32_t> Commands() const {
        std::vector<uint32_t> out;
        for (const auto& seen : testing_platform::SeenOf(plat::MsgCommand, main)) out.push_back(static_cast<uint32_t>(seen.wParam & 0xFFFF));
        return out;
    }

    // Where the last draw of exactly this text went (screen coordinates); empty when none.
    static plat::Rect DrawnAt(const std::u16string& text) {
        plat::Rect found{0, 0, 0, 0};
        for (int32_t i = 0; i < plat::record::Count(); ++i) {
            const plat::record::Record& r = plat::record::At(i);
            if (r.kind == plat::record::Kind::Text && std::u16string(r.text, static_cast<size_t>(r.length)) == text) {
                found = r.rect;
            }
        }
        return found;
    }

    // True while a window of this kind is shown (the menu, the input panel).
    static bool Shown(plat::ws::WindowKind kind) {
        for (int32_t i = 0; i < plat::ws::MaxWindows; ++i) {
            const plat::ws::WindowRecord& r = plat::ws::Slot(i);
            if (r.kind == kind && plat::ws::IsShown(r)) return true;
        }
        return false;
    }
    static int32_t Count(plat::ws::WindowKind kind) {
        int32_t n = 0;
        for (int32_t i = 0; i < plat::ws::MaxWindows; ++i) n += plat::ws::Slot(i).kind == kind ? 1 : 0;
        return n;
    }

    plat::WindowId main = plat::NoWindow;
    plat::WindowId bar = plat::NoWindow;
};

}  // namespace chrometest
