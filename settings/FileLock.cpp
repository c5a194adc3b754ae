#include "FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const std::string& lockPath) {
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ < 0) // a folder that takes no new files may still hold the lock file
        fd_ = open(lockPath.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        close(fd_); // releases the lock
}
