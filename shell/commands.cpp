// The command handler of the main window: the menu, the command-bar buttons, the sound
// page's Ok, the page's edit boxes (4000 + n) and hotword buttons (5000 + n). Called by
// MainWindowProc for every command; moves the reader through shell/navigation.cpp.
#include "shell/commands.h"

#include <algorithm>

#include "book/state_file.h"
#include "book/tables.h"
#include "book/variables.h"
#include "markup/hotwords.h"
#include "page/controls.h"
#include "page/line_fit.h"
#include "shell/builtin_pages.h"
#include "shell/main_window.h"
#include "shell/navigation.h"

namespace shell {
namespace {


// The menu and command-bar commands that step out of the story to a menu paragraph or a
// built-in page; the back button returns to StoryParagraph.
struct AsideCommand {
    int32_t id;
    int16_t paragraph;  // 0 when the command shows a built-in page
    int page;
};

constexpr AsideCommand AsideCommands[] = {
    {501, 6, NoSpecialPage},  // "&Information", button i
    {502, 3, NoSpecialPage},  // "&Restart", button R
    {503, 4, NoSpecialPage},  // "&Objective"
    {504, 0, SoundPage},      // "&Sounds"
    {506, 7, NoSpecialPage},  // "&Hints"
    {507, 0, SupportPage},    // "&About ..."
    {508, 5, NoSpecialPage},  // "&Credits"
    {InstructionsCommand, 0, ButtonGuidePage},
};

void StartAgain(plat::WindowId window) {
    if (plat::MessageBox(window, u"Do you really want to start again?", u"Beginning of Book", plat::BoxYesNo) !=
        plat::AnswerYes) {
        return;
    }
    InStory = true;
    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    GoToParagraph(book::FirstStoryParagraph, Follow);
    // The page just painted still carried the last page's bold; from the next paint on the
    // book starts plain.
    page::LayoutBold = false;
}

// Stores the sound page's check mark as the sound setting; without a check box (the page
// is not shown, or the box could not be made) the setting stays.
void StoreSoundSetting() {
    const int16_t slot = page::SoundCheckBox;
    if (slot < 0 || slot >= page::ButtonCount || page::ButtonHandles[slot] == plat::NoWindow) return;
    const intptr_t checked = plat::SendMessage(page::ButtonHandles[slot], plat::MsgGetCheck, 0, 0);
    book::SetSoundOn(checked == 1 ? 1 : 0);
}

void FollowArrow(const Arrow& arrow) {
    if (arrow.mode == ArrowParagraph) {
        GoToParagraph(static_cast<int16_t>(arrow.target + 1), Follow);
    } else if (arrow.mode == ArrowPage) {
        ShowSpecialPage(arrow.target);
    }
}

// Reads the confirmed edit box n into TypedAnswer (its text as far as the box accepts, at
// most 199 characters) and, once per page, acts on its hotword.
void ConfirmEditBox(int32_t id) {
    const int32_t n = id - page::FirstEditBoxId;
    if (n >= page::EditBoxCount) return;  // no such box on this page
    const int32_t accepted = std::clamp<int32_t>(page::EditBoxTable[n].maxChars, 0, TypedAnswerSize - 1);
    char16_t typed[TypedAnswerSize] = {};
    plat::GetWindowText(page::EditBoxHandles[n], typed, accepted + 1);
    // Back to the book's 8-bit text, the inverse of the widening its texts were shown with.
    plat::Narrow(typed, TypedAnswer, accepted + 1);
    if (ChoiceTaken) return;
    ChoiceTaken = true;
    // Leading on rebuilds the page, which destroys the box: nothing here touches it after.
    markup::ActivateHotword(static_cast<int16_t>(id), TypedAnswer);
}

void TapPageButton(int32_t id) {
    if (ChoiceTaken) return;
    ChoiceTaken = true;
    if (InventoryPageShown) {
        SelectInventoryItem(id);
    } else {
        // Ids past 32767 belong to no hotword, which then does nothing.
        markup::ActivateHotword(static_cast<int16_t>(id), "");
    }
}

}  // namespace

void HandleCommand(plat::WindowId window, int32_t id, int32_t notification) {
    if (id >= page::FirstButtonId) {
        TapPageButton(id);
        return;
    }
    if (id >= page::FirstEditBoxId) {
        if (notification == static_cast<int32_t>(plat::EditConfirmNotification)) ConfirmEditBox(id);
        return;
    }
    for (const AsideCommand& command : AsideCommands) {
        if (command.id != id) continue;
        InStory = false;
        if (command.paragraph != 0) {
            GoToParagraph(command.paragraph, Follow);
        } else {
            ShowSpecialPage(command.page);
        }
        return;
    }
    switch (id) {
    case StartAgainCommand:
        StartAgain(window);
        break;
    case ExitCommand:
        // The window's default close handling destroys it, which ends the message loop.
        plat::PostMessage(window, plat::MsgClose, 0, 0);
        break;
    case BackCommand:
        if (InStory) break;
        if (SoundPageShown) StoreSoundSetting();
        GoToParagraph(StoryParagraph, Story);
        break;
    case NextCommand:
        FollowArrow(NextArrow);
        break;
    case PreviousCommand:
        FollowArrow(PreviousArrow);
        break;
    case SoundOkCommand:
        StoreSoundSetting();
        GoToParagraph(StoryParagraph, Story);
        break;
    default:
        // 514 to 516 (blank buttons), 518 (the check box ticks itself) and every other id.
        break;
    }
}

}  // namespace shell
