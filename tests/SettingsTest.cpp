#include "Settings.h"

#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "StrToInt.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(Settings, DefaultsWithoutAFileAndSavedInTheDialogsOrder) {
    TempDir dir;
    SettingsFile ini(dir.File("drganik.ini"));
    Settings s = ReadSettings(ini);
    EXPECT_EQ(s.LW, 1);
    EXPECT_EQ(s.CP, 1);
    EXPECT_EQ(s.Timer, 25);
    EXPECT_EQ(s.Czekaj1, 20);
    EXPECT_EQ(s.Timeout1, 20);
    EXPECT_TRUE(s.FW && s.WYSSTATUS && s.Spow);
    EXPECT_FALSE(std::filesystem::exists(ini.FileName())) << "reading never creates the file";

    int applied = 0;
    SaveSettings(ini, s, {"30", "21", "22"}, [&](int ms) { applied = ms; }); // Timer, Timeout, Czekaj
    EXPECT_EQ(applied, 30);
    EXPECT_EQ(s.Timeout1, 21);
    EXPECT_EQ(s.Czekaj1, 22);
    EXPECT_EQ(TempDir::Get(ini.FileName()), "[DISP]\nLW=1\nBG=0\nBFG=0\nCP=1\nPC=0\nPCF=0\nFW=1\n"
                                            "[MISC]\nWYSSTATUS=1\n"
                                            "[ADVANCED]\nTimeout1=21\nCzekaj1=22\nTimer=30\nSpow=1\n");
}

TEST(Settings, HandWrittenValuesAreRead) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"),
                 "[disp]\nlw=2\nPC=0x0000FF\nFW=abc\n[ADVANCED]\nTimer=0x1E\nSpow=0\n");
    const Settings s = ReadSettings(SettingsFile(dir.File("drganik.ini")));
    EXPECT_EQ(s.LW, 2);
    EXPECT_EQ(s.PC, 0xFF);
    EXPECT_TRUE(s.FW);
    EXPECT_EQ(s.Timer, 30) << "hexadecimal";
    EXPECT_FALSE(s.Spow);
}

TEST(Settings, ANonIntegerFieldStopsTheSaveBeforeAdvanced) {
    TempDir dir;
    SettingsFile ini(dir.File("drganik.ini"));
    Settings s;
    s.LW = 2;
    int applied = 0;
    try {
        SaveSettings(ini, s, {"40", "abc", "23"}, [&](int ms) { applied = ms; });
        FAIL() << "no conversion error";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(applied, 40) << "the interval parsed before the bad field is in force";
    EXPECT_EQ(s.Timeout1, 20);
    EXPECT_EQ(s.Czekaj1, 20) << "a field after the bad one was taken";
    EXPECT_EQ(ini.ReadInteger("DISP", "LW", 1), 2);
    EXPECT_EQ(ini.ReadString("ADVANCED", "Timer", "none"), "none");
}

TEST(Settings, StrToIntAcceptsWhatAFieldMayHold) {
    EXPECT_EQ(StrToInt("25"), 25);
    EXPECT_EQ(StrToInt("  -3"), -3);
    EXPECT_EQ(StrToInt("$19"), 25);
    EXPECT_EQ(StrToInt("0x19"), 25);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "25 ", "2147483648", "1e3", "0x", "$", "--1", "abc"})
        EXPECT_THROW(StrToInt(bad), std::invalid_argument) << bad;
}

TEST(Settings, FileLivesBesideTheProgramUnlessThatFolderIsReadOnly) {
    TempDir dir;
    EXPECT_EQ(SettingsFilePath(dir.path.string(), dir.File("user")), dir.File("drganik.ini"));
    if (geteuid() != 0) {
        std::filesystem::permissions(dir.path,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        TempDir user;
        EXPECT_EQ(SettingsFilePath(dir.path.string(), user.File("cfg")), user.File("cfg") + "/drganik.ini");
    }
    EXPECT_EQ(SettingsFilePath("/nonexistent-folder", dir.File("cfg")), dir.File("cfg") + "/drganik.ini");
    EXPECT_FALSE(std::filesystem::exists(dir.File("cfg"))) << "the folder waits for the first save";
}

// <prefix>/bin/drganik with its pictures in <prefix>/share/drganik/data: the settings file and its
// lock go to the user's folder, even when bin/ is writable (root), and only once the user saves;
// the file for every user, the first Drganik/drganik.ini of the system's configuration folders
// ($XDG_CONFIG_DIRS, absolute ones only), is read until then. A build tree has its pictures beside
// the program.
TEST(Settings, AnInstalledProgramNeverWritesBesideItself) {
    namespace fs = std::filesystem;
    TempDir prefix, home, system;
    const std::string bin = prefix.File("bin"), cfg = home.File("config/Drganik");
    const std::string xdgDirs = "etc/xdg:" + system.File("first") + ":" + system.File("second");
    fs::create_directories(prefix.path / "share/drganik/data");
    fs::create_directories(bin);
    TempDir::Put(prefix.File("share/drganik/data/p0.bmp"), "BM");
    EXPECT_EQ(ProgramSettingsFile(bin, xdgDirs), system.File("first") + "/Drganik/drganik.ini")
        << "none there yet: the first absolute folder's";
    EXPECT_EQ(ProgramSettingsFile(bin, ""), "/etc/xdg/Drganik/drganik.ini");
    fs::create_directories(system.path / "second/Drganik");
    TempDir::Put(system.File("second/Drganik/drganik.ini"), "[DISP]\nLW=2\n");
    const std::string shared = ProgramSettingsFile(bin, xdgDirs);
    EXPECT_EQ(shared, system.File("second/Drganik/drganik.ini"));

    EXPECT_TRUE(IsInstalledProgram(bin));
    const std::string path = SettingsFilePath(bin, cfg);
    EXPECT_EQ(path, cfg + "/drganik.ini");
    SettingsFile ini(path, shared);
    EXPECT_EQ(ReadSettings(ini).LW, 2) << "the file for every user is read";
    EXPECT_FALSE(fs::exists(home.File("config"))) << "nothing is created before a save";

    MakeSettingsFolder(path); // as the dialog's "Zapisz" does
    ini.WriteInteger("DISP", "BG", 3);
    EXPECT_EQ(SettingsFile(path).ReadInteger("DISP", "LW", 0), 2) << "the save starts from the shared file";
    EXPECT_TRUE(fs::exists(path + ".lock"));
    EXPECT_TRUE(fs::is_empty(bin)) << "nothing is written beside the program";
    EXPECT_EQ(TempDir::Get(shared), "[DISP]\nLW=2\n");

    fs::create_directories(bin + "/data");
    TempDir::Put(bin + "/data/p0.bmp", "BM");
    EXPECT_FALSE(IsInstalledProgram(bin)) << "pictures beside the program: a build tree";
    EXPECT_EQ(SettingsFilePath(bin, cfg), bin + "/drganik.ini");
    EXPECT_EQ(ProgramSettingsFile(bin, xdgDirs), bin + "/drganik.ini");
}
