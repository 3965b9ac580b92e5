// The scenario of the command line: which values may be given, how their text
// is read, and the order of computation that decides which value wins.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/inputs.h"
#include "cli/scenario.h"
#include "core/calc.h"
#include "core/numtext.h"

namespace forstrix::cli {
namespace {

struct Computed {
    State s;
    ScenarioOutcome outcome;
};

// Computes the scenario of NAME=VALUE pairs. The texts are read without the
// range checks of --set, so that compute_scenario's own checks are seen.
Computed compute(const std::vector<std::string>& sets) {
    std::vector<Given> given;
    for (const std::string& pair : sets) {
        const std::size_t eq = pair.find('=');
        Problem problem;
        const ValueInfo* info = find_settable(pair.substr(0, eq), problem);
        const std::optional<double> v = f_check(pair.substr(eq + 1));
        EXPECT_TRUE(info && v) << pair;
        given.push_back({info, *v});
    }
    Computed c;
    compute_scenario(c.s, given, nullptr, c.outcome);
    return c;
}

bool names(const ScenarioOutcome& o, const std::string& name) {
    for (const Problem& p : o.problems)
        if (p.name == name) return true;
    return false;
}

// ------------------------------------------------------------ reading text

struct TextCase {
    const char* label;
    const char* name;
    const char* text;
    bool accepted;
    double value;
};

class ReadText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReadText, AsTheDialogFieldsReadIt) {
    const TextCase& c = GetParam();
    Problem problem;
    const std::optional<double> v = read_number(*find_value(c.name), c.text, problem);
    ASSERT_EQ(v.has_value(), c.accepted) << problem.message;
    if (c.accepted) {
        EXPECT_EQ(*v, c.value);
    } else {
        EXPECT_EQ(problem.name, c.name);
        EXPECT_NE(problem.message.find(c.name), std::string::npos) << problem.message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ReadText,
    ::testing::Values(TextCase{"DecimalComma", "gf_vab", "30,5", true, 30.5},
                      TextCase{"DecimalPoint", "gf_vab", "30.5", true, 30.5},
                      TextCase{"WholeNumberForInteger", "gi_bhd", "25", true, 25.0},
                      TextCase{"EmptyTextIsNoValue", "gf_vab", "", false, 0},
                      TextCase{"TwoSeparators", "gf_vab", "1,5,0", false, 0},
                      TextCase{"Sign", "gf_vab", "-3", false, 0},
                      TextCase{"Exponent", "gf_vab", "1e3", false, 0},
                      TextCase{"LeadingBlank", "gf_vab", " 30", false, 0},
                      TextCase{"Word", "gi_bhd", "zwanzig", false, 0}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(Cli, OnlyInputsCanBeSet) {
    Problem p;
    EXPECT_NE(find_settable("gf_hab112", p), nullptr);  // typed into the cost dialog
    EXPECT_NE(find_settable("gf_msc22", p), nullptr);
    for (const char* name : {"gc_hoehe", "g_sys1", "gf_hab101", "gff_g45", "gf_asb75", "gi_gibtsnicht"}) {
        Problem problem;
        EXPECT_EQ(find_settable(name, problem), nullptr) << name;
        EXPECT_EQ(problem.name, name);
        EXPECT_NE(problem.message.find("--template"), std::string::npos) << problem.message;
    }
}

TEST(Cli, SetWithoutEqualsSignIsRefused) {
    std::vector<Given> given;
    std::string error;
    EXPECT_FALSE(parse_set("gi_bhd", given, error));
    EXPECT_NE(error.find("NAME=WERT"), std::string::npos);
    EXPECT_TRUE(given.empty());
}

// ------------------------------------------------------------ JSON input

struct JsonCase {
    const char* label;
    const char* text;
    bool accepted;
};

class JsonInput : public ::testing::TestWithParam<JsonCase> {};

TEST_P(JsonInput, TakesAnObjectOfNamesAndNumbers) {
    std::vector<Given> given;
    std::vector<std::string> errors;
    EXPECT_EQ(parse_json_inputs(GetParam().text, given, errors), GetParam().accepted);
    EXPECT_EQ(errors.empty(), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, JsonInput,
    ::testing::Values(JsonCase{"NumbersAndDecimalCommaText", R"({"gi_bhd": 25, "gf_vab": "30,5"})", true},
                      JsonCase{"EmptyObject", "{}", true},
                      JsonCase{"NegativeNumber", R"({"gf_vab": -1})", false},
                      JsonCase{"Boolean", R"({"gf_vab": true})", false},
                      JsonCase{"Null", R"({"gf_vab": null})", false},
                      JsonCase{"DerivedValue", R"({"gc_stm": 0.5})", false},
                      JsonCase{"NotAnObject", "[1, 2]", false},
                      JsonCase{"BrokenJson", R"({"gi_bhd": )", false}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(Cli, JsonMembersKeepTheirOrderSoTheLastWins) {
    std::vector<Given> given;
    std::vector<std::string> errors;
    ASSERT_TRUE(parse_json_inputs(R"({"gi_bhd": 25, "gi_ba": 3, "gi_bhd": 30})", given, errors));
    Computed c;
    compute_scenario(c.s, given, nullptr, c.outcome);
    ASSERT_TRUE(c.outcome.ok());
    EXPECT_EQ(c.s.gi_bhd, 30u);
}

// ------------------------------------------------------------ order of computation

TEST(Cli, DefaultScenarioIsTheStartUpStateWithResults) {
    Computed c = compute({});
    ASSERT_TRUE(c.outcome.ok());
    State expected;
    startup_compute(expected);
    calc_zeitbedarfkosten(expected);
    for (const ValueInfo& v : value_registry()) EXPECT_EQ(get_value(c.s, v), get_value(expected, v)) << v.name;
}

TEST(Cli, SkidderCostFollowsTheTractorBasicsGivenInTheSameRun) {
    const Computed c = compute({"gf_asb44=200"});
    ASSERT_TRUE(c.outcome.ok());
    EXPECT_GT(c.s.gf_asb75, 45.3);
    EXPECT_EQ(c.s.gf_ss, c.s.gf_asb75);
}

TEST(Cli, MachineCostsGivenReplaceTheComputedOnesEvenWithNewBasics) {
    const Computed c = compute({"gf_hab44=900", "gf_hab112=99", "gf_ss=40"});
    ASSERT_TRUE(c.outcome.ok());
    EXPECT_EQ(c.s.gf_hab112, 99.0);
    EXPECT_EQ(c.s.gf_ss, 40.0);
    EXPECT_DOUBLE_EQ(c.s.gff_g20, c.s.gff_e20 * 99.0);  // the harvester line uses the given cost
    const Computed computed = compute({"gf_hab44=900"});
    EXPECT_GT(computed.s.gf_hab112, 137.93);
}

TEST(Cli, SecondSkiddingDistanceFollowsTheFirst) {
    EXPECT_EQ(compute({"gf_i_rd=220"}).s.gf_ii_rd, 220.0);
    EXPECT_TRUE(compute({"gf_i_rd=220", "gf_ii_rd=220"}).outcome.ok());
    const Computed differing = compute({"gf_i_rd=220", "gf_ii_rd=300"});
    EXPECT_TRUE(names(differing.outcome, "gf_ii_rd"));
}

TEST(Cli, LaterValueOfTheSameNameWins) {
    const Computed c = compute({"gi_bhd=95", "gi_bhd=30"});
    EXPECT_FALSE(c.outcome.ok()) << "every given value is checked, also one that is overridden";
    EXPECT_EQ(compute({"gi_bhd=25", "gi_bhd=30"}).s.gi_bhd, 30u);
}

TEST(Cli, SuitabilityComesFromTheRulesNotFromTheDefaults) {
    const Computed steep = compute({"gi_hn=45"});
    ASSERT_TRUE(steep.outcome.ok());
    EXPECT_EQ(steep.s.flags(), (std::array<std::int32_t, 6>{0, 0, 0, 1, 0, 0}));
    const Computed thin = compute({"gi_bhd=16", "gi_hvs=1", "gi_br=1", "gf_vab=40"});
    ASSERT_TRUE(thin.outcome.ok());
    EXPECT_EQ(thin.s.flags(), (std::array<std::int32_t, 6>{0, 0, 0, 0, 1, 0}));
}

struct RefusedCase {
    const char* label;
    std::vector<std::string> sets;
    const char* name;  // the value the problem names
};

class RefusedScenario : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedScenario, NamesTheValue) {
    const Computed c = compute(GetParam().sets);
    EXPECT_TRUE(names(c.outcome, GetParam().name)) << (c.outcome.problems.empty() ? "accepted"
                                                                                  : c.outcome.problems[0].message);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, RefusedScenario,
    ::testing::Values(RefusedCase{"NoVolume", {"gf_vab=0"}, "gf_vab"},
                      RefusedCase{"NoArea", {"gf_gf=0"}, "gf_gf"},
                      RefusedCase{"NoSkiddingDistanceWhileSystemISuits", {"gf_i_rd=0"}, "gf_i_rd"},
                      RefusedCase{"NoLateralDistanceWhileSystemISuits", {"gf_i_bse=0"}, "gf_i_bse"},
                      RefusedCase{"ZeroPurchasePrice", {"gf_fob44=0"}, "gf_fob44"},
                      RefusedCase{"NeitherMixingRatioNorReadyMix", {"gf_msc21=0"}, "gf_msc21"},
                      RefusedCase{"ResidualValueAbovePrice", {"gf_asb53=1000"}, "gf_asb75"},
                      RefusedCase{"BhdAboveList", {"gi_bhd=95"}, "gi_bhd"},
                      RefusedCase{"HundredsOfDigits", {"gf_vab=" + std::string(400, '9')}, "gf_vab"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(Cli, MissingExtraDataOfAnUnsuitableSystemIsFine) {
    // Without trafficable skid trails systems I and II do not suit, so their
    // skidding and lateral distances are not needed.
    EXPECT_TRUE(compute({"gi_br=1", "gf_i_rd=0", "gf_i_bse=0"}).outcome.ok());
}

TEST(Cli, ReadyMixPriceAllowsAMixingRatioOfZero) {
    EXPECT_TRUE(compute({"gf_msc21=0", "gf_msc22=1,8"}).outcome.ok());
}

TEST(Cli, ImplausibleOwnHeightWarnsAndGoesOn) {
    const Computed c = compute({"gf_bh=30"});
    ASSERT_TRUE(c.outcome.ok());
    ASSERT_EQ(c.outcome.warnings.size(), 1u);
    EXPECT_NE(c.outcome.warnings[0].find("Höheneingabe"), std::string::npos);
    EXPECT_EQ(c.s.gc_hoehe, 30.0);
}

// ------------------------------------------------------------ batch helpers

TEST(Cli, TemplateListsEveryInputOnce) {
    const std::string header = template_header(';');
    std::size_t count = 0;
    for (const ValueInfo& v : value_registry()) {
        const bool listed = (";" + header + ";").find(";" + std::string(v.name) + ";") != std::string::npos;
        EXPECT_EQ(listed, v.settable() && v.name != "gf_ii_rd") << v.name;
        count += listed;
    }
    EXPECT_EQ(static_cast<std::size_t>(std::count(header.begin(), header.end(), ';')) + 1, count);
}

// The rows of a table computed without worker threads and with several
// must come out the same and in table order, across many blocks of rows.
TEST(Cli, BatchGivesTheSameTableWithAnyNumberOfThreads) {
    std::string path = (std::filesystem::temp_directory_path() / "forstrix-batch-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    ASSERT_GE(fd, 0);
    std::string table = "gi_ba;gi_bhd;gf_vab\r\n";
    for (int k = 0; k < 9000; ++k)
        table += std::to_string(k % 10) + ";" + std::to_string(6 + k % 85) + ";" + std::to_string(10 + k % 97) +
                 (k == 7777 ? ",x" : ",25") + "\r\n";
    ASSERT_EQ(::write(fd, table.data(), table.size()), static_cast<ssize_t>(table.size()));
    ::close(fd);

    auto run = [&](unsigned threads, std::string& messages) {
        BatchOptions opt;
        opt.in_path = path;
        opt.skip_invalid = true;
        opt.threads = threads;
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(run_batch(opt, State{}, {}, out, err), 0);
        auto read_all = [](std::FILE* f) {
            std::string text;
            std::rewind(f);
            char block[4096];
            for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) text.append(block, n);
            std::fclose(f);
            return text;
        };
        messages = read_all(err);
        return read_all(out);
    };
    std::string messages_inline, messages_threads;
    const std::string inline_rows = run(1, messages_inline);
    EXPECT_EQ(run(3, messages_threads), inline_rows);
    EXPECT_EQ(messages_threads, messages_inline);
    EXPECT_NE(messages_inline.find("Zeile 7779, gf_vab: "), std::string::npos) << messages_inline;
    EXPECT_EQ(std::count(inline_rows.begin(), inline_rows.end(), '\n'), 9000);  // header, 8999 rows
    EXPECT_EQ(inline_rows.compare(inline_rows.size() - 2, 2, "\r\n"), 0);
    std::filesystem::remove(path);
}

TEST(Cli, MessagesShowWindows1252TextAsUtf8) {
    EXPECT_EQ(display_text("Gr\xF6\xDF" "e \x80"), "Größe €");
    EXPECT_EQ(display_text("Größe"), "Größe");
}

}  // namespace
}  // namespace forstrix::cli
