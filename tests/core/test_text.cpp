// Numbers as text (f_check and the display formats), the trace of the
// machine-hour costs byte for byte, both under a German locale too, and the
// registry of named values.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "core/calc.h"
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
        {".", 0.0}, {",", 0.0}, {"0,00", 0.0}, {"160,7", 160.7}, {"0.2352430", 0.235243},
        {std::string(400, '9'), std::numeric_limits<double>::infinity()}, {"0," + std::string(400, '0') + "1", 0.0}};
    for (const auto& [text, value] : accepted) EXPECT_EQ(f_check(text), std::optional(value)) << text;
    for (const char* text : {"1,5,0", "1.5.0", "1.5,0", "-1", "+1", "1e5", "1E5", " 1", "1 ", "12a", "abc", "inf",
                             "nan", "0x10", "1\t", "1\xC3\xA4"})
        EXPECT_EQ(f_check(text), std::nullopt) << text;
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

TEST(Registry, NamesUniqueAndFindableDefaultsThoseOfTheState) {
    std::set<std::string_view> seen;
    const State s{};
    for (const ValueInfo& v : value_registry()) {
        EXPECT_TRUE(seen.insert(v.name).second) << "duplicate " << v.name;
        EXPECT_EQ(find_value(v.name), &v) << v.name;
        EXPECT_EQ(default_value(v), get_value(s, v)) << v.name;
    }
    EXPECT_EQ(find_value("gf_unknown"), nullptr);
    EXPECT_EQ(seen.size(), 11u + 7 + 5 + 6 + 6 + 1 + 23 + 7 + 7 * 21 + 54);  // every member of the State
}

}  // namespace
}  // namespace forstrix
