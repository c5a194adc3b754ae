#include "FileSizeLimit.h"

#include "AtomicFile.h"
#include "SettingsFile.h"
#include "TempDir.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

// Under "ulimit -f" the program, set up as at its start, reports failed saves and lives on.
TEST(FileSizeLimit, SavesOverTheLimitFailAndKeepTheOldFiles) {
    TempDir dir;
    const auto ini = dir.File("drganik.ini");
    const std::string oldIni = "; " + std::string(80, '-') + "\n[DISP]\nLW=2\n";
    TempDir::Put(ini, oldIni);
    TempDir::Put(dir.File("block.drg"), "old");
    TempDir::Put(dir.File("linked.drg"), "old"); // two links: rewritten in place
    ASSERT_EQ(link(dir.File("linked.drg").c_str(), dir.File("other.drg").c_str()), 0);

    const pid_t child = fork();
    if (child == 0) {
        KeepRunningAtFileSizeLimit();
        const rlimit small{100, 100};
        setrlimit(RLIMIT_FSIZE, &small);
        bool reported = false;
        try {
            SettingsFile(ini).WriteInteger("DISP", "PCF", 16777215);
        } catch (const std::runtime_error& e) {
            reported = e.what() == "Unable to write to " + ini;
        }
        const std::string block(1503, '7');
        reported = reported && !WriteFileAtomically(dir.File("block.drg"), block) &&
                   !WriteFileAtomically(dir.File("linked.drg"), block);
        _exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a save over the limit was not reported as failed";
    EXPECT_EQ(TempDir::Get(ini), oldIni);
    EXPECT_EQ(TempDir::Get(dir.File("block.drg")), "old");
    EXPECT_EQ(TempDir::Get(dir.File("linked.drg")), "old");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path))
        ++entries;
    EXPECT_EQ(entries, 5) << "no temporary file stays behind, only the lock file";
}

namespace {

// The signals a running process ignores, from the kernel's own account of it.
unsigned long long IgnoredSignals(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigIgn:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    return 0;
}

} // namespace

// The helper above is only worth something if the program calls it: the real binary, started
// as a user starts it, ignores the signal that would otherwise end it at the first large save.
TEST(FileSizeLimit, TheProgramIgnoresTheSignalFromItsStart) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* argv[] = {DRGANIK_BIN, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, DRGANIK_BIN, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    const unsigned long long xfsz = 1ull << (SIGXFSZ - 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool ignored = false;
    while (!ignored && std::chrono::steady_clock::now() < deadline) {
        ignored = (IgnoredSignals(pid) & xfsz) != 0;
        if (!ignored)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(ignored) << "SIGXFSZ is not ignored by the running program";
}
