#include "AtomicFile.h"

#include "WriteWhole.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The file a name stands for: a save changes a link's target and leaves the link
// in place. A dangling link gives the path it points to; a loop gives nothing.
std::optional<std::string> FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char to[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), to, sizeof to);
        if (n <= 0 || size_t(n) == sizeof to)
            return std::nullopt;
        const fs::path next(std::string(to, size_t(n)));
        path = next.is_absolute() ? next.string() : (fs::path(path).parent_path() / next).string();
    }
    return std::nullopt;
}

// errno tells why not, as for the calls around it.
bool WriteAll(int fd, const std::string& content) {
    if (const int error = WriteWhole(fd, content)) {
        errno = error;
        return false;
    }
    return true;
}

enum class Outcome { Written, Failed, NoTemporaryFile };

// A temporary file beside the target, renamed over it once complete.
Outcome Replace(const std::string& path, const std::string& content, const struct stat* old) {
    const fs::path target(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // "." + name + ".XXXXXX" must stay a valid name for the longest names too.
    const std::string name = target.filename().string();
    std::string temp = (dir / ("." + name.substr(0, NAME_MAX - 8) + ".XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return errno == EACCES || errno == EPERM ? Outcome::NoTemporaryFile : Outcome::Failed;

    mode_t mode;
    if (old) {
        mode = old->st_mode & 07777;
        // The new file must belong to the old one's group too, or the save goes in place.
        struct stat st {};
        if (fstat(fd, &st) != 0 || (st.st_gid != old->st_gid && fchown(fd, uid_t(-1), old->st_gid) != 0)) {
            close(fd);
            unlink(temp.c_str());
            return Outcome::NoTemporaryFile;
        }
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = WriteAll(fd, content) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return Outcome::Failed;
    }
    // Make the rename itself durable; the new content is complete either way.
    if (const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return Outcome::Written;
}

// The same file rewritten: owner, links and permissions stay. The room is taken first,
// so a full disk or a size limit fails before the old content is touched.
bool Rewrite(const std::string& path, const std::string& content) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ok = ok && (content.empty() || posix_fallocate(fd, 0, off_t(content.size())) == 0);
    ok = ok && WriteAll(fd, content) && ftruncate(fd, off_t(content.size())) == 0 && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    return ok;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    const auto target = FollowLinks(path);
    if (!target)
        return false;
    struct stat st {};
    const bool exists = stat(target->c_str(), &st) == 0;
    // Only a regular file is saved over: a FIFO or a device (say "/dev/null" typed into
    // the dialog) is neither replaced nor opened. A file the user may not write is
    // refused, whatever the folder allows.
    if (exists && (!S_ISREG(st.st_mode) || euidaccess(target->c_str(), W_OK) != 0))
        return false;
    // A new inode would cut the file's other links and take it from its owner.
    if (!(exists && (st.st_nlink > 1 || st.st_uid != geteuid()))) {
        const Outcome o = Replace(*target, content, exists ? &st : nullptr);
        if (o != Outcome::NoTemporaryFile || !exists)
            return o == Outcome::Written;
    }
    return Rewrite(*target, content);
}
