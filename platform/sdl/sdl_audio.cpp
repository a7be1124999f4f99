// Sound through SDL audio. A clip is decoded (SDL_LoadWAV_RW) and converted whole to the
// device's format (SDL_BuildAudioCVT) before it starts, so the callback only copies bytes
// and the clip's end is never lost in a stream's buffer. The device is open only while a
// clip plays: SDL's audio thread wakes every few milliseconds even when paused, and an idle
// reader should cost nothing.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace sdl::audio {
namespace {

struct Clip {
    Uint8* data = nullptr;  // SDL_malloc'd, in the device's format
    uint32_t length = 0;
    uint32_t position = 0;
    bool endReported = false;
};

struct AudioState {
    bool failed = false;  // there is no sound here: not tried again for every clip
    bool subsystem = false;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec have{};
    Uint32 clipEnded = 0;
    Clip clip;  // shared with the callback: changed only under SDL_LockAudioDevice
};

AudioState Audio;

// Runs on SDL's audio thread: copies the clip on, silence after it. The end is reported
// one call after the last bytes went out, so closing the device then cannot cut them.
void SDLCALL Fill(void*, Uint8* stream, int length) {
    Clip& c = Audio.clip;
    const auto wanted = static_cast<uint32_t>(length);
    const uint32_t n = c.data != nullptr ? std::min(wanted, c.length - c.position) : 0;
    if (n > 0) {
        std::memcpy(stream, c.data + c.position, n);
        c.position += n;
    } else if (c.data != nullptr && !c.endReported) {
        c.endReported = true;
        SDL_Event event{};
        event.type = Audio.clipEnded;
        SDL_PushEvent(&event);
    }
    std::memset(stream + n, Audio.have.silence, wanted - n);
}

// Keeps standard error quiet while it lives: on a machine without a sound card the sound
// library below SDL prints its failure there, and silence is all the reader has to say.
class QuietStandardError {
public:
    QuietStandardError() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

bool Open() {
    if (Audio.device != 0) return true;
    if (Audio.failed) return false;
    const QuietStandardError quiet;
    if (!Audio.subsystem) {
        Audio.subsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (Audio.clipEnded == 0) Audio.clipEnded = SDL_RegisterEvents(1);
    }
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Fill;
    if (Audio.subsystem && Audio.clipEnded != static_cast<Uint32>(-1))
        Audio.device = SDL_OpenAudioDevice(nullptr, 0, &want, &Audio.have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    Audio.failed = Audio.device == 0;
    return !Audio.failed;
}

// Puts clip in place of the one that plays (under the device's lock) and frees the old one.
void Swap(Clip clip) {
    SDL_LockAudioDevice(Audio.device);
    Uint8* old = Audio.clip.data;
    Audio.clip = clip;
    SDL_UnlockAudioDevice(Audio.device);
    SDL_free(old);
}

}  // namespace

bool Play(const uint8_t* bytes, uint32_t size) {
    if (bytes == nullptr || size == 0 || size > INT32_MAX || !Open()) return false;
    SDL_AudioSpec spec{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes, static_cast<int>(size)), 1, &spec, &samples, &length) == nullptr)
        return false;
    SDL_AudioCVT cvt{};
    const int built = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, Audio.have.format,
                                        Audio.have.channels, Audio.have.freq);
    if (built < 0 || length > INT32_MAX / static_cast<Uint32>(std::max(cvt.len_mult, 1))) {
        SDL_FreeWAV(samples);
        return false;
    }
    if (built == 1) {
        cvt.len = static_cast<int>(length);
        cvt.buf = static_cast<Uint8*>(SDL_malloc(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult)));
        if (cvt.buf != nullptr) std::memcpy(cvt.buf, samples, length);
        SDL_FreeWAV(samples);
        if (cvt.buf == nullptr || SDL_ConvertAudio(&cvt) != 0) {
            SDL_free(cvt.buf);
            return false;
        }
        samples = cvt.buf;
        length = static_cast<Uint32>(cvt.len_cvt);
    }
    // Whole frames only, so the callback never stops inside a sample.
    const Uint32 frame = static_cast<Uint32>(SDL_AUDIO_BITSIZE(Audio.have.format) / 8) * Audio.have.channels;
    Swap(Clip{samples, frame > 0 ? length - length % frame : length, 0, false});
    SDL_PauseAudioDevice(Audio.device, 0);
    return true;
}

void Stop() {
    if (Audio.device == 0) return;
    SDL_CloseAudioDevice(Audio.device);  // the callback has run for the last time
    Audio.device = 0;
    SDL_free(Audio.clip.data);
    Audio.clip = Clip{};
}

void RestIfDone() {
    if (Audio.device == 0) return;
    SDL_LockAudioDevice(Audio.device);
    const bool done = Audio.clip.data != nullptr && Audio.clip.endReported;
    SDL_UnlockAudioDevice(Audio.device);
    if (done) Stop();
}

bool Playing() {
    if (Audio.device == 0) return false;
    SDL_LockAudioDevice(Audio.device);
    const bool playing = Audio.clip.data != nullptr && !Audio.clip.endReported;
    SDL_UnlockAudioDevice(Audio.device);
    return playing;
}

void Close() {
    Stop();
    if (Audio.subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    Audio.subsystem = false;
    Audio.failed = false;
}

uint32_t ClipEndedEvent() { return Audio.clipEnded; }

}  // namespace sdl::audio
