#include "DataFileLoad.h"

#include "BoundedRead.h"

namespace {

// 501 numbers need a few kilobytes; this leaves room for long padding and comments
// while a huge file, a device or a never-ending stream costs no more than this.
constexpr std::size_t ReadLimit = 1 << 20;

} // namespace

DataFileRead LoadDataFile(const std::string& path, SampleBuffer& samples) {
    const BoundedRead file = ReadBounded(path, ReadLimit);
    if (file.outcome != BoundedRead::Outcome::Read)
        return {};
    return ReadDataFile(file.text, samples, file.more);
}
