// Sound through SDL audio with its dummy driver: clips of the linked book play once,
// replace each other, stop, and let the device rest when they end; without an audio
// device the reader stays silent and says nothing.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "platform/resources.h"
#include "platform/sdl/sdl_audio.h"

namespace {

const plat::ResourceEntry& Wave(const char* name) {
    const plat::ResourceEntry* wave = plat::FindResource(plat::ResourceType::Wave, name);
    EXPECT_NE(wave, nullptr) << name;
    static const plat::ResourceEntry none{};
    return wave != nullptr ? *wave : none;
}

// Waits (in real time, up to a limit) for the audio thread to report the clip's end.
bool AwaitClipEnd(uint32_t limitMs) {
    const Uint32 until = SDL_GetTicks() + limitMs;
    while (static_cast<Sint32>(until - SDL_GetTicks()) > 0) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 20) != 0 && event.type == sdl::audio::ClipEndedEvent()) return true;
    }
    return false;
}

class SdlSound : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    }
    void TearDown() override {
        sdl::audio::Close();
        SDL_Quit();
    }
};

TEST_F(SdlSound, AClipPlaysOnceAndANewOneReplacesIt) {
    const plat::ResourceEntry& bell = Wave("BELL");
    const plat::ResourceEntry& horn = Wave("HORN");
    ASSERT_TRUE(sdl::audio::Play(bell.data, bell.size));
    EXPECT_TRUE(sdl::audio::Playing());
    ASSERT_TRUE(sdl::audio::Play(horn.data, horn.size));
    EXPECT_TRUE(sdl::audio::Playing());
    sdl::audio::Stop();
    EXPECT_FALSE(sdl::audio::Playing());
    sdl::audio::Stop();  // stopping twice is harmless

    // A whole clip (150 ms) plays to its end, after which the device may rest.
    ASSERT_TRUE(sdl::audio::Play(bell.data, bell.size));
    ASSERT_TRUE(AwaitClipEnd(3000)) << "the clip never ended";
    EXPECT_FALSE(sdl::audio::Playing());
    sdl::audio::RestIfDone();
    EXPECT_FALSE(sdl::audio::Playing());
}

TEST_F(SdlSound, ABrokenClipIsRefusedAndTheOneThatPlaysGoesOn) {
    const plat::ResourceEntry& bell = Wave("BELL");
    ASSERT_TRUE(sdl::audio::Play(bell.data, bell.size));
    const uint8_t notWave[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(sdl::audio::Play(notWave, sizeof notWave));
    EXPECT_FALSE(sdl::audio::Play(bell.data, 20));  // cut short inside its header
    EXPECT_FALSE(sdl::audio::Play(nullptr, 0));
    EXPECT_TRUE(sdl::audio::Playing());
}

TEST_F(SdlSound, WithoutAnAudioDeviceTheReaderIsSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const plat::ResourceEntry& bell = Wave("BELL");
    EXPECT_FALSE(sdl::audio::Play(bell.data, bell.size));
    EXPECT_FALSE(sdl::audio::Play(bell.data, bell.size));  // and it does not try again each time
    EXPECT_FALSE(sdl::audio::Playing());
    sdl::audio::Stop();
    sdl::audio::RestIfDone();
}

}  // namespace
