// Input translation for the SDL device: mouse to stylus, wheel, keys, text, close requests.
#include "platform/sdl/sdl_input.h"

#include <algorithm>
#include <cmath>

namespace sdl::input {
namespace {

using plat::device::Event;
using plat::device::EventKind;

struct KeyPair {
    SDL_Keycode sdl;
    uint32_t key;
};

// The keys the reader listens to: the scroll keys of the page, Tab and Enter in edit
// boxes, the editing keys of the edit boxes and the on-screen keyboard.
constexpr KeyPair Keys[] = {
    {SDLK_BACKSPACE, plat::KeyBack}, {SDLK_TAB, plat::KeyTab},           {SDLK_RETURN, plat::KeyReturn},
    {SDLK_KP_ENTER, plat::KeyReturn}, {SDLK_LSHIFT, plat::KeyShift},     {SDLK_RSHIFT, plat::KeyShift},
    {SDLK_ESCAPE, plat::KeyEscape},  {SDLK_SPACE, plat::KeySpace},       {SDLK_PAGEUP, plat::KeyPageUp},
    {SDLK_PAGEDOWN, plat::KeyPageDown}, {SDLK_END, plat::KeyEnd},        {SDLK_HOME, plat::KeyHome},
    {SDLK_LEFT, plat::KeyLeft},      {SDLK_UP, plat::KeyUp},             {SDLK_RIGHT, plat::KeyRight},
    {SDLK_DOWN, plat::KeyDown},      {SDLK_DELETE, plat::KeyDelete},
};

uint32_t VirtualKeyOf(SDL_Keycode sdl) {
    for (const KeyPair& k : Keys) {
        if (k.sdl == sdl) return k.key;
    }
    return 0;
}

Event Make(EventKind kind, int32_t x = 0, int32_t y = 0) {
    Event e{};
    e.kind = kind;
    e.x = x;
    e.y = y;
    return e;
}

// Splits UTF-8 text into Text events of up to seven 16-bit characters; characters beyond
// 16 bits and broken sequences are dropped.
int32_t TextEvents(const char* text, Event* out) {
    int32_t count = 0, length = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0 && count < MaxEventsPerSdlEvent;) {
        uint32_t code = *p;
        int32_t extra = code < 0x80 ? 0 : code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : -1;
        if (extra > 0) code &= 0x3Fu >> extra;
        ++p;
        for (int32_t k = 0; k < extra; ++k, ++p) {
            if ((*p & 0xC0) != 0x80) {
                extra = -1;
                break;
            }
            code = code << 6 | (*p & 0x3Fu);
        }
        if (extra < 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) continue;
        if (length == 0) out[count] = Make(EventKind::Text);
        out[count].text[length++] = static_cast<char16_t>(code);
        if (length == plat::device::EventTextCapacity - 1) {
            ++count;
            length = 0;
        }
    }
    return length > 0 ? count + 1 : count;
}

}  // namespace

bool ToLogical(const Viewport& viewport, int32_t windowX, int32_t windowY, int32_t& x, int32_t& y) {
    const auto outX = static_cast<int32_t>(std::floor(static_cast<float>(windowX) * viewport.outputPerUnitX));
    const auto outY = static_cast<int32_t>(std::floor(static_cast<float>(windowY) * viewport.outputPerUnitY));
    const int32_t scale = std::max(viewport.scale, 1);
    // Floor division, so the letterbox left of and above the screen maps below 0.
    const int32_t lx = outX - viewport.left >= 0 ? (outX - viewport.left) / scale : -1;
    const int32_t ly = outY - viewport.top >= 0 ? (outY - viewport.top) / scale : -1;
    x = std::clamp(lx, 0, plat::ScreenWidth - 1);
    y = std::clamp(ly, 0, plat::ScreenHeight - 1);
    return lx == x && ly == y;
}

int32_t Translate(const SDL_Event& event, const Viewport& viewport, Stylus& stylus, Event* out) {
    int32_t x = 0, y = 0;
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        // A press on the letterbox misses the screen, as a stylus beside it would.
        if (event.button.button != SDL_BUTTON_LEFT || stylus.down ||
            !ToLogical(viewport, event.button.x, event.button.y, x, y))
            return 0;
        stylus = Stylus{true, x, y};
        out[0] = Make(EventKind::PointerDown, x, y);
        return 1;
    case SDL_MOUSEMOTION:
        // A stylus is only seen while it touches; a drag that leaves the screen stays at its edge.
        if (!stylus.down) return 0;
        ToLogical(viewport, event.motion.x, event.motion.y, x, y);
        if (x == stylus.x && y == stylus.y) return 0;
        stylus.x = x;
        stylus.y = y;
        out[0] = Make(EventKind::PointerMove, x, y);
        return 1;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT || !stylus.down) return 0;
        ToLogical(viewport, event.button.x, event.button.y, x, y);
        stylus = Stylus{false, x, y};
        out[0] = Make(EventKind::PointerUp, x, y);
        return 1;
    case SDL_MOUSEWHEEL: {
        float notches = event.wheel.preciseY;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        const auto delta = static_cast<int32_t>(std::lround(notches * 120.0f));
        if (delta == 0) return 0;
        ToLogical(viewport, event.wheel.mouseX, event.wheel.mouseY, x, y);
        out[0] = Make(EventKind::Wheel, x, y);
        out[0].wheelDelta = std::clamp(delta, -32768, 32767);
        return 1;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const SDL_Keysym& k = event.key.keysym;
        if (k.sym == SDLK_q && (k.mod & KMOD_CTRL) != 0) {
            if (event.type != SDL_KEYDOWN || event.key.repeat != 0) return 0;
            out[0] = Make(EventKind::CloseRequest);
            return 1;
        }
        const uint32_t key = VirtualKeyOf(k.sym);
        if (key == 0) return 0;
        out[0] = Make(event.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp);
        out[0].key = key;
        return 1;
    }
    case SDL_TEXTINPUT:
        return TextEvents(event.text.text, out);
    case SDL_QUIT:
        out[0] = Make(EventKind::CloseRequest);
        return 1;
    case SDL_WINDOWEVENT:
        // A release that happens after the window lost the mouse never comes: end the stroke.
        if (event.window.event != SDL_WINDOWEVENT_FOCUS_LOST || !stylus.down) return 0;
        stylus.down = false;
        out[0] = Make(EventKind::PointerUp, stylus.x, stylus.y);
        return 1;
    default:
        return 0;
    }
}

}  // namespace sdl::input
