#include "UucpLock.h"

#include "CommPortError.h"
#include "FdHandle.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The PID in a lock file: ten digits (HDB) or a binary int (old UUCP); 0 when unreadable.
pid_t LockHolder(const std::string& file) {
    // O_NONBLOCK and O_NOFOLLOW: a FIFO or link planted under the lock's name cannot hold us.
    FdHandle fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid())
        return 0;
    std::array<char, 32> text{};
    const ssize_t n = ::read(fd.Get(), text.data(), text.size());
    if (n == ssize_t(sizeof(int))) {
        int binary = 0;
        std::copy_n(text.data(), sizeof binary, reinterpret_cast<char*>(&binary));
        return binary > 0 ? pid_t(binary) : 0;
    }
    const char* p = text.data();
    const char* end = text.data() + std::max<ssize_t>(n, 0);
    while (p < end && *p == ' ')
        ++p;
    long pid = 0;
    const auto [stop, ec] = std::from_chars(p, end, pid);
    return ec == std::errc() && stop != p && pid > 0 && pid <= INT_MAX ? pid_t(pid) : 0;
}

bool Alive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

std::string ProgramName(pid_t pid) {
    FdHandle fd(::open(("/proc/" + std::to_string(pid) + "/comm").c_str(), O_RDONLY | O_CLOEXEC));
    std::array<char, 64> name{};
    const ssize_t n = fd.Valid() ? ::read(fd.Get(), name.data(), name.size() - 1) : -1;
    std::string text(name.data(), std::size_t(std::max<ssize_t>(n, 0)));
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.empty() ? "?" : text;
}

// Creates the lock holding our PID; false when it exists already.
bool Create(const std::string& file) {
    FdHandle fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.Valid())
        return false;
    std::array<char, 12> text{};
    const std::string pid = std::to_string(::getpid());
    std::fill_n(text.data(), 10 - std::min<std::size_t>(pid.size(), 10), ' ');
    std::copy(pid.begin(), pid.end(), text.data() + 10 - std::min<std::size_t>(pid.size(), 10));
    text[10] = '\n';
    if (::write(fd.Get(), text.data(), 11) != 11) {
        ::unlink(file.c_str());
        return false;
    }
    return true;
}

} // namespace

std::string UucpLockName(const std::string& devicePath) {
    char* real = ::realpath(devicePath.c_str(), nullptr);
    std::string name = real ? real : devicePath;
    std::free(real);
    if (name.rfind("/dev/", 0) == 0)
        name.erase(0, 5);
    for (char& c : name)
        if (c == '/')
            c = '_';
    return "LCK.." + name;
}

UucpLock UucpLock::Take(const std::string& devicePath, const std::string& folder) {
    UucpLock lock;
    const std::string file = folder + "/" + UucpLockName(devicePath);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Create(file)) {
            lock.file_ = file;
            return lock;
        }
        if (errno != EEXIST)
            return lock; // no lock folder, or not ours to write in: go on without
        const pid_t holder = LockHolder(file);
        if (holder == ::getpid())
            break; // our own, left by another port of this process: the device lock decides
        if (Alive(holder))
            throw ECommPortError("Port " + devicePath + " jest zajęty przez program " + ProgramName(holder) +
                                 " (PID " + std::to_string(holder) + ").");
        ::unlink(file.c_str()); // stale: its owner is gone
    }
    return lock;
}

UucpLock::~UucpLock() {
    Release();
}

UucpLock::UucpLock(UucpLock&& other) noexcept : file_(std::move(other.file_)) {
    other.file_.clear();
}

UucpLock& UucpLock::operator=(UucpLock&& other) noexcept {
    if (this != &other) {
        Release();
        file_ = std::move(other.file_);
        other.file_.clear();
    }
    return *this;
}

void UucpLock::Release() {
    if (!file_.empty())
        ::unlink(file_.c_str());
    file_.clear();
}
