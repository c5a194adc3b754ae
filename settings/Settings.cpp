#include "Settings.h"

#include "SettingsFile.h"
#include "StrToInt.h"

Settings ReadSettings(const SettingsFile& settingsFile) {
    const IniSnapshot file = settingsFile.Load(); // all twelve from one reading
    Settings s;
    s.LW = file.ReadInteger("DISP", "LW", 1);
    s.BG = file.ReadInteger("DISP", "BG", 0);
    s.BFG = file.ReadInteger("DISP", "BFG", 0);
    s.CP = file.ReadInteger("DISP", "CP", 1);
    s.PC = file.ReadInteger("DISP", "PC", 0);
    s.PCF = file.ReadInteger("DISP", "PCF", 0);
    s.FW = file.ReadBool("DISP", "FW", true);
    s.WYSSTATUS = file.ReadBool("MISC", "WYSSTATUS", true);
    s.Czekaj1 = file.ReadInteger("ADVANCED", "Czekaj1", 20);
    s.Timeout1 = file.ReadInteger("ADVANCED", "Timeout1", 20);
    s.Timer = file.ReadInteger("ADVANCED", "Timer", 25);
    s.Spow = file.ReadBool("ADVANCED", "Spow", true);
    return s;
}

void SaveSettings(SettingsFile& file, Settings& s, const AdvancedFields& fields,
                  const std::function<void(int)>& applyTimer) {
    file.WriteInteger("DISP", "LW", s.LW);
    file.WriteInteger("DISP", "BG", s.BG);
    file.WriteInteger("DISP", "BFG", s.BFG);
    file.WriteInteger("DISP", "CP", s.CP);
    file.WriteInteger("DISP", "PC", s.PC);
    file.WriteInteger("DISP", "PCF", s.PCF);
    file.WriteBool("DISP", "FW", s.FW);
    file.WriteBool("MISC", "WYSSTATUS", s.WYSSTATUS);

    s.Timer = StrToInt(fields.Timer);
    if (applyTimer)
        applyTimer(s.Timer);
    s.Timeout1 = StrToInt(fields.Timeout);
    s.Czekaj1 = StrToInt(fields.Czekaj);

    file.WriteInteger("ADVANCED", "Timeout1", s.Timeout1);
    file.WriteInteger("ADVANCED", "Czekaj1", s.Czekaj1);
    file.WriteInteger("ADVANCED", "Timer", s.Timer);
    file.WriteBool("ADVANCED", "Spow", s.Spow);
}
