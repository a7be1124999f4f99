// The page controls tests' fixture.
#include "tests/controls/controls_harness.h"

#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "tools/screenshot/page_window.h"

namespace controlstest {

std::function<void(uintptr_t)> OnCommand;

namespace {

struct Seen {
    uint32_t message;
    uintptr_t wParam;
};
std::vector<Seen> Log;
plat::WindowProc PageProcedure = nullptr;

// Records what the page window is asked to do by its controls, then lets it act.
intptr_t RecordingProc(plat::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == plat::MsgCommand || message == plat::MsgVScroll) {
        if (message == plat::MsgCommand && OnCommand) OnCommand(wParam);
        Log.push_back({message, wParam});
    }
    return plat::CallWindowProc(PageProcedure, window, message, wParam, lParam);
}

std::vector<uintptr_t> ParamsOf(uint32_t message) {
    std::vector<uintptr_t> out;
    for (const Seen& s : Log) {
        if (s.message == message) out.push_back(s.wParam);
    }
    return out;
}

}  // namespace



std::string Narrow(const std::u16string& text) {
    std::string out(text.size() + 1, '\0');
    out.resize(static_cast<size_t>(plat::Narrow(text.c_str(), out.data(), static_cast<int32_t>(out.size()))));
    return out;
}

void ControlsTest::SetUp() {
    window = screenshot::OpenPageWindow(1);
    ASSERT_NE(window, plat::NoWindow);
    ASSERT_EQ(shell::MainWindow, window);
    PageProcedure = plat::SetWindowProc(window, RecordingProc);
    OnCommand = nullptr;
    Log.clear();
    page::ClientArea = plat::GetClientRect(window);
    plat::record::Start();
    StartPage();
}

void ControlsTest::TearDown() {
    plat::record::Stop();
    OnCommand = nullptr;
    page::ResetControls();
    screenshot::ClosePageWindow(window);
    shell::MainWindow = plat::NoWindow;
}

void ControlsTest::StartPage() {
    page::ResetControls();
    page::ResetDisplayList();
    page::EmptyPendingLine();
    page::BuildBold = false;
    page::TakeFontMetrics();
    page::LineHeight = page::TextHeight;
    page::PenY = 0;
    shell::ScrollOffset = 0;
    headless::ClearMessageBoxes();
}

void ControlsTest::ShowMarkup(const char* markup) {
    StartPage();
    markup::MarkupScanner(markup);
    Paint();
}

void ControlsTest::ShowParagraph(int16_t paragraph) {
    headless::ClearMessageBoxes();
    plat::record::Clear();
    screenshot::ShowParagraph(window, paragraph);
    headless::PumpMessages();
}

void ControlsTest::Paint() {
    plat::record::Clear();
    shell::RebuildNeeded = false;
    screenshot::Repaint(window);
    headless::PumpMessages();
}

std::vector<uintptr_t> ControlsTest::Commands() const { return ParamsOf(plat::MsgCommand); }
std::vector<uintptr_t> ControlsTest::ScrollCodes() const { return ParamsOf(plat::MsgVScroll); }

void ControlsTest::TapOn(plat::WindowId control) {
    const plat::Rect r = ScreenRect(control);
    headless::Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    headless::PumpMessages();
}

std::vector<std::string> ControlsTest::Messages() const {
    std::vector<std::string> out;
    for (const auto& box : headless::MessageBoxes()) out.push_back(Narrow(box.text));
    return out;
}

std::vector<std::string> ControlsTest::Captions() const {
    std::vector<std::string> out;
    for (const auto& box : headless::MessageBoxes()) out.push_back(Narrow(box.caption));
    return out;
}

}  // namespace controlstest
