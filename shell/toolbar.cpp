// The command bar's button states: the back button, the arrows and their blank placeholders,
// set after every page rebuild through the command bar's set-state message.
#include "shell/toolbar.h"

#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace shell {
namespace {

void SetButton(uint32_t command, bool shown) {
    plat::SendMessage(MenuBar, plat::MsgSetButtonState, command, shown ? plat::ButtonEnabled : plat::ButtonHidden);
}

}  // namespace

void UpdateToolbar(bool showBack, int nextArrowMode, int previousArrowMode) {
    SetButton(BackCommand, showBack);
    SetButton(BackPlaceholder, !showBack);
    SetButton(NextCommand, nextArrowMode != 0);
    SetButton(PreviousCommand, previousArrowMode != 0);
    SetButton(PreviousPlaceholder, previousArrowMode == 0);
}

}  // namespace shell
