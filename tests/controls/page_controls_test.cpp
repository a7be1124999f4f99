// Page controls through the headless device: ids and sizes, the fonts buttons are measured
// and drawn in, the edit boxes' key hook, taps reaching the main window, draw requests,
// failures to create a window, full tables, the sound check box and the rebuild.
#include <string>
#include <vector>

#include "book/state_file.h"
#include "book/tables.h"
#include "markup/hotwords.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "tests/controls/controls_harness.h"

namespace controlstest {
namespace {

constexpr int16_t MoonPicture = 5;     // 24 x 24, bitmap 1705
constexpr int32_t MoonBitmap = 1705;

plat::Size Extent(const char* text, plat::FontId font) {
    char16_t wide[page::CaptionSize];
    const int32_t n = plat::Widen(text, wide, page::CaptionSize);
    const plat::SurfaceId surface = plat::CreateCompatibleSurface();
    plat::SelectFont(surface, font);
    const plat::Size size = plat::GetTextExtent(surface, wide, n);
    plat::DeleteSurface(surface);
    return size;
}

plat::Size WindowSize(plat::WindowId control) {
    const plat::Rect r = plat::GetWindowRect(control);
    return {r.right - r.left, r.bottom - r.top};
}

// The text draws of the last paint made in a page font, and its bitmap draws.
std::vector<plat::record::Record> Draws(plat::record::Kind kind) {
    std::vector<plat::record::Record> out;
    for (int32_t i = 0; i < plat::record::Count(); ++i) {
        if (plat::record::At(i).kind == kind) out.push_back(plat::record::At(i));
    }
    return out;
}

using PageControls = ControlsTest;

TEST_F(PageControls, IdsFollowTheOrderOfCreationInEachTable) {
    struct Step {
        char kind;  // e edit box, t text button, p picture button, f fixed button 513
        int16_t id;
    };
    struct Case {
        std::vector<Step> steps;
        const char* what;
    };
    const Case cases[] = {
        {{{'e', 4000}, {'e', 4001}, {'t', 5000}, {'p', 5001}, {'e', 4002}, {'t', 5002}}, "each table counts its own"},
        {{{'f', 513}, {'t', 5001}}, "a fixed button takes slot 0, so the next hotword button is 5001"},
    };
    for (const Case& c : cases) {
        StartPage();
        for (const Step& step : c.steps) {
            int16_t id = 0;
            plat::WindowId handle = plat::NoWindow;
            switch (step.kind) {
            case 'e':
                id = page::AddEditBox(4);
                handle = page::EditBoxHandles[page::EditBoxCount - 1];
                break;
            case 't':
                id = page::AddTextButton("Go");
                handle = page::ButtonHandles[page::ButtonCount - 1];
                break;
            case 'p':
                id = page::AddPictureButton(MoonPicture);
                handle = page::ButtonHandles[page::ButtonCount - 1];
                break;
            default:
                ASSERT_TRUE(page::CreateTextButton("INSTRUCTIONS", 513));
                id = 513;
                handle = page::ButtonHandles[page::ButtonCount - 1];
                break;
            }
            EXPECT_EQ(id, step.id) << c.what;
            ASSERT_NE(handle, plat::NoWindow) << c.what;
            EXPECT_EQ(plat::GetControlId(handle), step.id) << c.what;
            EXPECT_EQ(plat::GetParent(handle), window) << c.what;
            // Edit boxes and text buttons wait hidden for the layout; picture buttons do not.
            EXPECT_EQ(plat::IsWindowVisible(handle), step.kind == 'p') << c.what << " " << step.id;
        }
        EXPECT_TRUE(Messages().empty()) << c.what;
    }
    // Each control has its display item, in order.
    ASSERT_EQ(page::DisplayList.count, 2);
    EXPECT_EQ(page::DisplayList.items[1].kind, page::Button);
    EXPECT_EQ(page::DisplayList.items[1].index, 1);
}

TEST_F(PageControls, EditBoxSizeFollowsTheAnswerAndTheFont) {
    struct Case {
        int16_t maxChars;
        int32_t areaWidth;
        int16_t width;
        const char* what;
    };
    const Case cases[] = {
        {5, 230, 62, "2 x (5 x 6 + 1)"},
        {40, 230, 230, "no wider than the control area"},
        {19, 230, 230, "exactly as wide as the area: 2 x (19 x 6 + 1) = 230"},
        {0, 230, 2, "no answer: the border alone"},
        {-3, 230, 2, "a negative length counts as none"},
        {3000, 230, 230, "a huge length never wraps to a narrow box"},
    };
    for (const Case& c : cases) {
        StartPage();
        page::AverageCharWidth = 6;
        page::TextHeight = 13;
        page::ClientArea = {0, 0, c.areaWidth, 268};
        ASSERT_EQ(page::AddEditBox(c.maxChars), page::FirstEditBoxId) << c.what;
        const page::EditBoxEntry& entry = page::EditBoxTable[0];
        EXPECT_EQ(entry.width, c.width) << c.what;
        EXPECT_EQ(entry.height, 19) << c.what << ": 1.5 x 13, the fraction dropped";
        EXPECT_EQ(entry.maxChars, c.maxChars) << c.what;
        EXPECT_EQ(WindowSize(page::EditBoxHandles[0]).width, c.width) << c.what;
        EXPECT_EQ(WindowSize(page::EditBoxHandles[0]).height, 19) << c.what;
    }
}

TEST_F(PageControls, ControlsArePlacedProvisionallyBelowEachOther) {
    page::PenY = 30;
    page::AverageCharWidth = 6;
    page::TextHeight = 13;
    page::AddEditBox(5);
    page::AddTextButton("Go");
    EXPECT_EQ(page::EditBoxTable[0].top, 30);
    EXPECT_EQ(page::EditBoxTable[0].left, 0);
    EXPECT_EQ(page::ButtonTable[0].top, 30 + 19 + 1);
    EXPECT_EQ(page::PenY, 30 + 19 + 1 + page::ButtonTable[0].height + 1);
    const plat::Rect client = plat::GetWindowRect(window);
    EXPECT_EQ(plat::GetWindowRect(page::ButtonHandles[0]).top - client.top, 50);
}

TEST_F(PageControls, TextButtonIsMeasuredInTheFontItIsDrawnIn) {
    struct Case {
        bool bold;
        int16_t id;
        bool boldFont;
        const char* what;
    };
    const Case cases[] = {
        {false, 5000, false, "a hotword button in plain text: NormalFont"},
        {true, 5000, true, "a hotword button while bold is on: BoldFont"},
        {false, 513, true, "a fixed button: BoldFont"},
        {true, 519, true, "a fixed button while bold is on: BoldFont"},
    };
    const char* caption = "Wade into the water";
    for (const Case& c : cases) {
        StartPage();
        page::BuildBold = c.bold;
        ASSERT_TRUE(page::CreateTextButton(caption, c.id)) << c.what;
        const plat::Size size = Extent(caption, c.boldFont ? page::BoldFont : page::NormalFont);
        const page::ButtonEntry& entry = page::ButtonTable[0];
        EXPECT_EQ(entry.width, size.width + 12) << c.what;
        EXPECT_EQ(entry.height, size.height + 4) << c.what;
        EXPECT_EQ(entry.bold, c.bold ? 1 : 0) << c.what;
        EXPECT_EQ(WindowSize(page::ButtonHandles[0]).width, size.width + 12) << c.what;
    }
    EXPECT_NE(Extent(caption, page::BoldFont).width, Extent(caption, page::NormalFont).width)
        << "the cases above tell the fonts apart";
}

TEST_F(PageControls, TextButtonWidthAndCaption) {
    struct Case {
        std::string caption;
        int16_t length;
        const char* what;
    };
    const Case cases[] = {
        {"Go", 2, "two characters: the measured width, when wider than 3 a character, plus 12"},
        {std::string(250, 'w'), 199, "a long caption is cut to 199"},
        {std::string(199, 'a'), 199, "199 characters are kept whole"},
        {"", 0, "an empty caption: 12 wide"},
        {"\x81\x81\x81", 3, "characters without a glyph still take 3 pixels each"},
    };
    for (const Case& c : cases) {
        StartPage();
        ASSERT_EQ(page::AddTextButton(c.caption.c_str()), page::FirstButtonId) << c.what;
        const page::ButtonEntry& entry = page::ButtonTable[0];
        const std::string kept = c.caption.substr(0, static_cast<size_t>(c.length));
        const plat::Size size = Extent(kept.c_str(), page::NormalFont);
        EXPECT_EQ(entry.captionLength, c.length) << c.what;
        char16_t wide[page::CaptionSize];
        plat::Widen(kept.c_str(), wide, page::CaptionSize);
        EXPECT_EQ(std::u16string(entry.caption), std::u16string(wide)) << c.what;
        EXPECT_EQ(entry.width, std::max(size.width, 3 * c.length) + 12) << c.what;
        EXPECT_EQ(entry.height, size.height + 4) << c.what;
        EXPECT_EQ(entry.bitmap, 0) << c.what;
    }
    StartPage();
    page::AddTextButton("Go");
    const int32_t measured = Extent("Go", page::NormalFont).width;
    ASSERT_GE(measured, 6);
    EXPECT_EQ(page::ButtonTable[0].width, measured + 12);
}

TEST_F(PageControls, PictureButtonTakesItsBitmapsSizeAndKeepsTheBitmap) {
    page::PenY = 10;
    ASSERT_EQ(page::AddPictureButton(MoonPicture), page::FirstButtonId);
    const page::ButtonEntry& entry = page::ButtonTable[0];
    EXPECT_EQ(entry.width, 24);
    EXPECT_EQ(entry.height, 24);
    EXPECT_EQ(entry.captionLength, 0);
    EXPECT_EQ(entry.picture, MoonPicture);
    ASSERT_NE(entry.bitmap, 0);
    EXPECT_EQ(plat::GetWindowRect(page::ButtonHandles[0]).top - plat::GetWindowRect(window).top, 10);
    EXPECT_EQ(page::PenY, 10 + 24 + 1);

    // Picture 4 has no bitmap: the button takes a line's width and a line of text's height.
    StartPage();
    ASSERT_EQ(page::AddPictureButton(4), page::FirstButtonId);
    EXPECT_EQ(page::ButtonTable[0].bitmap, 0);
    EXPECT_EQ(page::ButtonTable[0].width, page::ClientArea.right - page::PageMargin);
    EXPECT_EQ(page::ButtonTable[0].height, page::TextHeight);

    StartPage();
    EXPECT_EQ(page::AddPictureButton(book::PictureCount), 0) << "outside the picture table";
    EXPECT_EQ(page::AddPictureButton(-1), 0);
    EXPECT_EQ(page::ButtonCount, 0);
}

TEST_F(PageControls, KeysInAnEditBoxReachTheMainWindowOrTheBox) {
    ShowMarkup("<S (one) 1 2><S (two) 3 4><S (three) 5 6><G>");
    const plat::WindowId box = page::EditBoxHandles[2];
    ASSERT_EQ(plat::GetFocus(), box) << "the last edit box laid out has the focus";
    ASSERT_TRUE(plat::IsWindowVisible(box));

    headless::TypeText(u"ab");
    headless::PressKey(plat::KeyTab);
    headless::PressKey(plat::KeyReturn);
    headless::PressKey(plat::KeyUp);
    headless::PressKey(plat::KeyDown);
    headless::PressKey(plat::KeyLeft);
    headless::TypeText(u"c");
    headless::PumpMessages();

    const uintptr_t confirm = (uintptr_t{0x501} << 16) | 4002;
    EXPECT_EQ(Commands(), (std::vector<uintptr_t>{confirm, confirm}));
    EXPECT_EQ(ScrollCodes(), (std::vector<uintptr_t>{plat::ScrollLineUp, plat::ScrollLineDown}));
    char16_t text[16];
    plat::GetWindowText(box, text, 16);
    EXPECT_EQ(std::u16string(text), u"acb") << "typing and the other keys reach the box itself";
    EXPECT_EQ(page::EditBoxTable[2].maxChars, 5);
}

TEST_F(PageControls, TypedTextIsLimitedToTheLongestAnswer) {
    ShowMarkup("<S (reed) 1 (river) 2 3><G>");
    headless::TypeText(u"rivers");
    headless::PumpMessages();
    char16_t text[16];
    plat::GetWindowText(page::EditBoxHandles[0], text, 16);
    EXPECT_EQ(std::u16string(text), u"river");
}

TEST_F(PageControls, ConfirmingMayDestroyTheBoxThatSentIt) {
    ShowMarkup("<S (one) 1 2><G>");
    const plat::WindowId box = page::EditBoxHandles[0];
    int confirmed = 0;
    OnCommand = [&](uintptr_t) {
        ++confirmed;
        page::ResetControls();  // as a move to the next page does
    };
    headless::PressKey(plat::KeyReturn);
    headless::PumpMessages();
    EXPECT_EQ(confirmed, 1);
    EXPECT_FALSE(plat::IsWindow(box));
    EXPECT_EQ(page::EditBoxCount, 0);
}

TEST_F(PageControls, TapOnAButtonReachesTheMainWindowAsItsId) {
    ShowMarkup("<M \"Left\" 1> <M \"Right\" 2> <M $5 3><G>");
    ASSERT_EQ(page::ButtonCount, 3);
    for (int n = 0; n < 3; ++n) ASSERT_TRUE(plat::IsWindowVisible(page::ButtonHandles[n])) << n;
    TapOn(page::ButtonHandles[1]);
    TapOn(page::ButtonHandles[2]);
    EXPECT_EQ(Commands(), (std::vector<uintptr_t>{5001, 5002}));
}

TEST_F(PageControls, DrawRequestsDrawThePictureOrTheCentredCaption) {
    ShowMarkup("<M \"Plain\" 1> <B><M \"Bold\" 2><D> <M $5 3><G>");
    ASSERT_EQ(page::ButtonCount, 3);
    std::vector<plat::record::Record> texts;
    for (const auto& r : Draws(plat::record::Kind::Text)) {
        if (r.font == page::NormalFont || r.font == page::BoldFont) texts.push_back(r);
    }
    struct Case {
        int slot;
        const char16_t* caption;
        plat::FontId font;
    };
    const Case cases[] = {{0, u"Plain", page::NormalFont}, {1, u"Bold", page::BoldFont}};
    for (const Case& c : cases) {
        const plat::Rect button = plat::GetWindowRect(page::ButtonHandles[c.slot]);
        // Inside the button's border: its item rectangle.
        const plat::Rect item = {button.left + 1, button.top + 1, button.right - 1, button.bottom - 1};
        bool found = false;
        for (const auto& r : texts) {
            if (std::u16string(r.text) != c.caption) continue;
            found = true;
            EXPECT_EQ(r.font, c.font) << Narrow(c.caption);
            EXPECT_EQ(r.rect.left, item.left);
            EXPECT_EQ(r.rect.top, item.top);
            EXPECT_EQ(r.rect.right, item.right);
            EXPECT_EQ(r.flags & (plat::TextCenter | plat::TextRight | plat::TextVCenter), plat::TextCenter)
                << "centred, from the top";
            EXPECT_NE(r.flags & plat::TextNoPrefix, 0u);
        }
        EXPECT_TRUE(found) << Narrow(c.caption);
    }
    const plat::Rect picture = plat::GetWindowRect(page::ButtonHandles[2]);
    bool drawn = false;
    for (const auto& r : Draws(plat::record::Kind::Bitmap)) {
        if (r.resourceId != MoonBitmap) continue;
        drawn = true;
        EXPECT_EQ(r.rect.left, picture.left);
        EXPECT_EQ(r.rect.top, picture.top);
    }
    EXPECT_TRUE(drawn);
}

TEST_F(PageControls, DrawRequestForAnotherButtonDrawsNothing) {
    page::AddTextButton("Go");
    plat::record::Clear();
    const plat::SurfaceId surface = plat::CreateCompatibleSurface();
    for (int32_t id : {513, 5001, 4000, 0}) {
        page::DrawPageButton({id, plat::NoWindow, surface, {0, 0, 40, 20}, false, false});
    }
    plat::DeleteSurface(surface);
    EXPECT_EQ(plat::record::Count(), 0);
}

// Fills the window table so that the next control cannot be made; returns what it made.
std::vector<plat::WindowId> FillWindowTable(plat::WindowId parent) {
    std::vector<plat::WindowId> made;
    for (;;) {
        const plat::WindowId w = plat::CreateControl(plat::ControlClass::Button, u"", plat::StyleChild, {0, 0, 1, 1}, parent, 1);
        if (w == plat::NoWindow) return made;
        made.push_back(w);
    }
}

TEST_F(PageControls, WindowsThatCannotBeMadeAreReported) {
    const std::vector<plat::WindowId> filler = FillWindowTable(window);
    ASSERT_FALSE(filler.empty());
    headless::ClearMessageBoxes();

    EXPECT_EQ(page::AddEditBox(4), page::FirstEditBoxId);
    EXPECT_EQ(page::AddTextButton("Go"), page::FirstButtonId);
    EXPECT_TRUE(page::CreateTextButton("Ok", 519));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Null Edit Box", "Could not create button", "Could not create button"}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Bad Edit Box", " Error 8", " Error 8"}));
    // The page goes on: slots and items are recorded without windows.
    EXPECT_EQ(page::EditBoxCount, 1);
    EXPECT_EQ(page::EditBoxHandles[0], plat::NoWindow);
    EXPECT_EQ(page::ButtonCount, 2);
    EXPECT_EQ(page::ButtonHandles[1], plat::NoWindow);
    EXPECT_EQ(page::DisplayList.count, 3);

    headless::ClearMessageBoxes();
    const int16_t before = page::ButtonCount;
    EXPECT_FALSE(page::CreateSoundCheckBox());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not create button"});
    EXPECT_EQ(Captions(), std::vector<std::string>{"No Memory"});
    EXPECT_EQ(page::ButtonCount, before) << "nothing recorded for the check box";
    EXPECT_EQ(page::DisplayList.count, 3);

    for (plat::WindowId w : filler) plat::DestroyWindow(w);
    // Each failed button asked the main window to close; the default handling obeys.
    headless::PumpMessages();
    EXPECT_FALSE(plat::IsWindow(window));
}

TEST_F(PageControls, AControlBeyondTheHundredthIsNotMade) {
    for (int n = 0; n < page::ButtonCapacity; ++n) ASSERT_EQ(page::AddTextButton("b"), page::FirstButtonId + n);
    for (int n = 0; n < page::EditBoxCapacity; ++n) ASSERT_EQ(page::AddEditBox(1), page::FirstEditBoxId + n);
    EXPECT_TRUE(Messages().empty());
    const plat::WindowId lastButton = page::ButtonHandles[page::ButtonCapacity - 1];

    EXPECT_EQ(page::AddTextButton("b"), 0);
    EXPECT_EQ(page::AddPictureButton(MoonPicture), 0);
    EXPECT_FALSE(page::CreateTextButton("Ok", 519));
    EXPECT_FALSE(page::CreateSoundCheckBox());
    EXPECT_EQ(page::AddEditBox(1), 0);
    EXPECT_EQ(page::AddEditBox(1), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Too many buttons on the page", "Too many edit boxes on the page"}))
        << "once a page for each table";
    EXPECT_EQ(page::ButtonCount, page::ButtonCapacity);
    EXPECT_EQ(page::EditBoxCount, page::EditBoxCapacity);
    EXPECT_EQ(page::ButtonHandles[page::ButtonCapacity - 1], lastButton);

    // The next page reports again.
    StartPage();
    for (int n = 0; n <= page::ButtonCapacity; ++n) page::AddTextButton("b");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Too many buttons on the page"});
}

TEST_F(PageControls, SoundCheckBoxShowsTheSoundSetting) {
    for (int8_t on : {int8_t{1}, int8_t{0}}) {
        StartPage();
        book::SetSoundOn(on);
        page::AverageCharWidth = 6;
        page::LineHeight = 15;
        page::PenY = 40;
        page::AddTextButton("before");
        ASSERT_TRUE(page::CreateSoundCheckBox());
        ASSERT_EQ(page::SoundCheckBox, 1);
        const page::ButtonEntry& entry = page::ButtonTable[1];
        EXPECT_EQ(entry.width, 84);
        EXPECT_EQ(entry.height, 19);
        EXPECT_EQ(page::LineHeight, 19) << "raised by 4";
        EXPECT_EQ(entry.captionLength, 8);
        const plat::WindowId box = page::ButtonHandles[1];
        EXPECT_EQ(plat::GetControlId(box), 518);
        EXPECT_TRUE(plat::IsWindowVisible(box));
        EXPECT_EQ(plat::SendMessage(box, plat::MsgGetCheck, 0, 0), on);
        EXPECT_EQ(page::DisplayList.items[page::DisplayList.count - 1].kind, page::Button);
        EXPECT_EQ(page::DisplayList.items[page::DisplayList.count - 1].index, 1);
        EXPECT_EQ(page::ButtonCount, 2);
    }
    // A tap ticks it; the main window hears of it as command 518.
    page::LineHeight = page::TextHeight;
    Paint();
    TapOn(page::ButtonHandles[1]);
    EXPECT_EQ(plat::SendMessage(page::ButtonHandles[1], plat::MsgGetCheck, 0, 0), 1);
    EXPECT_EQ(Commands(), std::vector<uintptr_t>{518});
}

TEST_F(PageControls, ResetDestroysTheWindowsAndReleasesTheBitmaps) {
    page::AddEditBox(3);
    page::AddTextButton("Go");
    page::AddPictureButton(MoonPicture);
    const std::vector<plat::WindowId> windows = {page::EditBoxHandles[0], page::ButtonHandles[0], page::ButtonHandles[1]};
    const plat::BitmapId bitmap = page::ButtonTable[1].bitmap;
    ASSERT_NE(bitmap, 0);
    page::ResetControls();
    for (plat::WindowId w : windows) EXPECT_FALSE(plat::IsWindow(w));
    EXPECT_EQ(page::ButtonCount, 0);
    EXPECT_EQ(page::EditBoxCount, 0);
    EXPECT_EQ(page::ButtonTable[1].bitmap, 0);
    EXPECT_EQ(page::ButtonHandles[1], plat::NoWindow);
    EXPECT_FALSE(plat::ReleaseBitmap(bitmap)) << "released already";
}

TEST_F(PageControls, WithoutAMainWindowOnlyTheTablesAreFilled) {
    shell::MainWindow = plat::NoWindow;
    EXPECT_EQ(page::AddEditBox(3), page::FirstEditBoxId);
    EXPECT_EQ(page::AddTextButton("Go"), page::FirstButtonId);
    EXPECT_EQ(page::AddPictureButton(MoonPicture), page::FirstButtonId + 1);
    EXPECT_TRUE(page::CreateSoundCheckBox());
    EXPECT_EQ(page::EditBoxHandles[0], plat::NoWindow);
    EXPECT_EQ(page::ButtonHandles[0], plat::NoWindow);
    EXPECT_EQ(page::DisplayList.count, 4);
    EXPECT_TRUE(Messages().empty());
    shell::MainWindow = window;
}

TEST_F(PageControls, EveryHotwordKindOfTheFixturePageMakesItsControl) {
    ShowParagraph(100);
    EXPECT_TRUE(Messages().empty());
    // Cross, Sign, Road, Lantern, Rope, Knife, Pay 5, Staff, " 20", the moon, Moon (picture
    // variable), Climb, Swim, Again: fourteen buttons; one edit box.
    EXPECT_EQ(page::ButtonCount, 14);
    EXPECT_EQ(page::EditBoxCount, 1);
    EXPECT_EQ(std::u16string(page::ButtonTable[8].caption), u" 20");
    EXPECT_NE(page::ButtonTable[9].bitmap, 0);
    EXPECT_EQ(page::ButtonTable[0].bold, 1);
    for (int n = 0; n < page::ButtonCount; ++n) {
        EXPECT_EQ(plat::GetControlId(page::ButtonHandles[n]), page::FirstButtonId + n) << n;
        EXPECT_EQ(markup::HotwordTable[n + 1].controlId, page::FirstButtonId + n) << n;
    }
    EXPECT_EQ(markup::HotwordTable[0].controlId, page::FirstEditBoxId);
    EXPECT_EQ(plat::GetFocus(), page::EditBoxHandles[0]);
}

}  // namespace
}  // namespace controlstest
