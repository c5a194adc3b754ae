#include "DataFile.h"

#include "IntegerText.h"

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

class Reader {
  public:
    Reader(std::string_view text, bool more)
        : text_(text.substr(0, text.find('\x1A'))), more_(more && text_.size() == text.size()) {}

    // One integer; 0 when the end comes first. Nothing when the text stops where more
    // would follow: the end of a prefix is not the end of the file.
    std::optional<std::int32_t> Integer() {
        while (pos_ < text_.size() && std::uint8_t(text_[pos_]) <= 0x20)
            ++pos_;
        if (pos_ == text_.size())
            return more_ ? std::nullopt : std::optional<std::int32_t>(0);
        const size_t start = pos_;
        while (pos_ < text_.size() && pos_ - start < 32 && std::uint8_t(text_[pos_]) > 0x20)
            ++pos_;
        if (more_ && pos_ == text_.size() && pos_ - start < 32)
            return std::nullopt;
        return ParseInt32(text_.substr(start, pos_ - start), true);
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
    bool more_;
    size_t pos_ = 0;
};

} // namespace

DataFileRead ReadDataFile(std::string_view text, SampleBuffer& samples, bool more) {
    DataFileRead result;
    Reader reader(text, more);
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
