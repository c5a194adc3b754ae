#include "WriteWhole.h"

#include <cerrno>
#include <unistd.h>

int WriteWhole(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n > 0)
            done += std::size_t(n);
        else if (n < 0 && errno != EINTR)
            return errno;
        else if (n == 0)
            return ENOSPC;
    }
    return 0;
}
