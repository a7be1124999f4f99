// Page controls: the edit boxes and buttons of the page, kept in two per-page tables, each
// with a display item so that the layout places it in the text. Called by the hotwords and
// the built-in pages while a page is built; the page rebuild empties the tables.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace page {

inline constexpr int EditBoxCapacity = 100;
inline constexpr int ButtonCapacity = 100;
inline constexpr int CaptionSize = 200;  // 199 characters and the terminator
inline constexpr int16_t FirstEditBoxId = 4000;
inline constexpr int16_t FirstButtonId = 5000;

struct EditBoxEntry {
    int16_t width;     // pixels, as the layout places it
    int16_t height;
    int16_t maxChars;  // the most characters the box accepts
};

struct ButtonEntry {
    int16_t width;            // pixels, as the layout places it
    int16_t height;
    plat::BitmapId bitmap;    // a picture button's loaded bitmap, 0 for none
    int16_t captionLength;    // 0 for a picture button
    uint8_t bold;             // BuildBold when the button was made
    int16_t picture;          // a picture button's picture number, -1 for a text button
    char16_t caption[CaptionSize];
};

extern EditBoxEntry EditBoxTable[EditBoxCapacity];
extern int16_t EditBoxCount;
extern plat::WindowId EditBoxHandles[EditBoxCapacity];  // NoWindow where none was made
extern ButtonEntry ButtonTable[ButtonCapacity];
extern int16_t ButtonCount;
extern plat::WindowId ButtonHandles[ButtonCapacity];

// Makes the page's next edit box and returns its id, 4000 + n; returns 0 and shows a
// message when the table is full.
int16_t AddEditBox(int16_t maxChars);
// Makes a hotword button with the caption (cut to 199 characters) and returns its id,
// 5000 + n; 0 when the table is full.
int16_t AddTextButton(const char* caption);
// Makes a button that shows picture pictureIndex of the book's picture table and returns
// its id, 5000 + n; 0 when the table is full.
int16_t AddPictureButton(int pictureIndex);
// Makes a text button with a given id: 5000 and up for hotwords, below 5000 for the fixed
// buttons of the built-in pages. Returns false when the table is full.
bool CreateTextButton(const char* caption, int16_t id);
// Forgets every control of the previous page. Called at the start of every rebuild.
void ResetControls();

// Draws a page button for the main window's draw-item message: a picture button's bitmap
// at the control's top-left, or a text button's caption centred from the top in the font
// it was made with. Ids below 5000 and unknown buttons are left to the default handling,
// which the caller runs afterwards in every case.
void DrawPageButton(const plat::DrawItemRequest& request);

}  // namespace page
