#include "ui/sweep_view.h"

#include <algorithm>
#include <cmath>

#include "core/checks.h"
#include "core/cost_inputs.h"
#include "core/numtext.h"
#include "core/registry.h"
#include "draw/axis_step.h"

namespace forstrix::ui {

namespace {

constexpr SweepInput kInputs[] = {
    {"gi_bhd", "BHD [cm]", "BHD", "cm", {}},
    {"gi_hn", "Hangneigung [%]", "Hangneigung", "%", {}},
    {"gf_vab", "Volumen ausscheidender Bestand [EFm/ha]", "Volumen ausscheidender Bestand", "EFm/ha", {}},
    {"gf_gf", "Gesamtfläche der Maßnahme [ha]", "Gesamtfläche", "ha", {}},
    {"gf_i_rd", "Rückedistanz [m]", "Rückedistanz", "m", {}, 0},
    {"gf_i_bse", "Beiseilentfernung [m]", "Beiseilentfernung", "m", {}, 0},
    {"gi_ba", "Hauptbaumart Laubholz", "Baumart", "", kSpeciesNames},
    {"gi_sf", "Formigkeit", "Formigkeit", "", kFormClassNames},
    {"gi_ar", "Abstand Rückegassen [m]", "Abstand Rückegassen", "m", kSpacingNames},
    {"gi_br", "Befahrbarkeit Rückegassen", "Befahrbarkeit Rückegassen", "", kTrafficabilityNames},
    {"gi_i_bb", "Begehbarkeit / Behinderungen", "Begehbarkeit", "", kObstacleNames},
    {"gi_hvs", "Mindestvolumen [ > 70 EFm] je Seillinie erreicht", "Mindestvolumen je Seillinie erreicht", "",
     kRopeVolumeNames},
    {"gi_v_kf", "Kronenform", "Kronenform", "", kCrownNames},
    {"gf_stm", "Stückvolumen je Baum [EFm] (eigene Eingabe)", "Stückvolumen", "EFm", {}, 4},
    {"gf_fw", "Forstwirt (ohne PNK) [Euro/Std.]", "Lohn Forstwirt", "Euro/Std.", {}},
    {"gf_mf", "Maschinenführer (ohne PNK) [Euro/Std.]", "Lohn Maschinenführer", "Euro/Std.", {}},
    {"gf_nfw", "Höhe PNK Forstwirt [%]", "PNK Forstwirt", "%", {}},
    {"gf_nmf", "Höhe PNK Maschinenführer [%]", "PNK Maschinenführer", "%", {}},
    {"gi_zest", "Zeitgrad für EST", "Zeitgrad für EST", "%", {}},
    {"gi_zmgv", "Zeitgrad für MGV", "Zeitgrad für MGV", "%", {}},
    {"gf_msc37", "Motorsäge [Euro/BStd.]", "Motorsäge", "Euro/BStd.", {}},
    {"gf_ss", "Seilschlepper [Euro/MAS]", "Seilschlepper", "Euro/MAS", {}},
    {"gf_hab112", "Harvester [Euro/MAS]", "Harvester", "Euro/MAS", {}},
    {"gf_fob149", "Forwarder [Euro/MAS]", "Forwarder", "Euro/MAS", {}},
    {"gf_hfsab186", "Harvester mit FSA [Euro/MAS]", "Harvester mit FSA", "Euro/MAS", {}},
    {"gf_hhb223", "Hang-Harvester [Euro/MAS]", "Hang-Harvester", "Euro/MAS", {}},
    {"gf_hfb260", "Hang-Forwarder [Euro/MAS]", "Hang-Forwarder", "Euro/MAS", {}},
    {"gf_mskb297", "Seilkran inkl. Prozessor [Euro/MAS]", "Seilkran inkl. Prozessor", "Euro/MAS", {}},
};

// A whole number n · 10^-scale as text with a decimal comma.
std::string decimal_text(std::int64_t n, int scale) {
    std::string digits = std::to_string(n);
    if (scale == 0) return digits;
    if (static_cast<int>(digits.size()) <= scale) digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, ',');
    return digits;
}

// The grid of a range holds whole numbers below this bound: the range texts
// have at most 15 digits and 15 decimals, and the sums of the grid stay
// exact doubles.
constexpr double kGridLimit = 9e15;
constexpr int kGridDecimals = 15;

std::int64_t whole_power_of_ten(int e) {
    std::int64_t p = 1;
    for (int i = 0; i < e; ++i) p *= 10;
    return p;
}

// a · b, or 0 when it leaves the grid (a, b > 0).
std::int64_t overflow_free_product(std::int64_t a, std::int64_t b) {
    return static_cast<double>(a) * static_cast<double>(b) < kGridLimit ? a * b : 0;
}

std::string comma(std::string s) {
    if (const auto pos = s.find('.'); pos != std::string::npos) s[pos] = ',';
    return s;
}

std::string with_unit(const SweepInput& input, double v) {
    std::string text = value_text(input, v);
    if (!input.unit.empty()) text += " " + std::string(input.unit);
    return text;
}

// A field of the table, quoted when it holds a semicolon, a quote or a line end.
std::string csv_field(const std::string& text) {
    if (text.find_first_of(";\"\n\r") == std::string::npos) return text;
    std::string out = "\"";
    for (const char ch : text) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return out + "\"";
}

std::string verdict_text(int v) {
    if (v >= 0) return std::string(kSystemTitles[static_cast<std::size_t>(v)]);
    return v == -1 ? "kein System geeignet" : "keine Berechnung (fehlende Eingaben)";
}

// Tick indices of a grid on round values, at least `min_gap` pixels apart:
// every k-th grid value, k one of 1, 2, 5, 10, 20, 50, ...
std::vector<std::size_t> round_ticks(const SweepRange& r, double cell, double min_gap) {
    std::vector<std::size_t> out;
    if (r.count == 0) return out;
    const std::optional<draw::RoundStep> k =
        cell > 0.0 ? draw::round_step(min_gap / cell) : std::nullopt;
    std::int64_t every = r.step;
    if (!k || k->exponent > 15) every = 0;  // cells too narrow for a second tick
    else if (k->exponent >= 0) every = overflow_free_product(every, k->mantissa * whole_power_of_ten(k->exponent));
    for (std::size_t i = 0; every > 0 && i < r.count; ++i) {
        const std::int64_t n = r.first + static_cast<std::int64_t>(i) * r.step;
        if (n % every == 0) out.push_back(i);
    }
    if (out.empty()) out.push_back(0);
    return out;
}

double step_value(const SweepRange& r) { return r.count > 1 ? (r.last() - r.from()) / static_cast<double>(r.count - 1) : 1.0; }

}  // namespace

std::span<const SweepInput> sweep_inputs() { return kInputs; }

const SweepInput* find_sweep_input(std::string_view name) {
    for (const SweepInput& in : kInputs)
        if (in.name == name) return &in;
    return nullptr;
}

double current_value(const State& s, const SweepInput& input) {
    const ValueInfo* info = find_value(input.name);
    if (info == nullptr) return 0.0;
    if (info->d == &State::gf_stm && s.gf_stm == 0.0) return s.gc_stm;
    return get_value(s, *info);
}

std::optional<RangeTexts> default_range(const State& s, const SweepInput& input, int points) {
    const ValueInfo& info = *find_value(input.name);
    if (info.type != ValueType::Double) {
        // The whole list: the first value the dialog accepts up to the last
        // of the run (the checks know the bounds; no second copy here).
        int lo = 0;
        while (lo < 1000 && check_value(info, lo)) ++lo;
        int hi = lo;
        while (hi < 1000 && !check_value(info, hi + 1)) ++hi;
        return RangeTexts{std::to_string(lo), std::to_string(hi), "1"};
    }
    double cur = current_value(s, input);
    if (!(cur > 0.0)) cur = default_value(info);
    if (!(cur > 0.0)) cur = 100.0;
    const double from = cur / 2.0, to = cur * 2.0;
    const std::optional<draw::RoundStep> round = draw::round_step((to - from) / std::max(points, 1));
    // A value so large or so small that its range leaves the grid gets none.
    if (!round || round->exponent < -kGridDecimals || round->exponent > kGridDecimals) return std::nullopt;
    const int scale = std::max(0, -round->exponent);
    const std::int64_t step_int = round->mantissa * whole_power_of_ten(round->exponent + scale);
    const double step = static_cast<double>(step_int) / std::pow(10.0, scale);
    const double from_units = std::floor(from / step), to_units = std::ceil(to / step);
    if (!(to_units * static_cast<double>(step_int) < kGridLimit)) return std::nullopt;
    return RangeTexts{decimal_text(static_cast<std::int64_t>(from_units) * step_int, scale),
                      decimal_text(static_cast<std::int64_t>(to_units) * step_int, scale),
                      decimal_text(step_int, scale)};
}

std::string no_default_range(const SweepInput& input, double current) {
    return value_with_word(input, current) + " ist zu groß oder zu klein für einen Verlauf; Anfang, Ende und "
           "Schritt haben höchstens 15 Stellen.";
}

std::string value_text(const SweepInput& input, double v) {
    if (!input.classes.empty() && v >= 0.0 && v < static_cast<double>(input.classes.size()))
        return input.classes[static_cast<std::size_t>(v)];
    return comma(format_shortest(v));
}

std::string value_with_word(const SweepInput& input, double v) {
    return std::string(input.word) + " " + with_unit(input, v);
}

std::string dialog_text(const SweepInput& input, double v) {
    if (!input.classes.empty()) return value_text(input, v);
    const ValueInfo* info = find_value(input.name);
    bool whole = info == nullptr || info->type != ValueType::Double || input.decimals == 0;
    // The cost dialog shows its PNK whole and its wages and costs with two decimals.
    for (const CostInput& c : kCostInputs)
        if (info != nullptr && ((c.value != nullptr && c.value == info->d) || (c.level != nullptr && c.level == info->i)))
            whole = c.whole;
    return whole ? format_whole(v) : format_comma(v, input.decimals);
}

std::vector<HeldInput> held_inputs(const State& s, std::span<const SweepInput* const> swept) {
    std::vector<HeldInput> out;
    for (const SweepInput& in : kInputs) {
        if (std::find(swept.begin(), swept.end(), &in) != swept.end()) continue;
        if (in.name == "gf_stm" && s.gf_stm == 0.0) continue;  // none given: the model's value counts
        out.push_back({std::string(in.label), dialog_text(in, current_value(s, in))});
    }
    return out;
}

std::string held_text(std::span<const HeldInput> held) {
    std::string out;
    for (const HeldInput& h : held) out += (out.empty() ? "" : "; ") + h.label + ": " + h.value;
    return out;
}

std::string table_head(const std::string& stand_name, std::span<const HeldInput> held,
                       std::span<const SweepInput* const> swept, bool unmeasured) {
    // A byte order mark, so that a spreadsheet reads the umlauts as UTF-8.
    std::string out = "\xEF\xBB\xBFKostenverlauf\nBestand;" + csv_field(stand_name) + "\nFestgehaltene Eingaben\n";
    for (const HeldInput& h : held) out += csv_field(h.label) + ";" + csv_field(h.value) + "\n";
    out += "\n";
    for (const SweepInput* in : swept) out += csv_field(std::string(in->label)) + ";";
    for (int k = 0; k < 6; ++k) out += csv_field(system_legend(k, unmeasured) + " [Euro/Fm]") + ";";
    return out + "Geeignet;Günstigstes geeignetes System\n";
}

std::string table_row(std::span<const std::pair<const SweepInput*, double>> at, const PointCosts& p,
                      const Competition& c) {
    std::string out;
    for (const auto& [input, v] : at) out += csv_field(value_text(*input, v)) + ";";
    std::string suitable;
    for (int k = 0; k < 6; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double sum = competing_sum(p.sums, k, c.unmeasured);
        if (p.computed && std::isfinite(sum)) out += format_comma(sum, 2);
        out += ";";
        if (p.computed && p.flags[i] != 0) suitable += (suitable.empty() ? "" : ", ") + std::string(kSystemNumerals[i]);
    }
    return out + suitable + ";" + verdict_text(verdict(p, c)) + "\n";
}

int verdict(const PointCosts& p, const Competition& c) { return p.computed ? cheapest(p, c) : -2; }

std::string cheapest_sentence(const SweepInput& input, const SweepRange& range, std::span<const PointCosts> points,
                              const Competition& c) {
    std::string out;
    std::size_t begin = 0;
    const std::size_t n = std::min(points.size(), range.count);
    bool first = true;
    while (begin < n) {
        const int v = verdict(points[begin], c);
        std::size_t end = begin + 1;
        while (end < n && verdict(points[end], c) == v) ++end;
        const double a = range.value(begin), b = range.value(end - 1);
        std::string stretch;
        if (!input.classes.empty()) {
            // The entries of a list by name: a species or a crown size has no
            // "from ... to" between its neighbours in the list.
            if (first) stretch = std::string(input.word) + " ";
            for (std::size_t k = begin; k < end; ++k)
                stretch += (k > begin ? ", " : "") + with_unit(input, range.value(k));
        } else if (first) {
            stretch = std::string(input.word) + " ";
            stretch += end - begin == 1 ? with_unit(input, a) : value_text(input, a) + " bis " + with_unit(input, b);
        } else if (end == n && end - begin > 1) {
            stretch = "ab " + with_unit(input, a);
        } else {
            stretch = end - begin == 1 ? with_unit(input, a) : value_text(input, a) + " bis " + with_unit(input, b);
        }
        if (!first) out += "; ";
        out += stretch + ": " + verdict_text(v);
        first = false;
        begin = end;
    }
    return out;
}

std::string point_text(std::span<const std::pair<const SweepInput*, double>> at, const PointCosts& p,
                       const Competition& c) {
    std::string out;
    for (const auto& [input, v] : at) {
        if (!out.empty()) out += ", ";
        out += value_with_word(*input, v);
    }
    out += ": ";
    if (!p.computed) return out + verdict_text(-2);
    for (int k = 0; k < 6; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (k > 0) out += " · ";
        out += std::string(kSystemNumerals[i]) + " " + format_comma(competing_sum(p.sums, k, c.unmeasured), 2);
        if (c.excluded[i]) out += " (ausgeschlossen)";
        else if (p.flags[i] == 0) out += " (ungeeignet)";
    }
    out += " Euro/Fm; am günstigsten: ";
    const int best = cheapest(p, c);
    out += best >= 0 ? std::string(kSystemNumerals[static_cast<std::size_t>(best)]) : std::string("kein System geeignet");
    return out;
}

std::string system_legend(int system, bool unmeasured) {
    const std::string title(kSystemTitles[static_cast<std::size_t>(system)]);
    switch (system) {
        case 0:
        case 1: return title + (unmeasured ? ", ohne Vermessung" : ", inklusive Vermessung");
        case 2:
        case 3: return title + " (Harvestermaß)";
        case 4: return title + " (Prozessormaß)";
        default: return title + " (Vollbäume für Hackschnitzel, unvermessen)";
    }
}

// ------------------------------------------------------------------ the map

MapRect MapGeometry::cell(std::size_t i, std::size_t j) const {
    return {plot.x + static_cast<double>(i) * cell_w, plot.y + plot.h - static_cast<double>(j + 1) * cell_h, cell_w,
            cell_h};
}

std::optional<std::pair<std::size_t, std::size_t>> MapGeometry::cell_at(double px, double py) const {
    if (nx == 0 || ny == 0 || px < plot.x || py < plot.y || px >= plot.x + plot.w || py >= plot.y + plot.h)
        return std::nullopt;
    const auto i = std::min(nx - 1, static_cast<std::size_t>((px - plot.x) / cell_w));
    const auto j = std::min(ny - 1, static_cast<std::size_t>((plot.y + plot.h - py) / cell_h));
    return std::make_pair(i, j);
}

double MapGeometry::x_of(const SweepRange& x, double v) const {
    return plot.x + ((v - x.from()) / step_value(x) + 0.5) * cell_w;
}

double MapGeometry::y_of(const SweepRange& y, double v) const {
    return plot.y + plot.h - ((v - y.from()) / step_value(y) + 0.5) * cell_h;
}

MapGeometry map_geometry(const SweepRange& x, const SweepRange& y, int width, int height, int left, int bottom,
                         int top, int right, double min_gap) {
    MapGeometry g;
    g.nx = x.count;
    g.ny = y.count;
    g.plot = {static_cast<double>(left), static_cast<double>(top), std::max(0.0, static_cast<double>(width - left - right)),
              std::max(0.0, static_cast<double>(height - top - bottom))};
    if (g.nx == 0 || g.ny == 0) return g;
    g.cell_w = g.plot.w / static_cast<double>(g.nx);
    g.cell_h = g.plot.h / static_cast<double>(g.ny);
    for (std::size_t i : round_ticks(x, g.cell_w, min_gap))
        g.x_ticks.push_back({i, g.plot.x + (static_cast<double>(i) + 0.5) * g.cell_w});
    for (std::size_t j : round_ticks(y, g.cell_h, min_gap * 0.6))
        g.y_ticks.push_back({j, g.plot.y + g.plot.h - (static_cast<double>(j) + 0.5) * g.cell_h});
    return g;
}

}  // namespace forstrix::ui
