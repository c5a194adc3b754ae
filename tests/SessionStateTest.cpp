// The session's state file: what is written reads back the same, and a file that cannot be
// trusted reads as none, or with every value brought into its range, without waiting or harm.

#include "SessionState.h"

#include "TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(SessionState, ReadsBackWhatWasWrittenIntoAFolderOnlyTheUserEnters) {
    TempDir dir;
    SessionState s;
    s.volt = 2;
    s.timebase = 7;
    s.triggerMode = 1;
    s.level = 512;
    s.positionMv = 3000;
    s.windows["Pomiary"] = {true, 1200, 40, 150, 220};
    s.windows["Przechwytywanie"] = {false, -1900, 300, 400, 300}; // on a screen left of the first
    s.folder = "/home/ala/pomiary\nz nową linią";
    s.averaging = 64;
    s.spectrumWindow = 1;
    s.dbScale = 1;
    ReferenceTrace r;
    for (int i = 0; i < 500; ++i)
        r.samples[size_t(i)] = std::uint16_t(i * 2);
    r.timebase = 3;
    r.voltPosition = 1;
    r.label = "Wzorzec: sinus 1 kHz";
    s.reference = r;
    const std::string path = dir.File("state/drganik/session.ini");
    ASSERT_TRUE(WriteSessionState(path, s));
    struct stat folder {};
    ASSERT_EQ(stat(dir.File("state/drganik").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    const auto back = ReadSessionState(path);
    ASSERT_TRUE(back);
    s.folder = "/home/ala/pomiary z nową linią"; // a line end would have broken the file
    EXPECT_EQ(*back, s);
}

TEST(SessionState, UntrustedFilesReadAsNoneOrWithinRange) {
    TempDir dir;
    EXPECT_FALSE(ReadSessionState(dir.File("missing.ini")));
    EXPECT_FALSE(ReadSessionState(""));
    const std::string fifo = dir.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadSessionState(fifo)) << "a FIFO is not waited on";
    EXPECT_FALSE(ReadSessionState(dir.path.string())) << "a folder";
    const std::string huge = dir.File("huge.ini");
    TempDir::Put(huge, "[Widok]\nVDz=1\n" + std::string(1 << 20, ';'));
    EXPECT_FALSE(ReadSessionState(huge));
    EXPECT_FALSE(ParseSessionState(std::string("\x7f"
                                               "ELF\0\x01garbage",
                                               12)));
    EXPECT_FALSE(ParseSessionState("[Okno Pomiary]\nOtwarte=1\n")) << "no view: not ours";

    const auto wild = ParseSessionState("[Widok]\nVDz=99\nTDz=-4\nWyzwalanie=7\nPoziom=0x7fffffff\n"
                                        "PozycjaMv=123456\n[Okno Lupa]\nOtwarte=1\nX=99999999\nY=5\n"
                                        "Szerokosc=-3\n[Pliki]\nFolder=wzgledny/folder\n");
    ASSERT_TRUE(wild);
    EXPECT_EQ(wild->volt, 3);
    EXPECT_EQ(wild->timebase, 0);
    EXPECT_EQ(wild->triggerMode, 2);
    EXPECT_EQ(wild->level, 1023);
    EXPECT_EQ(wild->positionMv, 9000) << "0,1 V/dz: the view's top at 10 V";
    EXPECT_EQ(wild->windows.at("Lupa"), (WindowPlace{true, std::nullopt, 5, std::nullopt, std::nullopt}));
    EXPECT_EQ(wild->folder, "");
    EXPECT_EQ(wild->averaging, 1);
    EXPECT_FALSE(wild->reference);
    const std::string samples499 = [] {
        std::string s;
        for (int i = 0; i < 499; ++i)
            s += "1 ";
        return s;
    }();
    for (const std::string& bad : {samples499, samples499 + "1 1", samples499 + "1024", samples499 + "x"})
        EXPECT_FALSE(ParseSessionState("[Widok]\nVDz=0\n[Wzorzec]\nProbki=" + bad + "\n")->reference)
            << "a reference is 500 samples of 0..1023 or none";
    EXPECT_TRUE(ParseSessionState("[Widok]\nVDz=0\n[Wzorzec]\nProbki=" + samples499 + "1023\n")->reference);
}

TEST(SessionState, LivesUnderTheUsersStateFolder) {
    const char* oldState = std::getenv("XDG_STATE_HOME");
    const std::string kept = oldState ? oldState : "", home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_STATE_HOME", "/tmp/st", 1);
    EXPECT_EQ(SessionStatePath(), "/tmp/st/drganik/session.ini");
    setenv("XDG_STATE_HOME", "relative", 1); // not an absolute path: as if unset
    setenv("HOME", "/home/ala", 1);
    EXPECT_EQ(SessionStatePath(), "/home/ala/.local/state/drganik/session.ini");
    oldState ? setenv("XDG_STATE_HOME", kept.c_str(), 1) : unsetenv("XDG_STATE_HOME");
    setenv("HOME", home.c_str(), 1);
}
