#include "CommandLine.h"

#include <cstdio>

namespace {

// An argument as a terminal may safely show it: control characters (C0, DEL and, in
// UTF-8, C1) are spelt out, so no escape sequence reaches the terminal.
std::string Printable(const std::string& text) {
    std::string out;
    char code[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c < 0x20 || c == 0x7f) {
            std::snprintf(code, sizeof code, "\\x%02x", c);
            out += code;
        } else if (c == 0xc2 && next >= 0x80 && next <= 0x9f) {
            std::snprintf(code, sizeof code, "\\u%04x", next);
            out += code;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    CommandLine bad; // the first mistake, told only when no help is asked for
    const auto fail = [&bad](std::string error) {
        if (bad.action != CommandLine::Action::Error) {
            bad.action = CommandLine::Action::Error;
            bad.error = std::move(error);
        }
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help")
            return {CommandLine::Action::Help, {}, {}}; // help wins over anything else given
        if (a == "-V" || a == "--version") {
            c.action = CommandLine::Action::Version;
        } else if (a == "--port" || a.rfind("--port=", 0) == 0) {
            if (a == "--port" && i + 1 == args.size()) {
                fail("--port wymaga ścieżki urządzenia");
                continue;
            }
            c.port = a == "--port" ? args[++i] : a.substr(7);
            if (c.port.empty())
                fail("--port wymaga ścieżki urządzenia");
        } else {
            fail("nieznany argument: " + Printable(a));
        }
    }
    return bad.action == CommandLine::Action::Error ? bad : c;
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
