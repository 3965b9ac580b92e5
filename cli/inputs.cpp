#include "cli/inputs.h"

#include <filesystem>

#include "cli/errors.h"
#include "core/message_text.h"
#include "files/basics_file.h"
#include "files/input_file.h"
#include "files/scenario_input.h"
#include "files/path_text.h"

namespace forstrix::cli {

namespace {

class Trace final : public TraceSink {
public:
    explicit Trace(std::FILE* to) : to_(to) {}
    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), to_); }

private:
    std::FILE* to_;
};

}  // namespace

std::string missing_name(std::string_view item, std::string_view form) {
    return "\u201E" + printable(item) + "\u201C: vor dem \u201E=\u201C fehlt der Name der Eingabe (" +
           std::string(form) + ").";
}

const ValueInfo* find_input(std::string_view name, Problem& problem) {
    const ValueInfo* info = forstrix::find_settable(name, problem);
    if (info == nullptr) {
        problem.message += " Erlaubt sind die Namen der Eingaben (Liste: forstrix-cli batch --template).";
    }
    return info;
}

bool parse_set(const std::string& pair, std::vector<Given>& given, std::string& error) {
    const std::size_t eq = pair.find('=');
    if (eq == std::string::npos) {
        error = "--set " + printable(pair) + ": erwartet wird NAME=WERT, zum Beispiel --set gi_bhd=25.";
        return false;
    }
    if (eq == 0) {
        error = "--set " + missing_name(pair, "NAME=WERT");
        return false;
    }
    Problem problem;
    const ValueInfo* info = find_input(std::string_view(pair).substr(0, eq), problem);
    if (info == nullptr) {
        error = problem.message;
        return false;
    }
    std::optional<double> v = read_number(*info, std::string_view(pair).substr(eq + 1), problem);
    if (!v) {
        error = problem.message;
        return false;
    }
    given.push_back({info, *v});
    return true;
}

int collect_inputs(const CommonOptions& opt, State& base, std::vector<Given>& given, std::FILE* err,
                   files::StandLabel* label) {
    if (!opt.basics_file.empty()) {
        // Not read_basics: here a missing file is named with its path.
        std::string bytes;
        files::Outcome r = files::read_input_file(files::path_from_utf8(opt.basics_file), files::kBasicsNotLoaded, bytes);
        if (r.ok()) r = files::parse_basics(bytes, base);
        if (!r.ok()) {
            print_error(err, r);
            return exit_status(r);
        }
    }
    if (!opt.input_file.empty()) {
        files::ScenarioInput input;
        if (const files::Outcome r = files::read_scenario_input(files::path_from_utf8(opt.input_file), input); !r.ok()) {
            print_error(err, r);
            return exit_status(r);
        }
        given.insert(given.end(), input.values.begin(), input.values.end());
        if (label != nullptr) *label = std::move(input.label);
    }
    int status = kExitDone;
    for (const std::string& pair : opt.sets) {
        std::string error;
        if (!parse_set(pair, given, error)) {
            print_error(err, error);
            status = kExitRefused;
        }
    }
    return status;
}

int compute_inputs(const CommonOptions& opt, State& s, std::FILE* err, files::StandLabel* label) {
    std::vector<Given> given;
    if (const int status = collect_inputs(opt, s, given, err, label); status != kExitDone) return status;
    Trace trace(err);
    ScenarioOutcome outcome;
    compute_scenario(s, given, opt.trace ? &trace : nullptr, outcome);
    for (const Problem& p : outcome.problems) print_error(err, p.message);
    if (!outcome.ok()) return kExitRefused;
    for (const std::string& w : outcome.warnings) print_warning(err, w);
    if (std::optional<Problem> p = check_results_finite(s)) {
        print_error(err, p->message);
        return kExitRefused;
    }
    return kExitDone;
}

bool same_file(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    const fs::path ra = fs::weakly_canonical(fs::absolute(files::path_from_utf8(a), ec), ec);
    const fs::path rb = fs::weakly_canonical(fs::absolute(files::path_from_utf8(b), ec), ec);
    return !ec && ra == rb;
}

}  // namespace forstrix::cli
