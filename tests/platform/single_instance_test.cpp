// A second process finds the running reader by its class name and brings it to the front.
#include <gtest/gtest.h>

#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/recorder.h"

namespace {

using namespace testing_platform;

TEST_F(PlatformTest, NobodyAnswersForAClassThatIsNotRunning) {
    EXPECT_FALSE(plat::AskRunningInstanceToFront(u"NoReaderOfThisClass"));
}

TEST_F(PlatformTest, SecondProcessAsksTheFirstToComeToTheFront) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    Log().clear();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(plat::AskRunningInstanceToFront(ClassName) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second process found the first";

    headless::PumpMessages();
    EXPECT_EQ(SeenOf(plat::MsgPaint, main).size(), 1u) << "repainted at once";
    EXPECT_TRUE(plat::IsWindowVisible(main));

    // After a reset the class is gone and so is the listener.
    headless::Reset();
    EXPECT_FALSE(plat::AskRunningInstanceToFront(ClassName));
}

}  // namespace
