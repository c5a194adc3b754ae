#include "CommPort.h"

#include "DeviceAccess.h"
#include "GuiQueue.h"
#include "Pty.h"
#include "TempDir.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

struct Port {
    GuiQueue gui;
    Pty pty;
    TCommPort port{gui.Dispatch()};
    explicit Port(int readSize = 1000, int writeSize = 10) {
        port.Line.Baudrate = br115200;
        port.Buffers.ReadSize = readSize;
        port.Buffers.WriteSize = writeSize;
        port.SetMonitorEvents({ceRxChar});
        port.SetDeviceResolver([this](const std::string&) { return pty.SlavePath(); });
        port.ClosePauseMs = 0;
    }
};

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const ECommPortError& e) {
        return e.what();
    }
    return "no error";
}

int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

// Whether the terminal refuses new opens by anyone but root.
int ExclusiveFlag(int fd) {
    int on = -1;
    ioctl(fd, TIOCGEXCL, &on);
    return on;
}

// A field of this process's thread of that name, from one of its /proc files ("status" or
// "io"): the text after the colon, or "" when there is no such thread or field.
std::string ThreadField(const std::string& thread, const char* file, const std::string& field) {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(task.path() / "status");
        std::string text((std::istreambuf_iterator<char>(status)), {});
        if (text.find("Name:\t" + thread + "\n") == std::string::npos)
            continue;
        std::ifstream in(task.path() / file);
        std::string values((std::istreambuf_iterator<char>(in)), {});
        const auto at = values.find("\n" + field + ":");
        return at == std::string::npos ? "" : values.substr(at + field.size() + 2);
    }
    return "";
}

// A counter of this process's thread of that name, or -1 when there is no such thread.
long ThreadCount(const std::string& thread, const char* file, const std::string& field) {
    const std::string value = ThreadField(thread, file, field);
    return value.empty() ? -1L : std::stol(value);
}

// The sleeps so far of this process's thread of that name.
long Sleeps(const std::string& thread) {
    return ThreadCount(thread, "status", "voluntary_ctxt_switches");
}

// The sleeps so far of the calling thread: a pause or a blocking wait is one at least.
long OwnSleeps() {
    std::ifstream in("/proc/thread-self/status");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const std::string field = "\nvoluntary_ctxt_switches:";
    return std::stol(text.substr(text.find(field) + field.size()));
}

// Whether the thread of that name is blocked in a wait right now, not running or ready to run.
bool Asleep(const std::string& thread) {
    return ThreadField(thread, "status", "State").rfind("\tS", 0) == 0;
}

// Whether the thread of that name sleeps on: it wakes at most once (it may be finishing a pause
// of its own) while the test waits a little, and it is then seen asleep within a generous
// deadline. A thread that polls wakes again and again; one that spins is never seen asleep.
// A loaded machine only slows the looking down.
bool StaysAsleep(const std::string& thread) {
    const long sleeps0 = Sleeps(thread);
    std::this_thread::sleep_for(300ms);
    for (int looks = 0; !Asleep(thread); ++looks) {
        if (looks == 10000)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return Sleeps(thread) - sleeps0 <= 1;
}

} // namespace

TEST(CommPort, DeviceNamesMapToLinuxSerialDevices) {
    EXPECT_EQ(DefaultDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DefaultDevicePath("COM7"), "/dev/ttyS6");
    EXPECT_EQ(DefaultDevicePath("COM0"), "/dev/ttyS-1");
    TCommPort port{[](std::function<void()>) {}};
    port.SetPortNum(7);
    EXPECT_EQ(port.DevicePath(), "/dev/ttyS6");
    port.SetPortNum(-2147483647 - 1); // a hand-edited CP is used unchanged, without overflow
    EXPECT_EQ(port.DevicePath(), "/dev/ttyS-2147483649");
}

TEST(CommPort, OpenErrorsLeaveThePortClosed) {
    TCommPort port{[](std::function<void()>) {}};
    port.SetDeviceResolver([](const std::string& name) { return "/nonexistent/" + name; });
    port.SetPortNum(7);
    EXPECT_EQ(Message([&] { port.Open(); }), "Specified device not found (/nonexistent/COM7).");
    EXPECT_FALSE(port.IsOpen());

    // A device that is not a terminal opens but cannot take line settings.
    port.SetDeviceResolver([](const std::string&) { return "/dev/null"; });
    EXPECT_EQ(Message([&] { port.Open(); }).rfind("Error writing dcb (25), ", 0), 0u);
    EXPECT_FALSE(port.IsOpen());

    // Refused by permissions: the message first, then who may use the device (root is never refused).
    if (geteuid() != 0) {
        TempDir dir;
        const std::string node = dir.File("ttyUSB0");
        TempDir::Put(node, "");
        chmod(node.c_str(), 0060); // the group may, the owner may not
        port.SetDeviceResolver([&](const std::string&) { return node; });
        const group* own = getgrgid(getegid());
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(Message([&] { port.Open(); }), "Can't open specified device " + node + " (Error 13, " +
                                                     std::strerror(EACCES) + ")\n" +
                                                     AccessHintText(node, own->gr_name));
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(CommPort, UseIsExclusiveWithinAndAcrossProcesses) {
    Port a;
    a.port.Open();
    TCommPort b{[](std::function<void()>) {}};
    b.SetDeviceResolver([&](const std::string&) { return a.pty.SlavePath(); });
    // The lock refuses with EAGAIN; for users other than root the terminal's exclusive flag refuses first.
    // The system's text for the error is in the desktop's language, as everywhere else on it.
    const std::string refused = Message([&] { b.Open(); });
    const std::string prefix = "Can't open specified device " + a.pty.SlavePath();
    if (geteuid() == 0)
        EXPECT_EQ(refused, prefix + " (Error 11, " + std::strerror(EAGAIN) + ")");
    else
        EXPECT_EQ(refused, prefix + " (Error 16, " + std::strerror(EBUSY) + ")");
    EXPECT_FALSE(b.IsOpen());

    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(a.pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        _exit(fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1) << "another process got the device";

    // Open while open fails and leaves the open port working.
    EXPECT_EQ(Message([&] { a.port.Open(); }), "Can't perform this operation while port is open");
    EXPECT_EQ(Message([&] { a.port.SetPortNum(2); }), "Can't perform this operation while port is open");
    EXPECT_TRUE(a.port.WriteString("q"));
    EXPECT_EQ(a.pty.Read(1, 1000), "q");
    a.port.Close();
    b.Open(); // free again after Close
    EXPECT_TRUE(b.IsOpen());
}

TEST(CommPort, OpenSetsARawLineAndTheExclusiveFlagThatCloseClears) {
    Port p;
    // Opened first: the flag keeps later opens out, for everyone but root.
    const int probe = open(p.pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(probe, 0);
    termios cooked{};
    tcgetattr(probe, &cooked);
    cooked.c_cflag |= HUPCL | PARENB;
    cooked.c_iflag |= ICRNL | IXON;
    cooked.c_oflag |= OPOST;
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cfsetspeed(&cooked, B9600);
    tcsetattr(probe, TCSANOW, &cooked);

    p.port.Open();
    EXPECT_EQ(ExclusiveFlag(probe), 1);
    termios t{};
    ASSERT_EQ(tcgetattr(probe, &t), 0);
    EXPECT_EQ(cfgetispeed(&t), speed_t(B115200));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B115200));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), tcflag_t(CS8))
        << "8N1, no hang-up on close";
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | INPCK), 0u)
        << "bytes pass unchanged";
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);

    p.port.Close();
    EXPECT_EQ(ExclusiveFlag(probe), 0) << "the flag outlives the descriptor on a pseudo-terminal";
    close(probe);
}

TEST(CommPort, ZeroBytesAreDataBothWays) {
    Port p;
    int waiting = 0;
    p.port.OnRxChar = [&](TCustomCommPort*, int count) { waiting = count; };
    p.port.Open();
    const std::string probe("\x00\x55\x00\x00\x55", 5);
    EXPECT_TRUE(p.port.WriteString(probe));
    EXPECT_EQ(p.pty.Read(5, 5000), probe);

    p.pty.Write(std::string("\x00\xff\x00", 3));
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 3; }, 10s));
    EXPECT_EQ(p.port.ReadAll(), std::string("\x00\xff\x00", 3));
}

TEST(CommPort, ClosedPortOperationsAreSilentAndQuick) {
    TCommPort port{[](std::function<void()>) {}};
    const long sleeps0 = OwnSleeps();
    port.Close();
    EXPECT_EQ(port.ReadAll(), "");
    EXPECT_EQ(port.WriteBuffer("abc", 3), 0);
    EXPECT_FALSE(port.WriteString("abc"));
    port.PurgeAll();
    EXPECT_EQ(OwnSleeps(), sleeps0) << "no close pause, no waiting, on a closed port";
}

TEST(CommPort, ReadAllOnNothingReturnsAtOnceAndCloseWaits300ms) {
    Port p;
    p.port.ClosePauseMs = 300;
    p.port.SetMonitorEvents({}); // no threads: nothing else may hold the device for a moment
    p.port.SetDirectWrite(true);
    p.port.Open();
    const long sleeps0 = OwnSleeps();
    EXPECT_EQ(p.port.ReadAll(), "");
    EXPECT_EQ(OwnSleeps(), sleeps0) << "no wait for the read time-out of 1000 ms";
    const auto t0 = steady_clock::now();
    p.port.Close();
    EXPECT_GE(steady_clock::now() - t0, 300ms) << "a pause: load can only lengthen it";
    EXPECT_FALSE(p.port.IsOpen());
}

TEST(CommPort, OneNotificationAtATimeAndNoSpinWhileBytesWaitUnread) {
    Port p;
    int calls = 0, lastCount = 0;
    p.port.OnRxChar = [&](TCustomCommPort* sender, int count) {
        EXPECT_EQ(sender, &p.port);
        ++calls;
        lastCount = count;
    };
    p.port.Open();
    for (int i = 0; i < 50; ++i) { // a block arriving in many pieces while the GUI is busy
        p.pty.Write(std::string(10, char(i)));
        std::this_thread::sleep_for(1ms);
    }
    // Each notification counts everything waiting, so the last one counts all 500.
    ASSERT_TRUE(p.gui.PumpUntil([&] { return lastCount == 500; }, 10s));
    EXPECT_EQ(p.gui.MaxQueued(), 1u) << "notifications must not pile up";
    const int callsForTheBlock = calls;

    // Nothing read: no new notification and no busy thread.
    EXPECT_TRUE(StaysAsleep("comm-rx"));
    EXPECT_EQ(p.gui.Queued(), 0u);

    // New bytes give one new notification counting all that waits.
    p.pty.Write("xy");
    ASSERT_TRUE(p.gui.PumpUntil([&] { return lastCount == 502; }, 10s));
    EXPECT_EQ(calls, callsForTheBlock + 1);
    EXPECT_EQ(p.port.ReadAll().size(), 502u);
}

// A purge with nothing to send and room in the input queue has nothing to tell either thread,
// and a write to an idle line goes out without the write thread.
TEST(CommPort, PurgeOrWriteWithNothingWaitingWakesNeitherThread) {
    Port p;
    p.port.Open();
    p.port.WriteString("go");
    ASSERT_EQ(p.pty.Read(2, 10000), "go");
    // A thread still starting up on a loaded machine may sleep a few times more; a wake-up
    // per purge would be 200.
    const long rx0 = Sleeps("comm-rx"), tx0 = Sleeps("comm-tx");
    ASSERT_GE(std::min(rx0, tx0), 0) << "no port threads";
    for (int i = 0; i < 200; ++i)
        p.port.PurgeAll();
    EXPECT_LE(Sleeps("comm-rx") - rx0, 8);
    EXPECT_LE(Sleeps("comm-tx") - tx0, 8);
    // The write thread's own write calls: none. (Its sleeps would not tell: the kernel may
    // wake a thread that only watches the line for a hang-up when output drains.)
    const long sent0 = ThreadCount("comm-tx", "io", "syscw");
    ASSERT_GE(sent0, 0);
    for (char c = 'a'; c <= 'z'; ++c) {
        p.port.WriteString(std::string(1, c));
        ASSERT_EQ(p.pty.Read(1, 10000), std::string(1, c));
    }
    EXPECT_EQ(ThreadCount("comm-tx", "io", "syscw"), sent0);
}

// With a latency the notification waits for the owner's own wake-up: DeliverPending takes it,
// whole, and nothing is posted; an owner that never asks still gets it posted when it runs out.
TEST(CommPort, OwedNotificationWaitsForTheOwnerOrItsLatency) {
    Port p;
    int calls = 0, lastCount = 0;
    p.port.OnRxChar = [&](TCustomCommPort*, int count) {
        ++calls;
        lastCount = count;
    };
    p.port.SetRxNotifyLatencyMs(600000);
    p.port.Open();
    p.pty.Write("abc");
    ASSERT_TRUE(p.gui.PumpUntil(
        [&] {
            p.port.DeliverPending();
            return calls > 0;
        },
        10s));
    EXPECT_EQ(lastCount, 3);
    p.port.DeliverPending();
    EXPECT_EQ(calls, 1) << "told twice";
    EXPECT_EQ(p.gui.MaxQueued(), 0u) << "posted although the owner took it";

    p.port.SetRxNotifyLatencyMs(50); // the owner stops asking
    p.pty.Write("de");
    ASSERT_TRUE(p.gui.PumpUntil([&] { return calls == 2; }, 10s));
    EXPECT_EQ(lastCount, 5);
    EXPECT_EQ(p.port.ReadAll(), "abcde");

    // The last bytes before an unplug are told although the receive thread has ended.
    Port q(1); // takes one byte, then leaves the line alone
    q.port.OnRxChar = p.port.OnRxChar;
    q.port.SetRxNotifyLatencyMs(600000);
    // Opened before the port takes the line for itself: tells how much nobody has read yet.
    const int peek = open(q.pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(peek, 0);
    q.port.Open();
    q.pty.Write("fg");
    ASSERT_TRUE(q.gui.PumpUntil(
        [&] {
            int n = -1;
            return ioctl(peek, FIONREAD, &n) == 0 && n == 1; // "f" taken, "g" left
        },
        10s));
    q.pty.Hangup();
    ASSERT_TRUE(q.gui.PumpUntil([&] { return calls == 3; }, 10s));
    EXPECT_EQ(lastCount, 1);
    close(peek);
}

// A block in small pieces: after taking bytes the receive thread leaves the device alone for its
// hold-off, so the pieces that come meanwhile wake neither it nor the GUI, and ReadAll takes them
// from the device all the same.
TEST(CommPort, PiecesDuringAHoldOffWakeNobodyAndReadAllTakesThemAll) {
    Port p;
    int calls = 0, lastCount = 0;
    p.port.OnRxChar = [&](TCustomCommPort*, int count) {
        ++calls;
        lastCount = count;
    };
    p.port.SetRxHoldoffMs(600000); // the whole test is inside the first hold-off
    // Opened before the port takes the line for itself: tells how much nobody has read yet.
    const int peek = open(p.pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(peek, 0);
    p.port.Open();
    p.pty.Write(std::string(16, '\0'));
    ASSERT_TRUE(p.gui.PumpUntil([&] { return calls == 1; }, 10s));
    EXPECT_EQ(lastCount, 16);
    const long switches0 = Sleeps("comm-rx");
    ASSERT_GE(switches0, 0) << "no receive thread";
    for (int i = 1; i < 60; ++i) {
        p.pty.Write(std::string(16, char(i)));
        std::this_thread::sleep_for(1ms); // pacing the input, not waiting for a result
    }
    ASSERT_TRUE(p.gui.PumpUntil(
        [&] {
            int n = -1;
            return ioctl(peek, FIONREAD, &n) == 0 && n == 59 * 16;
        },
        10s))
        << "the pieces were taken during the hold-off";
    // The one sleep allowed: the thread may have begun its hold-off only after the first notification.
    EXPECT_LE(Sleeps("comm-rx") - switches0, 1);
    EXPECT_EQ(calls, 1);
    std::string expected(16, '\0');
    for (int i = 1; i < 60; ++i)
        expected += std::string(16, char(i));
    const std::string all = p.port.ReadAll();
    EXPECT_EQ(all.size(), expected.size()) << "bytes left in the device";
    EXPECT_TRUE(all == expected) << "bytes out of order";
    close(peek);
}

// An owner that asks at wake-ups of its own reads the device itself: once it finds bytes
// there, the receive thread stands by instead of reading, and every byte is still told.
TEST(CommPort, AnOwnerThatTakesBytesItselfKeepsTheReceiveThreadAsleep) {
    Port p;
    int lastCount = 0;
    p.port.OnRxChar = [&](TCustomCommPort*, int count) { lastCount = count; };
    p.port.SetRxNotifyLatencyMs(600000);
    p.port.Open();
    const long switches0 = Sleeps("comm-rx");
    ASSERT_GE(switches0, 0) << "no receive thread";
    std::thread feeder([&] { // pacing the input, not waiting for a result
        for (int i = 0; i < 60; ++i) {
            p.pty.Write(std::string(16, char(i)));
            std::this_thread::sleep_for(1400us);
        }
    });
    ASSERT_TRUE(p.gui.PumpUntil(
        [&] {
            p.port.DeliverPending();
            return lastCount == 960;
        },
        10s))
        << lastCount;
    feeder.join();
    // At most a read and its hold-off before the owner's first take; reading per hold-off
    // would be a dozen. Room for a thread still starting up on a loaded machine.
    EXPECT_LE(Sleeps("comm-rx") - switches0, 6);
    EXPECT_EQ(p.gui.MaxQueued(), 0u);
    EXPECT_EQ(p.port.ReadAll().size(), 960u);
}

TEST(CommPort, InputQueueHoldsOneBlockAndRefillsAfterRead) {
    Port p;
    int waiting = 0;
    p.port.OnRxChar = [&](TCustomCommPort*, int count) { waiting = count; };
    p.port.Open();
    p.pty.Write(std::string(600, 'a'));
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 600; }, 10s));
    p.pty.Write(std::string(900, 'a')); // only 400 of them fit
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 1000; }, 10s));
    EXPECT_TRUE(StaysAsleep("comm-rx")) << "a full queue must not make the thread spin";
    EXPECT_EQ(p.port.ReadAll().size(), 1000u);
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 500; }, 10s))
        << "the rest comes in once there is room";
    EXPECT_EQ(p.port.ReadAll().size(), 500u);

    // Full again, then purged: there is room, and new bytes are told without anyone reading first.
    p.port.SetRxHoldoffMs(0); // asleep then means waiting for room
    p.pty.Write(std::string(1100, 'b'));
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 1000 && Asleep("comm-rx"); }, 10s));
    p.port.PurgeAll();
    p.pty.Write("new");
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 3; }, 10s)) << "not told after the purge";
    EXPECT_EQ(p.port.ReadAll(), "new");
}

TEST(CommPort, OutputFullRaisesAfterWriteTimeoutAndPurgeClearsBothDirections) {
    Port p(1000, 4096);
    p.port.Open();
    const std::string chunk(4096, 'z');
    std::string error = "no error";
    size_t accepted = 0;
    auto t0 = steady_clock::now();
    for (int i = 0; i < 200 && error == "no error"; ++i) { // the test never reads the master side
        t0 = steady_clock::now();
        error = Message([&] { p.port.WriteString(chunk); });
        accepted += error == "no error" ? chunk.size() : 0;
    }
    EXPECT_EQ(error, "Output buffer is full. Please check comm status.");
    EXPECT_GE(steady_clock::now() - t0, 1000ms);

    bool stale = false;
    p.port.OnRxChar = [&](TCustomCommPort*, int) { stale = true; };
    p.pty.Write("stale input");
    ASSERT_TRUE(p.gui.PumpUntil([&] { return stale; }, 10s));
    p.port.PurgeAll();
    EXPECT_EQ(p.port.ReadAll(), "");
    // What already crossed to the other end stays there; what was still queued is dropped.
    EXPECT_TRUE(p.port.WriteString("fresh"));
    std::string out;
    const auto end = steady_clock::now() + 10s;
    while (out.find("fresh") == std::string::npos && steady_clock::now() < end)
        out += p.pty.Read(1 << 20, 100);
    ASSERT_EQ(out.size() >= 5 ? out.substr(out.size() - 5) : out, "fresh");
    EXPECT_EQ(out.find_first_not_of('z'), out.size() - 5) << "only whole bytes of the old data come before";
    EXPECT_LT(out.size() - 5, accepted) << "the queued rest was not dropped";
}

// Requests written while the far end is slow to read arrive whole and in the order of the calls,
// however the caller's own writes and the write thread's share the line, and also when the caller
// writes everything itself (direct writes).
TEST(CommPort, WritesArriveInCallOrderWhileTheFarEndReadsSlowly) {
    for (const bool direct : {false, true}) {
        Port p(1000, 64);
        p.port.Buffers.WriteTimeout = 60000;
        p.port.SetDirectWrite(direct);
        p.port.Open();
        const auto request = [](int i) { return "<" + std::to_string(i) + ">"; };
        std::string expected;
        constexpr int Requests = 20000; // far more than the terminal holds
        for (int i = 0; i < Requests; ++i)
            expected += request(i);
        std::thread writer([&] {
            for (int i = 0; i < Requests; ++i)
                p.port.WriteString(request(i));
        });
        std::string out;
        const auto end = steady_clock::now() + 60s;
        while (out.size() < expected.size() && steady_clock::now() < end) {
            // A few bytes at a time: the line stays full, and room comes in small pieces.
            pollfd ready{p.pty.Master(), POLLIN, 0};
            char piece[7];
            const ssize_t n = poll(&ready, 1, 1000) > 0 ? read(p.pty.Master(), piece, sizeof piece) : 0;
            out.append(piece, size_t(std::max<ssize_t>(n, 0)));
        }
        writer.join();
        const auto differs = std::mismatch(out.begin(), out.end(), expected.begin(), expected.end());
        EXPECT_EQ(out.size(), expected.size()) << "direct " << direct;
        EXPECT_TRUE(differs.first == out.end())
            << "direct " << direct << ": out of order from byte " << differs.first - out.begin() << ": "
            << out.substr(size_t(differs.first - out.begin()), 40);
    }
}

TEST(CommPort, HangupEndsTheThreadsQuietly) {
    Port p;
    int waiting = 0;
    p.port.OnRxChar = [&](TCustomCommPort*, int count) { waiting = count; };
    const int threadsBefore = CountEntries("/proc/self/task");
    p.port.Open();
    EXPECT_EQ(CountEntries("/proc/self/task"), threadsBefore + 2);
    p.pty.Write("last");
    ASSERT_TRUE(p.gui.PumpUntil([&] { return waiting == 4; }, 10s));
    p.pty.Hangup();
    EXPECT_TRUE(p.gui.PumpUntil([&] { return CountEntries("/proc/self/task") == threadsBefore; }, 10s));
    EXPECT_TRUE(p.port.IsOpen());
    EXPECT_EQ(p.port.ReadAll(), "last") << "what came before the unplug can still be read";
    EXPECT_NO_THROW(p.port.WriteString(std::string(5, 'x')));
    EXPECT_NO_THROW(p.port.WriteString(std::string(5, 'x')));
    EXPECT_NO_THROW(p.port.WriteString(std::string(5, 'x')));
    EXPECT_NO_THROW(p.port.PurgeAll());
    EXPECT_EQ(p.port.ReadAll(), "");
    p.port.Close();
    EXPECT_FALSE(p.port.IsOpen());
}

TEST(CommPort, TraceOnlyOnRequestNamesTheOpenAndTheHangup) {
    for (const bool on : {false, true}) {
        Port p;
        p.port.OnRxChar = [](TCustomCommPort*, int) {};
        if (on)
            setenv("DRGANIK_SERIAL_TRACE", "1", 1);
        const int threadsBefore = CountEntries("/proc/self/task");
        testing::internal::CaptureStderr();
        p.port.Open();
        p.pty.Hangup();
        p.gui.PumpUntil([&] { return CountEntries("/proc/self/task") <= threadsBefore; }, 10s);
        p.port.Close();
        const std::string trace = testing::internal::GetCapturedStderr();
        unsetenv("DRGANIK_SERIAL_TRACE");
        if (!on) {
            EXPECT_EQ(trace, "") << "off by default";
            continue;
        }
        EXPECT_NE(trace.find("drganik serial: opened " + p.pty.SlavePath() + "\n"), std::string::npos)
            << trace;
        EXPECT_NE(trace.find("drganik serial: receive ended: POLLHUP"), std::string::npos) << trace;
        EXPECT_NE(trace.find("drganik serial: write ended: POLLHUP"), std::string::npos) << trace;
    }
}

TEST(CommPort, ManyOpenCloseCyclesLeakNothing) {
    Port p;
    p.port.OnRxChar = [](TCustomCommPort*, int) {};
    p.port.Open();
    p.port.Close();
    p.gui.PumpUntil([] { return false; }, 10ms);
    const int fds = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    for (int i = 0; i < 200; ++i) {
        p.port.Open();
        if (i % 20 == 0) {
            p.pty.Write("x");
            p.port.WriteString("y");
        }
        p.port.Close();
    }
    p.gui.PumpUntil([] { return false; }, 20ms); // stale notifications of closed sessions are harmless
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
}
