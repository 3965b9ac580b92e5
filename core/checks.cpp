// The dialogs' checks as plain rules. Every rule looks at values only, never
// at the order in which they were given, so the command line, the batch run
// and the basics-file reader can apply them after all values are set.
#include "core/checks.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/calc.h"
#include "core/columns.h"
#include "core/cost_inputs.h"
#include "core/emissions.h"
#include "core/machines.h"
#include "core/message_text.h"
#include "core/numtext.h"
#include "core/result_tables.h"

namespace forstrix {

namespace {

std::string quoted(std::string_view label) { return "(\u201E" + std::string(label) + "\u201C)"; }

Problem problem(std::string_view name, std::string message) {
    return Problem{std::string(name), std::string(name) + ": " + std::move(message)};
}

// The machine kind and basic index (0 for row 44) of a name like
// "gf_hab46", or nullptr.
const MachineKind* machine_basic(std::string_view name, int& index) {
    if (name.substr(0, 3) != "gf_") return nullptr;
    const std::string_view rest = name.substr(3);
    const auto digits = rest.find_first_of("0123456789");
    if (digits == std::string_view::npos) return nullptr;
    const MachineKind* kind = find_machine_kind(rest.substr(0, digits));
    if (kind == nullptr) return nullptr;
    int row = 0;
    for (char c : rest.substr(digits)) row = row * 10 + (c - '0');
    index = row - kFirstBasicRow;
    return (index >= 0 && index < kBasicsPerMachine) ? kind : nullptr;
}

const ChainsawField* chainsaw_field(std::string_view name) {
    for (const ChainsawField& f : kChainsawFields)
        if (f.name == name) return &f;
    return nullptr;
}

// The label under which the dialog that edits a decimal shows it.
std::string dialog_label(const ValueInfo& v) {
    if (const ChainsawField* f = chainsaw_field(v.name)) return std::string(f->label);
    int index = 0;
    if (const MachineKind* kind = machine_basic(v.name, index))
        return std::string(kind->label(index)) + " in den " + std::string(kind->title);
    for (const CostInput& c : kCostInputs)
        if (c.value == v.d) return std::string(c.label);
    return std::string(v.name);
}

std::string_view not_settable_reason(ValueKind kind) {
    switch (kind) {
        case ValueKind::Derived: return "ist ein aus den Bestandesdaten abgeleiteter Wert";
        case ValueKind::Flag: return "ist eine Eignungsangabe, die aus den Bestandesdaten bestimmt wird";
        case ValueKind::MachineResult: return "ist ein Ergebnis der Maschinenkostenkalkulation";
        case ValueKind::Result: return "ist ein Ergebnis der Zeitbedarfs- und Kostenberechnung";
        default: return "kann nicht gesetzt werden";
    }
}

}  // namespace

Problem unknown_value(std::string_view name) {
    // A slip of one or two letters ("gi_bdh") is far likelier than a value
    // the program lacks: the name it was meant to be is offered.
    if (const std::string_view near = columns::nearest_name(name); !near.empty())
        return problem(printable(name), "unbekannter Name; meinten Sie " + std::string(near) + "?");
    return problem(printable(name), "unbekannter Name; es gibt keinen Wert dieses Namens.");
}

std::optional<Problem> check_value(const ValueInfo& v, double value) {
    const std::string_view name = v.name;
    if (!v.settable())
        return problem(name, std::string(not_settable_reason(v.kind)) + " und kann nicht gesetzt werden.");
    if (!std::isfinite(value)) return problem(name, "der Wert muss eine endliche Zahl sein.");
    if (value < 0.0) return problem(name, format_shortest_comma(value) + " ist negativ; erlaubt sind nur Werte ab 0.");

    const ValueRange& r = *value_range(v);
    if (v.kind == ValueKind::EmissionFactor) {
        if (emission_factor_allowed(value)) return std::nullopt;
        std::string_view label = name;
        for (const EmissionFactorField& f : kEmissionFactorFields)
            if (f.name == name) label = f.label;
        return problem(name, format_shortest_comma(value) + " ist nicht erlaubt " + quoted(label) +
                                 "; erwartet wird ein Wert größer als 0 und höchstens " +
                                 format_shortest_comma(r.hi) + ".");
    }
    if (v.type == ValueType::Int) {
        // A Zeitgrad: the cost dialog reads a decimal and keeps its whole part.
        if (value < r.lo || value > r.hi)
            return problem(name, "Zeitgrad " + format_shortest_comma(value) + " erscheint unplausibel; erwartet wird " +
                                     format_whole(r.lo) + " bis " + format_whole(r.hi) + ".");
        return std::nullopt;
    }
    // The allowed range in words, only for a message: a batch table checks
    // every cell, and nearly all of them pass. The lower bound may have
    // decimals (the smallest value a field shows).
    auto range = [&r](bool zero_too) {
        std::array<char, kMaxFixedChars> lo{};
        return std::string(zero_too ? "0 oder " : "") +
               std::string(lo.data(), write_fixed_shortest(lo.data(), r.lo, ',')) + " bis " + format_whole(r.hi);
    };
    if (v.type == ValueType::UInt) {
        const bool zero_or_range = name == "gi_ii_vzs";
        if (value != std::trunc(value))
            return problem(name, format_shortest_comma(value) + " ist keine ganze Zahl; erlaubt sind nur ganze Zahlen (" +
                                     range(zero_or_range) + ").");
        if ((value < r.lo || value > r.hi) && !(zero_or_range && value == 0.0))
            return problem(name, format_shortest_comma(value) + " liegt nicht im erlaubten Bereich " +
                                     range(zero_or_range) + " (" + std::string(r.what) + ").");
        return std::nullopt;
    }
    if (value > r.hi || (value != 0.0 && value < r.lo)) {
        // 0 itself is checked below: for a basic it is refused, an own
        // height or piece volume of 0 means none is given.
        return problem(name, format_shortest_comma(value) + " liegt nicht im erlaubten Bereich " +
                                 range(r.lo > 0.0 && !v.is_basic()) + " (" +
                                 std::string(r.what.empty() ? dialog_label(v) : r.what) + ").");
    }

    if (value == 0.0) {
        if (v.kind == ValueKind::ChainsawBasic) {
            // The mixing ratio and the ready-mix price may each be 0; that at
            // least one of them is not is a rule over both (check_basics).
            if (name != "gf_msc21" && name != "gf_msc22") {
                const ChainsawField* f = chainsaw_field(name);
                return problem(name, "0 ist nicht erlaubt " + quoted(f ? f->label : name) +
                                         "; der Wert muss größer als 0 sein.");
            }
        } else if (v.kind == ValueKind::MachineBasic) {
            int index = 0;
            if (const MachineKind* kind = machine_basic(name, index); kind && !kind->zero_allowed(index)) {
                return problem(name, "0 ist nicht erlaubt " + quoted(kind->label(index)) + " in den " +
                                         std::string(kind->title) + "; der Wert muss größer als 0 sein.");
            }
        }
    }
    return std::nullopt;
}

ReadResult read_value(const ValueInfo& v, std::string_view text) {
    ReadResult r;
    const std::optional<double> value = f_check(text);
    if (!value) {
        // Digits with one separator that still do not read: a value beyond
        // every double, or a separator without digits.
        const bool too_large = text.find_first_of("123456789") != std::string_view::npos &&
                               text.find_first_not_of("0123456789.,") == std::string_view::npos &&
                               text.find_first_of(".,") == text.find_last_of(".,");
        r.problem = problem(v.name, "\u201E" + printable(text) +
                                        (too_large ? "\u201C ist zu groß; der Wert muss eine endliche Zahl sein."
                                                   : "\u201C ist keine Zahl im Sinne der Dialoge; erlaubt sind "
                                                     "Ziffern mit höchstens einem Dezimaltrennzeichen (Punkt oder "
                                                     "Komma), ohne Vorzeichen und ohne Exponent."));
        return r;
    }
    r.value = *value;
    r.problem = check_value(v, *value);
    return r;
}

std::vector<Problem> check_stand(const State& s) {
    std::vector<Problem> out;
    if (s.gf_vab == 0.0)
        out.push_back(problem("gf_vab", "Fehlende Eingabe des Volumens des ausscheidenden Bestands "
                                        "[EFm/ha]; der Wert muss größer als 0 sein."));
    if (s.gf_gf == 0.0)
        out.push_back(problem("gf_gf", "Fehlende Eingabe der Gesamtfläche der Maßnahme [ha]; der Wert muss "
                                       "größer als 0 sein."));
    if (s.g_sys1 != 0) {
        if (s.gf_i_rd == 0.0)
            out.push_back(problem("gf_i_rd", "Fehlende Zusatzdaten für Konventionelle Holzernte: die "
                                             "Rückedistanz [m] muss größer als 0 sein, da System I geeignet ist."));
        if (s.gf_i_bse == 0.0)
            out.push_back(problem("gf_i_bse", "Fehlende Zusatzdaten für Konventionelle Holzernte: die "
                                              "Beiseilentfernung [m] muss größer als 0 sein, da System I "
                                              "geeignet ist."));
    }
    if (s.g_sys2 != 0 && s.gf_ii_rd == 0.0)
        out.push_back(problem("gf_ii_rd", "Fehlende Zusatzdaten für Integrierte Holzernte: die Rückedistanz "
                                          "[m] (gleich gf_i_rd) muss größer als 0 sein, da System II geeignet "
                                          "ist."));
    return out;
}

std::vector<std::string> plausibility_warnings(const State& s) {
    std::vector<std::string> out;
    // The model values ignore both overrides.
    const double h = calc_hoehe(static_cast<int>(s.gi_ba), s.gi_sf, s.gi_bhd);
    if (s.gf_bh > 0.0 && (s.gf_bh < 0.75 * h || s.gf_bh > 1.25 * h)) {
        out.push_back("gf_bh: Kontrollieren Sie Ihre Höheneingabe: " + format_comma(s.gf_bh, 2) +
                      " m liegt außerhalb von 75 % bis 125 % der Modellhöhe " + format_comma(h, 2) + " m (" +
                      format_comma(0.75 * h, 2) + " bis " + format_comma(1.25 * h, 2) + " m).");
    }
    const double v = calc_stm(h, s.gi_bhd);
    if (s.gf_stm > 0.0 && (s.gf_stm < 0.75 * v || s.gf_stm > 1.25 * v)) {
        out.push_back("gf_stm: Kontrollieren Sie Ihre Stückvolumeneingabe: " + format_comma(s.gf_stm, 4) +
                      " EFm liegt außerhalb von 75 % bis 125 % des Modellwerts " + format_comma(v, 4) + " EFm (" +
                      format_comma(0.75 * v, 4) + " bis " + format_comma(1.25 * v, 4) + " EFm).");
    }
    return out;
}

bool all_finite(std::initializer_list<double> figures) {
    for (const double v : figures)
        if (!std::isfinite(v)) return false;
    return true;
}

bool all_finite(const StandValues& v) { return all_finite({v.hoehe, v.stm, v.stmvoll, v.stmderb, v.vhieb}); }

std::optional<Problem> check_system_times(const State& s) {
    const std::array<std::int32_t, kSystemCount> flags = s.flags();
    for (std::size_t k = 0; k < system_results().size(); ++k) {
        if (flags[k] == 0) continue;
        for (const ResultRow& row : system_results()[k].rows) {
            if (s.*row.time >= 0.0) continue;
            const ValueInfo* info = nullptr;
            for (const ValueInfo& v : value_registry())
                if (v.d == row.time) info = &v;
            const std::string name(info ? info->name : "gff");
            return problem(name, "Das Arbeitssystem \u201E" + std::string(system_results()[k].title) +
                                     "\u201C ergibt für diesen Bestand eine negative Zeit je Fm; Stückvolumen "
                                     "und Baumhöhe liegen außerhalb des Bereichs, für den das Zeitmodell gilt.");
        }
    }
    return std::nullopt;
}

std::vector<Problem> check_basics(const State& s) {
    std::vector<Problem> out;
    auto check_named = [&](std::string_view name, double value) {
        const ValueInfo* info = find_value(name);
        if (info == nullptr) return false;
        if (auto p = check_value(*info, value)) {
            out.push_back(std::move(*p));
            return false;
        }
        return true;
    };

    // Chainsaw, in dialog order.
    bool valid = true;
    for (const ChainsawField& f : kChainsawFields) valid = check_named(f.name, s.*f.value) && valid;
    if (s.gf_msc21 == 0.0 && s.gf_msc22 == 0.0) {
        valid = false;
        out.push_back(problem("gf_msc21", "Mischungsverhältnis und Preis je Liter Fertig-Gemisch (gf_msc22) "
                                          "sind beide 0; einer der beiden Werte muss größer als 0 sein."));
    }
    if (valid) {
        const double total = chainsaw_costs(s).total;
        if (!(total >= 0.0))
            out.push_back(problem("gf_msc37", "Die Kalkulationsgrundlagen für Motorsägen ergeben " +
                                                  (std::isnan(total) ? std::string("keine berechenbaren Kosten")
                                                                     : "negative Kosten (" + format_comma(total, 2) +
                                                                           " Euro/BS)") +
                                                  "; erlaubt sind nur Kosten ab 0."));
    }

    // The seven machines, in the fixed order.
    for (const MachineKind& kind : kMachineKinds) {
        bool kind_valid = true;
        for (int n = 0; n < kBasicsPerMachine; ++n) {
            const std::string name = "gf_" + std::string(kind.stem) + std::to_string(kFirstBasicRow + n);
            kind_valid = check_named(name, s.*kind.basics[n]) && kind_valid;
        }
        if (!kind_valid) continue;
        const double total = machine_costs(machine_basics(s, kind)).total;
        if (!(total >= 0.0)) {
            const std::string stem(kind.stem);
            const std::string total_name = "gf_" + stem + std::to_string(kind.total_row());
            out.push_back(problem(
                total_name,
                "Die " + std::string(kind.title) + " ergeben " +
                    (std::isnan(total) ? std::string("keine berechenbaren Maschinenkosten")
                                       : "negative Maschinenkosten (" + format_comma(total, 2) + " Euro/MAS)") +
                    "; erlaubt sind nur Kosten ab 0. Prüfen Sie den Restwert gf_" + stem + "53 gegenüber dem "
                    "Beschaffungspreis gf_" + stem + "44."));
        }
    }
    return out;
}

}  // namespace forstrix
