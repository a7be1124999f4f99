// The command bar along the bottom of the pocket screen and its pop-up menu. CreateMenuBar
// builds both from a menu-bar resource (its menu, its buttons with their image cells and
// captions); taps on buttons and menu items reach the owner window as MsgCommand, and
// MsgSetButtonState shows and hides buttons. The button at the right end raises and lowers
// the soft input panel (input_panel.cpp). One bar exists at a time.
#include "platform/draw_internal.h"
#include "platform/resource_formats.h"
#include "platform/resources.h"
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

// ---- Capacities and geometry ----------------------------------------------------------------

constexpr int32_t MaxButtons = MenuBarButtonCapacity;
constexpr int32_t MaxItems = MenuItemCapacity;
constexpr int32_t MaxLabel = 64;           // characters of a caption or an item, terminator included
constexpr int32_t CellSize = 16;           // the images are square cells of the bitmap
constexpr int32_t ImageButtonWidth = 22;
constexpr int32_t TextButtonPadding = 6;   // each side of a caption
constexpr int32_t PanelButtonWidth = 22;   // the input panel's button at the right end
constexpr int32_t ItemHeight = 18;         // a menu item, unless the menu must squeeze to fit
constexpr int32_t ItemPadding = 10;        // left and right of an item's text
constexpr int32_t MenuMargin = 1;          // above the first item and below the last
constexpr uint32_t Ink = 0x000000;
constexpr uint32_t Face = 0xFFFFFF;
constexpr uint32_t Greyed = 0x808080;
constexpr uint32_t ErrorResourceNotFound = 1814;

constexpr Rect BarClient{0, 0, ScreenWidth, CommandBarHeight};
constexpr Rect PanelButton{ScreenWidth - PanelButtonWidth, 1, ScreenWidth, CommandBarHeight};

struct Button {
    uint32_t command;
    int32_t cell;      // image cell, or -1 for a caption
    bool dropDown;     // opens the menu
    intptr_t state;    // ButtonEnabled and ButtonHidden bits
    char16_t caption[MaxLabel];
};

struct MenuEntry {
    uint32_t command;
    char16_t text[MaxLabel];  // as shown, without the access-key marks
    int32_t accessKey;        // index in text of the underlined character, or -1
};

struct CommandBar {
    WindowId window;
    WindowId owner;
    WindowId menu;
    int32_t bitmapId;
    int32_t buttonCount;
    Button buttons[MaxButtons];
    int32_t itemCount;
    MenuEntry items[MaxItems];

    int32_t held;          // the button under a press, -1 for none, PanelButtonIndex for the panel's
    bool heldInside;       // the pointer is still over it
    bool menuOpen;
    bool menuFromButton;   // the press that opened the menu is still down on the bar
    bool menuPress;        // a press that began inside the open menu is down
    int32_t hotItem;       // highlighted item, -1 for none
    WindowId focusBefore;  // given back when the menu closes
};

constexpr int32_t PanelButtonIndex = MaxButtons;

CommandBar Bar;

// ---- Reading the resources ------------------------------------------------------------------

// Widens a resource text into out, cut to MaxLabel - 1 characters.
void WidenView(const TextView& view, char16_t* out) {
    const int32_t count = std::min(view.length, MaxLabel - 1);
    WidenCount(view.text, count, out);
    out[count] = 0;
}

bool LoadCaption(int32_t stringId, char16_t* out) {
    const ResourceEntry* entry = FindResource(ResourceType::String, stringId);
    TextView text;
    if (entry == nullptr || ReadString(entry->data, entry->size, text)) return false;
    WidenView(text, out);
    return true;
}

// Drops the '&' marks of a menu text; the character after a single '&' is its access key
// and "&&" shows one '&'.
void TakeAccessKey(MenuEntry& item) {
    item.accessKey = -1;
    int32_t to = 0;
    for (int32_t from = 0; item.text[from] != 0; ++from) {
        if (item.text[from] == u'&' && item.text[from + 1] != 0) {
            ++from;
            if (item.text[from] != u'&' && item.accessKey < 0) item.accessKey = to;
        }
        item.text[to++] = item.text[from];
    }
    item.text[to] = 0;
}

bool LoadMenu(int32_t menuId, CommandBar& bar) {
    const ResourceEntry* entry = FindResource(ResourceType::Menu, menuId);
    MenuView menu;
    if (entry == nullptr || ReadMenu(entry->data, entry->size, menu)) return false;
    bar.itemCount = menu.itemCount;
    for (int32_t i = 0; i < menu.itemCount; ++i) {
        MenuEntry& item = bar.items[i];
        item.command = static_cast<uint32_t>(menu.items[i].command);
        WidenView(menu.items[i].text, item.text);
        TakeAccessKey(item);
    }
    return true;
}

// Checks that the bitmap can be drawn and holds every cell the buttons name.
bool CellsFit(int32_t bitmapId, const CommandBar& bar) {
    const BitmapId bitmap = LoadBitmap(bitmapId);
    Size size{};
    const bool read = bitmap != 0 && GetBitmapSize(bitmap, size);
    ReleaseBitmap(bitmap);
    if (!read || size.height < CellSize) return false;
    for (int32_t i = 0; i < bar.buttonCount; ++i) {
        if ((bar.buttons[i].cell + 1) * CellSize > size.width) return false;
    }
    return true;
}

// Fills the bar's buttons and menu from the resources; false when one is missing or malformed.
bool LoadBar(int32_t menuBarId, int32_t bitmapId, CommandBar& bar) {
    const ResourceEntry* entry = FindResource(ResourceType::MenuBar, menuBarId);
    MenuBarView view;
    if (entry == nullptr || ReadMenuBar(entry->data, entry->size, view)) return false;
    bar.bitmapId = bitmapId;
    bar.buttonCount = view.buttonCount;
    for (int32_t i = 0; i < view.buttonCount; ++i) {
        const MenuBarButton& from = view.buttons[i];
        Button& b = bar.buttons[i];
        b = Button{static_cast<uint32_t>(from.command), from.cell, from.dropDown, ButtonEnabled, {}};
        if (from.stringId >= 0 && !LoadCaption(from.stringId, b.caption)) return false;
    }
    return LoadMenu(view.menuId, bar) && CellsFit(bitmapId, bar);
}

// ---- The bar's layout and drawing -----------------------------------------------------------

bool IsHidden(const Button& b) { return (b.state & ButtonHidden) != 0; }
bool IsEnabled(const Button& b) { return (b.state & ButtonEnabled) != 0 && !IsHidden(b); }

// Places the buttons from the left, hidden ones taking no room (client coordinates). A
// button that would reach the panel button is left out: its rectangle stays empty.
void PlaceButtons(Rect* rects) {
    int32_t x = 0;
    for (int32_t i = 0; i < Bar.buttonCount; ++i) {
        const Button& b = Bar.buttons[i];
        rects[i] = Rect{0, 0, 0, 0};
        if (IsHidden(b)) continue;
        const int32_t width = b.cell >= 0 ? ImageButtonWidth
                                          : draw::MeasureText(draw::DefaultFont(), b.caption, -1).width + 2 * TextButtonPadding;
        if (x + width > PanelButton.left) continue;
        rects[i] = Rect{x, 1, x + width, CommandBarHeight};
        x += width;
    }
}

int32_t ButtonAt(int32_t x, int32_t y) {
    if (Contains(PanelButton, x, y)) return PanelButtonIndex;
    Rect rects[MaxButtons];
    PlaceButtons(rects);
    for (int32_t i = 0; i < Bar.buttonCount; ++i) {
        if (Contains(rects[i], x, y)) return i;
    }
    return -1;
}

// Returns button i of the bar, or null for the panel button and anything past the last.
const Button* ButtonOf(int32_t i) {
    return i >= 0 && i < std::min(Bar.buttonCount, MaxButtons) ? &Bar.buttons[i] : nullptr;
}

bool LooksPressed(int32_t i) {
    if (Bar.held == i && Bar.heldInside) return true;
    const Button* b = ButtonOf(i);
    return b != nullptr && b->dropDown && Bar.menuOpen;
}

void PaintBar(WindowId window) {
    const SurfaceId surface = BeginPaint(window);
    FillRect(surface, BarClient, Face);
    FillRect(surface, Rect{0, 0, ScreenWidth, 1}, Ink);
    Rect rects[MaxButtons];
    PlaceButtons(rects);
    const BitmapId images = LoadBitmap(Bar.bitmapId);
    for (int32_t i = 0; i < Bar.buttonCount; ++i) {
        const Button& b = Bar.buttons[i];
        const Rect& r = rects[i];
        if (IsEmpty(r)) continue;
        if (b.cell >= 0) {
            DrawBitmapCell(surface, images, b.cell, CellSize, r.left + (Width(r) - CellSize) / 2,
                           r.top + (Height(r) - CellSize) / 2);
        } else {
            const uint32_t previous = SetTextColor(surface, IsEnabled(b) ? Ink : Greyed);
            DrawText(surface, b.caption, -1, r, TextCenter | TextVCenter | TextSingleLine | TextNoPrefix);
            SetTextColor(surface, previous);
        }
        if (LooksPressed(i)) InvertRect(surface, r);
    }
    ReleaseBitmap(images);
    DrawKeyboardIcon(surface, PanelButton, Ink);
    // The panel button stays down while the panel is up.
    const bool panelUp = (GetInputPanelInfo().flags & PanelShown) != 0;
    if (panelUp != LooksPressed(PanelButtonIndex)) InvertRect(surface, PanelButton);
    EndPaint(window, surface);
}

// ---- The menu -------------------------------------------------------------------------------

Rect MenuItemRect(int32_t item) {
    const Rect client = GetClientRect(Bar.menu);
    const int32_t height = (Height(client) - 2 * MenuMargin) / std::max(1, Bar.itemCount);
    const int32_t top = MenuMargin + item * height;
    return Rect{0, top, client.right, top + height};
}

// Returns the item under a screen point, or -1.
int32_t ItemAt(int32_t screenX, int32_t screenY) {
    const WindowRecord* menu = Find(Bar.menu);
    if (menu == nullptr || !Bar.menuOpen) return -1;
    const Rect client = ClientScreenRect(*menu);
    for (int32_t i = 0; i < Bar.itemCount; ++i) {
        if (Contains(Offset(MenuItemRect(i), client.left, client.top), screenX, screenY)) return i;
    }
    return -1;
}

void Highlight(int32_t item) {
    if (item == Bar.hotItem) return;
    Bar.hotItem = item;
    InvalidateWindow(Bar.menu, true);
}

// Sizes the menu to its widest item, above the bar from its left edge.
Rect MenuRect() {
    int32_t widest = 0;
    for (int32_t i = 0; i < Bar.itemCount; ++i) {
        widest = std::max(widest, draw::MeasureText(draw::DefaultFont(), Bar.items[i].text, -1).width);
    }
    const int32_t room = ScreenHeight - CommandBarHeight - TaskbarHeight - 2 - 2 * MenuMargin;
    const int32_t itemHeight = std::min(ItemHeight, room / std::max(1, Bar.itemCount));
    const int32_t width = std::min(ScreenWidth, widest + 2 * ItemPadding + 2);
    const int32_t height = Bar.itemCount * itemHeight + 2 * MenuMargin + 2;
    const int32_t bottom = ScreenHeight - CommandBarHeight;
    return Rect{0, bottom - height, width, bottom};
}

void OpenMenu() {
    WindowRecord* menu = Find(Bar.menu);
    if (menu == nullptr || Bar.menuOpen || Bar.itemCount == 0) return;
    Bar.menuOpen = true;
    Bar.hotItem = -1;
    menu->rect = MenuRect();
    BringToTop(*menu);
    ShowWindow(Bar.menu, ShowNoActivate);
    CapturePointer(Bar.menu);
    // The menu takes the keys while it is open: Escape, the arrows, Return, access keys.
    Bar.focusBefore = SetFocus(Bar.menu);
    InvalidateWindow(Bar.window, true);
}

void CloseMenu() {
    if (!Bar.menuOpen) return;
    Bar.menuOpen = false;
    Bar.menuFromButton = false;
    Bar.menuPress = false;
    Bar.hotItem = -1;
    CapturePointer(NoWindow);
    ShowWindow(Bar.menu, ShowHide);
    if (IsWindow(Bar.focusBefore) && IsWindowVisible(Bar.focusBefore)) SetFocus(Bar.focusBefore);
    Bar.focusBefore = NoWindow;
    InvalidateWindow(Bar.window, true);
}

// Closes the menu and posts the item's command to the owner; the owner may end the program
// or show a message box in its handling, so nothing here runs inside it.
void ChooseItem(int32_t item) {
    if (item < 0 || item >= Bar.itemCount) return;
    const uint32_t command = Bar.items[item].command;
    CloseMenu();
    PostMessage(Bar.owner, MsgCommand, MakeCommandParam(0, command), 0);
}

// Picks the item whose access key is c, compared without case; false when none has it.
bool ChooseByAccessKey(char16_t c) {
    const auto lower = [](char16_t k) { return k >= u'A' && k <= u'Z' ? static_cast<char16_t>(k - u'A' + u'a') : k; };
    for (int32_t i = 0; i < Bar.itemCount; ++i) {
        const MenuEntry& item = Bar.items[i];
        if (item.accessKey >= 0 && lower(item.text[item.accessKey]) == lower(c)) {
            ChooseItem(i);
            return true;
        }
    }
    return false;
}

void PaintMenu(WindowId window) {
    const SurfaceId surface = BeginPaint(window);
    FillRect(surface, GetClientRect(window), Face);
    const int32_t cellHeight = draw::FontMetrics(draw::DefaultFont()).height;
    const int32_t ascent = draw::FontMetrics(draw::DefaultFont()).ascent;
    for (int32_t i = 0; i < Bar.itemCount; ++i) {
        const MenuEntry& item = Bar.items[i];
        const Rect r = MenuItemRect(i);
        const uint32_t colour = i == Bar.hotItem ? Face : Ink;
        if (i == Bar.hotItem) FillRect(surface, r, Ink);
        const uint32_t previous = SetTextColor(surface, colour);
        const Rect text{r.left + ItemPadding, r.top, r.right - ItemPadding, r.bottom};
        DrawText(surface, item.text, -1, text, TextLeft | TextVCenter | TextSingleLine | TextNoPrefix);
        SetTextColor(surface, previous);
        if (item.accessKey >= 0) {
            const FontId font = draw::DefaultFont();
            const int32_t x = text.left + (item.accessKey > 0 ? draw::MeasureText(font, item.text, item.accessKey).width : 0);
            const int32_t width = draw::MeasureText(font, item.text + item.accessKey, 1).width;
            const int32_t y = r.top + (Height(r) - cellHeight) / 2 + ascent + 1;
            FillRect(surface, Rect{x, y, x + width, y + 1}, colour);
        }
    }
    EndPaint(window, surface);
}

// Turns a pointer message's client coordinates into a screen point.
void ToScreen(WindowId window, intptr_t lParam, int32_t& x, int32_t& y) {
    const WindowRecord* r = Find(window);
    const Rect client = r != nullptr ? ClientScreenRect(*r) : Rect{0, 0, 0, 0};
    x = client.left + PointX(lParam);
    y = client.top + PointY(lParam);
}

intptr_t MenuProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (window != Bar.menu || (!Bar.menuOpen && message != MsgPaint)) {
        return DefaultWindowProc(window, message, wParam, lParam);
    }
    int32_t x = 0, y = 0;
    ToScreen(window, lParam, x, y);
    switch (message) {
    case MsgLButtonDown: {
        // A press outside the menu closes it and goes no further.
        const WindowRecord* r = Find(window);
        if (r == nullptr || !Contains(ScreenRect(*r), x, y)) {
            CloseMenu();
            return 0;
        }
        Bar.menuPress = true;
        Highlight(ItemAt(x, y));
        return 0;
    }
    case MsgMouseMove:
        if (Bar.menuPress) Highlight(ItemAt(x, y));
        return 0;
    case MsgLButtonUp:
        if (Bar.menuPress) {
            Bar.menuPress = false;
            const int32_t item = ItemAt(x, y);
            if (item >= 0) ChooseItem(item);
            else Highlight(-1);
        }
        return 0;
    case MsgKeyDown:
        switch (wParam) {
        case KeyEscape: CloseMenu(); break;
        case KeyReturn: ChooseItem(Bar.hotItem); break;
        case KeyUp: Highlight(Bar.hotItem <= 0 ? Bar.itemCount - 1 : Bar.hotItem - 1); break;
        case KeyDown: Highlight(Bar.hotItem < 0 || Bar.hotItem + 1 >= Bar.itemCount ? 0 : Bar.hotItem + 1); break;
        default: break;
        }
        return 0;
    case MsgChar:
        if (wParam > 0x20 && wParam <= 0xFFFF) ChooseByAccessKey(static_cast<char16_t>(wParam));
        return 0;
    case MsgPaint:
        PaintMenu(window);
        return 0;
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
}

// ---- The bar's input ------------------------------------------------------------------------

void Hold(int32_t button, bool inside) {
    if (Bar.held == button && Bar.heldInside == inside) return;
    Bar.held = button;
    Bar.heldInside = inside;
    InvalidateWindow(Bar.window, true);
}

// Acts on a release over the pressed button: a command for the owner, or the panel raised or
// lowered.
void Release(int32_t button) {
    if (button == PanelButtonIndex) {
        ShowInputPanel((GetInputPanelInfo().flags & PanelShown) == 0);
    } else if (const Button* b = ButtonOf(button)) {
        PostMessage(Bar.owner, MsgCommand, MakeCommandParam(0, b->command), static_cast<intptr_t>(Bar.window));
    }
}

bool SetButtonState(uint32_t command, intptr_t state) {
    bool found = false;
    for (int32_t i = 0; i < Bar.buttonCount; ++i) {
        if (Bar.buttons[i].command != command) continue;
        Bar.buttons[i].state = state;
        found = true;
    }
    if (found) InvalidateWindow(Bar.window, true);
    return found;
}

intptr_t ButtonState(uint32_t command) {
    for (int32_t i = 0; i < Bar.buttonCount; ++i) {
        if (Bar.buttons[i].command == command) return Bar.buttons[i].state;
    }
    return 0;
}

intptr_t CommandBarProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (window != Bar.window) return DefaultWindowProc(window, message, wParam, lParam);
    switch (message) {
    case MsgSetButtonState:
        return SetButtonState(static_cast<uint32_t>(wParam), lParam) ? 1 : 0;
    case MsgGetButtonState:
        return ButtonState(static_cast<uint32_t>(wParam));
    case MsgLButtonDown: {
        const int32_t button = ButtonAt(PointX(lParam), PointY(lParam));
        const Button* b = ButtonOf(button);
        if (button < 0 || (b != nullptr && !IsEnabled(*b))) return 0;
        if (b != nullptr && b->dropDown) {
            // The menu opens on the press; sliding onto an item and letting go chooses it.
            OpenMenu();
            Bar.menuFromButton = Bar.menuOpen;
            return 0;
        }
        Hold(button, true);
        return 0;
    }
    case MsgMouseMove: {
        int32_t x = 0, y = 0;
        ToScreen(window, lParam, x, y);
        if (Bar.menuFromButton) Highlight(ItemAt(x, y));
        else if (Bar.held >= 0) Hold(Bar.held, ButtonAt(PointX(lParam), PointY(lParam)) == Bar.held);
        return 0;
    }
    case MsgLButtonUp: {
        int32_t x = 0, y = 0;
        ToScreen(window, lParam, x, y);
        if (Bar.menuFromButton) {
            Bar.menuFromButton = false;
            const int32_t item = ItemAt(x, y);
            if (item >= 0) ChooseItem(item);
            return 0;
        }
        const int32_t button = Bar.held;
        const bool inside = button >= 0 && ButtonAt(PointX(lParam), PointY(lParam)) == button;
        Hold(-1, false);
        if (inside) Release(button);
        return 0;
    }
    case MsgPaint:
        PaintBar(window);
        return 0;
    case MsgDestroy:
        CloseMenu();
        Bar.window = NoWindow;
        return 0;
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace

Rect CommandBarButtonRect(uint32_t command) {
    const WindowRecord* bar = Find(Bar.window);
    if (bar == nullptr) return Rect{0, 0, 0, 0};
    Rect rects[MaxButtons];
    PlaceButtons(rects);
    for (int32_t i = 0; i < Bar.buttonCount; ++i) {
        if (Bar.buttons[i].command == command && !IsEmpty(rects[i])) return Offset(rects[i], bar->rect.left, bar->rect.top);
    }
    return Rect{0, 0, 0, 0};
}

void InvalidateCommandBar() {
    if (Find(Bar.window) != nullptr) InvalidateWindow(Bar.window, true);
}

}  // namespace ws

using namespace ws;

// The image count is what the shell is told; a cell past it (the blank one) is drawn all the
// same, and the cells the buttons name must lie within the bitmap.
WindowId CreateMenuBar(WindowId window, int32_t menuBarId, int32_t bitmapId, int32_t /*imageCount*/) {
    if (Find(window) == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return NoWindow;
    }
    if (Find(Bar.window) != nullptr) DestroyWindow(Bar.window);
    Bar = CommandBar{};
    Bar.held = -1;
    Bar.hotItem = -1;
    if (!LoadBar(menuBarId, bitmapId, Bar)) {
        Bar.buttonCount = 0;
        SetLastError(ErrorResourceNotFound);
        return NoWindow;
    }
    const WindowId bar = NewWindow(WindowKind::CommandBar, NoWindow, CommandBarRect, StyleVisible, CommandBarProc, u"");
    const WindowId menu = NewWindow(WindowKind::Menu, NoWindow, Rect{0, 0, 0, 0}, StyleBorder, MenuProc, u"");
    if (bar == NoWindow || menu == NoWindow) {
        if (bar != NoWindow) DestroyWindow(bar);
        if (menu != NoWindow) DestroyWindow(menu);
        return NoWindow;
    }
    Bar.window = bar;
    Bar.owner = window;
    Bar.menu = menu;
    WindowRecord* b = Find(bar);
    b->owner = window;
    b->topmost = true;
    WindowRecord* m = Find(menu);
    m->owner = bar;  // goes with the bar
    m->topmost = true;
    ShowWindow(bar, ShowNoActivate);
    return bar;
}

}  // namespace plat
