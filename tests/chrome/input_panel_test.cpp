// The soft input panel: its flags and the visible desktop shown and hidden, the change
// announced to top-level windows, the command bar's panel button, and the on-screen
// keyboard typing into the focused edit box (characters as text, Enter and Backspace as keys).
#include "tests/chrome/chrome_harness.h"

namespace {

using chrometest::ChromeTest;
using testing_platform::SeenOf;
using plat::ws::WindowKind;

constexpr int32_t PanelTop = 214, KeyWidth = 20, RowHeight = 16;

// The keyboard's keys that show a picture rather than a character.
plat::Rect Key(int32_t row, int32_t column, int32_t span = 1) {
    return {column * KeyWidth, PanelTop + row * RowHeight, (column + span) * KeyWidth, PanelTop + (row + 1) * RowHeight};
}
const plat::Rect BackKey = Key(0, 11), EnterKey = Key(2, 9, 3), ShiftKey = Key(3, 0, 2), SpaceKey = Key(4, 3, 7);

bool SameRect(const plat::Rect& a, const plat::Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class InputPanelTest : public ChromeTest {
protected:
    void RaisePanel() {
        plat::ShowInputPanel(true);
        headless::PumpMessages();
        ASSERT_TRUE(Shown(WindowKind::InputPanel));
    }
    // Taps the key labelled with this character, where the keyboard last drew it.
    static void TapKey(char16_t label) {
        const plat::Rect r = DrawnAt(std::u16string(1, label));
        ASSERT_GE(r.top, PanelTop) << static_cast<char>(label);
        TapIn(r);
    }
    plat::WindowId FocusedEditBox() {
        const plat::WindowId edit = plat::CreateControl(plat::ControlClass::Edit, u"", plat::StyleVisible | plat::StyleBorder,
                                                        {4, 4, 200, 24}, main, 4000);
        plat::SetFocus(edit);
        return edit;
    }
    static std::u16string TextOf(plat::WindowId window) {
        char16_t text[64];
        plat::GetWindowText(window, text, 64);
        return text;
    }
    size_t SettingChanges() const {
        size_t n = 0;
        for (const auto& seen : SeenOf(plat::MsgSettingChange, main)) n += seen.wParam == plat::SettingInputPanel ? 1 : 0;
        return n;
    }
};

TEST_F(InputPanelTest, FlagsAndTheVisibleDesktopFollowThePanelAndEveryChangeIsAnnounced) {
    const plat::InputPanelInfo down = plat::GetInputPanelInfo();
    EXPECT_EQ(down.flags, plat::PanelDocked) << "docked and hidden at start";
    EXPECT_TRUE(SameRect(down.visibleDesktop, {0, 26, 240, 320})) << "the screen less the taskbar";
    EXPECT_FALSE(Shown(WindowKind::InputPanel));

    RaisePanel();
    const plat::InputPanelInfo up = plat::GetInputPanelInfo();
    EXPECT_EQ(up.flags, plat::PanelDocked | plat::PanelShown);
    EXPECT_TRUE(SameRect(up.visibleDesktop, {0, 26, 240, PanelTop})) << "less the panel and the bar below it";
    EXPECT_EQ(SettingChanges(), 1u);
    const plat::Rect q = DrawnAt(u"q");
    EXPECT_GE(q.top, PanelTop);
    EXPECT_LE(q.bottom, 294) << "the keyboard sits on the command bar";

    plat::ShowInputPanel(true);
    headless::PumpMessages();
    EXPECT_EQ(SettingChanges(), 1u) << "no change, no news";

    plat::ShowInputPanel(false);
    headless::PumpMessages();
    EXPECT_EQ(plat::GetInputPanelInfo().flags, plat::PanelDocked);
    EXPECT_TRUE(SameRect(plat::GetInputPanelInfo().visibleDesktop, {0, 26, 240, 320}));
    EXPECT_FALSE(Shown(WindowKind::InputPanel));
    EXPECT_EQ(SettingChanges(), 2u);
}

TEST_F(InputPanelTest, ThePanelButtonAtTheBarsRightEndRaisesAndLowersIt) {
    TapIn({230, 307, 231, 308});
    EXPECT_EQ(plat::GetInputPanelInfo().flags, plat::PanelDocked | plat::PanelShown);
    TapIn({230, 307, 231, 308});
    EXPECT_EQ(plat::GetInputPanelInfo().flags, plat::PanelDocked);
    EXPECT_TRUE(Commands().empty()) << "the panel is the platform's business, not the window's";
}

TEST_F(InputPanelTest, TheKeyboardTypesIntoTheFocusedEditBoxAndKeepsItsFocus) {
    const plat::WindowId edit = FocusedEditBox();
    RaisePanel();
    TapKey(u'h');
    TapKey(u'i');
    TapIn(SpaceKey);
    TapIn(ShiftKey);
    EXPECT_GE(DrawnAt(u"M").top, PanelTop) << "Shift shows the capitals";
    TapKey(u'M');
    TapKey(u'a');  // Shift lasts one character
    TapKey(u'y');
    TapKey(u'1');
    TapIn(BackKey);
    EXPECT_EQ(TextOf(edit), u"hi May");
    EXPECT_EQ(plat::GetFocus(), edit);
}

TEST_F(InputPanelTest, EnterAndBackspaceReachTheEditBoxAsKeys) {
    const plat::WindowId edit = FocusedEditBox();
    static std::vector<uintptr_t> keys;
    static plat::WindowProc previous = nullptr;
    keys.clear();
    previous = plat::SetWindowProc(edit, [](plat::WindowId w, uint32_t m, uintptr_t wp, intptr_t lp) -> intptr_t {
        if (m == plat::MsgKeyDown) keys.push_back(wp);
        return plat::CallWindowProc(previous, w, m, wp, lp);
    });
    RaisePanel();
    TapIn(EnterKey);
    TapIn(BackKey);
    EXPECT_EQ(keys, (std::vector<uintptr_t>{plat::KeyReturn, plat::KeyBack}));
}

TEST_F(InputPanelTest, AKeyLooksPressedWhileHeldAndTypesOnlyWhenReleasedOverIt) {
    const plat::WindowId edit = FocusedEditBox();
    RaisePanel();
    const plat::Rect q = DrawnAt(u"q"), w = DrawnAt(u"w");
    const plat::Rect key = Key(1, 0);
    headless::PointerDown((q.left + q.right) / 2, (q.top + q.bottom) / 2);
    headless::PumpMessages();
    EXPECT_EQ(headless::PixelAt(key.left + 1, key.top + 1), 0x000000u) << "pressed";
    headless::PointerMove((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    headless::PointerUp((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    headless::PumpMessages();
    EXPECT_EQ(headless::PixelAt(key.left + 1, key.top + 1), 0xFFFFFFu);
    EXPECT_EQ(TextOf(edit), u"") << "a slip onto the next key types nothing";
}

TEST_F(InputPanelTest, TheMenuOpensAboveTheKeyboardAndAPressOnTheKeyboardClosesIt) {
    const plat::WindowId edit = FocusedEditBox();
    RaisePanel();
    TapIn(plat::ws::CommandBarButtonRect(401));
    const plat::Rect exit = DrawnAt(u"Exit");
    ASSERT_GE(exit.top, PanelTop) << "the menu's last items lie over the keyboard";
    TapIn(exit);
    EXPECT_EQ(Commands(), std::vector<uint32_t>{509});
    EXPECT_EQ(TextOf(edit), u"") << "the tap chose the item and typed nothing";

    TapIn(plat::ws::CommandBarButtonRect(401));
    TapKey(u'q');
    EXPECT_FALSE(Shown(WindowKind::Menu));
    EXPECT_EQ(TextOf(edit), u"") << "the press that closes the menu types nothing";
    TapKey(u'q');
    EXPECT_EQ(TextOf(edit), u"q");
}

}  // namespace
