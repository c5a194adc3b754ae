// The lock files serial terminal programs agree on, against a real pseudo-terminal.

#include "CommPort.h"
#include "GuiQueue.h"
#include "Pty.h"
#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process of our own making that lives until killed, or has already ended.
struct Child {
    pid_t pid = fork();
    explicit Child(bool live) {
        if (pid == 0) {
            if (live)
                pause();
            _exit(0);
        }
        if (!live)
            waitpid(pid, nullptr, 0);
    }
    ~Child() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};

std::string Digits(pid_t pid) {
    const std::string n = std::to_string(pid);
    return std::string(10 - n.size(), ' ') + n + "\n";
}

} // namespace

TEST(UucpLock, ALiveHolderRefusesThePortAStaleOneIsTakenOverAndOursGoesAtClose) {
    GuiQueue gui;
    Pty pty;
    TempDir locks;
    TCommPort port{gui.Dispatch()};
    port.Buffers.ReadSize = 1000;
    port.Buffers.WriteSize = 10;
    port.SetDeviceResolver([&](const std::string&) { return pty.SlavePath(); });
    port.ClosePauseMs = 0;
    port.LockFolder = locks.path.string();
    const std::string lock = locks.File(UucpLockName(pty.SlavePath()));
    EXPECT_EQ(UucpLockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(lock.substr(lock.rfind('/') + 1, 9), "LCK..pts_") << "a device in a subfolder of /dev";

    {
        Child terminal(true);
        TempDir::Put(lock, Digits(terminal.pid));
        try {
            port.Open();
            ADD_FAILURE() << "a port held by a live process was opened";
        } catch (const ECommPortError& e) {
            EXPECT_NE(std::string(e.what()).find("(PID " + std::to_string(terminal.pid) + ")"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(TempDir::Get(lock), Digits(terminal.pid)) << "the holder's lock is left alone";
    }

    const Child gone(false);
    TempDir::Put(lock, Digits(gone.pid));
    port.Open();
    EXPECT_EQ(TempDir::Get(lock), Digits(getpid())) << "a dead holder's lock is ours now";
    port.Close();
    EXPECT_FALSE(std::filesystem::exists(lock)) << "removed at close";

    TempDir::Put(lock, "garbage");
    port.Open();
    EXPECT_EQ(TempDir::Get(lock), Digits(getpid())) << "an unreadable lock holds nothing";
    port.Close();
}
