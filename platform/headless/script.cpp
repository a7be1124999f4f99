// The headless device's scripts: reading a script into steps, and a device in front of the
// headless one whose wait runs the next steps whenever the program would wait. Input steps
// are injected through the headless hooks; waits move the device's clock; checks look at
// the recorded message boxes and draws. Used by the headless reader.
#include "platform/headless/script.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/draw_internal.h"
#include "platform/headless/headless.h"
#include "platform/resource_formats.h"
#include "platform/resources.h"
#include "platform/window_system.h"

namespace headless::script {
namespace {

using Clock = std::chrono::steady_clock;
using plat::device::Event;
using plat::device::EventKind;

constexpr auto PauseSlice = std::chrono::milliseconds(10);

enum class Kind : uint8_t {
    Tap, TapControl, Drag, Key, Type, Menu, Close,      // input
    Wait, Pause, AwaitFront,                            // time
    Answer, Screenshot, ExpectBox, ExpectNoBox, ExpectText, Echo,  // at once
};

struct Step {
    Kind kind;
    int line;
    int32_t n[4];        // coordinates, ids, keys, milliseconds, answers
    std::u16string text; // typed text, expected texts
    std::string path;    // screenshot file, echo text
    bool started;
    uint32_t remaining;  // Wait: milliseconds still to go
    Clock::time_point deadline;
};

struct ScriptState {
    std::string name;
    std::vector<Step> steps;
    size_t next = 0;
    bool running = false;
    bool ended = false;  // the steps ran out and the close was asked for
    size_t boxesSeen = 0;
    std::vector<std::u16string> drawn;  // texts drawn where they can be seen, since the last repaint
    plat::draw::DrawObserver previousObserver = nullptr;
    int failures = 0;
    const plat::device::Device* inner = nullptr;
    plat::device::Device device = {};
};

ScriptState& State() {
    static ScriptState state;
    return state;
}

void Fail(const Step& step, const std::string& message) {
    ScriptState& s = State();
    ++s.failures;
    std::fprintf(stderr, "%s:%d: %s\n", s.name.c_str(), step.line, message.c_str());
}

// ---------------------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------------------

struct Token {
    std::string text;
    bool quoted;
};

std::u16string FromUtf8(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t code = c;
        size_t length = 1;
        if (c >= 0xF0) {
            length = 4;
        } else if (c >= 0xE0) {
            code = c & 0x0F;
            length = 3;
        } else if (c >= 0xC0) {
            code = c & 0x1F;
            length = 2;
        }
        if (length > 1 && length < 4 && i + length <= text.size()) {
            for (size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        } else if (length > 1) {
            code = u'?';  // outside the 16-bit characters the reader handles
        }
        out.push_back(static_cast<char16_t>(code));
        i += length;
    }
    return out;
}

std::string ToUtf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// Splits a line into words and double-quoted texts (\" and \\ inside quotes); a # after a
// blank or at the start ends the line. False for a quote that does not close.
bool Tokenize(const std::string& line, std::vector<Token>& out) {
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token t{"", true};
            for (++i;; ++i) {
                if (i >= line.size()) return false;
                if (line[i] == '\\' && i + 1 < line.size()) {
                    t.text.push_back(line[++i]);
                } else if (line[i] == '"') {
                    ++i;
                    break;
                } else {
                    t.text.push_back(line[i]);
                }
            }
            out.push_back(t);
        } else {
            Token t{"", false};
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') t.text.push_back(line[i++]);
            out.push_back(t);
        }
    }
    return true;
}

bool ParseNumber(const Token& token, int64_t low, int64_t high, int32_t& out) {
    if (token.quoted || token.text.empty()) return false;
    char* end = nullptr;
    const long long value = std::strtoll(token.text.c_str(), &end, 0);
    if (*end != 0 || value < low || value > high) return false;
    out = static_cast<int32_t>(value);
    return true;
}

struct KeyName {
    const char* name;
    uint32_t key;
};

constexpr KeyName KeyNames[] = {
    {"Back", plat::KeyBack},     {"Tab", plat::KeyTab},       {"Return", plat::KeyReturn},
    {"Enter", plat::KeyReturn},  {"Escape", plat::KeyEscape}, {"Space", plat::KeySpace},
    {"PageUp", plat::KeyPageUp}, {"PageDown", plat::KeyPageDown}, {"End", plat::KeyEnd},
    {"Home", plat::KeyHome},     {"Left", plat::KeyLeft},     {"Up", plat::KeyUp},
    {"Right", plat::KeyRight},   {"Down", plat::KeyDown},     {"Delete", plat::KeyDelete},
};

bool ParseKey(const Token& token, int32_t& out) {
    for (const KeyName& k : KeyNames) {
        if (!token.quoted && token.text == k.name) {
            out = static_cast<int32_t>(k.key);
            return true;
        }
    }
    return ParseNumber(token, 1, 0xFF, out);
}

// Compares a menu item's text with a wanted one: exactly, or without its '&' marks.
bool SameItemText(const plat::TextView& item, const std::string& wanted) {
    std::string plain;
    const std::string whole(item.text, static_cast<size_t>(item.length));
    for (char c : whole) {
        if (c != '&') plain.push_back(c);
    }
    return whole == wanted || plain == wanted;
}

// Finds the command of the menu item with this text in the program's menus; 0 for none.
int32_t MenuCommand(const std::string& text) {
    const plat::ResourceDirectory& directory = plat::ProgramResources;
    for (int32_t i = 0; i < directory.count; ++i) {
        const plat::ResourceEntry& entry = directory.entries[i];
        plat::MenuView menu;
        if (entry.type != plat::ResourceType::Menu || plat::ReadMenu(entry.data, entry.size, menu)) continue;
        for (int32_t k = 0; k < menu.itemCount; ++k) {
            if (SameItemText(menu.items[k].text, text)) return menu.items[k].command;
        }
    }
    return 0;
}

struct Verb {
    const char* name;
    Kind kind;
    int arguments;  // words after the verb
};

constexpr Verb Verbs[] = {
    {"tap", Kind::Tap, 2},         {"tap-control", Kind::TapControl, 1}, {"drag", Kind::Drag, 4},
    {"key", Kind::Key, 1},         {"type", Kind::Type, 1},              {"menu", Kind::Menu, 1},
    {"close", Kind::Close, 0},     {"wait", Kind::Wait, 1},              {"pause", Kind::Pause, 1},
    {"await-front", Kind::AwaitFront, 1}, {"answer", Kind::Answer, 1},   {"screenshot", Kind::Screenshot, 1},
    {"expect-box", Kind::ExpectBox, 1},   {"expect-no-box", Kind::ExpectNoBox, 0},
    {"expect-text", Kind::ExpectText, 1}, {"echo", Kind::Echo, -1},
};

// Turns the words of one line into a step; an error message when they do not make one.
std::string ParseStep(const std::vector<Token>& words, Step& step) {
    const Verb* verb = nullptr;
    for (const Verb& v : Verbs) {
        if (!words[0].quoted && words[0].text == v.name) verb = &v;
    }
    if (verb == nullptr) return "unknown step \"" + words[0].text + "\"";
    const int given = static_cast<int>(words.size()) - 1;
    if (verb->arguments >= 0 && given != verb->arguments) {
        return std::string(verb->name) + " takes " + std::to_string(verb->arguments) + " argument(s), not " +
               std::to_string(given);
    }
    step.kind = verb->kind;
    constexpr int64_t Big = INT32_MAX;
    switch (step.kind) {
    case Kind::Tap:
    case Kind::Drag:
        for (int i = 0; i < given; ++i) {
            if (!ParseNumber(words[static_cast<size_t>(i) + 1], -Big, Big, step.n[i])) return "a coordinate must be a number";
        }
        return "";
    case Kind::TapControl:
        return ParseNumber(words[1], 1, 0xFFFF, step.n[0]) ? "" : "a control id must be a number from 1 to 65535";
    case Kind::Key:
        return ParseKey(words[1], step.n[0]) ? "" : "unknown key \"" + words[1].text + "\"";
    case Kind::Type:
    case Kind::ExpectBox:
    case Kind::ExpectText:
        step.text = FromUtf8(words[1].text);
        return "";
    case Kind::Menu:
        if (ParseNumber(words[1], 1, 0xFFFF, step.n[0])) return "";
        step.n[0] = MenuCommand(words[1].text);
        return step.n[0] != 0 ? "" : "no menu item \"" + words[1].text + "\"";
    case Kind::Wait:
    case Kind::Pause:
    case Kind::AwaitFront:
        return ParseNumber(words[1], 0, Big, step.n[0]) ? "" : "a time must be a number of milliseconds";
    case Kind::Answer:
        if (words[1].text == "ok") step.n[0] = plat::AnswerOk;
        else if (words[1].text == "yes") step.n[0] = plat::AnswerYes;
        else if (words[1].text == "no") step.n[0] = plat::AnswerNo;
        else return "answer is ok, yes or no";
        return "";
    case Kind::Screenshot:
        step.path = words[1].text;
        return step.path.empty() ? "screenshot needs a file name" : "";
    case Kind::Echo:
        for (size_t i = 1; i < words.size(); ++i) step.path += (i > 1 ? " " : "") + words[i].text;
        return "";
    case Kind::Close:
    case Kind::ExpectNoBox:
        return "";
    }
    return "";
}

// ---------------------------------------------------------------------------------------
// Running
// ---------------------------------------------------------------------------------------

bool IsInputOrTime(Kind kind) { return kind <= Kind::AwaitFront; }

// The shown control with this id, preferring one on a message box (it is the modal one).
const plat::ws::WindowRecord* FindControl(int32_t id) {
    const plat::ws::WindowRecord* found = nullptr;
    for (int32_t i = 0; i < plat::ws::MaxWindows; ++i) {
        const plat::ws::WindowRecord& r = plat::ws::Slot(i);
        if (r.kind == plat::ws::WindowKind::Free || r.parent == plat::NoWindow || r.controlId != id || !plat::ws::IsShown(r)) {
            continue;
        }
        const plat::ws::WindowRecord* top = &r;
        while (top->parent != plat::NoWindow && plat::ws::Find(top->parent) != nullptr) top = plat::ws::Find(top->parent);
        if (top->kind == plat::ws::WindowKind::MessageBoxWindow) return &r;
        if (found == nullptr) found = &r;
    }
    return found;
}

// The window the command bar serves, which its menu's choices go to; NoWindow without one.
plat::WindowId CommandBarOwner() {
    for (int32_t i = 0; i < plat::ws::MaxWindows; ++i) {
        const plat::ws::WindowRecord& r = plat::ws::Slot(i);
        if (r.kind == plat::ws::WindowKind::CommandBar && plat::ws::Find(r.owner) != nullptr) return r.owner;
    }
    return plat::NoWindow;
}

// True once another program asked this one's window to the front (which makes it topmost).
bool AskedToFront() {
    for (int32_t i = 0; i < plat::ws::MaxWindows; ++i) {
        const plat::ws::WindowRecord& r = plat::ws::Slot(i);
        if (r.kind == plat::ws::WindowKind::TopLevel && r.topmost) return true;
    }
    return false;
}

// Has every shown window, controls and chrome included, painted again in full.
void RepaintEverything() {
    for (int32_t i = 0; i < plat::ws::MaxWindows; ++i) {
        plat::ws::WindowRecord& r = plat::ws::Slot(i);
        if (r.kind == plat::ws::WindowKind::Free || !plat::ws::IsShown(r)) continue;
        const plat::Rect client = plat::ws::ClientScreenRect(r);
        r.frameInvalid = true;
        plat::ws::InvalidateClient(r, plat::Rect{0, 0, plat::ws::Width(client), plat::ws::Height(client)}, true);
    }
}

// Keeps each text drawn on the screen where its surface's clip lets it be seen.
void ObserveDraw(const plat::draw::DrawRecord& record) {
    if (record.op != plat::draw::DrawOp::Text || record.text == nullptr || record.count <= 0) return;
    if (plat::ws::IsEmpty(plat::ws::Intersect(record.rect, record.clip))) return;
    State().drawn.emplace_back(record.text, static_cast<size_t>(record.count));
}

// Runs a step that needs no running program: the checks, screenshots and messages.
void RunAtOnce(Step& step) {
    ScriptState& s = State();
    const auto& boxes = MessageBoxes();
    switch (step.kind) {
    case Kind::Answer:
        QueueAnswer(step.n[0]);
        break;
    case Kind::Screenshot:
        if (!SavePng(step.path.c_str())) Fail(step, "cannot write the screenshot " + step.path);
        break;
    case Kind::ExpectBox: {
        bool seen = false;
        std::string shown;
        for (size_t i = s.boxesSeen; i < boxes.size(); ++i) {
            seen = seen || boxes[i].text == step.text;
            shown += " \"" + ToUtf8(boxes[i].text) + "\"";
        }
        s.boxesSeen = boxes.size();
        if (!seen) Fail(step, "expected a message box \"" + ToUtf8(step.text) + "\"; shown:" + (shown.empty() ? " none" : shown));
        break;
    }
    case Kind::ExpectNoBox:
        for (size_t i = s.boxesSeen; i < boxes.size(); ++i) Fail(step, "unexpected message box \"" + ToUtf8(boxes[i].text) + "\"");
        s.boxesSeen = boxes.size();
        break;
    case Kind::ExpectText: {
        bool seen = false;
        for (const std::u16string& text : s.drawn) seen = seen || text.find(step.text) != std::u16string::npos;
        if (!seen) Fail(step, "\"" + ToUtf8(step.text) + "\" was not drawn where it can be seen");
        break;
    }
    case Kind::Echo:
        std::printf("%s\n", step.path.c_str());
        std::fflush(stdout);
        break;
    default:
        break;
    }
}

// Starts an input step: its events join the device's input. False when it has none to give.
bool Inject(const Step& step) {
    switch (step.kind) {
    case Kind::Tap:
        Tap(step.n[0], step.n[1]);
        return true;
    case Kind::TapControl: {
        const plat::ws::WindowRecord* control = FindControl(step.n[0]);
        if (control == nullptr) {
            Fail(step, "no control " + std::to_string(step.n[0]) + " is shown");
            return false;
        }
        const plat::Rect r = plat::ws::ScreenRect(*control);
        Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return true;
    }
    case Kind::Drag:
        PointerDown(step.n[0], step.n[1]);
        PointerMove((step.n[0] + step.n[2]) / 2, (step.n[1] + step.n[3]) / 2);
        PointerMove(step.n[2], step.n[3]);
        PointerUp(step.n[2], step.n[3]);
        return true;
    case Kind::Key:
        PressKey(static_cast<uint32_t>(step.n[0]));
        return true;
    case Kind::Type:
        TypeText(step.text.c_str());
        return !step.text.empty();
    case Kind::Close:
        RequestClose();
        return true;
    default:
        return false;
    }
}

// The script's wait: the program has nothing to do until timeoutMs (the next timer) or
// for ever. Runs steps until one gives input or needs time to pass.
bool ScriptWait(Event& out, uint32_t timeoutMs) {
    ScriptState& s = State();
    if (timeoutMs == 0 || s.ended || InputPending()) return s.inner->waitEvent(out, timeoutMs);
    while (s.next < s.steps.size()) {
        Step& step = s.steps[s.next];
        if (!step.started && IsInputOrTime(step.kind)) {
            step.started = true;
            step.remaining = static_cast<uint32_t>(step.n[0]);
            step.deadline = Clock::now() + std::chrono::milliseconds(step.n[0]);
        }
        switch (step.kind) {
        case Kind::Menu: {
            ++s.next;
            const plat::WindowId owner = CommandBarOwner();
            if (owner == plat::NoWindow) {
                Fail(step, "there is no command bar to choose from");
                continue;
            }
            plat::PostMessage(owner, plat::MsgCommand, plat::MakeCommandParam(0, static_cast<uint32_t>(step.n[0])), 0);
            return false;
        }
        case Kind::Wait: {
            // Up to the next timer at most, so that every timer fires at its time.
            const uint32_t slice = timeoutMs < step.remaining ? timeoutMs : step.remaining;
            s.inner->waitEvent(out, slice);  // with no input waiting, this moves the clock on
            step.remaining -= slice;
            if (step.remaining == 0) ++s.next;
            return false;
        }
        case Kind::Pause:
            if (Clock::now() >= step.deadline) {
                ++s.next;
                continue;
            }
            std::this_thread::sleep_for(PauseSlice);
            return false;
        case Kind::ExpectText:
            if (!step.started) {
                // What is on the screen now, whatever scrolled into view by moving pixels,
                // is what one more full paint of every window draws.
                step.started = true;
                s.drawn.clear();
                RepaintEverything();
                return false;
            }
            ++s.next;
            RunAtOnce(step);
            continue;
        case Kind::AwaitFront:
            if (AskedToFront()) {
                ++s.next;
                continue;
            }
            if (Clock::now() >= step.deadline) {
                Fail(step, "no other reader asked this one to the front");
                ++s.next;
                continue;
            }
            std::this_thread::sleep_for(PauseSlice);
            return false;
        default:
            ++s.next;
            if (!IsInputOrTime(step.kind)) {
                RunAtOnce(step);
                continue;
            }
            if (Inject(step)) return s.inner->waitEvent(out, 0);
            continue;
        }
    }
    // The script is done: the program closes in order, as from a window's close button.
    s.ended = true;
    out = Event{};
    out.kind = EventKind::CloseRequest;
    return true;
}

}  // namespace

bool LoadText(const std::string& text, const char* name, std::string& error) {
    ScriptState& s = State();
    s.name = name != nullptr ? name : "script";
    s.steps.clear();
    s.next = 0;
    s.ended = false;
    s.failures = 0;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::vector<Token> words;
        if (!Tokenize(line, words)) {
            error = s.name + ":" + std::to_string(number) + ": a quote does not close";
            return false;
        }
        if (words.empty()) continue;
        Step step = {};
        step.line = number;
        const std::string message = ParseStep(words, step);
        if (!message.empty()) {
            error = s.name + ":" + std::to_string(number) + ": " + message;
            return false;
        }
        s.steps.push_back(step);
    }
    return true;
}

bool Load(const char* path, std::string& error) {
    std::stringstream text;
    if (std::string(path) == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream file(path);
        if (!file) {
            error = std::string(path) + ": cannot read the script";
            return false;
        }
        text << file.rdbuf();
    }
    return LoadText(text.str(), path, error);
}

void Start() {
    ScriptState& s = State();
    if (std::string(plat::device::Current().name) == "none") Install();
    s.inner = &plat::device::Current();
    s.device = *s.inner;
    s.device.name = "headless script";
    s.device.waitEvent = ScriptWait;
    s.boxesSeen = MessageBoxes().size();
    s.running = true;
    s.drawn.clear();
    s.previousObserver = plat::draw::SetDrawObserver(ObserveDraw);
    plat::device::Install(&s.device);
}

void Finish() {
    ScriptState& s = State();
    if (!s.running) return;
    for (; s.next < s.steps.size(); ++s.next) {
        Step& step = s.steps[s.next];
        if (IsInputOrTime(step.kind)) {
            if (!step.started) std::fprintf(stderr, "%s:%d: skipped: the program had ended\n", s.name.c_str(), step.line);
            continue;
        }
        RunAtOnce(step);
    }
    s.running = false;
    plat::draw::SetDrawObserver(s.previousObserver);
    plat::device::Install(s.inner);
}

int Failures() { return State().failures; }

}  // namespace headless::script
