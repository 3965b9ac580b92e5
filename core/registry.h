// The registry of named values: every value of the State by its name, with
// its kind, type, default and whether a user may set it. Defaults, the
// command line, the files and the tests address values through it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/state.h"

namespace forstrix {

enum class ValueKind {
    StandInput,     // gi_ba ... gf_stm
    StandExtra,     // additional stand data of systems I, II and V
    Wage,           // wages, PNK and Zeitgrad (cost dialog)
    MachineCost,    // the eight machine costs of the cost dialog (gf_ss, gf_msc37, gf_hab112, ...)
    EmissionFactor, // kg CO2e per litre of diesel and of petrol (gf_co2_diesel, gf_co2_benzin)
    ChainsawBasic,  // gf_msc5 ... gf_msc27
    MachineBasic,   // rows 44..56 of the seven machines
    Derived,        // gc_...
    Flag,           // g_sys1 ... g_sys6
    MachineResult,  // machine-hour cost components and totals not edited by the cost dialog
    Result,         // gff_..., and fuel and CO2 per Fm (diesel_sysN, benzin_sysN, co2_sysN)
};

enum class ValueType { Double, UInt, Int };

struct ValueInfo {
    std::string_view name;
    ValueKind kind;
    ValueType type;
    double State::*d = nullptr;         // set for ValueType::Double
    std::uint32_t State::*u = nullptr;  // set for ValueType::UInt
    std::int32_t State::*i = nullptr;   // set for ValueType::Int

    // Inputs may be set by the user; derived values, flags and results may not.
    bool settable() const {
        return kind == ValueKind::StandInput || kind == ValueKind::StandExtra ||
               kind == ValueKind::Wage || kind == ValueKind::MachineCost ||
               kind == ValueKind::EmissionFactor ||
               kind == ValueKind::ChainsawBasic || kind == ValueKind::MachineBasic;
    }
    // A basic of the chainsaw or of a machine: changing it changes a
    // machine-hour cost, which must then be computed again.
    bool is_basic() const { return kind == ValueKind::ChainsawBasic || kind == ValueKind::MachineBasic; }
};

// What a user may give a settable value: a whole or decimal number from
// `lo` to `hi`. The lists of the stand dialog are whole numbers (list
// positions, cm, %); gi_ii_vzs may also be 0. A decimal input may also be 0
// (whether it may is a rule of its dialog) and has an upper bound far above
// any real stand or price, under which every figure of the computation
// stays a finite number. The dialogs, the command line,
// stand and basics files and batch tables all check through check_value
// (core/checks.h), which reads this one table.
struct ValueRange {
    std::string_view name;  // a registry name; "*44" ... "*56": that row of every machine
    double lo, hi;
    std::string_view what;  // what the value is, as a message names it; empty: its dialog label
};
// The range of a settable value, or nullptr for one the user does not set.
const ValueRange* value_range(const ValueInfo& v);
// The same by name; the value must exist and be settable.
const ValueRange& value_range(std::string_view name);

// Every named value, in the order of the State (the order of `calc`'s JSON).
std::span<const ValueInfo> value_registry();
// nullptr for an unknown name.
const ValueInfo* find_value(std::string_view name);

double get_value(const State& s, const ValueInfo& v);
// Integers take the value truncated toward zero (the caller has checked it
// with check_value: whole, or for a Zeitgrad within 10..200).
void set_value(State& s, const ValueInfo& v, double value);
// The value in a default State.
double default_value(const ValueInfo& v);

}  // namespace forstrix
