#include "CommandLine.h"

#include "RunUntil.h"
#include "SessionState.h"
#include "TempDir.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
    EXPECT_FALSE(ParseCommandLine({"--port", "x"}).fresh);
    EXPECT_TRUE(ParseCommandLine({"--fresh", "--port", "x"}).fresh);

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

// A logout's SIGTERM ends the program as its close button does: status 0 and the session kept.
TEST(CommandLine, TermEndsTheProgramAsItsCloseButtonDoes) {
    TempDir dir;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_STATE_HOME", dir.path.c_str(), 1);
        if (chdir(dir.path.c_str()) == 0)
            execl(DRGANIK_BIN, DRGANIK_BIN, static_cast<char*>(nullptr));
        _exit(127);
    }
    // Sent once the program catches it, which it does once its windows are built.
    const auto caught = [child] {
        std::ifstream status("/proc/" + std::to_string(child) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("SigCgt:", 0) == 0)
                return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
        return 0ull;
    };
    ASSERT_TRUE(RunUntil([&] { return caught() != 0; }, 60000));
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(ReadSessionState(dir.File("drganik/session.ini")));
}
