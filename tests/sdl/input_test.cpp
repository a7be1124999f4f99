// The SDL device's input translation, event by event: the mouse as the stylus on a
// letterboxed, scaled screen, the wheel, keys, typed text and the close requests.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/sdl_input.h"

namespace {

using plat::device::Event;
using plat::device::EventKind;
using sdl::input::Stylus;
using sdl::input::Viewport;

// The screen at scale 2 with a letterbox of 10 pixels left and 20 above.
constexpr Viewport Letterboxed{10, 20, 2, 1.0f, 1.0f};

SDL_Event Button(Uint32 type, int32_t x, int32_t y, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Motion(int32_t x, int32_t y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

SDL_Event Wheel(float notches, int32_t x, int32_t y, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.preciseY = notches;
    e.wheel.y = static_cast<Sint32>(notches);
    e.wheel.direction = direction;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
}

SDL_Event Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    return e;
}

SDL_Event Simple(Uint32 type, Uint8 windowEvent = 0) {
    SDL_Event e{};
    e.type = type;
    e.window.event = windowEvent;
    return e;
}

std::vector<Event> Translate(const SDL_Event& event, Stylus& stylus, const Viewport& viewport = Letterboxed) {
    Event out[sdl::input::MaxEventsPerSdlEvent];
    const int32_t n = sdl::input::Translate(event, viewport, stylus, out);
    return std::vector<Event>(out, out + n);
}

struct Expected {
    EventKind kind;
    int32_t x, y;
};

TEST(SdlInput, TheMouseIsTheStylusOnTheScaledScreen) {
    Stylus stylus;
    struct Case {
        const char* what;
        SDL_Event event;
        std::vector<Expected> expected;
    };
    // One stroke after the other: the stylus state carries from row to row.
    const Case cases[] = {
        {"a move without a press is not seen", Motion(100, 100), {}},
        {"a press on the letterbox misses the screen", Button(SDL_MOUSEBUTTONDOWN, 5, 100), {}},
        {"so its release is not seen either", Button(SDL_MOUSEBUTTONUP, 5, 100), {}},
        {"the right button is not the stylus", Button(SDL_MOUSEBUTTONDOWN, 100, 100, SDL_BUTTON_RIGHT), {}},
        {"a press maps to logical pixels", Button(SDL_MOUSEBUTTONDOWN, 10 + 2 * 7 + 1, 20 + 2 * 30), {{EventKind::PointerDown, 7, 30}}},
        {"a move inside the same logical pixel is not repeated", Motion(10 + 2 * 7, 20 + 2 * 30 + 1), {}},
        {"a drag moves", Motion(10 + 2 * 50, 20 + 2 * 60), {{EventKind::PointerMove, 50, 60}}},
        {"a drag past the screen stays at its edge", Motion(2000, -40), {{EventKind::PointerMove, 239, 0}}},
        {"the release outside ends the stroke at the edge", Button(SDL_MOUSEBUTTONUP, 2000, 2000), {{EventKind::PointerUp, 239, 319}}},
        {"the last pixel of the screen", Button(SDL_MOUSEBUTTONDOWN, 10 + 2 * 240 - 1, 20 + 2 * 320 - 1), {{EventKind::PointerDown, 239, 319}}},
        {"losing the window ends a stroke", Simple(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST), {{EventKind::PointerUp, 239, 319}}},
        {"and its late release is not seen", Button(SDL_MOUSEBUTTONUP, 100, 100), {}},
        {"losing the window without a stroke", Simple(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Event> got = Translate(c.event, stylus);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].kind, c.expected[i].kind);
            EXPECT_EQ(got[i].x, c.expected[i].x);
            EXPECT_EQ(got[i].y, c.expected[i].y);
        }
    }
}

TEST(SdlInput, WindowUnitsOfADenseDisplayAreScaledToOutputPixels) {
    // A window of 240 x 320 units drawn on 480 x 640 pixels, the screen filling it at scale 2.
    const Viewport dense{0, 0, 2, 2.0f, 2.0f};
    Stylus stylus;
    const std::vector<Event> got = Translate(Button(SDL_MOUSEBUTTONDOWN, 100, 50), stylus, dense);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].x, 100);
    EXPECT_EQ(got[0].y, 50);
}

TEST(SdlInput, TheWheelScrollsWhereThePointerIs) {
    struct Case {
        const char* what;
        SDL_Event event;
        int32_t delta;  // 0: no event
    };
    const Case cases[] = {
        {"a notch away from the user", Wheel(1.0f, 10 + 2 * 100, 20 + 2 * 200), 120},
        {"a notch towards the user", Wheel(-1.0f, 10 + 2 * 100, 20 + 2 * 200), -120},
        {"a flipped wheel turns the other way", Wheel(1.0f, 10 + 2 * 100, 20 + 2 * 200, SDL_MOUSEWHEEL_FLIPPED), -120},
        {"a touchpad's part of a notch", Wheel(0.25f, 10 + 2 * 100, 20 + 2 * 200), 30},
        {"a horizontal swipe does not scroll", Wheel(0.0f, 10 + 2 * 100, 20 + 2 * 200), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stylus stylus;
        const std::vector<Event> got = Translate(c.event, stylus);
        if (c.delta == 0) {
            EXPECT_TRUE(got.empty());
            continue;
        }
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].kind, EventKind::Wheel);
        EXPECT_EQ(got[0].wheelDelta, c.delta);
        EXPECT_EQ(got[0].x, 100);
        EXPECT_EQ(got[0].y, 200);
    }
}

TEST(SdlInput, KeysBecomeVirtualKeysAndCtrlQAsksToClose) {
    struct Case {
        const char* what;
        SDL_Event event;
        EventKind kind;
        uint32_t key;
        bool none;
    };
    const Case cases[] = {
        {"Page Down", Key(SDL_KEYDOWN, SDLK_PAGEDOWN), EventKind::KeyDown, plat::KeyPageDown, false},
        {"held Page Down repeats", Key(SDL_KEYDOWN, SDLK_PAGEDOWN, KMOD_NONE, 1), EventKind::KeyDown, plat::KeyPageDown, false},
        {"Page Up", Key(SDL_KEYDOWN, SDLK_PAGEUP), EventKind::KeyDown, plat::KeyPageUp, false},
        {"Home", Key(SDL_KEYDOWN, SDLK_HOME), EventKind::KeyDown, plat::KeyHome, false},
        {"End released", Key(SDL_KEYUP, SDLK_END), EventKind::KeyUp, plat::KeyEnd, false},
        {"Up", Key(SDL_KEYDOWN, SDLK_UP), EventKind::KeyDown, plat::KeyUp, false},
        {"Down", Key(SDL_KEYDOWN, SDLK_DOWN), EventKind::KeyDown, plat::KeyDown, false},
        {"Tab", Key(SDL_KEYDOWN, SDLK_TAB), EventKind::KeyDown, plat::KeyTab, false},
        {"Return", Key(SDL_KEYDOWN, SDLK_RETURN), EventKind::KeyDown, plat::KeyReturn, false},
        {"the keypad's Enter is Return", Key(SDL_KEYDOWN, SDLK_KP_ENTER), EventKind::KeyDown, plat::KeyReturn, false},
        {"Backspace", Key(SDL_KEYDOWN, SDLK_BACKSPACE), EventKind::KeyDown, plat::KeyBack, false},
        {"Delete", Key(SDL_KEYDOWN, SDLK_DELETE), EventKind::KeyDown, plat::KeyDelete, false},
        {"a letter arrives as text, not as a key", Key(SDL_KEYDOWN, SDLK_a), EventKind::KeyDown, 0, true},
        {"Ctrl+Q", Key(SDL_KEYDOWN, SDLK_q, KMOD_LCTRL), EventKind::CloseRequest, 0, false},
        {"right Ctrl+Q", Key(SDL_KEYDOWN, SDLK_q, KMOD_RCTRL), EventKind::CloseRequest, 0, false},
        {"a held Ctrl+Q asks once", Key(SDL_KEYDOWN, SDLK_q, KMOD_LCTRL, 1), EventKind::KeyDown, 0, true},
        {"the window's close button", Simple(SDL_QUIT), EventKind::CloseRequest, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stylus stylus;
        const std::vector<Event> got = Translate(c.event, stylus);
        if (c.none) {
            EXPECT_TRUE(got.empty());
            continue;
        }
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].kind, c.kind);
        EXPECT_EQ(got[0].key, c.key);
    }
}

TEST(SdlInput, TypedTextArrivesInSixteenBitCharacters) {
    struct Case {
        const char* what;
        const char* utf8;
        std::vector<std::u16string> expected;  // one text a device event
    };
    const Case cases[] = {
        {"a letter", "h", {u"h"}},
        {"accented letters and the euro", "\xC3\xA9\xE2\x82\xAC", {u"\u00E9\u20AC"}},
        {"a long text in events of seven", "abcdefghij", {u"abcdefg", u"hij"}},
        {"a character beyond 16 bits is dropped", "a\xF0\x9F\x90\xB8z", {u"az"}},
        {"a broken sequence is dropped, what follows kept", "a\xC3z", {u"az"}},
        {"nothing typed", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stylus stylus;
        const std::vector<Event> got = Translate(Text(c.utf8), stylus);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].kind, EventKind::Text);
            EXPECT_EQ(std::u16string(got[i].text), c.expected[i]);
        }
    }
}

}  // namespace
