#include "files/cp1252.h"

#include <gtest/gtest.h>

namespace forstrix::files {
namespace {

TEST(Cp1252, AsciiPassesUnchanged) {
    EXPECT_EQ(utf8_to_cp1252("Forstwirt\t1,23\tEuro/Fm\r\n"), "Forstwirt\t1,23\tEuro/Fm\r\n");
}

TEST(Cp1252, GermanLettersBecomeSingleBytes) {
    EXPECT_EQ(utf8_to_cp1252("ä ö ü Ä Ö Ü ß"), "\xE4 \xF6 \xFC \xC4 \xD6 \xDC \xDF");
    EXPECT_EQ(utf8_to_cp1252("Gesamtfläche der Maßnahme"), "Gesamtfl\xE4"
                                                             "che der Ma\xDFnahme");
}

TEST(Cp1252, TheSpecialRangeOfTheCodePage) {
    EXPECT_EQ(utf8_to_cp1252("€"), "\x80");
    EXPECT_EQ(utf8_to_cp1252("„Zitat“"), "\x84Zitat\x93");
    EXPECT_EQ(utf8_to_cp1252("–—…"), "\x96\x97\x85");
    EXPECT_EQ(utf8_to_cp1252("Ÿ"), "\x9F");
    EXPECT_EQ(utf8_to_cp1252("\u00A0\u00FF"), "\xA0\xFF");
}

TEST(Cp1252, WhatTheCodePageLacksBecomesAQuestionMark) {
    EXPECT_EQ(utf8_to_cp1252("Ā"), "?");        // U+0100
    EXPECT_EQ(utf8_to_cp1252("a😀b"), "a?b");    // four-byte sequence
    EXPECT_EQ(utf8_to_cp1252("\u0081"), "?");   // C1 control, not the undefined byte 0x81
}

TEST(Cp1252, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(utf8_to_cp1252("a\xC3"), "a?");           // cut off at the end
    EXPECT_EQ(utf8_to_cp1252("\xC3(x"), "?(x");          // no continuation byte
    EXPECT_EQ(utf8_to_cp1252("\xC0\xAF"), "??");         // overlong '/'
    EXPECT_EQ(utf8_to_cp1252("\xED\xA0\x80"), "???");    // surrogate
    EXPECT_EQ(utf8_to_cp1252("\xFF"), "?");
}

TEST(Cp1252, BackToUtf8) {
    EXPECT_EQ(cp1252_to_utf8("\xE4\xF6\xFC\xDF"), "äöüß");
    EXPECT_EQ(cp1252_to_utf8("\x80\x84\x93"), "€„“");
    EXPECT_EQ(cp1252_to_utf8("\x81"), "\uFFFD");
    EXPECT_EQ(cp1252_to_utf8("12.5"), "12.5");
}

TEST(Cp1252, EveryDefinedByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(one)), one) << "byte " << b;
    }
}

}  // namespace
}  // namespace forstrix::files
