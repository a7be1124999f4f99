// The desktop device: the pocket screen in an SDL2 window at an integer scale, the mouse as
// the stylus, the keyboard, SDL audio and the desktop's data folder. The reader's program
// entry (shell/main.cpp) starts it before the reader runs and stops it after; tests drive
// it with SDL's dummy drivers. This header keeps SDL out of its callers.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace sdl {

// The largest scale a window shows the screen at (each logical pixel as scale x scale).
inline constexpr int32_t MaxShownScale = 6;

struct Options {
    int32_t scale = 0;            // 1..MaxShownScale; 0 chooses from the display's density
    const char* title = nullptr;  // the window's title, 8-bit Windows-1252 text
};

// Tells whether a display may be reached: DISPLAY or WAYLAND_DISPLAY is set, or SDL is told
// to use another video driver (SDL_VIDEODRIVER, the dummy driver of tests for one).
bool DisplayAvailable();

// Opens SDL's video, makes the window (shown at the first frame) with the title and icon
// 420, sets the framebuffer's scale and installs the device. False when SDL cannot reach
// a display; Error() then says why.
bool Start(const Options& options);
// Closes the sound, the window and SDL, and puts the inert device back.
void Stop();
const char* Error();

// Return where the window shows the screen, in window coordinates (the mouse's), and its
// scale there; for tests that click on the logical screen.
plat::Rect ScreenInWindow();
int32_t ShownScale();

}  // namespace sdl
