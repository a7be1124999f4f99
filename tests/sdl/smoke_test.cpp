// The reader on the SDL device end to end, with SDL's dummy drivers: SDL mouse, wheel, key
// and text events take it through the opening sequence, onto a hotword, down a long page
// and through a typed answer, and every screen must match the headless device's rendering
// of the same steps pixel for pixel (one window system draws both). Each run is a child
// process, as the reader's static state starts fresh only in a new process.
#include <gtest/gtest.h>

#include <SDL.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "book/state_file.h"
#include "book/tables.h"
#include "platform/device.h"
#include "platform/draw_internal.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl_device.h"
#include "platform/window_system.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace {

// ---------------------------------------------------------------------------------------
// The steps, the same for both devices
// ---------------------------------------------------------------------------------------

enum class Act { Capture, TapBar, Press, Release, Wheel, Key, Type, Rescale, Close };

struct Step {
    Act act;
    int32_t n;               // TapBar: a command; Key: a virtual key; Wheel: the delta; Rescale: the scale
    const char16_t* text;    // Type
    const char* name;        // Capture
};

constexpr int32_t NextArrowCommand = 511;
constexpr int32_t FirstPageButton = 5000;
constexpr int32_t LastPageButton = 5099;

const Step Script[] = {
    {Act::Capture, 0, nullptr, "the book details page that ends the opening sequence"},
    {Act::TapBar, NextArrowCommand, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "paragraph 2"},
    {Act::Press, 0, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the first hotword held down"},
    {Act::Release, 0, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the long page the hotword leads to"},
    // The edit box has the focus: Down still scrolls, a line.
    {Act::Key, plat::KeyDown, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the long page a line down"},
    {Act::Wheel, -120, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the long page after a notch of the wheel"},
    {Act::Wheel, -120 * 20, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the foot of the long page after a flick of the wheel"},
    {Act::Type, 0, u"heron", nullptr},
    {Act::Capture, 0, nullptr, "the answer typed into the edit box"},
    {Act::Key, plat::KeyReturn, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the page of the right answer"},
    {Act::Rescale, 3, nullptr, nullptr},
    {Act::Capture, 0, nullptr, "the same page at scale 3"},
    {Act::Close, 0, nullptr, nullptr},
};

// Finds the first page button on the screen and the middle of it, in logical screen pixels.
bool FirstButtonCentre(int32_t& x, int32_t& y) {
    for (int32_t id = FirstPageButton; id <= LastPageButton; ++id) {
        const plat::WindowId button = plat::GetControl(shell::MainWindow, id);
        if (button == plat::NoWindow || !plat::IsWindowVisible(button)) continue;
        const plat::Rect r = plat::GetWindowRect(button);
        x = (r.left + r.right) / 2;
        y = (r.top + r.bottom) / 2;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// A run: the reader on one device, the steps taken whenever it would wait for the user
// ---------------------------------------------------------------------------------------

struct Driver {
    void (*pointer)(bool down, int32_t x, int32_t y);
    void (*wheel)(int32_t x, int32_t y, int32_t delta);
    void (*key)(uint32_t virtualKey);
    void (*type)(const char16_t* text);
    void (*rescale)(int32_t scale);
    void (*close)();
    void (*checkShown)();  // checks what the device shows against the framebuffer
};

struct Run {
    const Driver* driver = nullptr;
    plat::device::Device device{};
    const plat::device::Device* inner = nullptr;
    size_t next = 0;
    int32_t pressX = 0, pressY = 0;
    std::ofstream out;   // the captures, for the parent process
    std::string notes;   // what went wrong on the way
};

Run TheRun;

void Capture(const char* name) {
    const auto w = plat::draw::PixelWidth(), h = plat::draw::PixelHeight();
    TheRun.out << name << '\n' << w << ' ' << h << '\n';
    TheRun.out.write(reinterpret_cast<const char*>(plat::draw::Pixels()),
                     static_cast<std::streamsize>(sizeof(uint32_t) * static_cast<size_t>(w * h)));
    TheRun.out << '\n';
}

// Takes the steps up to and including the next one that gives the reader something to do.
void TakeSteps() {
    const Driver& d = *TheRun.driver;
    while (TheRun.next < std::size(Script)) {
        const Step& s = Script[TheRun.next++];
        switch (s.act) {
        case Act::Capture:
            Capture(s.name);
            d.checkShown();
            continue;
        case Act::TapBar: {
            const plat::Rect r = plat::ws::CommandBarButtonRect(static_cast<uint32_t>(s.n));
            if (plat::ws::IsEmpty(r)) TheRun.notes += "no command-bar button " + std::to_string(s.n) + "\n";
            d.pointer(true, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            d.pointer(false, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            return;
        }
        case Act::Press:
            if (!FirstButtonCentre(TheRun.pressX, TheRun.pressY)) TheRun.notes += "no page button to press\n";
            d.pointer(true, TheRun.pressX, TheRun.pressY);
            return;
        case Act::Release:
            d.pointer(false, TheRun.pressX, TheRun.pressY);
            return;
        case Act::Wheel:
            d.wheel(plat::ScreenWidth / 2, plat::ScreenHeight / 2, s.n);
            return;
        case Act::Key:
            d.key(static_cast<uint32_t>(s.n));
            return;
        case Act::Type:
            d.type(s.text);
            return;
        case Act::Rescale:
            d.rescale(s.n);
            return;
        case Act::Close:
            d.close();
            return;
        }
    }
}

// Waits as the device does, with the script in front: when the reader has nothing left to
// do, no timer runs and the device has nothing to deliver, the next steps are taken.
bool ScriptedWait(plat::device::Event& out, uint32_t timeoutMs) {
    if (timeoutMs != plat::device::WaitForever) return TheRun.inner->waitEvent(out, timeoutMs);
    if (TheRun.inner->waitEvent(out, 0)) return true;
    if (TheRun.next == std::size(Script)) return TheRun.inner->waitEvent(out, timeoutMs);
    // Back to the loop at once: a step that only repaints gives the device nothing to deliver.
    TakeSteps();
    return TheRun.inner->waitEvent(out, 0);
}

void PutScriptInFront(const Driver& driver) {
    TheRun.driver = &driver;
    TheRun.inner = &plat::device::Current();
    TheRun.device = *TheRun.inner;
    TheRun.device.waitEvent = ScriptedWait;
    plat::device::Install(&TheRun.device);
}

// ---------------------------------------------------------------------------------------
// The two devices
// ---------------------------------------------------------------------------------------

constexpr int32_t StartScale = 2;

void PushSdl(const SDL_Event& event) { SDL_PushEvent(const_cast<SDL_Event*>(&event)); }

// Return the middle of a logical pixel in the window's coordinates.
int32_t WindowX(int32_t x) { return sdl::ScreenInWindow().left + x * sdl::ShownScale() + sdl::ShownScale() / 2; }
int32_t WindowY(int32_t y) { return sdl::ScreenInWindow().top + y * sdl::ShownScale() + sdl::ShownScale() / 2; }

SDL_Keycode SdlKeyOf(uint32_t virtualKey) {
    switch (virtualKey) {
    case plat::KeyDown: return SDLK_DOWN;
    case plat::KeyReturn: return SDLK_RETURN;
    default: return SDLK_UNKNOWN;
    }
}

// Checks, in the SDL run, that the window shows the framebuffer pixel for pixel where the
// device put it.
void CheckWindowShowsTheFrame() {
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    const plat::Rect where = sdl::ScreenInWindow();
    const int32_t w = plat::draw::PixelWidth(), h = plat::draw::PixelHeight();
    if (renderer == nullptr || where.right - where.left != w || where.bottom - where.top != h) {
        TheRun.notes += "the window does not show the screen at the framebuffer's size\n";
        return;
    }
    std::vector<uint32_t> shown(static_cast<size_t>(w * h));
    const SDL_Rect area{where.left, where.top, w, h};
    if (SDL_RenderReadPixels(renderer, &area, SDL_PIXELFORMAT_RGB888, shown.data(), w * 4) != 0) {
        TheRun.notes += std::string("cannot read the window: ") + SDL_GetError() + "\n";
        return;
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        if ((shown[i] & 0xFFFFFF) != (plat::draw::Pixels()[i] & 0xFFFFFF)) {
            TheRun.notes += "the window differs from the framebuffer at device pixel " + std::to_string(i) +
                            " of a " + std::to_string(w) + " pixels wide screen\n";
            return;
        }
    }
}

const Driver SdlDriver = {
    [](bool down, int32_t x, int32_t y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = WindowX(x);
        e.button.y = WindowY(y);
        PushSdl(e);
    },
    [](int32_t x, int32_t y, int32_t delta) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = delta / 120;
        e.wheel.preciseY = static_cast<float>(delta) / 120.0f;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        e.wheel.mouseX = WindowX(x);
        e.wheel.mouseY = WindowY(y);
        PushSdl(e);
    },
    [](uint32_t virtualKey) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = SdlKeyOf(virtualKey);
        PushSdl(e);
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        PushSdl(e);
    },
    [](const char16_t* text) {
        // As a keyboard delivers it: one text event a key.
        for (; *text != 0; ++text) {
            SDL_Event e{};
            e.type = SDL_TEXTINPUT;
            e.text.text[0] = static_cast<char>(*text);  // the script types ASCII
            PushSdl(e);
        }
    },
    [](int32_t scale) {
        // What a window manager does when the user drags the window's corner.
        SDL_Window* window = SDL_GetWindowFromID(1);
        SDL_SetWindowSize(window, plat::ScreenWidth * scale, plat::ScreenHeight * scale);
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        e.window.windowID = 1;
        e.window.data1 = plat::ScreenWidth * scale;
        e.window.data2 = plat::ScreenHeight * scale;
        PushSdl(e);
    },
    [] {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = SDLK_q;
        e.key.keysym.mod = KMOD_LCTRL;
        PushSdl(e);
    },
    CheckWindowShowsTheFrame,
};

const Driver HeadlessDriver = {
    [](bool down, int32_t x, int32_t y) { down ? headless::PointerDown(x, y) : headless::PointerUp(x, y); },
    [](int32_t x, int32_t y, int32_t delta) { headless::Wheel(x, y, delta); },
    [](uint32_t virtualKey) { headless::PressKey(virtualKey); },
    [](const char16_t* text) { headless::TypeText(text); },
    [](int32_t scale) {
        headless::SetScale(scale);
        plat::ws::ExposeScreenArea(plat::Rect{0, 0, plat::ScreenWidth, plat::ScreenHeight});
    },
    [] { headless::RequestClose(); },
    [] {},
};

// ---------------------------------------------------------------------------------------
// The child processes and what they leave for the parent
// ---------------------------------------------------------------------------------------

struct Outcome {
    int exitCode = -1;
    std::vector<std::string> names;
    std::vector<std::vector<uint32_t>> frames;
    std::vector<int32_t> widths;
    std::string notes;
};

int RunSdlReader(const std::string& folder) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
    sdl::Options options;
    options.scale = StartScale;
    options.title = book::BookInfo.title;
    if (!sdl::Start(options)) {
        TheRun.notes += std::string("the SDL device did not start: ") + sdl::Error() + "\n";
        return 99;
    }
    const char* title = SDL_GetWindowTitle(SDL_GetWindowFromID(1));
    if (std::string(title) != "Desktop Fixture") TheRun.notes += std::string("window title: ") + title + "\n";
    PutScriptInFront(SdlDriver);
    const int code = shell::ReaderMain(plat::ShowNormal);
    sdl::Stop();
    return code;
}

int RunHeadlessReader(const std::string& folder) {
    headless::Reset();
    headless::SetDataFolder(folder.c_str());
    headless::SetScale(StartScale);
    PutScriptInFront(HeadlessDriver);
    return shell::ReaderMain(plat::ShowNormal);
}

Outcome RunInChild(int (*run)(const std::string&), const std::string& folder) {
    const std::string results = folder + "/results";
    const std::string notes = folder + "/notes";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        TheRun.out.open(results, std::ios::binary);
        const int code = run(folder);
        TheRun.out.close();
        std::ofstream(notes) << TheRun.notes;
        std::fflush(nullptr);
        _exit(code);
    }
    Outcome outcome;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::ifstream in(results, std::ios::binary);
    std::string name;
    int32_t w = 0, h = 0;
    while (std::getline(in, name) && in >> w >> h && in.get() == '\n') {
        std::vector<uint32_t> frame(static_cast<size_t>(w * h));
        in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size() * 4));
        in.get();
        outcome.names.push_back(name);
        outcome.frames.push_back(std::move(frame));
        outcome.widths.push_back(w);
    }
    std::ifstream noteFile(notes);
    outcome.notes.assign(std::istreambuf_iterator<char>(noteFile), std::istreambuf_iterator<char>());
    return outcome;
}

struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mirewood-sdl-XXXXXX").string();
        path = mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// Describes where two frames of the same size differ: how many pixels, and the first.
std::string Difference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int32_t width) {
    size_t count = 0, first = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if ((a[i] & 0xFFFFFF) == (b[i] & 0xFFFFFF)) continue;
        if (count++ == 0) first = i;
    }
    if (count == 0) return "";
    return std::to_string(count) + " pixels differ, the first at device pixel (" +
           std::to_string(first % static_cast<size_t>(width)) + ", " + std::to_string(first / static_cast<size_t>(width)) + ")";
}

TEST(SdlSmoke, TheReaderOnTheSdlDeviceShowsWhatTheHeadlessDeviceRenders) {
    ScratchFolder sdlFolder, headlessFolder;
    ASSERT_FALSE(sdlFolder.path.empty());
    ASSERT_FALSE(headlessFolder.path.empty());
    const Outcome onSdl = RunInChild(RunSdlReader, sdlFolder.path);
    const Outcome headless = RunInChild(RunHeadlessReader, headlessFolder.path);

    EXPECT_EQ(onSdl.exitCode, 0) << onSdl.notes;
    EXPECT_EQ(headless.exitCode, 0) << headless.notes;
    EXPECT_EQ(onSdl.notes, "");
    EXPECT_EQ(headless.notes, "");
    ASSERT_EQ(onSdl.names, headless.names) << "the runs stopped at different places";
    ASSERT_EQ(onSdl.names.size(), std::size_t{10});
    for (size_t i = 0; i < onSdl.frames.size(); ++i) {
        SCOPED_TRACE(onSdl.names[i]);
        ASSERT_EQ(onSdl.widths[i], headless.widths[i]);
        EXPECT_EQ(Difference(onSdl.frames[i], headless.frames[i], onSdl.widths[i]), "");
    }
    EXPECT_EQ(onSdl.widths.back(), plat::ScreenWidth * 3) << "the last capture is at scale 3";
    // The steps went somewhere: each capture shows a new screen (but the held hotword's,
    // which may look like the page before it).
    for (size_t i = 3; i < onSdl.frames.size(); ++i) {
        if (onSdl.widths[i] != onSdl.widths[i - 1]) continue;
        EXPECT_NE(onSdl.frames[i], onSdl.frames[i - 1]) << onSdl.names[i] << " looks like " << onSdl.names[i - 1];
    }

    // The close saved the story paragraph the run ended on.
    std::ifstream state(sdlFolder.path + "/mirewood/QRN5The_Mirewood_Vow.dat", std::ios::binary);
    std::vector<char> record((std::istreambuf_iterator<char>(state)), std::istreambuf_iterator<char>());
    ASSERT_EQ(record.size(), static_cast<size_t>(book::ReadingStateSize));
    const int paragraph = static_cast<uint8_t>(record[book::ParagraphOffset]) |
                          static_cast<uint8_t>(record[book::ParagraphOffset + 1]) << 8;
    EXPECT_EQ(paragraph, 22);
}

}  // namespace
