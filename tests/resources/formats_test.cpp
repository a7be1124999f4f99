// The resource format readers: the text formats' errors name the fault and its line, and
// damaged BMP, WAVE and icon files are refused without a read outside their bytes (every
// prefix of a good file is tried on an exact-size copy, so the sanitizer build sees overreads).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "platform/resource_formats.h"
#include "platform/resources.h"
#include "test_files.h"

using restest::Bytes;

namespace {

plat::FormatError ReadText(const std::string& kind, const std::string& text) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    const auto size = static_cast<uint32_t>(text.size());
    if (kind == "menu") {
        plat::MenuView v;
        return plat::ReadMenu(data, size, v);
    }
    if (kind == "menubar") {
        plat::MenuBarView v;
        return plat::ReadMenuBar(data, size, v);
    }
    plat::TextView v;
    return plat::ReadString(data, size, v);
}

std::string Repeat(const std::string& line, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += line;
    return out;
}

TEST(TextFormats, ReportTheFaultAndItsLine) {
    const std::string bar = "menu 102\nbitmap 421 images 6\n";
    const struct {
        const char* kind;
        std::string text;
        const char* message;
        int line;
    } cases[] = {
        {"menu", "item 500 \"A\"\n", "items come after the popup line", 1},
        {"menu", "popup \"&Menu\nitem 500 \"A\"\n", "unterminated quote", 1},
        {"menu", "popup \"M\"\nitem 0 \"A\"\n", "expected: item", 2},
        {"menu", "popup \"M\"\nitem 500 \"A\" B\n", "unexpected text", 2},
        {"menu", "popup \"M\"\npopup \"N\"\n", "one popup line", 2},
        {"menu", "popup \"M\"\n\"item 500\n", "unterminated quote", 2},
        {"menu", "popup \"M\"\n" + Repeat("item 500 \"A\"\n", 17), "too many menu items", 18},
        {"menu", "# nothing but a comment\n", "needs a popup line", 0},
        {"menu", "popup \"M\"\nitem 500 \"A\x01\"\n", "control character", 2},
        {"menubar", bar + "button 401\n", "needs a cell or a text", 3},
        {"menubar", bar + "button 401 cell 0 cell 1\n", "each at most once", 3},
        {"menubar", bar + "button 401 cell 300\n", "expected: cell", 3},
        {"menubar", bar + Repeat("button 510 cell 3\n", 17), "too many buttons", 19},
        {"menubar", "menu 102\nbutton 401 cell 0\n", "needs a menu line, a bitmap line", 0},
        {"menubar", "menu 102\nbitmap 421 6\n", "expected: bitmap", 2},
        {"menubar", "menu 102\nmenu 103\n", "named twice", 2},
        {"string", "text \"Menu\"\ntext \"Again\"\n", "holds one line", 2},
        {"string", "text Menu\n", "expected: text", 1},
        {"string", "", "holds one line", 0},
    };
    for (const auto& c : cases) {
        const plat::FormatError e = ReadText(c.kind, c.text);
        ASSERT_TRUE(e) << c.kind << ": " << c.text;
        EXPECT_NE(std::strstr(e.message, c.message), nullptr) << c.text << " gave: " << e.message;
        EXPECT_EQ(e.line, c.line) << c.text;
    }
}

TEST(TextFormats, AcceptCommentsBlankLinesTabsAndCrLf) {
    const std::string text = "# the bar\r\n\r\n\tmenu 102\r\nbitmap 421 images 6\r\n  # a button:\r\nbutton 401\ttext 411 dropdown\r\n";
    plat::MenuBarView bar;
    const plat::FormatError e = plat::ReadMenuBar(reinterpret_cast<const uint8_t*>(text.data()),
                                                  static_cast<uint32_t>(text.size()), bar);
    ASSERT_FALSE(e) << e.message << " at line " << e.line;
    ASSERT_EQ(bar.buttonCount, 1);
    EXPECT_EQ(bar.buttons[0].stringId, 411);
    EXPECT_TRUE(bar.buttons[0].dropDown);

    const std::string caption = "text \"a # is text inside quotes\"";  // no line end at all
    plat::TextView v;
    ASSERT_FALSE(plat::ReadString(reinterpret_cast<const uint8_t*>(caption.data()), static_cast<uint32_t>(caption.size()), v));
    EXPECT_EQ(std::string(v.text, static_cast<size_t>(v.length)), "a # is text inside quotes");
}

using Reader = std::function<plat::FormatError(const uint8_t*, uint32_t)>;

const Reader ReadBmp = [](const uint8_t* d, uint32_t n) {
    plat::BitmapView v;
    return plat::ReadBitmap(d, n, v);
};
const Reader ReadWav = [](const uint8_t* d, uint32_t n) {
    plat::WaveView v;
    return plat::ReadWave(d, n, v);
};
const Reader ReadIco = [](const uint8_t* d, uint32_t n) {
    int32_t count = 0;
    return plat::ReadIcon(d, n, count);
};

// Reads an exact-size heap copy, so that a read one byte too far is an error under ASan.
plat::FormatError ReadCopy(const Reader& read, const Bytes& bytes, size_t size) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    std::memcpy(copy.get(), bytes.data(), size);
    return read(copy.get(), static_cast<uint32_t>(size));
}

Bytes With32(Bytes b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
}

TEST(BinaryFormats, RefuseDamagedFilesWithAReason) {
    const Bytes icon = [] {
        const plat::ResourceEntry* e = plat::FindResource(plat::ResourceType::Icon, 420);
        return e ? Bytes(e->data, e->data + e->size) : Bytes{};
    }();
    ASSERT_FALSE(icon.empty());
    Bytes pngIcon = icon;
    const size_t firstImage = icon[18] | icon[19] << 8;  // the first directory entry's offset
    std::memcpy(&pngIcon[firstImage], "\x89PNG", 4);
    Bytes noData = restest::MakeWave();
    std::memcpy(&noData[36], "junk", 4);
    const struct {
        const char* what;
        const Reader& read;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"top-down bitmap", ReadBmp, restest::MakeBmp(-2), "top-down"},
        {"RLE bitmap", ReadBmp, restest::MakeBmp(2, 8, 1), "compressed"},
        {"16-bit bitmap", ReadBmp, restest::MakeBmp(2, 16), "unsupported bit depth"},
        {"palette of 300", ReadBmp, With32(restest::MakeBmp(), 46, 300), "palette larger"},
        {"old header", ReadBmp, With32(restest::MakeBmp(), 14, 12), "not a BITMAPINFOHEADER"},
        {"pixels beyond the end", ReadBmp, With32(restest::MakeBmp(), 10, 5000), "offset out of range"},
        {"not a bitmap", ReadBmp, Bytes(60, 'x'), "not a BMP"},
        {"stereo", ReadWav, restest::MakeWave(1, 2), "not mono"},
        {"24 bits", ReadWav, restest::MakeWave(1, 1, 24), "not 8 or 16 bits"},
        {"float samples", ReadWav, restest::MakeWave(3), "only uncompressed PCM"},
        {"no data chunk", ReadWav, noData, "without a data chunk"},
        {"chunk past the end", ReadWav, With32(restest::MakeWave(), 40, 1000), "past the end"},
        {"PNG in an icon", ReadIco, pngIcon, "PNG images"},
        {"icon without images", ReadIco, Bytes{0, 0, 1, 0, 0, 0}, "without images"},
    };
    for (const auto& c : cases) {
        const plat::FormatError e = ReadCopy(c.read, c.bytes, c.bytes.size());
        ASSERT_TRUE(e) << c.what;
        EXPECT_NE(std::strstr(e.message, c.message), nullptr) << c.what << " gave: " << e.message;
    }
}

TEST(BinaryFormats, RefuseEveryTruncatedFile) {
    const plat::ResourceEntry* icon = plat::FindResource(plat::ResourceType::Icon, 420);
    ASSERT_NE(icon, nullptr);
    const struct {
        const char* what;
        const Reader& read;
        Bytes bytes;
    } files[] = {
        {"1-bit bitmap", ReadBmp, restest::MakeBmp(3, 1)},
        {"24-bit bitmap", ReadBmp, restest::MakeBmp(3, 24)},
        {"wave", ReadWav, restest::MakeWave()},
        {"icon 420", ReadIco, Bytes(icon->data, icon->data + icon->size)},
    };
    for (const auto& f : files) {
        ASSERT_FALSE(ReadCopy(f.read, f.bytes, f.bytes.size())) << f.what << " whole";
        for (size_t size = 0; size < f.bytes.size(); ++size)
            ASSERT_TRUE(ReadCopy(f.read, f.bytes, size)) << f.what << " cut to " << size << " bytes";
    }
}

}  // namespace
