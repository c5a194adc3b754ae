#include "SessionState.h"

#include "AtomicFile.h"
#include "BoundedRead.h"
#include "RangeTables.h"
#include "SettingsFile.h"
#include "TriggerLevel.h"
#include "ViewPosition.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr std::size_t MaxStateBytes = 64 * 1024;
constexpr const char* View = "Widok";
constexpr const char* Files = "Pliki";
constexpr const char* Lupa = "Lupa";
constexpr const char* Reference = "Wzorzec";
constexpr int MostAveraged = 256;
constexpr const char* WindowNames[] = {"Pomiary", "Przechwytywanie", "Lupa"};
constexpr int MaxWindowExtent = 100000; // far past any desktop; anything larger is garbage

int Ranged(const IniSnapshot& ini, const char* section, const char* key, int def, int low, int high) {
    return std::clamp(ini.ReadInteger(section, key, def), low, high);
}

std::optional<int> Optional(const IniSnapshot& ini, const std::string& section, const char* key, int low,
                            int high) {
    constexpr int missing = -2147483647 - 1;
    const int value = ini.ReadInteger(section, key, missing);
    if (value == missing || value < low || value > high)
        return std::nullopt;
    return value;
}

// One line's value may not break the file: no line ends, nothing past the printable.
std::string OneLine(std::string value) {
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return value;
}

void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0700); // existing ones stay as they are
}

// The reference's 500 samples in one line; anything else is no reference at all.
std::optional<ReferenceTrace> ReadReference(const IniSnapshot& ini) {
    std::istringstream words(ini.ReadString(Reference, "Probki", {}));
    ReferenceTrace r;
    int count = 0;
    for (std::string word; words >> word; ++count) {
        const int sample = ParseIniInteger(word, -1);
        if (count == BlockSamples || sample < 0 || sample > 1023)
            return std::nullopt;
        r.samples[std::size_t(count)] = std::uint16_t(sample);
    }
    if (count != BlockSamples)
        return std::nullopt;
    r.timebase = Ranged(ini, Reference, "TDz", 0, 0, int(TimebaseTable.size()) - 1);
    r.voltPosition = Ranged(ini, Reference, "VDz", 0, 0, int(VoltTable.size()) - 1);
    r.label = ini.ReadString(Reference, "Etykieta", {});
    return r;
}

} // namespace

std::string SessionStatePath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/drganik/session.ini";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/drganik/session.ini";
    return {};
}

std::optional<SessionState> ParseSessionState(const std::string& text) {
    const IniSnapshot ini(text);
    if (ini.ReadString(View, "VDz", {}).empty())
        return std::nullopt; // not a state file of ours
    SessionState s;
    s.volt = Ranged(ini, View, "VDz", 0, 0, int(VoltTable.size()) - 1);
    s.timebase = Ranged(ini, View, "TDz", 0, 0, int(TimebaseTable.size()) - 1);
    s.triggerMode = Ranged(ini, View, "Wyzwalanie", 0, 0, 2);
    s.level = Ranged(ini, View, "Poziom", MinTriggerLevel, MinTriggerLevel, MaxTriggerLevel);
    const VoltRow& row = VoltTable[std::size_t(s.volt)];
    s.positionMv = ClampPosition(ini.ReadInteger(View, "PozycjaMv", 0), row.MvPerRow, row.FullScaleVolts);
    for (const char* name : WindowNames) {
        const std::string section = std::string("Okno ") + name;
        WindowPlace place;
        place.open = ini.ReadBool(section, "Otwarte", false);
        place.x = Optional(ini, section, "X", -MaxWindowExtent, MaxWindowExtent);
        place.y = Optional(ini, section, "Y", -MaxWindowExtent, MaxWindowExtent);
        place.width = Optional(ini, section, "Szerokosc", 1, MaxWindowExtent);
        place.height = Optional(ini, section, "Wysokosc", 1, MaxWindowExtent);
        if (place.open || place.x)
            s.windows[name] = place;
    }
    s.folder = ini.ReadString(Files, "Folder", {});
    if (!s.folder.empty() && s.folder[0] != '/')
        s.folder.clear(); // only a whole path means anything to a dialog
    s.averaging = Ranged(ini, Lupa, "Usrednianie", 1, 1, MostAveraged);
    s.spectrumWindow = Ranged(ini, Lupa, "Okno", 0, 0, 2);
    s.dbScale = Ranged(ini, Lupa, "Skala", 0, 0, 1);
    s.reference = ReadReference(ini);
    return s;
}

std::optional<SessionState> ReadSessionState(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    const BoundedRead read = ReadBounded(path, MaxStateBytes);
    if (read.outcome != BoundedRead::Outcome::Read || read.more)
        return std::nullopt;
    return ParseSessionState(read.text);
}

std::string SessionStateText(const SessionState& s) {
    std::string text = "; Drganik: what the last run was showing. Deleting this file only forgets it.\n";
    const auto entry = [&text](const std::string& section, const char* key, const std::string& value) {
        text = IniWithEntry(text, section, key, OneLine(value));
    };
    entry(View, "VDz", std::to_string(s.volt));
    entry(View, "TDz", std::to_string(s.timebase));
    entry(View, "Wyzwalanie", std::to_string(s.triggerMode));
    entry(View, "Poziom", std::to_string(s.level));
    entry(View, "PozycjaMv", std::to_string(s.positionMv));
    for (const auto& [name, place] : s.windows) {
        const std::string section = "Okno " + name;
        entry(section, "Otwarte", place.open ? "1" : "0");
        const std::pair<const char*, std::optional<int>> values[] = {
            {"X", place.x}, {"Y", place.y}, {"Szerokosc", place.width}, {"Wysokosc", place.height}};
        for (const auto& [key, value] : values)
            if (value)
                entry(section, key, std::to_string(*value));
    }
    if (!s.folder.empty())
        entry(Files, "Folder", s.folder);
    entry(Lupa, "Usrednianie", std::to_string(s.averaging));
    entry(Lupa, "Okno", std::to_string(s.spectrumWindow));
    entry(Lupa, "Skala", std::to_string(s.dbScale));
    if (const auto& r = s.reference) {
        entry(Reference, "TDz", std::to_string(r->timebase));
        entry(Reference, "VDz", std::to_string(r->voltPosition));
        entry(Reference, "Etykieta", r->label);
        std::string samples;
        for (int i = 0; i < BlockSamples; ++i)
            samples += (i ? " " : "") + std::to_string(r->samples[std::size_t(i)]);
        entry(Reference, "Probki", samples);
    }
    return text;
}

bool WriteSessionState(const std::string& path, const SessionState& state) {
    if (path.empty())
        return false;
    MakeFolders(path);
    return WriteFileAtomically(path, SessionStateText(state));
}
