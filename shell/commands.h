// The main window's command handling: the menu items, the command-bar buttons, the fixed
// buttons of the built-in pages, and the page's edit boxes and hotword buttons all arrive
// here as commands. Called by MainWindowProc.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

inline constexpr int32_t ExitCommand = 509;  // the menu's "&Exit"

// Acts on a command with its id (0..65535) and notification code. Page buttons (5000 and
// up) and confirmed edit boxes (4000 + n with notification 0x501) are passed on once per
// built page; later ones are dropped until the page is rebuilt. The default handling
// follows in the caller whatever happens here.
void HandleCommand(plat::WindowId window, int32_t id, int32_t notification);

}  // namespace shell
