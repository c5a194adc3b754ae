#include "Settings.h"

#include "SettingsFile.h"
#include "StrToInt.h"

#include <algorithm>

Settings ReadSettings(const SettingsFile& settingsFile) {
    const IniSnapshot file = settingsFile.Load(); // all twelve from one reading
    Settings s;                                   // the defaults, kept where a key is missing
    s.LW = file.ReadInteger("DISP", "LW", s.LW);
    s.BG = file.ReadInteger("DISP", "BG", s.BG);
    s.BFG = file.ReadInteger("DISP", "BFG", s.BFG);
    s.CP = file.ReadInteger("DISP", "CP", s.CP);
    s.PC = file.ReadInteger("DISP", "PC", s.PC);
    s.PCF = file.ReadInteger("DISP", "PCF", s.PCF);
    s.FW = file.ReadBool("DISP", "FW", s.FW);
    s.WYSSTATUS = file.ReadBool("MISC", "WYSSTATUS", s.WYSSTATUS);
    s.Czekaj1 = file.ReadInteger("ADVANCED", "Czekaj1", s.Czekaj1);
    s.Timeout1 = file.ReadInteger("ADVANCED", "Timeout1", s.Timeout1);
    s.Timer = file.ReadInteger("ADVANCED", "Timer", s.Timer);
    s.Spow = file.ReadBool("ADVANCED", "Spow", s.Spow);
    // A key of its own section, so the settings dialog keeps its layout.
    s.HistoryLength =
        std::clamp(file.ReadInteger("Przechwytywanie", "Historia", s.HistoryLength), 0, MaxHistoryLength);
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
