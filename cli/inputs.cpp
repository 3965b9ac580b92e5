#include "cli/inputs.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "cli/stand_command.h"
#include "core/numtext.h"
#include "core/message_text.h"
#include "files/basics_file.h"
#include "files/read_file.h"
#include "files/stand_file.h"

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
        error = "--set " + printable(pair) + ": erwartet wird NAME=WERT, zum Beispiel --set gi_bhd=25.";
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

namespace {

std::string shown_json(const nlohmann::ordered_json& value) {
    return printable(value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace

bool parse_json_inputs(const std::string& text, std::vector<Given>& given,
                       std::vector<std::string>& errors) {
    // The object of values, whose members may one day group values in one
    // more object (a stand): two levels are all a scenario needs.
    if (files::json_depth(text, kMaxJsonDepth) > kMaxJsonDepth) {
        errors.push_back("Die Eingabedatei ist zu tief verschachtelt; erwartet wird ein JSON-Objekt aus "
                         "Namen und Werten mit höchstens " + std::to_string(kMaxJsonDepth) + " Ebenen.");
        return false;
    }
    // ordered_json keeps the members in file order, so a name given twice
    // behaves as on the command line (the last one wins) and messages come
    // in the order the user wrote them.
    nlohmann::ordered_json doc;
    try {
        doc = nlohmann::ordered_json::parse(text);
    } catch (const nlohmann::json::out_of_range&) {
        // A number beyond every double, such as 1e400.
        errors.push_back("Die Eingabedatei enthält eine Zahl, die zu groß für eine endliche Zahl ist.");
        return false;
    } catch (const nlohmann::json::exception& e) {
        errors.push_back(std::string("Die Eingabedatei ist kein gültiges JSON: ") + printable(e.what(), 200));
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
                errors.push_back(name + ": " + shown_json(value) +
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
            errors.push_back(name + ": " + shown_json(value) +
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
                errors.push_back("Kalkulationsgrundlagen \"" + printable(opt.basics_file, 240) +
                                 "\" können nicht geöffnet werden.");
            } else {
                errors.push_back(r.message);
            }
            return false;
        }
    }
    bool ok = true;
    if (!opt.input_file.empty()) {
        std::string text;
        files::ReadFailure failure;
        const std::string shown = "Eingabedatei \"" + printable(opt.input_file, 240) + "\"";
        switch (files::read_small_file(opt.input_file, kMaxInputFileSize, text, failure)) {
            case files::ReadStatus::Ok: break;
            case files::ReadStatus::NotFound:
                errors.push_back(shown + " kann nicht geöffnet werden: Die Datei existiert nicht.");
                return false;
            case files::ReadStatus::TooLarge:
                errors.push_back(shown + " ist größer als 1 MiB; das ist kein Szenario aus Namen und Werten.");
                return false;
            case files::ReadStatus::Failed:
                errors.push_back(shown + " kann nicht gelesen werden: " + failure.reason + ".");
                return false;
        }
        if (files::is_stand_text(text)) ok = stand_file_inputs(text, opt.input_file, given, errors, label);
        else ok = parse_json_inputs(text, given, errors);
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
