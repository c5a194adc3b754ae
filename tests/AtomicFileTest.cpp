#include "AtomicFile.h"

#include "OrdinaryUser.h"
#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct stat Stat(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st;
}

int Entries(const std::filesystem::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

} // namespace

TEST(AtomicFile, LinksAreWrittenThroughAndTheTargetKeepsModeAndHardLinks) {
    TempDir dir;
    const auto target = dir.File("real.drg");
    TempDir::Put(target, "old");
    chmod(target.c_str(), 0640);
    ASSERT_EQ(symlink("real.drg", dir.File("link.drg").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.File("link.drg"), "new"));
    EXPECT_TRUE(S_ISLNK(Stat(dir.File("link.drg")).st_mode)) << "the link stays a link";
    EXPECT_EQ(TempDir::Get(target), "new");
    EXPECT_EQ(Stat(target).st_mode & 07777, 0640u);

    ASSERT_EQ(link(target.c_str(), dir.File("hard.drg").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(target, "newer"));
    EXPECT_EQ(TempDir::Get(dir.File("hard.drg")), "newer");
    EXPECT_EQ(Stat(target).st_nlink, 2u);

    ASSERT_EQ(symlink("made.drg", dir.File("dangling.drg").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.File("dangling.drg"), "made"));
    EXPECT_EQ(TempDir::Get(dir.File("made.drg")), "made");
    EXPECT_TRUE(S_ISLNK(Stat(dir.File("dangling.drg")).st_mode));

    for (const size_t length : {248u, 255u}) { // the temporary name must fit as well
        const auto name = dir.File(std::string(length - 4, 'n') + ".drg");
        EXPECT_TRUE(WriteFileAtomically(name, "1") && WriteFileAtomically(name, "2")) << length;
        EXPECT_EQ(TempDir::Get(name), "2");
    }
    EXPECT_EQ(Entries(dir.path), 7) << "no temporary file stays behind";
}

// A FIFO or a device is no file to save into: it is left as it is, never replaced or written to.
TEST(AtomicFile, ATargetThatIsNoRegularFileIsRefused) {
    TempDir dir;
    const auto fifo = dir.File("pipe.drg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("pipe.drg", dir.File("link.png").c_str()), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // a writer could open it
    EXPECT_FALSE(WriteFileAtomically(fifo, "new"));
    EXPECT_FALSE(WriteFileAtomically(dir.File("link.png"), "new"));
    char got = 0;
    EXPECT_LT(read(reader, &got, 1), 1) << "nothing was written into the FIFO";
    close(reader);
    EXPECT_TRUE(S_ISFIFO(Stat(fifo).st_mode));
    EXPECT_TRUE(S_ISLNK(Stat(dir.File("link.png")).st_mode));
    // As root a replaced device node would be a real loss ("/dev/null" typed into the dialog).
    const auto node = dir.File("null.csv");
    const bool made = geteuid() == 0 && mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (made) {
        EXPECT_FALSE(WriteFileAtomically(node, "new"));
        EXPECT_TRUE(S_ISCHR(Stat(node).st_mode));
    }
    EXPECT_EQ(Entries(dir.path), made ? 3 : 2) << "no temporary file stays behind";
}

TEST(AtomicFile, AnotherUsersFileKeepsItsOwner) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file to another user";
    TempDir dir;
    const auto file = dir.File("theirs.drg");
    TempDir::Put(file, "old");
    ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(TempDir::Get(file), "new");
    EXPECT_EQ(Stat(file).st_uid, 65534u);
    EXPECT_EQ(Stat(file).st_gid, 65534u);
}

TEST(AtomicFile, AnOrdinaryUsersPermissionsAreKept) {
    const ActingAsOrdinaryUser user;
    ASSERT_TRUE(user.Acting());
    TempDir dir;
    const auto readOnly = dir.File("read-only.drg");
    TempDir::Put(readOnly, "keep");
    chmod(readOnly.c_str(), 0444);
    EXPECT_FALSE(WriteFileAtomically(readOnly, "new"));
    EXPECT_EQ(TempDir::Get(readOnly), "keep");
    ASSERT_EQ(symlink("read-only.drg", dir.File("link.drg").c_str()), 0);
    EXPECT_FALSE(WriteFileAtomically(dir.File("link.drg"), "new")) << "nor through a link";
    EXPECT_EQ(Entries(dir.path), 2);

    // A folder that forbids new files: an existing writable file is rewritten in place.
    const auto writable = dir.File("writable.drg");
    TempDir::Put(writable, "a longer old content");
    chmod(writable.c_str(), 0604);
    chmod(dir.path.c_str(), 0555);
    EXPECT_TRUE(WriteFileAtomically(writable, "new"));
    EXPECT_EQ(TempDir::Get(writable), "new");
    EXPECT_EQ(Stat(writable).st_mode & 07777, 0604u);
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing.drg"), "new"));
    EXPECT_EQ(Entries(dir.path), 3);
}
