// The reader's start and end: ReaderMain runs the start-up steps, the message loop and the
// saving of the reading state, and makes sure only one reader runs at a time. The program
// entry of each device calls it; the main window's create handling calls CreateMenuBar.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

// The window class; the state file's name is built from it, and a second reader finds
// the running one by it.
inline constexpr char16_t ClassName[] = u"QRN5The_Mirewood_Vow";
inline constexpr int32_t IconResource = 420;
inline constexpr int32_t MenuBarResource = 102;
inline constexpr int32_t MenuBarBitmap = 421;
inline constexpr int32_t MenuBarImages = 6;
inline constexpr int32_t CaptionSize = 200;

// Runs the reader with the show mode of plat::ShowCommand and returns the exit code: the
// quit message's code (0) after a normal end, 1 when another reader holds the state file
// (that reader is asked to the front, or the user is told) or the window cannot be made.
int ReaderMain(int32_t showMode);

// Registers the window class, sizes the window by the input panel (setting
// page::InputPanelFlags and page::PageSize), creates MainWindow with the book's title as
// its caption, records ControlArea, shows the window with showMode and paints it at once.
// Returns NoWindow when the class or the window cannot be made.
plat::WindowId OpenMainWindow(int32_t showMode);

// Creates MenuBar for the window from the command-bar resource; a failure is shown in a
// message box and the reader goes on without it. Then hides the input panel.
void CreateMenuBar(plat::WindowId window);

}  // namespace shell
