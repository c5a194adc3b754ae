#include "DeviceAccess.h"

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <vector>

std::string AccessGroup(const std::string& path) {
    struct stat st {};
    constexpr mode_t readWrite = S_IRGRP | S_IWGRP;
    if (::stat(path.c_str(), &st) != 0 || st.st_gid == 0 || (st.st_mode & readWrite) != readWrite)
        return {};
    // The reentrant lookup: the answer must not be overwritten by another thread's lookup.
    std::vector<char> buffer(1024);
    group entry{};
    group* result = nullptr;
    int err;
    while ((err = ::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &result)) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    return err == 0 && result ? result->gr_name : std::string();
}

std::string AccessHintText(const std::string& path, const std::string& group) {
    return "Dostęp do " + path + " ma grupa " + group +
           ": dodaj swoje konto do tej grupy (sudo usermod -aG " + group + " $USER) i zaloguj się ponownie.";
}
