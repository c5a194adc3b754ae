#pragma once
// An exclusive advisory lock (flock) on a lock file, held while the object lives:
// two instances of the program then never interleave their read-modify-write of
// the same settings file. Without a lock file it can create or open, it holds nothing.

#include <string>

class FileLock {
  public:
    explicit FileLock(const std::string& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_ = -1;
};
