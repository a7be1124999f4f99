// The command and timer handlers of the main window. First version, made with the start-up:
// the menu's exit command and the timer are handled; the other menu items, the command-bar
// buttons and the page controls come with the navigation work (see HandleCommand).
#include "shell/commands.h"

#include "shell/navigation.h"

namespace shell {

void HandleCommand(plat::WindowId window, int32_t id, int32_t /*notification*/) {
    switch (id) {
    case ExitCommand:
        // The window's default close handling destroys it, which ends the message loop.
        plat::PostMessage(window, plat::MsgClose, 0, 0);
        break;
    default:
        // Not yet handled: menu items 500 to 508, the command-bar buttons 510 to 516, the
        // sound page's 518 and 519, page edit boxes (4000 + n) and page buttons (5000 + n).
        break;
    }
}

void HandleTimer(plat::WindowId window) {
    plat::KillTimer(window, StartSequenceTimer);
    RebuildNeeded = true;
    plat::InvalidateWindow(window, true);
    plat::UpdateWindow(window);
}

}  // namespace shell
