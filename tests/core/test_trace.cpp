// The diagnostic trace of the machine-hour costs: exact bytes with the
// default basics, in the fixed order of the start-up.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/calc.h"
#include "support.h"

namespace forstrix {
namespace {

struct Recorder : TraceSink {
    std::string text;
    int writes = 0;
    void write(std::string_view t) override {
        text.append(t);
        ++writes;
    }
};

// "Kalkuliere Motorsäge" in UTF-8: the "ä" is C3 A4.
const char* const kDefaultTrace =
    "Kalkuliere Motors\xC3\xA4ge\n"
    "0.80\n1.75\n3.67\n0.11\n0.30\n6.63\n0.11\n\n"
    "Kalkuliere Agrarschlepper\n"
    "10.00\n4.96\n4.00\n6.32\n1.00\n14.00\n5.00\n-> 45.28\n\n"
    // The harvester has no heading line.
    "30.00\n33.00\n9.00\n20.93\n2.25\n31.50\n11.25\n-> 137.93\n\n"
    "Kalkuliere Forwarder\n"
    "16.47\n14.82\n5.60\n12.42\n1.40\n19.60\n7.00\n-> 77.31\n\n"
    "Kalkuliere Harvester mit FSA\n"
    "23.33\n25.67\n7.00\n20.93\n1.75\n24.50\n8.75\n-> 111.93\n\n"
    "Kalkuliere Hang-Harvester\n"
    "34.67\n38.13\n10.40\n20.93\n2.60\n36.40\n13.00\n-> 156.13\n\n"
    "Kalkuliere Hang-Forwarder\n"
    "19.41\n17.47\n6.60\n12.42\n1.65\n23.10\n8.25\n.> 88.90\n\n"
    "Kalkuliere Mobilkran\n"
    "50.00\n60.00\n20.00\n24.15\n5.00\n70.00\n25.00\n-> 254.15\n";  // no empty line at the end

TEST(Trace, ExactBytesOfTheStartUp) {
    State s{};
    Recorder r;
    startup_compute(s, &r);
    EXPECT_EQ(r.text, kDefaultTrace);
    EXPECT_EQ(r.writes, 8);  // one piece per machine kind
}

TEST(Trace, SameBytesUnderAGermanLocale) {
    // Under a German locale printf would write "0,80"; the trace does not.
    FORSTRIX_KEEP_GLIBC_LOCALE_PATH;
    if (test::german_locale().empty()) GTEST_SKIP() << "no German locale available and none could be built";
    State s{};
    Recorder r;
    startup_compute(s, &r);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(r.text, kDefaultTrace);
}

TEST(Trace, EachOperationWritesOnlyItsOwnLines) {
    State s{};
    Recorder r;
    calc_machine(s, machine_kind(MachineId::hab), &r);
    EXPECT_EQ(r.text, "30.00\n33.00\n9.00\n20.93\n2.25\n31.50\n11.25\n-> 137.93\n\n");
    Recorder y;
    calc_machine(s, machine_kind(MachineId::mskb), &y);
    EXPECT_EQ(y.text, "Kalkuliere Mobilkran\n50.00\n60.00\n20.00\n24.15\n5.00\n70.00\n25.00\n-> 254.15\n");
    Recorder m;
    calc_motorsaege(s, &m);
    EXPECT_EQ(m.text, "Kalkuliere Motors\xC3\xA4ge\n0.80\n1.75\n3.67\n0.11\n0.30\n6.63\n0.11\n\n");
}

TEST(Trace, NegativeTotalIsTracedAsComputed) {
    State s{};
    s.gf_hab53 = 2000.0;
    Recorder r;
    calc_machine(s, machine_kind(MachineId::hab), &r);
    EXPECT_NE(r.text.find("-> -52.07\n\n"), std::string::npos) << r.text;
}

TEST(Trace, NullSinkGivesTheSameResults) {
    State with{}, without{};
    Recorder r;
    startup_compute(with, &r);
    startup_compute(without, nullptr);
    EXPECT_EQ(with.gf_msc37, without.gf_msc37);
    for (const MachineKind& kind : kMachineKinds)
        for (int k = 0; k < kResultsPerMachine; ++k)
            EXPECT_EQ(with.*kind.results[k], without.*kind.results[k]) << kind.stem;
    EXPECT_EQ(with.gf_ss, without.gf_ss);
}

}  // namespace
}  // namespace forstrix
