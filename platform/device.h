// The device below the window system: presents the framebuffer, delivers input, tells the
// time, plays sound, names the data folder and may answer message boxes. A device library
// (headless, SDL2) fills a Device and installs it at start-up; the window system calls it
// and never includes a device's own headers. The second half lists what a device may call
// back in the window system.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat::device {

enum class EventKind : uint8_t {
    PointerDown,   // x, y: logical screen coordinates
    PointerMove,
    PointerUp,
    KeyDown,       // key: virtual key
    KeyUp,
    Text,          // text: typed characters, zero-terminated
    Wheel,         // x, y, wheelDelta
    CloseRequest,  // the user (or the end of a script) asks the program to close
    WakeUp,        // nothing to deliver; the window system looks at its queue again
};

inline constexpr int32_t EventTextCapacity = 8;

struct Event {
    EventKind kind;
    int32_t x, y;
    uint32_t key;
    int32_t wheelDelta;  // 120 a notch, positive away from the user
    char16_t text[EventTextCapacity];
};

inline constexpr uint32_t WaitForever = UINT32_MAX;
// answerMessageBox's result when the device wants the window system to run the box itself.
inline constexpr int32_t AskTheUser = 0;

struct Device {
    const char* name;
    // Shows the framebuffer: width x height device pixels, XRGB8888, rows packed.
    void (*present)(const uint32_t* pixels, int32_t width, int32_t height);
    // Waits up to timeoutMs (WaitForever: no limit) for the next event; false when none came.
    bool (*waitEvent)(Event& out, uint32_t timeoutMs);
    // Milliseconds on the device's clock; wraps after 49 days.
    uint32_t (*tickCount)();
    // Starts playing a WAVE clip (the resource's bytes, which outlive the call) once,
    // replacing any clip that plays; false when the device cannot play it.
    bool (*playWave)(const char* name, const uint8_t* bytes, uint32_t size);
    void (*stopSound)();
    // The folder (absolute, created, private to the user) that holds the reader's files;
    // null when there is none.
    const char* (*dataFolder)();
    // Answers a message box at once, or returns AskTheUser so that the window system shows
    // it and runs a modal loop until it is answered.
    int32_t (*answerMessageBox)(WindowId owner, const char16_t* text, const char16_t* caption,
                                uint32_t buttons);
    // Makes a waitEvent that is waiting return soon (with WakeUp); callable from any thread.
    void (*wake)();
    // Brings the device's own window to the front of the desktop, shown and not minimised,
    // when a second reader asked for it; null for a device without a window of its own.
    void (*raise)();
};

// Installs the device that the platform layer uses from now on; null goes back to the inert
// built-in device (no input, a clock at 0, default answers to message boxes).
void Install(const Device* device);
const Device& Current();

// The desktop's folder for the reader's files: $XDG_STATE_HOME/mirewood, else
// ~/.local/state/mirewood, created with mode 0700 when missing; null when neither variable
// gives an absolute path or the folder cannot be made. For devices' dataFolder.
const char* UserDataFolder();

// ---------------------------------------------------------------------------------------
// Calls from a device (and its test hooks) into the window system
// ---------------------------------------------------------------------------------------

// Destroys every window and forgets every class, message, timer, capture and focus, so that
// a test or a script starts from a fresh screen. Open files stay open.
void ResetWindowSystem();
// Dispatches every queued message, every device event that is ready and every timer that
// is due on the device clock, without waiting, until nothing is left; returns the messages
// dispatched.
int32_t PumpMessages();
// The next due time of any timer, or false when no timer runs.
bool NextTimerDue(uint32_t& dueTick);
// Makes the next SeedRandom use seed instead of its argument (once).
void OverrideNextSeed(uint32_t seed);
// Presents the framebuffer now when something was drawn since it was last presented.
void PresentIfChanged();

}  // namespace plat::device
