// forstrix-cli calc, report and basics, run as a user runs them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/scenario.h"
#include "files/report.h"
#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

using Json = nlohmann::ordered_json;

State computed(const std::vector<std::string>& sets) {
    std::vector<Given> given;
    for (const std::string& pair : sets) {
        const std::size_t eq = pair.find('=');
        Problem p;
        const ValueInfo* info = find_settable(pair.substr(0, eq), p);
        given.push_back({info, *read_number(*info, pair.substr(eq + 1), p)});
    }
    State s;
    ScenarioOutcome outcome;
    compute_scenario(s, given, nullptr, outcome);
    EXPECT_TRUE(outcome.ok());
    return s;
}

TEST(CliCalc, DefaultStatePrintsEveryValueInRegistryOrder) {
    const CliRun r = run_cli({"calc"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Json doc = Json::parse(r.out);
    const State expected = computed({});
    auto it = doc.begin();
    for (const ValueInfo& v : value_registry()) {
        ASSERT_NE(it, doc.end());
        EXPECT_EQ(it.key(), v.name);
        if (v.type == ValueType::Double) {
            EXPECT_TRUE(it->is_number_float()) << v.name;
            EXPECT_EQ(it->get<double>(), get_value(expected, v)) << v.name << " must read back exactly";
        } else {
            EXPECT_TRUE(it->is_number_integer()) << v.name;
            EXPECT_EQ(it->get<double>(), get_value(expected, v)) << v.name;
        }
        ++it;
    }
    EXPECT_EQ(it, doc.end());
    // Figures of the worked example.
    EXPECT_EQ(doc["gi_bhd"].dump(), "20");
    EXPECT_EQ(doc["g_sys4"].dump(), "0");
    EXPECT_EQ(doc["gf_hab112"].dump(), "137.93");
    EXPECT_NEAR(doc["gf_ss"].get<double>(), 45.283678, 5e-7);
    EXPECT_NEAR(doc["gff_g45"].get<double>(), 20.834, 5e-4);
}

TEST(CliCalc, SetWinsOverInputFileAndAcceptsADecimalComma) {
    TempDir dir;
    spit(dir / "in.json", R"({"gi_bhd": 30, "gf_vab": "40,5", "gi_ba": 6})");
    const CliRun r = run_cli({"calc", "--input", dir / "in.json", "--set", "gi_bhd=25", "--set", "gf_gf=12,25"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = Json::parse(r.out);
    EXPECT_EQ(doc["gi_bhd"], 25);
    EXPECT_EQ(doc["gi_ba"], 6);
    EXPECT_EQ(doc["gf_vab"], 40.5);
    EXPECT_EQ(doc["gf_gf"], 12.25);
    EXPECT_EQ(doc["gc_vhieb"], 40.5 * 12.25);
}

struct BadCall {
    const char* label;
    std::vector<std::string> args;
    const char* named;  // what the message must mention
};

class CliCalcRefuses : public ::testing::TestWithParam<BadCall> {};

TEST_P(CliCalcRefuses, WithExitTwoAMessageAndNoOutput) {
    const CliRun r = run_cli(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().named), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("Fehler: ", 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliCalcRefuses,
    ::testing::Values(
        BadCall{"UnknownName", {"calc", "--set", "gi_xyz=1"}, "gi_xyz"},
        BadCall{"DerivedValue", {"calc", "--set", "gc_stm=0,5"}, "gc_stm"},
        BadCall{"TimeAndCostResult", {"calc", "--set", "gff_g7=3"}, "gff_g7"},
        BadCall{"Word", {"calc", "--set", "gf_vab=viel"}, "gf_vab"},
        BadCall{"EmptyText", {"calc", "--set", "gf_fw="}, "gf_fw"},
        BadCall{"NoEqualsSign", {"calc", "--set", "gf_fw"}, "NAME=WERT"},
        BadCall{"BhdFive", {"calc", "--set", "gi_bhd=5"}, "gi_bhd"},
        BadCall{"MissingVolume", {"calc", "--set", "gf_vab=0"}, "gf_vab"},
        BadCall{"NegativeTotal", {"calc", "--set", "gf_mskb53=5000"}, "gf_mskb297"},
        BadCall{"UnknownOption", {"calc", "--fast"}, "--fast"},
        BadCall{"MissingBasicsFile", {"calc", "--basics", "/nonexistent/daten.klg"}, "daten.klg"},
        BadCall{"MissingInputFile", {"calc", "--input", "/nonexistent/in.json"}, "in.json"},
        BadCall{"RefusedInReport", {"report", "--set", "gi_bhd=91"}, "gi_bhd"},
        BadCall{"RefusedInBasics", {"basics", "--set", "gf_hab45=0"}, "gf_hab45"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(CliCalc, RefusedBasicsFileIsReportedWithItsProblem) {
    TempDir dir;
    const CliRun good = run_cli({"basics", "-o", dir / "daten.klg"});
    ASSERT_EQ(good.status, 0) << good.err;
    std::string text = slurp(dir / "daten.klg");
    text.replace(text.find('.'), 1, ",");  // a decimal comma is not a basics file number
    spit(dir / "daten.klg", text);
    const CliRun r = run_cli({"calc", "--basics", dir / "daten.klg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("daten.klg"), std::string::npos) << r.err;
}

TEST(CliCalc, ImplausibleOwnPieceVolumeWarnsAndComputes) {
    const CliRun r = run_cli({"calc", "--set", "gf_stm=0,9"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Warnung: "), std::string::npos);
    EXPECT_NE(r.err.find("Stückvolumeneingabe"), std::string::npos) << r.err;
    EXPECT_EQ(Json::parse(r.out)["gc_stm"], 0.9);
}

TEST(CliCalc, TraceOnlyOnRequestAndOnStandardError) {
    const CliRun quiet = run_cli({"calc"});
    EXPECT_EQ(quiet.err, "");
    const CliRun traced = run_cli({"calc", "--trace"});
    ASSERT_EQ(traced.status, 0);
    EXPECT_EQ(traced.err.rfind("Kalkuliere Motorsäge\n", 0), 0u) << traced.err.substr(0, 80);
    EXPECT_EQ(traced.out, quiet.out);
}

TEST(CliReport, StandardOutputAndFileCarryTheSameBytesAsTheLibrary) {
    TempDir dir;
    const std::vector<std::string> sets = {"gi_hn=45", "gi_hvs=1", "gf_fw=14,5"};
    std::vector<std::string> args = {"report"};
    for (const std::string& s : sets) args.insert(args.end(), {"--set", s});
    const CliRun to_stdout = run_cli(args);
    ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
    EXPECT_EQ(to_stdout.out, files::report_text(computed(sets)));
    args.insert(args.end(), {"-o", dir / "erg.txt"});
    const CliRun to_file = run_cli(args);
    ASSERT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    EXPECT_EQ(slurp(dir / "erg.txt"), to_stdout.out);
}

TEST(CliReport, UnwritableTargetFailsWithExitOne) {
    const CliRun r = run_cli({"report", "-o", "/nonexistent/erg.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Ergebnis konnte nicht gespeichert werden!"), std::string::npos) << r.err;
}

TEST(CliBasics, WrittenBasicsReadBackToTheSameScenario) {
    TempDir dir;
    const std::vector<std::string> changed = {"--set", "gf_hab44=515,5", "--set", "gf_msc22=1,75"};
    std::vector<std::string> write = {"basics", "-o", dir / "daten.klg"};
    write.insert(write.end(), changed.begin(), changed.end());
    ASSERT_EQ(run_cli(write).status, 0);
    const CliRun loaded = run_cli({"calc", "--basics", dir / "daten.klg"});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    std::vector<std::string> direct = {"calc"};
    direct.insert(direct.end(), changed.begin(), changed.end());
    EXPECT_EQ(loaded.out, run_cli(direct).out);
    EXPECT_EQ(run_cli({"basics"}).out.rfind("1100.000000\t1300.000000\t", 0), 0u);
}

TEST(CliBasics, SetOnTopOfABasicsFileWins) {
    TempDir dir;
    ASSERT_EQ(run_cli({"basics", "-o", dir / "daten.klg", "--set", "gf_fob44=300"}).status, 0);
    const CliRun r = run_cli({"calc", "--basics", dir / "daten.klg", "--set", "gf_fob44=310"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["gf_fob44"], 310.0);
}

}  // namespace
}  // namespace forstrix::cli::test
