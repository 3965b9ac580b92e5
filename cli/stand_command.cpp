#include "cli/stand_command.h"

#include "core/registry.h"

namespace forstrix::cli {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;

void print_error(std::FILE* err, const std::string& message) {
    std::fprintf(err, "Fehler: %s\n", message.c_str());
}

// The problem line of a files-library message (its first line is the
// heading a message box shows).
std::string reason(const std::string& message) {
    const std::size_t nl = message.find('\n');
    return nl == std::string::npos ? message : message.substr(nl + 1);
}

}  // namespace

bool stand_file_inputs(std::string_view text, const std::string& file, std::vector<Given>& given,
                       std::vector<std::string>& errors, files::StandLabel* label) {
    files::StandContent content;
    const files::Outcome r = files::parse_stand_content(text, content);
    if (!r.ok()) {
        errors.push_back("Bestandsdatei \"" + file + "\" kann nicht geladen werden: " + reason(r.message));
        return false;
    }
    given.insert(given.end(), content.values.begin(), content.values.end());
    if (label != nullptr) *label = std::move(content.label);
    return true;
}

int run_scenario(const CommonOptions& opt, const ScenarioOptions& sopt, std::FILE* out, std::FILE* err) {
    State s;
    std::vector<Given> given;
    std::vector<std::string> errors;
    files::StandLabel label;
    if (!collect_inputs(opt, s, given, errors, &label)) {
        for (const std::string& e : errors) print_error(err, e);
        return kExitRefused;
    }
    // The same chain and the same refusals as `calc`.
    ScenarioOutcome outcome;
    compute_scenario(s, given, nullptr, outcome);
    for (const Problem& p : outcome.problems) print_error(err, p.message);
    if (!outcome.ok()) return kExitRefused;
    for (const std::string& w : outcome.warnings) std::fprintf(err, "Warnung: %s\n", w.c_str());
    if (std::optional<Problem> p = check_results_finite(s)) {
        print_error(err, p->message);
        return kExitRefused;
    }
    if (!sopt.name.empty()) label.name = sopt.name;
    if (!sopt.note.empty()) label.note = sopt.note;

    if (sopt.out_path.empty()) {
        const std::string text = files::stand_text(s, label);
        if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0) return 0;
        print_error(err, "Bestandsdatei kann nicht geschrieben werden.");
        return kExitFailed;
    }
    const files::Outcome r = files::write_stand(sopt.out_path, s, label);
    if (r.ok()) return 0;
    print_error(err, r.message);
    return kExitFailed;
}

}  // namespace forstrix::cli
