// Sound for the SDL device: one WAVE clip at a time, played once through SDL audio. The
// device (sdl_device.cpp) calls these on the program's thread; SDL's audio thread only runs
// the callback inside.
#pragma once

#include <cstdint>

namespace sdl::audio {

// Starts a WAVE file (its bytes) from the beginning, replacing the clip that plays; opens
// the audio device when none is open. False, with silence, when there is no audio device
// (then no later clip tries again) or the file cannot be read; there is never a message.
bool Play(const uint8_t* bytes, uint32_t size);
// Stops the clip and closes the audio device.
void Stop();
// Closes the audio device once the clip has played out (after the ClipEndedEvent).
void RestIfDone();
// Tells whether a clip is being played (its end not yet handed to the device).
bool Playing();
// Stops and closes SDL's audio altogether; the next Play starts from scratch.
void Close();

// Returns the SDL event type that the audio thread pushes when a clip has played out, so
// the program's thread can close the device; 0 until audio was first used.
uint32_t ClipEndedEvent();

}  // namespace sdl::audio
