// "daten.klg": the defaults byte for byte, the round trip, and the table of
// refused files.
#include "files/basics_file.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/numtext.h"
#include "support.h"

namespace forstrix::files {
namespace {

bool is_basic(const ValueInfo& v) { return v.kind == ValueKind::ChainsawBasic || v.kind == ValueKind::MachineBasic; }

using test::expect_same;

TEST(BasicsFile, DefaultsAreTheGoldenBytes) { test::expect_golden("daten_default.klg", basics_text(State{})); }

TEST(BasicsFile, DefaultsLoadUnchangedFromCrLfLfOrAnyWhiteSpace) {
    const std::string crlf = basics_text(State{});
    std::string lf, spaced;
    for (char c : crlf) {
        if (c != '\r') lf += c;
        spaced += c == '\n' ? std::string(" \v\f ") : std::string(1, c);
    }
    for (const std::string& text : {crlf, lf, spaced}) {
        State s;
        test::apply(s, "gf_msc5=1 gf_msc9=1 gf_asb44=1 gf_mskb56=1");
        ASSERT_TRUE(parse_basics(text, s).ok());
        expect_same(s, State{});
    }
}

TEST(BasicsFile, RoundTripGivesTheValuesAsTheFormatsRoundThem) {
    // Awkward decimals in every basic but the residual values (they stay 0).
    State original;
    int n = 0;
    for (const ValueInfo& v : value_registry())
        if (is_basic(v) && !v.name.ends_with("53"))
            set_value(original, v, get_value(original, v) * (1.0 + 0.0123456789 * (++n % 7)) + 0.000123456);
    test::ScratchDir dir;
    ASSERT_TRUE(write_basics(dir / "daten.klg", original).ok());
    State loaded = test::scenario("");
    const State before = loaded;
    const Outcome r = read_basics(dir / "daten.klg", loaded);
    ASSERT_TRUE(r.ok()) << r.message();
    // Line 1 has six decimals, the other lines four; nothing but the basics changes.
    const std::string line1 = " gf_msc5 gf_msc6 gf_msc7 gf_msc8 gf_msc10 gf_msc11 gf_msc12 gf_msc13 gf_msc14 "
                              "gf_msc15 gf_msc21 ";
    for (const ValueInfo& v : value_registry()) {
        const int decimals = line1.find(" " + std::string(v.name) + " ") != std::string::npos ? 6 : 4;
        const double want =
            is_basic(v) ? *f_check(format_fixed(get_value(original, v), decimals)) : get_value(before, v);
        EXPECT_EQ(get_value(loaded, v), want) << v.name;
    }
    EXPECT_EQ(basics_text(loaded), basics_text(original));  // and saves to the same bytes
}

// The default file with number `field` (0-based) of line `line` (1-based) replaced by `text`.
std::string with_field(int line, int field, const std::string& text) {
    std::string s = basics_text(State{});
    std::size_t pos = 0;
    for (int l = 1; l < line; ++l) pos = s.find("\r\n", pos) + 2;
    for (int f = 0; f < field; ++f) pos = s.find('\t', pos) + 1;
    return s.replace(pos, s.find_first_of("\t\r", pos) - pos, text);
}

// Each refused file leaves the state as it was and names its problem in one line.
TEST(BasicsFile, RefusedFilesChangeNothingAndNameTheProblem) {
    const std::string defaults = basics_text(State{});
    const std::string zero4 = "Wert \"0.0000\": ";
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> detail_has;
    } rows[] = {
        {"EmptyFile", "", {"Zeile 1: ", "0 statt 126 Zahlen", "Zeile 1 hat 0 statt 11"}},
        {"LastNumberMissing", defaults.substr(0, defaults.rfind('\t')) + "\r\n",
         {"Zeile 10: ", "125 statt 126", "Zeile 10 hat 12 statt 13"}},
        {"ExtraLineAtTheEnd", defaults + "1.0000\r\n", {"Zeile 11: ", "127 statt 126", "Zeile 11 hat 1 statt 0"}},
        {"DecimalComma", with_field(1, 2, "12,5"),
         {"Zeile 1: \"12,5\" ist keine Zahl, wie das Programm sie schreibt (nur Ziffern und höchstens ein Punkt; "
          "kein Komma, kein Vorzeichen, kein Exponent)."}},
        {"TwoPoints", with_field(2, 0, "3.00.00"), {"Zeile 2: ", "\"3.00.00\"", "keine Zahl"}},
        {"PointAlone", with_field(2, 0, "."), {"Zeile 2: ", "\".\"", "keine Zahl"}},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + defaults, {"Zeile 1: ", "\"ï»¿1100.000000\"", "keine Zahl"}},
        {"NulByte", with_field(8, 1, std::string("8\0.0000", 7)), {"Zeile 8: ", "\"8?.0000\"", "keine Zahl"}},
        {"Latin1WordQuotedAsUtf8", with_field(9, 0, "Gr\xF6\xDF" "e"), {"Zeile 9: ", "\"Größe\"", "keine Zahl"}},
        {"LongTokenIsShortened", with_field(9, 0, std::string(200, 'x')),
         {"Zeile 9: ", "\"" + std::string(24, 'x') + "...\"", "keine Zahl"}},
        {"TooLargeToBeFinite", with_field(1, 0, "1" + std::string(400, '0')),
         {"Zeile 1, Wert \"100000000000000000000000...\": ", "gf_msc5", "endliche Zahl"}},
        {"ZeroAnnualUseOfTheHarvester", with_field(5, 3, "0.0000"),
         {"Zeile 5, " + zero4 + "gf_hab47: 0 ist nicht erlaubt (\u201EJährliche Einsatzdauer [MAS/Jahr]\u201C) in den "
                                "Kalkulationsgrundlagen für Harvester; der Wert muss größer als 0 sein."}},
        {"ZeroAnnualUseWithoutDecimals", with_field(6, 3, "0"), {"Zeile 6, Wert \"0\": ", "gf_fob47"}},
        {"ZeroOnTheFsaHarvestersLine", with_field(8, 1, "0.0000"), {"Zeile 8, " + zero4, "gf_hfsab45", "mit FSA"}},
        {"ZeroChainsawUsefulLifeOnLineTwo", with_field(2, 0, "0.0000"), {"Zeile 2, " + zero4, "gf_msc9"}},
        {"ZeroChainsawUsefulLifeOnLineThree", with_field(3, 0, "0.0000"), {"Zeile 3, " + zero4, "gf_msc9"}},
        {"NeitherMixingRatioNorReadyMixPrice", with_field(1, 10, "0.000000"),
         {"Zeile 1, Wert \"0.000000\": ", "gf_msc21", "Fertig-Gemisch"}},
        {"NegativeTotalOfTheSkidder", with_field(4, 9, "5000.0000"), {"Zeile 4: ", "gf_asb75", "negative"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        State s = test::scenario("gf_hab44=777");  // a computed state whose basics are not the defaults
        const State before = s;
        const Outcome r = parse_basics(row.bytes, s);
        EXPECT_EQ(r.status, Status::Refused);
        expect_same(s, before);
        EXPECT_EQ(r.heading, kBasicsNotLoaded);
        EXPECT_EQ(r.detail.find('\n'), std::string::npos) << "one line: " << r.detail;
        for (const std::string& part : row.detail_has) EXPECT_NE(r.detail.find(part), std::string::npos) << r.detail;
    }
}

}  // namespace
}  // namespace forstrix::files
