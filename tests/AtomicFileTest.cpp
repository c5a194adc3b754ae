#include "AtomicFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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
    if (geteuid() == 0)
        GTEST_SKIP() << "root bypasses file permissions; run as an ordinary user";
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
