#pragma once
// Opening a file the program reads or writes by name, regular files only: a FIFO
// would hold the program until another process opens its other end, and a device
// (a link to /dev/zero) never ends. They are refused without waiting.

#include <string>

// A file descriptor that closes itself.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(FileHandle&& other) noexcept : fd_(other.Release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    int Release();

  private:
    int fd_ = -1;
};

struct OpenedFile {
    FileHandle file;         // open on success
    bool notRegular = false; // a FIFO, a device or a folder, left untouched
    int error = 0;           // errno of a failed open otherwise
};

// An existing regular file, for reading.
OpenedFile OpenRegularForReading(const std::string& path);
// A regular file created or emptied for writing (through links); anything else is
// refused before a byte of it changes.
OpenedFile CreateRegularForWriting(const std::string& path);
