// forstrix-cli batch: tables as spreadsheets write them, rows equal to what
// calc gives, bad rows that leave no output behind, the same bytes from any
// number of threads, and memory that long lines do not multiply.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

// The cells of an output line, with decimal points, as calc prints them.
std::vector<std::string> as_points(std::string line, char sep, char decimal) {
    EXPECT_TRUE(decimal == '.' || line.find('.') == std::string::npos) << line;
    std::replace(line.begin(), line.end(), decimal, '.');
    return split(line.substr(0, line.find('\r')), sep);
}

// Every species, thin and strong trees, steep slopes, yarding, the
// harvester's purchase price (a basic: its machine-hour cost changes); gi_hn
// is also given on the command line for every row, where the cells win.
const std::string kColumns = "gi_ba,gi_bhd,gi_sf,gi_hn,gi_br,gi_hvs,gf_vab,gf_hab44";
const std::vector<std::string> kRows = {"0,20,1,14,0,0,30,450",     "2,18,2,35,0,0,45.25,300",
                                        "3,40,3,36,0,1,60,612.5",   "5,15,1,61,1,1,30,450",
                                        "7,55,0,65,0,1,120.5,200",  "8,90,2,10,1,0,200,450",
                                        "6,6,3,0,0,0,12.125,999"};

struct Convention { const char *label; char sep, decimal; const char *eol, *bom; bool reasons; };
class BatchTable : public ::testing::TestWithParam<Convention> {};

// Every cell equals calc's value; with --reasons six cells follow the flags,
// the names calc gives as the reasons why a system does not suit the stand.
TEST_P(BatchTable, RowsEqualWhatCalcGives) {
    const Convention& c = GetParam();
    auto convert = [&](std::string line) {
        for (char& ch : line) ch = ch == ',' ? c.sep : ch == '.' ? c.decimal : ch;
        return line + c.eol;
    };
    std::string table = c.bom + convert(kColumns);
    for (const std::string& row : kRows) table += convert(row);
    TempDir dir;
    spit(dir / "in.csv", table);
    std::vector<std::string> args{"batch", dir / "in.csv", "-o", dir / "out.csv", "--set", "gi_hn=50", "--set", "gf_fw=13,5"};
    if (c.reasons) args.push_back("--reasons");
    const CliRun r = run_cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string out = slurp(dir / "out.csv");
    const std::vector<std::string> lines = split(out, '\n');
    ASSERT_EQ(lines.size(), kRows.size() + 1);
    EXPECT_EQ(std::size_t(std::count(out.begin(), out.end(), '\r')), std::string(c.eol) == "\n" ? 0 : lines.size());
    const std::vector<std::string> header = as_points(lines[0], c.sep, '.');
    // the table's inputs, derived values, flags, (reasons,) time and cost results, then fuel and CO2
    ASSERT_EQ(header.size(), 8 + 5 + 6 + (c.reasons ? 6 : 0) + 54 + 18u);
    EXPECT_EQ(header[8 + 5 + 6], c.reasons ? "reasons_sys1" : "gff_e3");
    EXPECT_EQ(std::vector<std::string>(header.end() - 19, header.end()),
              split("gff_g45 diesel_sys1 diesel_sys2 diesel_sys3 diesel_sys4 diesel_sys5 diesel_sys6 benzin_sys1 benzin_sys2 "
                    "benzin_sys3 benzin_sys4 benzin_sys5 benzin_sys6 co2_sys1 co2_sys2 co2_sys3 co2_sys4 co2_sys5 co2_sys6", ' '));
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        std::vector<std::string> calc_args = {"calc", "--set", "gf_fw=13.5"};
        const std::vector<std::string> names = split(kColumns, ','), values = split(kRows[row], ',');
        for (std::size_t k = 0; k < names.size(); ++k) calc_args.insert(calc_args.end(), {"--set", names[k] + "=" + values[k]});
        const nlohmann::json calc = nlohmann::json::parse(run_cli(calc_args).out);
        const std::vector<std::string> cells = as_points(lines[row + 1], c.sep, c.decimal);
        ASSERT_EQ(cells.size(), header.size()) << "row " << row;
        for (std::size_t k = 0; k < header.size(); ++k) {
            if (!header[k].starts_with("reasons_sys")) {
                EXPECT_EQ(std::stod(cells[k]), calc.at(header[k]).get<double>()) << "row " << row << ", " << header[k];
                continue;
            }
            std::string expected;
            for (const auto& reason : calc.at("reasons").at("g_sys" + header[k].substr(11)))
                expected += (expected.empty() ? "" : " ") + reason.at("name").get<std::string>();
            EXPECT_EQ(cells[k], expected) << "row " << row << ", " << header[k];
        }
    }
    if (c.reasons) { EXPECT_EQ(split(lines[2], ',')[8 + 5 + 6 + 3], "gi_hn") << "BHD 18, slope 35: not system IV"; }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BatchTable,
    ::testing::Values(Convention{"CommaAndPointWithReasons", ',', '.', "\n", "", true},
                      Convention{"SemicolonAndComma", ';', ',', "\r\n", "", false},
                      Convention{"SemicolonAndPoint", ';', '.', "\n", "", false},
                      Convention{"Utf8BomSemicolonAndComma", ';', ',', "\n", "\xEF\xBB\xBF", false}),
    [](const auto& row) { return std::string(row.param.label); });

struct BadTable { const char* label; std::string table; int status; std::vector<std::string> expected_in_messages; };
class BatchRefuses : public ::testing::TestWithParam<BadTable> {};

TEST_P(BatchRefuses, WithLineAndNameAndWritesNothing) {
    TempDir dir;
    if (!GetParam().table.empty()) spit(dir / "in.csv", GetParam().table);
    spit(dir / "out.csv", "previous results\n");
    std::vector<std::string> args{"batch", dir / "in.csv", "-o", dir / "out.csv"};
    if (std::string(GetParam().label) == "MissingMapping") args.insert(args.end(), {"--map", dir / "none.json"});
    const CliRun r = run_cli(args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_TRUE(r.status == 1 || r.err.find("keine Ausgabe geschrieben") != std::string::npos) << r.err;
    for (const std::string& piece : GetParam().expected_in_messages) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
    EXPECT_EQ(slurp(dir / "out.csv"), "previous results\n");
    EXPECT_EQ(dir.files().size(), GetParam().table.empty() ? 1u : 2u) << "no temporary file left";
    args.erase(args.begin() + 2, args.begin() + 4);
    EXPECT_EQ(run_cli(args).out, "") << "no rows on standard output either";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BatchRefuses,
    ::testing::Values(
        BadTable{"Word", "gi_bhd,gf_vab\n20,30\n25,viel\n", 2, {"Zeile 3, gf_vab: ", "viel"}},
        BadTable{"BhdOutOfRange", "gi_bhd;gf_vab\n20;30\n\n95;30\n", 2, {"Zeile 4, gi_bhd: ", "6 bis 90"}},
        BadTable{"MisspeltColumn", "gi_bhd,gf_volumen\n20,30\n", 2, {"Zeile 1, gf_volumen: unbekannter Name"}},
        BadTable{"MisspeltColumnWithHint", "ID;gi_bdh\n1;20\n", 2, {"Zeile 1, gi_bdh: unbekannter Name; meinten Sie gi_bhd?"}},
        BadTable{"WordOfNoList", "gi_ba;gi_bhd\nBuche;20\nBuch;20\n", 2,
                 {"Zeile 3, gi_ba: \u201EBuch\u201C ist kein Eintrag der Liste (Birke, Erle"}},
        BadTable{"ChosenOutOfRange", "gi_bhd;gewaehlt;fest\n20;2;1\n20;7;\n20;;ja\n", 2,
                 {"Zeile 3, gewaehlt: \u201E7\u201C ist kein Arbeitssystem", "Zeile 4, fest: \u201Eja\u201C"}},
        BadTable{"MissingMapping", "gi_bhd\n20\n", 1, {"Zuordnung kann nicht geladen werden!"}},
        BadTable{"DecimalCommaWithCommaSeparator", "gi_bhd,gf_vab\n20,30,5\n", 2, {"Zeile 2: 3 Felder statt 2"}},
        BadTable{"Utf16", std::string("\xFF\xFEg\0i\0", 6), 2, {"UTF-16"}},
        // Tiny pieces on a 500 m rope line: V's time would be negative, as calc says.
        BadTable{"OutsideTheTimeModel", "gi_hn,gi_hvs,gi_v_sll,gf_stm\n40,1,4,0.01\n", 2,
                 {"Zeile 2, gff_e34: ", "negative Zeit je Fm"}},
        // A missing table is a missing file; its folder is there.
        BadTable{"MissingTable", "", 1, {"in.csv\" kann nicht geöffnet werden: Die Datei existiert nicht."}}),
    [](const auto& row) { return std::string(row.param.label); });

// run_batch in this process: its exit status, result and messages.
std::string run_here(const std::string& table, bool skip_invalid, unsigned threads) {
    std::FILE *out = std::tmpfile(), *err = std::tmpfile();
    std::string text = std::to_string(run_batch({table, "", skip_invalid, false, threads, ""}, State{}, {}, out, err)) + "\n";
    for (std::FILE* f : {out, err}) {
        std::rewind(f);
        for (int ch; (ch = std::fgetc(f)) != EOF;) text += static_cast<char>(ch);
        std::fclose(f);
    }
    return text;
}

// Whether a row is bad depends on that row alone: a refused row early on
// hides no later one that overflows, and one thread or several give the
// same bytes. Three bad rows among many blocks of rows.
TEST(CliBatch, EveryBadRowFoundAndTheSameBytesFromAnyNumberOfThreads) {
    TempDir dir;
    std::string table = "gi_bhd;gf_vab;gf_fw\n";
    for (int k = 0; k < 3000; ++k)
        table += (k == 2345 ? "95" : std::to_string(6 + k % 85)) + ";" + (k == 0 ? "viel" : std::to_string(10 + k % 190)) +
                 ",5;" + (k == 2900 ? std::string(308, '9') : "20") + "\n";
    spit(dir / "in.csv", table);
    for (const bool skip : {false, true}) {
        const std::string one = run_here(dir / "in.csv", skip, 1);
        for (const unsigned threads : {2u, 5u}) EXPECT_EQ(run_here(dir / "in.csv", skip, threads), one) << threads;
        for (const char* said : {"Zeile 2, gf_vab: ", "Zeile 2347, gi_bhd: ", "Zeile 2902, "})
            EXPECT_NE(one.find(said), std::string::npos) << said << " in " << one.substr(one.size() - 2000);
        EXPECT_TRUE(one.ends_with(skip ? "3 fehlerhafte Zeilen übersprungen, 2997 Zeilen berechnet.\n"
                                       : "Fehler: 3 fehlerhafte Zeilen; keine Ausgabe geschrieben.\n"));
        // The command line gives the same; with --skip-invalid the good rows in their order.
        const CliRun r = skip ? run_cli({"batch", dir / "in.csv", "--skip-invalid"}) : run_cli({"batch", dir / "in.csv"});
        EXPECT_EQ(std::to_string(r.status) + "\n" + r.out + r.err, one);
        if (!skip) continue;
        const std::vector<std::string> lines = split(r.out, '\n');
        ASSERT_EQ(lines.size(), 2998u);
        for (const auto& [line, k] : {std::pair{1, 1}, {2344, 2344}, {2345, 2346}, {2997, 2999}})
            EXPECT_TRUE(lines[line].starts_with(std::to_string(6 + k % 85) + ";" + std::to_string(10 + k % 190) + ",5;20;")) << k;
    }
}

#ifndef _WIN32  // GNU time measures the peak
// A table of long lines (here 256 KiB of digits each) is held a few lines
// at a time, not a block of hundreds of them. GNU time reports the peak of
// the program alone (a child of this process would count this one's memory).
TEST(CliBatch, LongLinesAreNotHeldByTheHundred) {
    TempDir dir;
    std::ofstream table(dir / "in.csv", std::ios::binary);
    table << "gi_bhd\n";
    for (int k = 0; k < 500; ++k) table << std::string(256 << 10, '0') << "30\n";  // 128 MiB
    table.close();
    const std::string run = "/usr/bin/time -f %M -o " + (dir / "peak") + " " FORSTRIX_CLI " batch " + (dir / "in.csv");
    ASSERT_EQ(std::system((run + " >" + (dir / "out.csv")).c_str()), 0);
    EXPECT_LT(std::stol(slurp(dir / "peak")), 100L << 10) << "KiB at the peak";
}
#endif

// The template's header takes a row of calc's values. A system that refuses
// every further thread (each would need a stack of terabytes) gets the same
// table from the one thread there is; a device that is full says so.
TEST(CliBatch, TemplateHeaderTakesARowOfCalcValuesAlsoWithoutThreads) {
    const std::string tmpl = run_cli({"batch", "--template", "--sep", ";"}).out;
    const nlohmann::json defaults = nlohmann::json::parse(run_cli({"calc"}).out);
    const std::string header = tmpl.substr(0, tmpl.find('\n'));
    std::string row;
    for (const std::string& name : split(header, ';')) row += (row.empty() ? "" : ";") + defaults.at(name).dump();
    std::replace(row.begin(), row.end(), '.', ',');
    TempDir dir;
    spit(dir / "in.csv", header + "\n" + row + "\n" + row + "\n");
    const CliRun r = run_cli({"batch", dir / "in.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::string> names = split(lines[0], ';'), cells = as_points(lines[1], ';', ',');
    for (std::size_t k = 0; k < names.size(); ++k)
        EXPECT_EQ(std::stod(cells[k]), defaults.at(names[k]).get<double>()) << names[k];
#ifndef _WIN32  // ulimit and /dev/full are POSIX
    const std::string run = "ulimit -s 4000000000 && " FORSTRIX_CLI " batch " + (dir / "in.csv");
    EXPECT_EQ(std::system((run + " >" + (dir / "out.csv") + " 2>" + (dir / "err")).c_str()), 0) << slurp(dir / "err");
    EXPECT_EQ(slurp(dir / "out.csv"), r.out);
    EXPECT_EQ(run_cli({"batch", dir / "in.csv", "-o", "/dev/full"}).err,  // a full disk: its cause and the path
              "Fehler: Ausgabe kann nicht geschrieben werden: Kein Platz mehr auf dem Datenträger: /dev/full\n");
#endif
}

// The cells of a result line from column `from` on (the computed columns).
std::string from_cell(const std::string& line, std::size_t from, char sep) {
    std::size_t at = 0;
    for (std::size_t k = 0; k < from; ++k) at = line.find(sep, at) + 1;
    return line.substr(at);
}

// A planner's table: its own columns written back as they stand (quotes,
// umlauts, a point in a remark, the words of list values, an empty cell for
// the value given for all), the choice and its fixing carried. Each row's
// results are those of the same stand given by numbers.
TEST(CliBatch, PlannersOwnColumnsWordsAndEmptyCells) {
    TempDir dir;
    spit(dir / "in.csv", "ID;Name;gi_bhd;Bemerkung;gi_ba;GI_V_KF;gewaehlt;fest\n"
                         "1;\"Müller; Hans\";20;Abt. 3;Buche;große Kronen;3;1\n"
                         "2;Ährenweg;;\"sagt \"\"steil\"\"\";EICHE;;;\n"
                         "3;Fichtenweg;25;;Kirsche;gro\xDF;; \n");
    spit(dir / "numbers.csv", "gi_bhd;gi_ba;gi_v_kf\n20;5;2\n30;6;1\n25;9;2\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "--set", "gi_bhd=30", "--reasons"});
    const CliRun n = run_cli({"batch", dir / "numbers.csv", "--set", "gi_bhd=30", "--reasons"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = split(r.out, '\n'), expected = split(n.out, '\n');
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].starts_with("ID;Name;gi_bhd;Bemerkung;gi_ba;gi_v_kf;gewaehlt;fest;gc_hoehe;")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("1;\"Müller; Hans\";20;Abt. 3;Buche;große Kronen;3;1;")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("2;Ährenweg;;\"sagt \"\"steil\"\"\";EICHE;;;;")) << lines[2];
    EXPECT_TRUE(lines[3].starts_with("3;Fichtenweg;25;;Kirsche;gro\xDF;; ;")) << lines[3];
    // (Row 1's quoted name holds one separator more.)
    for (std::size_t k = 1; k < 4; ++k)
        EXPECT_EQ(from_cell(lines[k], k == 1 ? 9 : 8, ';'), from_cell(expected[k], 3, ';')) << k;
    EXPECT_NE(lines[1].find(";0,"), std::string::npos) << "decimal commas, whatever a remark holds";

    // Its own result read again: the result columns are dropped and computed
    // afresh, once named; the same bytes come out.
    spit(dir / "out.csv", r.out);
    const CliRun again = run_cli({"batch", dir / "out.csv", "--set", "gi_bhd=30", "--reasons"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, r.out);
    EXPECT_EQ(again.err, "Die Ergebnisspalten gc_hoehe, gc_stm, gc_stmvoll, gc_stmderb, gc_vhieb, g_sys1 und 83 weitere "
                         "werden nicht gelesen, sondern neu berechnet.\n");
}

// An inventory's own column names and codes through a mapping file; the
// column keeps its heading, its messages name it.
TEST(CliBatch, MappedColumnsAndCodes) {
    TempDir dir;
    spit(dir / "map.json", R"({"format": "forstrix-zuordnung", "version": 1,
        "columns": {"BHD_MITTEL": "gi_bhd", "BAUMART": "gi_ba"}, "values": {"gi_ba": {"BU": 5, "EI": 6}}})");
    spit(dir / "in.csv", "Revier,BHD_MITTEL,BAUMART\nNord,20,BU\nSüd,30,ei\nWest,25,Kirsche\n");
    spit(dir / "numbers.csv", "gi_bhd,gi_ba\n20,5\n30,6\n25,9\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "--map", dir / "map.json"});
    const CliRun n = run_cli({"batch", dir / "numbers.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n'), expected = split(n.out, '\n');
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Revier,BHD_MITTEL,BAUMART," + from_cell(expected[0], 2, ','));
    // The inventory's codes and words stay as the inventory wrote them.
    const std::vector<std::string> kept = {"", "Nord,20,BU,", "Süd,30,ei,", "West,25,Kirsche,"};
    for (std::size_t k = 1; k < 4; ++k) {
        EXPECT_TRUE(lines[k].starts_with(kept[k])) << lines[k];
        EXPECT_EQ(from_cell(lines[k], 3, ','), from_cell(expected[k], 2, ',')) << k;
    }

    spit(dir / "bad.csv", "BHD_MITTEL,BAUMART\n20,XX\n");
    EXPECT_NE(run_cli({"batch", dir / "bad.csv", "--map", dir / "map.json"}).err.find(
                  "Zeile 2, BAUMART: gi_ba: \u201EXX\u201C ist kein Schlüssel der Zuordnung, kein Eintrag der Liste"),
              std::string::npos);
}

}  // namespace
}  // namespace forstrix::cli::test
