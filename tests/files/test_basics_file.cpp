#include "files/basics_file.h"

#include <array>
#include <csignal>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include "core/machines.h"
#include "core/numtext.h"
#include "core/registry.h"
#include "scenarios.h"
#include "test_util.h"

namespace forstrix::files {
namespace {

using test::read_file;
using test::ScratchDir;
using test::write_file;
namespace fs = std::filesystem;

const std::string kLoadFailure = "Kalkulationsgrundlagen (daten.klg)\nkönnen nicht geladen werden!";
const std::string kSaveFailure = "Kalkulationsgrundlagen können\nnicht gespeichert werden!";

// The lines of a text, without their CR LF.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(text.substr(pos));
            break;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = line.find('\t', pos);
        out.push_back(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos));
        if (tab == std::string::npos) break;
        pos = tab + 1;
    }
    return out;
}

std::string join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// Every value of two states bitwise equal (the whole calculation state, not
// only the basics).
void expect_same_state(const State& a, const State& b) {
    for (const ValueInfo& v : value_registry()) {
        const double x = get_value(a, v);
        const double y = get_value(b, v);
        EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << v.name << ": " << x << " != " << y;
    }
}

// A state whose every basic differs from the default, so that a load shows.
State other_basics() {
    State s;
    for (const ValueInfo& v : value_registry()) {
        if (v.kind == ValueKind::ChainsawBasic || v.kind == ValueKind::MachineBasic)
            set_value(s, v, get_value(s, v) + 1.0);
    }
    return s;
}

// ------------------------------------------------------------- writing

TEST(BasicsText, DefaultsMatchTheGoldenFile) {
    test::expect_golden("daten_default.klg", basics_text(State{}));
}

TEST(BasicsText, DefaultsAsThePartDescribesThem) {
    const std::vector<std::string> lines = lines_of(basics_text(State{}));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].rfind("1100.000000\t1300.000000\t10.000000\t450.000000\t", 0), 0u) << lines[0];
    EXPECT_TRUE(lines[0].ends_with("\t50.000000")) << lines[0];
    EXPECT_EQ(lines[1].rfind("3.0000\t0.6000\t0.1000\t1.0000\t", 0), 0u) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("\t0.3000")) << lines[1];
    EXPECT_EQ(lines[3].rfind("100.0000\t10.0000\t11000.0000\t", 0), 0u) << lines[3];
}

TEST(BasicsText, TenLinesOfTabSeparatedNumbersEndingInCrLf) {
    const std::string text = basics_text(other_basics());
    EXPECT_TRUE(text.ends_with("\r\n"));
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    const std::vector<std::string> lines = lines_of(text);
    ASSERT_EQ(lines.size(), 10u);
    const std::array<std::size_t, 10> counts = {11, 12, 12, 13, 13, 13, 13, 13, 13, 13};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> fields = fields_of(lines[i]);
        ASSERT_EQ(fields.size(), counts[i]) << "line " << i + 1;
        for (const std::string& f : fields) {
            const std::size_t point = f.find('.');
            ASSERT_NE(point, std::string::npos) << f;
            EXPECT_EQ(f.size() - point - 1, i == 0 ? 6u : 4u) << "line " << i + 1 << ": " << f;
            EXPECT_EQ(f.find_first_not_of("0123456789."), std::string::npos) << f;
        }
    }
    EXPECT_EQ(lines[1], lines[2]);
}

TEST(BasicsText, FieldsInTheOrderOfThePart) {
    State s;
    // Line 1: msc5 6 7 8 10 11 12 13 14 15 21; lines 2 and 3: msc9 16 17 18 19 20 22 ... 27.
    const std::array<double State::*, 11> line1 = {&State::gf_msc5,  &State::gf_msc6,  &State::gf_msc7,
                                                   &State::gf_msc8,  &State::gf_msc10, &State::gf_msc11,
                                                   &State::gf_msc12, &State::gf_msc13, &State::gf_msc14,
                                                   &State::gf_msc15, &State::gf_msc21};
    const std::array<double State::*, 12> line2 = {
        &State::gf_msc9,  &State::gf_msc16, &State::gf_msc17, &State::gf_msc18, &State::gf_msc19, &State::gf_msc20,
        &State::gf_msc22, &State::gf_msc23, &State::gf_msc24, &State::gf_msc25, &State::gf_msc26, &State::gf_msc27};
    int n = 0;
    for (auto f : line1) s.*f = 101 + n++;
    n = 0;
    for (auto f : line2) s.*f = 201 + n++;
    // Lines 4..10: asb, hab, fob, hhb, hfsab, hfb, mskb, each rows 44..56.
    const std::array<std::string_view, 7> order = {"asb", "hab", "fob", "hhb", "hfsab", "hfb", "mskb"};
    for (std::size_t k = 0; k < order.size(); ++k) {
        for (int row = 44; row <= 56; ++row) {
            const ValueInfo* v = find_value("gf_" + std::string(order[k]) + std::to_string(row));
            ASSERT_NE(v, nullptr);
            set_value(s, *v, static_cast<double>(1000 * (k + 4) + static_cast<std::size_t>(row)));
        }
    }
    const std::vector<std::string> lines = lines_of(basics_text(s));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "101.000000\t102.000000\t103.000000\t104.000000\t105.000000\t106.000000\t107.000000\t"
                        "108.000000\t109.000000\t110.000000\t111.000000");
    const std::string l2 = "201.0000\t202.0000\t203.0000\t204.0000\t205.0000\t206.0000\t207.0000\t208.0000\t"
                           "209.0000\t210.0000\t211.0000\t212.0000";
    EXPECT_EQ(lines[1], l2);
    EXPECT_EQ(lines[2], l2);
    for (std::size_t line = 4; line <= 10; ++line) {
        std::string want;
        for (int row = 44; row <= 56; ++row) {
            if (row > 44) want += '\t';
            want += std::to_string(1000 * line + static_cast<std::size_t>(row)) + ".0000";
        }
        EXPECT_EQ(lines[line - 1], want) << "line " << line;
    }
}

TEST(BasicsText, MachineLinesFollowTheOneMachineDescription) {
    const State s = other_basics();
    const std::vector<std::string> lines = lines_of(basics_text(s));
    for (const MachineKind& k : kMachineKinds) {
        const std::vector<std::string> fields = fields_of(lines[static_cast<std::size_t>(k.file_line - 1)]);
        ASSERT_EQ(fields.size(), 13u);
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(fields[static_cast<std::size_t>(i)], format_fixed(s.*k.basics[static_cast<std::size_t>(i)], 4))
                << k.stem << " row " << 44 + i;
    }
}

TEST(BasicsText, RoundsAsTheFormatsDo) {
    State s;
    s.gf_msc5 = 1234.56789049;  // six decimals
    s.gf_msc9 = 2.99995;        // four decimals: 3.0000 (2.99995 is slightly above in binary)
    s.gf_hab44 = 451.23456;
    const std::vector<std::string> lines = lines_of(basics_text(s));
    EXPECT_EQ(fields_of(lines[0])[0], "1234.567890");
    EXPECT_EQ(fields_of(lines[1])[0], format_fixed(2.99995, 4));
    EXPECT_EQ(fields_of(lines[4])[0], "451.2346");
}

// ------------------------------------------------------------- round trip

TEST(BasicsRoundTrip, DefaultsSurviveUnchanged) {
    State loaded = other_basics();
    ASSERT_TRUE(parse_basics(basics_text(State{}), loaded).ok());
    for (const ValueInfo& v : value_registry()) {
        if (v.kind == ValueKind::ChainsawBasic || v.kind == ValueKind::MachineBasic) {
            EXPECT_EQ(get_value(loaded, v), get_value(State{}, v)) << v.name;
        }
    }
}

TEST(BasicsRoundTrip, ValuesComeBackAsTheFormatsRoundThem) {
    State original;
    int n = 0;
    for (const ValueInfo& v : value_registry()) {
        if (v.kind == ValueKind::ChainsawBasic || v.kind == ValueKind::MachineBasic) {
            // Awkward decimals, none rounding to 0, the totals stay positive.
            if (v.name.ends_with("53")) continue;  // residual value: keep 0
            set_value(original, v, get_value(original, v) * (1.0 + 0.0123456789 * (++n % 7)) + 0.000123456);
        }
    }
    State loaded = other_basics();
    const Outcome r = parse_basics(basics_text(original), loaded);
    ASSERT_TRUE(r.ok()) << r.message;
    const std::array<double State::*, 11> line1 = {&State::gf_msc5,  &State::gf_msc6,  &State::gf_msc7,
                                                   &State::gf_msc8,  &State::gf_msc10, &State::gf_msc11,
                                                   &State::gf_msc12, &State::gf_msc13, &State::gf_msc14,
                                                   &State::gf_msc15, &State::gf_msc21};
    for (const ValueInfo& v : value_registry()) {
        if (v.kind != ValueKind::ChainsawBasic && v.kind != ValueKind::MachineBasic) continue;
        bool six = false;
        for (auto f : line1) six = six || f == v.d;
        const double want = *f_check(format_fixed(get_value(original, v), six ? 6 : 4));
        EXPECT_EQ(get_value(loaded, v), want) << v.name;
    }
    // A second save of the loaded values gives the same bytes.
    EXPECT_EQ(basics_text(loaded), basics_text(original));
}

TEST(BasicsRoundTrip, OnlyTheBasicsChange) {
    State s = test::default_scenario();
    State before = s;
    State source = other_basics();
    ASSERT_TRUE(parse_basics(basics_text(source), s).ok());
    // Everything but the 126 basics is as before: stand, wages, gf_ss,
    // machine costs (the caller recomputes them), results.
    for (const ValueInfo& v : value_registry()) {
        if (v.kind == ValueKind::ChainsawBasic || v.kind == ValueKind::MachineBasic) {
            EXPECT_EQ(get_value(s, v), get_value(source, v)) << v.name;
        } else {
            EXPECT_EQ(get_value(s, v), get_value(before, v)) << v.name;
        }
    }
}

TEST(BasicsRoundTrip, ThroughAFile) {
    ScratchDir dir;
    const State source = other_basics();
    ASSERT_TRUE(write_basics(dir / "daten.klg", source).ok());
    EXPECT_EQ(read_file(dir / "daten.klg"), basics_text(source));
    State loaded;
    ASSERT_TRUE(read_basics(dir / "daten.klg", loaded).ok());
    expect_same_state(loaded, [&] {
        State want;
        for (const ValueInfo& v : value_registry())
            if (v.kind == ValueKind::ChainsawBasic || v.kind == ValueKind::MachineBasic)
                set_value(want, v, get_value(source, v));
        return want;
    }());
}

// ------------------------------------------------------------- reading

TEST(BasicsRead, AcceptsLfAndCrLfAndAnyWhiteSpace) {
    const std::string crlf = basics_text(other_basics());
    std::string lf, one_line, spaced;
    for (char c : crlf)
        if (c != '\r') lf += c;
    for (char c : lf) one_line += c == '\n' ? ' ' : c;
    for (char c : crlf) spaced += c == '\t' ? std::string(" \t \v\f ") : std::string(1, c);
    const std::size_t middle = lf.find('\t', lf.size() / 2);  // between two numbers
    std::string mixed = "\r\n\n  " + lf.substr(0, middle) + "\r\n\r\n" + lf.substr(middle);
    std::string no_final_newline = crlf.substr(0, crlf.size() - 2);
    std::string lone_cr;
    for (char c : lf) lone_cr += c == '\n' ? '\r' : c;

    State want;
    ASSERT_TRUE(parse_basics(crlf, want).ok());
    for (const std::string& text : {lf, one_line, spaced, mixed, no_final_newline, lone_cr}) {
        State s;
        const Outcome r = parse_basics(text, s);
        ASSERT_TRUE(r.ok()) << r.message << "\n" << ::testing::PrintToString(text.substr(0, 80));
        expect_same_state(s, want);
    }
}

TEST(BasicsRead, PlainDecimalsWithoutTheProgramsDecimals) {
    std::vector<std::string> lines = lines_of(basics_text(State{}));
    lines[0] = "1100\t1300.5\t10.\t450\t45\t300\t15\t300\t20\t80\t050";
    lines[3] = ".5\t10\t11000\t1000\t0.6\t8\t5\t1.15\t0.1\t0\t1\t14\t10";
    State s;
    const Outcome r = parse_basics(join(lines), s);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(s.gf_msc6, 1300.5);
    EXPECT_EQ(s.gf_msc7, 10.0);
    EXPECT_EQ(s.gf_msc21, 50.0);
    EXPECT_EQ(s.gf_asb44, 0.5);
}

TEST(BasicsRead, LineThreeWinsOverLineTwo) {
    // A hand edit of line 2 only: accepted, with line 3's values in force.
    std::vector<std::string> lines = lines_of(basics_text(State{}));
    lines[1] = "4.0000\t0.7000\t0.2000\t1.1000\t1.4000\t9.5000\t2.0000\t1.4000\t3.6000\t0.6000\t9.0000\t0.4000";
    State s = other_basics();
    ASSERT_TRUE(parse_basics(join(lines), s).ok());
    EXPECT_EQ(s.gf_msc9, 3.0);
    EXPECT_EQ(s.gf_msc22, 0.0);
    EXPECT_EQ(s.gf_msc27, 0.3);
    // ...and an edit of line 3 is what counts.
    std::swap(lines[1], lines[2]);
    ASSERT_TRUE(parse_basics(join(lines), s).ok());
    EXPECT_EQ(s.gf_msc9, 4.0);
    EXPECT_EQ(s.gf_msc22, 2.0);
    EXPECT_EQ(s.gf_msc27, 0.4);
}

TEST(BasicsRead, MissingFileIsNotFoundAndChangesNothing) {
    ScratchDir dir;
    State s = other_basics();
    const State before = s;
    const Outcome r = read_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::NotFound);
    EXPECT_EQ(r.message, kLoadFailure);
    expect_same_state(s, before);
}

TEST(BasicsRead, AFolderIsRefused) {
    ScratchDir dir;
    fs::create_directory(dir / "daten.klg");
    State s = other_basics();
    const State before = s;
    const Outcome r = read_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::Refused);
    EXPECT_EQ(r.message, kLoadFailure + "\nDie Datei kann nicht gelesen werden.");
    expect_same_state(s, before);
}

TEST(BasicsRead, AHugeFileIsRefusedWithoutReadingItAll) {
    ScratchDir dir;
    write_file(dir / "daten.klg", basics_text(State{}) + std::string(2 << 20, ' '));
    State s = other_basics();
    const State before = s;
    const Outcome r = read_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::Refused);
    EXPECT_NE(r.message.find("zu groß"), std::string::npos) << r.message;
    expect_same_state(s, before);
}

TEST(BasicsRead, TheWholeMessageOfARefusedFile) {
    std::vector<std::string> lines = lines_of(basics_text(State{}));
    lines[4] = "450.0000\t8.0000\t15000.0000\t0.0000\t1.1000\t8.0000\t14.0000\t1.1500\t0.3000\t0.0000\t1.0000\t"
               "14.0000\t10.0000";
    State s;
    const Outcome r = parse_basics(join(lines), s);
    EXPECT_EQ(r.status, Status::Refused);
    EXPECT_EQ(r.message, kLoadFailure +
                             "\nZeile 5, Wert \"0.0000\": gf_hab47: 0 ist nicht erlaubt (\u201EJährliche "
                             "Einsatzdauer [MAS/Jahr]\u201C) in den Kalkulationsgrundlagen für Harvester; der "
                             "Wert muss größer als 0 sein.");
}

// ------------------------------------------------- the table of refused files

struct RefusedCase {
    std::string name;
    std::string bytes;
    std::vector<std::string> message_has;  // the line, the value, the reason
};

// The default file with field `field` (0-based) of line `line` (1-based)
// replaced by `text`.
std::string with_field(int line, int field, const std::string& text) {
    std::vector<std::string> lines = lines_of(basics_text(State{}));
    std::vector<std::string> fields = fields_of(lines[static_cast<std::size_t>(line - 1)]);
    fields[static_cast<std::size_t>(field)] = text;
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? "\t" : "") + fields[i];
    lines[static_cast<std::size_t>(line - 1)] = joined;
    return join(lines);
}

std::string first_lines(int n) {
    std::vector<std::string> lines = lines_of(basics_text(State{}));
    lines.resize(static_cast<std::size_t>(n));
    return join(lines);
}

std::vector<RefusedCase> refused_cases() {
    const std::string defaults = basics_text(State{});
    return {
        {"EmptyFile", "", {"Zeile 1: ", "0 statt 126 Zahlen", "Zeile 1 hat 0 statt 11"}},
        {"OnlyWhiteSpace", " \r\n\t\r\n", {"Zeile 1: ", "0 statt 126"}},
        {"OnlyTheChainsawLines", first_lines(3), {"Zeile 4: ", "35 statt 126 Zahlen", "Zeile 4 hat 0 statt 13"}},
        {"LastNumberMissing", defaults.substr(0, defaults.rfind('\t')) + "\r\n",
         {"Zeile 10: ", "125 statt 126", "Zeile 10 hat 12 statt 13"}},
        {"ExtraNumberOnALine", with_field(4, 12, "10.0000\t5.0000"),
         {"Zeile 4: ", "127 statt 126", "Zeile 4 hat 14 statt 13"}},
        {"ExtraLineAtTheEnd", defaults + "1.0000\r\n", {"Zeile 11: ", "127 statt 126", "Zeile 11 hat 1 statt 0"}},
        {"DecimalComma", with_field(1, 2, "12,5"), {"Zeile 1: ", "\"12,5\"", "keine Zahl", "kein Komma"}},
        {"Word", with_field(6, 3, "zweitausend"), {"Zeile 6: ", "\"zweitausend\"", "keine Zahl"}},
        {"WordAfterTheLastNumber", defaults + "Ende\r\n", {"Zeile 11: ", "\"Ende\"", "keine Zahl"}},
        {"MinusSign", with_field(4, 9, "-1.0000"), {"Zeile 4: ", "\"-1.0000\"", "kein Vorzeichen"}},
        {"PlusSign", with_field(4, 0, "+100.0000"), {"Zeile 4: ", "\"+100.0000\"", "keine Zahl"}},
        {"Exponent", with_field(5, 2, "1.5e4"), {"Zeile 5: ", "\"1.5e4\"", "kein Exponent"}},
        {"Hexadecimal", with_field(5, 2, "0x3A98"), {"Zeile 5: ", "\"0x3A98\"", "keine Zahl"}},
        {"Infinity", with_field(7, 0, "inf"), {"Zeile 7: ", "\"inf\"", "keine Zahl"}},
        {"NotANumber", with_field(7, 0, "nan"), {"Zeile 7: ", "\"nan\"", "keine Zahl"}},
        {"TwoPoints", with_field(2, 0, "3.00.00"), {"Zeile 2: ", "\"3.00.00\"", "keine Zahl"}},
        {"PointAlone", with_field(2, 0, "."), {"Zeile 2: ", "\".\"", "keine Zahl"}},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + defaults, {"Zeile 1: ", "\"ï»¿1100.000000\"", "keine Zahl"}},
        {"NulByte", with_field(8, 1, std::string("8\0.0000", 7)), {"Zeile 8: ", "\"8?.0000\"", "keine Zahl"}},
        {"Latin1WordQuotedAsUtf8", with_field(9, 0, "Gr\xF6\xDF" "e"), {"Zeile 9: ", "\"Größe\"", "keine Zahl"}},
        {"LongTokenIsShortened", with_field(9, 0, std::string(200, 'x')),
         {"Zeile 9: ", "\"" + std::string(24, 'x') + "...\"", "keine Zahl"}},
        {"TooLargeToBeFinite", with_field(1, 0, "1" + std::string(400, '0')),
         {"Zeile 1, Wert \"100000000000000000000000...\": ", "gf_msc5", "endliche Zahl"}},
        {"ZeroPurchasePrice", with_field(4, 0, "0.0000"),
         {"Zeile 4, Wert \"0.0000\": ", "gf_asb44", "0 ist nicht erlaubt", "größer als 0"}},
        {"ZeroAnnualUse", with_field(6, 3, "0"), {"Zeile 6, Wert \"0\": ", "gf_fob47", "0 ist nicht erlaubt"}},
        {"ZeroUsefulLifeOfTheSlopeHarvester", with_field(7, 2, "0.0000"),
         {"Zeile 7, Wert \"0.0000\": ", "gf_hhb46", "Hang-Harvester"}},
        {"ZeroObsolescenceOfTheHarvesterWithFsa", with_field(8, 1, "0.0000"),
         {"Zeile 8, Wert \"0.0000\": ", "gf_hfsab45", "Harvester mit FSA"}},
        {"ZeroOnTheYardersLine", with_field(10, 3, "0.0000"), {"Zeile 10, Wert \"0.0000\": ", "gf_mskb47"}},
        {"ZeroSkidderProfit", with_field(4, 12, "0.0000"), {"Zeile 4, Wert \"0.0000\": ", "gf_asb56"}},
        {"ZeroChainsawUsefulLifeOnLineTwo", with_field(2, 0, "0.0000"), {"Zeile 2, Wert \"0.0000\": ", "gf_msc9"}},
        {"ZeroChainsawUsefulLifeOnLineThree", with_field(3, 0, "0.0000"),
         {"Zeile 3, Wert \"0.0000\": ", "gf_msc9"}},
        {"ZeroChainsawPrice", with_field(1, 0, "0.000000"), {"Zeile 1, Wert \"0.000000\": ", "gf_msc5"}},
        {"ZeroChainLifeInHours", with_field(1, 9, "0.000000"), {"Zeile 1, Wert \"0.000000\": ", "gf_msc15"}},
        {"NeitherMixingRatioNorReadyMixPrice", with_field(1, 10, "0.000000"),
         {"Zeile 1, Wert \"0.000000\": ", "gf_msc21", "Fertig-Gemisch", "größer als 0"}},
        {"NegativeTotalOfTheSkidder", with_field(4, 9, "5000.0000"),
         {"Zeile 4: ", "gf_asb75", "negative Maschinenkosten"}},
        {"NegativeTotalOfTheForwarder", with_field(6, 9, "9000.0000"),
         {"Zeile 6: ", "gf_fob149", "negative Maschinenkosten"}},
    };
}

class BasicsRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(BasicsRefused, StateUnchangedAndProblemNamed) {
    const RefusedCase& c = GetParam();
    State s = test::default_scenario();
    s.gf_hab44 = 777.0;  // not a default, so that a partial load would show
    const State before = s;
    const Outcome r = parse_basics(c.bytes, s);
    EXPECT_EQ(r.status, Status::Refused);
    expect_same_state(s, before);
    ASSERT_EQ(r.message.rfind(kLoadFailure + "\n", 0), 0u) << r.message;
    const std::string problem = r.message.substr(kLoadFailure.size() + 1);
    EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line: " << problem;
    for (const std::string& part : c.message_has) {
        EXPECT_NE(problem.find(part), std::string::npos) << "\"" << part << "\" not in: " << problem;
    }
}

TEST_P(BasicsRefused, FromAFileAsWell) {
    const RefusedCase& c = GetParam();
    ScratchDir dir;
    write_file(dir / "daten.klg", c.bytes);
    State s = other_basics();
    const State before = s;
    const Outcome r = read_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::Refused);
    expect_same_state(s, before);
}

INSTANTIATE_TEST_SUITE_P(Table, BasicsRefused, ::testing::ValuesIn(refused_cases()),
                         [](const ::testing::TestParamInfo<RefusedCase>& p) { return p.param.name; });

TEST(BasicsRead, ZeroIsAcceptedWhereTheDialogAcceptsIt) {
    // Residual values (row 53), the profit of every machine but the skidder,
    // and one of mixing ratio / ready-mix price.
    std::string text = with_field(5, 12, "0.0000");  // gf_hab56
    State s;
    Outcome r = parse_basics(text, s);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(s.gf_hab56, 0.0);
    std::vector<std::string> lines = lines_of(basics_text(State{}));
    std::vector<std::string> l1 = fields_of(lines[0]);
    l1[10] = "0.000000";  // mixing ratio 0 ...
    std::string joined;
    for (std::size_t i = 0; i < l1.size(); ++i) joined += (i ? "\t" : "") + l1[i];
    lines[0] = joined;
    for (int l : {1, 2}) {  // ... with a ready-mix price on lines 2 and 3
        std::vector<std::string> f = fields_of(lines[static_cast<std::size_t>(l)]);
        f[6] = "1.8000";
        std::string j;
        for (std::size_t i = 0; i < f.size(); ++i) j += (i ? "\t" : "") + f[i];
        lines[static_cast<std::size_t>(l)] = j;
    }
    r = parse_basics(join(lines), s);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(s.gf_msc21, 0.0);
    EXPECT_EQ(s.gf_msc22, 1.8);
}

// ------------------------------------------------------------- failed writes

TEST(BasicsWrite, IntoAFolderThatDoesNotExist) {
    ScratchDir dir;
    const Outcome r = write_basics(dir / "missing" / "daten.klg", State{});
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message, kSaveFailure);
    EXPECT_TRUE(dir.names().empty());
}

TEST(BasicsWrite, ToDevFull) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    const Outcome r = write_basics("/dev/full", State{});
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message, kSaveFailure);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(BasicsWrite, DiskFullKeepsTheOldFileByteForByte) {
    ScratchDir dir;
    const std::string old_bytes = basics_text(other_basics());
    write_file(dir / "daten.klg", old_bytes);
    struct rlimit old_limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 100;  // the file needs about 1 KiB
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Outcome r = write_basics(dir / "daten.klg", State{});
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message, kSaveFailure);
    EXPECT_EQ(read_file(dir / "daten.klg"), old_bytes);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

TEST(BasicsWrite, AFileThatWouldNotLoadAgainIsNotWritten) {
    // The dialogs take "0,00001"; four decimals make it 0, a zero divisor.
    ScratchDir dir;
    write_file(dir / "daten.klg", "old");
    State s;
    s.gf_hab47 = 0.00001;
    Outcome r = write_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message.rfind(kSaveFailure + "\nDie Datei ließe sich nicht wieder laden: Zeile 5, Wert \"0.0000\": "
                                             "gf_hab47: ",
                              0),
              0u)
        << r.message;
    EXPECT_EQ(read_file(dir / "daten.klg"), "old");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
    // A value that is not finite is not written either.
    s = State{};
    s.gf_msc5 = std::numeric_limits<double>::infinity();
    r = write_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_NE(r.message.find("Zeile 1"), std::string::npos) << r.message;
    EXPECT_EQ(read_file(dir / "daten.klg"), "old");
}

TEST(BasicsWrite, SuccessReplacesTheOldFile) {
    ScratchDir dir;
    write_file(dir / "daten.klg", "old");
    const Outcome r = write_basics(dir / "daten.klg", State{});
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(read_file(dir / "daten.klg"), basics_text(State{}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

}  // namespace
}  // namespace forstrix::files
