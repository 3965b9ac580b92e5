// The figures of the stand model, the machine-hour costs, the start-up and
// the time-and-cost model, to their stated decimals. A row sets values by
// name over a default State ("set") and states figures ("want"); a figure's
// decimals are the ones it is written with.
#include <gtest/gtest.h>

#include <string>

#include "core/calc.h"
#include "core/emissions.h"
#include "support.h"

namespace forstrix {
namespace {

struct Row {
    const char* name;
    const char* set;
    const char* want;
};
std::string row_name(const ::testing::TestParamInfo<Row>& p) { return p.param.name; }

// The row's values over a default State (after the start-up, if asked),
// then `compute`; its figures as stated.
void expect_row(const Row& r, void (*compute)(State&), bool after_startup) {
    State s{};
    if (after_startup) startup_compute(s);
    test::apply(s, r.set);
    compute(s);
    test::expect_figures(s, r.want);
}

// ------------------------------------------------------------ stand model
class StandModel : public ::testing::TestWithParam<Row> {};
TEST_P(StandModel, Figures) {
    expect_row(GetParam(), [](State& s) { store(s, calc_bestand(stand_inputs(s))); }, false);
}
const Row kStand[] = {
    {"DefaultBirke", "", "gc_hoehe=18.9091 gc_stm=0.235243 gc_stmvoll=0.163232 gc_stmderb=0.143498 gc_vhieb=1500"},
    {"BucheSameHeightAsBirke", "gi_ba=5",
     "gc_hoehe=18.9091 gc_stm=0.235243 gc_stmvoll=0.227558 gc_stmderb=0.148203 gc_vhieb=1500"},
    {"EicheOakAshTable", "gi_ba=6", "gc_hoehe=16.3370 gc_stm=0.203244 gc_stmvoll=0.253381 gc_stmderb=0.132108"},
    {"KirscheForm2Bhd40", "gi_ba=9 gi_sf=2 gi_bhd=40", "gc_hoehe=23.5010 gc_stm=1.169481 gc_stmvoll=1.353321"},
    {"SmallestBhdGeneralTable", "gi_sf=3 gi_bhd=6", "gc_hoehe=7.6"},
    {"SmallestBhdOakAshTable", "gi_ba=6 gi_sf=3 gi_bhd=6", "gc_hoehe=6.0"},
    {"NoVolumePerHa", "gf_vab=0", "gc_hoehe=18.9091 gc_stm=0.235243 gc_vhieb=0"},
    {"NoArea", "gf_gf=0", "gc_stmderb=0.143498 gc_vhieb=0"},
    {"OwnHeightMovesVolumeAndLogMass", "gf_bh=30",
     "gc_hoehe=30.000000 gc_stm=0.373222 gc_stmvoll=0.247293 gc_stmderb=0.227665"},
    {"PowerLawMassIgnoresOwnHeight", "gi_ba=5 gf_bh=30", "gc_stm=0.373222 gc_stmvoll=0.227558"},
    {"OwnPieceVolumeMovesOnlyMerchantableMass", "gf_stm=0.5",
     "gc_hoehe=18.9091 gc_stm=0.500000 gc_stmvoll=0.163232 gc_stmderb=0.305000 gc_vhieb=1500"},
};
INSTANTIATE_TEST_SUITE_P(HeightVolumeMass, StandModel, ::testing::ValuesIn(kStand), row_name);

// ----------------------------------------------------- machine-hour costs
class MachineCosts : public ::testing::TestWithParam<Row> {};
TEST_P(MachineCosts, Figures) { expect_row(GetParam(), [](State& s) { calc_all_machines(s); }, false); }
const Row kMachines[] = {
    {"Chainsaw", "",
     "gf_msc31=0.800000 gf_msc32=1.745000 gf_msc33=3.674000 gf_msc34=0.106667 gf_msc35=0.300000 "
     "gf_msc37=6.625667 gf_msc38=0.110428"},
    {"ReadyMixReplacesTheMixedPrice", "gf_msc22=1.5", "gf_msc33=3.700000 gf_msc37=6.651667"},
    {"ReadyMixWhateverTheMixture", "gf_msc22=1.5 gf_msc19=99 gf_msc20=0.5 gf_msc21=0",
     "gf_msc33=3.700000 gf_msc37=6.651667"},
    // Only the skidder takes the obsolescence basis: 11000 / 10 = 1100 > 1000.
    {"SkidderObsolescenceBasis", "",
     "gf_asb64=10.000000 gf_asb65=4.958678 gf_asb66=4.000000 gf_asb67=6.325000 gf_asb68=1.000000 "
     "gf_asb69=14.000000 gf_asb70=5.000000 gf_asb75=45.283678"},
    // 15000 / 8 = 1875 < 2000: the useful-life basis.
    {"HarvesterUsefulLifeBasis", "",
     "gf_hab101=30.000000 gf_hab102=33.000000 gf_hab103=9.000000 gf_hab104=20.930000 gf_hab105=2.250000 "
     "gf_hab106=31.500000 gf_hab107=11.250000 gf_hab112=137.930000"},
    // 10000 / 10 = 1000 = A: both bases agree.
    {"YarderAtEquality", "",
     "gf_mskb286=50.000000 gf_mskb287=60.000000 gf_mskb288=20.000000 gf_mskb289=24.150000 "
     "gf_mskb290=5.000000 gf_mskb291=70.000000 gf_mskb292=25.000000 gf_mskb297=254.150000"},
    // gf_ss is copied at start-up only.
    {"OtherKinds", "", "gf_fob149=77.314118 gf_hfsab186=111.930000 gf_hhb223=156.130000 gf_hfb260=88.902353 gf_ss=0"},
    {"HarvesterResidual2000Negative", "gf_hab53=2000", "gf_hab112=-52.07"},
    {"HarvesterResidual500StillPositive", "gf_hab53=500", "gf_hab112=90.43"},
    {"HarvesterProfitZero", "gf_hab56=0", "gf_hab107=0.000000 gf_hab112=126.680000"},
};
INSTANTIATE_TEST_SUITE_P(EightMachineKinds, MachineCosts, ::testing::ValuesIn(kMachines), row_name);

// --------------------------------------------------------------- start-up
class StartUp : public ::testing::TestWithParam<Row> {};
TEST_P(StartUp, Figures) { expect_row(GetParam(), [](State& s) { startup_compute(s); }, false); }
const Row kStartUp[] = {
    // The time-and-cost results are not computed at start-up.
    // The stand and the machines are computed, I's skidder cost copied; the flags set.
    {"Defaults", "", "gc_vhieb=1500 gf_ss=45.283678 g_sys1=1 g_sys2=1 g_sys3=1 g_sys4=0 g_sys5=0 g_sys6=0 gff_e3=0 gff_g45=0"},
    {"FlagsKeepTheirValues", "g_sys1=0 g_sys4=1 gi_hn=40", "g_sys1=0 g_sys2=1 g_sys4=1"},
    {"OwnHeight", "gf_bh=25", "gc_hoehe=25.000000"},
};
INSTANTIATE_TEST_SUITE_P(ProgramStart, StartUp, ::testing::ValuesIn(kStartUp), row_name);

// ---------------------------------------------- time and cost (over start-up)
// gc_stm and gi_bhd alone leave the rest of the stand as it is.
class TimeCost : public ::testing::TestWithParam<Row> {};
TEST_P(TimeCost, Figures) { expect_row(GetParam(), [](State& s) { calc_zeitbedarfkosten(s); }, true); }
const Row kTimeCost[] = {
    {"WorkedExample", "",
     "gff_e3=34.6408 gff_e4=20.9404 gff_e5=11.4807 gff_e6=12.7563 gff_e12=39.1786 gff_e13=7.9258 "
     "gff_e14=19.5893 gff_e20=0.0906 gff_e21=0.1132 gff_e22=0.0667 gff_e23=0.0833 gff_e27=0.1042 "
     "gff_e29=0.0923 gff_e35=0.3311 gff_e34=1.6554 gff_e36=0.1049 gff_e37=0.0667 gff_e41=0.1011 gff_e43=0.0667 "
     "gff_g3=11.0851 gff_g4=2.3124 gff_g5=8.6648 gff_g6=4.4222 gff_g7=26.4844 gff_g8=28.1472 gff_g12=12.5371 "
     "gff_g13=0.8752 gff_g14=14.7846 gff_g15=28.1969 gff_g16=33.0184 gff_g20=12.4958 gff_g21=2.3555 "
     "gff_g22=5.1543 gff_g23=1.7333 gff_g24=21.7389 gff_g27=16.2664 gff_g28=2.7088 gff_g29=8.2064 "
     "gff_g30=2.4000 gff_g31=29.5815 gff_g34=33.1082 gff_g35=84.1446 gff_g36=0.6952 gff_g37=5.1543 "
     "gff_g39=123.1023 gff_g41=11.3175 gff_g42=2.6289 gff_g43=5.1543 gff_g44=1.7333 gff_g45=20.8340 gc_stm=0.23524"},
    {"ZeitgradEstScalesOnlyTheForestWorkerOfI", "gi_zest=80",
     "gff_e3=69.2817 gff_g3=22.1701 gff_e4=20.9404 gff_e5=11.4807 gff_e12=39.1786"},
    {"ZeitgradMgv10ScalesWorkersAndSkidderOfII", "gi_zmgv=10",
     "gff_e12=509.3213 gff_g12=162.9828 gff_e14=254.6606 gff_e13=7.9258 gff_e3=34.6408"},
    {"OakRaisesEstTimes", "gi_ba=6", "gff_e3=38.4513 gff_e4=23.2439 gff_e5=11.4807"},
    {"AshRaisesEstTimes", "gi_ba=7", "gff_e3=38.4513 gff_e4=23.2439 gff_e5=11.4807"},
    // The skidder's load: whole stems below BHD 30, halves below 50, thirds from 50 (same V).
    {"SkidderWholeStemsAt29", "gi_bhd=29", "gff_e5=11.4807"},
    {"SkidderHalvesAt30", "gi_bhd=30", "gff_e5=14.2544"},
    {"SkidderThirdsAt50", "gi_bhd=50", "gff_e5=15.9800"},
    {"SkidderSurchargeZeroOnFlatGroundAt150And15", "gi_hn=0 gf_i_bse=15", "gff_e5=11.2423"},
    {"ForwarderAtSlope15", "gi_hn=15", "gff_e22=0.0667 gff_e43=0.0667"},
    {"ForwarderAtSlope16", "gi_hn=16", "gff_e22=0.0769 gff_e43=0.0769 gff_e37=0.0667"},
    {"YarderSlopeFactorAt35", "gi_hn=35", "gff_e35=0.3311"},
    {"YarderSlopeFactorAt36", "gi_hn=36", "gff_e35=0.2547"},
    {"SkidderCostOfIIsGfSs", "gf_ss=60", "gff_g5=11.4807 gff_g14=14.7846"},
    {"SkidderCostOfIIIsGfAsb75", "gf_asb75=60", "gff_g5=8.6648 gff_g14=19.5893"},
    {"TypedHarvesterCost", "gf_hab112=99", "gff_g20=8.9690"},
    // 0.56 · 85 − 0.0033 · 85² − 1.7 = 22.0575 at A = 85 (the 22.1575 sometimes
    // quoted for it is a slip of arithmetic); A = 0 adds nothing, not -1.7.
    {"AdditionalAssortments5", "gi_ii_vzs=5", "gff_e13=8.0065"},
    {"AdditionalAssortments85", "gi_ii_vzs=85", "gff_e13=9.6741"},
    {"FormClassOneNoObstacleFlatGround", "gi_sf=1 gi_i_bb=0 gi_hn=0", "gff_e3=32.8639"},
    {"EveryResultWhateverTheFlags", "g_sys1=0 g_sys2=0 g_sys3=0", "gff_g7=26.4844 gff_g24=21.7389 gff_g45=20.8340"},
    {"EachRunOverwritesTheResults", "gff_e3=9 gff_g45=9", "gff_e3=34.6408 gff_g45=20.8340"},
    // Denominators that turn negative are stored as computed.
    {"ChippingHarvesterAt86", "gi_bhd=86", "gff_e41=1.7123"},
    {"ChippingHarvesterNegativeAt87", "gi_bhd=87", "gff_e41=-7.9051"},
    {"YarderTinyPiecesLine400Negative", "gi_v_sll=3 gc_stm=0.0085", "gff_e35=-69.2837"},
    {"YarderTinyPiecesLine400", "gi_v_sll=3 gc_stm=0.0095", "gff_e35=50.4904"},
    {"YarderTinyPiecesLine500Negative", "gi_v_sll=4 gc_stm=0.055", "gff_e35=-22.1661"},
    {"YarderTinyPiecesLine500", "gi_v_sll=4 gc_stm=0.062", "gff_e35=17.2647"},
    {"YarderTinyPiecesLine100", "gi_v_sll=0 gc_stm=0.0001", "gff_e35=0.3605"},
    {"YarderLine100", "gi_v_sll=0", "gff_e35=0.2259"},
    {"YarderLine200", "gi_v_sll=1", "gff_e35=0.2703"},
    {"YarderLine400", "gi_v_sll=3", "gff_e35=0.4278"},
    {"YarderLine500", "gi_v_sll=4", "gff_e35=0.6026"},
    {"YarderSmallCrowns", "gi_v_kf=0", "gff_e35=0.2428"},
    {"YarderLargeCrowns", "gi_v_kf=2", "gff_e35=0.4414"},
};
INSTANTIATE_TEST_SUITE_P(SixWorkSystems, TimeCost, ::testing::ValuesIn(kTimeCost), row_name);

// ------------------------------------------ fuel and CO2 per Fm (over start-up)
// Figures worked by hand from the default stand's times: systems I and II in
// min/Fm (e4 20.9404, e5 11.4807, e13 7.9258, e14 19.5893, divided by 60),
// III to VI in hours per Fm (e20 0.090595, e22 1/15, e27 0.104185,
// e29 1.2/13, e35 0.331082, e36 0.104926, e37 1/15, e41 0.101112,
// e43 1/15); fuel use per hour: chainsaw 1.3 l petrol, skidder 5, harvester
// 14, forwarder 9, harvester with FSA 14, slope harvester 14, slope
// forwarder 9, yarder 15 l diesel; 2.67 and 2.42 kg CO2e per litre.
// System I: 11.4807 / 60 · 5 = 0.956725 l diesel, 20.9404 / 60 · 1.3 =
// 0.453709 l petrol, 0.956725 · 2.67 + 0.453709 · 2.42 = 3.652431 kg.
const Row kFuel[] = {
    {"DefaultStand", "",
     "diesel_sys1=0.9567 benzin_sys1=0.4537 co2_sys1=3.6524 "
     "diesel_sys2=1.6324 benzin_sys2=0.1717 co2_sys2=4.7742 "
     "diesel_sys3=1.8683 benzin_sys3=0 co2_sys3=4.9885 "
     "diesel_sys4=2.2894 benzin_sys4=0 co2_sys4=6.1126 "
     "diesel_sys5=5.5662 benzin_sys5=0.1364 co2_sys5=15.1919 "
     "diesel_sys6=2.0156 benzin_sys6=0 co2_sys6=5.3816"},
    // Every fuel use and both factors changed: each line must take its own machine's use.
    {"OtherFuelUsesAndFactors",
     "gf_msc23=1.1 gf_asb50=7 gf_hab50=18 gf_fob50=11 gf_hfsab50=12 gf_hhb50=16 gf_hfb50=10 "
     "gf_mskb50=20 gf_co2_diesel=3.17 gf_co2_benzin=2.9",
     "diesel_sys1=1.3394 benzin_sys1=0.3839 co2_sys1=5.3593 "
     "diesel_sys2=2.2854 benzin_sys2=0.1453 co2_sys2=7.6662 "
     "diesel_sys3=2.3641 co2_sys3=7.4940 diesel_sys4=2.5900 co2_sys4=8.2104 "
     "diesel_sys5=7.3550 benzin_sys5=0.1154 co2_sys5=23.6500 diesel_sys6=1.9467 co2_sys6=6.1710"},
    // Above 15 % slope the forwarder of III and VI does 13 Fm per hour; the
    // fourth machine of V stays at 15.
    {"SteepForwarder", "gi_hn=16",
     "diesel_sys3=1.9606 co2_sys3=5.2349 diesel_sys6=2.1079 diesel_sys5=5.5662"},
    {"EveryRunOverwrites", "diesel_sys1=9 co2_sys6=9", "diesel_sys1=0.9567 co2_sys6=5.3816"},
};
INSTANTIATE_TEST_SUITE_P(FuelAndCo2, TimeCost, ::testing::ValuesIn(kFuel), row_name);

// The line under a system's sums in the results dialog: both fuels, or one
// (the results dialog's test reads the lines of the default stand).
TEST(FuelText, BothFuelsOrOne) {
    State s{};
    test::apply(s, "diesel_sys1=0.96 benzin_sys1=0.45 co2_sys1=3.65 diesel_sys3=1.87 co2_sys3=4.99 "
                   "benzin_sys4=0.5 co2_sys4=1.21");
    EXPECT_EQ(fuel_text(s, 0), "Kraftstoff 1,41 l/Fm (Diesel 0,96, Benzin 0,45), CO2 3,65 kg/Fm");
    EXPECT_EQ(fuel_text(s, 2), "Kraftstoff 1,87 l/Fm (Diesel), CO2 4,99 kg/Fm");
    EXPECT_EQ(fuel_text(s, 3), "Kraftstoff 0,50 l/Fm (Benzin), CO2 1,21 kg/Fm");
}

}  // namespace
}  // namespace forstrix
