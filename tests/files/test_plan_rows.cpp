// The plan's rows over their life: reading and computing cancelled half
// way, a refused row mended by setting the value of its bad cell.
#include <gtest/gtest.h>

#include <fstream>

#include "files/plan_table.h"
#include "tests/files/scratch.h"

namespace forstrix::files {
namespace {

// Tables of `rows` stands (or the given text) in a folder of their own.
struct Tables {
    std::filesystem::path dir = forstrix::test::fresh_folder("forstrix-rows-");
    int made = 0;
    ~Tables() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path operator()(int rows, const std::string& text = {}) {
        const std::filesystem::path file = dir / (std::to_string(++made) + ".csv");
        std::ofstream out(file, std::ios::binary);
        out << (text.empty() ? "name,gi_bhd\n" : text);
        for (int r = 0; r < rows; ++r) out << 'S' << r << ',' << 20 + r % 40 << '\n';
        return file;
    }
};

// A progress that says stop at its `stop`th call.
struct Stopper {
    int stop;
    int calls = 0;
    bool operator()(double) { return ++calls < stop; }
};

// Reading stops at the first refusal; the document keeps the table it had.
TEST(PlanCancel, ReadingACsvStopsAtOnce) {
    Tables table;
    const std::filesystem::path large = table(20000);
    PlanTable plan;
    ASSERT_TRUE(plan.load(table(3), "", nullptr, false).ok());
    Stopper stopper{3};
    EXPECT_EQ(plan.load(large, "", nullptr, false, std::ref(stopper)).detail, "Abgebrochen.");
    EXPECT_EQ(stopper.calls, 3);
    EXPECT_EQ(plan.size(), 3u);
}

// A cancelled compute leaves every row as it was: uncomputed before the
// first compute, with the last compute's figures after it.
TEST(PlanCancel, ComputingLeavesTheRowsAsTheyWere) {
    Tables table;
    for (bool computed_before : {false, true}) {
        PlanTable plan;
        ASSERT_TRUE(plan.load(table(400), "", nullptr, false).ok());
        if (computed_before) {
            ASSERT_TRUE(plan.compute(State{}, {}, 1));
        }
        const plan::StandFigures before = plan.row(399).figures;
        Stopper stopper{2};
        const std::vector<Given> common{{find_value("gf_vab"), 90.0}};
        EXPECT_FALSE(plan.compute(State{}, common, 1, std::ref(stopper)));
        EXPECT_EQ(plan.row(0).figures.computed, computed_before);
        EXPECT_EQ(plan.row(399).figures.euro_fm, before.euro_fm);
    }
}

// Setting a value mends the cell it sets: the row computes again when
// nothing else is wrong with it.
TEST(PlanSetValue, ClearsTheProblemOfTheCellItSets) {
    // The row, the value set, what its problem names afterwards (empty: none).
    const struct { const char* row, *set, *refused; } rows[] = {
        {"A,viel,70", "gi_bhd", ""},
        {"A,viel,zu", "gi_bhd", "zu"},
        {"A,viel,70", "gf_vab", "viel"},
        {"A,viel,70,1", "gi_bhd", "Felder statt"},
    };
    Tables table;
    for (const auto& r : rows) {
        PlanTable plan;
        ASSERT_TRUE(plan.load(table(0, "name,gi_bhd,gf_vab\n" + std::string(r.row) + "\n"), "", nullptr, true).ok());
        plan.compute(State{}, {}, 1);
        plan.set_value(0, *find_value(r.set), std::string_view(r.set) == "gi_bhd" ? 30 : 70);
        const std::optional<Problem>& problem = plan.row(0).problem;
        ASSERT_EQ(problem.has_value(), *r.refused != '\0') << r.row << " " << r.set;
        if (problem) {
            EXPECT_NE(problem->message.find(r.refused), std::string::npos) << problem->message;
        } else {
            EXPECT_EQ(plan.state_of(0).gf_vab + plan.state_of(0).gi_bhd, 70.0 + 30) << "the other cell counts";
        }
    }
}

}  // namespace
}  // namespace forstrix::files
