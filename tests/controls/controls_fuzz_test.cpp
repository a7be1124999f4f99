// Seeded random pages of hotwords with real windows, and random taps, keys and typing on
// them, some of which rebuild the page from inside the command they send: the tables and
// the windows always agree, and no window outlives its page. Run i uses seed i.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "tests/controls/controls_harness.h"

namespace controlstest {
namespace {

constexpr int Runs = 300;
constexpr uint32_t Keys[] = {plat::KeyTab,  plat::KeyReturn, plat::KeyUp,   plat::KeyDown,   plat::KeyLeft, plat::KeyRight,
                             plat::KeyHome, plat::KeyEnd,    plat::KeyBack, plat::KeyDelete, plat::KeySpace};

std::string Pick(std::mt19937& rng, const std::vector<std::string>& choices) {
    return choices[rng() % choices.size()];
}

std::string Caption(std::mt19937& rng) {
    const int kind = static_cast<int>(rng() % 6);
    if (kind == 0) return "";
    if (kind == 1) return std::string(150 + rng() % 150, 'w');  // cut to 199
    if (kind == 2) return "\x93Go\x94 \xe9";                 // bytes above 127
    return Pick(rng, {"Go", "Wade in", "Turn back", "A", "Climb the old tower"});
}

// A page of up to 40 pieces: words, formatting and every kind of hotword, now and then a
// broken command.
std::string Page(std::mt19937& rng) {
    std::string text;
    const int pieces = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < pieces; ++i) {
        const std::string t = std::to_string(rng() % 700);
        switch (rng() % 14) {
        case 0: text += "<M \"" + Caption(rng) + "\" " + t + ">"; break;
        case 1: text += "<g $" + std::to_string(rng() % 8) + " " + t + ">"; break;
        case 2: text += "<m %" + std::to_string(rng() % 6) + " " + t + ">"; break;
        case 3: text += "<S (" + Pick(rng, {"", "a river", "reed", std::string(30, 'x')}) + ") " + t + " " + t + ">"; break;
        case 4: text += "<L \"" + Caption(rng) + "\" (12) " + t + " " + t + ">"; break;
        case 5: text += "<d \"" + Caption(rng) + "\" (50) " + t + " (30) " + t + " " + t + ">"; break;
        case 6: text += "<N %" + std::to_string(rng() % 5) + " \"" + Caption(rng) + "\" " + t + ">"; break;
        case 7: text += Pick(rng, {"<B>", "<D>", "<U>", "<P>", "<T>", "<W1>", "<W2>", "<W0>"}); break;
        case 8: text += "<M \"" + Caption(rng); break;  // a caption that never closes
        case 9: text += "<S (never closed " + t; break;
        default: text += Pick(rng, {"The bell ", "tolls ", "under the water. ", "Reeds ", "lean. "}); break;
        }
    }
    return text + "<G>";
}

// Every table slot names a live child of the window with the slot's id, or no window.
std::string Broken(plat::WindowId window) {
    if (page::ButtonCount < 0 || page::ButtonCount > page::ButtonCapacity) return "button count";
    if (page::EditBoxCount < 0 || page::EditBoxCount > page::EditBoxCapacity) return "edit box count";
    for (int n = 0; n < page::ButtonCount; ++n) {
        const plat::WindowId w = page::ButtonHandles[n];
        if (w != plat::NoWindow && (!plat::IsWindow(w) || plat::GetParent(w) != window)) return "button " + std::to_string(n);
        if (w != plat::NoWindow && plat::GetControlId(w) != page::FirstButtonId + n) return "button id " + std::to_string(n);
    }
    for (int n = 0; n < page::EditBoxCount; ++n) {
        const plat::WindowId w = page::EditBoxHandles[n];
        if (w != plat::NoWindow && (!plat::IsWindow(w) || plat::GetControlId(w) != page::FirstEditBoxId + n)) {
            return "edit box " + std::to_string(n);
        }
    }
    return {};
}

// How many more windows can be made now.
int FreeWindows(plat::WindowId parent) {
    std::vector<plat::WindowId> made;
    for (;;) {
        const plat::WindowId w = plat::CreateControl(plat::ControlClass::Button, u"", plat::StyleChild, {0, 0, 1, 1}, parent, 1);
        if (w == plat::NoWindow) break;
        made.push_back(w);
    }
    for (plat::WindowId w : made) plat::DestroyWindow(w);
    return static_cast<int>(made.size());
}

using ControlsFuzz = ControlsTest;

TEST_F(ControlsFuzz, RandomPagesAndInputKeepTablesAndWindowsInStep) {
    // A page with an edit box raises the input panel, whose window then stays: make it first.
    ShowMarkup("<S (a) 1 2><G>");
    StartPage();
    const int freeAtStart = FreeWindows(window);
    std::mt19937 inner(12345);
    std::string page;
    // Half the commands move to another page from inside the command, as a tap on a
    // hotword does.
    OnCommand = [&](uintptr_t) {
        if (inner() % 2 == 0) ShowMarkup(Page(inner).c_str());
    };
    long controls = 0;
    for (int run = 0; run < Runs; ++run) {
        std::mt19937 rng(static_cast<uint32_t>(run));
        page = Page(rng);
        ShowMarkup(page.c_str());
        controls += page::ButtonCount + page::EditBoxCount;
        std::string broken = Broken(window);
        ASSERT_TRUE(broken.empty()) << "run " << run << " after the build: " << broken << "\n" << page;

        for (int step = 0; step < 12; ++step) {
            switch (rng() % 4) {
            case 0:
                headless::Tap(static_cast<int32_t>(rng() % plat::ScreenWidth), static_cast<int32_t>(rng() % plat::ScreenHeight));
                break;
            case 1:
                headless::PressKey(Keys[rng() % (sizeof Keys / sizeof Keys[0])]);
                break;
            case 2: headless::TypeText(u"river "); break;
            default: headless::KeyDown(plat::KeyShift); headless::PressKey(plat::KeyHome); headless::KeyUp(plat::KeyShift); break;
            }
            headless::PumpMessages();
            ASSERT_TRUE(plat::IsWindow(window)) << "run " << run;
            broken = Broken(window);
            ASSERT_TRUE(broken.empty()) << "run " << run << " step " << step << ": " << broken << "\n" << page;
        }
    }
    OnCommand = nullptr;
    // Kept so that a generator that stopped reaching the controls shows.
    std::printf("%ld controls made, %zu commands\n", controls, Commands().size());
    EXPECT_GT(controls, Runs * 3);
    EXPECT_GT(Commands().size(), static_cast<size_t>(Runs / 2));
    page::ResetControls();
    EXPECT_EQ(FreeWindows(window), freeAtStart) << "every page's windows were destroyed";
}

}  // namespace
}  // namespace controlstest
