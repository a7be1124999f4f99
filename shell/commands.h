// The main window's command handling: the menu items, the command-bar buttons, the fixed
// buttons of the built-in pages, and the page's edit boxes and hotword buttons all arrive
// here as commands. Called by MainWindowProc.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

// Command ids of the menu, the command bar and the built-in pages' own buttons, as the menu
// and command-bar resources number them (the menu's pages, 501 to 508, are listed with
// what they show in commands.cpp).
inline constexpr int32_t StartAgainCommand = 500;    // the menu's "Start at the &Beginning"
inline constexpr int32_t ExitCommand = 509;          // the menu's "&Exit"
inline constexpr int32_t BackCommand = 510;          // back to the story paragraph
inline constexpr int32_t NextCommand = 511;          // the down arrow
inline constexpr int32_t PreviousCommand = 512;      // the up arrow
inline constexpr int32_t InstructionsCommand = 513;  // the question-mark button; "INSTRUCTIONS" on page 1
inline constexpr int32_t BackPlaceholder = 514;      // blank cells that take a hidden button's place
inline constexpr int32_t PreviousPlaceholder = 515;
inline constexpr int32_t SoundOkCommand = 519;       // "Ok" on the sound page

// Acts on a command with its id (0..65535) and notification code. Page buttons (5000 and
// up) and confirmed edit boxes (4000 + n with notification 0x501) are passed on once per
// built page; later ones are dropped until the page is rebuilt. The default handling
// follows in the caller whatever happens here.
void HandleCommand(plat::WindowId window, int32_t id, int32_t notification);

}  // namespace shell
