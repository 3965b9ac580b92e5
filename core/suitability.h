// Which of the six work systems suit a stand, and why the others do not.
//
// The rules are one table of conditions (kSuitabilityConditions): each row
// names a system, the stand value it looks at, a comparison and an
// inclusive bound. The six flags of calc_eignung and the reasons of
// unsuitability_reasons are both read off that table, so a bound is written
// once and a verdict can never disagree with its reasons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"

namespace forstrix {

inline constexpr int kSystemCount = 6;

// What the rules look at. `inputs_valid` is false while a stand field of the
// dialog (volume per ha, area, own height, own piece volume) cannot be read:
// then no system suits.
struct SuitabilityInputs {
    bool inputs_valid;
    std::uint32_t bhd, hn, ar, br, hvs;
    double vab, stm, vhieb;
};
SuitabilityInputs suitability_inputs(const State& s, bool inputs_valid = true);

// The stand values a condition can look at, in the order in which the
// reasons of one system are listed.
enum class StandValue : std::uint8_t {
    Bhd,              // gi_bhd, whole cm
    PieceVolume,      // gc_stm, EFm (own value if entered, else the model's)
    Slope,            // gi_hn, whole per cent
    Spacing,          // gi_ar: 0 "bis 20" m, 1 "> 20"
    Trafficability,   // gi_br: 0 "vorhanden", 1 "nicht vorhanden"
    RopeLineVolume,   // gi_hvs: 0 "nein", 1 "ja"
    VolumePerHa,      // gf_vab, EFm/ha
    HarvestQuantity,  // gc_vhieb, EFm
};

struct StandValueInfo {
    std::string_view name;   // the value's name in the state, e.g. "gi_bhd"
    std::string_view label;  // the words of the stand dialog, e.g. "BHD"
    std::string_view unit;   // "cm", "%", "EFm", "EFm/ha"; empty for the lists
    int value_decimals;      // as the stand dialog shows the value
    int bound_decimals;      // as the main window's range texts state the bound
    bool whole;              // a whole number (a list position or whole cm / %)
};
const StandValueInfo& stand_value_info(StandValue v);
double stand_value(const SuitabilityInputs& in, StandValue v);

enum class Comparison : std::uint8_t { AtLeast, AtMost, Equals };

struct Condition {
    std::uint8_t system;  // 0 ... 5 for I ... VI
    StandValue value;
    Comparison cmp;
    double bound;  // inclusive; for a list the required position
    // Yarding needs a steep slope only where the skid trails can be driven
    // on: on trails that cannot (gi_br 1) a condition so marked holds.
    bool trafficable_only = false;
};

// The rules, system by system, each system's rows in reason order. Whole
// numbers are compared as whole numbers: "BHD > 14" is the bound 15.
inline constexpr std::array<Condition, 37> kSuitabilityConditions = {{
    // I) Konventionelle Holzernte
    {0, StandValue::Bhd, Comparison::AtLeast, 15},
    {0, StandValue::Slope, Comparison::AtMost, 35},
    {0, StandValue::Trafficability, Comparison::Equals, 0},
    {0, StandValue::VolumePerHa, Comparison::AtLeast, 10},
    {0, StandValue::HarvestQuantity, Comparison::AtLeast, 30},
    // II) Integrierte Holzernte
    {1, StandValue::Bhd, Comparison::AtLeast, 15},
    {1, StandValue::PieceVolume, Comparison::AtMost, 1.0},
    {1, StandValue::Slope, Comparison::AtMost, 35},
    {1, StandValue::Trafficability, Comparison::Equals, 0},
    {1, StandValue::VolumePerHa, Comparison::AtLeast, 30},
    {1, StandValue::HarvestQuantity, Comparison::AtLeast, 100},
    // III) Hochmechanisierte Holzernte
    {2, StandValue::Bhd, Comparison::AtLeast, 12},
    {2, StandValue::PieceVolume, Comparison::AtMost, 0.7},
    {2, StandValue::Slope, Comparison::AtMost, 35},
    {2, StandValue::Spacing, Comparison::Equals, 0},
    {2, StandValue::Trafficability, Comparison::Equals, 0},
    {2, StandValue::VolumePerHa, Comparison::AtLeast, 30},
    {2, StandValue::HarvestQuantity, Comparison::AtLeast, 300},
    // IV) Hochmechanisierte Holzernte durch Hangsysteme: slope 36 to 60 %
    {3, StandValue::Bhd, Comparison::AtLeast, 12},
    {3, StandValue::PieceVolume, Comparison::AtMost, 0.7},
    {3, StandValue::Slope, Comparison::AtLeast, 36},
    {3, StandValue::Slope, Comparison::AtMost, 60},
    {3, StandValue::Spacing, Comparison::Equals, 0},
    {3, StandValue::Trafficability, Comparison::Equals, 0},
    {3, StandValue::VolumePerHa, Comparison::AtLeast, 30},
    {3, StandValue::HarvestQuantity, Comparison::AtLeast, 300},
    // V) Yarding: any slope where the trails cannot be driven on, else steep
    {4, StandValue::Bhd, Comparison::AtLeast, 15},
    {4, StandValue::Slope, Comparison::AtLeast, 36, true},
    {4, StandValue::RopeLineVolume, Comparison::Equals, 1},
    {4, StandValue::VolumePerHa, Comparison::AtLeast, 30},
    {4, StandValue::HarvestQuantity, Comparison::AtLeast, 500},
    // VI) Spanholz
    {5, StandValue::Bhd, Comparison::AtMost, 18},
    {5, StandValue::Slope, Comparison::AtMost, 35},
    {5, StandValue::Spacing, Comparison::Equals, 0},
    {5, StandValue::Trafficability, Comparison::Equals, 0},
    {5, StandValue::VolumePerHa, Comparison::AtLeast, 10},
    {5, StandValue::HarvestQuantity, Comparison::AtLeast, 300},
}};

// Bit k is set when row k of kSuitabilityConditions applies to the stand
// and is not met. Looks at the stand values only, not at inputs_valid.
std::uint64_t failing_conditions(const SuitabilityInputs& in);
// The rows of one system (0 ... 5), as a mask over the table.
std::uint64_t system_conditions(int system);

// The reasons cell of system `system` (0 ... 5) in a table of results:
// the names of the values whose conditions in `failing` (a mask of
// failing_conditions) keep the system from suiting the stand, single
// blanks between them, in the order of the stand dialog; nothing for a
// suitable system. Written at `p`, which has room for kReasonsCellRoom
// characters (every name is at most 8); returns the end.
char* put_reasons_cell(char* p, std::uint64_t failing, int system);
inline constexpr std::size_t kReasonsCellRoom = kSuitabilityConditions.size() * 9;

// The six flags, I ... VI: 1 when the inputs are valid and every condition
// of the system holds, else 0.
std::array<std::int32_t, 6> calc_eignung(const SuitabilityInputs& in);

// Why a system does not suit, in the words of the stand dialog.
struct Reason {
    std::string name;             // the value's name: "gi_bhd", "gc_stm", ...
    std::optional<double> value;  // its value; empty when its field cannot be read
    double limit = 0.0;           // the inclusive bound it misses, or the required list position
    bool whole = false;           // value and limit are whole numbers
    std::string text;             // e.g. "BHD 12 cm: mindestens 15 cm"
};
using SystemReasons = std::array<std::vector<Reason>, kSystemCount>;

// The reasons of one system (0 ... 5): every failing condition, in the
// order BHD, piece volume, slope, spacing, trafficability, rope-line
// volume, volume per ha, harvest quantity; empty for a suitable system.
// With inputs that are not valid every system has the single reason that
// the field `unreadable` (a value name such as "gf_vab") cannot be read.
std::vector<Reason> unsuitability_reasons(const SuitabilityInputs& in, int system,
                                          std::string_view unreadable = {});
SystemReasons unsuitability_reasons(const SuitabilityInputs& in, std::string_view unreadable = {});

// The same over the stand of a calculation state (its inputs, piece volume
// and harvest quantity as last committed or computed). For a state whose
// flags were set by calc_eignung, a system has reasons exactly when its
// flag is 0. This is what a results view or a printed sheet lists.
std::vector<Reason> unsuitability_reasons(const State& s, int system);
SystemReasons unsuitability_reasons(const State& s);

// The one sentence of a failing condition over `in`.
std::string condition_text(const Condition& c, const SuitabilityInputs& in);

}  // namespace forstrix
