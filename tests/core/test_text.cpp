// Numbers as text (f_check and the display formats), the trace of the
// machine-hour costs byte for byte, both under a German locale too, and the
// registry of named values.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/calc.h"
#include "core/checks.h"
#include "core/message_text.h"
#include "core/numtext.h"
#include "support.h"

// glibc keeps the LOCPATH search list that setlocale builds for the rest of
// the process; LeakSanitizer would report it.
extern "C" const char* __lsan_default_suppressions() { return "leak:argz_add_sep\n"; }

namespace forstrix {
namespace {

TEST(FCheck, ReadsAsTheDialogsDo) {
    const std::pair<std::string, double> accepted[] = {
        {"", 0.0}, {"12", 12.0}, {"1,5", 1.5}, {"1.5", 1.5}, {"0012", 12.0}, {",5", 0.5}, {"5,", 5.0},
        {"0,00", 0.0}, {"160,7", 160.7}, {"0.2352430", 0.235243}, {"0," + std::string(400, '0') + "1", 0.0},
        {std::string(308, '9'), 1e308}, {"0" + std::string(308, '9') + ",5", 1e308}};
    for (const auto& [text, value] : accepted) EXPECT_EQ(f_check(text), std::optional(value)) << text;
    // A lone separator is a slip, not a 0 (an empty field is the 0); a value
    // beyond every double would make every cost infinite.
    for (const std::string& text : std::vector<std::string>{"1,5,0", "1.5.0", "1.5,0", "-1", "+1", "1e5", "1E5", " 1", "1 ", "12a", "abc",
                                   "inf", "nan", "0x10", "1\t", "1\xC3\xA4", ".", ",", std::string(309, '9'),
                                   std::string(400, '9') + ",5", "1" + std::string(400, '0')})
        EXPECT_EQ(f_check(text), std::nullopt) << text;
    // Random digits around one separator read as the library reads them,
    // on both sides of the 15 digits that the short path takes.
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const std::size_t length = 1 + rng() % 24;
        for (std::size_t k = 0; k < length; ++k) text += static_cast<char>('0' + rng() % (k < 3 ? 2 : 10));
        if (rng() % 4 != 0) text.insert(rng() % (text.size() + 1), 1, '.');
        double want = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), want);
        ASSERT_EQ(f_check(text), std::optional(want)) << text;
    }
}

// The display formats, whatever the locale.
void expect_formats() {
    const std::pair<std::string, const char*> rows[] = {
        {format_fixed(450.0, 2), "450.00"}, {format_fixed(6.625667, 2), "6.63"},
        {format_fixed(6.325, 2), "6.33"},  // 6.3250000000000002 in binary
        {format_fixed(2.675, 2), "2.67"},  // 2.6749999999999998
        {format_fixed(0.235243, 4), "0.2352"}, {format_fixed(2.5, 0), "2"}, {format_fixed(-52.0714, 2), "-52.07"},
        {format_fixed(-0.001, 2), "-0.00"}, {format_fixed(1e20, 2), "100000000000000000000.00"},
        {format_comma(450.0, 2), "450,00"}, {format_comma(0.0, 4), "0,0000"}, {format_comma(18.909077, 2), "18,91"},
        {format_whole(150.7), "150"}, {format_whole(11000.0), "11000"}, {format_whole(-1.9), "-1"},
        {format_whole(-0.5), "0"}, {format_whole(1e12 + 0.5), "1000000000000"}, {format_shortest(20.0), "20"},
        {format_shortest(137.93), "137.93"}, {format_shortest(1.0 / 3.0), "0.3333333333333333"},
        {format_shortest(0.0), "0"}};
    for (const auto& [got, want] : rows) EXPECT_EQ(got, want);
    for (double v : {20.834012345678901, 0.1, 45.283677685950414, 1e-300, 1.7976931348623157e308}) {
        const std::string text = format_shortest(v);
        double back = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, v) << text << " reads back exactly";
    }
}

TEST(Formats, Text) { expect_formats(); }

// The fast fixed-notation writer of the batch tables must give the library's
// text byte for byte: for random doubles of every size around and inside its
// range, for short decimals as tables hold them (and the ties between two
// shortest texts that they provoke), and at the edges of its range.
TEST(Formats, FixedShortestEqualsTheLibrary) {
    std::vector<double> values = {0.0, -0.0, 1e-3, 0.1, 0.2, 0.3, 0.5, 1.0, 9.5, 10.0, 0.999999999999999,
                                  1e15, 0x1p52 - 0.5, 0x1p52, 0x1p53 + 2, 1e23, 5e-324, 2.2250738585072014e-308,
                                  1.7976931348623157e308, std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(), 1818.1208000000001, 4.5200000000000005};
    for (int e = -12; e <= 54; ++e) {
        const double p2 = std::ldexp(1.0, e);
        values.insert(values.end(), {p2, std::nextafter(p2, 0.0), std::nextafter(p2, 1e300)});
    }
    for (double p10 = 1e-4; p10 < 1e17; p10 *= 10)
        values.insert(values.end(), {p10, std::nextafter(p10, 0.0), std::nextafter(p10, 1e300)});
    std::mt19937_64 rng(20261206);
    for (int i = 0; i < 300000; ++i) {
        // Any bit pattern from about 1e-5 to 1e17.
        const std::uint64_t exponent = 1006 + rng() % 52;
        values.push_back(std::bit_cast<double>((exponent << 52) | (rng() >> 12)));
        // A decimal of up to nine digits with up to eight decimals.
        const double digits = static_cast<double>(rng() % 1000000000);
        values.push_back(digits / std::pow(10.0, static_cast<double>(rng() % 9)));
    }
    std::array<char, kMaxFixedChars> want{}, got{};
    int differences = 0;
    for (const double v0 : values)
        for (const double v : {v0, -v0}) {
            const auto w = std::to_chars(want.data(), want.data() + want.size(), v, std::chars_format::fixed);
            const char* g = write_fixed_shortest(got.data(), v, '.');
            const std::string_view a(want.data(), w.ptr), b(got.data(), g);
            if (a != b && ++differences <= 10) ADD_FAILURE() << "library " << a << ", ours " << b;
        }
    EXPECT_EQ(differences, 0);
    const auto comma = [&](double v) { return std::string(got.data(), write_fixed_shortest(got.data(), v, ',')); };
    EXPECT_EQ(comma(1234.5), "1234,5");
    EXPECT_EQ(comma(-0.0625), "-0,0625");
    EXPECT_EQ(comma(1e-7), "0,0000001");
    EXPECT_EQ(comma(42.0), "42");
}

struct Recorder : TraceSink {
    std::string text;
    int writes = 0;
    void write(std::string_view t) override {
        text.append(t);
        ++writes;
    }
};

// The start-up's trace with the default basics ("ä" of Motorsäge in UTF-8);
// the harvester has no heading, the yarder no empty line at the end.
const char* const kDefaultTrace =
    "Kalkuliere Motors\xC3\xA4ge\n0.80\n1.75\n3.67\n0.11\n0.30\n6.63\n0.11\n\n"
    "Kalkuliere Agrarschlepper\n10.00\n4.96\n4.00\n6.32\n1.00\n14.00\n5.00\n-> 45.28\n\n"
    "30.00\n33.00\n9.00\n20.93\n2.25\n31.50\n11.25\n-> 137.93\n\n"
    "Kalkuliere Forwarder\n16.47\n14.82\n5.60\n12.42\n1.40\n19.60\n7.00\n-> 77.31\n\n"
    "Kalkuliere Harvester mit FSA\n23.33\n25.67\n7.00\n20.93\n1.75\n24.50\n8.75\n-> 111.93\n\n"
    "Kalkuliere Hang-Harvester\n34.67\n38.13\n10.40\n20.93\n2.60\n36.40\n13.00\n-> 156.13\n\n"
    "Kalkuliere Hang-Forwarder\n19.41\n17.47\n6.60\n12.42\n1.65\n23.10\n8.25\n.> 88.90\n\n"
    "Kalkuliere Mobilkran\n50.00\n60.00\n20.00\n24.15\n5.00\n70.00\n25.00\n-> 254.15\n";

void expect_default_trace() {
    State s{};
    Recorder r;
    startup_compute(s, &r);
    EXPECT_EQ(r.text, kDefaultTrace);
    EXPECT_EQ(r.writes, 8);  // one piece per machine kind
}

TEST(Trace, ExactBytesOfTheStartUp) { expect_default_trace(); }

TEST(GermanLocale, ChangesNothing) {
    ASSERT_TRUE(test::german_locale()) << "the locale de_DE.UTF-8 is not available";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2f", 1.5);
    EXPECT_STREQ(buf, "1,50");  // the locale is really in force
    expect_formats();
    EXPECT_EQ(f_check("1.000"), 1.0);  // a point is never a thousands separator
    expect_default_trace();
    std::locale::global(std::locale::classic());
}

// What a message makes of a value from outside: one line, nothing a
// terminal acts on, bounded in length.
TEST(Printable, EscapesControlsAndShortens) {
    const struct {
        const char* name;
        std::string in;
        std::size_t max;
        std::string out;
    } rows[] = {
        {"PlainTextStays", "gf_vab 30,5 Höhe", 60, "gf_vab 30,5 Höhe"},
        {"LineEndsAndTab", "a\r\nb\tc", 60, "a\\r\\nb\\tc"},
        {"EscapeSequence", "\x1b[2J\x1b]0;x\x07", 60, "\\x1B[2J\\x1B]0;x\\x07"},
        {"DeleteAndNul", std::string("a\x7f") + '\0' + "b", 60, "a\\x7F\\x00b"},
        {"C1ControlInUtf8", "a\xC2\x9B" "31m", 60, "a\\x9B31m"},
        {"Windows1252Umlaut", "M\xFCller", 60, "Müller"},
        {"StrayHighByte", "a\x85z", 60, "a\\x85z"},
        {"OverlongUtf8ReadAs1252", "\xC0\xAF", 60, "À¯"},
        {"TruncatedUtf8ReadAs1252", "ab\xE2\x82", 60, "abâ\\x82"},
        {"SurrogateReadAs1252", "\xED\xA0\x80", 60, "í\u00A0\\x80"},
        {"Overlong3ReadAs1252", "\xE0\x80\xAF", 60, "à\\x80¯"},
        {"BeyondU10FFFFReadAs1252", "\xF4\x90\x80\x80", 60, "ô\\x90\\x80\\x80"},
        {"FourByteUtf8Stays", "\xF0\x9F\x8C\xB2", 60, "\xF0\x9F\x8C\xB2"},
        {"CutCountsCharacters", "äöüäöü", 3, "äöü… (6 Zeichen)"},
        {"ExactlyTheLimit", "abc", 3, "abc"},
        {"LongValue", std::string(100000, 'x'), 5, "xxxxx… (100000 Zeichen)"},
    };
    for (const auto& row : rows) EXPECT_EQ(printable(row.in, row.max), row.out) << row.name;
}

TEST(Registry, NamesUniqueAndFindableDefaultsThoseOfTheState) {
    std::set<std::string_view> seen;
    const State s{};
    for (const ValueInfo& v : value_registry()) {
        EXPECT_TRUE(seen.insert(v.name).second) << "duplicate " << v.name;
        EXPECT_EQ(find_value(v.name), &v) << v.name;
        EXPECT_EQ(default_value(v), get_value(s, v)) << v.name;
        // Every value a user sets has its range, and its default lies in it.
        EXPECT_EQ(value_range(v) != nullptr, v.settable()) << v.name;
        if (v.settable()) { EXPECT_EQ(check_value(v, default_value(v)), std::nullopt) << v.name; }
    }
    EXPECT_EQ(find_value("gf_unknown"), nullptr);
    EXPECT_EQ(seen.size(), 11u + 7 + 5 + 6 + 6 + 1 + 2 + 23 + 7 + 7 * 21 + 54 + 18);  // every member of the State
}

}  // namespace
}  // namespace forstrix
