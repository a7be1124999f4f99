// The page controls tests' fixture: the page window of the screenshot tool on the headless
// device, with the commands and scroll requests that reach it recorded, pages built from
// markup or from the controls_all fixture book, and the draw recorder on.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace controlstest {

// Called with each command's wParam as it reaches the main window, before the window acts.
extern std::function<void(uintptr_t)> OnCommand;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Empties the page and its controls and puts the pen at the top, as a rebuild does.
    void StartPage();
    // Builds a page from markup (no rebuild of the book's paragraph) and paints it.
    void ShowMarkup(const char* markup);
    // Shows a paragraph of the fixture book: rebuilt and painted.
    void ShowParagraph(int16_t paragraph);
    // Lays the page out and draws it again, as a repaint does.
    void Paint();

    // The commands (wParam) and the scroll codes that reached the main window, in order.
    std::vector<uintptr_t> Commands() const;
    std::vector<uintptr_t> ScrollCodes() const;

    // Where a control is, in screen coordinates; its centre, for taps.
    plat::Rect ScreenRect(plat::WindowId control) const { return plat::GetWindowRect(control); }
    void TapOn(plat::WindowId control);
    // The texts of the message boxes shown, and their captions.
    std::vector<std::string> Messages() const;
    std::vector<std::string> Captions() const;

    plat::WindowId window = plat::NoWindow;
};

std::string Narrow(const std::u16string& text);

}  // namespace controlstest
