// Start-up, the message loop and shutdown: ReaderMain takes the steps of a run in order
// (the state file, the second-reader path, the window class, the page size, the window and
// its first paint, the loop, saving) and CreateMenuBar makes the command bar. Each device's
// program entry calls ReaderMain.
#include "shell/startup.h"

#include "book/state_file.h"
#include "book/tables.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "shell/main_window.h"
#include "shell/navigation.h"

namespace shell {
namespace {

constexpr int ExitSecondReader = 1;
constexpr int ExitNoWindow = 1;

// Another reader holds the state file (or it cannot be made): that reader is asked to the
// front, or the user is told that the book cannot be opened.
int LeaveForOtherReader() {
    if (!plat::AskRunningInstanceToFront(ClassName)) {
        plat::MessageBox(plat::NoWindow, u"I cannot the book?", nullptr, plat::BoxOk);
    }
    return ExitSecondReader;
}

// The state is written back as it was read, so that a new file does not stay empty.
int LeaveWithoutWindow() {
    plat::MessageBox(plat::NoWindow, u"The reader's window could not be created.", nullptr, plat::BoxOk);
    book::SaveReadingState(StoryParagraph);
    return ExitNoWindow;
}

}  // namespace

void CreateMenuBar(plat::WindowId window) {
    MenuBar = plat::CreateMenuBar(window, MenuBarResource, MenuBarBitmap, MenuBarImages);
    if (MenuBar == plat::NoWindow) {
        plat::MessageBox(window, u"SHCreateMenuBar Failed to create a menu bar", u"Error", plat::BoxOk);
    }
    plat::ShowInputPanel(false);
    page::InputPanelWanted = false;
    page::InputPanelShown = false;
}

plat::WindowId OpenMainWindow(int32_t showMode) {
    if (!plat::RegisterWindowClass({ClassName, MainWindowProc, IconResource})) return plat::NoWindow;
    const plat::Size size = page::FitToInputPanel(plat::GetInputPanelInfo());
    char16_t caption[CaptionSize];
    plat::Widen(book::BookInfo.title != nullptr ? book::BookInfo.title : "", caption, CaptionSize);
    MainWindow = plat::CreateMainWindow(ClassName, caption, plat::StyleVisible | plat::StyleVScroll,
                                        plat::DefaultPosition, plat::DefaultPosition, size.width, size.height);
    if (MainWindow == plat::NoWindow) return plat::NoWindow;
    ControlArea = plat::GetClientRect(MainWindow);
    plat::ShowWindow(MainWindow, showMode);
    plat::UpdateWindow(MainWindow);
    return MainWindow;
}

int ReaderMain(int32_t showMode) {
    // A logout or an interrupt then closes the window in order, and the state is saved.
    plat::CloseOnEndRequests();

    const int16_t paragraph = book::LoadReadingState(ClassName);
    if (paragraph == 0) return LeaveForOtherReader();
    CurrentParagraph = paragraph;
    StoryParagraph = paragraph;
    // Only a reader at paragraph 2 sees the start sequence first.
    if (CurrentParagraph != book::FirstStoryParagraph) SpecialPage = 0;

    if (OpenMainWindow(showMode) == plat::NoWindow) return LeaveWithoutWindow();

    plat::MessageRecord message;
    while (plat::GetMessage(message)) {
        plat::TranslateMessage(message);
        plat::DispatchMessage(message);
    }

    book::SaveReadingState(StoryParagraph);
    return static_cast<int>(message.wParam);
}

}  // namespace shell
