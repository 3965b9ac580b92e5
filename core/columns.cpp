// The names of a table's columns: which are values, which are results of an
// earlier run, which are the planner's own, and which look like a value name
// written wrong. A column that only looks like a value name is refused
// rather than carried: a stand computed with the common BHD because its
// column said "gi_bdh" would look right and be wrong.
#include "core/columns.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/columns_text.h"
#include "core/message_text.h"

namespace forstrix::columns {

namespace {

using detail::equal_folded;
using detail::folded;
using detail::trimmed;

// Short names for the names longer than the 10 characters a DBF field name
// may have. Each keeps its value's prefix and number, so that a planner
// still reads it: the harvester with felling head (hfsab) as "hfs", the
// emission factors by the fuel's first letters, the per-system results by
// "_sN". docs/kurznamen.md lists the same pairs.
constexpr ShortName kShortNames[] = {
    {"gf_co2_diesel", "gf_co2_die"}, {"gf_co2_benzin", "gf_co2_ben"},
    {"gf_hfsab175", "gf_hfs175"},    {"gf_hfsab176", "gf_hfs176"},    {"gf_hfsab177", "gf_hfs177"},
    {"gf_hfsab178", "gf_hfs178"},    {"gf_hfsab179", "gf_hfs179"},    {"gf_hfsab180", "gf_hfs180"},
    {"gf_hfsab181", "gf_hfs181"},    {"gf_hfsab186", "gf_hfs186"},
    {"diesel_sys1", "diesel_s1"},    {"diesel_sys2", "diesel_s2"},    {"diesel_sys3", "diesel_s3"},
    {"diesel_sys4", "diesel_s4"},    {"diesel_sys5", "diesel_s5"},    {"diesel_sys6", "diesel_s6"},
    {"benzin_sys1", "benzin_s1"},    {"benzin_sys2", "benzin_s2"},    {"benzin_sys3", "benzin_s3"},
    {"benzin_sys4", "benzin_s4"},    {"benzin_sys5", "benzin_s5"},    {"benzin_sys6", "benzin_s6"},
    {"reasons_sys1", "reasons_s1"},  {"reasons_sys2", "reasons_s2"},  {"reasons_sys3", "reasons_s3"},
    {"reasons_sys4", "reasons_s4"},  {"reasons_sys5", "reasons_s5"},  {"reasons_sys6", "reasons_s6"},
};

// What a name with one of these beginnings can only mean: a value of the
// cost scheme (core/state.h names them so).
constexpr std::array<std::string_view, 5> kValuePrefixes = {"gi_", "gf_", "gc_", "g_", "gff_"};

// A column named so by a planner is no misspelt value name, however near
// it comes to one: too short to tell a slip from a word of its own.
constexpr std::size_t kMinSpeltLength = 4;
constexpr std::size_t kMaxEdits = 2;

// A name to compare, folded, with the set of its characters: every
// character of one name that the other lacks costs an edit of its own, so
// that nearly every pair is told apart without the table below.
struct Spelling {
    std::array<char, 16> text{};
    std::size_t size = 0;
    std::uint64_t chars = 0;
    bool settable = false;
    std::string_view name;  // the registry's
};
constexpr std::size_t kMaxCompared = 15;  // the longest value name (13) and two more

std::uint64_t char_bit(char c) { return std::uint64_t{1} << (static_cast<unsigned char>(c) % 64); }

bool spelling_of(std::string_view name, Spelling& s) {
    if (name.size() > kMaxCompared) return false;
    s.size = name.size();
    for (std::size_t i = 0; i < name.size(); ++i) {
        s.text[i] = detail::fold_at(name, i);
        s.chars |= char_bit(s.text[i]);
    }
    return true;
}

const std::vector<Spelling>& registry_spellings() {
    static const std::vector<Spelling> all = [] {
        std::vector<Spelling> out;
        for (const ValueInfo& v : value_registry()) {
            Spelling s;
            if (!spelling_of(v.name, s)) continue;
            s.settable = v.settable();
            s.name = v.name;
            out.push_back(s);
        }
        return out;
    }();
    return all;
}

std::size_t missing_chars(const Spelling& a, const Spelling& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size; ++i) n += (b.chars & char_bit(a.text[i])) == 0 ? 1 : 0;
    return n;
}

// The optimal string alignment distance of `a` and `b`: letters changed,
// added, left out, or two neighbours swapped. Anything beyond kMaxEdits is
// reported as kMaxEdits + 1.
std::size_t edits(const Spelling& a, const Spelling& b) {
    constexpr std::size_t kFar = kMaxEdits + 1;
    const std::size_t n = a.size, m = b.size;
    if ((n > m ? n - m : m - n) > kMaxEdits) return kFar;
    if (missing_chars(a, b) > kMaxEdits || missing_chars(b, a) > kMaxEdits) return kFar;
    // Three rows of the table: two back for a swap.
    std::array<std::array<std::size_t, kMaxCompared + 1>, 3> row{};
    for (std::size_t j = 0; j <= m; ++j) row[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        auto& cur = row[i % 3];
        const auto& up = row[(i + 2) % 3];
        const auto& up2 = row[(i + 1) % 3];
        cur[0] = i;
        std::size_t row_min = cur[0];
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = a.text[i - 1] == b.text[j - 1] ? 0 : 1;
            std::size_t v = std::min({up[j] + 1, cur[j - 1] + 1, up[j - 1] + cost});
            if (i > 1 && j > 1 && a.text[i - 1] == b.text[j - 2] && a.text[i - 2] == b.text[j - 1])
                v = std::min(v, up2[j - 2] + 1);
            cur[j] = v;
            row_min = std::min(row_min, v);
        }
        if (row_min > kMaxEdits) return kFar;
    }
    return std::min(row[n % 3][m], kFar);
}

const ShortName* pair_of_long(std::string_view name) {
    for (const ShortName& p : kShortNames)
        if (equal_folded(name, p.full)) return &p;
    return nullptr;
}

const ShortName* pair_of_short(std::string_view name) {
    for (const ShortName& p : kShortNames)
        if (equal_folded(name, p.brief)) return &p;
    return nullptr;
}


bool is_reasons_column(std::string_view name) {
    if (name.size() != kReasonsPrefix.size() + 1 || !equal_folded(name.substr(0, kReasonsPrefix.size()), kReasonsPrefix))
        return false;
    return name.back() >= '1' && name.back() <= '6';
}

// Every name the table rules know: a value, a result, the planner's columns.
bool known_name(std::string_view name) {
    return value_of_name(name) != nullptr || is_output_column(name) || equal_folded(name, kChosenColumn) ||
           equal_folded(name, kFixedColumn);
}

bool has_value_prefix(std::string_view name) {
    return std::any_of(kValuePrefixes.begin(), kValuePrefixes.end(), [name](std::string_view p) {
        return name.size() >= p.size() && equal_folded(name.substr(0, p.size()), p);
    });
}

bool near_settable(std::string_view name) {
    Spelling n;
    if (name.size() < kMinSpeltLength || !spelling_of(name, n)) return false;
    for (const Spelling& v : registry_spellings())
        if (v.settable && edits(n, v) <= kMaxEdits) return true;
    return false;
}

Problem header_problem(std::string_view column, std::string message) {
    const std::string shown = printable(column);
    return {shown, shown + ": " + std::move(message)};
}

std::string quoted(std::string_view text) { return "\u201E" + printable(text) + "\u201C"; }

}  // namespace

const ValueInfo* value_of_name(std::string_view name) {
    if (name.size() > 32) return nullptr;  // no value's name is that long
    return find_value(folded(long_name(name)));
}

std::string_view nearest_name(std::string_view name) {
    Spelling n;
    if (!spelling_of(name, n)) return {};
    const Spelling* best = nullptr;
    std::size_t best_edits = kMaxEdits + 1;
    for (const Spelling& v : registry_spellings()) {
        const std::size_t e = edits(n, v);
        if (e < best_edits || (e == best_edits && best != nullptr && v.settable && !best->settable)) {
            best = &v;
            best_edits = e;
        }
    }
    return best != nullptr ? best->name : std::string_view{};
}

std::optional<Problem> misspelt(std::string_view name) {
    if (known_name(name)) return std::nullopt;
    if (!has_value_prefix(name) && !near_settable(name)) return std::nullopt;
    return unknown_value(name);
}

bool is_output_column(std::string_view name) {
    if (is_reasons_column(long_name(name))) return true;
    if (const ValueInfo* v = value_of_name(name)) return !v->settable();
    return std::any_of(kPlanColumns.begin(), kPlanColumns.end(), [name](std::string_view p) {
        return p != kChosenColumn && equal_folded(name, p);
    });
}

std::string_view short_name(std::string_view long_name) {
    const ShortName* p = pair_of_long(long_name);
    return p != nullptr ? p->brief : long_name;
}

std::string_view long_name(std::string_view short_name) {
    const ShortName* p = pair_of_short(short_name);
    return p != nullptr ? p->full : short_name;
}

std::span<const ShortName> short_names() { return kShortNames; }

Header classify(const std::vector<std::string>& names, const Mapping* mapping) {
    Header h;
    h.columns.resize(names.size());
    // Which column gives each value, for the refusal of a second one.
    std::vector<std::pair<const ValueInfo*, std::size_t>> given;
    std::size_t chosen_at = names.size(), fixed_at = names.size();
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string_view name = trimmed(names[k]);
        Column& c = h.columns[k];
        const std::pair<std::string, std::string>* mapped = nullptr;
        if (mapping != nullptr) {
            for (const auto& m : mapping->columns)
                if (!name.empty() && detail::same_text(name, trimmed(m.first))) mapped = &m;
        }
        if (mapped != nullptr) {
            // The mapping reader refuses such names already; a mapping made
            // in the desktop's import is checked here.
            Problem why;
            const ValueInfo* info = find_value(mapped->second);
            if (info == nullptr) why = unknown_value(mapped->second);
            else if (!info->settable()) why = *check_value(*info, 0.0);
            if (!why.message.empty()) {
                h.problems.push_back(header_problem(name, "die Zuordnung nennt " + why.message));
                continue;
            }
            c.role = Role::Value;
            c.info = info;
        } else if (const ValueInfo* info = value_of_name(name); info != nullptr && info->settable()) {
            c.role = Role::Value;
            c.info = info;
        } else if (equal_folded(name, kChosenColumn) || equal_folded(name, kFixedColumn)) {
            const bool chosen = equal_folded(name, kChosenColumn);
            std::size_t& at = chosen ? chosen_at : fixed_at;
            if (at != names.size()) {
                h.problems.push_back(header_problem(name, "die Spalte steht doppelt in der Kopfzeile."));
                continue;
            }
            at = k;
            c.role = chosen ? Role::Chosen : Role::Fixed;
            continue;
        } else if (is_output_column(name)) {
            c.role = Role::Dropped;
            h.dropped.emplace_back(name);
            continue;
        } else if (std::optional<Problem> p = misspelt(name)) {
            h.problems.push_back(std::move(*p));
            continue;
        } else {
            continue;  // carried
        }

        // A value column: its codes, and no second column for the value.
        if (mapping != nullptr) {
            for (const Mapping::Codes& codes : mapping->values)
                if (codes.value == c.info->name) c.codes = &codes.codes;
        }
        const auto words = list_words(*c.info);
        c.digit_is_number = c.codes == nullptr && std::none_of(words.begin(), words.end(), [](const auto& w) {
                                return !w.first.empty() && w.first.front() >= '0' && w.first.front() <= '9';
                            });
        const auto twice = std::find_if(given.begin(), given.end(), [&c](const auto& g) { return g.first == c.info; });
        if (twice == given.end()) {
            given.emplace_back(c.info, k);
            continue;
        }
        const std::string_view first = trimmed(names[twice->second]);
        if (detail::same_text(first, name) && mapped == nullptr)
            h.problems.push_back(header_problem(name, "die Spalte steht doppelt in der Kopfzeile."));
        else
            h.problems.push_back(header_problem(name, "der Wert " + std::string(c.info->name) +
                                                          " steht doppelt in der Kopfzeile (auch in der Spalte " +
                                                          quoted(first) + ")."));
        c = Column{};
    }
    return h;
}

}  // namespace forstrix::columns
