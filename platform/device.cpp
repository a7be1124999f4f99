// The device in force and the services that only pass its answers on: the clock and the
// platform version. Devices install themselves here (device::Install); until one does, an
// inert built-in device keeps every call harmless.
#include "platform/device.h"

namespace plat::device {
namespace {

void NullPresent(const uint32_t*, int32_t, int32_t) {}
bool NullWaitEvent(Event& out, uint32_t timeoutMs) {
    if (timeoutMs != WaitForever) return false;
    out = Event{};
    out.kind = EventKind::CloseRequest;  // nothing will ever come: let the program end
    return true;
}
uint32_t NullTickCount() { return 0; }
bool NullPlayWave(const char*, const uint8_t*, uint32_t) { return false; }
void NullStopSound() {}
const char* NullDataFolder() { return nullptr; }
int32_t NullAnswerMessageBox(WindowId, const char16_t*, const char16_t*, uint32_t buttons) {
    return buttons == BoxYesNo ? AnswerNo : AnswerOk;
}
void NullWake() {}

constexpr Device NullDevice = {
    "none",        NullPresent,   NullWaitEvent,        NullTickCount, NullPlayWave,
    NullStopSound, NullDataFolder, NullAnswerMessageBox, NullWake, nullptr,
};

const Device* Installed = &NullDevice;

}  // namespace

void Install(const Device* device) { Installed = device != nullptr ? device : &NullDevice; }

const Device& Current() { return *Installed; }

}  // namespace plat::device

namespace plat {

uint32_t TickCount() { return device::Current().tickCount(); }

Version PlatformVersion() {
    // The version of this platform layer, the same on every device so that pages showing it
    // look alike in tests and on the desktop.
    return {1, 0};
}

}  // namespace plat
