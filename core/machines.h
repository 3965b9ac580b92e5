// One description of the eight machine kinds: what the formula, the
// cost-basics dialogs, the basics file, the trace and the command line all
// need to know about a machine. A change of the cost scheme touches this
// table, not seven copies of code.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/state.h"

namespace forstrix {

// ----------------------------------------------------------- the seven machines
// Each of them is costed per machine working hour (MAS) from the same
// thirteen basics, rows 44..56 of the machine-cost scheme:
inline constexpr int kBasicsPerMachine = 13;
inline constexpr int kFirstBasicRow = 44;
// ...and yields seven components and a total, stored at its own block of rows.
inline constexpr int kResultsPerMachine = 8;

// Row labels as the cost-basics dialogs show them (the skidder's row 47
// differs, see MachineKind::label).
inline constexpr std::array<std::string_view, kBasicsPerMachine> kMachineBasicLabels = {
    "Beschaffungspreis ohne USt. [Tsd. Euro]",
    "Veralterungszeit [Jahre]",
    "Normale Nutzungsdauer [MAS, gesamt]",
    "Jährliche Einsatzdauer [MAS/Jahr]",
    "Reparaturkostenquote (echter Anteil)",
    "Kalkulat. Zinsfuß  [%]",
    "Treibstoffverbrauch [l/MAS]",
    "Treibstoffkosten ohne MwST. [Euro/l]",
    "Schmiermittelfaktor (echter Anteil)",
    "Restwert [Tsd. Euro]",
    "Mobilität (% Besch.-Preis, Vorgabe 1) [%]",
    "Sonstiges (% Besch.-Preis, Vorgabe 14) [%]",
    "Profit [%]",
};

enum class MachineId { asb, hab, fob, hfsab, hhb, hfb, mskb };

struct MachineKind {
    MachineId id;
    std::string_view stem;          // name stem: "hab" -> gf_hab44 ... gf_hab112
    int first_result_row;           // 64 for asb, then 37 higher per kind
    int dialog_id;                  // 12000 ... 18000; fields are dialog_id + 1..13
    int menu_command;               // 302 ... 308
    std::string_view title;         // cost-basics dialog caption
    std::string_view trace_heading; // "Kalkuliere ...\n", empty for the harvester
    std::string_view trace_total;   // prefix of the total in the trace: "-> " or ".> "
    bool trace_blank_after_total;   // the yarder's trace ends without an empty line
    int file_line;                  // 1-based line in daten.klg (4..10)
    std::string_view row47_label;   // the skidder writes "(MAS/Jahr)"
    bool whole_number_rows_44_to_47;// the skidder shows its first four rows as "%d"
    bool profit_may_be_zero;        // every kind but the skidder
    int interest_field_id;          // field of row 49: dialog_id + 6, except hfsab (16005)
    std::array<double State::*, kBasicsPerMachine> basics;   // rows 44..56
    std::array<double State::*, kResultsPerMachine> results; // D Q I F M O G, total

    // Basic row r is basics[r - 44]; component k (0..6) is result row
    // first_result_row + k, and the total stands 11 rows after the first.
    int total_row() const { return first_result_row + 11; }
    double State::*total() const { return results[7]; }
    std::string_view label(int basic_index) const {
        return basic_index == 3 ? row47_label : kMachineBasicLabels[basic_index];
    }
    int field_id(int basic_index) const {
        return basic_index == 5 ? interest_field_id : dialog_id + 1 + basic_index;
    }
    // Zero accepted only for the residual value (row 53) and, except on the
    // skidder, the profit (row 56): every other basic is a divisor or a
    // factor that must be given.
    bool zero_allowed(int basic_index) const {
        return basic_index == 9 || (basic_index == 12 && profit_may_be_zero);
    }
};

// In the fixed order of computation and of the menu: asb, hab, fob, hfsab, hhb, hfb, mskb.
extern const std::array<MachineKind, 7> kMachineKinds;
const MachineKind& machine_kind(MachineId id);
// The kind whose stem is `stem`, or nullptr.
const MachineKind* find_machine_kind(std::string_view stem);

// ----------------------------------------------------------------- the chainsaw
// The chainsaw has its own 23 basics and its own formula.
enum class FieldFormat { Fixed2, Whole };  // "%.2lf" or "%d" (truncated) at opening

struct ChainsawField {
    int field_id;              // 11001 ... 11023
    std::string_view name;     // "gf_msc5"
    double State::*value;
    std::string_view label;
    FieldFormat format;
};

inline constexpr int kChainsawDialogId = 11000;
inline constexpr int kChainsawMenuCommand = 301;
inline constexpr std::string_view kChainsawTitle = "Kalkulationsgrundlagen für Motorsägen";
inline constexpr std::string_view kChainsawTraceHeading = "Kalkuliere Motorsäge\n";
// In dialog order (11001 ... 11023), which is not the order of the names.
extern const std::array<ChainsawField, 23> kChainsawFields;

}  // namespace forstrix
