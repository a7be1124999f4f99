// The display list, the page buffer and the append operations that fill them while a page
// is built; also ShowErrorMessage. Called by the markup interpreter, the page controls and
// the built-in pages; read by the layout pass.
#include "page/display_list.h"

#include <cstring>

#include "book/tables.h"
#include "platform/platform.h"

namespace page {

DisplayListRecord DisplayList = {};
char PageBuffer[PageBufferSize] = {};
int16_t PageBufferLength = 0;
bool BuildBold = false;

namespace {

// A page with more items than the list holds is reported once, not once per lost item.
bool ListOverflowReported = false;

// Adds an item at the end; false when the list is full.
bool PushItem(int32_t kind, int16_t index, uint8_t inlinePicture, const char* text) {
    if (DisplayList.count >= DisplayListCapacity) {
        if (!ListOverflowReported) {
            ListOverflowReported = true;
            ShowErrorMessage("Display list overflow");
        }
        return false;
    }
    DisplayList.items[DisplayList.count++] = DisplayItem{kind, index, inlinePicture, text};
    return true;
}

// The text rule. The last item's text is always the last text in the page buffer (a text
// is stored only together with its item), so joining writes over the buffer's last
// terminator.
void AppendText(const char* text, DisplayKind kind) {
    const size_t n = std::strlen(text);
    if (PageBufferLength + n >= static_cast<size_t>(PageBufferSize)) {
        ShowErrorMessage("Page buffer Overflow");
        return;
    }
    const int16_t count = DisplayList.count;
    if (count > 0 && DisplayList.items[count - 1].kind == kind) {
        std::memcpy(PageBuffer + PageBufferLength - 1, text, n + 1);
        PageBufferLength = static_cast<int16_t>(PageBufferLength + n);
        return;
    }
    if (!PushItem(kind, 0, 0, PageBuffer + PageBufferLength)) return;
    std::memcpy(PageBuffer + PageBufferLength, text, n + 1);
    PageBufferLength = static_cast<int16_t>(PageBufferLength + n + 1);
}

}  // namespace

void AppendWords(const char* text) {
    AppendText(text, Text);
}

void AppendTitle(const char* text) {
    AppendText(text, Title);
}

int16_t FlushWordBuffer(char* buffer) {
    const auto held = static_cast<int16_t>(std::strlen(buffer));
    AppendWords(buffer);
    buffer[0] = '\0';
    return held;
}

void AppendLineBreak() {
    PushItem(LineBreak, 0, 0, nullptr);
}

void AppendBlankLine() {
    PushItem(BlankLine, 0, 0, nullptr);
}

void AppendTab() {
    PushItem(Tab, 0, 0, nullptr);
}

void BoldOn() {
    BuildBold = true;
    PushItem(BoldStart, 0, 0, nullptr);
}

void BoldOff() {
    BuildBold = false;
    PushItem(BoldEnd, 0, 0, nullptr);
}

void SetAlignment(int alignment) {
    if (alignment < 0 || alignment > 2) return;
    PushItem(AlignLeft + alignment, 0, 0, nullptr);
}

void AppendBookPicture(int pictureIndex, bool inlinePicture) {
    if (pictureIndex < 0 || pictureIndex >= book::PictureCount) return;
    PushItem(Picture, book::PictureTable[pictureIndex].bitmapId, inlinePicture ? 1 : 0, nullptr);
}

void AppendBitmap(int16_t bitmapId) {
    PushItem(Picture, bitmapId, 1, nullptr);
}

bool AppendItem(int32_t kind, int16_t index) {
    if (kind == Text || kind == Title) return false;
    return PushItem(kind, index, 0, nullptr);
}

void ResetDisplayList() {
    DisplayList.count = 0;
    PageBufferLength = 0;
    ListOverflowReported = false;
}

void ShowErrorMessage(const char* message) {
    char16_t wide[ErrorMessageSize];
    plat::Widen(message, wide, ErrorMessageSize);
    plat::MessageBox(plat::NoWindow, wide, nullptr, plat::BoxOk);
}

}  // namespace page
