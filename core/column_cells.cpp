// The cells of a table: a value as a number, as a word of the stand
// dialog's lists or as the inventory's own code; the planner's choice and
// whether it is fixed. An empty cell gives nothing, so that the value given
// for every stand (or its default) applies.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/columns.h"
#include "core/columns_text.h"
#include "core/message_text.h"
#include "core/numtext.h"
#include "core/plan.h"
#include "core/scenario.h"
#include "core/systems.h"

namespace forstrix::columns {

namespace {

using detail::equal_folded;
using detail::same_text;
using detail::trimmed;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

struct Word {
    std::string text;  // as the dialog or the report shows it
    std::string key;   // folded, for the comparison
    double value;
};
struct ListWords {
    const ValueInfo* info;
    std::vector<Word> words;
    bool digit_words = false;  // a word begins with a digit (the rope line's "300")
};

// The words of every list of the stand dialog, read from the lists the
// dialog itself shows (core/state.h): a list's position is the value it
// stands for, the species by the internal index (not the dialog's
// alphabetical order).
const std::vector<ListWords>& all_lists() {
    static const std::vector<ListWords> lists = [] {
        std::vector<ListWords> out;
        auto list = [&out](std::string_view value) -> std::vector<Word>& {
            out.push_back({find_value(value), {}});
            return out.back().words;
        };
        auto add = [](std::vector<Word>& words, const auto& texts) {
            for (std::size_t i = 0; i < texts.size(); ++i)
                words.push_back({texts[i], detail::folded(texts[i]), static_cast<double>(i)});
        };
        add(list("gi_ba"), kSpeciesNames);
        add(list("gi_sf"), kFormClassNames);
        std::vector<Word>& spacing = list("gi_ar");
        add(spacing, kSpacingNames);
        // "bis 20" is in both lists; the report's "über 20" is added.
        add(spacing, std::array<const char*, 1>{kSpacingReportNames[1]});
        spacing.back().value = 1;
        add(list("gi_br"), kTrafficabilityNames);
        add(list("gi_hvs"), kRopeVolumeNames);
        add(list("gi_i_bb"), kObstacleNames);
        // The rope line's length as the dialog lists it, 100 to 500 m; a
        // number 0 to 4 is the position, as everywhere else.
        std::vector<Word>& rope = list("gi_v_sll");
        for (int i = 0; i <= static_cast<int>(value_range("gi_v_sll").hi); ++i)
            rope.push_back({std::to_string((i + 1) * 100), std::to_string((i + 1) * 100), static_cast<double>(i)});
        // The crowns as the dialog lists them ("kleine Kronen"), and by the
        // adjective alone ("klein"), as the messages name them.
        std::vector<Word>& crowns = list("gi_v_kf");
        add(crowns, kCrownNames);
        for (std::size_t i = 0; i < kCrownNames.size(); ++i) {
            std::string word(kCrownNames[i]);
            word = word.substr(0, word.find(' '));
            if (word.ends_with('e')) word.pop_back();
            crowns.push_back({word, detail::folded(word), static_cast<double>(i)});
        }
        for (ListWords& l : out)
            for (const Word& w : l.words) l.digit_words = l.digit_words || is_digit(w.text.front());
        return out;
    }();
    return lists;
}

// By registry entry: a table of stands asks for every cell.
struct ListIndex {
    std::uintptr_t base;
    std::vector<const ListWords*> by_entry;
};
const ListIndex& list_index() {
    static const ListIndex index = [] {
        const std::span<const ValueInfo> registry = value_registry();
        ListIndex i{reinterpret_cast<std::uintptr_t>(registry.data()), std::vector<const ListWords*>(registry.size())};
        for (const ListWords& l : all_lists()) i.by_entry[static_cast<std::size_t>(l.info - registry.data())] = &l;
        return i;
    }();
    return index;
}

inline const ListWords* list_of(const ValueInfo& v) {
    const ListIndex& i = list_index();
    // Unsigned: an entry before the registry's start is far beyond its end.
    const std::size_t at = (reinterpret_cast<std::uintptr_t>(&v) - i.base) / sizeof(ValueInfo);
    return at < i.by_entry.size() ? i.by_entry[at] : nullptr;
}

const std::vector<Word>* words_of(const ValueInfo& v) {
    const ListWords* l = list_of(v);
    return l != nullptr ? &l->words : nullptr;
}

// Why a cell of a list value or a mapped column is none of its words,
// codes or numbers.
Problem not_a_word(const Column& c, std::string_view text, const std::vector<Word>* words) {
    std::vector<std::string> parts;
    if (c.codes != nullptr && !c.codes->empty()) parts.emplace_back("kein Schlüssel der Zuordnung");
    if (words != nullptr) {
        std::string list = "kein Eintrag der Liste (";
        for (std::size_t i = 0; i < words->size(); ++i) list += (i > 0 ? ", " : "") + (*words)[i].text;
        parts.push_back(list + ")");
    }
    parts.emplace_back("keine Zahl");
    std::string message = std::string(c.info->name) + ": \u201E" + printable(text) + "\u201C ist ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        message += (i == 0 ? "" : i + 1 == parts.size() ? " und " : ", ") + parts[i];
    return {std::string(c.info->name), message + "."};
}

// A text that is no number at all, where words or codes are read: the
// message names what the column accepts. Kept out of read_cell, which runs
// for every cell of a table.
[[gnu::noinline]] void refuse(const Column& c, std::string_view t, const std::vector<Word>* words, Problem& problem) {
    const bool numeric = t.find_first_not_of("0123456789.,") == std::string_view::npos;
    if (!numeric && (words != nullptr || (c.codes != nullptr && !c.codes->empty())))
        problem = not_a_word(c, t, words);
}

}  // namespace

Cell read_cell_text(const Column& c, std::string_view text, double& value, Problem& problem) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return Cell::Empty;
    // The inventory's code first: a code may look like a word or a number
    // ("1" for the stand's first species in its own key).
    if (c.codes != nullptr) {
        for (const auto& [code, number] : *c.codes) {
            if (same_text(t, trimmed(code))) {
                value = number;
                return Cell::Value;
            }
        }
    }
    // A table of numbers reads its lists' numbers without looking at words.
    const ListWords* list = list_of(*c.info);
    const std::vector<Word>* words = list != nullptr ? &list->words : nullptr;
    if (list != nullptr && (list->digit_words || !is_digit(t.front()))) {
        for (const Word& w : list->words) {
            if (equal_folded(t, w.key)) {
                value = w.value;
                return Cell::Value;
            }
        }
    }
    if (std::optional<double> v = read_number(*c.info, t, problem)) {
        value = *v;
        return Cell::Value;
    }
    refuse(c, t, words, problem);
    return Cell::Refused;
}

std::optional<int> read_chosen(std::string_view text, Problem& problem) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return plan::kNone;
    // The number of the system, or its numeral as the results name it.
    if (t.size() == 1 && t[0] >= '1' && t[0] <= '0' + plan::kSystems) return t[0] - '1';
    for (std::size_t i = 0; i < kSystemNumerals.size(); ++i)
        if (same_text(t, kSystemNumerals[i])) return static_cast<int>(i);
    problem = {std::string(kChosenColumn), std::string(kChosenColumn) + ": \u201E" + printable(t) +
                                               "\u201C ist kein Arbeitssystem; erlaubt sind 1 bis 6 (I bis VI) "
                                               "oder ein leeres Feld."};
    return std::nullopt;
}

std::optional<int> read_fixed(std::string_view text, Problem& problem) {
    const std::string_view t = trimmed(text);
    if (t.empty() || t == "0") return 0;
    if (t == "1") return 1;
    problem = {std::string(kFixedColumn), std::string(kFixedColumn) + ": \u201E" + printable(t) +
                                              "\u201C ist nicht erlaubt; erlaubt sind 1 (die Wahl steht fest), "
                                              "0 oder ein leeres Feld."};
    return std::nullopt;
}

std::vector<std::pair<std::string, double>> list_words(const ValueInfo& v) {
    std::vector<std::pair<std::string, double>> out;
    if (const std::vector<Word>* words = words_of(v))
        for (const Word& w : *words) out.emplace_back(w.text, w.value);
    return out;
}

}  // namespace forstrix::columns
