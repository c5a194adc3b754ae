#pragma once
// What the command line asks for: run the program (optionally with a device for the port in use),
// or print the help or the version and end. Qt never sees these options.

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // --port DEVICE: the selected port's device for this run only; empty: as the settings say.
    std::string port;
    std::string error;  // what was wrong, for Action::Error
    bool fresh = false; // --fresh: the session kept at the last exit is not given back
};

// args: the arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string HelpText();
std::string VersionText();
