#include "DataFileLoad.h"

#include "DataFile.h"
#include "TempDir.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

TEST(DataFileLoad, OnlyRegularFilesAreReadAndAFifoDoesNotBlock) {
    TempDir dir;
    const auto fifo = dir.File("pipe.drg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    SampleBuffer s{};
    auto opened = std::async(std::launch::async, [&] { return LoadDataFile(fifo, s).ok; });
    if (opened.wait_for(10s) != std::future_status::ready) {
        close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK)); // lets the blocked open go
        FAIL() << "opening a FIFO waited for a writer";
    }
    EXPECT_FALSE(opened.get());

    ASSERT_EQ(symlink("/dev/zero", dir.File("zero.drg").c_str()), 0);
    EXPECT_FALSE(LoadDataFile(dir.File("zero.drg"), s).ok);
    EXPECT_FALSE(LoadDataFile(dir.path.string(), s).ok);
    EXPECT_FALSE(LoadDataFile(dir.File("missing.drg"), s).ok);
}

TEST(DataFileLoad, NumbersAreTakenFromTheStartOfTheFileOnly) {
    TempDir dir;
    SampleBuffer block{};
    for (int i = 0; i < 500; ++i)
        block[size_t(i)] = std::uint16_t(i * 7 % 1024);
    const std::string text = FormatDataFile(block, 9);

    // Lines padded with blanks and comments, as other tools may write them, read as before.
    std::string padded;
    for (size_t at = 0; at < text.size();) {
        const size_t eol = text.find("\r\n", at);
        padded += "   " + text.substr(at, eol - at) + "  ; " + std::string(900, 'c') + "\r\n";
        at = eol + 2;
    }
    TempDir::Put(dir.File("padded.drg"), padded);
    SampleBuffer s{};
    DataFileRead r = LoadDataFile(dir.File("padded.drg"), s);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.timebase, 9);
    EXPECT_EQ(s, block);

    // What follows the 501 numbers is never needed, however long.
    TempDir::Put(dir.File("long.drg"), text);
    ASSERT_EQ(truncate(dir.File("long.drg").c_str(), 1 << 30), 0); // sparse: no disk used
    s.fill(0);
    r = LoadDataFile(dir.File("long.drg"), s);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s, block);

    // Numbers that lie beyond what is read are refused, not taken for an early end.
    TempDir::Put(dir.File("late.drg"), std::string(2 << 20, '\n') + text);
    EXPECT_FALSE(LoadDataFile(dir.File("late.drg"), s).ok);

    // A file of exactly the 1 MiB read is read whole, its last number ending at its last byte;
    // one byte more and that number may go on past what is read.
    const std::string body = text.substr(0, text.find_last_not_of("\r\n") + 1);
    TempDir::Put(dir.File("full.drg"), std::string((1 << 20) - body.size(), '\n') + body);
    s.fill(0);
    r = LoadDataFile(dir.File("full.drg"), s);
    EXPECT_TRUE(r.ok) << "a file of the limit taken for a longer one";
    EXPECT_EQ(r.timebase, 9);
    EXPECT_EQ(s, block);
    TempDir::Put(dir.File("over.drg"), std::string((1 << 20) - body.size(), '\n') + body + "0");
    EXPECT_FALSE(LoadDataFile(dir.File("over.drg"), s).ok) << "a file past the limit taken for a whole one";
}
