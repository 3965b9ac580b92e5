// Both files under a German locale: the decimal separator of the C and the
// C++ locale is a comma there, and neither file may change by a byte.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <string>

#include <gtest/gtest.h>

#include "files/basics_file.h"
#include "files/report.h"
#include "scenarios.h"
#include "test_util.h"

// glibc keeps the LOCPATH search list that setlocale builds (allocated in
// __argz_add_sep) for the rest of the process; LeakSanitizer would report it.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

namespace forstrix::files {
namespace {

// As a Qt program does it: QCoreApplication calls setlocale(LC_ALL, "") on
// Unix, which takes LC_ALL=de_DE.UTF-8 from the environment (CTest sets it).
class GermanLocale : public ::testing::Environment {
public:
    void SetUp() override {
#ifdef FORSTRIX_LOCPATH
        ::setenv("LOCPATH", FORSTRIX_LOCPATH, 0);  // the locale compiled for this test
#endif
        if (std::getenv("LC_ALL") == nullptr) ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        const char* name = std::setlocale(LC_ALL, "");
        ASSERT_NE(name, nullptr) << "the locale de_DE.UTF-8 is not available";
        std::locale::global(std::locale(""));
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GermanLocale);

TEST(GermanLocale, IsReallyInForce) {
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", 1.5);
    EXPECT_STREQ(buf, "1,50");
    EXPECT_EQ(std::strtod("1,5", nullptr), 1.5);
}

TEST(GermanLocale, ReportsAreTheGoldenBytes) {
    EXPECT_EQ(report_text(test::default_scenario()), test::golden("erg_default.txt"));
    EXPECT_EQ(report_text(test::all_six_scenario()), test::golden("erg_all_six.txt"));
    EXPECT_EQ(report_text(test::none_scenario()), test::golden("erg_none.txt"));
}

TEST(GermanLocale, BasicsFileIsTheGoldenBytes) {
    EXPECT_EQ(basics_text(State{}), test::golden("daten_default.klg"));
}

TEST(GermanLocale, ReadingIsUnchanged) {
    State s;
    s.gf_msc5 = 1.0;
    const Outcome r = parse_basics(test::golden("daten_default.klg"), s);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(s.gf_msc5, 1100.0);
    EXPECT_EQ(s.gf_msc16, 0.6);
    EXPECT_EQ(s.gf_asb51, 1.15);
    // A comma is still refused, even where the locale would take it.
    std::string with_comma = test::golden("daten_default.klg");
    with_comma.replace(with_comma.find("0.6000"), 6, "0,6000");
    State t;
    EXPECT_EQ(parse_basics(with_comma, t).status, Status::Refused);
}

TEST(GermanLocale, WrittenFilesAreTheGoldenBytes) {
    test::ScratchDir dir;
    ASSERT_TRUE(write_basics(dir / "daten.klg", State{}).ok());
    ASSERT_TRUE(write_report(dir / "erg.txt", test::all_six_scenario()).ok());
    EXPECT_EQ(test::read_file(dir / "daten.klg"), test::golden("daten_default.klg"));
    EXPECT_EQ(test::read_file(dir / "erg.txt"), test::golden("erg_all_six.txt"));
}

}  // namespace
}  // namespace forstrix::files
