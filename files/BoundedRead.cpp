#include "BoundedRead.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

BoundedRead ReadBounded(const std::string& path, std::size_t limit) {
    BoundedRead r;
    // Without O_NONBLOCK a FIFO would hold the program until someone writes to it.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            r.outcome = BoundedRead::Outcome::Missing;
        return r;
    }
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    r.text.resize(ok ? limit + 1 : 0); // one byte more tells whether more follows
    std::size_t got = 0;
    while (ok && got < r.text.size()) {
        const ssize_t n = read(fd, r.text.data() + got, r.text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n >= 0;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    ok = close(fd) == 0 && ok;
    if (!ok)
        return {};
    r.outcome = BoundedRead::Outcome::Read;
    r.more = got > limit;
    r.text.resize(r.more ? limit : got);
    return r;
}
