// "daten.klg": ten lines, 126 numbers.
//
// Writing: line 1 "%4lf" (six decimals), lines 2 to 10 "%.4lf", tabs between
// the values, CR LF after each line, whatever the platform and the locale.
//
// Reading checks the file whole before anything changes, so a damaged or
// hand-edited file can never leave the basics half loaded. It must hold
// exactly 126 plain decimal numbers (digits with at most one point; no sign,
// no exponent, no comma) separated by any white space, each passing the rule
// of the dialog that edits its field (core/checks.h), and the basics it gives
// must pass check_basics as a whole. Line breaks are not enforced, since a
// hand-edited file may wrap its numbers differently: a number's place in the
// stream decides its field.
//
// Lines 2 and 3 both hold the twelve chainsaw basics of the second group.
// Both are checked, and line 3 is the one that stays, as it is read into the
// same fields after line 2; a file whose lines 2 and 3 differ, as a hand
// edit leaves it, is therefore accepted with line 3's values.
#include "files/basics_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/checks.h"
#include "core/machines.h"
#include "core/numtext.h"
#include "core/registry.h"
#include "files/atomic_write.h"
#include "files/cp1252.h"
#include "files/input_file.h"

namespace forstrix::files {

namespace {

constexpr std::size_t kNumberCount = 126;


using Field = double State::*;

// The file-specific grouping of the chainsaw's 23 basics.
constexpr std::array<Field, 11> kLine1 = {
    &State::gf_msc5,  &State::gf_msc6,  &State::gf_msc7,  &State::gf_msc8,
    &State::gf_msc10, &State::gf_msc11, &State::gf_msc12, &State::gf_msc13,
    &State::gf_msc14, &State::gf_msc15, &State::gf_msc21};
constexpr std::array<Field, 12> kLine2 = {
    &State::gf_msc9,  &State::gf_msc16, &State::gf_msc17, &State::gf_msc18,
    &State::gf_msc19, &State::gf_msc20, &State::gf_msc22, &State::gf_msc23,
    &State::gf_msc24, &State::gf_msc25, &State::gf_msc26, &State::gf_msc27};

struct Line {
    int decimals;
    std::vector<Field> fields;
};

// The ten lines in file order; the machine lines come from the one
// description of the machine kinds (MachineKind::file_line, basics 44..56).
const std::array<Line, 10>& layout() {
    static const std::array<Line, 10> lines = [] {
        std::array<Line, 10> l;
        l[0] = {6, {kLine1.begin(), kLine1.end()}};
        l[1] = {4, {kLine2.begin(), kLine2.end()}};
        l[2] = {4, {kLine2.begin(), kLine2.end()}};
        for (const MachineKind& k : kMachineKinds) {
            l[static_cast<std::size_t>(k.file_line - 1)] = {4, {k.basics.begin(), k.basics.end()}};
        }
        return l;
    }();
    return lines;
}

// One of the 126 places of the stream.
struct Slot {
    int line;  // 1-based line of the layout
    Field field;
    const ValueInfo* info;
};

const ValueInfo* info_of(Field f) {
    for (const ValueInfo& v : value_registry()) {
        if (v.type == ValueType::Double && v.d == f) return &v;
    }
    return nullptr;
}

const std::vector<Slot>& slots() {
    static const std::vector<Slot> all = [] {
        std::vector<Slot> v;
        int n = 0;
        for (const Line& line : layout()) {
            ++n;
            for (Field f : line.fields) v.push_back({n, f, info_of(f)});
        }
        return v;
    }();
    return all;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Digits with at most one point, at least one digit.
bool is_plain_decimal(std::string_view t) {
    bool point = false;
    bool digit = false;
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

struct Token {
    std::string_view text;
    int line;
};

// The white-space separated tokens of the file with their line numbers. A
// line ends at LF, at CR LF, and at a CR that no LF follows.
std::vector<Token> tokenize(std::string_view bytes) {
    std::vector<Token> tokens;
    int line = 1;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
            ++line;
            ++i;
        } else if (is_space(c)) {
            ++i;
        } else {
            const std::size_t start = i;
            while (i < bytes.size() && !is_space(bytes[i])) ++i;
            tokens.push_back({bytes.substr(start, i - start), line});
        }
    }
    return tokens;
}

// A token as a message may quote it: UTF-8, no control characters, short.
std::string quoted(std::string_view raw) {
    constexpr std::size_t kMax = 24;
    const bool cut = raw.size() > kMax;
    std::string text = cp1252_to_utf8(raw.substr(0, cut ? kMax : raw.size()));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return "\"" + text + (cut ? "...\"" : "\"");
}

Outcome refused(const std::string& problem) { return {Status::Refused, kBasicsNotLoaded, problem}; }

std::string at(int line) { return "Zeile " + std::to_string(line) + ": "; }

// The line of the file that a problem of check_basics concerns: the place
// that gave the field its value (line 3 for the second chainsaw group), or
// the machine's line for a problem of a computed value such as a total.
std::optional<std::size_t> slot_of(std::string_view name) {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < slots().size(); ++i) {
        if (slots()[i].info != nullptr && slots()[i].info->name == name) found = i;
    }
    return found;
}

std::string locate(const Problem& p, const std::vector<Token>& tokens) {
    if (const auto i = slot_of(p.name)) {
        return "Zeile " + std::to_string(tokens[*i].line) + ", Wert " + quoted(tokens[*i].text) + ": ";
    }
    for (const MachineKind& k : kMachineKinds) {
        const std::string prefix = "gf_" + std::string(k.stem);
        if (p.name.size() > prefix.size() && p.name.compare(0, prefix.size(), prefix) == 0 &&
            p.name[prefix.size()] >= '0' && p.name[prefix.size()] <= '9') {
            return "Zeile " + std::to_string(k.file_line) + ": ";
        }
    }
    if (p.name.compare(0, 6, "gf_msc") == 0) return "Zeilen 1 bis 3: ";
    return {};
}

std::string fixed_width4(double v) {
    std::string s = format_fixed(v, 6);
    if (s.size() < 4) s.insert(0, 4 - s.size(), ' ');
    return s;
}

// For a file with the wrong number of numbers: the first line whose count
// differs from the layout's, which is where a hand edit usually went wrong.
std::string count_problem(const std::vector<Token>& tokens) {
    std::vector<std::size_t> per_line;
    for (const Token& t : tokens) {
        if (per_line.size() < static_cast<std::size_t>(t.line)) per_line.resize(static_cast<std::size_t>(t.line));
        ++per_line[static_cast<std::size_t>(t.line - 1)];
    }
    per_line.resize(std::max(per_line.size(), layout().size()));
    std::size_t line = 0;
    for (; line + 1 < per_line.size(); ++line) {
        const std::size_t expected = line < layout().size() ? layout()[line].fields.size() : 0;
        if (per_line[line] != expected) break;
    }
    const std::size_t expected = line < layout().size() ? layout()[line].fields.size() : 0;
    return at(static_cast<int>(line + 1)) + "Die Datei enthält " + std::to_string(tokens.size()) + " statt " +
           std::to_string(kNumberCount) + " Zahlen; Zeile " + std::to_string(line + 1) + " hat " +
           std::to_string(per_line[line]) + " statt " + std::to_string(expected) + ".";
}

}  // namespace

std::string basics_text(const State& s) {
    std::string out;
    out.reserve(1200);
    for (const Line& line : layout()) {
        bool first = true;
        for (Field f : line.fields) {
            if (!first) out += '\t';
            first = false;
            out += line.decimals == 6 ? fixed_width4(s.*f) : format_fixed(s.*f, line.decimals);
        }
        out += "\r\n";
    }
    return out;  // digits, points and tabs only: the same bytes in Windows-1252
}

Outcome parse_basics(std::string_view bytes, State& s) {
    const std::vector<Token> tokens = tokenize(bytes);

    // 1. Every token a plain decimal number.
    for (const Token& t : tokens) {
        if (!is_plain_decimal(t.text)) {
            return refused(at(t.line) + quoted(t.text) +
                           " ist keine Zahl, wie das Programm sie schreibt "
                           "(nur Ziffern und höchstens ein Punkt; kein Komma, kein Vorzeichen, "
                           "kein Exponent).");
        }
    }
    // 2. Exactly 126 of them.
    if (tokens.size() != kNumberCount) return refused(count_problem(tokens));

    // 3. Each passes the rule of the dialog that edits its field; line 3
    //    overwrites the values of line 2.
    const std::vector<Slot>& places = slots();
    State candidate = s;
    for (std::size_t i = 0; i < kNumberCount; ++i) {
        const Token& t = tokens[i];
        const Slot& slot = places[i];
        const std::optional<double> read = f_check(t.text);
        if (!read) {
            // Hundreds of digits: beyond the largest double.
            return refused("Zeile " + std::to_string(t.line) + ", Wert " + quoted(t.text) + ": " +
                           (slot.info != nullptr ? std::string(slot.info->name) + ": " : std::string()) +
                           "der Wert muss eine endliche Zahl sein.");
        }
        const double value = *read;
        if (slot.info != nullptr) {
            if (const auto problem = check_value(*slot.info, value)) {
                return refused("Zeile " + std::to_string(t.line) + ", Wert " + quoted(t.text) + ": " +
                               problem->message);
            }
        }
        candidate.*slot.field = value;
    }

    // 4. The rules over several values: the chainsaw's mixing ratio or
    //    ready-mix price, and no negative machine cost.
    if (const std::vector<Problem> problems = check_basics(candidate); !problems.empty()) {
        return refused(locate(problems.front(), tokens) + problems.front().message);
    }
    s = candidate;
    return {};
}

Outcome read_basics(const std::filesystem::path& path, State& s) {
    std::string bytes;
    Outcome read = read_input_file(path, kBasicsNotLoaded, bytes);
    // A missing file is the fixed text alone: the desktop says it only when
    // the user asks to load the basics.
    if (read.status == Status::NotFound) read.detail.clear();
    return read.ok() ? parse_basics(bytes, s) : read;
}

Outcome write_basics(const std::filesystem::path& path, const State& s) {
    const std::string text = basics_text(s);
    // Never write a file that the reader would refuse: a basic so small that
    // four decimals make it 0 (the dialogs take "0,00001"), a value that is
    // not finite, or a total that rounding turns negative.
    State reread = s;
    if (const Outcome check = parse_basics(text, reread); !check.ok())
        return {Status::WriteFailed, kBasicsNotSaved, "Die Datei ließe sich nicht wieder laden: " + check.detail};
    WriteFailure failure;
    if (!atomic_write(path, text, &failure)) return {Status::WriteFailed, kBasicsNotSaved, describe(failure)};
    return {};
}

}  // namespace forstrix::files
