// Work-system suitability rules: every bound, on both sides.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "core/calc.h"

namespace forstrix {
namespace {

using Flags = std::array<std::int32_t, 6>;

// The default stand as suitability inputs.
SuitabilityInputs base() { return {true, 20, 14, 0, 0, 0, 30.0, 0.235243, 1500.0}; }

struct Row {
    const char* name;
    std::function<void(SuitabilityInputs&)> change;
    Flags want;  // I .. VI
};

class Suitability : public ::testing::TestWithParam<Row> {};

TEST_P(Suitability, Flags) {
    SuitabilityInputs in = base();
    GetParam().change(in);
    EXPECT_EQ(calc_eignung(in), GetParam().want);
}

std::vector<Row> rows() {
    return {
        {"DefaultStand", [](SuitabilityInputs&) {}, {1, 1, 1, 0, 0, 0}},
        {"InputsNotValid", [](SuitabilityInputs& i) { i.inputs_valid = false; }, {0, 0, 0, 0, 0, 0}},
        {"InputsNotValidEvenWhereAllFit",
         [](SuitabilityInputs& i) { i.inputs_valid = false; i.bhd = 18; i.hvs = 1; i.hn = 40; },
         {0, 0, 0, 0, 0, 0}},
        {"Bhd11ExcludesIIIAndIV", [](SuitabilityInputs& i) { i.bhd = 11; }, {0, 0, 0, 0, 0, 1}},
        {"Bhd12AdmitsIII", [](SuitabilityInputs& i) { i.bhd = 12; }, {0, 0, 1, 0, 0, 1}},
        {"Bhd14ExcludesIAndII", [](SuitabilityInputs& i) { i.bhd = 14; }, {0, 0, 1, 0, 0, 1}},
        {"Bhd15AdmitsIAndII", [](SuitabilityInputs& i) { i.bhd = 15; }, {1, 1, 1, 0, 0, 1}},
        {"Bhd18AdmitsVI", [](SuitabilityInputs& i) { i.bhd = 18; }, {1, 1, 1, 0, 0, 1}},
        {"Bhd19ExcludesVI", [](SuitabilityInputs& i) { i.bhd = 19; }, {1, 1, 1, 0, 0, 0}},
        {"Bhd14ExcludesV", [](SuitabilityInputs& i) { i.bhd = 14; i.hvs = 1; i.br = 1; }, {0, 0, 0, 0, 0, 0}},
        {"Bhd15AdmitsV", [](SuitabilityInputs& i) { i.bhd = 15; i.hvs = 1; i.br = 1; }, {0, 0, 0, 0, 1, 0}},
        {"PieceVolume1KeepsII", [](SuitabilityInputs& i) { i.stm = 1.0; }, {1, 1, 0, 0, 0, 0}},
        {"PieceVolumeAbove1ExcludesII", [](SuitabilityInputs& i) { i.stm = 1.0001; }, {1, 0, 0, 0, 0, 0}},
        {"PieceVolume07KeepsIII", [](SuitabilityInputs& i) { i.stm = 0.7; }, {1, 1, 1, 0, 0, 0}},
        {"PieceVolumeAbove07ExcludesIII", [](SuitabilityInputs& i) { i.stm = 0.7001; }, {1, 1, 0, 0, 0, 0}},
        {"PieceVolume07KeepsIV", [](SuitabilityInputs& i) { i.stm = 0.7; i.hn = 40; }, {0, 0, 0, 1, 0, 0}},
        {"PieceVolumeAbove07ExcludesIV", [](SuitabilityInputs& i) { i.stm = 0.7001; i.hn = 40; },
         {0, 0, 0, 0, 0, 0}},
        {"Slope35", [](SuitabilityInputs& i) { i.hn = 35; i.bhd = 18; }, {1, 1, 1, 0, 0, 1}},
        {"Slope36", [](SuitabilityInputs& i) { i.hn = 36; i.bhd = 18; }, {0, 0, 0, 1, 0, 0}},
        {"Slope60AdmitsIV", [](SuitabilityInputs& i) { i.hn = 60; }, {0, 0, 0, 1, 0, 0}},
        {"Slope61ExcludesIV", [](SuitabilityInputs& i) { i.hn = 61; }, {0, 0, 0, 0, 0, 0}},
        {"NotTrafficableOnlyV", [](SuitabilityInputs& i) { i.br = 1; i.hvs = 1; i.bhd = 18; },
         {0, 0, 0, 0, 1, 0}},
        {"NotTrafficableVAtSlope0", [](SuitabilityInputs& i) { i.br = 1; i.hvs = 1; i.hn = 0; },
         {0, 0, 0, 0, 1, 0}},
        {"NotTrafficableVAtSlope65", [](SuitabilityInputs& i) { i.br = 1; i.hvs = 1; i.hn = 65; },
         {0, 0, 0, 0, 1, 0}},
        {"TrafficableVNeedsSlopeAbove35", [](SuitabilityInputs& i) { i.hvs = 1; i.hn = 35; },
         {1, 1, 1, 0, 0, 0}},
        {"TrafficableSlope36VWithIV", [](SuitabilityInputs& i) { i.hvs = 1; i.hn = 36; }, {0, 0, 0, 1, 1, 0}},
        {"RopeLineVolumeNoExcludesV", [](SuitabilityInputs& i) { i.hvs = 0; i.hn = 40; }, {0, 0, 0, 1, 0, 0}},
        {"Harvest30MeetsI", [](SuitabilityInputs& i) { i.vab = 10.0; i.vhieb = 30.0; }, {1, 0, 0, 0, 0, 0}},
        {"HarvestBelow30", [](SuitabilityInputs& i) { i.vab = 10.0; i.vhieb = 29.99; }, {0, 0, 0, 0, 0, 0}},
        {"Harvest100MeetsII", [](SuitabilityInputs& i) { i.vhieb = 100.0; }, {1, 1, 0, 0, 0, 0}},
        {"HarvestBelow100", [](SuitabilityInputs& i) { i.vhieb = 99.99; }, {1, 0, 0, 0, 0, 0}},
        {"Harvest300MeetsIIIAndVI", [](SuitabilityInputs& i) { i.vhieb = 300.0; i.bhd = 18; },
         {1, 1, 1, 0, 0, 1}},
        {"HarvestBelow300", [](SuitabilityInputs& i) { i.vhieb = 299.99; i.bhd = 18; }, {1, 1, 0, 0, 0, 0}},
        {"Harvest300MeetsIV", [](SuitabilityInputs& i) { i.vhieb = 300.0; i.hn = 40; }, {0, 0, 0, 1, 0, 0}},
        {"HarvestBelow300IV", [](SuitabilityInputs& i) { i.vhieb = 299.99; i.hn = 40; }, {0, 0, 0, 0, 0, 0}},
        {"Harvest500MeetsV", [](SuitabilityInputs& i) { i.vhieb = 500.0; i.hvs = 1; i.br = 1; },
         {0, 0, 0, 0, 1, 0}},
        {"HarvestBelow500", [](SuitabilityInputs& i) { i.vhieb = 499.99; i.hvs = 1; i.br = 1; },
         {0, 0, 0, 0, 0, 0}},
        {"Volume10MeetsIAndVI", [](SuitabilityInputs& i) { i.vab = 10.0; i.bhd = 18; }, {1, 0, 0, 0, 0, 1}},
        {"VolumeBelow10", [](SuitabilityInputs& i) { i.vab = 9.99; i.bhd = 18; }, {0, 0, 0, 0, 0, 0}},
        {"Volume30MeetsV", [](SuitabilityInputs& i) { i.vab = 30.0; i.hvs = 1; i.br = 1; }, {0, 0, 0, 0, 1, 0}},
        {"VolumeBelow30", [](SuitabilityInputs& i) { i.vab = 29.99; i.hvs = 1; i.br = 1; }, {0, 0, 0, 0, 0, 0}},
        {"VolumeBelow30KeepsI", [](SuitabilityInputs& i) { i.vab = 29.99; }, {1, 0, 0, 0, 0, 0}},
        {"SpacingAbove20ExcludesIIIIVVI", [](SuitabilityInputs& i) { i.ar = 1; i.bhd = 18; }, {1, 1, 0, 0, 0, 0}},
        {"SpacingAbove20KeepsV", [](SuitabilityInputs& i) { i.ar = 1; i.hvs = 1; i.hn = 40; },
         {0, 0, 0, 0, 1, 0}},
        {"SpacingAbove20ExcludesIV", [](SuitabilityInputs& i) { i.ar = 1; i.hn = 40; }, {0, 0, 0, 0, 0, 0}},
    };
}

INSTANTIATE_TEST_SUITE_P(Part13, Suitability, ::testing::ValuesIn(rows()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Suitability, DefaultStateGivesTheDefaultFlags) {
    State s{};
    store(s, calc_bestand(stand_inputs(s)));
    EXPECT_EQ(calc_eignung(suitability_inputs(s)), s.flags());
    EXPECT_EQ(calc_eignung(suitability_inputs(s, false)), (Flags{0, 0, 0, 0, 0, 0}));
}

TEST(Suitability, OwnPieceVolumeCountsInPlaceOfTheModel) {
    State s{};
    s.gf_stm = 0.8;  // above 0.7
    store(s, calc_bestand(stand_inputs(s)));
    EXPECT_EQ(calc_eignung(suitability_inputs(s)), (Flags{1, 1, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace forstrix
