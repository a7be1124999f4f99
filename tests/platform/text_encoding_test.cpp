// Widen and Narrow: the Windows-1252 mapping and the capacity limits.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

TEST(TextEncoding, WidensWindows1252Bytes) {
    struct Case {
        uint8_t byte;
        char16_t expected;
    };
    const Case cases[] = {
        {0x41, u'A'},      {0x85, u'\u2026'}, {0x91, u'\u2018'}, {0x92, u'\u2019'}, {0x80, u'\u20AC'},
        {0x9F, u'\u0178'}, {0x81, u'\u0081'}, {0xA0, u'\u00A0'}, {0xE7, u'\u00E7'}, {0xE9, u'\u00E9'},
        {0xEF, u'\u00EF'}, {0xFF, u'\u00FF'},
    };
    for (const Case& c : cases) {
        const char text[2] = {static_cast<char>(c.byte), 0};
        char16_t out[4] = {};
        EXPECT_EQ(plat::Widen(text, out, 4), 1) << std::hex << int(c.byte);
        EXPECT_EQ(out[0], c.expected) << std::hex << int(c.byte);
        EXPECT_EQ(out[1], 0);

        char back[4] = {};
        EXPECT_EQ(plat::Narrow(out, back, 4), 1);
        EXPECT_EQ(static_cast<uint8_t>(back[0]), c.byte) << "round trip of " << std::hex << int(c.byte);
    }
}

TEST(TextEncoding, CutsAtTheCapacity) {
    char16_t out[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(plat::Widen("abcdef", out, 4), 3);
    EXPECT_EQ(std::u16string(out), u"abc");
    EXPECT_EQ(plat::Widen("abc", out, 0), 0);
    EXPECT_EQ(out[0], u'a');  // nothing written without room for the terminator

    char narrow[3];
    EXPECT_EQ(plat::Narrow(u"abc", narrow, 3), 2);
    EXPECT_STREQ(narrow, "ab");
}

TEST(TextEncoding, WidenCountKeepsZerosAndTerminates) {
    const char text[4] = {'a', 0, static_cast<char>(0x85), 'b'};
    char16_t out[5] = {u'x', u'x', u'x', u'x', u'x'};
    plat::WidenCount(text, 4, out);
    EXPECT_EQ(out[0], u'a');
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], u'\u2026');
    EXPECT_EQ(out[3], u'b');
    EXPECT_EQ(out[4], 0);
}

TEST(TextEncoding, NarrowsUnmappableCharactersToQuestionMarks) {
    char out[8];
    EXPECT_EQ(plat::Narrow(u"a\u4E2D\u2014", out, 8), 3);
    EXPECT_EQ(out[0], 'a');
    EXPECT_EQ(out[1], '?');
    EXPECT_EQ(static_cast<uint8_t>(out[2]), 0x97);
}

}  // namespace
