// The command bar's button states: the back button, the arrows and their blank placeholders,
// set after every page rebuild through the command bar's set-state message.
#include "shell/toolbar.h"

#include "platform/platform.h"
#include "shell/main_window.h"

namespace shell {
namespace {

constexpr uint32_t BackButton = 510;
constexpr uint32_t NextButton = 511;
constexpr uint32_t PreviousButton = 512;
constexpr uint32_t BackPlaceholder = 514;
constexpr uint32_t PreviousPlaceholder = 515;

void SetButton(uint32_t command, bool shown) {
    plat::SendMessage(MenuBar, plat::MsgSetButtonState, command, shown ? plat::ButtonEnabled : plat::ButtonHidden);
}

}  // namespace

void UpdateToolbar(bool showBack, int nextArrowMode, int previousArrowMode) {
    SetButton(BackButton, showBack);
    SetButton(BackPlaceholder, !showBack);
    SetButton(NextButton, nextArrowMode != 0);
    SetButton(PreviousButton, previousArrowMode != 0);
    SetButton(PreviousPlaceholder, previousArrowMode == 0);
}

}  // namespace shell
