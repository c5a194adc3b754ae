#include "DataFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 501 numbers need a few kilobytes; this leaves room for long padding and comments
// while a huge file, a device or a never-ending stream costs no more than this.
constexpr std::size_t ReadLimit = 1 << 20;

} // namespace

DataFileRead LoadDataFile(const std::string& path, SampleBuffer& samples) {
    // Without O_NONBLOCK a FIFO would hold the program until someone writes to it.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::string text(ok ? ReadLimit + 1 : 0, '\0'); // one byte more tells whether more follows
    size_t got = 0;
    while (ok && got < text.size()) {
        const ssize_t n = read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n >= 0;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    ok = close(fd) == 0 && ok;
    if (!ok)
        return {};
    text.resize(got);
    const bool more = got > ReadLimit;
    if (more)
        text.resize(ReadLimit);
    return ReadDataFile(text, samples, more);
}
