// Timers on the headless clock: due times, restarting, stopping, and windows going away.
#include <gtest/gtest.h>

#include "platform/device.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/recorder.h"

namespace {

using namespace testing_platform;

std::vector<uint32_t> TimerTicks() {
    std::vector<uint32_t> ticks;
    for (const Seen& s : SeenOf(plat::MsgTimer)) ticks.push_back(static_cast<uint32_t>(s.wParam));
    return ticks;
}

TEST_F(PlatformTest, TimerFiresOncePerPeriodOnTheDeviceClock) {
    const plat::WindowId main = CreateMain();
    ASSERT_TRUE(plat::SetTimer(main, 1, 2000));
    headless::AdvanceClock(1999);
    EXPECT_TRUE(SeenOf(plat::MsgTimer).empty());
    headless::AdvanceClock(1);
    EXPECT_EQ(SeenOf(plat::MsgTimer).size(), 1u);
    EXPECT_EQ(plat::TickCount(), 2000u);
    headless::AdvanceClock(4500);  // two more periods pass
    EXPECT_EQ(SeenOf(plat::MsgTimer).size(), 3u);
    EXPECT_TRUE(plat::KillTimer(main, 1));
    EXPECT_FALSE(plat::KillTimer(main, 1));
    headless::AdvanceClock(10000);
    EXPECT_EQ(SeenOf(plat::MsgTimer).size(), 3u);
}

TEST_F(PlatformTest, SettingARunningTimerAgainRestartsIt) {
    const plat::WindowId main = CreateMain();
    plat::SetTimer(main, 1, 2000);
    headless::AdvanceClock(1500);
    plat::SetTimer(main, 1, 2000);  // as page 2 of the opening sequence does
    headless::AdvanceClock(1500);
    EXPECT_TRUE(SeenOf(plat::MsgTimer).empty()) << "3000 ms in, 1500 since the restart";
    headless::AdvanceClock(500);
    EXPECT_EQ(SeenOf(plat::MsgTimer).size(), 1u);
}

TEST_F(PlatformTest, TimersOfSeveralIdsFireInDueOrderAndStopWithTheirWindow) {
    const plat::WindowId main = CreateMain();
    plat::SetTimer(main, 7, 350);
    plat::SetTimer(main, 1, 200);
    headless::AdvanceClock(750);
    EXPECT_EQ(TimerTicks(), (std::vector<uint32_t>{1, 7, 1, 1, 7}));  // at 200, 350, 400, 600, 700

    // A handler that stops its own timer at the first tick (the opening sequence's way).
    Log().clear();
    plat::SetTimer(main, 2, 100);
    Extra() = [](plat::WindowId w, uint32_t message, uintptr_t wParam, intptr_t, intptr_t*) {
        if (message == plat::MsgTimer && wParam == 2) plat::KillTimer(w, 2);
        return false;
    };
    plat::KillTimer(main, 1);
    plat::KillTimer(main, 7);
    headless::AdvanceClock(1000);
    EXPECT_EQ(TimerTicks(), (std::vector<uint32_t>{2}));

    plat::SetTimer(main, 3, 100);
    plat::DestroyWindow(main);
    uint32_t due = 0;
    EXPECT_FALSE(plat::device::NextTimerDue(due));
    EXPECT_FALSE(plat::SetTimer(main, 3, 100));
}

TEST_F(PlatformTest, TheLoopWaitsForTheNextTimerOnTheHeadlessClock) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    plat::SetTimer(main, 1, 2000);
    plat::MessageRecord m{};
    ASSERT_TRUE(plat::GetMessage(m));  // nothing else to do: the clock jumps to the tick
    EXPECT_EQ(m.message, plat::MsgTimer);
    EXPECT_EQ(plat::TickCount(), 2000u);
}

}  // namespace
