#include "Capture.h"

#include "RecordingFormat.h"
#include "RecordingReader.h"
#include "RecordingWriter.h"
#include "TempDir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Block n differs from every other in its samples and in what it was taken with.
CapturedBlock Numbered(int n) {
    CapturedBlock b;
    for (std::size_t i = 0; i < b.samples.size(); ++i)
        b.samples[i] = std::uint16_t((n * 7 + int(i)) % 1024);
    b.timeMs = 1714567331400 + n * 87;
    b.timebase = std::uint8_t(n % 16);
    b.voltRange = std::uint8_t(n % 4);
    b.triggerMode = std::uint8_t(n % 3);
    b.triggerLevel = std::uint16_t(1 + n % 1023);
    b.progressive = n % 2;
    return b;
}

std::vector<CapturedBlock> ReadAll(const std::string& path, RecordingRead& read) {
    std::vector<CapturedBlock> blocks;
    read = ReadRecording(path, [&](const CapturedBlock& b) { blocks.push_back(b); });
    return blocks;
}

} // namespace

TEST(CaptureHistory, KeepsTheNewestInOrderWithinItsLength) {
    History h(1000);
    for (int n = 0; n < 1001; ++n)
        h.Add(Numbered(n));
    ASSERT_EQ(h.Size(), 1000u);
    for (std::size_t i = 0; i < h.Size(); ++i)
        ASSERT_EQ(h.At(i), Numbered(int(i) + 1)) << "block " << i;
    EXPECT_THROW(h.At(1000), std::out_of_range);

    // Shortened after the ring has turned: the newest stay, oldest first.
    h.SetCapacity(3);
    ASSERT_EQ(h.Size(), 3u);
    EXPECT_EQ(h.At(0), Numbered(998));
    EXPECT_EQ(h.At(2), Numbered(1000));
    h.Add(Numbered(1001));
    EXPECT_EQ(h.At(0), Numbered(999));

    h.SetCapacity(0); // off: nothing kept
    h.Add(Numbered(1002));
    EXPECT_TRUE(h.Empty());
}

TEST(CaptureHistory, LiveBlocksBringALoadedRecordingBackToTheSetLength) {
    TempDir dir;
    std::string error, note;
    {
        auto w = RecordingWriter::Create(dir.File("r.drgn"), error);
        ASSERT_TRUE(w) << error;
        for (int n = 0; n < 5; ++n)
            ASSERT_TRUE(w->Append(Numbered(n)));
    }
    Capture c(2);
    c.Take(Numbered(100));
    ASSERT_TRUE(c.LoadRecording(dir.File("r.drgn"), error, note)) << error;
    EXPECT_TRUE(note.empty());
    ASSERT_EQ(c.history.Size(), 5u); // all of it, beyond the set length
    EXPECT_EQ(c.history.At(4), Numbered(4));
    c.Take(Numbered(200));
    ASSERT_EQ(c.history.Size(), 2u);
    EXPECT_EQ(c.history.At(0), Numbered(4));
    EXPECT_EQ(c.history.At(1), Numbered(200));

    // A file that is no recording leaves the history as it was and says what it is.
    TempDir::Put(dir.File("data.drg"), "512\r\n3\r\n");
    EXPECT_FALSE(c.LoadRecording(dir.File("data.drg"), error, note));
    EXPECT_EQ(error, "To nie jest nagranie Drganika.");
    EXPECT_EQ(c.history.Size(), 2u);
}

TEST(CaptureRecording, ReadsBackWhatWasWrittenInItsDocumentedForm) {
    TempDir dir;
    std::string error;
    auto w = RecordingWriter::Create(dir.File("r.drgn"), error);
    ASSERT_TRUE(w);
    for (int n = 0; n < 4; ++n)
        ASSERT_TRUE(w->Append(Numbered(n)));
    const std::string text = TempDir::Get(dir.File("r.drgn"));
    EXPECT_EQ(w->Bytes(), text.size());
    EXPECT_EQ(text.rfind("Drganik nagranie 1\n#", 0), 0u);
    // Block 2 (Numbered(1)): its header, then its samples space-separated.
    EXPECT_NE(text.find("\nB 2 1714567331487 "), std::string::npos);
    EXPECT_NE(text.find(" 1 1 1 2 P\n7 8 9 10 "), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 2 * 4);

    RecordingRead read;
    const auto blocks = ReadAll(dir.File("r.drgn"), read);
    EXPECT_TRUE(read.recording);
    EXPECT_TRUE(read.error.empty()) << read.error;
    ASSERT_EQ(blocks.size(), 4u);
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(blocks[std::size_t(n)], Numbered(n));

    // Damage inside: the blocks before it, and where. A header field is damaged too when its
    // value lies outside its table (V/dz 4 of the positions 0..3).
    const std::size_t third = text.find("\nB 3 ") + 1;
    std::string header = text.substr(third, text.find('\n', third) - third);
    std::size_t volt = 0;
    for (int field = 0; field < 5; ++field)
        volt = header.find(' ', volt) + 1;
    header.replace(volt, header.find(' ', volt) - volt, "4");
    for (const std::string& line :
         {"X" + text.substr(third + 1, text.find('\n', third) - third - 1), header}) {
        std::string damaged = text;
        damaged.replace(third, text.find('\n', third) - third, line);
        TempDir::Put(dir.File("d.drgn"), damaged);
        EXPECT_EQ(ReadAll(dir.File("d.drgn"), read).size(), 2u) << line;
        EXPECT_FALSE(read.cutShort);
        EXPECT_NE(read.error.find("wierszu 7"), std::string::npos) << read.error;
    }
}

TEST(CaptureRecording, AKilledRecorderLeavesEveryWholeBlockReadable) {
    TempDir dir;
    const std::string path = dir.File("r.drgn");
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::string error;
        auto w = RecordingWriter::Create(path, error);
        for (int n = 0; w; ++n)
            w->Append(Numbered(n));
        _exit(1);
    }
    // Killed at whatever point of a write it has reached, once a good many blocks are in.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::error_code ec;
    const auto written = [&] {
        return std::filesystem::exists(path, ec) ? std::filesystem::file_size(path, ec) : 0;
    };
    while (written() < 200000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string text = TempDir::Get(path);
    ASSERT_GT(text.size(), 200000u);
    const auto whole = std::size_t(std::count(text.begin(), text.end(), '\n') - 2) / 2;
    ASSERT_GT(whole, 50u);
    RecordingRead read;
    auto blocks = ReadAll(path, read);
    ASSERT_EQ(blocks.size(), whole);
    for (std::size_t n = 0; n < whole; ++n)
        ASSERT_EQ(blocks[n], Numbered(int(n))) << "block " << n;

    // Had the kill come inside the write of a block, the file would end in its first part.
    std::size_t end = 0;
    for (std::size_t line = 0; line < 2 + 2 * whole; ++line)
        end = text.find('\n', end) + 1;
    const std::size_t lastHeader = text.rfind("\nB ", end - 2);
    TempDir::Put(path, text.substr(0, lastHeader + 700));
    blocks = ReadAll(path, read);
    EXPECT_EQ(blocks.size(), whole - 1);
    EXPECT_TRUE(read.cutShort);
    EXPECT_FALSE(read.error.empty());
}

// A full disk as the program meets it: a size limit, its signal ignored as the program does.
TEST(CaptureRecording, AFullDiskKeepsTheWholeBlocksAndSaysSo) {
    TempDir dir;
    const std::string path = dir.File("r.drgn");
    std::string block;
    AppendRecordedBlock(block, 1, Numbered(0));
    const rlim_t limit = RecordingPreamble().size() + block.size() * 7 / 2; // room for 3½ blocks
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        std::string error;
        auto w = RecordingWriter::Create(path, error);
        int appended = 0;
        while (w && appended < 10 && w->Append(Numbered(appended)))
            ++appended;
        const bool said = w && w->Failed() && w->Error() == "przekroczony dopuszczalny rozmiar pliku" &&
                          w->Bytes() == std::filesystem::file_size(path);
        _exit(appended + (said ? 100 : 0));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 103) << "3 blocks, then the failure reported with the file cut back";
    RecordingRead read;
    const auto blocks = ReadAll(path, read);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[2], Numbered(2));
    EXPECT_FALSE(read.cutShort) << "the part of block 4 that fitted was cut away";
}
