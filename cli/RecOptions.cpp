#include "RecOptions.h"

#include "Messages.h"
#include "OptionValues.h"

#include <algorithm>
#include <functional>
#include <map>

namespace {

std::string Format(const char* message, const std::string& value) {
    std::string text = Tr(message);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

// An option's value, from "--name value" or "--name=value".
struct Arguments {
    const std::vector<std::string>& args;
    std::size_t i = 0;
    std::string error; // the first mistake

    void Fail(std::string message) {
        if (error.empty())
            error = std::move(message);
    }

    bool Value(const std::string& name, std::string& value) {
        const std::string& a = args[i];
        if (a.size() > name.size() && a.compare(0, name.size() + 1, name + "=") == 0) {
            value = a.substr(name.size() + 1);
            return true;
        }
        if (i + 1 < args.size()) {
            value = args[++i];
            return true;
        }
        Fail(Format("option %s needs a value", name));
        return false;
    }
};

template <typename T> bool Take(std::optional<T> parsed, T& into) {
    if (parsed)
        into = *parsed;
    return parsed.has_value();
}

template <typename T> bool Take(std::optional<T> parsed, std::optional<T>& into) {
    into = parsed;
    return parsed.has_value();
}

} // namespace

RecOptions ParseRecOptions(const std::vector<std::string>& args) {
    RecOptions o;
    Arguments in{args, 0, {}};
    const std::map<std::string, std::function<bool(const std::string&)>> valued{
        {"--port", [&](const std::string& v) { return !(o.port = v).empty(); }},
        {"--timebase", [&](const std::string& v) { return Take(ParseTimebase(v), o.timebase); }},
        {"--trigger",
         [&](const std::string& v) {
             const std::map<std::string, int> modes{{"off", 0}, {"rising", 1}, {"falling", 2}};
             const auto mode = modes.find(v);
             return mode != modes.end() && ((o.trigger = mode->second), true);
         }},
        {"--level", [&](const std::string& v) { return Take(ParseTriggerLevel(v), o.level); }},
        {"--blocks", [&](const std::string& v) { return Take(ParseCount(v), o.blocks); }},
        {"--duration", [&](const std::string& v) { return Take(ParseDuration(v), o.durationMs); }},
        {"--timeout", [&](const std::string& v) { return Take(ParseDuration(v), o.timeoutMs); }},
        {"--from", [&](const std::string& v) { return Take(ParseCount(v), o.from); }},
        {"--to", [&](const std::string& v) { return Take(ParseCount(v), o.to); }},
        {"-o", [&](const std::string& v) { return !(o.output = v).empty(); }},
        {"--output", [&](const std::string& v) { return !(o.output = v).empty(); }},
    };
    std::vector<std::string> convert; // IN and OUT
    bool converting = false, help = false, version = false;
    for (; in.i < args.size(); ++in.i) {
        const std::string& a = args[in.i];
        const std::string name = a.substr(0, a.find('='));
        if (a == "-h" || a == "--help") {
            help = true;
        } else if (a == "-V" || a == "--version") {
            version = true;
        } else if (a == "--single") {
            o.single = true;
        } else if (a == "--measure") {
            o.measure = true;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (a == "--convert") {
            converting = true;
        } else if (const auto option = valued.find(name); option != valued.end()) {
            std::string value;
            if (in.Value(name, value) && !option->second(value))
                in.Fail(Format("invalid value for %s: ", name) + value);
        } else if (converting && a.size() > 0 && (a[0] != '-' || a == "-") && convert.size() < 2) {
            convert.push_back(a);
        } else {
            in.Fail(Format("unknown argument: %s", a));
        }
    }
    if (help) { // help wins over anything else given
        o.action = RecOptions::Action::Help;
        return o;
    }
    if (in.error.empty() && converting && convert.size() != 2)
        in.error = Tr("--convert needs a recording and a file to write");
    if (in.error.empty() && o.from && o.to && *o.from > *o.to)
        in.error = Tr("--from comes after --to");
    // An option that would change nothing is a mistake worth telling, not one to run with.
    const bool levelGiven = std::any_of(args.begin(), args.end(), [](const std::string& a) {
        return a == "--level" || a.rfind("--level=", 0) == 0;
    });
    if (in.error.empty() && !converting && (o.from || o.to))
        in.error = Tr("--from and --to choose blocks of --convert");
    if (in.error.empty() && o.single && o.blocks && *o.blocks != 1)
        in.error = Tr("--single takes one block: leave out --blocks");
    if (in.error.empty() && levelGiven && o.trigger == 0)
        in.error = Tr("--level needs --trigger rising or falling");
    if (!in.error.empty()) {
        o.action = RecOptions::Action::Error;
        o.error = in.error;
        return o;
    }
    if (version)
        o.action = RecOptions::Action::Version;
    else if (converting) {
        o.action = RecOptions::Action::Convert;
        o.input = convert[0];
        o.output = convert[1];
    }
    return o;
}

std::string RecHelpText() {
    return Tr("Usage: drganik-rec [OPTION]... [-o FILE]\n"
              "       drganik-rec --convert RECORDING.drgn FILE [--from N] [--to N] [--measure]\n"
              "Records blocks of the oscilloscope without any window, or converts a recording.\n"
              "\n"
              "  --port DEVICE      the device to use (default: the settings' port)\n"
              "  --timebase T       T/dz as a knob position 0..15 or as the knob shows it\n"
              "                     (0,1ms, 0.1ms, 20ms, 1s; default 0,1ms)\n"
              "  --trigger MODE     off, rising or falling (default off)\n"
              "  --level LEVEL      trigger level in V or mV (2.5V, 500mV)\n"
              "  --blocks N         end after N blocks\n"
              "  --duration TIME    end after TIME (90s, 30m, 2h)\n"
              "  --single           take one block with a single shot and end\n"
              "  --timeout TIME     end with status 3 when no block comes for TIME\n"
              "  -o, --output FILE  write to FILE: .drgn a recording, .csv a table of samples,\n"
              "                     - standard output (default)\n"
              "  --measure          one line of measurements per block instead of the samples\n"
              "  --convert IN OUT   write the recording IN as OUT (.csv, .drgn, or .drg for one block)\n"
              "  --from N           convert from block N on (the first is 1)\n"
              "  --to N             convert up to block N\n"
              "  -q, --quiet        no progress on standard error\n"
              "  -h, --help         show this help and end\n"
              "  -V, --version      show the version and end\n"
              "\n"
              "Exit status: 0 done, 1 device or file error, 2 wrong usage, 3 no block before the time-out.\n"
              "SIGINT and SIGTERM end the run after the block being written.\n");
}

std::string RecVersionText() {
    return "drganik-rec " DRGANIK_VERSION "\n";
}
