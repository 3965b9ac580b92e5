// Stand model: the reference figures, to their decimals.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/calc.h"
#include "support.h"

namespace forstrix {
namespace {

using test::Rounds;

struct StandRow {
    const char* name;
    StandInputs in;
    // Expected value and its decimals; decimals < 0: not stated.
    double hoehe;
    int hoehe_dec;
    double stm;
    int stm_dec;
    double stmvoll;
    int stmvoll_dec;
    double stmderb;
    int stmderb_dec;
    double vhieb;
};

class StandModel : public ::testing::TestWithParam<StandRow> {};

TEST_P(StandModel, DerivedValues) {
    const StandRow& r = GetParam();
    const StandValues v = calc_bestand(r.in);
    if (r.hoehe_dec >= 0) { EXPECT_TRUE(Rounds(v.hoehe, r.hoehe, r.hoehe_dec)) << "height"; }
    if (r.stm_dec >= 0) { EXPECT_TRUE(Rounds(v.stm, r.stm, r.stm_dec)) << "piece volume"; }
    if (r.stmvoll_dec >= 0) { EXPECT_TRUE(Rounds(v.stmvoll, r.stmvoll, r.stmvoll_dec)) << "whole-tree mass"; }
    if (r.stmderb_dec >= 0) { EXPECT_TRUE(Rounds(v.stmderb, r.stmderb, r.stmderb_dec)) << "merchantable mass"; }
    EXPECT_EQ(v.vhieb, r.vhieb) << "harvest quantity";
}

// Inputs: species, form class, BHD, own height, own piece volume, EFm/ha, ha.
INSTANTIATE_TEST_SUITE_P(
    Part12, StandModel,
    ::testing::Values(
        StandRow{"DefaultBirke", {0, 1, 20, 0.0, 0.0, 30.0, 50.0},
                 18.9091, 4, 0.235243, 6, 0.163232, 6, 0.143498, 6, 1500.0},
        StandRow{"BucheSameHeightAsBirke", {5, 1, 20, 0.0, 0.0, 30.0, 50.0},
                 18.9091, 4, 0.235243, 6, 0.227558, 6, 0.148203, 6, 1500.0},
        StandRow{"EicheOakAshTable", {6, 1, 20, 0.0, 0.0, 30.0, 50.0},
                 16.3370, 4, 0.203244, 6, 0.253381, 6, 0.132108, 6, 1500.0},
        StandRow{"KirscheForm2Bhd40", {9, 2, 40, 0.0, 0.0, 30.0, 50.0},
                 23.5010, 4, 1.169481, 6, 1.353321, 6, 0.0, -1, 1500.0},
        StandRow{"SmallestBhdGeneralTable", {0, 3, 6, 0.0, 0.0, 30.0, 50.0},
                 7.6, 1, 0.0, -1, 0.0, -1, 0.0, -1, 1500.0},
        StandRow{"SmallestBhdOakAshTable", {6, 3, 6, 0.0, 0.0, 30.0, 50.0},
                 6.0, 1, 0.0, -1, 0.0, -1, 0.0, -1, 1500.0},
        StandRow{"NoVolumePerHa", {0, 1, 20, 0.0, 0.0, 0.0, 50.0},
                 18.9091, 4, 0.235243, 6, 0.163232, 6, 0.143498, 6, 0.0},
        StandRow{"NoArea", {0, 1, 20, 0.0, 0.0, 30.0, 0.0},
                 18.9091, 4, 0.235243, 6, 0.163232, 6, 0.143498, 6, 0.0}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(StandModel, SmallestBhdStillGivesPositiveHeightEverywhere) {
    for (int ba = 0; ba < kSpeciesCount; ++ba)
        for (std::uint32_t sf = 0; sf < 4; ++sf) {
            const double h = calc_hoehe(ba, sf, 6);
            EXPECT_GT(h, 0.0) << ba << " " << sf;
            EXPECT_TRUE(std::isfinite(calc_stmvoll(static_cast<std::uint32_t>(ba), h, 6)));
        }
}

TEST(StandModel, HeightOverrideZeroMeansNotGiven) {
    const StandValues model = calc_bestand({0, 1, 20, 0.0, 0.0, 30.0, 50.0});
    EXPECT_EQ(model.hoehe, calc_hoehe(0, 1, 20));
}

TEST(StandModel, OwnHeightIsUsedUnchangedAndMovesVolumeAndLogMass) {
    const StandValues v = calc_bestand({0, 1, 20, 30.0, 0.0, 30.0, 50.0});
    EXPECT_EQ(v.hoehe, 30.0);  // far from the model, still used
    EXPECT_EQ(v.stm, calc_stm(30.0, 20));
    EXPECT_EQ(v.stmvoll, calc_stmvoll(0, 30.0, 20));
    EXPECT_EQ(v.stmderb, v.stm * 0.61);
    const StandValues model = calc_bestand({0, 1, 20, 0.0, 0.0, 30.0, 50.0});
    EXPECT_GT(v.stmvoll, model.stmvoll);
}

TEST(StandModel, OwnPieceVolumeMovesOnlyMerchantableMass) {
    const StandValues model = calc_bestand({0, 1, 20, 0.0, 0.0, 30.0, 50.0});
    const StandValues v = calc_bestand({0, 1, 20, 0.0, 0.5, 30.0, 50.0});
    EXPECT_EQ(v.hoehe, model.hoehe);
    EXPECT_EQ(v.stm, 0.5);
    EXPECT_EQ(v.stmvoll, model.stmvoll);  // never the piece-volume override
    EXPECT_EQ(v.stmderb, 0.5 * 0.61);
    EXPECT_EQ(v.vhieb, model.vhieb);
}

TEST(StandModel, PowerLawSpeciesIgnoreOwnHeightInTheirMass) {
    for (std::uint32_t ba : {5u, 6u, 7u, 8u, 9u}) {
        const StandValues a = calc_bestand({ba, 1, 20, 0.0, 0.0, 30.0, 50.0});
        const StandValues b = calc_bestand({ba, 1, 20, 30.0, 0.0, 30.0, 50.0});
        EXPECT_EQ(a.stmvoll, b.stmvoll) << ba;
        EXPECT_NE(a.stm, b.stm) << ba;
    }
    for (std::uint32_t ba : {0u, 1u, 2u, 3u, 4u}) {
        const StandValues a = calc_bestand({ba, 1, 20, 0.0, 0.0, 30.0, 50.0});
        const StandValues b = calc_bestand({ba, 1, 20, 30.0, 0.0, 30.0, 50.0});
        EXPECT_NE(a.stmvoll, b.stmvoll) << ba;
    }
}

TEST(StandModel, PieceVolumeIgnoresSpecies) {
    EXPECT_EQ(calc_stm(18.0, 20), calc_stm(18.0, 20));
    const StandValues birke = calc_bestand({0, 1, 20, 0.0, 0.0, 30.0, 50.0});
    const StandValues ahorn = calc_bestand({8, 1, 20, 0.0, 0.0, 30.0, 50.0});
    EXPECT_EQ(birke.stm, ahorn.stm);
    EXPECT_EQ(ahorn.stmderb, ahorn.stm * 0.63);
}

TEST(StandModel, StoreWritesTheFiveDerivedValues) {
    State s{};
    store(s, calc_bestand(stand_inputs(s)));
    EXPECT_TRUE(Rounds(s.gc_hoehe, 18.9091, 4));
    EXPECT_TRUE(Rounds(s.gc_stm, 0.235243, 6));
    EXPECT_TRUE(Rounds(s.gc_stmvoll, 0.163232, 6));
    EXPECT_TRUE(Rounds(s.gc_stmderb, 0.143498, 6));
    EXPECT_EQ(s.gc_vhieb, 1500.0);
}

TEST(SpeciesTables, TbkAndTtoAreInverse) {
    for (std::uint32_t p = 0; p < kSpeciesCount; ++p) EXPECT_EQ(tto[tbk[p]], p);
    for (std::uint32_t i = 0; i < kSpeciesCount; ++i) EXPECT_EQ(tbk[tto[i]], i);
    EXPECT_EQ(tbk[4], 6u);  // list position 4 "Eiche" is gi_ba 6
    EXPECT_EQ(tto[0], 1u);  // "Birke" is shown at list position 1
    EXPECT_STREQ(kSpeciesNames[tbk[0]], "Ahorn");
}

}  // namespace
}  // namespace forstrix
