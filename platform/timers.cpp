// Timers: SetTimer and KillTimer, and the due timers that GetMessage turns into MsgTimer,
// measured on the device clock. A timer fires at most once per look, however late it is.
// The window system's own timers (the scroll bar's repeat) share the table but are handled
// here and never reach a window procedure.
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

struct TimerRecord {
    bool used;
    bool system;
    WindowId window;
    uint32_t id;
    uint32_t period;
    uint32_t due;
};

TimerRecord Timers[MaxTimers];

// True when tick a is at or after tick b, across the wrap of the clock.
bool AtOrAfter(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) >= 0; }

}  // namespace

bool TakeDueTimer(uint32_t now, MessageRecord& out) {
    for (;;) {
        TimerRecord* first = nullptr;
        for (TimerRecord& t : Timers) {
            if (!t.used || !AtOrAfter(now, t.due)) continue;
            if (Find(t.window) == nullptr) {
                t.used = false;
                continue;
            }
            if (first == nullptr || AtOrAfter(first->due, t.due + 1)) first = &t;
        }
        if (first == nullptr) return false;
        first->due = now + first->period;
        if (!first->system) {
            out = MessageRecord{first->window, MsgTimer, first->id, 0};
            return true;
        }
        SystemTimerFired(first->window, first->id);
    }
}

bool SetSystemTimer(WindowId window, uint32_t id, uint32_t periodMs) {
    TimerRecord* slot = nullptr;
    for (TimerRecord& t : Timers) {
        if (t.used && t.system && t.window == window && t.id == id) {
            slot = &t;
            break;
        }
        if (!t.used && slot == nullptr) slot = &t;
    }
    if (slot == nullptr) return false;
    const uint32_t period = periodMs < MinimumTimerPeriod ? MinimumTimerPeriod : periodMs;
    *slot = TimerRecord{true, true, window, id, period, TickCount() + period};
    return true;
}

void KillSystemTimer(WindowId window, uint32_t id) {
    for (TimerRecord& t : Timers) {
        if (t.used && t.system && t.window == window && t.id == id) t.used = false;
    }
}

void KillTimersOf(WindowId window) {
    for (TimerRecord& t : Timers) {
        if (t.used && t.window == window) t.used = false;
    }
}

void ResetTimers() {
    for (TimerRecord& t : Timers) t = TimerRecord{};
}

}  // namespace ws

using namespace ws;

bool SetTimer(WindowId window, uint32_t id, uint32_t periodMs) {
    if (Find(window) == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    const uint32_t period = periodMs < MinimumTimerPeriod ? MinimumTimerPeriod : periodMs;
    TimerRecord* slot = nullptr;
    for (TimerRecord& t : Timers) {
        if (t.used && !t.system && t.window == window && t.id == id) {
            slot = &t;  // setting it again restarts it
            break;
        }
        if (!t.used && slot == nullptr) slot = &t;
    }
    if (slot == nullptr) {
        SetLastError(ErrorNotEnoughMemory);
        return false;
    }
    *slot = TimerRecord{true, false, window, id, period, TickCount() + period};
    return true;
}

bool KillTimer(WindowId window, uint32_t id) {
    for (TimerRecord& t : Timers) {
        if (t.used && !t.system && t.window == window && t.id == id) {
            t.used = false;
            return true;
        }
    }
    return false;
}

bool device::NextTimerDue(uint32_t& dueTick) {
    const uint32_t now = TickCount();
    bool any = false;
    for (const TimerRecord& t : Timers) {
        if (!t.used || Find(t.window) == nullptr) continue;
        if (!any || static_cast<int32_t>(t.due - now) < static_cast<int32_t>(dueTick - now)) dueTick = t.due;
        any = true;
    }
    return any;
}

}  // namespace plat
