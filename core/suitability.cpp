// Work-system suitability rules: fixed thresholds over the stand inputs and
// the derived piece volume and harvest quantity, kept in one table
// (core/suitability.h) that gives both the verdicts and their reasons.
#include "core/suitability.h"

#include <algorithm>
#include <utility>

#include "core/numtext.h"

namespace forstrix {

namespace {

// Indexed by StandValue.
constexpr std::array<StandValueInfo, 8> kStandValues = {{
    {"gi_bhd", "BHD", "cm", 0, 0, true},
    {"gc_stm", "Stückvolumen je Baum", "EFm", 4, 1, false},
    {"gi_hn", "Hangneigung", "%", 0, 0, true},
    {"gi_ar", "Abstand Rückegassen", "", 0, 0, true},
    {"gi_br", "Befahrbarkeit Rückegassen", "", 0, 0, true},
    {"gi_hvs", "Mindestvolumen [ > 70 EFm] je Seillinie", "", 0, 0, true},
    {"gf_vab", "Volumen ausscheidender Bestand", "EFm/ha", 2, 0, false},
    {"gc_vhieb", "Gesamt-Hiebsanfall", "EFm", 2, 0, false},
}};

// The entries of the spacing list, by position, as a sentence reads them
// (the trafficability list reads as the dialog shows it, core/state.h).
constexpr std::array<std::string_view, 2> kSpacing = {"bis 20 m", "über 20 m"};

// The stand fields whose text can be unreadable, with the dialog's words.
struct FieldLabel {
    std::string_view name, label;
};
constexpr std::array<FieldLabel, 4> kReadFields = {{
    {"gf_vab", "Volumen ausscheidender Bestand"},
    {"gf_gf", "Gesamtfläche der Maßnahme"},
    {"gf_bh", "Baumhöhe"},
    {"gf_stm", "Stückvolumen je Baum"},
}};

constexpr std::array<std::uint64_t, kSystemCount> make_system_masks() {
    std::array<std::uint64_t, kSystemCount> masks{};
    for (std::size_t k = 0; k < kSuitabilityConditions.size(); ++k)
        masks[kSuitabilityConditions[k].system] |= std::uint64_t{1} << k;
    return masks;
}
constexpr std::array<std::uint64_t, kSystemCount> kSystemMasks = make_system_masks();
static_assert(kSuitabilityConditions.size() <= 64, "one bit per condition");

// The stand values a condition can look at, indexed by StandValue.
using ConditionValues = std::array<double, kStandValues.size()>;
static_assert(static_cast<std::size_t>(StandValue::HarvestQuantity) + 1 == kStandValues.size());
ConditionValues stand_values(const SuitabilityInputs& in) {
    return {static_cast<double>(in.bhd), in.stm, static_cast<double>(in.hn), static_cast<double>(in.ar),
            static_cast<double>(in.br), static_cast<double>(in.hvs), in.vab, in.vhieb};
}

// Row K of the table, with its stand value, comparison and bound known to
// the compiler: one comparison each, since the batch and the cost curves ask
// for the verdict of every stand.
template <std::size_t K>
bool row_holds(const ConditionValues& values, std::uint32_t br) {
    constexpr Condition c = kSuitabilityConditions[K];
    if (c.trafficable_only && br != 0) return true;
    const double v = values[static_cast<std::size_t>(c.value)];
    if constexpr (c.cmp == Comparison::AtLeast) return v >= c.bound;
    else if constexpr (c.cmp == Comparison::AtMost) return v <= c.bound;
    else return v == c.bound;
}

template <std::size_t... K>
std::uint64_t failing_rows(const SuitabilityInputs& in, std::index_sequence<K...>) {
    const ConditionValues values = stand_values(in);
    return ((row_holds<K>(values, in.br) ? std::uint64_t{0} : std::uint64_t{1} << K) | ...);
}

std::string number(double v, int decimals, bool whole) {
    return whole ? format_whole(v) : format_comma(v, decimals);
}

// A list entry by position; a position outside the list (never stored by the
// dialogs) as its number.
template <typename Text, std::size_t N>
std::string entry(const std::array<Text, N>& list, double position) {
    if (position >= 0.0 && position < static_cast<double>(N))
        return std::string(list[static_cast<std::size_t>(position)]);
    return format_whole(position);
}

Reason unreadable_reason(std::string_view field) {
    Reason r;
    r.name = std::string(field);
    std::string_view label = field;
    for (const FieldLabel& f : kReadFields)
        if (f.name == field) label = f.label;
    r.text = label.empty() ? std::string("Eingaben nicht lesbar")
                           : std::string(label) + ": Eingabe nicht lesbar";
    return r;
}

}  // namespace

SuitabilityInputs suitability_inputs(const State& s, bool inputs_valid) {
    return {inputs_valid, s.gi_bhd, s.gi_hn, s.gi_ar, s.gi_br, s.gi_hvs, s.gf_vab, s.gc_stm, s.gc_vhieb};
}

const StandValueInfo& stand_value_info(StandValue v) {
    return kStandValues[static_cast<std::size_t>(v)];
}

double stand_value(const SuitabilityInputs& in, StandValue v) {
    return stand_values(in)[static_cast<std::size_t>(v)];
}

std::uint64_t failing_conditions(const SuitabilityInputs& in) {
    return failing_rows(in, std::make_index_sequence<kSuitabilityConditions.size()>{});
}

std::uint64_t system_conditions(int system) {
    return system >= 0 && system < kSystemCount ? kSystemMasks[static_cast<std::size_t>(system)] : 0;
}

char* put_reasons_cell(char* p, std::uint64_t failing, int system) {
    const std::uint64_t mine = failing & system_conditions(system);
    bool first = true;
    for (std::size_t k = 0; k < kSuitabilityConditions.size(); ++k) {
        if ((mine & (std::uint64_t{1} << k)) == 0) continue;
        if (!first) *p++ = ' ';
        first = false;
        const std::string_view name = stand_value_info(kSuitabilityConditions[k].value).name;
        p = std::copy(name.begin(), name.end(), p);
    }
    return p;
}

std::array<std::int32_t, 6> calc_eignung(const SuitabilityInputs& in) {
    std::array<std::int32_t, 6> f{0, 0, 0, 0, 0, 0};
    if (!in.inputs_valid) return f;
    const std::uint64_t failing = failing_conditions(in);
    for (std::size_t i = 0; i < f.size(); ++i) f[i] = (failing & kSystemMasks[i]) == 0 ? 1 : 0;
    return f;
}

std::string condition_text(const Condition& c, const SuitabilityInputs& in) {
    const StandValueInfo& info = stand_value_info(c.value);
    const double v = stand_value(in, c.value);
    switch (c.value) {
    case StandValue::Spacing:
        return "Abstand Rückegassen " + entry(kSpacing, v) + ": erforderlich " + entry(kSpacing, c.bound);
    case StandValue::Trafficability:
        return "Befahrbarkeit Rückegassen " + entry(kTrafficabilityNames, v) + ": erforderlich " +
               entry(kTrafficabilityNames, c.bound);
    case StandValue::RopeLineVolume:
        return std::string(info.label) + (c.bound == 1.0 ? " nicht erreicht" : " erreicht");
    default:
        break;
    }
    std::string text(info.label);
    text += ' ';
    text += number(v, info.value_decimals, info.whole);
    text += ' ';
    text += info.unit;
    text += c.cmp == Comparison::AtMost ? ": höchstens " : ": mindestens ";
    text += number(c.bound, info.bound_decimals, info.whole);
    text += ' ';
    text += info.unit;
    return text;
}

std::vector<Reason> unsuitability_reasons(const SuitabilityInputs& in, int system,
                                          std::string_view unreadable) {
    std::vector<Reason> out;
    if (system < 0 || system >= kSystemCount) return out;
    if (!in.inputs_valid) {
        out.push_back(unreadable_reason(unreadable));
        return out;
    }
    const std::uint64_t failing = failing_conditions(in) & kSystemMasks[static_cast<std::size_t>(system)];
    for (std::size_t k = 0; k < kSuitabilityConditions.size(); ++k) {
        if ((failing & (std::uint64_t{1} << k)) == 0) continue;
        const Condition& c = kSuitabilityConditions[k];
        const StandValueInfo& info = stand_value_info(c.value);
        out.push_back({std::string(info.name), stand_value(in, c.value), c.bound, info.whole, condition_text(c, in)});
    }
    return out;
}

SystemReasons unsuitability_reasons(const SuitabilityInputs& in, std::string_view unreadable) {
    SystemReasons out;
    for (int i = 0; i < kSystemCount; ++i)
        out[static_cast<std::size_t>(i)] = unsuitability_reasons(in, i, unreadable);
    return out;
}

std::vector<Reason> unsuitability_reasons(const State& s, int system) {
    return unsuitability_reasons(suitability_inputs(s), system);
}

SystemReasons unsuitability_reasons(const State& s) {
    return unsuitability_reasons(suitability_inputs(s));
}

}  // namespace forstrix
