// Start-up of the desktop reader: each iteration starts the reader with the SDL device in
// a fresh child process (the reader's state is static), from sdl::Start to the first frame
// on the window, then closes it. Reports the time and the child's resident memory at that
// frame. With DISPLAY set it opens a real window there (run it under xvfb-run for a quiet
// desktop); without, SDL's dummy video driver stands in.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "book/tables.h"
#include "platform/device.h"
#include "platform/sdl/sdl_device.h"
#include "shell/startup.h"

namespace {

using Clock = std::chrono::steady_clock;

struct FirstFrame {
    double milliseconds;
    long residentKb;
};

Clock::time_point Started;
int ReportFd = -1;
plat::device::Device Measuring{};
const plat::device::Device* Inner = nullptr;
bool Reported = false;

long ResidentKb() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(status);
    return kb;
}

// Reports the first frame to the parent, then lets the reader close.
void PresentAndReport(const uint32_t* pixels, int32_t width, int32_t height) {
    Inner->present(pixels, width, height);
    if (Reported) return;
    Reported = true;
    const FirstFrame frame{std::chrono::duration<double, std::milli>(Clock::now() - Started).count(), ResidentKb()};
    [[maybe_unused]] const ssize_t n = write(ReportFd, &frame, sizeof frame);
}

bool CloseAfterFirstFrame(plat::device::Event& out, uint32_t timeoutMs) {
    if (!Reported) return Inner->waitEvent(out, timeoutMs);
    out = plat::device::Event{};
    out.kind = plat::device::EventKind::CloseRequest;
    return true;
}

[[noreturn]] void RunChild(const std::string& folder) {
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
    if (std::getenv("DISPLAY") == nullptr) setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Started = Clock::now();
    sdl::Options options;
    options.scale = 2;
    options.title = book::BookInfo.title;
    if (!sdl::Start(options)) _exit(2);
    Inner = &plat::device::Current();
    Measuring = *Inner;
    Measuring.present = PresentAndReport;
    Measuring.waitEvent = CloseAfterFirstFrame;
    plat::device::Install(&Measuring);
    const int code = shell::ReaderMain(plat::ShowNormal);
    sdl::Stop();
    _exit(code);
}

void BM_StartToFirstFrame(benchmark::State& state) {
    const std::string folder = (std::filesystem::temp_directory_path() / "mirewood-bench-desktop").string();
    double totalMs = 0, iterations = 0;
    long residentKb = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(folder);  // a fresh start each time: the opening sequence
        std::filesystem::create_directories(folder);
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            ReportFd = fds[1];
            RunChild(folder);
        }
        close(fds[1]);
        FirstFrame frame{};
        const bool got = read(fds[0], &frame, sizeof frame) == static_cast<ssize_t>(sizeof frame);
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!got) {
            state.SkipWithError("the reader showed no frame (is a display reachable?)");
            break;
        }
        state.SetIterationTime(frame.milliseconds / 1000.0);
        totalMs += frame.milliseconds;
        residentKb = frame.residentKb;
        ++iterations;
    }
    std::filesystem::remove_all(folder);
    if (iterations > 0) {
        state.counters["first_frame_ms"] = totalMs / iterations;
        state.counters["rss_MB"] = static_cast<double>(residentKb) / 1024.0;
    }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
