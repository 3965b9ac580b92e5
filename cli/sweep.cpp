#include "cli/sweep.h"

#include <optional>

#include "cli/errors.h"
#include "core/numtext.h"
#include "core/sweep.h"
#include "files/atomic_write.h"
#include "files/path_text.h"

namespace forstrix::cli {

namespace {

// "gi_bhd=20" or "gi_bhd=20, gi_hn=14" for a message, as the user wrote the values.
std::string point_text(std::span<const Given> at) {
    std::string text;
    for (const Given& g : at) {
        if (!text.empty()) text += ", ";
        text += std::string(g.info->name) + "=" + format_shortest(g.value);
    }
    return text;
}

// What the points had to say, gathered so that standard error gets one line
// per kind instead of one per point.
struct Notes {
    unsigned long refused = 0, warned = 0;
    std::string first_refusal, first_warning;

    void add(std::span<const Given> at, const ScenarioOutcome& outcome) {
        if (!outcome.ok()) {
            if (refused++ == 0) first_refusal = point_text(at) + ": " + outcome.problems.front().message;
        } else if (!outcome.warnings.empty()) {
            if (warned++ == 0) first_warning = point_text(at) + ": " + outcome.warnings.front();
        }
    }
    void print(std::FILE* err, std::size_t points) const {
        const std::string of = std::to_string(points) + " Punkten";
        if (refused > 0)
            print_warning(err, std::to_string(refused) + " von " + of + " von den Prüfungen abgewiesen (Eignung, "
                               "Summen und cheapest leer), zuerst bei " + first_refusal);
        if (warned > 0) print_warning(err, "bei " + std::to_string(warned) + " von " + of + ", zuerst bei " + first_warning);
    }
};

}  // namespace

int run_sweep(const CommonOptions& opt, const SweepOptions& sopt, std::FILE* out, std::FILE* err) {
    if (sopt.sep != "," && sopt.sep != ";") {
        print_error(err, "--sep erwartet ',' oder ';'.");
        return kExitRefused;
    }
    const char sep = sopt.sep[0];
    const char decimal = sep == ';' ? ',' : '.';

    if (sopt.ranges.empty() || sopt.ranges.size() > 2) {
        print_error(err, "sweep erwartet einen oder zwei Bereiche: forstrix-cli sweep NAME=ANFANG:ENDE:SCHRITT "
                         "[NAME2=ANFANG:ENDE:SCHRITT]");
        return kExitRefused;
    }
    std::vector<SweepRange> ranges;
    bool ranges_ok = true;
    for (const std::string& text : sopt.ranges) {
        Problem problem;
        if (text.empty() || text.front() == '=') {
            print_error(err, missing_name(text, "NAME=ANFANG:ENDE:SCHRITT"));
            ranges_ok = false;
        } else if (std::optional<SweepRange> r = parse_range(text, problem)) {
            ranges.push_back(*r);
        } else {
            print_error(err, problem.message);
            ranges_ok = false;
        }
    }
    if (!ranges_ok) return kExitRefused;
    if (ranges.size() == 2 && ranges[0].info == ranges[1].info) {
        print_error(err, std::string(ranges[0].info->name) + ": dieselbe Eingabe kann nicht zweimal variiert werden.");
        return kExitRefused;
    }
    std::size_t points = 1;
    for (const SweepRange& r : ranges) points *= r.count;  // each at most a million: no overflow
    if (points > kMaxSweepPoints) {
        print_error(err, "die Bereiche ergeben zusammen " + std::to_string(points) +
                             " Punkte; erlaubt sind höchstens " + std::to_string(kMaxSweepPoints) + ".");
        return kExitRefused;
    }

    State base;
    std::vector<Given> given;
    if (const int status = collect_inputs(opt, base, given, err); status != kExitDone) return status;
    std::vector<Problem> problems;
    std::optional<Sweep> sweep = Sweep::prepare(base, given, problems);
    if (!sweep) {
        for (const Problem& p : problems) print_error(err, p.message);
        return kExitRefused;
    }

    // The table in blocks of about a megabyte, so that a million rows need
    // no more memory than one block, into a file or to standard output.
    const SweepRange* heads[2] = {&ranges[0], ranges.size() > 1 ? &ranges[1] : nullptr};
    const Competition competition{sopt.unmeasured, {}};
    const std::size_t ny = ranges.size() > 1 ? ranges[1].count : 1;
    Notes notes;
    ScenarioOutcome outcome;
    std::string block;
    std::size_t next_point = 0;
    bool header_done = false;
    auto next_block = [&]() -> std::string_view {
        block.clear();
        if (!header_done) {
            append_sweep_header(block, std::span(heads, ranges.size()), sep);
            header_done = true;
        }
        for (; next_point < points && block.size() < (std::size_t{1} << 20); ++next_point) {
            Given at[2] = {{ranges[0].info, ranges[0].value(next_point / ny)}, {}};
            if (ranges.size() > 1) at[1] = {ranges[1].info, ranges[1].value(next_point % ny)};
            const std::span<const Given> point(at, ranges.size());
            const PointCosts p = sweep->compute(point, outcome);
            notes.add(point, outcome);
            const double inputs[2] = {at[0].value, at[1].value};
            append_sweep_row(block, std::span(inputs, ranges.size()), p, competition, sep, decimal);
        }
        return block;
    };

    const bool to_file = !sopt.out_path.empty();
    bool write_ok = true;
    files::WriteFailure failure;
    if (to_file) {
        write_ok = files::atomic_write_blocks(files::path_from_utf8(sopt.out_path), next_block, &failure);
    } else {
        for (std::string_view b = next_block(); !b.empty() && write_ok; b = next_block())
            write_ok = std::fwrite(b.data(), 1, b.size(), out) == b.size();
    }
    notes.print(err, points);

    if (to_file) {
        if (!write_ok) {
            print_error(err, "Ausgabedatei kann nicht geschrieben werden. " + files::describe(failure));
            return kExitFailed;
        }
        return kExitDone;
    }
    if (!write_ok || std::fflush(out) != 0) {
        print_error(err, "Ausgabe kann nicht geschrieben werden.");
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace forstrix::cli
