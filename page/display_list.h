// The display list and the page buffer: the page as a flat list of items in reading order,
// with the words in one character store. Filled while a page is built (markup, built-in
// pages, page controls), laid out on every paint. Also the error box for faults in the
// book's data.
#pragma once

#include <cstdint>

namespace page {

inline constexpr int DisplayListCapacity = 400;
inline constexpr int PageBufferSize = 6820;
inline constexpr int ErrorMessageSize = 100;  // wide characters shown, terminator included

enum DisplayKind : int32_t {
    Text = 1,
    AlignLeft = 2,
    AlignCenter = 3,
    AlignRight = 4,
    BoldStart = 5,
    BoldEnd = 6,
    BlankLine = 8,
    LineBreak = 9,
    Tab = 10,
    Title = 12,
    Picture = 13,
    EditBox = 14,
    Button = 15,
};

struct DisplayItem {
    int32_t kind;
    int16_t index;    // Picture: bitmap id; EditBox, Button: index into the control table
    uint8_t inline_;  // Picture: nonzero when later items may follow on the same line
    const char* text; // Text, Title: zero-terminated text inside the page buffer
};

struct DisplayListRecord {
    DisplayItem items[DisplayListCapacity];
    int16_t count;
};

extern DisplayListRecord DisplayList;
extern char PageBuffer[PageBufferSize];
extern int16_t PageBufferLength;  // characters in use, each stored text's terminator included
extern bool BuildBold;

// Appends a run of words; it joins the last item when that is also Text. A text that does
// not fit the page buffer is reported ("Page buffer Overflow") and dropped, so a shorter
// later text may still fit.
void AppendWords(const char* text);
// Appends title text by the same rule as AppendWords, joining a Title item before it.
void AppendTitle(const char* text);
// Appends the buffer's text as words, empties the buffer and returns how many characters
// it held.
int16_t FlushWordBuffer(char* buffer);
void AppendLineBreak();
void AppendBlankLine();
void AppendTab();
// Switches BuildBold (read by the page controls) and appends the matching item.
void BoldOn();
void BoldOff();
// Appends an alignment item: 0 left, 1 centred, 2 right; other values append nothing.
void SetAlignment(int alignment);
// Appends picture pictureIndex of the book's picture table; a number outside the table
// appends nothing.
void AppendBookPicture(int pictureIndex, bool inlinePicture);
// Appends an inline picture by bitmap resource id.
void AppendBitmap(int16_t bitmapId);
// Appends an item of another kind (controls); false when the list is full. Text and Title
// items go through AppendWords and AppendTitle only, so this refuses them.
bool AppendItem(int32_t kind, int16_t index);
// Empties the list and the page buffer for the next page. BuildBold is left as it is.
void ResetDisplayList();

// Shows a fault in the book's data: a modal box with the message (at most 99 characters
// are shown), the platform's default caption and an OK button. Returns when it is closed.
void ShowErrorMessage(const char* message);

}  // namespace page
