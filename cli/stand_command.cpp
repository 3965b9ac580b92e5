#include "cli/stand_command.h"

#include "cli/errors.h"
#include "files/stand_file.h"
#include "files/path_text.h"

namespace forstrix::cli {

int run_scenario(const CommonOptions& opt, const ScenarioOptions& sopt, std::FILE* out, std::FILE* err) {
    State s;
    files::StandLabel label;
    // The same chain and the same refusals as `calc`.
    if (const int status = compute_inputs(opt, s, err, &label); status != kExitDone) return status;
    if (!sopt.name.empty()) label.name = sopt.name;
    if (!sopt.note.empty()) label.note = sopt.note;

    if (sopt.out_path.empty()) {
        const std::string text = files::stand_text(s, label);
        if (std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0) return kExitDone;
        print_error(err, "Bestandsdatei kann nicht geschrieben werden.");
        return kExitFailed;
    }
    const files::Outcome r = files::write_stand(files::path_from_utf8(sopt.out_path), s, label);
    if (r.ok()) return kExitDone;
    print_error(err, r);
    return kExitFailed;
}

}  // namespace forstrix::cli
