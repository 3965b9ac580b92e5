// forstrix-cli plan: every stand's results equal to batch's for the same
// row, from a CSV table and from a GeoPackage of stands; refused rows with
// and without --skip-invalid; a misspelt column refused with its hint;
// batch over a GIS layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include "run_cli.h"
#if FORSTRIX_WITH_GDAL
#include "tests/support/gis_layer.h"
#endif

namespace forstrix::cli::test {
namespace {

// The cells of a CSV line; a cell in quotes may hold the separator.
std::vector<std::string> cells_of(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) cells.emplace_back();
        else cells.back() += c;
    }
    return cells;
}

// The rows of a CSV text as name -> cell maps.
std::vector<std::map<std::string, std::string>> rows_of(const std::string& text) {
    const std::vector<std::string> lines = split(text, '\n');
    std::vector<std::map<std::string, std::string>> out;
    if (lines.empty()) return out;
    const std::vector<std::string> header = cells_of(lines[0]);
    for (std::size_t r = 1; r < lines.size(); ++r) {
        const std::vector<std::string> cells = cells_of(lines[r]);
        EXPECT_EQ(cells.size(), header.size()) << lines[r];
        auto& row = out.emplace_back();
        for (std::size_t k = 0; k < header.size() && k < cells.size(); ++k) row[header[k]] = cells[k];
    }
    return out;
}

const std::vector<std::string> kNames = {"gi_ba", "gi_bhd", "gi_hn", "gf_vab", "gf_gf"};
const std::vector<std::vector<std::string>> kStands = {
    {"5", "30", "10", "50.5", "2"}, {"6", "45", "40", "80", "1.25"}, {"8", "22", "0", "120", "3"}, {"0", "14", "55", "30", "0.5"}};

std::string stands_csv() {
    std::string text = "gi_ba,gi_bhd,gi_hn,gf_vab,gf_gf\n";
    for (const auto& s : kStands) text += s[0] + "," + s[1] + "," + s[2] + "," + s[3] + "," + s[4] + "\n";
    return text;
}

// Every column batch writes holds the same text in the plan's row.
void expect_batch_cells(const std::map<std::string, std::string>& batch, const std::map<std::string, std::string>& plan,
                        std::size_t row) {
    for (const auto& [name, text] : batch) {
        const auto it = plan.find(name);
        ASSERT_NE(it, plan.end()) << name;
        EXPECT_EQ(it->second, text) << "row " << row << ", " << name;
    }
}

TEST(Plan, EveryResultEqualsBatchsAndThePlanColumnsFollow) {
    TempDir dir;
    spit(dir / "s.csv", stands_csv());
    const CliRun batch = run_cli({"batch", dir / "s.csv", "-o", dir / "b.csv", "--set", "gf_fw=14,5", "--reasons"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const CliRun plan = run_cli({"plan", dir / "s.csv", "--set", "gf_fw=14,5", "--reasons"});
    ASSERT_EQ(plan.status, 0) << plan.err;
    const auto b = rows_of(slurp(dir / "b.csv")), p = rows_of(plan.out);
    ASSERT_EQ(p.size(), kStands.size());
    for (std::size_t r = 0; r < b.size(); ++r) expect_batch_cells(b[r], p[r], r);
    const std::vector<std::string> header = split(plan.out.substr(0, plan.out.find('\n')), ',');
    EXPECT_EQ(std::vector<std::string>(header.end() - 7, header.end()),
              split("guenstig,gewaehlt,kosten_fm,kosten,diesel_l,benzin_l,co2_kg", ','));
    // kosten is kosten_fm for the whole harvest: one Fm per EFm of gc_vhieb.
    for (const auto& row : p) {
        if (row.at("kosten").empty()) continue;  // no system suits
        EXPECT_DOUBLE_EQ(std::stod(row.at("kosten")), std::stod(row.at("kosten_fm")) * std::stod(row.at("gc_vhieb")));
    }
}

TEST(Plan, AMisspeltColumnIsRefusedWithTheHint) {
    TempDir dir;
    spit(dir / "s.csv", "name,gi_bdh,gf_vab\nA,30,50\n");
    const CliRun r = run_cli({"plan", dir / "s.csv", "-o", dir / "p.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("gi_bdh"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("gi_bhd"), std::string::npos) << r.err;
    EXPECT_EQ(dir.files(), std::vector<std::string>{"s.csv"});
}

struct Uneven { const char* label; bool skip; int status; const char* in_err; };
class PlanUnevenRow : public ::testing::TestWithParam<Uneven> {};

// A CSV row with a field too many: the run stops naming its line, or the
// row alone is listed and kept with its own cells and empty results.
TEST_P(PlanUnevenRow, StopsOrIsKeptAlone) {
    TempDir dir;
    spit(dir / "s.csv", "name,gi_bhd,gf_vab\nA,30,50\nB,45,80,9\nC,22,120\n");
    std::vector<std::string> args{"plan", dir / "s.csv", "-o", dir / "p.csv"};
    if (GetParam().skip) args.push_back("--skip-invalid");
    const CliRun r = run_cli(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(GetParam().in_err), std::string::npos) << r.err;
    if (!GetParam().skip) {
        EXPECT_EQ(dir.files(), std::vector<std::string>{"s.csv"});
        return;
    }
    const auto p = rows_of(slurp(dir / "p.csv"));
    EXPECT_EQ(p.at(1).at("name") + p[1].at("gi_bhd") + p[1].at("gf_vab") + p[1].at("gc_vhieb"), "B4580");
    EXPECT_NE(p.at(2).at("gc_vhieb"), "");
}

INSTANTIATE_TEST_SUITE_P(Cli, PlanUnevenRow,
                         ::testing::Values(Uneven{"Stops", false, 2, "Zeile 3: 4 Felder statt 3"},
                                           Uneven{"Skipped", true, 0, "Bestand 2, 4 Felder statt 3"}),
                         [](const auto& row) { return std::string(row.param.label); });

// However many threads compute, the plan is the same, byte for byte.
TEST(Plan, EveryNumberOfThreadsGivesTheSamePlan) {
    TempDir dir;
    std::string text = "gi_bhd,gi_hn,gf_vab\n";
    for (int r = 0; r < 300; ++r) text += std::to_string(14 + r % 60) + ",10,80\n";
    spit(dir / "s.csv", text);
    const CliRun one = run_cli({"plan", dir / "s.csv", "--threads", "1"});
    ASSERT_EQ(one.status, 0) << one.err;
    for (const char* threads : {"0", "3"}) EXPECT_EQ(run_cli({"plan", dir / "s.csv", "--threads", threads}).out, one.out);
}

// The inventory's own names and codes through --map give batch's figures
// of the same stand; plan and batch read the mapping alike.
TEST(Plan, TheInventorysColumnsThroughAMapping) {
    TempDir dir;
    spit(dir / "inventur.csv", "Abt;BHD;BA;Vorrat\n12a;30;BU;50,5\n");
    spit(dir / "map.json", R"({"format": "forstrix-zuordnung", "version": 1,
        "columns": {"BHD": "gi_bhd", "BA": "gi_ba", "Vorrat": "gf_vab"}, "values": {"gi_ba": {"BU": 5}}})");
    spit(dir / "s.csv", "gi_bhd,gi_ba,gf_vab\n30,5,50.5\n");
    const CliRun plan = run_cli({"plan", dir / "inventur.csv", "--map", dir / "map.json", "-o", dir / "p.csv"});
    const CliRun batch = run_cli({"batch", dir / "s.csv", "-o", dir / "b.csv"});
    ASSERT_EQ(plan.status + batch.status, 0) << plan.err << batch.err;
    std::string planned = slurp(dir / "p.csv");
    std::replace(planned.begin(), planned.end(), ',', '.');
    std::replace(planned.begin(), planned.end(), ';', ',');
    const auto p = rows_of(planned), b = rows_of(slurp(dir / "b.csv"));
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].at("BA"), "BU") << "the source's cells as they were";
    for (const auto& [name, text] : b[0]) {
        if (name.starts_with("gi_") || name.starts_with("gf_")) continue;  // the inputs, named by the inventory here
        EXPECT_EQ(p[0].at(name), text) << name;
    }
    const CliRun misspelt_map = run_cli({"plan", dir / "inventur.csv", "--map", dir / "s.csv"});
    EXPECT_EQ(misspelt_map.status, 2) << "a mapping that is no mapping";
}

#if FORSTRIX_WITH_GDAL
using forstrix::test::GisTable;

// The stands as a layer of polygons in EPSG:25832, with text columns around
// the values; `bhd` replaces the second stand's BHD.
GisTable layer(const std::string& bhd = "45") {
    GisTable t;
    t.fields = {{"name", OFTString}};
    for (const std::string& n : kNames) t.fields.push_back({n, n == "gf_vab" || n == "gf_gf" ? OFTReal : OFTInteger});
    t.fields.push_back({"bemerkung", OFTString});
    for (std::size_t r = 0; r < kStands.size(); ++r) {
        std::vector<std::optional<std::string>> row{"Bestand „" + std::to_string(r + 1) + "“ am Südhang"};
        for (const std::string& c : kStands[r]) row.emplace_back(c);
        row.emplace_back(r == 2 ? std::nullopt : std::optional<std::string>("Eichen, Buchen; gemischt"));
        if (r == 1) row[2] = bhd;
        t.rows.push_back(row);
        const int x = 500000 + 200 * static_cast<int>(r);
        t.wkt.push_back("POLYGON ((" + std::to_string(x) + " 5700000," + std::to_string(x + 100) + " 5700000," +
                        std::to_string(x + 100) + " 5700100," + std::to_string(x) + " 5700000))");
    }
    t.epsg = 25832;
    return t;
}

TEST(Plan, AGeoPackageKeepsItsLayerAndGetsBatchsResults) {
    TempDir dir;
    spit(dir / "s.csv", stands_csv());
    forstrix::test::write_layer(native(dir / "s.gpkg"), "GPKG", "bestaende", layer());
    const CliRun batch = run_cli({"batch", dir / "s.csv", "-o", dir / "b.csv"});
    const CliRun plan = run_cli({"plan", dir / "s.gpkg", "-o", dir / "p.csv", "--summary", dir / "summe.json"});
    const CliRun gis = run_cli({"plan", dir / "s.gpkg", "-o", dir / "p.gpkg", "--layer", "bestaende"});
    ASSERT_EQ(batch.status + plan.status + gis.status, 0) << batch.err << plan.err << gis.err;
    const auto b = rows_of(slurp(dir / "b.csv")), p = rows_of(slurp(dir / "p.csv"));
    ASSERT_EQ(p.size(), b.size());
    for (std::size_t r = 0; r < b.size(); ++r) expect_batch_cells(b[r], p[r], r);
    EXPECT_EQ(p[0].at("bemerkung"), "Eichen, Buchen; gemischt");
    // The summary holds the sums of the rows.
    const nlohmann::json summary = nlohmann::json::parse(slurp(dir / "summe.json"));
    double euro = 0, co2 = 0, volume = 0;
    long without = 0;
    for (const auto& row : p) {
        if (row.at("gewaehlt").empty()) {
            ++without;
            continue;
        }
        euro += std::stod(row.at("kosten"));
        co2 += std::stod(row.at("co2_kg"));
        volume += std::stod(row.at("gc_vhieb"));
    }
    EXPECT_EQ(summary.at("bestaende"), p.size());
    EXPECT_EQ(summary.at("ohne_system"), without);
    EXPECT_DOUBLE_EQ(summary.at("kosten").get<double>(), euro);
    EXPECT_DOUBLE_EQ(summary.at("co2_kg").get<double>(), co2);
    EXPECT_DOUBLE_EQ(summary.at("hiebsmenge_efm").get<double>(), volume);

    const GisTable source = layer(), back = forstrix::test::read_layer(native(dir / "p.gpkg"));
    ASSERT_EQ(back.rows.size(), source.rows.size());
    EXPECT_EQ(back.epsg, 25832);
    EXPECT_EQ(back.wkt, source.wkt);
    for (std::size_t r = 0; r < source.rows.size(); ++r) {
        EXPECT_EQ(std::vector(back.rows[r].begin(), back.rows[r].begin() + 7), source.rows[r]);
        const auto& chosen = back.rows[r][forstrix::test::field_index(back, "gewaehlt")];
        const auto& kosten = back.rows[r][forstrix::test::field_index(back, "kosten")];
        EXPECT_EQ(chosen.value_or(""), p[r].at("gewaehlt"));
        EXPECT_EQ(kosten.has_value(), !p[r].at("kosten").empty()) << "NULL where no system suits";
        if (kosten) {
            EXPECT_EQ(std::stod(*kosten), std::stod(p[r].at("kosten")));
        }
    }

    // batch over the layer: the same results without the plan's columns.
    const CliRun layer_batch = run_cli({"batch", dir / "s.gpkg"});
    ASSERT_EQ(layer_batch.status, 0) << layer_batch.err;
    EXPECT_EQ(layer_batch.out.find("guenstig"), std::string::npos);
    const auto lb = rows_of(layer_batch.out);
    for (std::size_t r = 0; r < b.size(); ++r) expect_batch_cells(b[r], lb[r], r);
}

struct Refused { const char* label; bool skip; int status; std::vector<std::string> in_err; };
class PlanRefusedRow : public ::testing::TestWithParam<Refused> {};

// A BHD of 95 in the second stand (FID 2): the run stops with nothing
// written, or lists the stand and keeps it with its cells and empty results.
TEST_P(PlanRefusedRow, NamesTheStandByPositionAndFeatureId) {
    TempDir dir;
    forstrix::test::write_layer(native(dir / "s.gpkg"), "GPKG", "bestaende", layer("95"));
    std::vector<std::string> args{"plan", dir / "s.gpkg", "-o", dir / "p.gpkg"};
    if (GetParam().skip) args.push_back("--skip-invalid");
    const CliRun r = run_cli(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    for (const std::string& piece : GetParam().in_err) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
    if (!GetParam().skip) {
        EXPECT_EQ(dir.files(), std::vector<std::string>{"s.gpkg"});
        return;
    }
    const GisTable back = forstrix::test::read_layer(native(dir / "p.gpkg"));
    ASSERT_EQ(back.rows.size(), kStands.size());
    EXPECT_EQ(back.rows[1][2], "95");
    EXPECT_EQ(back.wkt[1], layer().wkt[1]);
    EXPECT_FALSE(back.rows[1][forstrix::test::field_index(back, "gc_vhieb")].has_value());
    EXPECT_FALSE(back.rows[1][forstrix::test::field_index(back, "kosten")].has_value());
    EXPECT_TRUE(back.rows[2][forstrix::test::field_index(back, "kosten")].has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cli, PlanRefusedRow,
    ::testing::Values(Refused{"Stops", false, 2, {"Bestand 2 (FID 2), gi_bhd: 95", "keine Ausgabe geschrieben"}},
                      Refused{"Skipped", true, 0, {"Bestand 2 (FID 2), gi_bhd: 95", "1 fehlerhafter Bestand übersprungen"}}),
    [](const auto& row) { return std::string(row.param.label); });
#endif

}  // namespace
}  // namespace forstrix::cli::test
