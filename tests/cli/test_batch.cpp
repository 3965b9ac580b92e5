// forstrix-cli batch: tables as spreadsheets write them, rows equal to what
// calc gives, and bad rows that leave no output behind.
#include <gtest/gtest.h>

#include <charconv>
#include <nlohmann/json.hpp>

#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

using Json = nlohmann::json;

std::vector<std::string> split(const std::string& line, char sep) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(sep, start);
        cells.push_back(line.substr(start, end - start));
        if (end == std::string::npos) return cells;
        start = end + 1;
    }
}

std::vector<std::string> lines_of(const std::string& text, const std::string& eol) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(eol, start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + eol.size();
    }
    return lines;
}

double number(std::string cell, char decimal) {
    if (decimal == ',') {
        EXPECT_EQ(cell.find('.'), std::string::npos) << cell;
        if (auto p = cell.find(','); p != std::string::npos) cell[p] = '.';
    }
    double v = 0;
    const auto r = std::from_chars(cell.data(), cell.data() + cell.size(), v);
    EXPECT_TRUE(r.ec == std::errc{} && r.ptr == cell.data() + cell.size()) << cell;
    return v;
}

// ------------------------------------------------------------ rows equal calc

const std::vector<std::string> kColumns = {"gi_ba", "gi_bhd", "gi_sf", "gi_hn", "gi_br", "gi_hvs", "gf_vab", "gf_fw"};

// Defaults, every species, thin and strong trees, steep slopes, yarding.
const std::vector<std::vector<std::string>> kRows = {
    {"0", "20", "1", "14", "0", "0", "30", "12"},     // the default stand
    {"1", "12", "0", "0", "0", "0", "10,5", "12"},
    {"2", "18", "2", "35", "0", "0", "45,25", "13,75"},
    {"3", "40", "3", "36", "0", "1", "60", "12"},
    {"4", "25", "1", "60", "0", "0", "30", "12"},
    {"5", "15", "1", "61", "1", "1", "30", "12"},
    {"6", "20", "1", "14", "0", "0", "30", "12"},
    {"7", "55", "0", "65", "0", "1", "120,5", "15"},
    {"8", "90", "2", "10", "1", "0", "200", "12"},
    {"9", "40", "2", "14", "0", "0", "30", "12"},
    {"6", "6", "3", "0", "0", "0", "12,125", "11"},
};

struct Convention {
    const char* label;
    char sep, decimal;
    const char* eol;
    const char* bom;
};

class BatchTable : public ::testing::TestWithParam<Convention> {
public:
    // calc of every row once for all conventions.
    static void SetUpTestSuite() {
        for (const auto& row : kRows) {
            std::vector<std::string> args = {"calc"};
            for (std::size_t k = 0; k < kColumns.size(); ++k) args.insert(args.end(), {"--set", kColumns[k] + "=" + row[k]});
            const CliRun r = run_cli(args);
            ASSERT_EQ(r.status, 0) << r.err;
            calc_results().push_back(Json::parse(r.out));
        }
    }
    static std::vector<Json>& calc_results() {
        static std::vector<Json> results;
        return results;
    }
};

TEST_P(BatchTable, RowsEqualWhatCalcGives) {
    const Convention& c = GetParam();
    TempDir dir;
    std::string table = c.bom;
    for (std::size_t k = 0; k < kColumns.size(); ++k) table += (k ? std::string(1, c.sep) : "") + kColumns[k];
    table += c.eol;
    for (const auto& row : kRows) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            std::string cell = row[k];
            if (c.decimal == '.' && cell.find(',') != std::string::npos) cell[cell.find(',')] = '.';
            table += (k ? std::string(1, c.sep) : "") + cell;
        }
        table += c.eol;
    }
    spit(dir / "stands.csv", table);
    const CliRun r = run_cli({"batch", dir / "stands.csv", "-o", dir / "results.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    const std::string out = slurp(dir / "results.csv");
    if (std::string(c.eol) == "\n") {
        EXPECT_EQ(out.find('\r'), std::string::npos);
    }
    const std::vector<std::string> lines = lines_of(out, c.eol);
    ASSERT_EQ(lines.size(), kRows.size() + 1);
    const std::vector<std::string> header = split(lines[0], c.sep);
    // Inputs, five derived values, six flags and the 54 results of the six systems.
    ASSERT_EQ(header.size(), kColumns.size() + 5 + 6 + 54);
    for (std::size_t k = 0; k < kColumns.size(); ++k) EXPECT_EQ(header[k], kColumns[k]);
    EXPECT_EQ(header[kColumns.size()], "gc_hoehe");
    EXPECT_EQ(header.back(), "gff_g45");
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        const std::vector<std::string> cells = split(lines[row + 1], c.sep);
        ASSERT_EQ(cells.size(), header.size()) << "row " << row;
        const Json& expected = calc_results()[row];
        for (std::size_t k = 0; k < header.size(); ++k)
            EXPECT_EQ(number(cells[k], c.decimal), expected.at(header[k]).get<double>())
                << "row " << row << ", " << header[k];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BatchTable,
    ::testing::Values(Convention{"CommaAndPoint", ',', '.', "\n", ""},
                      Convention{"SemicolonAndComma", ';', ',', "\r\n", ""},
                      Convention{"SemicolonAndPoint", ';', '.', "\n", ""},
                      Convention{"Utf8BomCommaAndPoint", ',', '.', "\r\n", "\xEF\xBB\xBF"},
                      Convention{"Utf8BomSemicolonAndComma", ';', ',', "\n", "\xEF\xBB\xBF"}),
    [](const auto& row) { return std::string(row.param.label); });

// ------------------------------------------------------------ bad tables

struct BadTable {
    const char* label;
    std::string table;
    std::vector<std::string> expected;  // pieces of the messages on standard error
};

class BatchRefuses : public ::testing::TestWithParam<BadTable> {};

TEST_P(BatchRefuses, WithLineAndNameAndLeavesTheOldOutputAlone) {
    TempDir dir;
    spit(dir / "in.csv", GetParam().table);
    spit(dir / "out.csv", "previous results\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "-o", dir / "out.csv"});
    EXPECT_EQ(r.status, 2);
    for (const std::string& piece : GetParam().expected) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("keine Ausgabe geschrieben"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(dir / "out.csv"), "previous results\n");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"in.csv", "out.csv"})) << "no temporary file left";

    const CliRun to_stdout = run_cli({"batch", dir / "in.csv"});
    EXPECT_EQ(to_stdout.status, 2);
    EXPECT_EQ(to_stdout.out, "") << "no rows on standard output either";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BatchRefuses,
    ::testing::Values(
        BadTable{"Word", "gi_bhd,gf_vab\n20,30\n25,viel\n", {"Zeile 3, gf_vab: ", "viel"}},
        BadTable{"BhdOutOfRange", "gi_bhd;gf_vab\n20;30\n25;30\n95;30\n", {"Zeile 4, gi_bhd: ", "6 bis 90"}},
        BadTable{"UnknownColumn", "gi_bhd,gf_volumen\n20,30\n", {"Zeile 1, gf_volumen: ", "--template"}},
        BadTable{"DerivedColumn", "gi_bhd,gc_hoehe\n20,18\n", {"Zeile 1, gc_hoehe: "}},
        BadTable{"DuplicateColumn", "gi_bhd,gi_bhd\n20,20\n", {"Zeile 1, gi_bhd: ", "doppelt"}},
        BadTable{"DecimalCommaWithCommaSeparator", "gi_bhd,gf_vab\n20,30,5\n", {"Zeile 2: 3 Felder statt 2"}},
        BadTable{"EmptyCell", "gi_bhd;gf_vab\n20;\n", {"Zeile 2, gf_vab: ", "leer"}},
        BadTable{"MissingVolume", "gi_bhd;gf_vab\n20;0\n", {"Zeile 2, gf_vab: "}},
        BadTable{"LineNumbersCountBlankLines", "gi_bhd;gf_vab\n20;30\n\n;\n21;30\n5;30\n", {"Zeile 6, gi_bhd: "}},
        BadTable{"Utf16", std::string("\xFF\xFEg\0i\0", 6), {"UTF-16"}},
        BadTable{"Empty", "", {"leer"}},
        BadTable{"Windows1252Header", "gi_bhd;Gr\xF6\xDF" "e\n20;1\n", {"Zeile 1, Größe: "}}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(CliBatch, SkipInvalidWritesTheGoodRowsAndListsTheBad) {
    TempDir dir;
    spit(dir / "in.csv", "gi_bhd;gf_vab\n20;30\n95;30\n25;viel\n30;40,5\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "--skip-invalid"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Zeile 3, gi_bhd: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Zeile 4, gf_vab: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 fehlerhafte Zeilen übersprungen, 2 Zeilen berechnet"), std::string::npos) << r.err;
    const std::vector<std::string> lines = lines_of(r.out, "\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].rfind("20;30;", 0), 0u);
    EXPECT_EQ(lines[2].rfind("30;40,5;", 0), 0u);
}

TEST(CliBatch, CommandLineValuesApplyToEveryRowAndCellsWin) {
    TempDir dir;
    spit(dir / "in.csv", "gi_bhd,gi_hn\n20,14\n25,40\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "--set", "gi_hn=45", "--set", "gf_fw=14"});
    ASSERT_EQ(r.status, 0) << r.err;
    const CliRun calc = run_cli({"calc", "--set", "gi_bhd=25", "--set", "gi_hn=40", "--set", "gf_fw=14"});
    const Json expected = Json::parse(calc.out);
    const std::vector<std::string> lines = lines_of(r.out, "\n");
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::string> header = split(lines[0], ','), cells = split(lines[2], ',');
    for (std::size_t k = 0; k < header.size(); ++k)
        EXPECT_EQ(number(cells[k], '.'), expected.at(header[k]).get<double>()) << header[k];
}

TEST(CliBatch, TemplateHeaderTakesARowOfCalcValues) {
    const CliRun tmpl = run_cli({"batch", "--template", "--sep", ";"});
    ASSERT_EQ(tmpl.status, 0);
    const CliRun calc = run_cli({"calc"});
    const Json defaults = Json::parse(calc.out);
    std::string header = tmpl.out.substr(0, tmpl.out.find('\n'));
    std::string row;
    for (const std::string& name : split(header, ';')) {
        std::string cell = defaults.at(name).dump();
        if (auto p = cell.find('.'); p != std::string::npos) cell[p] = ',';
        row += (row.empty() ? "" : ";") + cell;
    }
    TempDir dir;
    spit(dir / "in.csv", header + "\n" + row + "\n");
    const CliRun r = run_cli({"batch", dir / "in.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = lines_of(r.out, "\n");
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<std::string> names = split(lines[0], ';'), cells = split(lines[1], ';');
    for (std::size_t k = 0; k < names.size(); ++k)
        EXPECT_EQ(number(cells[k], ','), defaults.at(names[k]).get<double>()) << names[k];
}

TEST(CliBatch, QuotedCellsAndPlausibilityWarningsWithTheirLine) {
    TempDir dir;
    spit(dir / "in.csv", "\"gi_bhd\";\"gf_bh\"\n\"20\";\"0\"\n\"20\";\"30,5\"\n");
    const CliRun r = run_cli({"batch", dir / "in.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Zeile 3, Warnung: gf_bh: Kontrollieren Sie Ihre Höheneingabe"), std::string::npos)
        << r.err;
    EXPECT_EQ(lines_of(r.out, "\n").size(), 3u);
}

TEST(CliBatch, ManyRowsStayInOrderAcrossBlocks) {
    TempDir dir;
    std::string table = "gi_bhd;gf_vab\n";
    const int rows = 5000;
    for (int k = 0; k < rows; ++k)
        table += std::to_string(6 + k % 85) + ";" + (k == 4321 ? "x" : std::to_string(10 + k % 190) + ",5") + "\n";
    spit(dir / "in.csv", table);
    const CliRun r = run_cli({"batch", dir / "in.csv", "-o", dir / "out.csv", "--skip-invalid"});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Zeile 4323, gf_vab: "), std::string::npos) << r.err;
    const std::vector<std::string> lines = lines_of(slurp(dir / "out.csv"), "\n");
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(rows));  // header plus every row but one
    for (int k = 0, line = 1; k < rows; ++k) {
        if (k == 4321) continue;
        const std::vector<std::string> cells = split(lines[static_cast<std::size_t>(line++)], ';');
        ASSERT_EQ(cells[0], std::to_string(6 + k % 85)) << "row " << k;
        ASSERT_EQ(cells[1], std::to_string(10 + k % 190) + ",5") << "row " << k;
    }
}

}  // namespace
}  // namespace forstrix::cli::test
