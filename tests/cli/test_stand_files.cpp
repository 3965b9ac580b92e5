// Stand files on the command line: `scenario` writes what calc computes, and calc reads it
// back as --input. (How a stand file is read is the reader's own test, in files.)
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

using Json = nlohmann::json;

const std::vector<std::string> kSets = {"--set", "gi_ba=6", "--set", "gi_bhd=34", "--set", "gf_vab=42,5",
                                        "--set", "gf_hab44=500", "--set", "gf_fob149=88.25"};

std::vector<std::string> with(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(CliScenario, WritesTheStandThatCalcComputes) {
    TempDir dir;
    // Umlauts in the arguments and the file's name arrive as they are (on
    // Windows through the UTF-16 command line).
    const CliRun to_stdout = run_cli(with({"scenario", "--name", "Abt. 12b, Südhang", "--note", "Hang"}, kSets));
    ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
    const CliRun to_file =
        run_cli(with({"scenario", "-o", dir / "Südhang.forstrix", "--name", "Abt. 12b, Südhang", "--note", "Hang"}, kSets));
    ASSERT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    EXPECT_EQ(slurp(dir / "Südhang.forstrix"), to_stdout.out);

    EXPECT_EQ(Json::parse(to_stdout.out)["note"], "Hang");

    const CliRun direct = run_cli(with({"calc"}, kSets));
    const CliRun from_file = run_cli({"calc", "--input", dir / "Südhang.forstrix"});
    ASSERT_EQ(from_file.status, 0) << from_file.err;
    EXPECT_EQ(from_file.out, direct.out);

    // A stand file as input keeps its name and note unless they are given anew.
    const CliRun again = run_cli({"scenario", "--input", dir / "Südhang.forstrix", "--set", "gi_hn=20"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Json::parse(again.out)["name"], "Abt. 12b, Südhang");
    EXPECT_EQ(Json::parse(again.out)["values"]["gi_hn"], 20);
    const CliRun renamed = run_cli({"scenario", "--input", dir / "Südhang.forstrix", "--name", "Neu"});
    EXPECT_EQ(Json::parse(renamed.out)["name"], "Neu");
}

}  // namespace
}  // namespace forstrix::cli::test
