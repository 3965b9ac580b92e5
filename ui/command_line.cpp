#include "ui/command_line.h"

#include <string_view>

namespace forstrix::ui {

namespace {

constexpr const char* kHelp =
    "Aufruf: forstrix [OPTIONEN] [BESTANDSDATEI]\n"
    "\n"
    "Forstrix: Zeitbedarf und Kosten der Holzernte im Laubholz.\n"
    "Das Desktop-Programm öffnet sein Fenster, mit einer Bestandsdatei\n"
    "(.forstrix) diesen Bestand; die Dateien \"daten.klg\" und \"erg.txt\"\n"
    "liest und schreibt es im aktuellen Ordner.\n"
    "\n"
    "Optionen:\n"
    "  -h, --help       Hilfe anzeigen\n"
    "  -V, --version    Version anzeigen\n"
    "\n"
    "Ohne Fenster rechnet das Kommandozeilenprogramm forstrix-cli dasselbe\n"
    "(forstrix-cli --help).\n";

}  // namespace

std::optional<CommandLineAnswer> command_line_answer(int argc, const char* const* argv,
                                                     const std::string& version) {
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help") return CommandLineAnswer{kHelp, 0};
        if (arg == "-V" || arg == "--version") return CommandLineAnswer{"forstrix " + version + "\n", 0};
    }
    return std::nullopt;
}

}  // namespace forstrix::ui
