// The headless device: what it answers the window system (device.h) and the test hooks of
// headless.h that feed it. Everything here runs on the test's own thread; the device never
// waits: when the program would wait, the clock jumps to the end of the wait.
#include "platform/headless/headless.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/device.h"

namespace headless {
namespace {

using plat::device::Event;
using plat::device::EventKind;

struct DeviceState {
    uint32_t clock = 0;
    std::deque<Event> input;
    std::deque<int32_t> answers;
    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> sounds;
    std::string playing;
    std::string dataFolder;
    int32_t presents = 0;
    bool boxesOnScreen = false;
    pid_t folderMadeBy = 0;  // the process that made dataFolder as a temporary folder

    // The temporary folder goes when the process that made it ends (not a forked child).
    ~DeviceState() {
        if (folderMadeBy != 0 && folderMadeBy == getpid()) {
            std::error_code ignored;
            std::filesystem::remove_all(dataFolder, ignored);
        }
    }
};

DeviceState& State() {
    static DeviceState state;
    return state;
}

void Present(const uint32_t*, int32_t, int32_t) { ++State().presents; }

bool WaitEvent(Event& out, uint32_t timeoutMs) {
    DeviceState& s = State();
    if (!s.input.empty()) {
        out = s.input.front();
        s.input.pop_front();
        return true;
    }
    if (timeoutMs == plat::device::WaitForever) {
        // The script has run out and nothing else will happen: close the program in order.
        out = Event{};
        out.kind = EventKind::CloseRequest;
        return true;
    }
    s.clock += timeoutMs;
    return false;
}

uint32_t TickCountNow() { return State().clock; }

bool PlayWave(const char* name, const uint8_t*, uint32_t) {
    State().sounds.emplace_back(name != nullptr ? name : "");
    State().playing = State().sounds.back();
    return true;
}

void StopSound() { State().playing.clear(); }

const char* DataFolderNow() {
    DeviceState& s = State();
    if (s.dataFolder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/mirewood-headless-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) return nullptr;
        s.dataFolder = pattern;
        s.folderMadeBy = getpid();
    }
    return s.dataFolder.c_str();
}

int32_t AnswerMessageBox(plat::WindowId owner, const char16_t* text, const char16_t* caption,
                         uint32_t buttons) {
    DeviceState& s = State();
    if (s.boxesOnScreen) {
        s.boxes.push_back({owner, text, caption, buttons, plat::device::AskTheUser});
        return plat::device::AskTheUser;
    }
    int32_t answer = buttons == plat::BoxYesNo ? plat::AnswerNo : plat::AnswerOk;
    if (!s.answers.empty()) {
        const int32_t queued = s.answers.front();
        s.answers.pop_front();
        const bool fits = buttons == plat::BoxYesNo ? (queued == plat::AnswerYes || queued == plat::AnswerNo)
                                                    : queued == plat::AnswerOk;
        if (fits) answer = queued;
    }
    s.boxes.push_back({owner, text, caption, buttons, answer});
    return answer;
}

// The headless device never really waits, so there is nothing to wake.
void Wake() {}

constexpr plat::device::Device HeadlessDevice = {
    "headless", Present,       WaitEvent,        TickCountNow, PlayWave,
    StopSound,  DataFolderNow, AnswerMessageBox, Wake,         nullptr,
};

void Push(EventKind kind, int32_t x, int32_t y, uint32_t key, int32_t wheelDelta) {
    Event e{};
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.key = key;
    e.wheelDelta = wheelDelta;
    State().input.push_back(e);
}

// Linking the headless library is how a program chooses this device.
const bool InstalledAtStart = (Install(), true);

}  // namespace

void Install() { plat::device::Install(&HeadlessDevice); }

void Reset() {
    Install();
    plat::device::ResetWindowSystem();
    DeviceState& s = State();
    s.clock = 0;
    s.input.clear();
    s.answers.clear();
    s.boxes.clear();
    s.sounds.clear();
    s.playing.clear();
    s.presents = 0;
    s.boxesOnScreen = false;
}

const std::vector<MessageBoxRecord>& MessageBoxes() { return State().boxes; }
void ClearMessageBoxes() { State().boxes.clear(); }
void QueueAnswer(int32_t answer) { State().answers.push_back(answer); }
void ShowBoxesOnScreen(bool on) { State().boxesOnScreen = on; }

uint32_t Now() { return State().clock; }

void AdvanceClock(uint32_t ms) {
    plat::device::PumpMessages();  // what is waiting now happens now
    DeviceState& s = State();
    const uint32_t end = s.clock + ms;
    uint32_t due = 0;
    // Stops at every due time on the way, so a timer fires once per period that passes.
    // Every firing sets its timer at least 10 ms later, so the walk moves on.
    while (plat::device::NextTimerDue(due) && static_cast<int32_t>(end - due) >= 0) {
        if (static_cast<int32_t>(due - s.clock) > 0) s.clock = due;
        plat::device::PumpMessages();
        uint32_t next = 0;
        if (plat::device::NextTimerDue(next) && next == due) break;  // a pending quit holds the timers
    }
    s.clock = end;
    plat::device::PumpMessages();
}

void FixRandomSeed(uint32_t seed) { plat::device::OverrideNextSeed(seed); }

void PointerDown(int32_t x, int32_t y) { Push(EventKind::PointerDown, x, y, 0, 0); }
void PointerMove(int32_t x, int32_t y) { Push(EventKind::PointerMove, x, y, 0, 0); }
void PointerUp(int32_t x, int32_t y) { Push(EventKind::PointerUp, x, y, 0, 0); }
void Tap(int32_t x, int32_t y) {
    PointerDown(x, y);
    PointerUp(x, y);
}
void KeyDown(uint32_t virtualKey) { Push(EventKind::KeyDown, 0, 0, virtualKey, 0); }
void KeyUp(uint32_t virtualKey) { Push(EventKind::KeyUp, 0, 0, virtualKey, 0); }
void PressKey(uint32_t virtualKey) {
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}
void TypeText(const char16_t* text) {
    for (; text != nullptr && *text != 0; ++text) {
        Event e{};
        e.kind = EventKind::Text;
        e.text[0] = *text;
        State().input.push_back(e);
    }
}
void Wheel(int32_t x, int32_t y, int32_t delta) { Push(EventKind::Wheel, x, y, 0, delta); }
void RequestClose() { Push(EventKind::CloseRequest, 0, 0, 0, 0); }
int32_t PumpMessages() { return plat::device::PumpMessages(); }
bool InputPending() { return !State().input.empty(); }

const std::vector<std::string>& PlayedSounds() { return State().sounds; }
void ClearPlayedSounds() { State().sounds.clear(); }
const std::string& PlayingSound() { return State().playing; }

void SetDataFolder(const char* folder) {
    DeviceState& s = State();
    if (s.folderMadeBy != 0 && s.folderMadeBy == getpid()) {
        std::error_code ignored;
        std::filesystem::remove_all(s.dataFolder, ignored);
    }
    s.dataFolder = folder != nullptr ? folder : "";
    s.folderMadeBy = 0;
}
const char* DataFolder() { return DataFolderNow(); }

int32_t PresentCount() { return State().presents; }

}  // namespace headless
