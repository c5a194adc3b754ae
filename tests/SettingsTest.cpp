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
                 "[disp]\nlw=2\nPC=0x0000FF\nFW=abc\n[ADVANCED]\nTimer=0x19\nSpow=0\n");
    const Settings s = ReadSettings(SettingsFile(dir.File("drganik.ini")));
    EXPECT_EQ(s.LW, 2);
    EXPECT_EQ(s.PC, 0xFF);
    EXPECT_TRUE(s.FW);
    EXPECT_EQ(s.Timer, 25);
    EXPECT_FALSE(s.Spow);
}

TEST(Settings, ANonIntegerFieldStopsTheSaveBeforeAdvanced) {
    TempDir dir;
    SettingsFile ini(dir.File("drganik.ini"));
    Settings s;
    s.LW = 2;
    int applied = 0;
    try {
        SaveSettings(ini, s, {"40", "abc", "20"}, [&](int ms) { applied = ms; });
        FAIL() << "no conversion error";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(applied, 40) << "the interval parsed before the bad field is in force";
    EXPECT_EQ(s.Timeout1, 20);
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
        EXPECT_TRUE(std::filesystem::is_directory(user.File("cfg")));
    }
    EXPECT_EQ(SettingsFilePath("/nonexistent-folder", dir.File("cfg")), dir.File("cfg") + "/drganik.ini");
}
