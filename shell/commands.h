// The main window's command and timer handling: menu items, command-bar buttons and page
// controls arrive here as commands; the start sequence's timer ticks here. Called by
// MainWindowProc.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

inline constexpr uint32_t StartSequenceTimer = 1;  // the only timer, 2000 ms, on MainWindow
inline constexpr int32_t ExitCommand = 509;        // the menu's "&Exit"

// Acts on a command with its id and notification code. The default handling follows in
// the caller whatever happens here.
void HandleCommand(plat::WindowId window, int32_t id, int32_t notification);

// Acts on a tick of the start sequence's timer: stops the timer and has the page rebuilt
// and painted at once (ScrollOffset stays). The default handling follows in the caller.
void HandleTimer(plat::WindowId window);

}  // namespace shell
