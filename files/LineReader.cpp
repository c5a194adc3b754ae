#include "LineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t MinimumBuffer = 64 * 1024;

} // namespace

LineReader::LineReader(int fd, std::uint64_t offset, std::size_t maxLine)
    : fd_(fd), offset_(offset), maxLine_(maxLine), buffer_(std::max(MinimumBuffer, maxLine + 2)) {
} // the line, its "\r\n"

LineReader::Result LineReader::Next(std::string_view& line, bool& ended) {
    for (;;) {
        const char* begin = buffer_.data() + start_;
        const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', end_ - start_));
        if (lf || (eof_ && end_ > start_)) {
            std::size_t length = lf ? std::size_t(lf - begin) : end_ - start_;
            ended = lf != nullptr;
            start_ += length + (ended ? 1 : 0);
            if (ended && length > 0 && begin[length - 1] == '\r')
                --length;
            if (length > maxLine_)
                return Result::TooLong;
            line = std::string_view(begin, length);
            return Result::Line;
        }
        if (eof_)
            return Result::End;
        if (end_ - start_ > maxLine_ + 1) // no line end where one had to be
            return Result::TooLong;
        // Keep the unread part, then fill the rest of the buffer.
        std::memmove(buffer_.data(), begin, end_ - start_);
        offset_ += start_;
        end_ -= start_;
        start_ = 0;
        const ssize_t n = pread(fd_, buffer_.data() + end_, buffer_.size() - end_, off_t(offset_ + end_));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Result::Error;
        if (n == 0)
            eof_ = true;
        end_ += std::size_t(n);
    }
}
