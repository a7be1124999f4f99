// The golden page: paragraph 200 of the page_layout fixture (title, bold, centred and
// right-aligned lines, tabs, a blank line, an inline and a block picture) rendered at scales
// 1 and 3 and compared pixel by pixel with the committed images.
// Refresh them with MIREWOOD_UPDATE_GOLDEN=1 after a change that is meant to show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/screenshot/page_window.h"
#include "tools/screenshot/png_file.h"

namespace {

std::string Hex(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", rgb);
    return text;
}

// Describes how two images differ: how many pixels, and the first few of them.
std::string Differences(const screenshot::Image& expected, const screenshot::Image& actual) {
    if (expected.width != actual.width || expected.height != actual.height) {
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + ", golden " +
               std::to_string(expected.width) + "x" + std::to_string(expected.height);
    }
    int32_t count = 0;
    std::string first;
    for (int32_t y = 0; y < actual.height; ++y) {
        for (int32_t x = 0; x < actual.width; ++x) {
            size_t i = static_cast<size_t>(y) * actual.width + x;
            if (expected.pixels[i] == actual.pixels[i]) continue;
            if (++count <= 10) {
                first += " (" + std::to_string(x) + "," + std::to_string(y) + ") " + Hex(actual.pixels[i]) +
                         " not " + Hex(expected.pixels[i]) + ";";
            }
        }
    }
    if (count == 0) return "";
    return std::to_string(count) + " pixels differ, first:" + first;
}

TEST(PageGolden, Paragraph200MatchesItsImagesAtScales1And3) {
    const bool update = std::getenv("MIREWOOD_UPDATE_GOLDEN") != nullptr;
    for (int32_t scale : {1, 3}) {
        SCOPED_TRACE(scale);
        plat::WindowId window = screenshot::OpenPageWindow(scale);
        ASSERT_NE(window, plat::NoWindow);
        screenshot::ShowParagraph(window, 200);
        screenshot::Image actual = screenshot::CaptureScreen(screenshot::ClientOnScreen(window));
        screenshot::ClosePageWindow(window);

        const std::string golden = std::string(MIREWOOD_GOLDEN_DIR) + "/page_layout-200@" + std::to_string(scale) + "x.png";
        if (update) {
            ASSERT_TRUE(screenshot::WritePng(golden.c_str(), actual)) << golden;
            continue;
        }
        screenshot::Image expected;
        ASSERT_TRUE(screenshot::ReadPng(golden.c_str(), expected))
            << golden << " cannot be read; make it with MIREWOOD_UPDATE_GOLDEN=1";
        std::string differences = Differences(expected, actual);
        if (!differences.empty()) {
            const std::string failed = std::string(MIREWOOD_TEST_OUTPUT_DIR) + "/page_layout-200@" + std::to_string(scale) + "x.actual.png";
            screenshot::WritePng(failed.c_str(), actual);
            ADD_FAILURE() << golden << ": " << differences << "\nthis run's image: " << failed
                          << "\nif the change is meant, refresh with MIREWOOD_UPDATE_GOLDEN=1";
        }
    }
}

}  // namespace
