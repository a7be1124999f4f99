// The navigation tests' fixture.
#include "tests/shell_nav/nav_harness.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "book/state_file.h"
#include "book/variables.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "platform/draw_record.h"
#include "platform/headless/script.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "shell/startup.h"

namespace navtest {
namespace {

std::string Narrow(const char16_t* text, int32_t length) {
    std::string out;
    for (int32_t i = 0; i < length && text[i] != 0; ++i) out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return out;
}

// All of a fresh process before the state file is read: the navigation, the layout's
// carried state, the story and the sound setting.
void ResetReaderState() {
    shell::ResetNavigation();
    page::ResetLayoutState();
    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    book::SetSoundOn(1);
}

}  // namespace

void NavTest::SetUp() {
    headless::Reset();
    ResetReaderState();
}

void NavTest::TearDown() {
    plat::record::Stop();
    CloseWindow();
}

void NavTest::CloseWindow() {
    if (window != plat::NoWindow) {
        plat::DestroyWindow(window);  // gives the page fonts back
        window = plat::NoWindow;
    }
    headless::Reset();  // drops the quit message that closing posted
    shell::MainWindow = plat::NoWindow;
    shell::MenuBar = plat::NoWindow;
    shell::ResetNavigation();
    page::ResetLayoutState();
}

void NavTest::OpenFresh() {
    CloseWindow();
    OpenWindow();
}

void NavTest::Open(int16_t paragraph) {
    CloseWindow();
    shell::CurrentParagraph = paragraph;
    shell::StoryParagraph = paragraph;
    shell::SpecialPage = shell::NoSpecialPage;
    OpenWindow();
}

void NavTest::OpenWindow() {
    plat::record::Start();
    window = shell::OpenMainWindow(plat::ShowNormal);
    ASSERT_NE(window, plat::NoWindow);
    headless::PumpMessages();
}

void NavTest::Command(int32_t id, uint32_t notification) {
    plat::record::Clear();
    plat::PostMessage(window, plat::MsgCommand, plat::MakeCommandParam(notification, static_cast<uint32_t>(id)), 0);
    headless::PumpMessages();
}

void NavTest::Tap(plat::WindowId control) {
    ASSERT_TRUE(plat::IsWindowVisible(control));
    plat::record::Clear();
    const plat::Rect r = plat::GetWindowRect(control);
    headless::Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    headless::PumpMessages();
}

void NavTest::TapButton(int n) {
    ASSERT_LT(n, page::ButtonCount);
    Tap(page::ButtonHandles[n]);
}

void NavTest::PressKey(uint32_t key) {
    plat::record::Clear();
    headless::PressKey(key);
    headless::PumpMessages();
}

void NavTest::Wait(uint32_t ms) {
    plat::record::Clear();
    headless::AdvanceClock(ms);
}

intptr_t NavTest::ButtonState(int32_t command) const {
    return plat::SendMessage(shell::MenuBar, plat::MsgGetButtonState, static_cast<uintptr_t>(command), 0);
}

bool NavTest::Drawn(const std::u16string& text) const {
    for (int32_t i = 0; i < plat::record::Count(); ++i) {
        const plat::record::Record& r = plat::record::At(i);
        if (r.kind == plat::record::Kind::Text && std::u16string(r.text).find(text) != std::u16string::npos) return true;
    }
    return false;
}

// Writes the display list in the markup's own letters: <W0> <W1> <W2> alignment, <B> <D>
// bold, <U> line break, <P> blank line, <T> tab, <V id> and <v id> a picture by bitmap id
// (ending its line, or inline); a button as [caption], an edit box as [edit n].
std::string NavTest::PageText() const {
    std::string out;
    for (int i = 0; i < page::DisplayList.count; ++i) {
        const page::DisplayItem& item = page::DisplayList.items[i];
        switch (item.kind) {
        case page::Text: out += item.text; break;
        case page::Title: out += "<H>" + std::string(item.text) + "<J>"; break;
        case page::AlignLeft: out += "<W0>"; break;
        case page::AlignCenter: out += "<W1>"; break;
        case page::AlignRight: out += "<W2>"; break;
        case page::BoldStart: out += "<B>"; break;
        case page::BoldEnd: out += "<D>"; break;
        case page::LineBreak: out += "<U>"; break;
        case page::BlankLine: out += "<P>"; break;
        case page::Tab: out += "<T>"; break;
        case page::Picture: out += (item.inline_ ? "<v" : "<V") + std::to_string(item.index) + ">"; break;
        case page::EditBox: out += "[edit " + std::to_string(item.index) + "]"; break;
        case page::Button: {
            const page::ButtonEntry& b = page::ButtonTable[item.index];
            out += "[" + Narrow(b.caption, page::CaptionSize) + "]";
            break;
        }
        default: out += "<?>"; break;
        }
    }
    return out;
}

int32_t NavTest::ScrollPosition() const {
    return plat::GetScrollInfo(window).position;
}

namespace {

std::string StateFilePath() {
    return std::string(headless::DataFolder()) + "/QRN5The_Mirewood_Vow.dat";
}

// The state file's bytes, or nothing when it is not a whole record.
std::string SavedRecord() {
    std::ifstream file(StateFilePath(), std::ios::binary);
    std::string record((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return record.size() == static_cast<size_t>(book::ReadingStateSize) ? record : std::string();
}

}  // namespace

int RunReader(const std::string& script, int16_t paragraph, int* exitCode) {
    headless::Reset();
    ResetReaderState();
    const std::string stateFile = StateFilePath();
    std::remove(stateFile.c_str());
    if (paragraph != 0) {
        // A complete record of this version: the paragraph, sound on, nothing held.
        std::string record(book::ReadingStateSize, '\0');
        record[book::ParagraphOffset] = static_cast<char>(paragraph & 0xFF);
        record[book::ParagraphOffset + 1] = static_cast<char>(paragraph >> 8);
        record[book::SoundOnOffset] = 1;
        record[book::VersionOffset] = static_cast<char>(book::StateVersion);
        std::ofstream(stateFile, std::ios::binary) << record;
    }
    std::string error;
    if (!headless::script::LoadText(script, "script", error)) {
        ADD_FAILURE() << error;
        return 1;
    }
    headless::script::Start();
    const int code = shell::ReaderMain(plat::ShowNormal);
    headless::script::Finish();
    if (exitCode != nullptr) *exitCode = code;
    shell::MainWindow = plat::NoWindow;
    shell::MenuBar = plat::NoWindow;
    return headless::script::Failures();
}

int16_t SavedParagraph() {
    const std::string record = SavedRecord();
    if (record.empty()) return 0;
    return static_cast<int16_t>(static_cast<uint8_t>(record[book::ParagraphOffset]) |
                                static_cast<uint8_t>(record[book::ParagraphOffset + 1]) << 8);
}

int8_t SavedSoundOn() {
    const std::string record = SavedRecord();
    return record.empty() ? 0 : static_cast<int8_t>(record[book::SoundOnOffset]);
}

}  // namespace navtest
