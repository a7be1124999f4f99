// The headless device: an in-memory screen, injected input, a clock that moves only when
// told, scripted answers to message boxes and recorded sounds. Tests, screenshots and the
// automated play link it; linking it installs it. These are its hooks: test-only controls
// that the engine never sees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/draw_record.h"  // plat::record: what a paint drew where, for tests
#include "platform/platform.h"

namespace headless {

// Installs the headless device (linking this library already did); harmless to repeat.
void Install();
// Starts over: no windows, classes, queued messages, timers or focus; no recorded boxes,
// queued answers, sounds or pending input; the clock at 0; a white screen at the scale in
// force. The data folder and open files are kept.
void Reset();

// ---- Message boxes ------------------------------------------------------------------------

struct MessageBoxRecord {
    plat::WindowId owner;
    std::u16string text;
    std::u16string caption;  // the caption shown: "Error" when the caller gave none
    uint32_t buttons;        // plat::BoxOk or plat::BoxYesNo
    int32_t answer;          // the answer it was given (0 for a box shown on the screen)
};
// Every box shown since the last Reset or ClearMessageBoxes, oldest first.
const std::vector<MessageBoxRecord>& MessageBoxes();
void ClearMessageBoxes();
// Answers the next box shown (first queued, first used). An answer that the box cannot
// give (Yes for an OK box) is used up and the box gets its default. Without a queued
// answer an OK box gets AnswerOk and a Yes/No box AnswerNo, the answer that changes nothing.
void QueueAnswer(int32_t answer);
// Shows the boxes on the screen and has them wait for injected input, as on the desktop
// (on), or answers them at once (off, the default).
void ShowBoxesOnScreen(bool on);

// ---- Clock, timers, random numbers --------------------------------------------------------

uint32_t Now();
// Dispatches what waits now (injected input included), then moves the clock on by ms,
// dispatching on the way, at its due time, every timer that falls due.
void AdvanceClock(uint32_t ms);
// Makes the program's next SeedRandom call use seed, whatever it asks for.
void FixRandomSeed(uint32_t seed);

// ---- Input (logical screen coordinates) ---------------------------------------------------

void PointerDown(int32_t x, int32_t y);
void PointerMove(int32_t x, int32_t y);
void PointerUp(int32_t x, int32_t y);
// A press and a release at the same place.
void Tap(int32_t x, int32_t y);
void KeyDown(uint32_t virtualKey);
void KeyUp(uint32_t virtualKey);
// A key down and up.
void PressKey(uint32_t virtualKey);
// Types text, one character event each (as a keyboard's text input delivers it).
void TypeText(const char16_t* text);
void Wheel(int32_t x, int32_t y, int32_t delta);
// Asks the program to close, as a desktop window's close button does.
void RequestClose();
// Delivers the injected input and dispatches everything queued and due, without moving
// the clock; returns the messages dispatched.
int32_t PumpMessages();
// True while injected input waits to be delivered.
bool InputPending();

// ---- Sound -------------------------------------------------------------------------------

// The names of the WAVE clips started since the last Reset or ClearPlayedSounds, in order.
const std::vector<std::string>& PlayedSounds();
void ClearPlayedSounds();
// The clip that plays now (the last started, until stopped), or an empty name.
const std::string& PlayingSound();

// ---- Files -------------------------------------------------------------------------------

// Uses folder (which must exist) for the program's files. Until it is called the device
// makes a fresh temporary folder of its own, so a test never touches the user's files.
void SetDataFolder(const char* folder);
const char* DataFolder();

// ---- Screen (headless_screen.cpp) ---------------------------------------------------------

// Sets the framebuffer's scale (1..3) and fills it white.
void SetScale(int32_t scale);
// The colour (0xRRGGBB) of logical pixel (x, y): its top-left device pixel; 0 outside.
uint32_t PixelAt(int32_t x, int32_t y);
// Writes the framebuffer, at its scale, as a PNG; false when it cannot be written.
bool SavePng(const char* path);
// How many times the window system presented the screen since the last Reset.
int32_t PresentCount();

}  // namespace headless
