#pragma once
// Lines of an open file through a buffer of fixed size, from any offset on: memory
// does not depend on the file's size or on how long a line in it is. A line longer
// than the caller's limit is reported as such, not gathered.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class LineReader {
  public:
    enum class Result { Line, End, TooLong, Error };

    // Reads fd with pread from offset on; lines of at most maxLine bytes before their end.
    LineReader(int fd, std::uint64_t offset, std::size_t maxLine);

    // The next line without its "\n" (and without a "\r" before it); `ended` is false for
    // a last line that lacks its line end. The view lasts until the next call.
    Result Next(std::string_view& line, bool& ended);
    // Where the next line starts in the file.
    std::uint64_t Offset() const { return offset_ + start_; }

  private:
    int fd_;
    std::uint64_t offset_; // file offset of buffer_[0]
    std::size_t maxLine_;
    std::vector<char> buffer_;
    std::size_t start_ = 0; // first unread byte in buffer_
    std::size_t end_ = 0;   // end of the bytes read into buffer_
    bool eof_ = false;
};
