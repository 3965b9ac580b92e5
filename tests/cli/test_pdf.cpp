// forstrix-cli report --pdf: the result sheet without a display, quietly, and never into the
// report's file. (What the sheet holds is the drawing library's test.)
#include <gtest/gtest.h>

#include <unistd.h>

#include "run_cli.h"
#include "../support/pdf_text.h"

namespace forstrix::cli::test {
namespace {

// As on a server: no display, no runtime folder, and a platform asked for that needs one.
CliRun run_headless(const std::vector<std::string>& args) {
    return run_cli(args, "env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=xcb ");
}

// The default stand and one that four systems suit, also as pictures beside the screenshots.
TEST(CliPdf, WithoutADisplayQuietly) {
    TempDir dir;
    for (const auto& [name, sets] : {std::pair<std::string, std::vector<std::string>>{"sheet_default", {}},
                                     {"sheet_bhd16", {"--set", "gi_bhd=16"}}}) {
        std::vector<std::string> args{"report", "--pdf", dir / (name + ".pdf")};
        args.insert(args.end(), sets.begin(), sets.end());
        const CliRun r = run_headless(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");  // Qt's start-up notes do not reach the terminal
        EXPECT_EQ(forstrix::test::pdf_pages(dir / (name + ".pdf")), 1);
        EXPECT_TRUE(forstrix::test::pdf_to_png(dir / (name + ".pdf"), FORSTRIX_SCREENSHOT_DIR, name));
    }
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"sheet_bhd16.pdf", "sheet_default.pdf"}));
}

// The sheet and the report never go into one file, however it is named.
TEST(CliPdf, SheetAndReportNamingOneFileAreRefused) {
    TempDir dir;
    spit(dir / "alt.pdf", "alt");
    ASSERT_EQ(::symlink((dir / "alt.pdf").c_str(), (dir / "link.pdf").c_str()), 0);
    const std::pair<std::string, std::string> rows[] = {{dir / "neu.pdf", dir / "neu.pdf"},
                                                        {dir / "neu.pdf", dir / "fehlt/../neu.pdf"},
                                                        {dir / "alt.pdf", dir / "link.pdf"}};
    for (const auto& [pdf, report] : rows) {
        const CliRun r = run_cli({"report", "--pdf", pdf, "-o", report});
        EXPECT_EQ(r.status, 2) << report;
        EXPECT_EQ(r.err, "Fehler: --pdf und -o nennen dieselbe Datei; der Bericht und das Ergebnisblatt brauchen je "
                         "eine eigene Datei.\n");
    }
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"alt.pdf", "link.pdf"}));
    EXPECT_EQ(slurp(dir / "alt.pdf"), "alt");
}

}  // namespace
}  // namespace forstrix::cli::test
