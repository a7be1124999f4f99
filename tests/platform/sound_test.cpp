// Sound through the headless device: WAVE resources of the linked book found by name (as
// upper-case resource names), replacing each other, stopped, and missing ones refused.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

TEST(Sound, PlaysTheBooksWaveResourcesByName) {
    headless::Reset();
    EXPECT_TRUE(plat::PlayWaveResource(u"bell"));
    EXPECT_EQ(headless::PlayingSound(), "BELL");
    EXPECT_TRUE(plat::PlayWaveResource(u"LAST_BELL"));  // replaces the one that plays
    EXPECT_EQ(headless::PlayingSound(), "LAST_BELL");
    plat::StopSound();
    EXPECT_EQ(headless::PlayingSound(), "");

    EXPECT_FALSE(plat::PlayWaveResource(u"NO_SUCH_SOUND"));
    EXPECT_FALSE(plat::PlayWaveResource(nullptr));
    EXPECT_EQ(headless::PlayedSounds(), (std::vector<std::string>{"BELL", "LAST_BELL"}));
}

}  // namespace
