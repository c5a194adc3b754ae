#pragma once
// An exclusive advisory lock (flock) on a lock file, held while the object lives:
// two instances of the program then never interleave their read-modify-write of
// the same settings file. Without a lock file it can create or open, it holds nothing.

#include <chrono>
#include <functional>
#include <string>

class FileLock {
  public:
    // Waits at most `patience` for another holder to let go, calling `whileWaiting` between
    // tries (the program keeps painting there).
    explicit FileLock(const std::string& lockPath,
                      std::chrono::milliseconds patience = std::chrono::milliseconds(2000),
                      const std::function<void()>& whileWaiting = {});
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // What the lock guards must not go on: another holder kept it, or its name holds
    // a link or something other than a regular file.
    bool Refused() const { return refused_; }

  private:
    int fd_ = -1;
    bool refused_ = false;
};
