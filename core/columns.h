// How a table's columns and cells become input values: the planner's own
// tables (a GIS layer's attributes, a spreadsheet, a CSV file) name values
// in their own way. A column named as a value is read as that value (case
// does not matter); a mapping ("Zuordnung") may name other columns and
// translate the inventory's codes; list values also accept the dialogs' own
// words. Everything else is carried through unchanged, except what looks
// like a misspelt value name, and the result columns, which are written
// afresh. `calc`, `batch`, `plan` and the desktop's import all read here.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/checks.h"
#include "core/registry.h"
#include "core/scenario.h"

namespace forstrix::columns {

// The planner's columns of a plan: the choice ("gewaehlt", input and
// output) and whether it is fixed ("fest", input only, carried); and the
// columns that `plan` writes after the results of `batch`, in their order.
inline constexpr std::string_view kChosenColumn = "gewaehlt";
inline constexpr std::string_view kFixedColumn = "fest";
inline constexpr std::array<std::string_view, 7> kPlanColumns = {
    "guenstig", "gewaehlt", "kosten_fm", "kosten", "diesel_l", "benzin_l", "co2_kg"};
// The reason columns of `batch --reasons`: this prefix and 1 ... 6.
inline constexpr std::string_view kReasonsPrefix = "reasons_sys";

// A mapping: the inventory's column names to value names, and for list
// values the inventory's codes to numbers (the value as it is stored, e.g.
// the internal species index for gi_ba).
struct Mapping {
    std::vector<std::pair<std::string, std::string>> columns;  // source column -> value name
    struct Codes {
        std::string value;                                   // value name
        std::vector<std::pair<std::string, double>> codes;  // code -> number
    };
    std::vector<Codes> values;
};

enum class Role {
    Value,    // read as `info`
    Carried,  // written back unchanged
    Dropped,  // a result column of an earlier run: dropped and written afresh
    Chosen,   // "gewaehlt": the planner's choice, empty or 1..6
    Fixed,    // "fest": empty, 0 or 1; carried
};

struct Column {
    Role role = Role::Carried;
    const ValueInfo* info = nullptr;                                   // Role::Value
    const std::vector<std::pair<std::string, double>>* codes = nullptr;  // the mapping's codes, if any
    // Set by classify for a value column without codes whose list words
    // (if any) never begin with a digit: a cell that begins with one can
    // only be a number, and read_cell takes the short way.
    bool digit_is_number = false;
};

struct Header {
    std::vector<Column> columns;      // one per source column, in order
    std::vector<std::string> dropped; // the names of the dropped columns, as in the source
    std::vector<Problem> problems;    // non-empty: the table is refused
};

// Classifies the header (names compared without regard to case and to the
// blanks around them; a short name counts as its long name). Refused, each
// with its problem: a misspelt value name ("gi_bdh: unbekannter Name;
// meinten Sie gi_bhd?"), a value given by two columns (also a mapped column
// and the value's own), a mapping that maps a column to an unknown value or
// to one only the computation writes, "gewaehlt" or "fest" twice. A mapped
// column that the table lacks is no error (a mapping may serve several
// tables). A column without a name is carried.
Header classify(const std::vector<std::string>& names, const Mapping* mapping);

// The value a column of this name reads, in any case, by the long or the
// short name; nullptr for a name that is no value's.
const ValueInfo* value_of_name(std::string_view name);

// A name that looks like a misspelt value name, without being a value or
// output name: it starts with gi_, gf_, gc_, g_ or gff_ (any case), or it
// has at least four characters and is within two edits of a settable
// value name. Everyday columns ("ID", "Art", "Name", "Flaeche", "BHD_MITTEL")
// are no such name.
// The message of the refusal, with the nearest name as a hint when there is
// one: "gi_bdh: unbekannter Name; meinten Sie gi_bhd?".
std::optional<Problem> misspelt(std::string_view name);

// The value name nearest to `name` within two edits (letters swapped,
// added, left out or changed; case does not count), for the hint of an
// unknown name; empty when none is that near. Ties go to a settable value,
// then to the first in registry order.
std::string_view nearest_name(std::string_view name);

// A result column that batch or plan writes (gc_*, g_sys*, gff_*,
// diesel_sys*, benzin_sys*, co2_sys*, reasons_sys*, guenstig, kosten_fm,
// kosten, diesel_l, benzin_l, co2_kg), or another value that only the
// computation writes (the machine-hour costs that calc gives), by its long
// or its short name, in any case.
bool is_output_column(std::string_view name);

// The fixed short name (at most 10 characters) under which a column is
// written where a format limits names (a Shapefile's DBF), and back. Names
// of 10 characters or fewer are their own short name.
std::string_view short_name(std::string_view long_name);
std::string_view long_name(std::string_view short_name);  // the name itself when it is no short name
struct ShortName {
    std::string_view full, brief;  // the long name, its short name
};
// Every pair, in registry order, then the reason columns (docs/kurznamen.md lists them).
std::span<const ShortName> short_names();

enum class Cell { Empty, Value, Refused };
// Reads one cell of a Role::Value column: empty (blank text or NULL: "not
// given here", the common value applies), a mapped code, a list word
// (case-insensitive: "Buche", "EICHE", "nicht vorhanden", "> 20", "über 20",
// "mittelgroße Kronen"), or a number (decimal point or comma). The range is
// checked later by compute_scenario.
Cell read_cell_text(const Column& c, std::string_view text, double& value, Problem& problem);
// The same; a number without blanks around it in a column of numbers, the
// cell of nearly every table, is read here without looking further.
inline Cell read_cell(const Column& c, std::string_view text, double& value, Problem& problem) {
    // Blanks around it, a word, a code: the long way.
    if (c.digit_is_number && !text.empty() && text.front() >= '0' && text.front() <= '9' && text.back() > ' ') {
        if (std::optional<double> v = read_number(*c.info, text, problem)) {
            value = *v;
            return Cell::Value;
        }
        return Cell::Refused;
    }
    return read_cell_text(c, text, value, problem);
}

// The planner's choice in a "gewaehlt" cell: kNone (-1) for empty, 0..5
// for 1..6 or the numerals I..VI; nullopt (with the problem) for anything
// else. "fest": 0 or 1, empty 0.
std::optional<int> read_chosen(std::string_view text, Problem& problem);
std::optional<int> read_fixed(std::string_view text, Problem& problem);

// The words a list value accepts, by the number each stands for; empty for
// a value that is no list. For the import dialog's preview.
std::vector<std::pair<std::string, double>> list_words(const ValueInfo& v);

}  // namespace forstrix::columns
