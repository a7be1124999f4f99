// MainWindowProc: the message table of the reader's window, and the process-wide handles
// that start-up sets. Each message goes to the part of the reader that handles it.
#include "shell/main_window.h"

#include "page/controls.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/startup.h"

namespace shell {

plat::WindowId MainWindow = plat::NoWindow;
plat::WindowId MenuBar = plat::NoWindow;
plat::Rect ControlArea = {0, 0, 0, 0};

namespace {

constexpr intptr_t CreationGoesOn = 0;

}  // namespace

intptr_t MainWindowProc(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    page::CheckInputPanel(window);
    switch (message) {
    case plat::MsgCreate:
        // Handlers that run while the window is being made already need its handle.
        MainWindow = window;
        page::CreatePageFonts(window);
        CreateMenuBar(window);
        return CreationGoesOn;
    case plat::MsgDestroy:
        page::DeletePageFonts();
        return 0;
    case plat::MsgSize:
        page::ResizePage(window, plat::LowWord(lParam), plat::HighWord(lParam));
        return 0;
    case plat::MsgPaint:
        page::BuildPage(window);
        return 0;
    case plat::MsgDrawItem:
        if (lParam != 0) page::DrawPageButton(*reinterpret_cast<const plat::DrawItemRequest*>(lParam));
        return plat::DefaultWindowProc(window, message, wParam, lParam);
    case plat::MsgKeyDown:
        return page::ScrollKeys(window, wParam, lParam);
    case plat::MsgCommand:
        HandleCommand(window, plat::LowWord(wParam), plat::HighWord(wParam));
        return plat::DefaultWindowProc(window, message, wParam, lParam);
    case plat::MsgTimer:
        HandleTimer();
        return plat::DefaultWindowProc(window, message, wParam, lParam);
    case plat::MsgVScroll:
        page::ScrollPage(window, static_cast<uint32_t>(plat::LowWord(wParam)));
        return 0;
    default:
        return plat::DefaultWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace shell
