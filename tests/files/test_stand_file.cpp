// Stand files and flat objects of values: every input value kept exactly, files by hand, refusals.
#include "files/stand_file.h"
#include "files/scenario_input.h"

#include <algorithm>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support.h"

namespace forstrix::files {
namespace {

using test::expect_same;
using test::same_bits;

// The scenario chain over the defaults with the "name=value" items of `set`.
State computed(std::string_view set) {
    std::vector<Given> given;
    for (const test::Item& i : test::items(set)) given.push_back({&test::value(i.name), i.value});
    State s;
    ScenarioOutcome out;
    compute_scenario(s, given, nullptr, out);
    EXPECT_TRUE(out.ok()) << set << ": " << (out.ok() ? "" : out.problems.front().message);
    return s;
}

const std::string kHead = "{\"format\": \"forstrix-bestand\", \"version\": 1";

std::string file_with(const std::string& values, const std::string& head = "") {
    return kHead + head + ", \"values\": {" + values + "}}";
}

// For every input value one other than the default that its dialog accepts, with many digits.
std::vector<Given> every_input_changed() {
    std::vector<Given> given;
    for (const ValueInfo& v : value_registry()) {
        if (!v.settable() || v.name == "gf_ii_rd") continue;
        const double d = default_value(v);
        const std::vector<double> candidates =
            v.type == ValueType::Double ? std::vector<double>{d * 1.1 + 0.1, d + 1.0 / 3.0}
                                        : std::vector<double>{d + 1, d - 1, 5};
        const auto c = std::find_if(candidates.begin(), candidates.end(),
                                    [&](double x) { return x != d && !check_value(v, x); });
        if (c != candidates.end()) given.push_back({&v, *c});
        else ADD_FAILURE() << v.name;
    }
    return given;
}

TEST(StandFile, EveryInputValueOfTheRegistryComesBackExactly) {
    const std::vector<Given> given = every_input_changed();
    State original;
    ScenarioOutcome out;
    compute_scenario(original, given, nullptr, out);
    ASSERT_TRUE(out.ok()) << out.problems.front().message;
    const StandLabel label{"Abteilung 12b, Eichenhang \"Süd\"", "Zeile 1\nZeile 2\t€ – ½"};
    const std::string text = stand_text(original, label);

    // One member a line, in registry order, each input value by its name;
    // only gf_ii_rd, which follows gf_i_rd, is left out.
    const auto doc = nlohmann::ordered_json::parse(text);
    std::vector<std::string> written, expected;
    for (const auto& [name, value] : doc["values"].items()) written.push_back(name);
    for (const ValueInfo& v : value_registry())
        if (v.settable() && v.name != "gf_ii_rd") expected.emplace_back(v.name);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::ptrdiff_t(expected.size() + 8));
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.substr(0, 2), "{\n");  // no BOM

    // Written over an old file and read back, also under a German locale.
    test::ScratchDir dir;
    test::write_file(dir / "a.forstrix", "old");
    ASSERT_TRUE(write_stand(dir / "a.forstrix", original, label).ok());
    EXPECT_EQ(test::read_file(dir / "a.forstrix"), text);
    ASSERT_TRUE(test::german_locale()) << "the locale de_DE.UTF-8 is not available";
    EXPECT_EQ(stand_text(original, label), text);
    State reread;
    StandLabel relabel;
    const Outcome r = read_stand(dir / "a.forstrix", reread, relabel);
    std::locale::global(std::locale::classic());
    ASSERT_TRUE(r.ok()) << r.message();
    expect_same(reread, original);
    for (const Given& g : given) EXPECT_TRUE(same_bits(get_value(reread, *g.info), g.value)) << g.info->name;
    EXPECT_EQ(relabel, label);
    EXPECT_EQ(stand_text(reread, relabel), text);

    // A stand that the file would not give back is not written at all.
    State odd = original;
    odd.gf_vab = std::numeric_limits<double>::quiet_NaN();
    const Outcome refused = write_stand(dir / "a.forstrix", odd, label);
    EXPECT_EQ(refused.status, Status::WriteFailed);
    EXPECT_EQ(refused.detail.rfind("Die Datei ließe sich nicht wieder laden: ", 0), 0u) << refused.detail;
    EXPECT_EQ(test::read_file(dir / "a.forstrix"), text);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.forstrix"});
}

// A file written by hand holds any subset; the rest are the defaults, and the values
// go through the chain as calc takes them. A flat object of values reads alike.
TEST(StandFile, HandWrittenSubsetsTakeTheDefaultsForTheRest) {
    struct Row {
        const char* name;
        std::string bytes;
        const char* same_as;  // the scenario it must equal
        StandLabel label;
    };
    const std::vector<Row> rows = {
        {"nothing but the header", kHead + "}", "", {}},
        {"name and note first", "{\"note\": \"n\", \"name\": \"A\", " + kHead.substr(1) + "}", "", {"A", "n"}},
        // Version 1, before the CO2 factors: they keep their defaults.
        {"an oak stand", file_with("\"gi_ba\": 6, \"gi_bhd\": 34, \"gf_vab\": 42.5"), "gi_ba=6 gi_bhd=34 gf_vab=42.5", {}},
        {"the skidder cost of system I typed", file_with("\"gf_ss\": 41.5, \"gf_asb44\": 200"), "gf_asb44=200 gf_ss=41.5", {}},
        {"gf_ii_rd equal to gf_i_rd", file_with("\"gf_i_rd\": 250, \"gf_ii_rd\": 250"), "gf_i_rd=250", {}},
        // A written -0 is 0, bit for bit.
        {"a flat object with BOM, CR LF and exponent",
         "\xEF\xBB\xBF{\r\n\"gi_bhd\": 34.0, \"gf_gf\": 1.2e2, \"gf_bh\": -0\r\n}\r\n", "gi_bhd=34 gf_gf=120 gf_bh=0", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        State s;
        StandLabel label{"alt", "alt"};
        ScenarioInput flat;
        if (row.bytes.find("\"format\"") != std::string::npos) {
            const Outcome r = parse_stand(row.bytes, s, label);
            ASSERT_TRUE(r.ok()) << r.message();
        } else {
            ASSERT_TRUE(parse_scenario_input(row.bytes, flat).ok());
            ScenarioOutcome out;
            compute_scenario(s, flat.values, nullptr, out);
            label = flat.label;
        }
        expect_same(s, computed(row.same_as));
        EXPECT_EQ(label, row.label);
    }
}

// A stand file and a flat object of values are read by the same rules. A refused file names
// its problem in one line under the heading of its kind, and changes neither state nor label.
TEST(ScenarioInput, RefusedFilesNameTheProblemAndChangeNothing) {
    enum Kind { kBoth, kStand, kFlat };
    struct Row {
        const char* name;
        Kind kind;
        std::string text;  // kBoth: the members, flat or within "values"; else the whole file
        const char* says;
    };
    const std::vector<Row> rows = {
        {"name given twice", kBoth, "\"gi_bhd\": 34, \"gi_bhd\": 35", "\"gi_bhd\" steht zweimal in der Datei."},
        {"number written as a string", kBoth, "\"gf_vab\": \"40,5\"", "gf_vab: \"40,5\" ist keine Zahl."},
        {"number beyond a double", kBoth, "\"gf_gf\": 1e999", "eine Zahl, die zu groß für eine endliche Zahl ist."},
        {"nested deeper than either kind", kBoth, "\"gi_bhd\": [[34]]", "Die Datei ist zu tief verschachtelt"},
        {"true where a number belongs", kBoth, "\"gf_vab\": true", "gf_vab: true ist keine Zahl."},
        {"brackets in a string are text", kBoth, "\"gf_vab\": \"[[\\\"[[\"", "ist keine Zahl."},
        {"misspelt name", kBoth, "\"gi_bdh\": 30", "gi_bdh: unbekannter Name; meinten Sie gi_bhd?"},
        {"derived value", kBoth, "\"gc_hoehe\": 20", "gc_hoehe:"},
        {"beyond the list", kBoth, "\"gi_bhd\": 95", "gi_bhd: 95 liegt nicht im erlaubten Bereich 6 bis 90"},
        {"Zeitgrad beyond 200", kBoth, "\"gi_zest\": 250", "Zeitgrad 250 erscheint unplausibel"},
        {"negative", kBoth, "\"gf_vab\": -1", "gf_vab: -1 ist negativ"},
        {"not JSON", kBoth, "\"gi_bhd\" = 34", "Die Datei ist kein gültiges JSON (Zeile 1, Spalte "},
        {"empty", kFlat, "", "Die Datei endet vorzeitig; sie ist unvollständig."},
        {"a list", kFlat, "[1, 2]", "Die Datei muss ein JSON-Objekt aus Namen und Werten sein, zum Beispiel {\"gi_bhd"},
        {"cut short", kStand, kHead + ", \"val", "Die Datei endet vorzeitig"},
        {"broken on line 3", kStand, "{\n\"format\": \"forstrix-bestand\",\n\"version\" 1}", "(Zeile 3, Spalte 11)"},
        {"a list", kStand, "[1, 2]", "Die Datei ist keine Bestandsdatei (es fehlt \"format\": \"forstrix-bestand\")."},
        {"a flat object of values", kStand, "{\"gi_bhd\": 34}", "Die Datei ist keine Bestandsdatei"},
        {"other format", kStand, "{\"format\": \"forstrix-tabelle\", \"version\": 1}",
         "Die Datei hat das Format \"forstrix-tabelle\"; eine Bestandsdatei hat das Format \"forstrix-bestand\"."},
        {"newer version", kStand, "{\"format\": \"forstrix-bestand\", \"version\": 3}",
         "Die Datei hat die Version 3 und stammt von einem neueren Forstrix; dieses Programm liest "
         "Bestandsdateien bis zur Version 2."},
        {"version missing", kStand, "{\"format\": \"forstrix-bestand\"}", "Die Angabe \"version\" fehlt."},
        {"version 0", kStand, "{\"format\": \"forstrix-bestand\", \"version\": 0}", "\"version\": 0 ist keine Versionsnummer"},
        {"unknown member", kStand, kHead + ", \"stand\": {}}", "\"stand\" ist keine Angabe einer Bestandsdatei"},
        {"name not a text", kStand, kHead + ", \"name\": 12}", "\"name\": 12 ist kein Text."},
        {"values a list", kStand, kHead + ", \"values\": [34]}", "\"values\" muss ein Objekt aus Namen und Werten sein"},
        {"gf_ii_rd apart from gf_i_rd", kStand, file_with("\"gf_ii_rd\": 90"), "gf_ii_rd: die Rückedistanz von System II"},
    };
    for (const Row& row : rows) {
        for (const bool stand : {false, true}) {
            if (row.kind == (stand ? kFlat : kStand)) continue;
            SCOPED_TRACE(std::string(row.name) + (stand ? " in a stand file" : " in a flat object"));
            const std::string bytes = row.kind != kBoth ? row.text : stand ? file_with(row.text) : "{" + row.text + "}";
            State s = computed("gi_hn=40 gf_hab44=480");
            const State before = s;
            StandLabel label{"vorher", "bleibt"};
            ScenarioInput input;
            const Outcome r = stand ? parse_stand(bytes, s, label) : parse_scenario_input(bytes, input);
            EXPECT_EQ(r.status, Status::Refused);
            EXPECT_EQ(r.heading, stand ? kStandNotLoaded : kInputNotLoaded);
            EXPECT_NE(r.detail.find(row.says), std::string::npos) << r.detail;
            EXPECT_EQ(r.detail.find('\n'), std::string::npos) << r.detail;
            expect_same(s, before);
            EXPECT_EQ(label, (StandLabel{"vorher", "bleibt"}));
            EXPECT_TRUE(input.values.empty());
        }
    }
}

// What cannot be read says why and where; a stand file that is gone, in the desktop's words.
TEST(InputFiles, UnreadableOrTooLargeSayWhyAndWhere) {
    test::ScratchDir dir;
    std::filesystem::create_directory(dir / "ordner");
    test::write_file(dir / "gross", file_with("") + std::string(std::size_t{1} << 20, ' '));
    const std::tuple<const char*, Status, std::string> rows[] = {
        {"fehlt", Status::NotFound, "Die Datei existiert nicht: "},
        {"ordner", Status::Unreadable, "Die Datei ist ein Ordner: "},
        {"gross", Status::Refused, "Die Datei ist zu groß (mehr als 1 MiB): "}};
    for (const auto& [file, status, reason] : rows) {
        ScenarioInput input;
        const Outcome scenario = read_scenario_input(dir / file, input);
        EXPECT_EQ(scenario.status, status) << file;
        EXPECT_EQ(scenario.message(), kInputNotLoaded + ("\n" + reason) + (dir / file).string());
        State s;
        StandLabel label;
        const Outcome stand = read_stand(dir / file, s, label);
        EXPECT_EQ(stand.status, status) << file;
        EXPECT_EQ(stand.detail, status == Status::NotFound ? "Die Datei kann nicht geöffnet werden." : scenario.detail);
    }
}

}  // namespace
}  // namespace forstrix::files
