#pragma once
// Move-only owner of a POSIX file descriptor.

#include <unistd.h>
#include <utility>

class FdHandle {
  public:
    FdHandle() = default;
    explicit FdHandle(int fd) : fd_(fd) {}
    FdHandle(FdHandle&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    FdHandle& operator=(FdHandle&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.fd_, -1));
        return *this;
    }
    FdHandle(const FdHandle&) = delete;
    FdHandle& operator=(const FdHandle&) = delete;
    ~FdHandle() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};
