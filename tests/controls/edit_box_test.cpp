// The platform's edit box as the reader's pages use it, driven by keys, typed text and taps
// injected into the headless device: the caret and the editing keys, the selection, the
// text limit, horizontal scrolling and the selection kept while another window has the focus.
#include <string>
#include <vector>

#include "tests/controls/controls_harness.h"

namespace controlstest {
namespace {

constexpr uint32_t PageEditStyle = plat::StyleChild | plat::StyleVisible | plat::StyleBorder |
                                   plat::EditAutoHScroll | plat::EditNoHideSelection;

class EditBox : public ControlsTest {
protected:
    plat::WindowId Make(uint32_t style, const plat::Rect& rect, int32_t limit = 0) {
        const plat::WindowId box = plat::CreateControl(plat::ControlClass::Edit, u"", style, rect, window, 4000);
        plat::SendMessage(box, plat::MsgLimitText, static_cast<uintptr_t>(limit), 0);
        plat::SetFocus(box);
        headless::PumpMessages();
        return box;
    }

    // Plays a script: '<' Left, '>' Right, '^' Home, '$' End, '~' Delete, '#' Backspace,
    // '{' and '}' Shift down and up; any other character is typed.
    static void Play(const char* script) {
        for (const char* c = script; *c != 0; ++c) {
            switch (*c) {
            case '<': headless::PressKey(plat::KeyLeft); break;
            case '>': headless::PressKey(plat::KeyRight); break;
            case '^': headless::PressKey(plat::KeyHome); break;
            case '$': headless::PressKey(plat::KeyEnd); break;
            case '~': headless::PressKey(plat::KeyDelete); break;
            case '#': headless::PressKey(plat::KeyBack); break;
            case '{': headless::KeyDown(plat::KeyShift); break;
            case '}': headless::KeyUp(plat::KeyShift); break;
            default: {
                const char16_t typed[2] = {static_cast<char16_t>(*c), 0};
                headless::TypeText(typed);
                break;
            }
            }
        }
        headless::PumpMessages();
    }

    static std::string Text(plat::WindowId box) {
        char16_t text[300];
        plat::GetWindowText(box, text, 300);
        return Narrow(text);
    }

    // The records of the last paint that fall inside the box.
    static std::vector<plat::record::Record> DrawsIn(plat::WindowId box, plat::record::Kind kind) {
        const plat::Rect r = plat::GetWindowRect(box);
        std::vector<plat::record::Record> out;
        for (int32_t i = 0; i < plat::record::Count(); ++i) {
            const plat::record::Record& d = plat::record::At(i);
            if (d.kind == kind && d.rect.top >= r.top && d.rect.bottom <= r.bottom && d.rect.right > r.left &&
                d.rect.left < r.right) {
                out.push_back(d);
            }
        }
        return out;
    }
};

TEST_F(EditBox, EditingKeys) {
    struct Case {
        const char* script;
        int32_t limit;
        const char* text;
        const char* what;
    };
    const Case cases[] = {
        {"marsh<<X", 0, "marXsh", "typing goes in at the caret"},
        {"marsh^A", 0, "Amarsh", "Home"},
        {"marsh^>$Z", 0, "marshZ", "End"},
        {"marsh^>>~", 0, "mash", "Delete takes the character after the caret"},
        {"marsh<<#", 0, "mash", "Backspace takes the one before"},
        {"^#~ab", 0, "ab", "nothing to delete at either end"},
        {"ab<<<<X>>>>Y", 0, "XabY", "the caret stops at both ends"},
        {"abc{^}z", 0, "z", "Shift+Home selects; typing replaces the selection"},
        {"abcd{<<}#", 0, "ab", "Backspace deletes the selection"},
        {"abcd{<<}~", 0, "ab", "so does Delete"},
        {"abcd{<<}<X", 0, "abXcd", "Left drops the selection at its start"},
        {"abcd{<<}>X", 0, "abcdX", "Right drops it at its end"},
        {"abcd", 3, "abc", "the limit refuses more"},
        {"abc<#xy", 3, "axc", "room made by deleting is used again"},
        {"abc{^}xyz", 3, "xyz", "typing over a selection frees its room first"},
    };
    for (const Case& c : cases) {
        const plat::WindowId box = Make(PageEditStyle, {4, 4, 200, 24}, c.limit);
        Play(c.script);
        EXPECT_EQ(Text(box), c.text) << c.what << ": " << c.script;
        plat::DestroyWindow(box);
    }
}

TEST_F(EditBox, ScrollsToKeepTheCaretInView) {
    const plat::WindowId box = Make(PageEditStyle, {4, 4, 44, 24});
    const plat::Rect frame = plat::GetWindowRect(box);
    const std::string typed = "abcdefghijklmnopqrstuvwxyz";
    Play(typed.c_str());
    EXPECT_EQ(Text(box), typed) << "a box that scrolls takes text wider than itself";
    plat::record::Clear();
    plat::InvalidateWindow(box, true);
    plat::UpdateWindow(box);
    auto texts = DrawsIn(box, plat::record::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_LT(texts[0].rect.left, frame.left) << "the start has scrolled out at the left";
    EXPECT_LE(texts[0].rect.right, frame.right) << "the end, where the caret is, is in view";

    Play("^");
    plat::record::Clear();
    plat::InvalidateWindow(box, true);
    plat::UpdateWindow(box);
    texts = DrawsIn(box, plat::record::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.left, frame.left + 1 + 2) << "Home scrolls back to the start (border and padding)";
}

TEST_F(EditBox, ABoxThatDoesNotScrollTakesWhatFits) {
    const plat::WindowId box = Make(plat::StyleChild | plat::StyleVisible | plat::StyleBorder, {4, 4, 44, 24});
    Play("mmmmmmmmmmmm");
    const std::string kept = Text(box);
    EXPECT_GT(kept.size(), 1u);
    EXPECT_LT(kept.size(), 12u) << "the characters past the box's width were refused";
    Play("#m");
    EXPECT_EQ(Text(box), kept) << "room made by deleting is used again";
}

TEST_F(EditBox, SelectionStaysShownOnlyWhereTheBoxKeepsIt) {
    const plat::WindowId keeps = Make(PageEditStyle, {4, 4, 120, 24});
    Play("keep{<<}");
    const plat::WindowId plain = Make(plat::StyleChild | plat::StyleVisible | plat::StyleBorder, {4, 40, 120, 60});
    Play("lose{<<}");
    plat::SetFocus(window);
    plat::record::Clear();
    plat::InvalidateWindow(keeps, true);
    plat::InvalidateWindow(plain, true);
    plat::UpdateWindow(window);
    headless::PumpMessages();
    EXPECT_EQ(DrawsIn(keeps, plat::record::Kind::Invert).size(), 1u);
    EXPECT_TRUE(DrawsIn(plain, plat::record::Kind::Invert).empty());

    plat::SetFocus(plain);
    plat::record::Clear();
    headless::PumpMessages();
    EXPECT_EQ(DrawsIn(plain, plat::record::Kind::Invert).size(), 1u) << "shown again with the focus";
}

TEST_F(EditBox, TapsPlaceTheCaretAndDragsSelect) {
    const plat::WindowId box = Make(PageEditStyle, {4, 4, 200, 24});
    Play("abcdef");
    const plat::Rect frame = plat::GetWindowRect(box);
    const int32_t y = (frame.top + frame.bottom) / 2;
    plat::SetFocus(window);

    headless::Tap(frame.left + 2, y);
    headless::PumpMessages();
    EXPECT_EQ(plat::GetFocus(), box) << "a tap focuses the box";
    Play("X");
    EXPECT_EQ(Text(box), "Xabcdef");

    headless::PointerDown(frame.left + 2, y);
    headless::PointerMove(frame.right - 4, y);
    headless::PointerUp(frame.right - 4, y);
    Play("Z");
    EXPECT_EQ(Text(box), "Z") << "the drag selected every character";
}

}  // namespace
}  // namespace controlstest
