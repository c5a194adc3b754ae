#include "DataFile.h"

#include <cstdint>
#include <optional>

std::string FormatDataFile(const SampleBuffer& samples, int timebase) {
    std::string text;
    text.reserve(500 * 6 + 4);
    for (int i = 0; i < 500; ++i)
        text += std::to_string(samples[size_t(i)]) + "\r\n";
    text += std::to_string(timebase) + "\r\n";
    return text;
}

namespace {

// Signed 32-bit: optional sign, decimal digits, or hexadecimal after "$", "x", "X", "0x" or "0X".
std::optional<std::int32_t> ParseToken(std::string_view t) {
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    } else if (!t.empty() && (t[0] == '$' || t[0] == 'x' || t[0] == 'X')) {
        base = 16;
        t.remove_prefix(1);
    }
    if (t.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : t) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * std::uint64_t(base) + std::uint64_t(d);
        if (v > 0xFFFFFFFFu)
            return std::nullopt;
    }
    std::int64_t value;
    if (base == 16) {
        value = std::int32_t(std::uint32_t(v)); // hexadecimal spells the 32-bit pattern
    } else {
        if (v > (negative ? 2147483648u : 2147483647u))
            return std::nullopt;
        value = std::int64_t(v);
    }
    return std::int32_t(std::uint32_t(std::uint64_t(negative ? -value : value)));
}

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text.substr(0, text.find('\x1A'))) {}

    // One integer; 0 when the end comes first.
    std::optional<std::int32_t> Integer() {
        while (pos_ < text_.size() && std::uint8_t(text_[pos_]) <= 0x20)
            ++pos_;
        if (pos_ == text_.size())
            return 0;
        const size_t start = pos_;
        while (pos_ < text_.size() && pos_ - start < 32 && std::uint8_t(text_[pos_]) > 0x20)
            ++pos_;
        return ParseToken(text_.substr(start, pos_ - start));
    }

    void SkipLine() {
        while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r')
            ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
        } else if (pos_ < text_.size()) {
            ++pos_; // LF
        }
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace

DataFileRead ReadDataFile(std::string_view text, SampleBuffer& samples) {
    DataFileRead result;
    Reader reader(text);
    for (int k = 0; k <= 500; ++k) {
        const auto value = reader.Integer();
        if (!value)
            return result;
        reader.SkipLine();
        if (k < 500) {
            samples[size_t(k)] = std::uint16_t(std::uint32_t(*value) & 0xFFFF);
            result.samplesStored = k + 1;
        } else {
            result.timebase = *value;
        }
    }
    result.ok = true;
    return result;
}

std::string WithDataFileExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return path;
    return path + ".drg";
}
