#include "files/report.h"

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include "files/cp1252.h"
#include "scenarios.h"
#include "test_util.h"

namespace forstrix::files {
namespace {

using test::read_file;
using test::ScratchDir;
using test::write_file;
namespace fs = std::filesystem;

const std::string kSaveFailure = "Ergebnis konnte nicht gespeichert werden!";

// The report's lines, decoded to UTF-8, without their CR LF. Fails the test
// on a line feed without its carriage return.
std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string::npos) {
            ADD_FAILURE() << "text after the last line end";
            out.push_back(cp1252_to_utf8(bytes.substr(pos)));
            break;
        }
        EXPECT_TRUE(lf > 0 && bytes[lf - 1] == '\r') << "LF without CR at byte " << lf;
        out.push_back(cp1252_to_utf8(bytes.substr(pos, lf - 1 - pos)));
        pos = lf + 1;
    }
    return out;
}

// ------------------------------------------------------------- golden files

TEST(ReportGolden, DefaultStateSystemsOneToThree) {
    test::expect_golden("erg_default.txt", report_text(test::default_scenario()));
}

TEST(ReportGolden, AllSixSystemsSuitable) {
    test::expect_golden("erg_all_six.txt", report_text(test::all_six_scenario()));
}

TEST(ReportGolden, NoSystemSuitable) {
    test::expect_golden("erg_none.txt", report_text(test::none_scenario()));
}

// ----------------------------------- the Part's formats, written out by hand

// A state with round, recognisable results, set directly: the report only
// reads them.
State hand_state() {
    State s;
    s.gc_hoehe = 19.876;
    s.gc_stm = 0.5;
    int n = 0;
    for (double State::*f :
         {&State::gff_e3,  &State::gff_g3,  &State::gff_e4,  &State::gff_g4,  &State::gff_e5,  &State::gff_g5,
          &State::gff_e6,  &State::gff_g6,  &State::gff_g7,  &State::gff_g8,  &State::gff_e12, &State::gff_g12,
          &State::gff_e13, &State::gff_g13, &State::gff_e14, &State::gff_g14, &State::gff_g15, &State::gff_g16,
          &State::gff_e20, &State::gff_g20, &State::gff_e21, &State::gff_g21, &State::gff_e22, &State::gff_g22,
          &State::gff_e23, &State::gff_g23, &State::gff_g24, &State::gff_e27, &State::gff_g27, &State::gff_e28,
          &State::gff_g28, &State::gff_e29, &State::gff_g29, &State::gff_e30, &State::gff_g30, &State::gff_g31,
          &State::gff_e34, &State::gff_g34, &State::gff_e35, &State::gff_g35, &State::gff_e36, &State::gff_g36,
          &State::gff_e37, &State::gff_g37, &State::gff_g39, &State::gff_e41, &State::gff_g41, &State::gff_e42,
          &State::gff_g42, &State::gff_e43, &State::gff_g43, &State::gff_e44, &State::gff_g44, &State::gff_g45})
        s.*f = ++n + 0.13;  // 1,13 2,13 3,13 ...
    s.gff_g3 = 3.456;
    s.gff_e21 = 0.04;
    s.gff_g21 = 1.23;
    return s;
}

const char* const kHandStand =
    "Hauptbaumart Laubholz\tBirke\r\n"
    "BHD [cm]\t20\r\n"
    "Formigkeitsstufe / Kronenausprägung\tnormal/mittelschäftig\r\n"
    "Hangneigung [%]\t14\r\n"
    "Abstand Rückegassen [m]\tbis 20\r\n"
    "Befahrbarkeit Rückegassen\tvorhanden\r\n"
    "Volumen ausscheidender Bestand alle Baumarten [EFm/ha]\t30,000000\r\n"
    "Gesamtfläche der Maßnahme [ha]\t50,000000\r\n"
    "Holzvolumen je Seillinie [EFm]\tbis 70\r\n"
    "Baumhöhe [m]\t19,88\r\n"
    "Stückvolumen je Baum [EFm]\t0,50000\r\n"
    "Begehbarkeit / Behinderungen\tmittlere Behinderung\r\n"
    "Rückedistanz [m]\t150,00\r\n"
    "Beiseilentfernung [m]\t10,00\r\n"
    "Volumenanteil zusätzl. Sortimente [%]\t0\r\n"
    "Rückedistanz [m]\t150,00\r\n"
    "Mindestvolumen [ > 70 EFm] je Seillinie erreicht\tnein\r\n"
    "Seillinienlänge [m]\t300\r\n"
    "Kronenform\tmittelgroße Kronen\r\n"
    "\r\n"
    "\r\n";

TEST(ReportFormat, SystemsOneAndThreeAsThePartSpellsItOut) {
    State s = hand_state();
    s.set_flags({1, 0, 1, 0, 0, 0});
    const std::string want = std::string(kHandStand) +
        "I) Konventionelle Holzernte\tZeitbedarf:\t\tKosten:\r\n"
        "Forstwirt\t1,13\tmin/Fm\t3,46\tEuro/Fm\r\n"
        "Motorsäge\t3,13\tmin/Fm\t4,13\tEuro/Fm\r\n"
        "Seilschlepper\t5,13\tmin/Fm\t6,13\tEuro/Fm\r\n"
        "Maschinenführer Seilschlepper\t7,13\tmin/Fm\t8,13\tEuro/Fm\r\n"
        "\t\tSumme:\t9,13\tEuro/Fm\tLangholzsortiment, baumfallende Längen, unvermessen, gezählt\r\n"
        "\t\tinklusive Vermessung\t10,13\tEuro/Fm\tLangholzsortiment, baumfallende Längen, vermessen\r\n"
        "\r\n"
        "III) Hochmechanisierte Holzernte\tZeitbedarf:\t\tKosten:\r\n"
        "Harvester\t19,13\tMAS/Fm\t20,13\tEuro/Fm\r\n"
        "Maschinenführer Harvester\t0,04\tStd./Fm\t1,23\tEuro/Fm\r\n"
        "Forwarder\t23,13\tMAS/Fm\t24,13\tEuro/Fm\r\n"
        "Maschinenführer Forwarder\t25,13\tStd./Fm\t26,13\tEuro/Fm\r\n"
        "\t\tSumme:\t27,13\tEuro/Fm\tKurzholz, vermessen (Harvestermaß)\r\n"
        "\r\n";
    EXPECT_EQ(report_text(s), utf8_to_cp1252(want));
}

TEST(ReportFormat, AllSixBlocksAsThePartSpellsThemOut) {
    State s = hand_state();
    s.set_flags({1, 1, 1, 1, 1, 1});
    const std::string want = std::string(kHandStand) +
        "I) Konventionelle Holzernte\tZeitbedarf:\t\tKosten:\r\n"
        "Forstwirt\t1,13\tmin/Fm\t3,46\tEuro/Fm\r\n"
        "Motorsäge\t3,13\tmin/Fm\t4,13\tEuro/Fm\r\n"
        "Seilschlepper\t5,13\tmin/Fm\t6,13\tEuro/Fm\r\n"
        "Maschinenführer Seilschlepper\t7,13\tmin/Fm\t8,13\tEuro/Fm\r\n"
        "\t\tSumme:\t9,13\tEuro/Fm\tLangholzsortiment, baumfallende Längen, unvermessen, gezählt\r\n"
        "\t\tinklusive Vermessung\t10,13\tEuro/Fm\tLangholzsortiment, baumfallende Längen, vermessen\r\n"
        "\r\n"
        "II) Integrierte Holzernte\tZeitbedarf:\t\tKosten:\r\n"
        "Forstwirte gesamt (2 Pers.)\t11,13\tmin/Fm\t12,13\tEuro/Fm\r\n"
        "Motorsäge\t13,13\tmin/Fm\t14,13\tEuro/Fm\r\n"
        "Seilschlepper\t15,13\tmin/Fm\t16,13\tEuro/Fm\r\n"
        "\t\tSumme:\t17,13\tEuro/Fm\tLangholzsortiment, baumfallende Längen, unvermessen, gezählt\r\n"
        "\t\ttinklusive Vermessung\t18,13\tEuro/Fm\tLangholzsortiment, baumfallende Längen, vermessen\r\n"
        "\r\n"
        "III) Hochmechanisierte Holzernte\tZeitbedarf:\t\tKosten:\r\n"
        "Harvester\t19,13\tMAS/Fm\t20,13\tEuro/Fm\r\n"
        "Maschinenführer Harvester\t0,04\tStd./Fm\t1,23\tEuro/Fm\r\n"
        "Forwarder\t23,13\tMAS/Fm\t24,13\tEuro/Fm\r\n"
        "Maschinenführer Forwarder\t25,13\tStd./Fm\t26,13\tEuro/Fm\r\n"
        "\t\tSumme:\t27,13\tEuro/Fm\tKurzholz, vermessen (Harvestermaß)\r\n"
        "\r\n"
        "IV) Hochmechanisierte Holzernte durch Hangsysteme\tZeitbedarf:\t\tKosten:\r\n"
        "Hang-Harvester\t28,13\tMAS/Fm\t29,13\tEuro/Fm\r\n"
        "Maschinenführer Hang-Harvester\t30,13\tStd./Fm\t31,13\tEuro/Fm\r\n"
        "Hang-Forwarder\t32,13\tMAS/Fm\t33,13\tEuro/Fm\r\n"
        "Maschinenführer Hang-Forwarder\t34,13\tStd./Fm\t35,13\tEuro/Fm\r\n"
        "\t\tSumme:\t36,13\tEuro/Fm\tKurzholz, vermessen (Harvestermaß)\r\n"
        "\r\n"
        "V) Yarding\tZeitbedarf:\t\tKosten:\r\n"
        "Personal gesamt (4 Pers.)\t37,13\tStd./Fm\t38,13\tEuro/Fm\r\n"
        "Seilkran inkl. Prozessor\t39,13\tMAS/Fm\t40,13\tEuro/Fm\r\n"
        "Motorsäge\t41,13\tStd./Fm\t42,13\tEuro/Fm\r\n"
        "Verzerr-Schlepper\t43,13\tMAS/Fm\t44,13\tEuro/Fm\r\n"
        "\t\tSumme:\t45,13\tEuro/Fm\tKurzholz, vermessen (Prozessormaß)\r\n"
        "VI) Spanholz\tZeitbedarf:\t\tKosten:\r\n"
        "Harvester\t46,13\tMAS/Fm\t47,13\tEuro/Fm\r\n"
        "Maschinenführer Harvester\t48,13\tStd./Fm\t49,13\tEuro/Fm\r\n"
        "Forwarder\t50,13\tMAS/Fm\t51,13\tEuro/Fm\r\n"
        "Maschinenführer Forwarder\t52,13\tStd./Fm\t53,13\tEuro/Fm\r\n"
        "\t\tSumme:\t54,13\tEuro/Fm\tVollbäume, unvermessen\r\n";
    EXPECT_EQ(report_text(s), utf8_to_cp1252(want));
}

TEST(ReportFormat, NoSystemSuitableLeavesTheStandLinesAndTwoEmptyLines) {
    State s = hand_state();
    s.set_flags({0, 0, 0, 0, 0, 0});
    EXPECT_EQ(report_text(s), utf8_to_cp1252(kHandStand));
}

TEST(ReportFormat, EachBlockAlone) {
    // Blocks I to IV end with an empty line, V and VI do not.
    for (int sys = 0; sys < 6; ++sys) {
        State s = hand_state();
        std::array<std::int32_t, 6> flags{};
        flags[static_cast<std::size_t>(sys)] = 1;
        s.set_flags(flags);
        const std::vector<std::string> lines = lines_of(report_text(s));
        const std::size_t block_lines = sys < 2 ? (sys == 0 ? 7u : 6u) : 6u;
        ASSERT_EQ(lines.size(), 21u + block_lines + (sys < 4 ? 1u : 0u)) << "system " << sys + 1;
        EXPECT_NE(lines[21].find("\tZeitbedarf:\t\tKosten:"), std::string::npos);
        if (sys < 4) {
            EXPECT_EQ(lines.back(), "");
        } else {
            EXPECT_EQ(lines.back().rfind("\t\tSumme:\t", 0), 0u);
        }
    }
}

// ------------------------------------------- the Part's edge cases one by one

std::string line_of(const State& s, std::size_t index) { return lines_of(report_text(s))[index]; }

TEST(ReportLines, SpeciesAndFormClassTexts) {
    State s = hand_state();
    s.gi_ba = 8;
    s.gi_sf = 3;
    EXPECT_EQ(line_of(s, 0), "Hauptbaumart Laubholz\tAhorn");
    EXPECT_EQ(line_of(s, 2), "Formigkeitsstufe / Kronenausprägung\tstark abholzig/sehr kurzschäftig");
    const std::vector<std::string> species = {"Birke", "Erle",  "Pappel", "Weide", "Eberesche",
                                              "Buche", "Eiche", "Esche",  "Ahorn", "Kirsche"};
    for (std::uint32_t i = 0; i < 10; ++i) {
        s.gi_ba = i;
        EXPECT_EQ(line_of(s, 0), "Hauptbaumart Laubholz\t" + species[i]);
    }
    const std::vector<std::string> forms = {"vollholzig/langschäftig", "normal/mittelschäftig",
                                            "abholzig/kurzschäftig", "stark abholzig/sehr kurzschäftig"};
    for (std::uint32_t i = 0; i < 4; ++i) {
        s.gi_sf = i;
        EXPECT_EQ(line_of(s, 2), "Formigkeitsstufe / Kronenausprägung\t" + forms[i]);
    }
}

TEST(ReportLines, SpacingAndTrafficability) {
    State s = hand_state();
    s.gi_ar = 1;
    s.gi_br = 1;
    EXPECT_EQ(line_of(s, 4), "Abstand Rückegassen [m]\tüber 20");
    EXPECT_EQ(line_of(s, 5), "Befahrbarkeit Rückegassen\tnicht vorhanden");
}

TEST(ReportLines, LineNineAgreesWithLineSeventeen) {
    State s = hand_state();
    s.gi_hvs = 0;
    EXPECT_EQ(line_of(s, 8), "Holzvolumen je Seillinie [EFm]\tbis 70");
    EXPECT_EQ(line_of(s, 16), "Mindestvolumen [ > 70 EFm] je Seillinie erreicht\tnein");
    s.gi_hvs = 1;
    EXPECT_EQ(line_of(s, 8), "Holzvolumen je Seillinie [EFm]\tüber 70");
    EXPECT_EQ(line_of(s, 16), "Mindestvolumen [ > 70 EFm] je Seillinie erreicht\tja");
}

TEST(ReportLines, WalkabilityCableLineAndCrownTexts) {
    State s = hand_state();
    const std::vector<std::string> bb = {"keine Behinderung",         "mittlere Behinderung",
                                         "starke Behinderung",        "sehr starke Behinderung",
                                         "extrem starke Behinderung", "Sonderstandort"};
    for (std::uint32_t i = 0; i < 6; ++i) {
        s.gi_i_bb = i;
        EXPECT_EQ(line_of(s, 11), "Begehbarkeit / Behinderungen\t" + bb[i]);
    }
    for (std::uint32_t i = 0; i < 5; ++i) {
        s.gi_v_sll = i;
        EXPECT_EQ(line_of(s, 17), "Seillinienlänge [m]\t" + std::to_string((i + 1) * 100));
    }
    const std::vector<std::string> kf = {"kleine Kronen", "mittelgroße Kronen", "große Kronen"};
    for (std::uint32_t i = 0; i < 3; ++i) {
        s.gi_v_kf = i;
        EXPECT_EQ(line_of(s, 18), "Kronenform\t" + kf[i]);
    }
}

TEST(ReportLines, NumberFormats) {
    State s = hand_state();
    s.gf_vab = 30.0;
    s.gf_gf = 0.123456789;
    s.gc_hoehe = 22.005;  // binary just below: 22,00 as printf gives it
    s.gc_stm = 0.123456;
    s.gf_i_rd = 1234.5;
    s.gf_i_bse = 7.0;
    s.gi_ii_vzs = 85;
    s.gf_ii_rd = 99.999;
    EXPECT_EQ(line_of(s, 6), "Volumen ausscheidender Bestand alle Baumarten [EFm/ha]\t30,000000");
    EXPECT_EQ(line_of(s, 7), "Gesamtfläche der Maßnahme [ha]\t0,123457");
    EXPECT_EQ(line_of(s, 9), "Baumhöhe [m]\t22,00");
    EXPECT_EQ(line_of(s, 10), "Stückvolumen je Baum [EFm]\t0,12346");
    EXPECT_EQ(line_of(s, 12), "Rückedistanz [m]\t1234,50");
    EXPECT_EQ(line_of(s, 13), "Beiseilentfernung [m]\t7,00");
    EXPECT_EQ(line_of(s, 14), "Volumenanteil zusätzl. Sortimente [%]\t85");
    EXPECT_EQ(line_of(s, 15), "Rückedistanz [m]\t100,00");
}

TEST(ReportLines, WindowsCodePageBytes) {
    const std::string bytes = report_text(test::all_six_scenario());
    // ä ö ü ß as single bytes, no UTF-8 lead bytes at all.
    EXPECT_NE(bytes.find("Ma\xDFnahme"), std::string::npos);
    EXPECT_NE(bytes.find("R\xFC" "ckedistanz"), std::string::npos);
    EXPECT_NE(bytes.find("Motors\xE4ge"), std::string::npos);
    EXPECT_NE(bytes.find("Kronenauspr\xE4gung"), std::string::npos);
    EXPECT_EQ(bytes.find('\xC3'), std::string::npos);
    EXPECT_EQ(bytes.find('\xC2'), std::string::npos);
}

// ------------------------------------------------------------- writing

TEST(ReportWrite, WritesTheBytesAndReplacesAnOldReport) {
    ScratchDir dir;
    write_file(dir / "erg.txt", "an older report, much longer than nothing\r\n");
    const State s = test::default_scenario();
    const Outcome r = write_report(dir / "erg.txt", s);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(read_file(dir / "erg.txt"), report_text(s));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
}

TEST(ReportWrite, IntoAFolderThatDoesNotExist) {
    ScratchDir dir;
    const Outcome r = write_report(dir / "missing" / "erg.txt", test::default_scenario());
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message, kSaveFailure);
    EXPECT_TRUE(dir.names().empty());
}

TEST(ReportWrite, ToDevFull) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    const Outcome r = write_report("/dev/full", test::default_scenario());
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message, kSaveFailure);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(ReportWrite, DiskFullKeepsTheOldReportByteForByte) {
    ScratchDir dir;
    const std::string old_bytes = report_text(test::none_scenario());
    write_file(dir / "erg.txt", old_bytes);
    struct rlimit old_limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Outcome r = write_report(dir / "erg.txt", test::all_six_scenario());
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message, kSaveFailure);
    EXPECT_EQ(read_file(dir / "erg.txt"), old_bytes);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
}

}  // namespace
}  // namespace forstrix::files
