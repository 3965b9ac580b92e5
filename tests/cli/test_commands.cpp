// forstrix-cli calc, report and basics, run as a user runs them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/scenario.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

using Json = nlohmann::json;

TEST(CliCalc, WithoutOptionsPrintsTheWorkedExample) {
    const CliRun r = run_cli({"calc"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Json doc = Json::parse(r.out);
    EXPECT_EQ(doc.size(), value_registry().size() + 1);  // every value, then "reasons"
    EXPECT_EQ(doc["gi_bhd"].dump(), "20");
    EXPECT_EQ(doc["g_sys4"].dump(), "0");
    EXPECT_EQ(doc["gf_hab112"].dump(), "137.93");  // the figures are the core's tests
}

// --set wins over --input, which wins over --basics.
TEST(CliCalc, SetOverInputOverBasics) {
    TempDir dir;
    ASSERT_EQ(run_cli({"basics", "-o", dir / "daten.klg", "--set", "gf_fob44=300", "--set", "gf_hab44=515,5"}).status, 0);
    spit(dir / "in.json", R"({"gi_bhd": 30, "gf_vab": 40.5, "gi_ba": 6, "gf_fob44": 305})");
    const CliRun r = run_cli({"calc", "--basics", dir / "daten.klg", "--input", dir / "in.json", "--set", "gi_bhd=25",
                              "--set", "gf_gf=12,25"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = Json::parse(r.out);
    EXPECT_EQ(doc["gi_bhd"], 25);
    EXPECT_EQ(doc["gi_ba"], 6);
    EXPECT_EQ(doc["gf_vab"], 40.5);
    EXPECT_EQ(doc["gf_fob44"], 305.0);
    EXPECT_EQ(doc["gf_hab44"], 515.5);
    EXPECT_EQ(doc["gf_gf"], 12.25);
}

// The CO2 factors reach the CO2 figures and nothing else: no litre, no
// time, no cost, and neither file.
TEST(CliCalc, DieselFactorChangesEveryCo2AndNoCost) {
    const Json a = Json::parse(run_cli({"calc"}).out);
    const Json b = Json::parse(run_cli({"calc", "--set", "gf_co2_diesel=3.17"}).out);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, value] : a.items()) {
        const bool co2 = name.starts_with("co2_sys") || name == "gf_co2_diesel";
        EXPECT_EQ(b[name] != value, co2) << name;
    }
    for (const char* command : {"report", "basics"})
        EXPECT_EQ(run_cli({command, "--set", "gf_co2_diesel=3.17", "--set", "gf_co2_benzin=9"}).out,
                  run_cli({command}).out) << command;
}

// The files carry the library's bytes, on standard output or in the file.
TEST(CliFiles, ReportAndBasicsAsTheLibraryWritesThem) {
    Problem problem;
    const Given steep{find_settable("gi_hn", problem), 45};
    State s;
    ScenarioOutcome outcome;
    compute_scenario(s, {&steep, 1}, nullptr, outcome);
    ASSERT_TRUE(outcome.ok());
    TempDir dir;
    for (const char* command : {"report", "basics"}) {
        const std::string expected = *command == 'r' ? files::report_text(s) : files::basics_text(s);
        const CliRun to_stdout = run_cli({command, "--set", "gi_hn=45"});
        ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
        EXPECT_EQ(to_stdout.out, expected) << command;
        const CliRun to_file = run_cli({command, "--set", "gi_hn=45", "-o", dir / command});
        ASSERT_EQ(to_file.status, 0) << to_file.err;
        EXPECT_EQ(to_file.out, "");
        EXPECT_EQ(slurp(dir / command), expected) << command;
    }
}

// What keeps a system from suiting is the rules' (core); here how calc
// writes it: whole numbers as integers, the others as decimals.
TEST(CliCalc, AReasonCarriesValueLimitAndTextWithTheTypesOfTheValues) {
    const Json doc = Json::parse(run_cli({"calc", "--set", "gi_bhd=60", "--set", "gf_vab=20", "--set", "gf_gf=10"}).out);
    const Json& iv = doc.at("reasons").at("g_sys4");
    ASSERT_EQ(iv.size(), 4u);
    EXPECT_EQ(iv[0].at("value"), doc.at("gc_stm"));
    EXPECT_EQ(iv[0].at("limit").dump(), "0.7");
    EXPECT_EQ(iv[1].dump(), R"({"limit":36,"name":"gi_hn","text":"Hangneigung 14 %: mindestens 36 %","value":14})");
    EXPECT_EQ(iv[2].dump(),
              R"({"limit":30.0,"name":"gf_vab","text":"Volumen ausscheidender Bestand 20,00 EFm/ha: mindestens 30 EFm/ha","value":20.0})");
}

TEST(CliCalc, ImplausibleOwnPieceVolumeWarnsAndTraceGoesToStandardError) {
    const CliRun r = run_cli({"calc", "--set", "gf_stm=0,9", "--trace"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Warnung: "), std::string::npos);
    EXPECT_NE(r.err.find("Stückvolumeneingabe"), std::string::npos);
    EXPECT_NE(r.err.find("Kalkuliere Motorsäge\n"), std::string::npos);
    EXPECT_EQ(Json::parse(r.out)["gc_stm"], 0.9);
}

}  // namespace
}  // namespace forstrix::cli::test
