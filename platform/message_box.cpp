// Modal message boxes. The device may answer a box at once (the headless device answers
// from a script); otherwise the window system shows the box itself, above every other
// window, and runs a message loop until one of its buttons is pressed. Other windows keep
// painting and their timers keep running, but get no input meanwhile.
#include "platform/draw_internal.h"
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr char16_t DefaultCaption[] = u"Error";
constexpr int32_t MaxNestedBoxes = 4;
constexpr int32_t MaxMessage = 256;
constexpr int32_t MaxLines = 10;
constexpr int32_t BoxWidth = 224;
constexpr int32_t CaptionHeight = 20;
constexpr int32_t Padding = 8;
constexpr int32_t ButtonWidth = 64;
constexpr int32_t ButtonHeight = 22;
constexpr uint32_t CaptionColour = 0x0A246A;

struct OpenBox {
    WindowId window;
    uint32_t buttons;
    int32_t answer;  // 0 until a button is pressed
    char16_t text[MaxMessage];  // the window's own text is the caption, for the taskbar
};

OpenBox Boxes[MaxNestedBoxes];
int32_t BoxDepth = 0;

struct Line {
    int32_t start, count;
};

bool IsAnswerOf(int32_t answer, uint32_t buttons) {
    if (buttons == BoxYesNo) return answer == AnswerYes || answer == AnswerNo;
    return answer == AnswerOk;
}

int32_t DefaultAnswer(uint32_t buttons) { return buttons == BoxYesNo ? AnswerNo : AnswerOk; }

OpenBox* BoxOf(WindowId window) {
    for (int32_t i = 0; i < BoxDepth; ++i) {
        if (Boxes[i].window == window) return &Boxes[i];
    }
    return nullptr;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Breaks text into lines no wider than width at blanks and line feeds; a word wider than
// the line is cut where it no longer fits. Returns the number of lines (at most MaxLines).
int32_t WrapText(const char16_t* text, int32_t width, Line* lines) {
    const FontId font = draw::DefaultFont();
    int32_t count = 0, start = 0;
    while (text[start] != 0 && count < MaxLines) {
        int32_t end = start, lastBreak = -1;
        while (text[end] != 0 && text[end] != u'\n') {
            if (draw::MeasureText(font, text + start, end - start + 1).width > width) break;
            if (IsBlank(text[end])) lastBreak = end;
            ++end;
        }
        const bool wrapped = text[end] != 0 && text[end] != u'\n';
        if (wrapped && lastBreak > start) end = lastBreak;
        if (end == start) ++end;  // always take at least one character
        lines[count++] = Line{start, end - start};
        start = end;
        while (IsBlank(text[start])) ++start;
        if (text[start] == u'\n') ++start;
    }
    return count;
}

intptr_t BoxProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    OpenBox* box = BoxOf(window);
    WindowRecord* r = Find(window);
    if (box == nullptr || r == nullptr) return DefaultWindowProc(window, message, wParam, lParam);
    switch (message) {
    case MsgCommand:
        if (IsAnswerOf(LowWord(wParam), box->buttons)) box->answer = LowWord(wParam);
        return 0;
    case MsgKeyDown:
        if (wParam == KeyReturn) box->answer = box->buttons == BoxYesNo ? AnswerYes : AnswerOk;
        if (wParam == KeyEscape) box->answer = DefaultAnswer(box->buttons);
        return 0;
    case MsgClose:
        box->answer = DefaultAnswer(box->buttons);
        return 0;
    case MsgPaint: {
        const SurfaceId surface = BeginPaint(window);
        const Rect client = GetClientRect(window);
        FillRect(surface, Rect{0, 0, client.right, CaptionHeight}, CaptionColour);
        uint32_t previous = SetTextColor(surface, 0xFFFFFF);
        DrawText(surface, r->text, -1, Rect{Padding / 2, 0, client.right - Padding / 2, CaptionHeight},
                 TextLeft | TextVCenter | TextSingleLine | TextNoPrefix);
        SetTextColor(surface, previous);
        Line lines[MaxLines];
        const int32_t count = WrapText(box->text, client.right - 2 * Padding, lines);
        const int32_t lineHeight = DefaultFontMetrics().height;
        for (int32_t i = 0; i < count; ++i) {
            const int32_t top = CaptionHeight + Padding + i * lineHeight;
            DrawText(surface, box->text + lines[i].start, lines[i].count,
                     Rect{Padding, top, client.right - Padding, top + lineHeight}, TextLeft | TextSingleLine | TextNoPrefix);
        }
        EndPaint(window, surface);
        return 0;
    }
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
}

void AddButton(WindowId box, const char16_t* label, int32_t answer, int32_t left, int32_t top, bool isDefault) {
    const uint32_t style = StyleVisible | (isDefault ? ButtonDefaultPush : ButtonPush);
    CreateControl(ControlClass::Button, label, style, Rect{left, top, left + ButtonWidth, top + ButtonHeight}, box, answer);
}

// Shows the box and waits for its answer; the answer that changes nothing when the box
// cannot be shown or the program is asked to quit meanwhile.
int32_t RunBox(WindowId owner, const char16_t* text, const char16_t* caption, uint32_t buttons) {
    if (BoxDepth == MaxNestedBoxes) return DefaultAnswer(buttons);
    OpenBox& box = Boxes[BoxDepth];
    box = OpenBox{NoWindow, buttons, 0, {}};
    for (int32_t i = 0; i < MaxMessage - 1 && text[i] != 0; ++i) box.text[i] = text[i];
    Line lines[MaxLines];
    const int32_t lineCount = WrapText(box.text, BoxWidth - 2 * Padding - 2, lines);
    const int32_t height = CaptionHeight + Padding + lineCount * DefaultFontMetrics().height + Padding + ButtonHeight +
                           Padding + 2;
    const int32_t left = (ScreenWidth - BoxWidth) / 2;
    const int32_t top = std::max(TaskbarHeight, TaskbarHeight + (ScreenHeight - TaskbarHeight - CommandBarHeight - height) / 2);
    const WindowId window =
        NewWindow(WindowKind::MessageBoxWindow, NoWindow, Rect{left, top, left + BoxWidth, top + height}, StyleBorder, BoxProc, caption);
    if (window == NoWindow) return DefaultAnswer(buttons);
    box.window = window;
    ++BoxDepth;
    Find(window)->owner = owner;
    Find(window)->topmost = true;

    const Rect client = GetClientRect(window);
    const int32_t buttonTop = client.bottom - Padding - ButtonHeight;
    if (buttons == BoxYesNo) {
        AddButton(window, u"Yes", AnswerYes, client.right / 2 - ButtonWidth - Padding / 2, buttonTop, true);
        AddButton(window, u"No", AnswerNo, client.right / 2 + Padding / 2, buttonTop, false);
    } else {
        AddButton(window, u"OK", AnswerOk, (client.right - ButtonWidth) / 2, buttonTop, true);
    }
    const WindowId focus = GetFocus();
    ShowWindow(window, ShowNormal);
    SetFocus(window);
    SetModalWindow(window);
    UpdateWindow(window);

    MessageRecord message;
    while (box.answer == 0 && Find(window) != nullptr) {
        if (!GetMessage(message)) {
            PostQuitMessage(static_cast<int32_t>(message.wParam));  // for the loop outside the box
            break;
        }
        TranslateMessage(message);
        DispatchMessage(message);
    }
    const int32_t answer = box.answer != 0 ? box.answer : DefaultAnswer(buttons);
    --BoxDepth;
    SetModalWindow(BoxDepth > 0 ? Boxes[BoxDepth - 1].window : NoWindow);
    DestroyWindow(window);
    if (IsWindow(focus)) SetFocus(focus);
    return answer;
}

}  // namespace
}  // namespace ws

int32_t MessageBox(WindowId owner, const char16_t* text, const char16_t* caption, uint32_t buttons) {
    if (text == nullptr) text = u"";
    if (caption == nullptr) caption = ws::DefaultCaption;
    if (buttons != BoxYesNo) buttons = BoxOk;
    int32_t answer = device::Current().answerMessageBox(owner, text, caption, buttons);
    if (answer == device::AskTheUser) answer = ws::RunBox(owner, text, caption, buttons);
    // A device that cannot ask gets the answer that changes nothing.
    return ws::IsAnswerOf(answer, buttons) ? answer : ws::DefaultAnswer(buttons);
}

}  // namespace plat
