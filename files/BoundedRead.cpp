#include "BoundedRead.h"

#include "RegularFile.h"

#include <cerrno>
#include <unistd.h>

BoundedRead ReadBounded(const std::string& path, std::size_t limit) {
    BoundedRead r;
    const OpenedFile file = OpenRegularForReading(path);
    if (!file.file.IsOpen()) {
        if (file.error == ENOENT)
            r.outcome = BoundedRead::Outcome::Missing;
        return r;
    }
    r.text.resize(limit + 1); // one byte more tells whether more follows
    std::size_t got = 0;
    while (got < r.text.size()) {
        const ssize_t n = read(file.file.Get(), r.text.data() + got, r.text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {};
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    r.outcome = BoundedRead::Outcome::Read;
    r.more = got > limit;
    r.text.resize(r.more ? limit : got);
    return r;
}
