// The on-screen keyboard inside the soft input panel: five rows of keys (digits, letters,
// punctuation, space, Backspace, Enter and a one-shot Shift) drawn black on white, and the
// keys it types. It types as a hardware keyboard does, through the input routing: characters
// as text input, Backspace and Enter as key presses, so they reach the focused window (an
// edit box, whose page hook confirms on Enter). input_panel.cpp shows and hides it.
#include "platform/draw_internal.h"
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

// ---- Pictures -------------------------------------------------------------------------------

// A 1-bit picture made from rows of '#' (ink) and '.' at compile time, for DrawMonoImage.
template <int W, int H>
struct Glyph {
    static constexpr int Width = W, Height = H, Stride = (W + 7) / 8;
    uint8_t rows[H * Stride];
};

template <int W, int H>
constexpr Glyph<W, H> MakeGlyph(const char* const (&art)[H]) {
    Glyph<W, H> g{};
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W && art[y][x] != 0; ++x) {
            if (art[y][x] == '#') g.rows[y * Glyph<W, H>::Stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return g;
}

constexpr const char* BackArt[] = {
    "...#.......",
    "..##.......",
    ".##########",
    "###########",
    ".##########",
    "..##.......",
    "...#.......",
};
constexpr auto BackGlyph = MakeGlyph<11, 7>(BackArt);

constexpr const char* EnterArt[] = {
    "..........##",
    "..........##",
    "...#......##",
    "..##......##",
    ".############",
    "#############",
    ".###########.",
    "..##.........",
    "...#.........",
};
constexpr auto EnterGlyph = MakeGlyph<13, 9>(EnterArt);

constexpr const char* ShiftArt[] = {
    "....#....",
    "...###...",
    "..##.##..",
    ".##...##.",
    "###...###",
    "..#...#..",
    "..#...#..",
    "..#####..",
};
constexpr auto ShiftGlyph = MakeGlyph<9, 8>(ShiftArt);

constexpr const char* KeyboardArt[] = {
    ".##############.",
    "#..............#",
    "#.##.##.##.##..#",
    "#..............#",
    "#..##.##.##.##.#",
    "#..............#",
    "#.##.######.##.#",
    "#..............#",
    ".##############.",
};
constexpr auto KeyboardGlyph = MakeGlyph<16, 9>(KeyboardArt);

template <class G>
void DrawCentred(SurfaceId surface, const G& glyph, const Rect& r, uint32_t rgb) {
    draw::DrawMonoImage(surface, glyph.rows, G::Width, G::Height, r.left + (Width(r) - G::Width) / 2,
                        r.top + (Height(r) - G::Height) / 2, rgb);
}

// ---- The keys -------------------------------------------------------------------------------

enum class Role : uint8_t { Character, Back, Enter, Shift, Space };

struct Key {
    int8_t row, column, span;  // in KeyWidth x RowHeight cells
    Role role;
    char16_t plain, shifted;
};

constexpr int32_t Columns = 12;
constexpr int32_t Rows = 5;
constexpr int32_t KeyWidth = ScreenWidth / Columns;  // 20
constexpr int32_t RowHeight = 16;
constexpr uint32_t Ink = 0x000000;
constexpr uint32_t Face = 0xFFFFFF;
constexpr uint32_t Seam = 0xA0A0A0;  // the lines between keys

constexpr Key K(int row, int column, char16_t plain, char16_t shifted) {
    return Key{static_cast<int8_t>(row), static_cast<int8_t>(column), 1, Role::Character, plain, shifted};
}
constexpr Key Wide(int row, int column, int span, Role role) {
    return Key{static_cast<int8_t>(row), static_cast<int8_t>(column), static_cast<int8_t>(span), role, 0, 0};
}

constexpr Key Keys[] = {
    K(0, 0, u'1', u'!'), K(0, 1, u'2', u'@'), K(0, 2, u'3', u'#'), K(0, 3, u'4', u'$'), K(0, 4, u'5', u'%'),
    K(0, 5, u'6', u'^'), K(0, 6, u'7', u'&'), K(0, 7, u'8', u'*'), K(0, 8, u'9', u'('), K(0, 9, u'0', u')'),
    K(0, 10, u'-', u'_'), Wide(0, 11, 1, Role::Back),
    K(1, 0, u'q', u'Q'), K(1, 1, u'w', u'W'), K(1, 2, u'e', u'E'), K(1, 3, u'r', u'R'), K(1, 4, u't', u'T'),
    K(1, 5, u'y', u'Y'), K(1, 6, u'u', u'U'), K(1, 7, u'i', u'I'), K(1, 8, u'o', u'O'), K(1, 9, u'p', u'P'),
    K(1, 10, u'\'', u'"'), K(1, 11, u';', u':'),
    K(2, 0, u'a', u'A'), K(2, 1, u's', u'S'), K(2, 2, u'd', u'D'), K(2, 3, u'f', u'F'), K(2, 4, u'g', u'G'),
    K(2, 5, u'h', u'H'), K(2, 6, u'j', u'J'), K(2, 7, u'k', u'K'), K(2, 8, u'l', u'L'), Wide(2, 9, 3, Role::Enter),
    Wide(3, 0, 2, Role::Shift), K(3, 2, u'z', u'Z'), K(3, 3, u'x', u'X'), K(3, 4, u'c', u'C'), K(3, 5, u'v', u'V'),
    K(3, 6, u'b', u'B'), K(3, 7, u'n', u'N'), K(3, 8, u'm', u'M'), K(3, 9, u',', u'<'), K(3, 10, u'.', u'>'),
    K(3, 11, u'/', u'?'),
    K(4, 0, u'=', u'+'), K(4, 1, u'[', u'{'), K(4, 2, u']', u'}'), Wide(4, 3, 7, Role::Space),
    K(4, 10, u'\\', u'|'), K(4, 11, u'`', u'~'),
};
constexpr int32_t KeyCount = static_cast<int32_t>(sizeof Keys / sizeof Keys[0]);

constexpr bool FillsTheGrid() {
    int covered[Rows][Columns] = {};
    for (const Key& k : Keys) {
        for (int c = k.column; c < k.column + k.span; ++c) {
            if (k.row < 0 || k.row >= Rows || c < 0 || c >= Columns) return false;
            ++covered[k.row][c];
        }
    }
    for (const auto& row : covered) {
        for (int n : row) {
            if (n != 1) return false;
        }
    }
    return true;
}
static_assert(FillsTheGrid(), "every cell of the grid belongs to exactly one key");

struct KeyboardState {
    int32_t held;     // the key under a press, or -1
    bool heldInside;  // the pointer is still over it
    bool shift;       // the next character is shifted
};
KeyboardState State{-1, false, false};

Rect KeyRect(const Key& k) {
    return Rect{k.column * KeyWidth, k.row * RowHeight, (k.column + k.span) * KeyWidth, (k.row + 1) * RowHeight};
}

int32_t KeyAt(int32_t x, int32_t y) {
    for (int32_t i = 0; i < KeyCount; ++i) {
        if (Contains(KeyRect(Keys[i]), x, y)) return i;
    }
    return -1;
}

// Delivers one device event as if a hardware keyboard had made it.
void Deliver(device::EventKind kind, uint32_t key, char16_t text) {
    device::Event event{};
    event.kind = kind;
    event.key = key;
    event.text[0] = text;
    RouteEvent(event);
}

void PressVirtualKey(uint32_t key) {
    Deliver(device::EventKind::KeyDown, key, 0);
    Deliver(device::EventKind::KeyUp, key, 0);
}

void Type(const Key& k) {
    switch (k.role) {
    case Role::Character:
        Deliver(device::EventKind::Text, 0, State.shift ? k.shifted : k.plain);
        State.shift = false;  // one character a tap of Shift
        break;
    case Role::Space:
        Deliver(device::EventKind::Text, 0, u' ');
        break;
    case Role::Back:
        PressVirtualKey(KeyBack);
        break;
    case Role::Enter:
        PressVirtualKey(KeyReturn);
        break;
    case Role::Shift:
        State.shift = !State.shift;
        break;
    }
}

void PaintKeyboard(WindowId window) {
    const SurfaceId surface = BeginPaint(window);
    FillRect(surface, GetClientRect(window), Face);
    for (int32_t i = 0; i < KeyCount; ++i) {
        const Key& k = Keys[i];
        const Rect r = KeyRect(k);
        const bool down = (State.held == i && State.heldInside) || (k.role == Role::Shift && State.shift);
        const uint32_t ink = down ? Face : Ink;
        if (down) FillRect(surface, r, Ink);
        switch (k.role) {
        case Role::Character: {
            const char16_t label[2] = {State.shift ? k.shifted : k.plain, 0};
            const uint32_t previous = SetTextColor(surface, ink);
            DrawText(surface, label, 1, r, TextCenter | TextVCenter | TextSingleLine | TextNoPrefix);
            SetTextColor(surface, previous);
            break;
        }
        case Role::Back: DrawCentred(surface, BackGlyph, r, ink); break;
        case Role::Enter: DrawCentred(surface, EnterGlyph, r, ink); break;
        case Role::Shift: DrawCentred(surface, ShiftGlyph, r, ink); break;
        case Role::Space: break;
        }
        // Seams along the right and bottom of every key; the panel's own edge is the top line.
        FillRect(surface, Rect{r.right - 1, r.top, r.right, r.bottom}, Seam);
        FillRect(surface, Rect{r.left, r.bottom - 1, r.right, r.bottom}, Seam);
    }
    FillRect(surface, Rect{0, 0, ScreenWidth, 1}, Ink);
    EndPaint(window, surface);
}

void Hold(WindowId window, int32_t key, bool inside) {
    if (State.held == key && State.heldInside == inside) return;
    State.held = key;
    State.heldInside = inside;
    InvalidateWindow(window, true);
}

}  // namespace

intptr_t KeyboardProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case MsgLButtonDown:
        Hold(window, KeyAt(PointX(lParam), PointY(lParam)), true);
        return 0;
    case MsgMouseMove:
        if (State.held >= 0) Hold(window, State.held, KeyAt(PointX(lParam), PointY(lParam)) == State.held);
        return 0;
    case MsgLButtonUp: {
        // A key types on its release over it, so a slip onto the next key types nothing.
        const int32_t key = State.held;
        const bool typed = key >= 0 && KeyAt(PointX(lParam), PointY(lParam)) == key;
        Hold(window, -1, false);
        if (typed) {
            Type(Keys[key]);
            if (Keys[key].role == Role::Character || Keys[key].role == Role::Shift) InvalidateWindow(window, true);
        }
        return 0;
    }
    case MsgPaint:
        PaintKeyboard(window);
        return 0;
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
}

void ResetKeyboard() { State = KeyboardState{-1, false, false}; }

void DrawKeyboardIcon(SurfaceId surface, const Rect& button, uint32_t rgb) {
    DrawCentred(surface, KeyboardGlyph, button, rgb);
}

}  // namespace ws
}  // namespace plat
