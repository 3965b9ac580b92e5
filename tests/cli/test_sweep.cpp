// forstrix-cli sweep, run as a user runs it.
#include <gtest/gtest.h>

#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

// That every point is the scenario of calc, cell by cell, is the sweep's own
// test (core); here the grid and what the options change in the table.
TEST(CliSweep, GridAndOptionsOfTheTable) {
    const struct {
        std::vector<std::string> args;
        const char* points;  // first and last cell of each row
    } rows[] = {
        // Thin trees at 35 %: whole trees for chips (VI). At 36 % the slope
        // systems (IV) suit, from BHD 15 also yarding (V), which costs more.
        {{"sweep", "gi_bhd=14:15:1", "gi_hn=35:36:1", "--set", "gf_vab=40", "--set", "gi_hvs=1"},
         "14 VI|14 IV|15 VI|15 IV|"},
        {{"sweep", "gf_i_rd=0,1:0,3:0,1", "--sep", ";"}, "0,1 III|0,2 III|0,3 III|"},
        // At BHD 36 the stems are too large for the harvester: I by its
        // measured sum, II by the sums without measuring.
        {{"sweep", "gi_bhd=36:36:1"}, "36 I|"},
        {{"sweep", "gi_bhd=36:36:1", "--unmeasured"}, "36 II|"},
        {{"sweep", "--set", "gi_hn=40", "gi_bhd=20:21:1"}, "20 IV|21 IV|"},
    };
    for (const auto& row : rows) {
        const CliRun r = run_cli(row.args);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = split(r.out, '\n');
        std::string points;
        for (std::size_t k = 1; k < lines.size(); ++k) {
            const std::vector<std::string> cells = split(lines[k], row.args.back() == ";" ? ';' : ',');
            points += cells.front() + " " + cells.back() + "|";
        }
        EXPECT_EQ(points, row.points) << r.out;
    }
}

TEST(CliSweep, RefusedPointsAndWarningsOneLineEach) {
    // System I suits the default stand, so its skidding distance must not be
    // 0; a piece volume far from the model's warns at every point.
    const CliRun r = run_cli({"sweep", "gf_i_rd=0:20:10", "--sep", ";", "--set", "gf_stm=0,9"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "0;;;;;;;;;;;;;;;");
    EXPECT_EQ(split(lines[2], ';').back(), "II");
    const std::vector<std::string> notes = split(r.err, '\n');
    ASSERT_EQ(notes.size(), 2u) << r.err;
    EXPECT_EQ(notes[0].rfind("Warnung: 1 von 3 Punkten von den Prüfungen abgewiesen", 0), 0u) << notes[0];
    EXPECT_EQ(notes[1].rfind("Warnung: bei 2 von 3 Punkten, zuerst bei gf_i_rd=10: gf_stm: ", 0), 0u) << notes[1];
}

TEST(CliSweep, OutputFileHoldsWhatStandardOutputShows) {
    TempDir dir;
    const CliRun to_file = run_cli({"sweep", "gi_bhd=6:90:1", "gi_hn=0:65:5", "-o", dir / "verlauf.csv"});
    ASSERT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    const CliRun to_stdout = run_cli({"sweep", "gi_bhd=6:90:1", "gi_hn=0:65:5"});
    EXPECT_EQ(slurp(dir / "verlauf.csv"), to_stdout.out);
    EXPECT_EQ(to_stdout.out.substr(0, to_stdout.out.find('\n')),
              "gi_bhd,gi_hn,g_sys1,g_sys2,g_sys3,g_sys4,g_sys5,g_sys6,gff_g7,gff_g8,gff_g15,gff_g16,gff_g24,gff_g31,"
              "gff_g39,gff_g45,cheapest");
    EXPECT_EQ(split(to_stdout.out, '\n').size(), 1u + 85u * 14u);
}

}  // namespace
}  // namespace forstrix::cli::test
