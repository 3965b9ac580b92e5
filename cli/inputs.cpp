#include "cli/inputs.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/stand_command.h"
#include "core/numtext.h"
#include "files/basics_file.h"

namespace forstrix::cli {

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
        error = "--set " + pair + ": erwartet wird NAME=WERT, zum Beispiel --set gi_bhd=25.";
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

bool parse_json_inputs(const std::string& text, std::vector<Given>& given,
                       std::vector<std::string>& errors) {
    // ordered_json keeps the members in file order, so a name given twice
    // behaves as on the command line (the last one wins) and messages come
    // in the order the user wrote them.
    nlohmann::ordered_json doc;
    try {
        doc = nlohmann::ordered_json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        errors.push_back(std::string("Die Eingabedatei ist kein gültiges JSON: ") + e.what());
        return false;
    }
    if (!doc.is_object()) {
        errors.push_back("Die Eingabedatei muss ein JSON-Objekt aus Namen und Werten sein, "
                         "zum Beispiel {\"gi_bhd\": 25, \"gf_vab\": 40.5}.");
        return false;
    }
    bool ok = true;
    for (const auto& [name, value] : doc.items()) {
        Problem problem;
        const ValueInfo* info = find_input(name, problem);
        if (info == nullptr) {
            errors.push_back(problem.message);
            ok = false;
            continue;
        }
        if (value.is_number()) {
            const double v = value.get<double>();
            if (!std::isfinite(v) || v < 0.0) {
                errors.push_back(name + ": " + value.dump() +
                                 " ist nicht erlaubt; erwartet wird eine Zahl ohne Vorzeichen.");
                ok = false;
                continue;
            }
            given.push_back({info, v});
        } else if (value.is_string()) {
            std::optional<double> v = read_number(*info, value.get<std::string>(), problem);
            if (!v) {
                errors.push_back(problem.message);
                ok = false;
                continue;
            }
            given.push_back({info, *v});
        } else {
            errors.push_back(name + ": " + value.dump() +
                             " ist keine Zahl; erwartet wird eine Zahl oder ein Text wie \"30,5\".");
            ok = false;
        }
    }
    return ok;
}

bool collect_inputs(const CommonOptions& opt, State& base, std::vector<Given>& given,
                    std::vector<std::string>& errors, files::StandLabel* label) {
    if (!opt.basics_file.empty()) {
        const files::Outcome r = files::read_basics(opt.basics_file, base);
        if (!r.ok()) {
            if (r.status == files::Status::NotFound || r.message.empty()) {
                errors.push_back("Kalkulationsgrundlagen \"" + opt.basics_file +
                                 "\" können nicht geöffnet werden.");
            } else {
                errors.push_back(r.message);
            }
            return false;
        }
    }
    bool ok = true;
    if (!opt.input_file.empty()) {
        std::ifstream in(opt.input_file, std::ios::binary);
        if (!in) {
            errors.push_back("Eingabedatei \"" + opt.input_file + "\" kann nicht geöffnet werden.");
            return false;
        }
        std::ostringstream text;
        text << in.rdbuf();
        if (in.bad()) {
            errors.push_back("Eingabedatei \"" + opt.input_file + "\" kann nicht gelesen werden.");
            return false;
        }
        if (files::is_stand_text(text.str())) ok = stand_file_inputs(text.str(), opt.input_file, given, errors, label);
        else ok = parse_json_inputs(text.str(), given, errors);
    }
    for (const std::string& pair : opt.sets) {
        std::string error;
        if (!parse_set(pair, given, error)) {
            errors.push_back(error);
            ok = false;
        }
    }
    return ok;
}

}  // namespace forstrix::cli
