#pragma once
// Reads a file by name within bounds: regular files only, opened without blocking
// (a FIFO would wait for a writer), and no more than a limit, so a device, a
// never-ending stream or a huge file costs no more than that.

#include <cstddef>
#include <string>

struct BoundedRead {
    enum class Outcome { Read, Missing, Refused };
    Outcome outcome = Outcome::Refused;
    std::string text;  // the file's first bytes, at most the limit
    bool more = false; // the file goes on beyond the text
};

BoundedRead ReadBounded(const std::string& path, std::size_t limit);
