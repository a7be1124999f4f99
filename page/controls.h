// Page controls: the edit boxes and buttons of the page as child windows of the main window,
// kept in two per-page tables, each with a display item so that the layout places it in the
// text. Called by the hotwords and the built-in pages while a page is built, by the rebuild
// (ResetControls) and by the main window (DrawPageButton; EditBoxKeyHook runs as each edit
// box's window procedure).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace page {

inline constexpr int EditBoxCapacity = 100;
inline constexpr int ButtonCapacity = 100;
inline constexpr int CaptionSize = 200;  // 199 characters and the terminator
inline constexpr int16_t FirstEditBoxId = 4000;
inline constexpr int16_t FirstButtonId = 5000;
inline constexpr int16_t SoundCheckBoxId = 518;

struct EditBoxEntry {
    int16_t width;                     // pixels
    int16_t height;
    int16_t top;                       // provisional place at creation; the layout moves it
    int32_t left;
    int16_t maxChars;                  // the most characters the box accepts
    plat::WindowProc previousProcedure;  // the edit control's own procedure, under the key hook
};

struct ButtonEntry {
    int16_t width;            // pixels
    int16_t height;
    int16_t top;              // provisional place at creation; the layout moves it
    int32_t left;
    int16_t captionLength;    // 0 for a picture button
    uint8_t bold;             // BuildBold when the button was made: drawn in BoldFont
    plat::BitmapId bitmap;    // a picture button's bitmap, held until the next rebuild; 0 for none
    int16_t picture;          // a picture button's picture number, -1 for any other button
    char16_t caption[CaptionSize];
};

// The tables of the page being shown. Slot n of a handle table belongs to entry n; it is
// NoWindow where no window was made.
extern EditBoxEntry EditBoxTable[EditBoxCapacity];
extern plat::WindowId EditBoxHandles[EditBoxCapacity];
extern int16_t EditBoxCount;
extern ButtonEntry ButtonTable[ButtonCapacity];
extern plat::WindowId ButtonHandles[ButtonCapacity];
extern int16_t ButtonCount;
// The button slot of the sound page's check box, for reading its mark back; -1 for none.
extern int16_t SoundCheckBox;

// Controls are children of shell::MainWindow and are placed first at the left of ClientArea,
// at PenY, which then grows by their height plus 1 (the layout moves them to their place).
// While there is no main window (a page interpreted by a tool or a markup test) the tables
// and display items are filled just the same, without windows or messages.

// Makes the page's next edit box for answers of up to maxChars characters and returns its
// id, 4000 + n: 2 x (maxChars x AverageCharWidth + 1) wide, at most ClientArea's width, and
// 1.5 x TextHeight high; hidden until the layout shows it. A window that cannot be made is
// reported ("Null Edit Box") and the page goes on without it. Returns 0 when the table is
// full (reported once per page).
int16_t AddEditBox(int16_t maxChars);
// Makes a hotword button with the caption and returns its id, 5000 + its slot; 0 when the
// table is full.
int16_t AddTextButton(const char* caption);
// Makes a hotword button showing picture pictureIndex of the book's picture table and
// returns its id, 5000 + its slot; 0 for a picture outside the table or a full table.
int16_t AddPictureButton(int pictureIndex);
// Makes a text button with the given id: owner-drawn for 5000 and up, a default push button
// showing its caption for the fixed buttons below 5000. The caption keeps 199 characters;
// the button is as wide as the larger of its measured width and 3 pixels a character, plus
// 12, and its text's height plus 4 high, measured in BoldFont while bold is on or for an id
// below 5000, else in NormalFont. A window that cannot be made shows "Could not create
// button" with the error code and asks the main window to close. False when the table is full.
bool CreateTextButton(const char* caption, int16_t id);
// Makes an owner-drawn button showing picture pictureIndex, sized by its bitmap (the width
// of a line and TextHeight when the bitmap cannot be read); visible at once. False for a
// picture outside the table or a full table.
bool CreatePictureButton(int pictureIndex, int16_t id);
// Makes the sound page's self-ticking check box "Sound" (id 518), 14 x AverageCharWidth
// wide and LineHeight + 4 high, raising LineHeight by 4; ticked when the sound is on and
// shown at once. When its window cannot be made, shows "Could not create button" ("No
// Memory"), asks the main window to close and records nothing. False when nothing was made.
bool CreateSoundCheckBox();

// Destroys the previous page's windows, releases its picture buttons' bitmaps and empties
// both tables. Called at the start of every rebuild.
void ResetControls();

// Runs as the window procedure of every page edit box: turns Tab and Enter into a command
// (notification 0x501, the box's id) and Up and Down into a one-line scroll, both sent to the
// main window; passes everything else to the box's own procedure.
intptr_t EditBoxKeyHook(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Draws a page button for the main window's draw-item message: a picture button's bitmap
// at the control's top-left, or a text button's caption centred from the top in the font
// it was made with. Ids below 5000 and unknown buttons are left to the default handling,
// which the caller runs afterwards in every case.
void DrawPageButton(const plat::DrawItemRequest& request);

}  // namespace page
