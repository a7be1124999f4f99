// screenshot: renders a paragraph of the linked book with the real page layout on the
// headless device and writes it as a PNG, so writers and developers see a page as a reader
// would. Usage: screenshot [--book <name>] --paragraph N [--scale 1|2|3] [--screen] [--out file.png]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/screenshot/page_window.h"
#include "tools/screenshot/png_file.h"

#ifndef MIREWOOD_SCREENSHOT_BOOK
#define MIREWOOD_SCREENSHOT_BOOK "mirewood"
#endif

namespace {

struct Options {
    std::string book = MIREWOOD_SCREENSHOT_BOOK;
    long paragraph = 0;
    long scale = 1;
    bool wholeScreen = false;
    std::string out;
};

int Usage(const char* message) {
    std::fprintf(stderr,
                 "screenshot: %s\n"
                 "usage: screenshot [--book <name>] --paragraph N [--scale 1|2|3] [--screen] [--out file.png]\n"
                 "  --screen   the whole 240 x 320 screen instead of the page\n",
                 message);
    return 2;
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
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(arg, "--screen") == 0) {
            options.wholeScreen = true;
            continue;
        }
        if (value == nullptr) return Usage((std::string("missing value after ") + arg).c_str());
        ++i;
        if (std::strcmp(arg, "--book") == 0) {
            if (options.book != value) {
                std::fprintf(stderr, "screenshot: this screenshot tool shows the book \"%s\"; for \"%s\" use screenshot_%s\n",
                             options.book.c_str(), value, value);
                return 2;
            }
        } else if (std::strcmp(arg, "--paragraph") == 0) {
            if (!ParseNumber(value, 1, 713, options.paragraph)) return Usage("the paragraph is a number from 1 to 713");
        } else if (std::strcmp(arg, "--scale") == 0) {
            if (!ParseNumber(value, 1, 3, options.scale)) return Usage("the scale is 1, 2 or 3");
        } else if (std::strcmp(arg, "--out") == 0) {
            options.out = value;
        } else {
            return Usage((std::string("unknown option ") + arg).c_str());
        }
    }
    if (options.paragraph == 0) return Usage("which paragraph? (--paragraph N)");
    if (options.out.empty()) {
        options.out = options.book + "-" + std::to_string(options.paragraph) + "@" + std::to_string(options.scale) + "x.png";
    }

    plat::WindowId window = screenshot::OpenPageWindow(static_cast<int32_t>(options.scale));
    if (window == plat::NoWindow) {
        std::fprintf(stderr, "screenshot: the page window could not be made\n");
        return 1;
    }
    screenshot::ShowParagraph(window, static_cast<int16_t>(options.paragraph));
    plat::Rect area = options.wholeScreen ? plat::Rect{0, 0, plat::ScreenWidth, plat::ScreenHeight}
                                          : screenshot::ClientOnScreen(window);
    screenshot::Image image = screenshot::CaptureScreen(area);
    screenshot::ClosePageWindow(window);
    if (!screenshot::WritePng(options.out.c_str(), image)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", options.out.c_str());
        return 1;
    }
    std::printf("%s\n", options.out.c_str());
    return 0;
}
