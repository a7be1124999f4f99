// Page controls: the edit boxes and buttons of the page as child windows of the main window,
// their two tables, the key hook of the edit boxes and the drawing of the hotword buttons.
// Called by the hotwords and the built-in pages while a page is built, by the rebuild, and
// by the main window's draw-item handling.
#include "page/controls.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "book/state_file.h"
#include "book/tables.h"
#include "page/display_list.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "shell/main_window.h"

namespace page {

EditBoxEntry EditBoxTable[EditBoxCapacity];
plat::WindowId EditBoxHandles[EditBoxCapacity];
int16_t EditBoxCount = 0;
ButtonEntry ButtonTable[ButtonCapacity];
plat::WindowId ButtonHandles[ButtonCapacity];
int16_t ButtonCount = 0;
int16_t SoundCheckBox = -1;

namespace {

constexpr uint32_t EditBoxStyle = plat::StyleChild | plat::StyleVisible | plat::StyleBorder |
                                  plat::EditAutoHScroll | plat::EditNoHideSelection;
constexpr uint32_t HotwordButtonStyle = plat::StyleChild | plat::StyleVisible | plat::StyleBorder | plat::ButtonOwnerDraw;
constexpr uint32_t FixedButtonStyle = plat::StyleChild | plat::StyleVisible | plat::ButtonDefaultPush;
constexpr uint32_t PictureButtonStyle = plat::StyleChild | plat::StyleVisible | plat::ButtonOwnerDraw;
constexpr uint32_t CheckBoxStyle = plat::StyleChild | plat::StyleVisible | plat::ButtonAutoCheckBox;
constexpr uint32_t CaptionFlags = plat::TextCenter | plat::TextTop | plat::TextSingleLine | plat::TextNoPrefix;
constexpr int16_t SoundCaptionLength = 8;

// A page with more controls than a table holds is reported once, not once per lost control.
bool ButtonsOverflowReported = false;
bool EditBoxesOverflowReported = false;

// Returns the window that holds the controls, or NoWindow when the page is built without one.
plat::WindowId Parent() {
    return plat::IsWindow(shell::MainWindow) ? shell::MainWindow : plat::NoWindow;
}

int16_t Clamp16(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

// Returns true when the table has room; reports a full table once per page.
bool HasRoom(int16_t count, int capacity, bool& reported, const char* message) {
    if (count < capacity) return true;
    if (!reported) {
        reported = true;
        ShowErrorMessage(message);
    }
    return false;
}

bool ButtonRoom() {
    return HasRoom(ButtonCount, ButtonCapacity, ButtonsOverflowReported, "Too many buttons on the page");
}

// Returns the provisional place of a new control of the given size, at the left of
// ClientArea and at PenY, and moves PenY below it.
plat::Rect ProvisionalPlace(int32_t width, int32_t height) {
    plat::Rect place = {ClientArea.left, PenY + ClientArea.top, ClientArea.left + width, PenY + ClientArea.top + height};
    PenY += height + 1;
    return place;
}

void MessageBox(const char16_t* text, const char16_t* caption) {
    plat::MessageBox(Parent(), text, caption, plat::BoxOk);
}

// Records button slot m's window and display item and counts the button. A control left
// out of a full display list is never laid out, so it is hidden rather than left where it
// was made.
void CommitButton(int16_t m, plat::WindowId window) {
    ButtonHandles[m] = window;
    if (!AppendItem(Button, m) && window != plat::NoWindow) plat::ShowWindow(window, plat::ShowHide);
    ButtonCount = static_cast<int16_t>(m + 1);
}

void HideAtOnce(plat::WindowId window) {
    plat::ShowWindow(window, plat::ShowHide);
    plat::UpdateWindow(window);
}

ButtonEntry& StartButton(int16_t m, int32_t width, int32_t height, const plat::Rect& place) {
    ButtonEntry& entry = ButtonTable[m];
    entry.width = Clamp16(width);
    entry.height = Clamp16(height);
    entry.top = Clamp16(place.top);
    entry.left = place.left;
    entry.bold = BuildBold ? 1 : 0;
    entry.bitmap = 0;
    entry.picture = -1;
    entry.captionLength = 0;
    entry.caption[0] = 0;
    return entry;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------------------

int16_t AddEditBox(int16_t maxChars) {
    if (!HasRoom(EditBoxCount, EditBoxCapacity, EditBoxesOverflowReported, "Too many edit boxes on the page")) return 0;
    const int16_t n = EditBoxCount;
    // Computed wide: a long answer must give the widest box, never a width wrapped to a few pixels.
    const int32_t areaWidth = ClientArea.right - ClientArea.left;
    const int32_t width = std::min(2 * (std::max<int32_t>(maxChars, 0) * AverageCharWidth + 1), areaWidth);
    const int32_t height = TextHeight * 3 / 2;

    const plat::Rect place = ProvisionalPlace(width, height);
    EditBoxEntry& entry = EditBoxTable[n];
    entry.width = Clamp16(width);
    entry.height = Clamp16(height);
    entry.top = Clamp16(place.top);
    entry.left = place.left;
    entry.maxChars = maxChars;
    entry.previousProcedure = nullptr;

    plat::WindowId box = plat::NoWindow;
    if (const plat::WindowId parent = Parent(); parent != plat::NoWindow) {
        box = plat::CreateControl(plat::ControlClass::Edit, u"", EditBoxStyle, place, parent, FirstEditBoxId + n);
        if (box != plat::NoWindow) {
            HideAtOnce(box);
            plat::SendMessage(box, plat::MsgLimitText, static_cast<uintptr_t>(std::max<int16_t>(maxChars, 0)), 0);
            entry.previousProcedure = plat::SetWindowProc(box, EditBoxKeyHook);
        } else {
            MessageBox(u"Null Edit Box", u"Bad Edit Box");
        }
    }
    EditBoxHandles[n] = box;
    AppendItem(EditBox, n);
    EditBoxCount = static_cast<int16_t>(n + 1);
    return static_cast<int16_t>(FirstEditBoxId + n);
}

bool CreateTextButton(const char* caption, int16_t id) {
    if (!ButtonRoom()) return false;
    const int16_t m = ButtonCount;
    if (caption == nullptr) caption = "";
    const int32_t length = static_cast<int32_t>(std::min<size_t>(std::strlen(caption), CaptionSize - 1));
    const bool hotword = id >= FirstButtonId;
    const plat::FontId font = BuildBold || !hotword ? BoldFont : NormalFont;

    char16_t wide[CaptionSize];
    plat::WidenCount(caption, length, wide);
    plat::Size extent = {0, 0};
    if (const plat::SurfaceId surface = plat::CreateCompatibleSurface(); surface != 0) {
        plat::SelectFont(surface, font);
        extent = plat::GetTextExtent(surface, wide, length);
        plat::DeleteSurface(surface);
    }
    const int32_t width = std::max(extent.width, 3 * length) + 12;
    const int32_t height = extent.height + 4;

    const plat::Rect place = ProvisionalPlace(width, height);
    ButtonEntry& entry = StartButton(m, width, height, place);
    entry.captionLength = static_cast<int16_t>(length);
    std::memcpy(entry.caption, wide, sizeof(char16_t) * static_cast<size_t>(length + 1));

    plat::WindowId button = plat::NoWindow;
    if (const plat::WindowId parent = Parent(); parent != plat::NoWindow) {
        button = hotword ? plat::CreateControl(plat::ControlClass::Button, u"", HotwordButtonStyle, place, parent, id)
                         : plat::CreateControl(plat::ControlClass::Button, wide, FixedButtonStyle, place, parent, id);
        if (button != plat::NoWindow) {
            HideAtOnce(button);
        } else {
            char code[24];
            std::snprintf(code, sizeof code, " Error %x", plat::LastError());
            char16_t wideCode[24];
            plat::Widen(code, wideCode, 24);
            MessageBox(u"Could not create button", wideCode);
            plat::PostMessage(parent, plat::MsgClose, 0, 0);
        }
    }
    CommitButton(m, button);
    return true;
}

int16_t AddTextButton(const char* caption) {
    const auto id = static_cast<int16_t>(FirstButtonId + ButtonCount);
    return CreateTextButton(caption, id) ? id : 0;
}

bool CreatePictureButton(int pictureIndex, int16_t id) {
    // A picture outside the book's table makes no button, as such a picture in the text shows nothing.
    if (pictureIndex < 0 || pictureIndex >= book::PictureCount) return false;
    if (!ButtonRoom()) return false;
    const int16_t m = ButtonCount;

    const plat::BitmapId bitmap = plat::LoadBitmap(book::PictureTable[pictureIndex].bitmapId);
    // An unreadable bitmap takes a line's width (RightLimit as every layout pass sets it: the
    // first page is built before any pass) and a line of text's height.
    int32_t width = ClientArea.right - PageMargin - ClientArea.left;
    int32_t height = TextHeight;
    if (plat::Size size; bitmap != 0 && plat::GetBitmapSize(bitmap, size)) {
        width = size.width;
        height = size.height;
    }

    const plat::Rect place = ProvisionalPlace(width, height);
    ButtonEntry& entry = StartButton(m, width, height, place);
    entry.bitmap = bitmap;
    entry.picture = static_cast<int16_t>(pictureIndex);

    plat::WindowId button = plat::NoWindow;
    if (const plat::WindowId parent = Parent(); parent != plat::NoWindow) {
        // Left shown: the layout of the same paint places it.
        button = plat::CreateControl(plat::ControlClass::Button, u"", PictureButtonStyle, place, parent, id);
    }
    CommitButton(m, button);
    return true;
}

int16_t AddPictureButton(int pictureIndex) {
    const auto id = static_cast<int16_t>(FirstButtonId + ButtonCount);
    return CreatePictureButton(pictureIndex, id) ? id : 0;
}

bool CreateSoundCheckBox() {
    if (!ButtonRoom()) return false;
    const int16_t m = ButtonCount;
    const int32_t height = LineHeight + 4;
    LineHeight += 4;
    const int32_t width = 14 * AverageCharWidth;
    const plat::Rect place = {ClientArea.left, PenY + ClientArea.top, ClientArea.left + width,
                              PenY + ClientArea.top + height};

    plat::WindowId box = plat::NoWindow;
    if (const plat::WindowId parent = Parent(); parent != plat::NoWindow) {
        box = plat::CreateControl(plat::ControlClass::Button, u"Sound", CheckBoxStyle, place, parent, SoundCheckBoxId);
        if (box == plat::NoWindow) {
            MessageBox(u"Could not create button", u"No Memory");
            plat::PostMessage(parent, plat::MsgClose, 0, 0);
            return false;
        }
        plat::ShowWindow(box, plat::ShowPlain);
        plat::UpdateWindow(box);
    }
    ButtonEntry& entry = StartButton(m, width, height, place);
    // The caption is drawn by the check box itself; the entry only keeps it.
    std::memset(entry.caption, 0, sizeof entry.caption);
    plat::Widen("Sound", entry.caption, CaptionSize);
    entry.captionLength = SoundCaptionLength;
    entry.bold = 0;
    PenY += height + 1;
    CommitButton(m, box);
    if (box != plat::NoWindow) plat::SendMessage(box, plat::MsgSetCheck, book::SoundOn() == 1 ? 1 : 0, 0);
    SoundCheckBox = m;
    return true;
}

// ---------------------------------------------------------------------------------------
// The rebuild
// ---------------------------------------------------------------------------------------

void ResetControls() {
    for (int n = 0; n < ButtonCount && n < ButtonCapacity; ++n) {
        if (ButtonHandles[n] != plat::NoWindow) {
            plat::DestroyWindow(ButtonHandles[n]);
            ButtonHandles[n] = plat::NoWindow;
        }
        if (ButtonTable[n].bitmap != 0) {
            plat::ReleaseBitmap(ButtonTable[n].bitmap);  // a failure leaves nothing to do
            ButtonTable[n].bitmap = 0;
        }
    }
    // Destroyed before the count is cleared: the key hook still finds each box's own
    // procedure for its destroy message.
    for (int n = 0; n < EditBoxCount && n < EditBoxCapacity; ++n) {
        if (EditBoxHandles[n] != plat::NoWindow) {
            plat::DestroyWindow(EditBoxHandles[n]);
            EditBoxHandles[n] = plat::NoWindow;
        }
    }
    ButtonCount = 0;
    EditBoxCount = 0;
    SoundCheckBox = -1;
    ButtonsOverflowReported = false;
    EditBoxesOverflowReported = false;
}

// ---------------------------------------------------------------------------------------
// The main window's side
// ---------------------------------------------------------------------------------------

intptr_t EditBoxKeyHook(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const int32_t id = plat::GetControlId(window);
    if (message == plat::MsgKeyDown) {
        const plat::WindowId main = plat::GetParent(window);
        switch (wParam) {
        case plat::KeyTab:
        case plat::KeyReturn:
            // The command may rebuild the page and destroy this box: nothing touches it after.
            plat::SendMessage(main, plat::MsgCommand,
                              plat::MakeCommandParam(plat::EditConfirmNotification, static_cast<uint32_t>(id)), 0);
            return 0;
        case plat::KeyUp:
            plat::SendMessage(main, plat::MsgVScroll, plat::ScrollLineUp, 0);
            return 0;
        case plat::KeyDown:
            plat::SendMessage(main, plat::MsgVScroll, plat::ScrollLineDown, 0);
            return 0;
        default:
            break;
        }
    }
    const int32_t n = id - FirstEditBoxId;
    const plat::WindowProc previous = n >= 0 && n < EditBoxCount ? EditBoxTable[n].previousProcedure : nullptr;
    return plat::CallWindowProc(previous, window, message, wParam, lParam);
}

void DrawPageButton(const plat::DrawItemRequest& request) {
    const int32_t slot = request.controlId - FirstButtonId;
    if (slot < 0 || slot >= ButtonCount) return;
    const ButtonEntry& entry = ButtonTable[slot];
    if (entry.bitmap != 0) {
        plat::DrawBitmap(request.surface, entry.bitmap, 0, 0);
        return;
    }
    if (entry.captionLength <= 0) return;
    const plat::FontId previous = plat::SelectFont(request.surface, entry.bold != 0 ? BoldFont : NormalFont);
    plat::DrawText(request.surface, entry.caption, entry.captionLength, request.item, CaptionFlags);
    plat::SelectFont(request.surface, previous);
}

}  // namespace page
