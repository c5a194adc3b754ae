#pragma once
// What drganik-rec's command line asks for: a recording (or measuring) run, a
// conversion of a recording, or the help or the version.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RecOptions {
    enum class Action { Record, Convert, Help, Version, Error };
    Action action = Action::Record;
    std::string error; // for Action::Error, in the user's language

    std::string port; // a device for this run; empty: the settings' port
    int timebase = 0; // T/dz position, as the knob starts
    int trigger = 0;  // 0 off, 1 rising, 2 falling
    int level = 1;    // trigger level in the instrument's steps
    std::optional<std::uint64_t> blocks;
    std::optional<std::int64_t> durationMs;
    std::optional<std::int64_t> timeoutMs; // no block for this long ends the run
    bool single = false;
    bool measure = false; // one line of measurements per block instead of the samples
    bool quiet = false;
    std::string output = "-"; // "-" is standard output

    std::string input; // --convert IN OUT
    std::optional<std::uint64_t> from, to;
};

// args: the arguments after the program's name.
RecOptions ParseRecOptions(const std::vector<std::string>& args);

std::string RecHelpText();
std::string RecVersionText();
