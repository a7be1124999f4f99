// The in-process reader: the main window opened as start-up opens it, the reading state
// copied in and out of the engine's own tables, and the page's choices acted on through the
// main window's command handling (or, for explore, without the paint that follows).
#include "tools/mwtool/reader.h"

#include <algorithm>
#include <cstring>

#include "book/variables.h"
#include "markup/hotwords.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/builtin_pages.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "shell/startup.h"

namespace mwtool::reader {
namespace {

constexpr int InformationParagraph = 6;  // without text, the built-in inventory page
constexpr int HintsParagraph = 7;        // without text, the built-in hints page

std::u16string Widen(const std::string& text) {
    std::u16string wide(text.size() + 1, u'\0');
    plat::Widen(text.c_str(), wide.data(), static_cast<int32_t>(wide.size()));
    wide.resize(std::char_traits<char16_t>::length(wide.c_str()));
    return wide;
}

std::string Narrow(const std::u16string& text) {
    std::string narrow(text.size() + 1, '\0');
    plat::Narrow(text.c_str(), narrow.data(), static_cast<int32_t>(narrow.size()));
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

// Runs an engine call with the main window out of reach, so that the move it makes is not
// painted: the tool then sees the state the move leads to before the next page's commands.
template <typename F>
void WithoutPaint(F&& call) {
    const plat::WindowId window = shell::MainWindow;
    shell::MainWindow = plat::NoWindow;
    call();
    shell::MainWindow = window;
    shell::RebuildNeeded = true;
}

bool OnPage(plat::WindowId control, int16_t id) {
    return control != plat::NoWindow && plat::GetControlId(control) == id;
}

}  // namespace

bool Open() {
    headless::Reset();
    page::ResetLayoutState();
    shell::ResetNavigation();
    shell::SpecialPage = shell::NoSpecialPage;  // paragraph 2 at once, without the start sequence
    // The first draw seeds the generator from the clock; drawing once now leaves every
    // later seed to the tool (plat::SeedRandom).
    markup::RandomNumber();
    return shell::OpenMainWindow(plat::ShowNormal) != plat::NoWindow;
}

void Close() {
    if (shell::MainWindow != plat::NoWindow) plat::DestroyWindow(shell::MainWindow);
    shell::MainWindow = plat::NoWindow;
    headless::Reset();  // drops the quit message that closing posted
}

void DrawPages(bool on) {
    const plat::Rect outer = plat::GetWindowRect(shell::MainWindow);
    const int32_t left = on ? 0 : 4 * plat::ScreenWidth;
    plat::MoveWindow(shell::MainWindow, {left, outer.top, left + outer.right - outer.left, outer.bottom}, false);
}

void StartAtBeginning() {
    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    shell::InStory = true;
    shell::SpecialPage = shell::NoSpecialPage;
    page::LayoutBold = false;
    shell::GoToParagraph(2, shell::Follow);
}

void StartState(ReadingState& state) {
    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    shell::CurrentParagraph = 2;
    shell::StoryParagraph = 2;
    shell::InStory = true;
    shell::SpecialPage = shell::NoSpecialPage;
    Capture(state);
}

void Capture(ReadingState& state) {
    state.currentParagraph = shell::CurrentParagraph;
    state.storyParagraph = shell::StoryParagraph;
    state.inStory = shell::InStory;
    for (int i = 0; i < book::VariableCount; ++i) {
        state.variables[2 * i] = book::StoryVariableTable[i].state[0];
        state.variables[2 * i + 1] = book::StoryVariableTable[i].state[1];
    }
    for (int k = 0; k < book::SlotCount; ++k) {
        state.saved[k] = book::SnapshotSlot[k].saved;
        state.slotParagraph[k] = book::SnapshotSlot[k].paragraph;
        if (state.saved[k] != 0) {
            std::memcpy(state.snapshots[k], book::SnapshotStates[k], book::SnapshotBytes);
        } else {
            std::memset(state.snapshots[k], 0, book::SnapshotBytes);
        }
    }
}

void Restore(const ReadingState& state) {
    // As just after a build: no choice taken on the page yet.
    shell::ChoiceTaken = false;
    shell::CurrentParagraph = state.currentParagraph;
    shell::StoryParagraph = state.storyParagraph;
    shell::InStory = state.inStory;
    shell::SpecialPage = shell::NoSpecialPage;
    for (int i = 0; i < book::VariableCount; ++i) {
        book::StoryVariableTable[i].state[0] = state.variables[2 * i];
        book::StoryVariableTable[i].state[1] = state.variables[2 * i + 1];
    }
    for (int k = 0; k < book::SlotCount; ++k) {
        book::SnapshotSlot[k].saved = state.saved[k];
        book::SnapshotSlot[k].paragraph = state.slotParagraph[k];
        std::memcpy(book::SnapshotStates[k], state.snapshots[k], book::SnapshotBytes);
    }
}

void Rebuild() {
    shell::ScrollOffset = 0;
    shell::RebuildNeeded = true;
    plat::InvalidateWindow(shell::MainWindow, true);
    plat::UpdateWindow(shell::MainWindow);
}

int HotwordsOnPage() { return std::clamp<int>(markup::HotwordCount, 0, markup::HotwordCapacity); }

bool HasPage(int paragraph) {
    if (paragraph < 1 || paragraph > book::ParagraphCount) return false;
    const book::ParagraphEntry& entry = book::ParagraphIndex[paragraph - 1];
    if (entry.chunk >= 0) return entry.endWord > entry.firstWord;
    return paragraph == InformationParagraph || paragraph == HintsParagraph;
}

void ListChoices(std::vector<PageChoice>& out) {
    out.clear();
    // The built-in information page's buttons are no hotwords: the command handling turns
    // a tap into a visit to the item's description.
    if (shell::InventoryPageShown) {
        for (int slot = 0; slot < page::ButtonCount; ++slot) {
            const auto id = static_cast<int16_t>(page::FirstButtonId + slot);
            if (OnPage(page::ButtonHandles[slot], id)) out.push_back({PageChoice::Button, -1, id});
        }
        return;
    }
    // A built-in page runs no scan, so the table may still hold the last paragraph's
    // hotwords: only those whose control is on the page count.
    const int count = std::clamp<int>(markup::HotwordCount, 0, markup::HotwordCapacity);
    for (int i = 0; i < count; ++i) {
        const int16_t id = markup::HotwordTable[i].controlId;
        if (id >= page::FirstButtonId) {
            const int slot = id - page::FirstButtonId;
            if (slot < page::ButtonCount && OnPage(page::ButtonHandles[slot], id)) out.push_back({PageChoice::Button, i, id});
        } else if (id >= page::FirstEditBoxId) {
            const int n = id - page::FirstEditBoxId;
            if (n < page::EditBoxCount && OnPage(page::EditBoxHandles[n], id)) out.push_back({PageChoice::EditBox, i, id});
        }
    }
    if (shell::NextArrow.mode != shell::ArrowOff) out.push_back({PageChoice::NextArrow, -1, shell::NextCommand});
    if (shell::PreviousArrow.mode != shell::ArrowOff) out.push_back({PageChoice::PreviousArrow, -1, shell::PreviousCommand});
}

void Tap(int16_t controlId) { Command(controlId); }

void TypeAndConfirm(int16_t editBoxId, const std::string& text) {
    const int n = editBoxId - page::FirstEditBoxId;
    if (n < 0 || n >= page::EditBoxCount || page::EditBoxHandles[n] == plat::NoWindow) return;
    // The box takes no more characters than its limit, as it refuses them while typed.
    const size_t accepted = static_cast<size_t>(std::max<int16_t>(page::EditBoxTable[n].maxChars, 0));
    const std::u16string wide = Widen(text.substr(0, accepted));
    plat::SetWindowText(page::EditBoxHandles[n], wide.c_str());
    // Enter reaches the box's key hook, which passes the confirmation to the main window.
    plat::SendMessage(page::EditBoxHandles[n], plat::MsgKeyDown, plat::KeyReturn, 0);
}

void Command(int32_t id) {
    if (id == shell::StartAgainCommand) headless::QueueAnswer(plat::AnswerYes);
    plat::SendMessage(shell::MainWindow, plat::MsgCommand, plat::MakeCommandParam(0, static_cast<uint32_t>(id)), 0);
    headless::PumpMessages();
}

void ActivateWithoutPaint(int hotword, const std::string& typed) {
    if (hotword < 0 || hotword >= markup::HotwordCapacity) return;
    const markup::HotwordEntry& entry = markup::HotwordTable[hotword];
    std::string text = typed;
    if (entry.controlId >= page::FirstEditBoxId && entry.controlId < page::FirstButtonId) {
        const int n = entry.controlId - page::FirstEditBoxId;
        if (n < page::EditBoxCount) text = text.substr(0, static_cast<size_t>(std::max<int16_t>(page::EditBoxTable[n].maxChars, 0)));
    }
    WithoutPaint([&] { markup::ActivateHotword(entry.controlId, text.c_str()); });
}

void ActivateChanceWithoutPaint(int hotword, int16_t target) {
    if (hotword < 0 || hotword >= markup::HotwordCapacity) return;
    markup::HotwordEntry& entry = markup::HotwordTable[hotword];
    const markup::HotwordEntry kept = entry;
    entry.kind = 'M';
    entry.target = target;
    WithoutPaint([&] { markup::ActivateHotword(entry.controlId, ""); });
    entry = kept;
}

void FollowArrowWithoutPaint(int16_t paragraph) {
    WithoutPaint([&] { shell::GoToParagraph(paragraph, shell::Follow); });
}

void CommandWithoutPaint(int32_t id) {
    WithoutPaint([&] { shell::HandleCommand(plat::NoWindow, id, 0); });
}

std::vector<ShownBox> TakeBoxes() {
    std::vector<ShownBox> list;
    const auto& boxes = headless::MessageBoxes();
    for (const headless::MessageBoxRecord& box : boxes) list.push_back({Narrow(box.text), box.buttons == plat::BoxOk});
    headless::ClearMessageBoxes();
    return list;
}

int32_t TextWidth(const std::string& text, bool bold) {
    const std::u16string wide = Widen(text);
    const plat::SurfaceId surface = plat::CreateCompatibleSurface();
    if (surface == 0) return 0;
    plat::SelectFont(surface, bold ? page::BoldFont : page::NormalFont);
    const plat::Size extent = plat::GetTextExtent(surface, wide.c_str(), static_cast<int32_t>(wide.size()));
    plat::DeleteSurface(surface);
    return extent.width;
}

int TitleFit(const std::string& title, int32_t& width) {
    width = TextWidth(title, true);
    const plat::SurfaceId surface = plat::CreateCompatibleSurface();
    if (surface == 0) return 0;
    int32_t lineHeight = 0;
    int32_t room = RightLimit();
    const int fit = page::FitWords(page::FitBuffer, title.c_str(), lineHeight, room, surface, true);
    plat::DeleteSurface(surface);
    return fit;
}

int32_t RightLimit() { return page::ClientArea.right - page::PageMargin; }
int32_t LeftMargin() { return page::PageMargin; }

}  // namespace mwtool::reader
