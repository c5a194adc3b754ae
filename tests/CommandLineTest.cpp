#include "CommandLine.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

using Action = CommandLine::Action;

TEST(CommandLine, PortHelpVersionAndMistakes) {
    EXPECT_EQ(ParseCommandLine({}).action, Action::Run);
    EXPECT_EQ(ParseCommandLine({}).port, "");
    const auto port = ParseCommandLine({"--port", "/dev/ttyUSB0"});
    EXPECT_EQ(port.action, Action::Run);
    EXPECT_EQ(port.port, "/dev/ttyUSB0");
    EXPECT_EQ(ParseCommandLine({"--port=/tmp/sim link"}).port, "/tmp/sim link");
    EXPECT_EQ(ParseCommandLine({"--port", "a", "--port", "b"}).port, "b");
    // The value is the next argument whatever it looks like: a device path may start with a dash.
    EXPECT_EQ(ParseCommandLine({"--port", "--help"}).port, "--help");

    EXPECT_EQ(ParseCommandLine({"--port", "x", "-h"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--version", "--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--bogus", "x", "--help"}).action, Action::Help) << "wherever it stands";
    EXPECT_EQ(ParseCommandLine({"--port", "-h"}).port, "-h");
    EXPECT_EQ(ParseCommandLine({"-V"}).action, Action::Version);

    for (const auto& wrong :
         std::vector<std::vector<std::string>>{{"--port"}, {"--port="}, {"--prot", "x"}, {"x"}}) {
        const auto c = ParseCommandLine(wrong);
        EXPECT_EQ(c.action, Action::Error) << wrong[0];
        EXPECT_FALSE(c.error.empty());
    }
    // A terminal never sees control characters from an argument, C1 ones (UTF-8 "\xc2\x9b") included.
    EXPECT_EQ(ParseCommandLine({"\x1b]0;x\a\x7fż\xc2\x9b"
                                "2J"})
                  .error,
              "nieznany argument: \\x1b]0;x\\x07\\x7fż\\u009b2J");
    EXPECT_NE(HelpText().find("--port URZĄDZENIE"), std::string::npos);
}

namespace {

struct Outcome {
    int status;
    std::string out;
};

// The built program without any display: it must answer before it needs one.
Outcome Drganik(const std::string& args) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " DRGANIK_BIN " " + args + " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 256> chunk{};
    while (p && fgets(chunk.data(), int(chunk.size()), p))
        out += chunk.data();
    const int status = p ? pclose(p) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace

TEST(CommandLine, TheProgramPrintsAndEndsWithoutWindows) {
    const Outcome help = Drganik("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, HelpText());
    const Outcome version = Drganik("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "drganik " DRGANIK_VERSION "\n");
    const Outcome wrong = Drganik("--prot /dev/ttyUSB0");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.out, "drganik: nieznany argument: --prot\nWięcej: drganik --help\n");
}
