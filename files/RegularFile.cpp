#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// O_NONBLOCK only for the open: a FIFO then answers at once (or, for a writer with
// no reader, fails with ENXIO); a regular file's reads and writes ignore it anyway.
OpenedFile OpenRegular(const std::string& path, int flags) {
    OpenedFile r;
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        r.error = errno;
        r.notRegular = r.error == ENXIO || r.error == EISDIR;
        return r;
    }
    FileHandle file(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        r.error = errno;
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.notRegular = true;
        return r;
    }
    r.file = std::move(file);
    return r;
}

} // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (fd_ >= 0)
        close(fd_);
}

int FileHandle::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

OpenedFile OpenRegularForReading(const std::string& path) {
    return OpenRegular(path, O_RDONLY);
}

OpenedFile CreateRegularForWriting(const std::string& path) {
    // No O_TRUNC: the file is emptied only once it is known to be a regular one.
    OpenedFile r = OpenRegular(path, O_WRONLY | O_CREAT);
    if (r.file.IsOpen() && ftruncate(r.file.Get(), 0) != 0) {
        r.error = errno;
        r.file = FileHandle();
    }
    return r;
}
