// The message queue and loop: posted messages, the quit request, and GetMessage, which
// takes, in this order, posted messages, the quit, device input, paints and due timers,
// and waits on the device when there is nothing. Sending is a direct call (SendMessage in
// window_system.cpp).
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

MessageRecord Queue[MaxQueuedMessages];
int32_t QueueHead = 0;
int32_t QueueCount = 0;
bool QuitPending = false;
int32_t QuitCode = 0;

// Loops of PumpMessages end after this many messages: a window that asks for a new paint
// in every paint would otherwise keep a test busy for ever.
constexpr int32_t MaxPumpedMessages = 100000;

bool TakePosted(MessageRecord& out) {
    while (QueueCount > 0) {
        out = Queue[QueueHead];
        QueueHead = (QueueHead + 1) % MaxQueuedMessages;
        --QueueCount;
        if (out.window == NoWindow || Find(out.window) != nullptr) return true;  // else its window is gone
    }
    return false;
}

enum class Ready : uint8_t { Message, Quit, Nothing };

// Takes the next message that is ready now, without waiting; a pending quit is reported
// but left in place.
Ready TakeReady(MessageRecord& out) {
    AnswerOtherInstances();
    AnswerEndRequests();
    if (TakePosted(out)) return Ready::Message;
    if (QuitPending) return Ready::Quit;
    device::Event event;
    while (device::Current().waitEvent(event, 0)) {
        RouteEvent(event);
        if (TakePosted(out)) return Ready::Message;
        if (QuitPending) return Ready::Quit;
    }
    if (NextPaintMessage(out)) return Ready::Message;
    if (TakeDueTimer(TickCount(), out)) return Ready::Message;
    return Ready::Nothing;
}

}  // namespace

void ResetQueue() {
    QueueHead = 0;
    QueueCount = 0;
    QuitPending = false;
    QuitCode = 0;
}

}  // namespace ws

using namespace ws;

bool PostMessage(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (window != NoWindow && Find(window) == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    if (QueueCount == MaxQueuedMessages) {
        SetLastError(ErrorNotEnoughMemory);
        return false;
    }
    Queue[(QueueHead + QueueCount) % MaxQueuedMessages] = MessageRecord{window, message, wParam, lParam};
    ++QueueCount;
    return true;
}

void PostQuitMessage(int32_t exitCode) {
    QuitPending = true;
    QuitCode = exitCode;
}

bool GetMessage(MessageRecord& out) {
    for (;;) {
        switch (TakeReady(out)) {
        case Ready::Message:
            return true;
        case Ready::Quit:
            QuitPending = false;
            out = MessageRecord{NoWindow, MsgQuit, static_cast<uintptr_t>(QuitCode), 0};
            return false;
        case Ready::Nothing:
            break;
        }
        device::PresentIfChanged();
        uint32_t timeout = device::WaitForever;
        uint32_t due = 0;
        if (device::NextTimerDue(due)) {
            const auto wait = static_cast<int32_t>(due - TickCount());
            timeout = wait > 0 ? static_cast<uint32_t>(wait) : 0;
        }
        device::Event event;
        if (device::Current().waitEvent(event, timeout)) RouteEvent(event);
    }
}

void TranslateMessage(const MessageRecord& message) {
    // Printable characters come from the device as typed text; key downs give the control
    // characters that text input does not carry.
    if (message.message != MsgKeyDown) return;
    switch (message.wParam) {
    case KeyBack:
    case KeyTab:
    case KeyReturn:
    case KeyEscape:
        PostMessage(message.window, MsgChar, message.wParam, message.lParam);
        break;
    default:
        break;
    }
}

intptr_t DispatchMessage(const MessageRecord& message) {
    if (message.message == MsgPaint) {
        DispatchPaint(message.window);
        return 0;
    }
    return SendMessage(message.window, message.message, message.wParam, message.lParam);
}

int32_t device::PumpMessages() {
    int32_t dispatched = 0;
    MessageRecord message;
    while (dispatched < MaxPumpedMessages && TakeReady(message) == Ready::Message) {
        TranslateMessage(message);
        DispatchMessage(message);
        ++dispatched;
    }
    PresentIfChanged();
    return dispatched;
}

}  // namespace plat
