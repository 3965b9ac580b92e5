// forstrix-cli report --pdf: the result sheet without a display, quietly,
// written as a whole or not at all.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "run_cli.h"
#include "../support/pdf_text.h"

namespace forstrix::cli::test {
namespace {

// As a user on a server runs it: no display, no runtime folder, and a
// platform asked for that would need a display.
CliRun run_headless(const std::vector<std::string>& args) {
    TempDir capture;
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=xcb " +
                          std::string(FORSTRIX_CLI);
    for (const std::string& a : args) command += " '" + a + "'";
    const int status = std::system((command + " >" + (capture / "out") + " 2>" + (capture / "err")).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(capture / "out"), slurp(capture / "err")};
}

bool has(const std::string& text, const std::string& piece) {
    return text.find(forstrix::test::flat(piece)) != std::string::npos;
}

// (Every figure and line of the sheet is checked in the drawing library's
// tests; here the program around it.)
TEST(CliPdf, DefaultStandOnOnePageQuietlyWithoutADisplay) {
    TempDir dir;
    const CliRun r = run_headless({"report", "--pdf", dir / "erg.pdf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");  // Qt's start-up notes do not reach the terminal
    EXPECT_EQ(dir.files(), std::vector<std::string>{"erg.pdf"});
    EXPECT_EQ(forstrix::test::pdf_pages(dir / "erg.pdf"), 1);
    const std::string text = forstrix::test::flat(forstrix::test::pdf_text(dir / "erg.pdf"));
    for (const char* figure : {"Hauptbaumart Laubholz Birke", "Summe: 26,48 Euro/Fm", "inklusive Vermessung 28,15 Euro/Fm",
                               "Summe: 21,74 Euro/Fm"})
        EXPECT_TRUE(has(text, figure)) << figure;
}

TEST(CliPdf, WithOutputAlsoTheReportAndTheSameValues) {
    TempDir dir;
    const CliRun r = run_headless({"report", "--set", "gi_bhd=16", "--pdf", dir / "blatt.pdf", "-o", dir / "erg.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"blatt.pdf", "erg.txt"}));
    EXPECT_EQ(slurp(dir / "erg.txt"), run_cli({"report", "--set", "gi_bhd=16"}).out);
    const std::string text = forstrix::test::flat(forstrix::test::pdf_text(dir / "blatt.pdf"));
    EXPECT_TRUE(has(text, "BHD [cm] 16"));
    EXPECT_TRUE(has(text, "VI) Spanholz - geeignet"));
}

// A stand file's name stands under the title; its values are the sheet's.
TEST(CliPdf, TheStandFilesNameUnderTheTitle) {
    TempDir dir;
    ASSERT_EQ(run_cli({"scenario", "--set", "gi_bhd=16", "--name", "Abteilung 12b, Eichenhang", "-o",
                       dir / "12b.forstrix"}).status, 0);
    const CliRun r = run_headless({"report", "--input", dir / "12b.forstrix", "--pdf", dir / "12b.pdf"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = forstrix::test::flat(forstrix::test::pdf_text(dir / "12b.pdf"));
    EXPECT_EQ(text.rfind("Zeitbedarf und Kosten der Holzernte", 0), 0u);
    EXPECT_TRUE(has(text, "Abteilung 12b, Eichenhang Bestandesdaten")) << text.substr(0, 120);
    EXPECT_TRUE(has(text, "BHD [cm] 16"));
}

// The old file stays whole until the new one replaces it at once: a second
// name of the old file still reads the old bytes, and no temporary remains.
TEST(CliPdf, ReplacesAnExistingFileAtOnce) {
    TempDir dir;
    spit(dir / "erg.pdf", "the previous sheet");
    ASSERT_EQ(::link((dir / "erg.pdf").c_str(), (dir / "alt.pdf").c_str()), 0);
    const CliRun r = run_headless({"report", "--pdf", dir / "erg.pdf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(dir / "alt.pdf"), "the previous sheet");
    EXPECT_EQ(slurp(dir / "erg.pdf").rfind("%PDF-", 0), 0u);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"alt.pdf", "erg.pdf"}));
}

// A write-protected sheet stays as it is, also for root.
TEST(CliPdf, LeavesAWriteProtectedFile) {
    TempDir dir;
    spit(dir / "erg.pdf", "the signed sheet");
    ASSERT_EQ(::chmod((dir / "erg.pdf").c_str(), 0444), 0);
    const CliRun r = run_headless({"report", "--pdf", dir / "erg.pdf"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Ergebnisblatt konnte nicht gespeichert werden!"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(dir / "erg.pdf"), "the signed sheet");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"erg.pdf"});
}

struct PdfFailure {
    const char* label;
    std::vector<std::string> args;  // "@" stands for the test's folder
    int status;
    const char* message;
};
class CliPdfFails : public ::testing::TestWithParam<PdfFailure> {};

TEST_P(CliPdfFails, SaysWhyAndLeavesTheFolderAsItWas) {
    TempDir dir;
    ::mkdir((dir / "ordner").c_str(), 0755);
    std::vector<std::string> args;
    for (const std::string& a : GetParam().args) args.push_back(a.rfind("@/", 0) == 0 ? dir / a.substr(2) : a);
    const CliRun r = run_headless(args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_EQ(dir.files(), std::vector<std::string>{"ordner"});
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliPdfFails,
    ::testing::Values(
        PdfFailure{"MissingFolder", {"report", "--pdf", "@/fehlt/erg.pdf"}, 1,
                   "Fehler: Ergebnisblatt konnte nicht gespeichert werden!"},
        PdfFailure{"FolderAsTarget", {"report", "--pdf", "@/ordner"}, 1,
                   "Fehler: Ergebnisblatt konnte nicht gespeichert werden!"},
        PdfFailure{"RefusedInputWritesNothing", {"report", "--pdf", "@/erg.pdf", "--set", "gi_bhd=5"}, 2,
                   "Fehler: "},
        PdfFailure{"ReportFailsAfterTheSheet", {"report", "--pdf", "@/ordner/erg.pdf", "-o", "@/ordner"}, 1,
                   "Ergebnis konnte nicht gespeichert werden!"}),
    [](const auto& row) { return std::string(row.param.label); });

// The sheets of the default stand and of a stand that four systems suit,
// as pictures beside the other screenshots, for a person to look at.
TEST(CliPdf, Screenshots) {
    TempDir dir;
    for (const auto& [name, sets] : {std::pair<std::string, std::vector<std::string>>{"sheet_default", {}},
                                     {"sheet_bhd16", {"--set", "gi_bhd=16"}}}) {
        std::vector<std::string> args{"report", "--pdf", dir / (name + ".pdf")};
        args.insert(args.end(), sets.begin(), sets.end());
        ASSERT_EQ(run_headless(args).status, 0);
        EXPECT_TRUE(forstrix::test::pdf_to_png(dir / (name + ".pdf"), FORSTRIX_SCREENSHOT_DIR, name));
    }
}

}  // namespace
}  // namespace forstrix::cli::test
