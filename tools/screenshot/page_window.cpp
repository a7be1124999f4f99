// The headless page window: its window procedure (the page's part of the reader's message
// table) and showing a paragraph the way navigation does.
#include "tools/screenshot/page_window.h"

#include "page/controls.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "platform/headless/headless.h"
#include "shell/main_window.h"
#include "shell/navigation.h"

namespace screenshot {
namespace {

constexpr char16_t ClassName[] = u"MirewoodPageWindow";

// The page's own messages as shell::MainWindowProc handles them, and nothing of the reader
// around the page: no command bar, no refit to the input panel before each message (the
// window keeps the pocket screen's page size), and the controls' commands, keys, timer and
// scroll messages get the default handling, so a test sees them without the reader acting.
intptr_t PageWindowProc(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case plat::MsgCreate:
        shell::MainWindow = window;  // the page's controls are its children
        return page::CreatePageFonts(window) ? 0 : -1;
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
    default:
        return plat::DefaultWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace

plat::WindowId OpenPageWindow(int32_t scale) {
    headless::Reset();
    page::ResetLayoutState();
    headless::SetScale(scale);
    plat::RegisterWindowClass({ClassName, PageWindowProc, 0});
    return plat::CreateMainWindow(ClassName, u"Mirewood", plat::StyleVisible | plat::StyleVScroll,
                                  plat::DefaultPosition, plat::DefaultPosition, PageWindowWidth, PageWindowHeight);
}

void ClosePageWindow(plat::WindowId window) {
    plat::DestroyWindow(window);
    headless::Reset();  // drops the quit message that closing posted
}

void ShowParagraph(plat::WindowId window, int16_t paragraph) {
    shell::CurrentParagraph = paragraph;
    shell::StoryParagraph = paragraph;
    shell::InStory = true;
    shell::SpecialPage = 0;
    shell::ScrollOffset = 0;
    shell::RebuildNeeded = true;
    plat::InvalidateWindow(window, true);
    plat::UpdateWindow(window);
}

void Repaint(plat::WindowId window) {
    plat::InvalidateWindow(window, true);
    plat::UpdateWindow(window);
}

plat::Rect ClientOnScreen(plat::WindowId window) {
    plat::Rect outer = plat::GetWindowRect(window);
    plat::Rect client = plat::GetClientRect(window);
    return {outer.left, outer.top, outer.left + client.right, outer.top + client.bottom};
}

}  // namespace screenshot
