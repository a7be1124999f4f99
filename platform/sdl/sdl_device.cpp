// The SDL2 device: a resizable window that shows the framebuffer through a streaming
// texture, letterboxed at the largest integer scale that fits, with text rasterised at
// that scale; SDL events turned into device events; a wait that sleeps in SDL until input,
// a wake-up or the next timer; the window icon, title and raising; sound in sdl_audio.cpp.
#include "platform/sdl/sdl_device.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/device.h"
#include "platform/draw_internal.h"
#include "platform/resources.h"
#include "platform/sdl/icon_pixels.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_input.h"
#include "platform/window_system.h"

namespace sdl {
namespace {

using plat::device::Event;
using plat::device::EventKind;

constexpr Uint8 Letterbox = 0x20;  // the grey around the screen
constexpr float DenseDpi = 144.0f;  // from here on a display counts as dense: scale 3
constexpr int32_t DecorationAllowance = 48;  // room left for the title bar when sizing
constexpr int32_t IconSide = 32;
constexpr int32_t IconResource = 420;
constexpr int32_t PendingCapacity = 16;
constexpr int32_t TitleCapacity = 200;

struct DeviceState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int32_t textureWidth = 0, textureHeight = 0;
    bool shown = false;
    input::Viewport viewport;
    input::Stylus stylus;
    Event pending[PendingCapacity] = {};
    int32_t pendingHead = 0, pendingCount = 0;
};

DeviceState Sdl;
char ErrorText[256] = {};
// Read by wake() on other threads.
std::atomic<Uint32> WakeEventType{0};

void SetError(const char* what) {
    std::snprintf(ErrorText, sizeof ErrorText, "%s: %s", what, SDL_GetError());
}

// ---------------------------------------------------------------------------------------
// Scale and letterbox
// ---------------------------------------------------------------------------------------

// Returns the framebuffer scale (1..3) that shows best at a window scale: the one whose
// whole multiple comes closest to it, the finer one when two come as close.
int32_t FramebufferScaleFor(int32_t fit) {
    if (fit <= plat::draw::MaxScale) return std::max(fit, 1);
    return (fit / 2) * 2 > (fit / 3) * 3 ? 2 : 3;
}

// Measures the window and places the screen in it; returns the framebuffer scale it wants.
int32_t UpdateViewport() {
    int outW = 0, outH = 0, winW = 0, winH = 0;
    SDL_GetRendererOutputSize(Sdl.renderer, &outW, &outH);
    SDL_GetWindowSize(Sdl.window, &winW, &winH);
    const int32_t fit = std::clamp(std::min(outW / plat::ScreenWidth, outH / plat::ScreenHeight), 1, MaxShownScale);
    const int32_t framebuffer = FramebufferScaleFor(fit);
    input::Viewport& v = Sdl.viewport;
    v.scale = fit / framebuffer * framebuffer;
    // Centred; a window smaller than the screen (no window manager kept it from that)
    // shows the screen's top-left part.
    v.left = std::max((outW - plat::ScreenWidth * v.scale) / 2, 0);
    v.top = std::max((outH - plat::ScreenHeight * v.scale) / 2, 0);
    v.outputPerUnitX = winW > 0 ? static_cast<float>(outW) / static_cast<float>(winW) : 1.0f;
    v.outputPerUnitY = winH > 0 ? static_cast<float>(outH) / static_cast<float>(winH) : 1.0f;
    return framebuffer;
}

// Draws the last frame into the window again, where the viewport puts it.
void ShowFrame() {
    if (!Sdl.shown) {
        SDL_ShowWindow(Sdl.window);
        Sdl.shown = true;
    }
    SDL_SetRenderDrawColor(Sdl.renderer, Letterbox, Letterbox, Letterbox, 0xFF);
    SDL_RenderClear(Sdl.renderer);
    if (Sdl.texture != nullptr) {
        const input::Viewport& v = Sdl.viewport;
        const SDL_Rect to{v.left, v.top, plat::ScreenWidth * v.scale, plat::ScreenHeight * v.scale};
        SDL_RenderCopy(Sdl.renderer, Sdl.texture, nullptr, &to);
    }
    SDL_RenderPresent(Sdl.renderer);
}

// Fits the screen to a new window size. Another framebuffer scale has the text rasterised
// again at it, as the window system repaints every window.
void Resized() {
    const int32_t framebuffer = UpdateViewport();
    if (framebuffer == plat::draw::Scale()) {
        ShowFrame();
        return;
    }
    plat::draw::InitFramebuffer(framebuffer);
    plat::ws::ExposeScreenArea(plat::Rect{0, 0, plat::ScreenWidth, plat::ScreenHeight});
}

int32_t DefaultScale() {
    float dpi = 0;
    int32_t scale = SDL_GetDisplayDPI(0, nullptr, nullptr, &dpi) == 0 && dpi >= DenseDpi ? 3 : 2;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        while (scale > 1 && (plat::ScreenWidth * scale > usable.w ||
                             plat::ScreenHeight * scale + DecorationAllowance > usable.h))
            --scale;
    }
    return scale;
}

// ---------------------------------------------------------------------------------------
// Title and icon
// ---------------------------------------------------------------------------------------

void SetTitle(const char* title) {
    char16_t wide[TitleCapacity];
    plat::Widen(title != nullptr ? title : "", wide, TitleCapacity);
    char utf8[TitleCapacity * 3];
    size_t n = 0;
    for (const char16_t* c = wide; *c != 0 && n + 3 < sizeof utf8; ++c) {
        const uint32_t u = *c;
        if (u < 0x80) {
            utf8[n++] = static_cast<char>(u);
        } else if (u < 0x800) {
            utf8[n++] = static_cast<char>(0xC0 | u >> 6);
            utf8[n++] = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8[n++] = static_cast<char>(0xE0 | u >> 12);
            utf8[n++] = static_cast<char>(0x80 | (u >> 6 & 0x3F));
            utf8[n++] = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    utf8[n] = 0;
    SDL_SetWindowTitle(Sdl.window, utf8);
}

// Gives the window icon 420; a program without it keeps the desktop's default icon.
void SetIcon() {
    const plat::ResourceEntry* icon = plat::FindResource(plat::ResourceType::Icon, IconResource);
    static uint32_t pixels[IconSide * IconSide];
    if (icon == nullptr || !plat::icon::DecodeIcon(icon->data, icon->size, IconSide, pixels)) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels, IconSide, IconSide, 32, IconSide * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(Sdl.window, surface);
    SDL_FreeSurface(surface);
}

// ---------------------------------------------------------------------------------------
// The device's operations
// ---------------------------------------------------------------------------------------

void Present(const uint32_t* pixels, int32_t width, int32_t height) {
    if (Sdl.texture == nullptr || width != Sdl.textureWidth || height != Sdl.textureHeight) {
        if (Sdl.texture != nullptr) SDL_DestroyTexture(Sdl.texture);
        Sdl.texture = SDL_CreateTexture(Sdl.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (Sdl.texture == nullptr) return;
        SDL_SetTextureScaleMode(Sdl.texture, SDL_ScaleModeNearest);  // pixels stay sharp
        Sdl.textureWidth = width;
        Sdl.textureHeight = height;
    }
    SDL_UpdateTexture(Sdl.texture, nullptr, pixels, width * static_cast<int>(sizeof(uint32_t)));
    ShowFrame();
}

bool TakePending(Event& out) {
    if (Sdl.pendingCount == 0) return false;
    out = Sdl.pending[Sdl.pendingHead];
    Sdl.pendingHead = (Sdl.pendingHead + 1) % PendingCapacity;
    --Sdl.pendingCount;
    return true;
}

void AddPending(const Event& event) {
    if (Sdl.pendingCount == PendingCapacity) return;  // cannot happen: one SDL event makes a few
    Sdl.pending[(Sdl.pendingHead + Sdl.pendingCount) % PendingCapacity] = event;
    ++Sdl.pendingCount;
}

// Handles what concerns the device itself (the window's size and exposure, wake-ups, the
// end of a clip) and queues what the window system hears about. Returns true when the
// window system should look at its queue again.
bool Handle(const SDL_Event& event) {
    if (event.type == WakeEventType.load()) return true;
    if (event.type == audio::ClipEndedEvent() && event.type != 0) {
        audio::RestIfDone();
        return false;
    }
    bool look = false;
    if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            Resized();
            look = true;  // a new scale has the whole screen to repaint
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            ShowFrame();
            break;
        default:
            break;
        }
    }
    Event made[input::MaxEventsPerSdlEvent];
    const int32_t count = input::Translate(event, Sdl.viewport, Sdl.stylus, made);
    for (int32_t i = 0; i < count; ++i) AddPending(made[i]);
    return look || count > 0;
}

bool WaitEvent(Event& out, uint32_t timeoutMs) {
    const Uint32 start = SDL_GetTicks();
    if (TakePending(out)) return true;
    for (;;) {
        SDL_Event event;
        int got = 0;
        if (timeoutMs == plat::device::WaitForever) {
            got = SDL_WaitEvent(&event);
        } else {
            const Uint32 waited = SDL_GetTicks() - start;
            const Uint32 left = waited >= timeoutMs ? 0 : timeoutMs - waited;
            got = left == 0 ? SDL_PollEvent(&event)
                            : SDL_WaitEventTimeout(&event, static_cast<int>(std::min<Uint32>(left, INT_MAX)));
        }
        if (got == 0) return false;
        if (!Handle(event)) continue;  // nothing for the window system: wait on
        if (TakePending(out)) return true;
        out = Event{};
        out.kind = EventKind::WakeUp;
        return true;
    }
}

uint32_t TickCount() { return SDL_GetTicks(); }

bool PlayWave(const char*, const uint8_t* bytes, uint32_t size) { return audio::Play(bytes, size); }

void StopSound() { audio::Stop(); }

const char* DataFolder() { return plat::device::UserDataFolder(); }

// Leaves every box to the window system, which draws it and runs it until it is answered.
int32_t AnswerMessageBox(plat::WindowId, const char16_t*, const char16_t*, uint32_t) {
    return plat::device::AskTheUser;
}

void Wake() {
    const Uint32 type = WakeEventType.load();
    if (type == 0) return;
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
}

void Raise() {
    if (Sdl.window == nullptr) return;
    SDL_ShowWindow(Sdl.window);
    Sdl.shown = true;
    if ((SDL_GetWindowFlags(Sdl.window) & SDL_WINDOW_MINIMIZED) != 0) SDL_RestoreWindow(Sdl.window);
    SDL_RaiseWindow(Sdl.window);
}

constexpr plat::device::Device SdlDevice = {
    "sdl",     Present,    WaitEvent,        TickCount, PlayWave,
    StopSound, DataFolder, AnswerMessageBox, Wake,      Raise,
};

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != 0;
}

// Names the video drivers of the displays the environment names, X11 first (as SDL tries them).
const char* DesktopDrivers() {
    const bool x11 = IsSet("DISPLAY"), wayland = IsSet("WAYLAND_DISPLAY");
    return x11 && wayland ? "x11,wayland" : wayland ? "wayland" : "x11";
}

}  // namespace

bool DisplayAvailable() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("SDL_VIDEODRIVER"); }

bool Start(const Options& options) {
    // The platform layer turns the end signals into a close request of its own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A tap on the window when it is not in front is still a tap.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A small window on a desktop should not switch the compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // A frame changes only when the reader draws, and copying it is cheap: SDL's own
    // renderer straight onto the window costs far less memory and start-up time than a
    // GPU driver. SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION still override it.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Only the desktop's own display: without a reachable one SDL would fall back to an
    // off-screen driver and the reader would run where nobody sees it.
    if (!IsSet("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, DesktopDrivers());
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        SetError("SDL cannot open the display");
        return false;
    }
    const int32_t scale = options.scale > 0 ? std::min(options.scale, MaxShownScale) : DefaultScale();
    Sdl.window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, plat::ScreenWidth * scale,
                                  plat::ScreenHeight * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (Sdl.window == nullptr) {
        SetError("SDL cannot make a window");
        SDL_Quit();
        return false;
    }
    Sdl.renderer = SDL_CreateRenderer(Sdl.window, -1, 0);
    if (Sdl.renderer == nullptr) Sdl.renderer = SDL_CreateRenderer(Sdl.window, -1, SDL_RENDERER_SOFTWARE);
    const Uint32 wakeType = SDL_RegisterEvents(1);
    if (Sdl.renderer == nullptr || wakeType == static_cast<Uint32>(-1)) {
        SetError("SDL cannot draw in the window");
        Stop();
        return false;
    }
    WakeEventType.store(wakeType);
    SDL_SetWindowMinimumSize(Sdl.window, plat::ScreenWidth, plat::ScreenHeight);
    SetTitle(options.title);
    SetIcon();
    plat::draw::InitFramebuffer(UpdateViewport());
    SDL_StartTextInput();
    plat::device::Install(&SdlDevice);
    return true;
}

void Stop() {
    if (&plat::device::Current() == &SdlDevice) plat::device::Install(nullptr);
    WakeEventType.store(0);
    audio::Close();
    if (Sdl.texture != nullptr) SDL_DestroyTexture(Sdl.texture);
    if (Sdl.renderer != nullptr) SDL_DestroyRenderer(Sdl.renderer);
    if (Sdl.window != nullptr) SDL_DestroyWindow(Sdl.window);
    Sdl = DeviceState{};
    SDL_Quit();
}

const char* Error() { return ErrorText; }

plat::Rect ScreenInWindow() {
    const input::Viewport& v = Sdl.viewport;
    const auto toWindowX = [&](int32_t x) { return static_cast<int32_t>(static_cast<float>(x) / v.outputPerUnitX); };
    const auto toWindowY = [&](int32_t y) { return static_cast<int32_t>(static_cast<float>(y) / v.outputPerUnitY); };
    return plat::Rect{toWindowX(v.left), toWindowY(v.top), toWindowX(v.left + plat::ScreenWidth * v.scale),
                      toWindowY(v.top + plat::ScreenHeight * v.scale)};
}

int32_t ShownScale() { return Sdl.viewport.scale; }

}  // namespace sdl
