// forstrix-cli sweep, run as a user runs it.
#include <gtest/gtest.h>

#include <charconv>
#include <sstream>

#include <nlohmann/json.hpp>

#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

double number(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    double v = 0.0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_EQ(r.ptr, text.data() + text.size()) << text;
    return v;
}

const char* const kSums[] = {"gff_g7", "gff_g8", "gff_g15", "gff_g16", "gff_g24", "gff_g31", "gff_g39", "gff_g45"};

TEST(CliSweep, EveryRowIsTheScenarioOfCalc) {
    const CliRun r = run_cli({"sweep", "gi_bhd=14:16:1", "gi_hn=35:36:1", "--set", "gf_vab=40", "--set", "gi_hvs=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "gi_bhd,gi_hn,g_sys1,g_sys2,g_sys3,g_sys4,g_sys5,g_sys6,gff_g7,gff_g8,gff_g15,gff_g16,"
                        "gff_g24,gff_g31,gff_g39,gff_g45,cheapest");
    const char* const points[][2] = {{"14", "35"}, {"14", "36"}, {"15", "35"}, {"15", "36"}, {"16", "35"}, {"16", "36"}};
    for (std::size_t k = 0; k < 6; ++k) {
        const std::vector<std::string> cells = split(lines[k + 1], ',');
        ASSERT_EQ(cells.size(), 17u) << lines[k + 1];
        EXPECT_EQ(cells[0], points[k][0]);
        EXPECT_EQ(cells[1], points[k][1]);
        const CliRun calc = run_cli({"calc", "--set", "gf_vab=40", "--set", "gi_hvs=1", "--set",
                                     std::string("gi_bhd=") + points[k][0], "--set", std::string("gi_hn=") + points[k][1]});
        ASSERT_EQ(calc.status, 0) << calc.err;
        const nlohmann::json doc = nlohmann::json::parse(calc.out);
        for (int f = 0; f < 6; ++f)
            EXPECT_EQ(cells[2 + f], doc["g_sys" + std::to_string(f + 1)].dump()) << lines[k + 1];
        for (int s = 0; s < 8; ++s) EXPECT_EQ(number(cells[8 + s]), doc[kSums[s]].get<double>()) << kSums[s];
    }
    // Thin trees at 35 %: whole trees for chips (VI). At 36 % the slope
    // systems (IV) suit, from BHD 15 also yarding (V), which costs more.
    const char* const cheapest[] = {"VI", "IV", "VI", "IV", "VI", "IV"};
    for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(split(lines[k + 1], ',').back(), cheapest[k]) << lines[k + 1];
    EXPECT_EQ(split(lines[4], ',')[6], "1");  // V suits at BHD 15, slope 36
}

TEST(CliSweep, TextOfTheTable) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::vector<const char*> first_cells;
        std::vector<const char*> cheapest;
    };
    const Row rows[] = {
        {"decimal_point_under_comma", {"sweep", "gf_i_rd=0.1:0.3:0.1"}, {"0.1", "0.2", "0.3"}, {"III", "III", "III"}},
        {"decimal_comma_under_semicolon", {"sweep", "gf_i_rd=0,1:0,3:0,1", "--sep", ";"}, {"0,1", "0,2", "0,3"},
         {"III", "III", "III"}},
        // At BHD 36 the stems are too large for the harvester: I by its
        // measured sum, II by the sums without measuring.
        {"measured_sums", {"sweep", "gi_bhd=36:36:1"}, {"36"}, {"I"}},
        {"unmeasured_sums", {"sweep", "gi_bhd=36:36:1", "--unmeasured"}, {"36"}, {"II"}},
        {"none_suitable", {"sweep", "gi_hn=61:65:4"}, {"61", "65"}, {"", ""}},
        {"range_after_a_set", {"sweep", "--set", "gi_hn=40", "gi_bhd=20:21:1"}, {"20", "21"}, {"IV", "IV"}},
    };
    for (const Row& row : rows) {
        const CliRun r = run_cli(row.args);
        ASSERT_EQ(r.status, 0) << row.name << ": " << r.err;
        EXPECT_EQ(r.out.find('\r'), std::string::npos) << row.name;
        const char sep = r.out.find(';') != std::string::npos ? ';' : ',';
        const std::vector<std::string> lines = split(r.out, '\n');
        ASSERT_EQ(lines.size(), row.first_cells.size() + 1) << row.name;
        for (std::size_t k = 0; k < row.first_cells.size(); ++k) {
            const std::vector<std::string> cells = split(lines[k + 1], sep);
            EXPECT_EQ(cells.front(), row.first_cells[k]) << row.name;
            EXPECT_EQ(cells.back(), row.cheapest[k]) << row.name;
        }
    }
}

TEST(CliSweep, RefusedPointHasEmptyCellsAndOneWarning) {
    // System I suits the default stand, so its skidding distance must not be 0.
    const CliRun r = run_cli({"sweep", "gf_i_rd=0:20:10", "--sep", ";"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "0;;;;;;;;;;;;;;;");
    EXPECT_EQ(split(lines[2], ';').back(), "III");
    EXPECT_EQ(r.err.rfind("Warnung: 1 von 3 Punkten", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("Rückedistanz"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST(CliSweep, OutputFileHoldsWhatStandardOutputShows) {
    TempDir dir;
    const CliRun to_file = run_cli({"sweep", "gi_bhd=6:90:1", "gi_hn=0:65:5", "-o", dir / "verlauf.csv"});
    ASSERT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    const CliRun to_stdout = run_cli({"sweep", "gi_bhd=6:90:1", "gi_hn=0:65:5"});
    EXPECT_EQ(slurp(dir / "verlauf.csv"), to_stdout.out);
    EXPECT_EQ(split(to_stdout.out, '\n').size(), 1u + 85u * 14u);
}

TEST(CliSweep, Refusals) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* says;
    };
    const Row rows[] = {
        {"separator", {"sweep", "gi_bhd=6:90:1", "--sep", "|"}, "--sep erwartet"},
        {"three_ranges", {"sweep", "gi_bhd=6:9:1", "gi_hn=0:5:1", "gf_vab=10:20:5"}, "einen oder zwei Bereiche"},
        {"same_input_twice", {"sweep", "gi_bhd=6:9:1", "gi_bhd=10:20:1"}, "zweimal"},
        {"more_than_a_million_together", {"sweep", "gf_vab=1:1000:1", "gf_gf=1:1001:1"}, "1001000 Punkte"},
        {"outside_the_list", {"sweep", "gi_bhd=80:95:5"}, "95 liegt nicht im erlaubten Bereich"},
        {"bad_set", {"sweep", "gi_bhd=6:9:1", "--set", "gi_hn=70"}, "gi_hn"},
        {"name_missing", {"sweep", "=1:2:1"}, "\u201E=1:2:1\u201C: vor dem \u201E=\u201C fehlt der Name der Eingabe"},
    };
    for (const Row& row : rows) {
        const CliRun r = run_cli(row.args);
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_EQ(r.out, "") << row.name;
        EXPECT_EQ(r.err.rfind("Fehler: ", 0), 0u) << row.name << ": " << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << row.name << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << row.name << ": " << r.err;
    }
}

}  // namespace
}  // namespace forstrix::cli::test
