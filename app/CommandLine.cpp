#include "CommandLine.h"

#include <algorithm>
#include <charconv>

namespace {

// Lower-case hexadecimal digits, zero-padded to `width`.
std::string Hex(unsigned value, int width) {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    std::string text(digits, end);
    return std::string(std::size_t(std::max(0, width - int(text.size()))), '0') + text;
}

// An argument as a terminal may safely show it: control characters (C0, DEL and, in
// UTF-8, C1) are spelt out, so no escape sequence reaches the terminal.
std::string Printable(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c < 0x20 || c == 0x7f) {
            out += "\\x" + Hex(c, 2);
        } else if (c == 0xc2 && next >= 0x80 && next <= 0x9f) {
            out += "\\u" + Hex(next, 4);
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
            return {CommandLine::Action::Help, {}, {}, false}; // help wins over anything else given
        if (a == "-V" || a == "--version") {
            c.action = CommandLine::Action::Version;
        } else if (a == "--fresh") {
            c.fresh = true;
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
    return "Użycie: drganik [--port URZĄDZENIE] [--fresh]\n"
           "Program do oscyloskopu na porcie szeregowym.\n"
           "\n"
           "  --port URZĄDZENIE  w tym uruchomieniu łączy się przez URZĄDZENIE (np. /dev/ttyUSB0,\n"
           "                     łącze symulatora) zamiast urządzenia wybranego portu; ustawień\n"
           "                     nie zmienia\n"
           "  --fresh            zaczyna od wartości z ustawień zamiast sesji zapamiętanej\n"
           "                     przy ostatnim wyjściu (~/.local/state/drganik/session.ini)\n"
           "                     i zostawia ją bez zmian\n"
           "  -h, --help         pokazuje ten opis i kończy\n"
           "  -V, --version      pokazuje wersję i kończy\n"
           "\n"
           "Na stałe urządzenie portu wybiera się w oknie \"Ustawienia\" przyciskiem \"…\"\n"
           "przy \"Ustawienia portu\".\n";
}

std::string VersionText() {
    return "drganik " DRGANIK_VERSION "\n";
}
