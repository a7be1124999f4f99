// headless_reader: runs the real reader (ReaderMain, with its start-up, message loop and
// state file) on the headless device, fed by a script of taps, keys, menu choices, clock
// waits, screenshots and checks (docs/headless-scripts.md). Exits with the reader's code,
// 3 when a check of the script failed, 2 for a bad command line or script.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "platform/headless/headless.h"
#include "platform/headless/script.h"
#include "shell/startup.h"

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitCheckFailed = 3;

struct Options {
    const char* script = nullptr;
    const char* data = nullptr;
    long scale = 1;
    long seed = -1;
};

int Usage(const std::string& message) {
    std::fprintf(stderr,
                 "headless_reader: %s\n"
                 "usage: headless_reader [--script <file>|-] [--data <folder>] [--scale 1|2|3] [--seed N]\n"
                 "  --script  the steps to run (default: none; the reader runs until it would wait\n"
                 "            for the user, then closes)\n"
                 "  --data    the folder of the state file (made if missing; default: a fresh\n"
                 "            temporary folder, so your own reading state is never touched)\n"
                 "  --scale   the screenshots' scale\n"
                 "  --seed    the seed of the random numbers, whatever the reader asks for\n",
                 message.c_str());
    return ExitUsage;
}

bool ParseNumber(const char* text, long low, long high, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == 0 && out >= low && out <= high;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (i + 1 >= argc) return Usage(std::string("missing value after ") + arg);
        const char* value = argv[++i];
        if (std::strcmp(arg, "--script") == 0) {
            options.script = value;
        } else if (std::strcmp(arg, "--data") == 0) {
            options.data = value;
        } else if (std::strcmp(arg, "--scale") == 0) {
            if (!ParseNumber(value, 1, 3, options.scale)) return Usage("--scale is 1, 2 or 3");
        } else if (std::strcmp(arg, "--seed") == 0) {
            if (!ParseNumber(value, 0, 0x7FFFFFFF, options.seed)) return Usage("--seed is a number from 0");
        } else {
            return Usage(std::string("unknown option ") + arg);
        }
    }

    std::string error;
    if (options.script != nullptr && !headless::script::Load(options.script, error)) {
        std::fprintf(stderr, "headless_reader: %s\n", error.c_str());
        return ExitUsage;
    }
    if (options.data != nullptr) {
        if (mkdir(options.data, 0700) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "headless_reader: cannot make the data folder %s: %s\n", options.data, std::strerror(errno));
            return ExitUsage;
        }
        headless::SetDataFolder(options.data);
    }
    headless::SetScale(static_cast<int32_t>(options.scale));
    if (options.seed >= 0) headless::FixRandomSeed(static_cast<uint32_t>(options.seed));

    headless::script::Start();
    const int code = shell::ReaderMain(plat::ShowNormal);
    headless::script::Finish();
    for (const headless::MessageBoxRecord& box : headless::MessageBoxes()) {
        std::string text, caption;
        for (char16_t c : box.text) text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        for (char16_t c : box.caption) caption.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        std::fprintf(stderr, "headless_reader: message box \"%s\": %s\n", caption.c_str(), text.c_str());
    }
    return headless::script::Failures() > 0 ? ExitCheckFailed : code;
}
