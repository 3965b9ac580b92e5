// forstrix-cli batch: tables as spreadsheets write them, rows equal to what
// calc gives, and bad rows that leave no output behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <sstream>

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

struct Convention { const char *label; char sep, decimal; const char *eol, *bom; };
class BatchTable : public ::testing::TestWithParam<Convention> {};

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
    const CliRun r = run_cli({"batch", dir / "in.csv", "-o", dir / "out.csv", "--set", "gi_hn=50", "--set", "gf_fw=13,5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string out = slurp(dir / "out.csv");
    const std::vector<std::string> lines = split(out, '\n');
    ASSERT_EQ(lines.size(), kRows.size() + 1);
    EXPECT_EQ(std::size_t(std::count(out.begin(), out.end(), '\r')), std::string(c.eol) == "\n" ? 0 : lines.size());
    const std::vector<std::string> header = as_points(lines[0], c.sep, '.');
    // the table's inputs, derived values, flags, time and cost results, then fuel and CO2
    ASSERT_EQ(header.size(), 8 + 5 + 6 + 54 + 18u);
    std::string fuel_columns;
    for (std::size_t k = header.size() - 19; k < header.size(); ++k) fuel_columns += header[k] + " ";
    EXPECT_EQ(fuel_columns, "gff_g45 diesel_sys1 diesel_sys2 diesel_sys3 diesel_sys4 diesel_sys5 diesel_sys6 "
                            "benzin_sys1 benzin_sys2 benzin_sys3 benzin_sys4 benzin_sys5 benzin_sys6 "
                            "co2_sys1 co2_sys2 co2_sys3 co2_sys4 co2_sys5 co2_sys6 ");
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        std::vector<std::string> args = {"calc", "--set", "gf_fw=13.5"};
        const std::vector<std::string> names = split(kColumns, ','), values = split(kRows[row], ',');
        for (std::size_t k = 0; k < names.size(); ++k) args.insert(args.end(), {"--set", names[k] + "=" + values[k]});
        const nlohmann::json calc = nlohmann::json::parse(run_cli(args).out);
        const std::vector<std::string> cells = as_points(lines[row + 1], c.sep, c.decimal);
        ASSERT_EQ(cells.size(), header.size()) << "row " << row;
        for (std::size_t k = 0; k < header.size(); ++k)
            EXPECT_EQ(std::stod(cells[k]), calc.at(header[k]).get<double>()) << "row " << row << ", " << header[k];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BatchTable,
    ::testing::Values(Convention{"CommaAndPoint", ',', '.', "\n", ""},
                      Convention{"SemicolonAndComma", ';', ',', "\r\n", ""},
                      Convention{"SemicolonAndPoint", ';', '.', "\n", ""},
                      Convention{"Utf8BomSemicolonAndComma", ';', ',', "\n", "\xEF\xBB\xBF"}),
    [](const auto& row) { return std::string(row.param.label); });

struct BadTable { const char* label; std::string table; std::vector<std::string> expected_in_messages; };
class BatchRefuses : public ::testing::TestWithParam<BadTable> {};

TEST_P(BatchRefuses, WithLineAndNameAndWritesNothing) {
    TempDir dir;
    spit(dir / "in.csv", GetParam().table);
    spit(dir / "out.csv", "previous results\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "-o", dir / "out.csv"});
    EXPECT_EQ(r.status, 2);
    for (const std::string& piece : GetParam().expected_in_messages) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("keine Ausgabe geschrieben"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(dir / "out.csv"), "previous results\n");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"in.csv", "out.csv"})) << "no temporary file left";
    EXPECT_EQ(run_cli({"batch", dir / "in.csv"}).out, "") << "no rows on standard output either";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BatchRefuses,
    ::testing::Values(
        BadTable{"Word", "gi_bhd,gf_vab\n20,30\n25,viel\n", {"Zeile 3, gf_vab: ", "viel"}},
        BadTable{"BhdOutOfRange", "gi_bhd;gf_vab\n20;30\n\n95;30\n", {"Zeile 4, gi_bhd: ", "6 bis 90"}},
        BadTable{"UnknownColumn", "gi_bhd,gf_volumen\n20,30\n", {"Zeile 1, gf_volumen: ", "--template"}},
        BadTable{"DecimalCommaWithCommaSeparator", "gi_bhd,gf_vab\n20,30,5\n", {"Zeile 2: 3 Felder statt 2"}},
        BadTable{"Utf16", std::string("\xFF\xFEg\0i\0", 6), {"UTF-16"}}),
    [](const auto& row) { return std::string(row.param.label); });

// A table that cannot be read is named with the reason that fits reading:
// a missing table is a missing file, its folder may well be there.
TEST(CliBatch, UnreadableTableSaysWhyAndWritesNothing) {
    TempDir dir;
    struct Case {
        const char* label;
        std::string path;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"missing_table_in_existing_folder", dir / "fehlt.csv", ": Die Datei existiert nicht."},
        {"folder_instead_of_table", dir / "", "ist ein Ordner, keine Tabelle"},
    };
    for (const Case& c : cases) {
        const CliRun r = run_cli({"batch", c.path, "-o", dir / "out.csv"});
        EXPECT_EQ(r.status, 1) << c.label;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.label << ": " << r.err;
        EXPECT_EQ(r.err.find("Ordner existiert nicht"), std::string::npos) << c.label << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.csv")) << c.label;
    }
}

// Many rows, so that they pass through several blocks, two of them bad.
TEST(CliBatch, SkipInvalidWritesTheGoodRowsInOrder) {
    TempDir dir;
    std::string table = "gi_bhd;gf_vab\n";
    for (int k = 0; k < 3000; ++k)
        table += (k == 2345 ? "95" : std::to_string(6 + k % 85)) + ";" + (k == 1234 ? "viel" : std::to_string(10 + k % 190)) + ",5\n";
    spit(dir / "in.csv", table);
    const CliRun r = run_cli({"batch", dir / "in.csv", "--skip-invalid"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Zeile 1236, gf_vab: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Zeile 2347, gi_bhd: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 fehlerhafte Zeilen übersprungen, 2998 Zeilen berechnet"), std::string::npos) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 2999u);
    for (int k = 0, line = 1; k < 3000; ++k) {
        if (k == 1234 || k == 2345) continue;
        ASSERT_EQ(lines[std::size_t(line++)].rfind(std::to_string(6 + k % 85) + ";" + std::to_string(10 + k % 190) + ",5;", 0), 0u) << k;
    }
}

// A named pipe (as /dev/null, a device) is written to, never replaced by a
// file; a link keeps pointing at the file it names, which keeps its mode.
TEST(CliBatch, OutputIntoAPipeOrThroughALinkKeepsThem) {
    TempDir dir;
    spit(dir / "in.csv", "gi_bhd\n20\n");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    // With the reading end open the run never waits: one row fits the pipe.
    const int pipe = ::open((dir / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(pipe, 0);
    const CliRun to_pipe = run_cli({"batch", dir / "in.csv", "-o", dir / "pipe"});
    std::string piped(1 << 16, '\0');
    piped.resize(std::size_t(std::max<ssize_t>(0, ::read(pipe, piped.data(), piped.size()))));
    ::close(pipe);
    EXPECT_EQ(to_pipe.status, 0) << to_pipe.err;
    EXPECT_EQ(piped.rfind("gi_bhd,gc_hoehe,", 0), 0u) << piped;
    struct stat st {};
    ASSERT_EQ(::stat((dir / "pipe").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    spit(dir / "real.csv", "previous results\n");
    std::filesystem::permissions(dir / "real.csv", std::filesystem::perms(0640));
    std::filesystem::create_symlink(dir / "real.csv", dir / "link.csv");
    const CliRun via_link = run_cli({"batch", dir / "in.csv", "-o", dir / "link.csv"});
    EXPECT_EQ(via_link.status, 0) << via_link.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.csv"));
    EXPECT_EQ(slurp(dir / "real.csv").rfind("gi_bhd,gc_hoehe,", 0), 0u);
    EXPECT_EQ(std::filesystem::status(dir / "real.csv").permissions(), std::filesystem::perms(0640));
}

// With --reasons six cells follow the flags: the names calc gives as reasons.
TEST(CliBatch, ReasonColumnsFollowTheFlagsWithTheNamesCalcGives) {
    TempDir dir;
    spit(dir / "in.csv", kColumns + "\n" + kRows[0] + "\n" + kRows[1] + "\n" + kRows[3] + "\n" + kRows[6] + "\n");
    const CliRun r = run_cli({"batch", dir / "in.csv", "--reasons"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 5u);
    const std::vector<std::string> header = split(lines[0], ',');
    ASSERT_EQ(header.size(), 8 + 5 + 6 + 6 + 54 + 18u);  // ... reasons, time and cost, fuel and CO2
    const auto flag6 = std::find(header.begin(), header.end(), "g_sys6") - header.begin();
    for (int sys = 1; sys <= 6; ++sys) EXPECT_EQ(header[std::size_t(flag6 + sys)], "reasons_sys" + std::to_string(sys));
    EXPECT_EQ(header[std::size_t(flag6 + 7)], "gff_e3");
    const std::vector<std::string> names = split(kColumns, ',');
    const std::string expected_second[] = {"", "", "", "gi_hn", "gi_hn gi_hvs", ""};  // BHD 18, slope 35
    for (std::size_t row = 1; row < lines.size(); ++row) {
        const std::vector<std::string> cells = split(lines[row], ',');  // an empty last cell is kept
        ASSERT_EQ(cells.size(), header.size()) << lines[row];
        std::vector<std::string> args = {"calc"};
        const std::vector<std::string> values = split(lines[row], ',');
        for (std::size_t k = 0; k < names.size(); ++k) args.insert(args.end(), {"--set", names[k] + "=" + values[k]});
        const nlohmann::json calc = nlohmann::json::parse(run_cli(args).out);
        for (int sys = 1; sys <= 6; ++sys) {
            std::string expected;
            for (const auto& reason : calc.at("reasons").at("g_sys" + std::to_string(sys)))
                expected += (expected.empty() ? "" : " ") + reason.at("name").get<std::string>();
            EXPECT_EQ(cells[std::size_t(flag6 + sys)], expected) << "row " << row << ", system " << sys;
            if (row == 2) { EXPECT_EQ(cells[std::size_t(flag6 + sys)], expected_second[sys - 1]) << sys; }
        }
    }
}

TEST(CliBatch, TemplateHeaderTakesARowOfCalcValues) {
    const CliRun tmpl = run_cli({"batch", "--template", "--sep", ";"});
    ASSERT_EQ(tmpl.status, 0);
    const nlohmann::json defaults = nlohmann::json::parse(run_cli({"calc"}).out);
    const std::string header = tmpl.out.substr(0, tmpl.out.find('\n'));
    std::string row;
    for (const std::string& name : split(header, ';')) row += (row.empty() ? "" : ";") + defaults.at(name).dump();
    std::replace(row.begin(), row.end(), '.', ',');
    TempDir dir;
    spit(dir / "in.csv", header + "\n" + row + "\n");
    const CliRun r = run_cli({"batch", dir / "in.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<std::string> names = split(lines[0], ';'), cells = as_points(lines[1], ';', ',');
    for (std::size_t k = 0; k < names.size(); ++k)
        EXPECT_EQ(std::stod(cells[k]), defaults.at(names[k]).get<double>()) << names[k];
}

}  // namespace
}  // namespace forstrix::cli::test
