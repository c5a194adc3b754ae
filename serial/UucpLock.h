#pragma once
// The lock file serial terminal programs agree on: LCK..<device> in the lock
// folder, holding the owner's PID as ten right-aligned digits and a line end.
// A lock of a live process keeps us out; one of a dead process is taken over.
// Best effort where the folder is missing or closed to us: no lock, no error.

#include <string>

class UucpLock {
  public:
    UucpLock() = default;
    ~UucpLock();
    UucpLock(UucpLock&& other) noexcept;
    UucpLock& operator=(UucpLock&& other) noexcept;
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    // The lock of the device at devicePath in folder; throws ECommPortError naming the
    // program and PID that hold it.
    static UucpLock Take(const std::string& devicePath, const std::string& folder);
    bool Held() const { return !file_.empty(); }

  private:
    void Release();
    std::string file_; // empty: none held
};

// "LCK..ttyUSB0" for /dev/ttyUSB0 (links followed), "LCK..pts_3" for /dev/pts/3.
std::string UucpLockName(const std::string& devicePath);

inline constexpr const char* DefaultLockFolder = "/run/lock";
