// The desktop reader's program entry: reads the command line, makes sure a display can be
// reached, starts the SDL device with the book's title, runs the reader and closes the
// device. Kept out of the engine library: tests and tools have entries of their own.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "book/tables.h"
#include "platform/sdl/sdl_device.h"
#include "shell/startup.h"

#ifndef MIREWOOD_VERSION
#define MIREWOOD_VERSION "unknown"
#endif

namespace {

constexpr int ExitNoDisplay = 1;
constexpr int ExitUsage = 2;

void PrintHelp() {
    std::fputs(
        "Usage: mirewood [--scale N]\n"
        "Reads the gamebook The Mirewood Vow in a window on your desktop, and keeps your\n"
        "place between runs.\n"
        "\n"
        "  --scale N   show the 240 x 320 screen N times larger (1 to 6); by default 2,\n"
        "              or 3 on a dense display. Resizing the window changes it too.\n"
        "  --help      show this help and leave\n"
        "  --version   show the version and leave\n"
        "\n"
        "The stylus is the mouse; the wheel and Page Up, Page Down, Home, End and the arrow\n"
        "keys scroll; Ctrl+Q or closing the window ends the reader. The reading state is kept\n"
        "in $XDG_STATE_HOME/mirewood (by default ~/.local/state/mirewood).\n",
        stdout);
}

int Usage(const char* problem, const char* what) {
    std::fprintf(stderr, "mirewood: %s%s\nTry 'mirewood --help' for more information.\n", problem, what);
    return ExitUsage;
}

static_assert(sdl::MaxShownScale == 6, "the usage messages name the largest scale");

bool ParseScale(const char* text, int32_t& scale) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || value < 1 || value > sdl::MaxShownScale) return false;
    scale = static_cast<int32_t>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    sdl::Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("mirewood %s\n", MIREWOOD_VERSION);
            return 0;
        }
        const char* value = nullptr;
        if (std::strcmp(arg, "--scale") == 0) {
            if (i + 1 >= argc) return Usage("--scale needs a number", "");
            value = argv[++i];
        } else if (std::strncmp(arg, "--scale=", 8) == 0) {
            value = arg + 8;
        } else {
            return Usage("unknown option ", arg);
        }
        if (!ParseScale(value, options.scale)) return Usage("--scale takes a whole number from 1 to 6: ", value);
    }

    constexpr char NoDisplay[] = "no display found: run it under a desktop session, or with xvfb-run ./dev read";
    if (!sdl::DisplayAvailable()) {
        std::fprintf(stderr, "mirewood: %s\n", NoDisplay);
        return ExitNoDisplay;
    }
    options.title = book::BookInfo.title;
    if (!sdl::Start(options)) {
        std::fprintf(stderr, "mirewood: %s\n(%s)\n", NoDisplay, sdl::Error());
        return ExitNoDisplay;
    }
    const int code = shell::ReaderMain(plat::ShowNormal);
    sdl::Stop();
    return code;
}
