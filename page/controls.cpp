// The page's control tables: each edit box and button is recorded with its id and its
// display item; DrawPageButton draws the owner-drawn buttons. First version: no child
// windows are made yet; creating, placing and destroying the real windows comes with the
// page controls work. Called by the hotwords and the main window's draw-item handling.
#include "page/controls.h"

#include <algorithm>
#include <cstring>

#include "book/tables.h"
#include "page/display_list.h"
#include "page/line_fit.h"
#include "platform/platform.h"

namespace page {

EditBoxEntry EditBoxTable[EditBoxCapacity];
int16_t EditBoxCount = 0;
ButtonEntry ButtonTable[ButtonCapacity];
int16_t ButtonCount = 0;
plat::WindowId EditBoxHandles[EditBoxCapacity];
plat::WindowId ButtonHandles[ButtonCapacity];

namespace {

// The next free button entry, or null (with a message) when the page already has the most.
ButtonEntry* NextButton() {
    if (ButtonCount >= ButtonCapacity) {
        ShowErrorMessage("Too many buttons on the page");
        return nullptr;
    }
    return &ButtonTable[ButtonCount];
}

// Records the button just filled in and its display item; returns its slot.
int16_t CommitButton() {
    int16_t slot = ButtonCount++;
    AppendItem(Button, slot);
    return slot;
}

}  // namespace

int16_t AddEditBox(int16_t maxChars) {
    if (EditBoxCount >= EditBoxCapacity) {
        ShowErrorMessage("Too many edit boxes on the page");
        return 0;
    }
    int16_t n = EditBoxCount++;
    EditBoxTable[n].maxChars = maxChars;
    AppendItem(EditBox, n);
    return static_cast<int16_t>(FirstEditBoxId + n);
}

// The id is the window's; it is given to the button window once windows are made here.
bool CreateTextButton(const char* caption, int16_t /*id*/) {
    ButtonEntry* entry = NextButton();
    if (entry == nullptr) return false;
    if (caption == nullptr) caption = "";
    entry->captionLength = static_cast<int16_t>(std::min<size_t>(std::strlen(caption), CaptionSize - 1));
    entry->bold = BuildBold ? 1 : 0;
    entry->picture = -1;
    plat::Widen(caption, entry->caption, CaptionSize);
    CommitButton();
    return true;
}

int16_t AddTextButton(const char* caption) {
    int16_t id = static_cast<int16_t>(FirstButtonId + ButtonCount);
    return CreateTextButton(caption, id) ? id : 0;
}

int16_t AddPictureButton(int pictureIndex) {
    // A picture outside the book's table makes no button, like a picture outside it in
    // the text shows nothing.
    if (pictureIndex < 0 || pictureIndex >= book::PictureCount) return 0;
    ButtonEntry* entry = NextButton();
    if (entry == nullptr) return 0;
    entry->captionLength = 0;
    entry->bold = BuildBold ? 1 : 0;
    entry->picture = static_cast<int16_t>(pictureIndex);
    entry->caption[0] = 0;
    return static_cast<int16_t>(FirstButtonId + CommitButton());
}

void ResetControls() {
    EditBoxCount = 0;
    ButtonCount = 0;
}

void DrawPageButton(const plat::DrawItemRequest& request) {
    const int32_t slot = request.controlId - FirstButtonId;
    if (slot < 0 || slot >= ButtonCount) return;
    const ButtonEntry& entry = ButtonTable[slot];
    if (entry.bitmap != 0) {
        plat::DrawBitmap(request.surface, entry.bitmap, 0, 0);
        return;
    }
    const plat::FontId previous = plat::SelectFont(request.surface, entry.bold != 0 ? BoldFont : NormalFont);
    plat::DrawText(request.surface, entry.caption, entry.captionLength, request.item,
                   plat::TextCenter | plat::TextTop | plat::TextSingleLine | plat::TextNoPrefix);
    plat::SelectFont(request.surface, previous);
}

}  // namespace page
