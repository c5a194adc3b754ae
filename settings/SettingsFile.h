#pragma once
// The program's INI file: reads by section and key with defaults, and writes
// every change through to disk at once, replacing the file atomically.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The file's entries as read at one moment: any number of keys from one reading.
class IniSnapshot {
  public:
    explicit IniSnapshot(std::string text) : text_(std::move(text)) {}
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    // Raw text of an entry (trimmed); def when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;

  private:
    std::string text_;
};

class SettingsFile {
  public:
    // Until the file exists, reads come from `shared` (a file set up for every user),
    // and the first write starts from its text.
    explicit SettingsFile(std::string path, std::string shared = {});

    const std::string& FileName() const { return path_; }
    // Called over and over while a write waits for another holder's lock.
    void SetWhileWaiting(std::function<void()> whileWaiting) { whileWaiting_ = std::move(whileWaiting); }

    // One reading of the file. Only a regular file of sensible size is read: anything else
    // under its name (a FIFO, a device, a huge file) reads as no file.
    IniSnapshot Load() const;
    // Something is under the file's name that is not read as a settings file (too large,
    // not a regular file): every read gives the defaults.
    bool Unreadable() const { return !Text().has_value(); }
    // Each of these reads the file anew.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;

    // Raise std::runtime_error "Unable to write to <path>" when the file system refuses, when
    // the name holds something that is not read as a settings file, or when another holder
    // keeps the lock for longer than a moment.
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void WriteString(std::string_view section, std::string_view key, const std::string& value);

  private:
    std::optional<std::string> Text() const;
    std::string path_;
    std::string shared_;
    std::function<void()> whileWaiting_;
};

// An INI integer: decimal with optional sign, or hexadecimal after "0x"/"0X"
// when the text is longer than two characters; def when it does not parse.
int ParseIniInteger(std::string_view text, int def);

// The same rules on a file's text: an entry's value (def when missing), and the
// text with one entry set, every other line kept as it was.
std::string IniValue(const std::string& text, std::string_view section, std::string_view key,
                     const std::string& def);
std::string IniWithEntry(const std::string& text, std::string_view section, std::string_view key,
                         const std::string& value);
