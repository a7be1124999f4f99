// The fixture page of every command and hotword kind, shown as the reader shows it: its
// controls are placed, shown and drawn, and the page is written as a PNG into the build
// folder to be looked at.
#include <string>

#include "page/controls.h"
#include "tests/controls/controls_harness.h"
#include "tools/screenshot/page_window.h"
#include "tools/screenshot/png_file.h"

namespace controlstest {
namespace {

using FixturePage = ControlsTest;

void Save(plat::WindowId window, const char* name) {
    const std::string path = std::string(MIREWOOD_TEST_OUTPUT_DIR) + "/" + name;
    EXPECT_TRUE(screenshot::WritePng(path.c_str(), screenshot::CaptureScreen(screenshot::ClientOnScreen(window)))) << path;
}

// True when some pixel of the control differs from the white page around it.
bool Inked(plat::WindowId control) {
    const plat::Rect r = plat::GetWindowRect(control);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            if (headless::PixelAt(x, y) != 0xFFFFFFu) return true;
        }
    }
    return false;
}

TEST_F(FixturePage, ShowsEveryControlThatFitsAndDrawsIt) {
    ShowParagraph(100);
    EXPECT_TRUE(Messages().empty());
    const plat::Rect client = screenshot::ClientOnScreen(window);
    int shown = 0;
    for (int n = 0; n < page::ButtonCount; ++n) {
        const plat::WindowId button = page::ButtonHandles[n];
        const plat::Rect r = plat::GetWindowRect(button);
        // Shown exactly when it ends above the bottom of the client area.
        EXPECT_EQ(plat::IsWindowVisible(button), r.bottom < client.bottom) << n;
        if (plat::IsWindowVisible(button)) {
            ++shown;
            EXPECT_TRUE(Inked(button)) << "button " << n << " is drawn";
        }
    }
    EXPECT_GT(shown, 8);
    EXPECT_TRUE(plat::IsWindowVisible(page::EditBoxHandles[0]));
    // With an answer typed, as the reader sees it before confirming.
    headless::TypeText(u"the river");
    headless::PumpMessages();
    Save(window, "controls_all.png");
}

}  // namespace
}  // namespace controlstest
