#include "CommandLine.h"

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    const auto fail = [](std::string error) {
        CommandLine bad;
        bad.action = CommandLine::Action::Error;
        bad.error = std::move(error);
        return bad;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help")
            return {CommandLine::Action::Help, {}, {}}; // help wins over anything else given
        if (a == "-V" || a == "--version") {
            c.action = CommandLine::Action::Version;
        } else if (a == "--port" || a.rfind("--port=", 0) == 0) {
            if (a == "--port" && i + 1 == args.size())
                return fail("--port wymaga ścieżki urządzenia");
            c.port = a == "--port" ? args[++i] : a.substr(7);
            if (c.port.empty())
                return fail("--port wymaga ścieżki urządzenia");
        } else {
            return fail("nieznany argument: " + a);
        }
    }
    return c;
}

std::string HelpText() {
    return "Użycie: drganik [--port URZĄDZENIE]\n"
           "Program do oscyloskopu na porcie szeregowym.\n"
           "\n"
           "  --port URZĄDZENIE  w tym uruchomieniu łączy się przez URZĄDZENIE (np. /dev/ttyUSB0,\n"
           "                     łącze symulatora) zamiast urządzenia wybranego portu; ustawień\n"
           "                     nie zmienia\n"
           "  -h, --help         pokazuje ten opis i kończy\n"
           "  -V, --version      pokazuje wersję i kończy\n"
           "\n"
           "Na stałe urządzenie portu wybiera się w oknie \"Ustawienia\" przyciskiem \"…\"\n"
           "przy \"Ustawienia portu\".\n";
}

std::string VersionText() {
    return "drganik " DRGANIK_VERSION "\n";
}
