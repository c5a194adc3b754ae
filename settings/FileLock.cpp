#include "FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

FileLock::FileLock(const std::string& lockPath, std::chrono::milliseconds patience,
                   const std::function<void()>& whileWaiting) {
    // A link planted at the name must not make us create or open its target, and a FIFO
    // or a device is not even opened.
    struct stat st {};
    if (lstat(lockPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        refused_ = true;
        return;
    }
    constexpr int flags = O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | flags, 0666);
    if (fd_ < 0) // a folder that takes no new files may still hold the lock file
        fd_ = open(lockPath.c_str(), O_RDONLY | flags);
    if (fd_ < 0)
        return;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        refused_ = true;
        return;
    }
    // Another holder normally lets go within one save; one that does not must not freeze
    // the program, so the wait is short and then the save is refused.
    const auto until = std::chrono::steady_clock::now() + patience;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return; // no locking here (some network file systems): as without a lock file
        if (std::chrono::steady_clock::now() >= until) {
            refused_ = true;
            return;
        }
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        close(fd_); // releases the lock
}
