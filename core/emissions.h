// Fuel and CO2 per Fm of every work system. The cost scheme already knows
// how long each machine runs per Fm (the time lines gff_eN) and how much it
// burns per hour (row 50 "Treibstoffverbrauch [l/MAS]" of the machines, the
// chainsaw's "Treibstoffverbrauch je Betriebsstunde"); litres per Fm are the
// product, CO2 follows from the litres with one factor per fuel.
//
// What the figures leave out: transport of the timber to the mill and of
// the machines to the stand, lubricants and chain oil, and the making of
// the machines; only the fuel burnt in the stand (tank-to-wheel) counts.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/state.h"

namespace forstrix {

enum class Fuel { Diesel, Benzin };

// One machine of a work system: the time line it runs per Fm, the unit of
// that line, and its fuel use per hour.
struct FuelLine {
    int system;               // 0..5 for I..VI
    double State::*time;      // gff_eN
    double minutes_per_hour;  // 60 where the line is in min/Fm (systems I and II), else 1
    double State::*use;       // row 50 of the machine [l/MAS], or gf_msc23 [l/BS]
    Fuel fuel;
};

// Every machine of the six systems (13 lines); the people's lines burn nothing.
extern const std::array<FuelLine, 13> kFuelLines;

// The outputs of system i (0..5).
extern const std::array<double State::*, 6> kDieselPerFm;  // diesel_sys1 ... diesel_sys6
extern const std::array<double State::*, 6> kBenzinPerFm;  // benzin_sys1 ... benzin_sys6
extern const std::array<double State::*, 6> kCo2PerFm;     // co2_sys1 ... co2_sys6

// ------------------------------------------------------------ the two factors
// A factor must be greater than 0 and at most this (kg CO2e per litre; the
// fossil fuels lie near 2.4 to 3.2, so 10 leaves room for any accounting
// without letting a slip by a power of ten through).
inline constexpr double kEmissionFactorMax = 10.0;
inline bool emission_factor_allowed(double v) { return v > 0.0 && v <= kEmissionFactorMax; }

struct EmissionFactorField {
    int field_id;           // 19001, 19002 in the dialog "Emissionsfaktoren"
    std::string_view name;  // "gf_co2_diesel"
    double State::*value;
    std::string_view label;
};
inline constexpr int kEmissionDialogId = 19000;
inline constexpr int kEmissionMenuCommand = 309;
inline constexpr std::string_view kEmissionTitle = "Emissionsfaktoren";
extern const std::array<EmissionFactorField, 2> kEmissionFactorFields;

// ------------------------------------------------------------ computation
// diesel_sysN, benzin_sysN and co2_sysN of all six systems from the time
// lines, the fuel uses and the two factors in `s`. Part of the time-and-cost
// model (calc_zeitbedarfkosten ends with it), so every view of the results
// has them.
void calc_kraftstoff(State& s);

// The line under a system's sums, e.g. "Kraftstoff 1,41 l/Fm (Diesel 0,96,
// Benzin 0,45), CO2 3,65 kg/Fm"; a system that burns no petrol reads
// "Kraftstoff 1,87 l/Fm (Diesel), CO2 4,99 kg/Fm". UTF-8.
std::string fuel_text(const State& s, int system);

}  // namespace forstrix
