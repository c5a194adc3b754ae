#include "SettingsFile.h"

#include "AtomicFile.h"
#include "FileLock.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {

struct Line {
    std::string text; // without its line ending
    std::string eol;  // "\r\n", "\n" or "" for a last line without one
};

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || SectionName(line))
        return std::nullopt;
    return Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string LoadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<Line> SplitLines(const std::string& all) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < all.size()) {
        const auto nl = all.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back({all.substr(pos), ""});
            break;
        }
        size_t end = nl;
        std::string eol = "\n";
        if (end > pos && all[end - 1] == '\r') {
            --end;
            eol = "\r\n";
        }
        lines.push_back({all.substr(pos, end - pos), eol});
        pos = nl + 1;
    }
    return lines;
}

// Index of the first entry line of the first matching section, or npos-like results.
struct Place {
    std::optional<size_t> section; // header line
    std::optional<size_t> entry;   // the key's line
    size_t sectionEnd = 0;         // one past the last non-blank line of the section
};

Place Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i].text)) {
            if (inside)
                break; // only the first section of that name counts
            inside = SameName(*name, section);
            if (inside) {
                place.section = i;
                place.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!Trim(lines[i].text).empty())
            place.sectionEnd = i + 1;
        if (const auto e = EntryOf(lines[i].text); e && !place.entry && SameName(e->key, key))
            place.entry = i;
    }
    return place;
}

} // namespace

int ParseIniInteger(std::string_view text, int def) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // Hexadecimal covers the whole 32-bit pattern, so colours like 0x00FF00FF read back.
        std::uint64_t v = 0;
        const auto digits = text.substr(2);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
        if (ec != std::errc() || end != digits.data() + digits.size() || v > 0xFFFFFFFFu)
            return def;
        return int(std::int32_t(std::uint32_t(v)));
    }
    const bool plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-'))
        return def;
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
    if (ec != std::errc() || end != text.data() + text.size())
        return def;
    return v;
}

SettingsFile::SettingsFile(std::string path, std::string shared)
    : path_(std::move(path)), shared_(std::move(shared)) {}

std::string SettingsFile::Text() const {
    const bool own = shared_.empty() || access(path_.c_str(), F_OK) == 0;
    return LoadText(own ? path_ : shared_);
}

std::string IniValue(const std::string& text, std::string_view section, std::string_view key,
                     const std::string& def) {
    const auto lines = SplitLines(text);
    const auto place = Find(lines, section, key);
    if (!place.entry)
        return def;
    return std::string(EntryOf(lines[*place.entry].text)->value);
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     const std::string& def) const {
    return IniValue(Text(), section, key, def);
}

int SettingsFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const auto text = ReadString(section, key, {});
    return text.empty() ? def : ParseIniInteger(text, def);
}

bool SettingsFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void SettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string IniWithEntry(const std::string& text, std::string_view section, std::string_view key,
                         const std::string& value) {
    auto lines = SplitLines(text);
    // New lines follow the file's own line endings.
    std::string eol = "\n";
    for (const auto& l : lines)
        if (!l.eol.empty()) {
            eol = l.eol;
            break;
        }
    const auto place = Find(lines, section, key);
    if (place.entry) {
        auto& line = lines[*place.entry].text;
        line = std::string(EntryOf(line)->key) + "=" + value;
    } else {
        if (!lines.empty() && lines.back().eol.empty())
            lines.back().eol = eol;
        const Line entry{std::string(key) + "=" + value, eol};
        if (place.section) {
            lines.insert(lines.begin() + std::ptrdiff_t(place.sectionEnd), entry);
        } else {
            lines.push_back({"[" + std::string(section) + "]", eol});
            lines.push_back(entry);
        }
    }
    std::string content;
    for (const auto& l : lines)
        content += l.text + l.eol;
    return content;
}

void SettingsFile::WriteString(std::string_view section, std::string_view key, const std::string& value) {
    const FileLock lock(path_ + ".lock"); // from reading to renaming: another instance's keys stay
    if (!WriteFileAtomically(path_, IniWithEntry(Text(), section, key, value)))
        throw std::runtime_error("Unable to write to " + path_);
}
