// "erg.txt" byte for byte, and both files under a German locale.
#include "files/report.h"

#include <string>

#include <gtest/gtest.h>

#include "files/basics_file.h"
#include "support.h"

// glibc keeps the LOCPATH search list that setlocale builds for the rest of
// the process; LeakSanitizer would report it.
extern "C" const char* __lsan_default_suppressions() { return "leak:argz_add_sep\n"; }

namespace forstrix::files {
namespace {

TEST(ReportGolden, DefaultStateSystemsOneToThree) {
    test::expect_golden("erg_default.txt", report_text(test::scenario("")));
}

TEST(ReportGolden, AllSixSystemsSuitable) {
    test::expect_golden("erg_all_six.txt", report_text(test::all_six_scenario()));
}

TEST(ReportGolden, NoSystemSuitable) { test::expect_golden("erg_none.txt", report_text(test::none_scenario())); }

// As a Qt program sets it (setlocale(LC_ALL, "") from LC_ALL=de_DE.UTF-8):
// neither file changes by a byte, written or read.
TEST(GermanLocale, NeitherFileChanges) {
    ASSERT_TRUE(test::german_locale()) << "the locale de_DE.UTF-8 is not available";
    EXPECT_EQ(report_text(test::scenario("")), test::golden("erg_default.txt"));
    EXPECT_EQ(report_text(test::none_scenario()), test::golden("erg_none.txt"));
    test::ScratchDir dir;
    test::write_file(dir / "daten.klg", "old");
    ASSERT_TRUE(write_basics(dir / "daten.klg", State{}).ok());
    ASSERT_TRUE(write_report(dir / "erg.txt", test::all_six_scenario()).ok());
    EXPECT_EQ(test::read_file(dir / "daten.klg"), test::golden("daten_default.klg"));
    EXPECT_EQ(test::read_file(dir / "erg.txt"), test::golden("erg_all_six.txt"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"daten.klg", "erg.txt"}));
    State s;
    test::apply(s, "gf_msc16=1 gf_asb51=1");
    ASSERT_TRUE(read_basics(dir / "daten.klg", s).ok());
    EXPECT_EQ(s.gf_msc16, 0.6);
    EXPECT_EQ(s.gf_asb51, 1.15);
    std::string comma = test::golden("daten_default.klg");  // a comma is refused even where the locale takes it
    EXPECT_EQ(parse_basics(comma.replace(comma.find("0.6000"), 6, "0,6000"), s).status, Status::Refused);
    std::locale::global(std::locale::classic());
}

}  // namespace
}  // namespace forstrix::files
