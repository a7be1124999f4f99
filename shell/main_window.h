// The reader's single top-level window: its handle and that of its command bar, the client
// rectangle page controls are placed in, and MainWindowProc, the window procedure with the
// table of every message the window handles. Start-up creates the window; the page and
// the navigation read these values.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

extern plat::WindowId MainWindow;
// The command bar; NoWindow when it could not be created.
extern plat::WindowId MenuBar;
// The client rectangle of MainWindow, recorded once right after its creation.
extern plat::Rect ControlArea;

// Handles every message of MainWindow: the input panel check first, then create, destroy,
// size, paint, draw item, key down, command, timer and vertical scroll go to their
// handlers; every other message gets the default handling.
intptr_t MainWindowProc(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace shell
