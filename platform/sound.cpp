// Sound: plays the program's WAVE resources through the device, once and asynchronously.
#include "platform/device.h"
#include "platform/platform.h"
#include "platform/resources.h"

namespace plat {

bool PlayWaveResource(const char16_t* name) {
    if (name == nullptr) return false;
    constexpr int32_t MaxName = 64;
    char narrow[MaxName];
    Narrow(name, narrow, MaxName);
    for (char* c = narrow; *c != 0; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');  // resource names are upper-case
    }
    const ResourceEntry* wave = FindResource(ResourceType::Wave, narrow);
    if (wave == nullptr) return false;
    return device::Current().playWave(narrow, wave->data, wave->size);
}

void StopSound() { device::Current().stopSound(); }

}  // namespace plat
