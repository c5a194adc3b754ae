#include "SettingsFile.h"

#include "OrdinaryUser.h"
#include "Settings.h"
#include "TempDir.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The message of the error a write raises; empty when it went through.
std::string WriteError(SettingsFile& ini) {
    try {
        ini.WriteInteger("DISP", "LW", 1);
        return {};
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

} // namespace

TEST(SettingsFile, IntegerValuesFollowTheReadingRules) {
    TempDir dir;
    const auto file = dir.File("drganik.ini");
    TempDir::Put(file, "[disp]\r\nlw=2\r\n Hex = 0x19 \r\nBig=0XFFFFFFFF\r\nshort=0x\r\nabc=abc\r\n"
                       "neg=-7\r\nplus=+5\r\nover=2147483648\r\nempty=\r\ntrail=12ab\r\n"
                       "[MISC]\r\nFW=2\r\nOFF=0\r\n");
    const SettingsFile ini(file);
    EXPECT_EQ(ini.ReadInteger("DISP", "LW", 1), 2) << "section and key compare without case";
    EXPECT_EQ(ini.ReadInteger("Disp", "hex", 0), 25);
    EXPECT_EQ(ini.ReadInteger("DISP", "Big", 0), -1) << "hex spells the 32-bit pattern";
    EXPECT_EQ(ini.ReadInteger("DISP", "short", 9), 9) << "\"0x\" alone is not a number";
    EXPECT_EQ(ini.ReadInteger("DISP", "abc", 9), 9);
    EXPECT_EQ(ini.ReadInteger("DISP", "neg", 9), -7);
    EXPECT_EQ(ini.ReadInteger("DISP", "plus", 9), 5);
    EXPECT_EQ(ini.ReadInteger("DISP", "over", 9), 9);
    EXPECT_EQ(ini.ReadInteger("DISP", "empty", 9), 9);
    EXPECT_EQ(ini.ReadInteger("DISP", "trail", 9), 9);
    EXPECT_EQ(ini.ReadInteger("DISP", "missing", 9), 9);
    EXPECT_EQ(ini.ReadInteger("NOPE", "LW", 9), 9);
    EXPECT_EQ(ini.ReadInteger("MISC", "LW", 9), 9) << "a key counts only in its own section";
    EXPECT_TRUE(ini.ReadBool("MISC", "FW", false)) << "any non-zero integer is true";
    EXPECT_FALSE(ini.ReadBool("MISC", "OFF", true));
    EXPECT_TRUE(ini.ReadBool("DISP", "abc", true)) << "unparsable gives the default";
    EXPECT_EQ(SettingsFile(dir.File("none.ini")).ReadInteger("DISP", "LW", 1), 1);
}

TEST(SettingsFile, WritesKeepEveryOtherLineAndCreateWhatIsMissing) {
    TempDir dir;
    const auto file = dir.File("drganik.ini");
    TempDir::Put(file, "; my notes\r\n[PORTS]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[disp]\r\nLw = 1\r\nBG=3\r\n\r\n");
    SettingsFile ini(file);
    ini.WriteInteger("DISP", "LW", 2);
    ini.WriteInteger("DISP", "PC", 255);
    ini.WriteBool("ADVANCED", "Spow", false);
    EXPECT_EQ(TempDir::Get(file),
              "; my notes\r\n[PORTS]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[disp]\r\nLw=2\r\nBG=3\r\n"
              "PC=255\r\n\r\n[ADVANCED]\r\nSpow=0\r\n");
    EXPECT_EQ(ini.ReadInteger("DISP", "LW", 1), 2);
    EXPECT_FALSE(ini.ReadBool("ADVANCED", "Spow", true));
    EXPECT_EQ(ini.ReadString("PORTS", "com1", ""), "/dev/ttyUSB0");

    // A hand-edited last line without its line end gets one before anything follows it.
    for (const char* section : {"DISP", "MISC"}) {
        TempDir::Put(file, "[DISP]\nLW=2");
        ini.WriteInteger(section, "BG", 3);
        EXPECT_EQ(ini.ReadInteger("DISP", "LW", 1), 2) << section;
        EXPECT_EQ(ini.ReadInteger(section, "BG", 1), 3) << section;
    }
    EXPECT_EQ(TempDir::Get(file), "[DISP]\nLW=2\n[MISC]\nBG=3\n");
    // Of two sections of one name only the first counts, for reading and for where a write lands.
    TempDir::Put(file, "[DISP]\nLW=2\n[disp]\nLW=3\nBG=4\n");
    EXPECT_EQ(ini.ReadInteger("DISP", "BG", 1), 1);
    ini.WriteInteger("DISP", "BG", 5);
    ini.WriteInteger("DISP", "LW", 6);
    EXPECT_EQ(TempDir::Get(file), "[DISP]\nLW=6\nBG=5\n[disp]\nLW=3\nBG=4\n");

    // A new file is created by the first write; no temporary files stay behind.
    SettingsFile fresh(dir.File("new.ini"));
    fresh.WriteInteger("DISP", "LW", 1);
    EXPECT_EQ(TempDir::Get(dir.File("new.ini")), "[DISP]\nLW=1\n");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path))
        ++files;
    EXPECT_EQ(files, 4) << "the two files and their lock files, nothing else";
}

TEST(SettingsFile, ReadOnlyFileRaisesAndReadOnlyFolderIsNoHindrance) {
    const ActingAsOrdinaryUser user;
    ASSERT_TRUE(user.Acting());
    TempDir dir;
    const auto file = dir.File("drganik.ini");
    TempDir::Put(file, "[DISP]\nLW=2\n");
    chmod(file.c_str(), 0444);
    SettingsFile ini(file);
    try {
        ini.WriteInteger("DISP", "LW", 1);
        FAIL() << "write over a read-only file succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + file);
    }
    EXPECT_EQ(TempDir::Get(file), "[DISP]\nLW=2\n");

    // A writable file in a folder that takes no new files is still saved.
    chmod(file.c_str(), 0644);
    std::filesystem::permissions(dir.path,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    ini.WriteInteger("DISP", "LW", 1);
    EXPECT_EQ(TempDir::Get(file), "[DISP]\nLW=1\n");
}

TEST(SettingsFile, RefusedWritesRaiseAndLeaveNoTemporaryFiles) {
    SettingsFile missing("/nonexistent-folder/drganik.ini");
    EXPECT_THROW(missing.WriteInteger("DISP", "LW", 1), std::runtime_error);

    // A target that cannot be replaced, even for root: the name is taken by a folder.
    TempDir dir;
    std::filesystem::create_directory(dir.File("drganik.ini"));
    SettingsFile blocked(dir.File("drganik.ini"));
    try {
        blocked.WriteBool("MISC", "WYSSTATUS", true);
        FAIL() << "write over a folder succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.File("drganik.ini"));
    }
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path))
        ++entries;
    EXPECT_EQ(entries, 2) << "the folder and the lock file, nothing else";
}

TEST(SettingsFile, TwoInstancesWritingAtOnceKeepEachOthersKeys) {
    TempDir dir;
    const auto file = dir.File("drganik.ini");
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0) {
            SettingsFile ini(file);
            for (int i = 0; i < 50; ++i)
                ini.WriteInteger(c ? "B" : "A", "K" + std::to_string(i), i);
            _exit(0);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const SettingsFile ini(file);
    int kept = 0;
    for (int i = 0; i < 50; ++i)
        kept += (ini.ReadInteger("A", "K" + std::to_string(i), -1) == i) +
                (ini.ReadInteger("B", "K" + std::to_string(i), -1) == i);
    EXPECT_EQ(kept, 100);
}

TEST(SettingsFile, AFileSetUpForEveryUserIsReadUntilTheUsersOwnExists) {
    TempDir program, user;
    const auto shared = program.File("drganik.ini");
    const std::string forAll = "[PORTS]\nCOM1=/dev/ttyUSB0\n[DISP]\nLW=2\n";
    TempDir::Put(shared, forAll);
    SettingsFile ini(user.File("drganik.ini"), shared);
    EXPECT_EQ(ini.ReadString("PORTS", "COM1", ""), "/dev/ttyUSB0");
    EXPECT_EQ(ini.ReadInteger("DISP", "LW", 1), 2);
    ini.WriteInteger("DISP", "CP", 3);
    EXPECT_EQ(TempDir::Get(user.File("drganik.ini")), forAll + "CP=3\n");
    EXPECT_EQ(TempDir::Get(shared), forAll) << "the file beside the program is left alone";
    TempDir::Put(shared, "[DISP]\nLW=1\n");
    EXPECT_EQ(ini.ReadInteger("DISP", "LW", 1), 2) << "the user's own file counts once it exists";
}

// A FIFO must not hold the program, a device or a huge file must not fill its memory: they read
// as no file at all, and a save is refused rather than replacing them or dropping their text.
TEST(SettingsFile, OnlyARegularFileOfSensibleSizeIsReadOrSavedOver) {
    TempDir dir;
    const auto fifo = dir.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto huge = dir.File("huge.ini");
    TempDir::Put(huge, "[DISP]\nLW=2\n");
    ASSERT_EQ(truncate(huge.c_str(), 2 << 20), 0); // sparse: no room taken on disk
    const auto zero = dir.File("zero.ini");
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    for (const auto& path : {fifo, huge, zero}) {
        SettingsFile ini(path);
        auto read = std::async(std::launch::async, [&] { return ini.ReadInteger("DISP", "LW", 1); });
        if (read.wait_for(10s) != std::future_status::ready) {
            close(open(path.c_str(), O_WRONLY | O_NONBLOCK)); // lets the blocked open go
            ADD_FAILURE() << path << ": reading waited for a writer";
            continue;
        }
        EXPECT_EQ(read.get(), 1) << path;
        EXPECT_EQ(ReadSettings(ini).LW, 1) << path;
        if (path != zero) { // as root a mistaken save would replace the real device
            EXPECT_EQ(WriteError(ini), "Unable to write to " + path);
        }
    }
    // The 1 MiB limit itself is a sensible size, read and saved over; one byte more is not.
    const std::string head = "[DISP]\nLW=2\n";
    for (const std::size_t size : {std::size_t(1) << 20, (std::size_t(1) << 20) + 1}) {
        const bool fits = size == 1 << 20;
        const auto path = dir.File(fits ? "full.ini" : "over.ini");
        TempDir::Put(path, head + std::string(size - head.size() - 1, ';') + "\n");
        SettingsFile ini(path);
        EXPECT_EQ(ReadSettings(ini).LW, fits ? 2 : 1) << size;
        EXPECT_EQ(WriteError(ini), fits ? "" : "Unable to write to " + path) << size;
    }
    struct stat st {};
    EXPECT_TRUE(lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(stat(huge.c_str(), &st) == 0 && st.st_size == 2 << 20);
}

// Another holder of the lock makes a save fail after a short wait, not freeze the program; a lock
// file that is a link or no file at all is never followed or used.
TEST(SettingsFile, AHeldOrOddLockFileRefusesTheSaveSoon) {
    TempDir dir;
    const auto file = dir.File("drganik.ini");
    const auto lock = file + ".lock";
    TempDir::Put(file, "[DISP]\nLW=2\n");
    SettingsFile ini(file);
    int turns = 0;
    ini.SetWhileWaiting([&] { ++turns; });
    const int holder = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    auto write = std::async(std::launch::async, [&] { return WriteError(ini); });
    const bool ended = write.wait_for(20s) == std::future_status::ready;
    close(holder); // lets a write that waits without limit go
    EXPECT_TRUE(ended) << "the save waited for the lock without limit";
    EXPECT_EQ(write.get(), "Unable to write to " + file);
    EXPECT_GE(turns, 2) << "the program was not given its turns while the save waited";

    std::filesystem::remove(lock);
    ASSERT_EQ(symlink("elsewhere", lock.c_str()), 0);
    EXPECT_EQ(WriteError(ini), "Unable to write to " + file);
    EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere")));
    std::filesystem::remove(lock);
    ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
    EXPECT_EQ(WriteError(ini), "Unable to write to " + file);
    EXPECT_EQ(TempDir::Get(file), "[DISP]\nLW=2\n");
}
