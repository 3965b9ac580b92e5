#include "cli/german_cli.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/errors.h"

namespace forstrix::cli {

namespace {

constexpr const char* kOptionsGroup = "Optionen";
constexpr const char* kSubcommandsGroup = "Unterbefehle";

// The words of the help that the parser's formatter looks up by key; the
// type names of the options are looked up the same way.
constexpr std::array<std::pair<const char*, const char*>, 18> kLabels = {{
    {"Usage", "Aufruf"},
    {"OPTIONS", "OPTIONEN"},
    {"SUBCOMMAND", "UNTERBEFEHL"},
    {"SUBCOMMANDS", "UNTERBEFEHLE"},
    {"Positionals", "Argumente"},
    {"REQUIRED", "PFLICHT"},
    {"Env", "Umgebungsvariable"},
    {"Needs", "nur mit"},
    {"Excludes", "nicht mit"},
    {"TEXT", "WERT"},
    {"INT", "GANZZAHL"},
    {"UINT", "GANZZAHL"},
    {"FLOAT", "ZAHL"},
    {"BOOLEAN", "JA/NEIN"},
    {"CHAR", "ZEICHEN"},
    {"ENUM", "AUSWAHL"},
    {"VALUE", "WERT"},
    {"FILE", "DATEI"},
}};

// What follows the last ": " of `text`, or "" without one.
std::string after_colon(std::string_view text) {
    const std::size_t pos = text.rfind(": ");
    return pos == std::string_view::npos ? std::string() : std::string(text.substr(pos + 2));
}

// What precedes the first occurrence of `marker`, or "" without it.
std::string before(std::string_view text, std::string_view marker) {
    const std::size_t pos = text.find(marker);
    return pos == std::string_view::npos ? std::string() : std::string(text.substr(0, pos));
}

// What follows the first occurrence of `marker`, or "" without it.
std::string after(std::string_view text, std::string_view marker) {
    const std::size_t pos = text.find(marker);
    return pos == std::string_view::npos ? std::string() : std::string(text.substr(pos + marker.size()));
}

// The option names ("--set", "-o") mentioned in `text`, in order.
std::string option_names(std::string_view text) {
    std::string names;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find('-', pos);
        if (start == std::string_view::npos) break;
        const bool word_start = start == 0 || text[start - 1] == ' ';
        std::size_t end = start;
        while (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != ':' &&
               text[end] != ']')
            ++end;
        if (word_start && end > start + 1) {
            if (!names.empty()) names += ", ";
            names += text.substr(start, end - start);
        }
        pos = end + 1;
    }
    return names;
}

std::string with_detail(std::string text, const std::string& detail) {
    return detail.empty() ? text : text + ": " + detail;
}

std::string subcommand_names(const CLI::App& app) {
    std::string names;
    const std::vector<const CLI::App*> subs =
        app.get_subcommands([](const CLI::App* sub) { return !sub->get_name().empty(); });
    for (std::size_t i = 0; i < subs.size(); ++i) {
        if (i > 0) names += i + 1 == subs.size() ? " oder " : ", ";
        names += subs[i]->get_name();
    }
    return names;
}

// The help with German group names and requirement notes; everything else
// is the parser's layout with the labels above.
class GermanFormatter : public CLI::Formatter {
public:
    std::string make_group(std::string group, bool is_positional,
                           std::vector<const CLI::Option*> opts) const override {
        if (group == "Options") group = kOptionsGroup;
        return CLI::Formatter::make_group(std::move(group), is_positional, std::move(opts));
    }
    std::string make_description(const CLI::App* app) const override {
        std::string desc = app->get_description();
        const std::size_t least = app->get_require_option_min();
        const std::size_t most = app->get_require_option_max();
        if (app->get_required()) desc += " (PFLICHT)";
        if (least > 0 && least == most)
            desc += "\n[Genau " + std::to_string(least) + " der folgenden Optionen ist nötig]";
        else if (most > 0)
            desc += "\n[" + std::to_string(least) + " bis " + std::to_string(most) +
                    " der folgenden Optionen sind nötig]";
        else if (least > 0)
            desc += "\n[Mindestens " + std::to_string(least) + " der folgenden Optionen sind nötig]";
        return desc.empty() ? std::string() : desc + "\n";
    }
};

template <typename T> bool is(const CLI::Error& e) { return dynamic_cast<const T*>(&e) != nullptr; }

}  // namespace

std::string german_error(const CLI::App& app, const CLI::Error& e) {
    const std::string_view what = e.what();
    if (is<CLI::ExtrasError>(e)) {
        // The parser lists the arguments last to first.
        std::vector<std::string> args;
        const std::string list = after_colon(what);
        for (std::size_t pos = 0; pos <= list.size();) {
            const std::size_t end = std::min(list.find(' ', pos), list.size());
            if (end > pos) args.insert(args.begin(), list.substr(pos, end - pos));
            pos = end + 1;
        }
        std::string in_order;
        for (const std::string& a : args) in_order += (in_order.empty() ? "" : " ") + a;
        return with_detail("Unbekannte oder überzählige Angabe", in_order);
    }
    if (is<CLI::RequiredError>(e)) {
        const std::string missing = before(what, " is required");
        if (missing == "A subcommand") {
            const std::string subs = subcommand_names(app);
            // A word where the subcommand belongs is a misspelt or unknown one,
            // not a missing one.
            const std::vector<std::string> rest = app.remaining();
            if (!rest.empty() && !rest.front().empty() && rest.front().front() != '-')
                return "Unbekannter Unterbefehl: " + rest.front() + " (erlaubt: " + subs + ")";
            return "Ein Unterbefehl fehlt (" + subs + ")";
        }
        return with_detail("Angabe fehlt", missing);
    }
    if (is<CLI::ArgumentMismatch>(e)) return with_detail("Falsche Anzahl von Werten", option_names(what));
    if (is<CLI::RequiresError>(e))
        return before(what, " requires ") + " geht nur zusammen mit " + after(what, " requires ");
    if (is<CLI::ConversionError>(e))
        return with_detail("Wert kann nicht gelesen werden", option_names(what));
    // The kinds this program's options cannot raise (validators, files,
    // configuration, counts of options, mistakes in their definition).
    return "Aufruf kann nicht gelesen werden";
}

void use_german(CLI::App& app) {
    auto formatter = std::make_shared<GermanFormatter>();
    for (const auto& [key, text] : kLabels) formatter->label(key, text);
    app.formatter(formatter);
    app.group(kSubcommandsGroup);
    app.failure_message(
        [](const CLI::App* failed, const CLI::Error& e) { return error_line(call_error(*failed, e)); });
}

std::string call_error(const CLI::App& app, const CLI::Error& e) {
    // Help is the subcommand's the call got into ("forstrix-cli sweep
    // --help"), else the program's own.
    const CLI::App* program = &app;
    while (program->get_parent() != nullptr) program = program->get_parent();
    std::string help = program->get_name();
    for (const CLI::App* sub : program->get_subcommands()) {
        if (!sub->get_name().empty()) {
            help += " " + sub->get_name();
            break;
        }
    }
    return "Aufruf fehlerhaft: " + german_error(app, e) + " (Hilfe: " + help + " --help)";
}

}  // namespace forstrix::cli
