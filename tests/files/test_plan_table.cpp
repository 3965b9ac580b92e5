// The plan document over its formats: a layer of stands written back with
// every geometry, the reference system and every carried value, the plan's
// figures equal to the chain's; empty cells taking the common values;
// sheets through a mapping; refused cells; writes that fail leaving nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/calc.h"
#include "files/plan_table.h"
#include "tests/files/scratch.h"
#if FORSTRIX_WITH_GDAL
#include "tests/support/gis_layer.h"
#endif

namespace forstrix::files {
namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path path = forstrix::test::fresh_folder("forstrix-plan-");
    ~Folder() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#if FORSTRIX_WITH_GDAL
using forstrix::test::GisTable;

const char* const kSquare = "POLYGON ((500000 5700000,500100 5700000,500100 5700100,500000 5700100,500000 5700000))";
const char* const kHole =
    "POLYGON ((510000 5710000,510300 5710000,510300 5710200,510000 5710000),"
    "(510100 5710020,510200 5710020,510200 5710080,510100 5710020))";

// Three stands: umlauts and typographic quotes in the carried text, a NULL
// volume that takes the common value.
GisTable stands() {
    GisTable t;
    t.fields = {{"name", OFTString}, {"revier", OFTString}, {"gi_bhd", OFTInteger},
                {"gf_vab", OFTReal}, {"gi_ba", OFTString},  {"gf_gf", OFTReal}};
    t.rows = {{"Südhang „Alte Buchen“", "Eichwäldle", "30", "50.5", "5", "2"},
              {"Nordmulde", "Ölberg", "45", std::nullopt, "6", "1.25"},
              {"Große Öde", std::nullopt, "22", "120", "8", "3"}};
    t.wkt = {kSquare, kHole, kSquare};
    t.epsg = 25832;
    return t;
}

// What the chain gives the stand of `row` with the common volume 77.
plan::Amounts expected(const GisTable& t, std::size_t row, int& chosen) {
    State s;
    calc_all_machines(s);
    std::vector<Given> given{{find_value("gf_vab"), 77.0}};
    for (std::size_t k = 2; k < t.fields.size(); ++k)
        if (t.rows[row][k]) given.push_back({find_value(t.fields[k].name), std::stod(*t.rows[row][k])});
    ScenarioOutcome out;
    compute_scenario(s, given, nullptr, out, true);
    const plan::StandFigures f = plan::stand_figures(s, plan::kNone);
    chosen = f.chosen;
    return plan::amounts(f, f.chosen);
}

struct Target { const char* label; const char* file; bool exact; };
class PlanLayer : public ::testing::TestWithParam<Target> {};

TEST_P(PlanLayer, KeepsGeometryReferenceSystemAndCellsAndAddsTheChainsFigures) {
    Folder dir;
    const GisTable source = stands();
    forstrix::test::write_layer(dir.path / "bestaende.gpkg", "GPKG", "bestaende", source);
    const std::string before = slurp(dir.path / "bestaende.gpkg");
    PlanTable plan;
    ASSERT_TRUE(plan.load(dir.path / "bestaende.gpkg", "", nullptr, false).ok());
    const std::vector<Given> common{{find_value("gf_vab"), 77.0}};
    ASSERT_TRUE(plan.compute(State{}, common, 2));
    ASSERT_EQ(plan.feature_id(1), 2);
    const fs::path out = dir.path / GetParam().file;
    const Outcome saved = plan.save(out, true, true);
    ASSERT_TRUE(saved.ok()) << saved.message();
    EXPECT_EQ(slurp(dir.path / "bestaende.gpkg"), before) << "the source stays as it was";

    const GisTable back = forstrix::test::read_layer(out);
    ASSERT_EQ(back.rows.size(), source.rows.size());
    EXPECT_EQ(back.epsg, 25832);
    for (std::size_t r = 0; r < source.rows.size(); ++r) {
        if (GetParam().exact) EXPECT_EQ(back.wkt[r], source.wkt[r]) << "row " << r;
        else EXPECT_TRUE(forstrix::test::same_shape(back.wkt[r], source.wkt[r])) << back.wkt[r];
        for (std::size_t k = 0; k < source.fields.size(); ++k) {
            const int at = forstrix::test::field_index(back, source.fields[k].name);
            ASSERT_EQ(at, static_cast<int>(k)) << source.fields[k].name << " in source order";
            const auto& cell = back.rows[r][static_cast<std::size_t>(at)];
            if (!source.rows[r][k]) {
                EXPECT_FALSE(cell) << source.fields[k].name;
            } else if (source.fields[k].type == OFTString) {
                EXPECT_EQ(cell, source.rows[r][k]) << source.fields[k].name;
            } else {
                EXPECT_EQ(std::stod(cell.value()), std::stod(*source.rows[r][k])) << source.fields[k].name;
            }
        }
        int chosen = plan::kNone;
        const plan::Amounts a = expected(source, r, chosen);
        ASSERT_NE(chosen, plan::kNone);
        EXPECT_EQ(back.rows[r][forstrix::test::field_index(back, "gewaehlt")], std::to_string(chosen + 1));
        const double kosten = std::stod(back.rows[r][forstrix::test::field_index(back, "kosten")].value());
        if (GetParam().exact) EXPECT_EQ(kosten, a.euro) << "row " << r;
        else EXPECT_NEAR(kosten, a.euro, a.euro * 1e-12) << "row " << r;
    }
    // Types: the flags and choices whole numbers, the figures real, the reasons text.
    EXPECT_EQ(back.fields[forstrix::test::field_index(back, "g_sys1")].type, OFTInteger);
    EXPECT_EQ(back.fields[forstrix::test::field_index(back, "gewaehlt")].type, OFTInteger);
    EXPECT_EQ(back.fields[forstrix::test::field_index(back, "gc_vhieb")].type, OFTReal);
    // Shapefile: names over 10 characters under their fixed short names.
    const std::string diesel(GetParam().exact ? "diesel_sys1" : columns::short_name("diesel_sys1"));
    EXPECT_GE(forstrix::test::field_index(back, diesel), 0);
    EXPECT_EQ(dir.names().size(), GetParam().exact ? 2u : 6u) << "no temporary file left";

    // Read again by the program: the results are dropped, the cells the same.
    PlanTable again;
    ASSERT_TRUE(again.load(out, "", nullptr, false).ok());
    EXPECT_EQ(again.column_names().size(), source.fields.size() + again.dropped().size() + 1) << "and gewaehlt";
    EXPECT_EQ(again.cell(0, 0), source.rows[0][0]);
}

INSTANTIATE_TEST_SUITE_P(Files, PlanLayer,
                         ::testing::Values(Target{"GeoPackage", "plan.gpkg", true},
                                           Target{"GeoJson", "plan.geojson", true},
                                           Target{"FlatGeobuf", "plan.fgb", true},
                                           Target{"Shapefile", "plan.shp", false}),
                         [](const auto& row) { return std::string(row.param.label); });

#endif

// Empty cells are "not given here": the common value applies, a row's own
// cell wins.
TEST(PlanCsv, EmptyCellsTakeTheCommonValuesAndAGermanTableStaysGerman) {
    Folder dir;
    std::ofstream(dir.path / "s.csv", std::ios::binary)
        << "name;gi_bhd;gf_vab;gewaehlt\r\nA;30;50,5;\r\n;;;\r\nB;;;\r\n";
    PlanTable plan;
    ASSERT_TRUE(plan.load(dir.path / "s.csv", "", nullptr, false).ok());
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan.position(1), 3u) << "the empty row counted";
    const std::vector<Given> common{{find_value("gf_vab"), 40.0}, {find_value("gi_bhd"), 25.0}};
    plan.compute(State{}, common, 1);
    EXPECT_EQ(plan.state_of(0).gf_vab, 50.5);
    EXPECT_EQ(plan.state_of(0).gi_bhd, 30u);
    EXPECT_EQ(plan.state_of(1).gf_vab, 40.0);
    EXPECT_EQ(plan.state_of(1).gi_bhd, 25u);
    ASSERT_TRUE(plan.save(dir.path / "p.csv", true, false).ok());
    const std::string text = slurp(dir.path / "p.csv");
    EXPECT_TRUE(text.starts_with("name;gi_bhd;gf_vab;gc_hoehe;")) << "its own gewaehlt gives way to the plan's";
    EXPECT_NE(text.find("\r\nA;30;50,5;"), std::string::npos) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\nB;;;"), std::string::npos);
}

// A saved plan planned again: the planner's changed choice is taken where
// the system suits.
TEST(PlanCsv, ASavedPlanTakesAChangedChoice) {
    Folder dir;
    std::ofstream(dir.path / "s.csv") << "name,gi_bhd,gf_vab\nA,30,50\n";
    PlanTable plan;
    ASSERT_TRUE(plan.load(dir.path / "s.csv", "", nullptr, false).ok());
    plan.compute(State{}, {}, 1);
    const plan::StandFigures f = plan.row(0).figures;
    int other = plan::kNone;
    for (int s = 0; s < plan::kSystems; ++s)
        if (f.suitable[static_cast<std::size_t>(s)] && s != f.cheapest) other = s;
    ASSERT_NE(other, plan::kNone);
    ASSERT_TRUE(plan.save(dir.path / "p.csv", true, false).ok());
    std::string text = slurp(dir.path / "p.csv");
    const std::size_t at = text.find(',' + std::to_string(f.cheapest + 1) + ',' + std::to_string(f.cheapest + 1) + ',');
    ASSERT_NE(at, std::string::npos);
    text[at + 3] = static_cast<char>('1' + other);
    std::ofstream(dir.path / "p.csv", std::ios::binary) << text;
    PlanTable again;
    ASSERT_TRUE(again.load(dir.path / "p.csv", "", nullptr, false).ok());
    again.compute(State{}, {}, 1);
    EXPECT_EQ(again.row(0).figures.chosen, other);
    EXPECT_EQ(again.row(0).figures.cheapest, f.cheapest);
    EXPECT_EQ(again.totals().euro, plan::amounts(again.row(0).figures, other).euro);
}

TEST(PlanCsv, ARefusedCellNamesTheRowAndItsValueOrStaysWithEmptyResults) {
    Folder dir;
    std::ofstream(dir.path / "s.csv") << "name,gi_bhd\nA,30\nB,viel\n";
    PlanTable plan;
    const Outcome refused = plan.load(dir.path / "s.csv", "", nullptr, false);
    EXPECT_EQ(refused.status, Status::Refused);
    EXPECT_NE(refused.detail.find("Bestand 2"), std::string::npos) << refused.detail;
    EXPECT_NE(refused.detail.find("viel"), std::string::npos) << refused.detail;
    ASSERT_TRUE(plan.load(dir.path / "s.csv", "", nullptr, true).ok());
    plan.compute(State{}, {}, 1);
    ASSERT_TRUE(plan.row(1).problem.has_value());
    EXPECT_EQ(plan.totals().refused, 1);
    ASSERT_TRUE(plan.save(dir.path / "p.csv", true, false).ok());
    const std::string text = slurp(dir.path / "p.csv");
    const std::string last = text.substr(text.rfind("\nB,") + 1);
    EXPECT_EQ(last, "B,viel" + std::string(std::count(text.begin(), text.begin() + text.find('\n'), ',') - 1, ',') + "\n");
}

#if FORSTRIX_WITH_GDAL
// Sheets as the inventory keeps them: its own column names and codes, a
// number as a numeric cell or as text with a decimal comma, filler rows.
struct Sheet { const char* label; const char* file; const char* driver; };
class PlanSheet : public ::testing::TestWithParam<Sheet> {};

TEST_P(PlanSheet, ReadsTheInventorysColumnsThroughAMapping) {
    Folder dir;
    GisTable t;
    t.fields = {{"Abteilung", OFTString}, {"BHD", OFTInteger}, {"Baumart", OFTString}, {"Vorrat", OFTString},
                {"Gassen", OFTString}};
    t.rows = {{"12a", "30", "BU", "50,5", "vorhanden"},
              {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
              {"12b", "41", "Eiche", "80.25", "nicht vorhanden"}};
    forstrix::test::write_layer(dir.path / GetParam().file, GetParam().driver, "Inventur", t);
    columns::Mapping mapping;
    mapping.columns = {{"BHD", "gi_bhd"}, {"Baumart", "gi_ba"}, {"Vorrat", "gf_vab"}, {"Gassen", "gi_br"}};
    mapping.values = {{"gi_ba", {{"BU", 5.0}, {"EI", 6.0}}}};
    PlanTable plan;
    const Outcome read = plan.load(dir.path / GetParam().file, "Inventur", &mapping, false);
    ASSERT_TRUE(read.ok()) << read.message();
    ASSERT_EQ(plan.size(), 2u) << "the filler row skipped";
    EXPECT_FALSE(plan.feature_id(0).has_value());
    plan.compute(State{}, {}, 1);
    const State second = plan.state_of(1);
    EXPECT_EQ(second.gi_bhd, 41u);
    EXPECT_EQ(second.gi_ba, 6u);
    EXPECT_EQ(second.gf_vab, 80.25);
    EXPECT_EQ(second.gi_br, 1u) << "the dialog's word";
    EXPECT_EQ(plan.state_of(0).gf_vab, 50.5);
    EXPECT_EQ(plan.state_of(0).gi_ba, 5u) << "the inventory's code";
    EXPECT_EQ(plan.load(dir.path / GetParam().file, "Blatt9", &mapping, false).status, Status::Refused);
}

INSTANTIATE_TEST_SUITE_P(Files, PlanSheet,
                         ::testing::Values(Sheet{"Xlsx", "inventur.xlsx", "XLSX"}, Sheet{"Ods", "inventur.ods", "ODS"}),
                         [](const auto& row) { return std::string(row.param.label); });

// A write that fails leaves no file behind, and the source as it was.
struct BadTarget { const char* label; const char* target; bool protect; const char* long_column; };
class PlanWriteFails : public ::testing::TestWithParam<BadTarget> {};

TEST_P(PlanWriteFails, LeavesNoFileAndTheSourceUntouched) {
    Folder dir;
    GisTable t = stands();
    if (GetParam().long_column != nullptr) t.fields[1].name = GetParam().long_column;
    forstrix::test::write_layer(dir.path / "s.gpkg", "GPKG", "s", t);
    const std::string before = slurp(dir.path / "s.gpkg");
    if (GetParam().protect) {
        std::ofstream(dir.path / GetParam().target) << "alt";
        fs::permissions(dir.path / GetParam().target, fs::perms::owner_read);
    }
    const std::vector<std::string> names = dir.names();
    PlanTable plan;
    ASSERT_TRUE(plan.load(dir.path / "s.gpkg", "", nullptr, false).ok());
    plan.compute(State{}, std::vector<Given>{{find_value("gf_vab"), 60.0}}, 1);
    EXPECT_FALSE(plan.save(dir.path / GetParam().target, true, false).ok());
    EXPECT_EQ(dir.names(), names);
    EXPECT_EQ(slurp(dir.path / "s.gpkg"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlanWriteFails,
    ::testing::Values(BadTarget{"MissingFolder", "fehlt/plan.gpkg", false, nullptr},
                      BadTarget{"WriteProtected", "plan.gpkg", true, nullptr},
                      BadTarget{"ShapefileNameTooLong", "plan.shp", false, "revierfoerster"}),
    [](const auto& row) { return std::string(row.param.label); });
#endif

}  // namespace
}  // namespace forstrix::files
