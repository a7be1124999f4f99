// Test helpers: a window class whose procedure records every message it gets (and can be
// given extra behaviour per test), and a fresh headless screen for each test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace testing_platform {

struct Seen {
    plat::WindowId window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

inline std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

// Extra handling for a message; returns true when it handled it (with *result set).
using Handler = std::function<bool(plat::WindowId, uint32_t, uintptr_t, intptr_t, intptr_t*)>;
inline Handler& Extra() {
    static Handler extra;
    return extra;
}

inline intptr_t RecordingProc(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Log().push_back({window, message, wParam, lParam});
    intptr_t result = 0;
    if (Extra() && Extra()(window, message, wParam, lParam, &result)) return result;
    return plat::DefaultWindowProc(window, message, wParam, lParam);
}

// The messages of one kind that a window got, in order.
inline std::vector<Seen> SeenOf(uint32_t message, plat::WindowId window = plat::NoWindow) {
    std::vector<Seen> out;
    for (const Seen& s : Log()) {
        if (s.message == message && (window == plat::NoWindow || s.window == window)) out.push_back(s);
    }
    return out;
}

inline constexpr char16_t ClassName[] = u"Recorder";

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        Log().clear();
        Extra() = nullptr;
        ASSERT_TRUE(plat::RegisterWindowClass({ClassName, RecordingProc, 0}));
    }
    void TearDown() override { Extra() = nullptr; }

    // The reader's main window: below the taskbar, above the command bar, with a scroll bar.
    plat::WindowId CreateMain(uint32_t style = plat::StyleVisible | plat::StyleVScroll) {
        const plat::WindowId w = plat::CreateMainWindow(ClassName, u"The Mirewood Vow", style, plat::DefaultPosition,
                                                        plat::DefaultPosition, 240, 268);
        EXPECT_NE(w, plat::NoWindow);
        return w;
    }
};

}  // namespace testing_platform
