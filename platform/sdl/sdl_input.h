// Turns SDL's input events into the device events of the window system: the mouse is the
// stylus on the logical 240 x 320 screen, the wheel scrolls, keys become the platform's
// virtual keys and typed text arrives as characters. Used by the SDL device (sdl_device.cpp)
// and its tests; kept apart from the window so it can be checked event by event.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/device.h"

namespace sdl::input {

// Where the screen is shown: its top-left corner and size in the renderer's output pixels,
// and how many output pixels make one window unit (the mouse's coordinates).
struct Viewport {
    int32_t left = 0, top = 0;
    int32_t scale = 1;  // output pixels per logical pixel
    float outputPerUnitX = 1.0f, outputPerUnitY = 1.0f;
};

// The stylus: whether it is down, and the last place it was seen (logical pixels).
struct Stylus {
    bool down = false;
    int32_t x = 0, y = 0;
};

// A typed text of 32 bytes is at most 32 characters: five events of seven.
inline constexpr int32_t MaxEventsPerSdlEvent = 6;

// Maps a point in window units to logical screen pixels; false when it lies outside the
// screen (the letterbox around it). x and y are then clamped to the screen's edges.
bool ToLogical(const Viewport& viewport, int32_t windowX, int32_t windowY, int32_t& x, int32_t& y);

// Translates one SDL event into out (room for MaxEventsPerSdlEvent) and returns how many
// events it made; 0 for events the window system does not hear about.
int32_t Translate(const SDL_Event& event, const Viewport& viewport, Stylus& stylus,
                  plat::device::Event* out);

}  // namespace sdl::input
