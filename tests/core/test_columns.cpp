// A planner's table: which columns are values, results, the planner's own
// or misspelt value names; the dialogs' words and the inventory's codes in
// cells; the short names of a DBF and their list in the documentation.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/columns.h"
#include "core/plan.h"

namespace forstrix::columns {
namespace {

struct HeaderCase {
    const char* label;
    std::vector<std::string> names;
    std::string roles;
    std::vector<std::string> values;  // the value of each V, in order
    std::string problem = {};         // empty: accepted; else a piece of the first problem
    bool mapped = false;              // with kMapping
};

const Mapping kMapping{{{"BHD_MITTEL", "gi_bhd"}, {"baumart", "gi_ba"}, {"Hang", "gc_stm"}},
                       {{"gi_ba", {{"BU", 5}, {"1", 7}}}}};

TEST(Columns, ClassifiesHeaders) {
    const HeaderCase cases[] = {
        {"inventory columns are carried",
         {"ID", "Name", "Abteilung", "Flaeche", "BAUMART", "BHD_MITTEL", "Bemerkung", "Revier", "fid", "OBJECTID",
          "Shape_Area", "art", "flaeche", "Fläche", "kosten_ha", ""},
         "CCCCCCCCCCCCCCCC", {}},
        {"value names in any case, short names as their long name",
         {" GI_BHD ", "gf_VAB", "gf_co2_die", "GF_HFS186"}, "VVVV", {"gi_bhd", "gf_vab", "gf_co2_diesel", "gf_hfsab186"}},
        {"results of an earlier run are dropped",
         {"gi_bhd", "gc_hoehe", "G_SYS1", "gff_g45", "diesel_s1", "co2_sys6", "reasons_sys3", "REASONS_S4", "guenstig",
          "kosten_fm", "kosten", "diesel_l", "benzin_l", "co2_kg", "gf_asb64", "gf_hfs175"},
         "VDDDDDDDDDDDDDDD", {"gi_bhd"}},
        {"the planner's choice and its fixing", {"Gewaehlt", "FEST", "gewählt"}, "WFC", {}},
        {"a swapped pair", {"ID", "gi_bdh"}, "CC", {}, "gi_bdh: unbekannter Name; meinten Sie gi_bhd?"},
        {"a value name without its prefix", {"gibhd"}, "C", {}, "gibhd: unbekannter Name; meinten Sie gi_bhd?"},
        {"two edits", {"gf_vba_"}, "C", {}, "meinten Sie gf_vab?"},
        {"a prefix far from every name", {"gf_volumen"}, "C", {}, "gf_volumen: unbekannter Name; es gibt keinen Wert"},
        {"a result's prefix", {"GFF_SUMME"}, "C", {}, "GFF_SUMME: unbekannter Name"},
        {"a column twice", {"gi_bhd", "GI_BHD"}, "VC", {"gi_bhd"}, "GI_BHD: die Spalte steht doppelt in der Kopfzeile."},
        {"gewaehlt twice", {"gewaehlt", "GEWAEHLT"}, "WC", {}, "GEWAEHLT: die Spalte steht doppelt"},
        {"mapped columns in any case; a mapped column the table lacks is no error",
         {"ID", "bhd_mittel", "BAUMART", "gf_vab"}, "CVVV", {"gi_bhd", "gi_ba", "gf_vab"}, "", true},
        {"a mapped column and the value's own", {"BHD_MITTEL", "gi_bhd"}, "VC", {"gi_bhd"},
         "gi_bhd: der Wert gi_bhd steht doppelt in der Kopfzeile (auch in der Spalte \u201EBHD_MITTEL\u201C).", true},
        {"a column mapped to a derived value", {"Hang"}, "C", {}, "Hang: die Zuordnung nennt gc_stm: ist ein aus den", true},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Header h = classify(c.names, c.mapped ? &kMapping : nullptr);
        std::string roles;
        std::vector<std::string> values, dropped;
        for (std::size_t k = 0; k < h.columns.size(); ++k) {
            // V value, C carried, D dropped, W chosen ("gewaehlt"), F fixed.
            roles += "VCDWF"[static_cast<int>(h.columns[k].role)];
            if (h.columns[k].role == Role::Value) values.emplace_back(h.columns[k].info->name);
            if (h.columns[k].role == Role::Dropped) dropped.push_back(c.names[k]);
        }
        EXPECT_EQ(roles, c.roles);
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(h.dropped, dropped);
        const std::string first = h.problems.empty() ? std::string() : h.problems.front().message;
        EXPECT_EQ(first.empty(), c.problem.empty()) << first;
        EXPECT_NE(first.find(c.problem), std::string::npos) << first;
    }
    // The codes of a value reach its column whether mapped or named so.
    for (const char* name : {"BAUMART", "gi_ba"})
        EXPECT_EQ(classify({name}, &kMapping).columns.at(0).codes, &kMapping.values[0].codes) << name;
}

struct CellCase {
    const char* value;
    std::string text;
    Cell cell;
    double number = 0;
    bool coded = false;  // with the inventory's codes below
};

// A code of the inventory beats a word, a word beats a number.
const std::vector<std::pair<std::string, double>> kCodes = {{"1", 7}, {"Buche", 2}, {" ei ", 8}};

TEST(Columns, ReadsCodesWordsAndNumbers) {
    const CellCase cases[] = {
        // The species by the internal index, never by the dialog's alphabetical position (Buche there: 1).
        {"gi_ba", "Buche", Cell::Value, 5}, {"gi_ba", " EICHE ", Cell::Value, 6}, {"gi_ba", "kirsche", Cell::Value, 9},
        {"gi_sf", "STARK ABHOLZIG/SEHR KURZSCHÄFTIG", Cell::Value, 3},
        {"gi_ar", "> 20", Cell::Value, 1}, {"gi_ar", "Über 20", Cell::Value, 1}, {"gi_ar", "bis 20", Cell::Value, 0},
        {"gi_br", "Nicht vorhanden", Cell::Value, 1}, {"gi_hvs", "JA", Cell::Value, 1},
        {"gi_i_bb", "sonderstandort", Cell::Value, 5},
        // The rope line by its length as the dialog lists it, or by the position.
        {"gi_v_sll", "300", Cell::Value, 2}, {"gi_v_sll", "3", Cell::Value, 3}, {"gi_v_sll", "500", Cell::Value, 4},
        {"gi_v_kf", "MITTELGROßE KRONEN", Cell::Value, 1}, {"gi_v_kf", "groß", Cell::Value, 2},
        {"gi_v_kf", "Klein", Cell::Value, 0},
        {"gf_vab", "30,5", Cell::Value, 30.5}, {"gf_vab", "30.5", Cell::Value, 30.5}, {"gi_bhd", "95", Cell::Value, 95},
        {"gf_vab", " \t", Cell::Empty}, {"gi_ba", "", Cell::Empty},
        {"gi_ba", "Buch", Cell::Refused}, {"gf_vab", "viel", Cell::Refused}, {"gi_hvs", "vielleicht", Cell::Refused},
        {"gi_v_kf", "mittelgrosse Kronen", Cell::Refused},  // ß stays ß
        {"gi_ba", "1", Cell::Value, 7, true}, {"gi_ba", "BUCHE", Cell::Value, 2, true}, {"gi_ba", "EI", Cell::Value, 8, true},
        {"gi_ba", "Eiche", Cell::Value, 6, true}, {"gi_ba", "3", Cell::Value, 3, true}, {"gi_ba", "Buch", Cell::Refused, 0, true},
    };
    for (const CellCase& c : cases) {
        // A column as classify makes it (with its short way for numbers) and one made by hand.
        const Column by_hand{Role::Value, find_value(c.value), c.coded ? &kCodes : nullptr};
        for (const Column& col : {c.coded ? by_hand : classify({c.value}, nullptr).columns.at(0), by_hand}) {
            double v = -1;
            Problem problem;
            EXPECT_EQ(read_cell(col, c.text, v, problem), c.cell) << c.value << " " << c.text;
            EXPECT_EQ(v, c.cell == Cell::Value ? c.number : -1) << c.value << " " << c.text;
            EXPECT_EQ(problem.name, c.cell == Cell::Refused ? c.value : "") << problem.message;
        }
    }
    double v = 0;
    Problem problem;
    read_cell({Role::Value, find_value("gi_ba"), &kCodes}, "Buch", v, problem);
    EXPECT_EQ(problem.message, "gi_ba: \u201EBuch\u201C ist kein Schlüssel der Zuordnung, kein Eintrag der Liste (Birke, "
                               "Erle, Pappel, Weide, Eberesche, Buche, Eiche, Esche, Ahorn, Kirsche) und keine Zahl.");
}

// Every position of every list has a word, and each word reads back as its position.
TEST(Columns, EveryListPositionHasItsWord) {
    std::set<std::string> lists;
    for (const ValueInfo& v : value_registry()) {
        const auto words = list_words(v);
        if (words.empty()) continue;
        lists.insert(std::string(v.name));
        const ValueRange& r = *value_range(v);
        std::set<double> covered;
        for (const auto& [word, number] : words) {
            covered.insert(number);
            double read = -1;
            Problem problem;
            EXPECT_EQ(read_cell({Role::Value, &v, nullptr}, word, read, problem), Cell::Value) << word;
            EXPECT_EQ(read, number) << v.name << " " << word;
        }
        for (double k = r.lo; k <= r.hi; ++k) EXPECT_TRUE(covered.contains(k)) << v.name << " " << k;
    }
    EXPECT_EQ(lists, (std::set<std::string>{"gi_ba", "gi_sf", "gi_ar", "gi_br", "gi_hvs", "gi_i_bb", "gi_v_sll", "gi_v_kf"}));
}

TEST(Columns, ChosenAndFixed) {
    const struct {
        std::string text;
        std::optional<int> chosen, fixed;
    } cases[] = {{"", plan::kNone, 0}, {" 1 ", 0, 1},       {"6", 5, std::nullopt}, {"0", std::nullopt, 0},
                 {"7", std::nullopt, std::nullopt},  {"iii", 2, std::nullopt}, {"VI", 5, std::nullopt},
                 {"1,0", std::nullopt, std::nullopt}, {"ja", std::nullopt, std::nullopt}};
    for (const auto& c : cases) {
        Problem p;
        EXPECT_EQ(read_chosen(c.text, p), c.chosen) << c.text;
        EXPECT_EQ(read_fixed(c.text, p), c.fixed) << c.text;
    }
    Problem p;
    read_chosen("7", p);
    EXPECT_EQ(p.message, "gewaehlt: \u201E7\u201C ist kein Arbeitssystem; erlaubt sind 1 bis 6 (I bis VI) oder ein leeres Feld.");
}

// Short names: at most 10 characters, one for every longer name, each
// different from every other name, and read back as the long one.
TEST(Columns, ShortNamesAreUniqueAndReadBack) {
    std::vector<std::string> names;
    for (const ValueInfo& v : value_registry()) names.emplace_back(v.name);
    for (int i = 1; i <= 6; ++i) names.push_back(std::string(kReasonsPrefix) + std::to_string(i));
    for (std::string_view p : kPlanColumns) names.emplace_back(p);
    names.emplace_back(kFixedColumn);
    std::set<std::string> shorts;
    for (const std::string& n : names) {
        const std::string s(short_name(n));
        EXPECT_LE(s.size(), 10u) << n;
        EXPECT_TRUE(shorts.insert(s).second) << n << " -> " << s << " collides";
        EXPECT_EQ(long_name(s), n);
        EXPECT_EQ(s == n, n.size() <= 10) << n;
    }
    const auto longer = std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.size() > 10; });
    EXPECT_EQ(short_names().size(), static_cast<std::size_t>(longer));
}

TEST(Columns, DocumentationListsTheShortNames) {
    std::ifstream doc(FORSTRIX_SOURCE_DIR "/docs/kurznamen.md");
    ASSERT_TRUE(doc) << "docs/kurznamen.md";
    std::vector<std::pair<std::string, std::string>> listed;
    const std::regex row(R"(^\| `([a-z0-9_]+)` \| `([a-z0-9_]+)` \|$)");
    for (std::string line; std::getline(doc, line);)
        if (std::smatch m; std::regex_match(line, m, row)) listed.emplace_back(m[1], m[2]);
    std::vector<std::pair<std::string, std::string>> code;
    for (const ShortName& p : short_names()) code.emplace_back(p.full, p.brief);
    EXPECT_EQ(listed, code);
}

}  // namespace
}  // namespace forstrix::columns
