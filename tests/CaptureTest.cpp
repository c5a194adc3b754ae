#include "Capture.h"

#include "BlockCsv.h"
#include "BlockExport.h"
#include "ClockText.h"
#include "RecordingFormat.h"
#include "RecordingIndex.h"
#include "RecordingReader.h"
#include "RecordingWriter.h"
#include "RegularFile.h"
#include "TempDir.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
    read = ReadRecording(path, [&](const CapturedBlock& b, std::uint64_t) {
        blocks.push_back(b);
        return true;
    });
    return blocks;
}

void WriteRecording(const std::string& path, int blocks) {
    std::string error;
    auto w = RecordingWriter::Create(path, error);
    ASSERT_TRUE(w) << error;
    for (int n = 0; n < blocks; ++n)
        ASSERT_TRUE(w->Append(Numbered(n)));
}

// Header line `n` (1 for the first block's) of a recording's text, as [begin, end).
std::pair<std::size_t, std::size_t> HeaderOf(const std::string& text, int n) {
    const std::size_t begin = text.find("\nB " + std::to_string(n) + " ") + 1;
    return {begin, text.find('\n', begin)};
}

std::uint64_t PeakResidentKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return std::uint64_t(u.ru_maxrss);
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

// A loaded recording takes the history's place and is read from disk block by block; live
// blocks close it again. A load that fails, wherever it fails, changes nothing.
TEST(CaptureHistory, ARecordingReplacesTheHistoryOnlyWhenItLoads) {
    TempDir dir;
    WriteRecording(dir.File("r.drgn"), 5);
    std::string error, note;
    Capture c(2);
    c.Take(Numbered(100));
    c.Take(Numbered(101));
    const std::string text = TempDir::Get(dir.File("r.drgn"));
    // Not a recording; damaged at its first block by a header of three or four fields, or of a
    // time beyond int64; no recording at all on disk.
    TempDir::Put(dir.File("data.drg"), "512\r\n3\r\n");
    const auto first = HeaderOf(text, 1);
    int variant = 0;
    for (const char* header : {"B 1 5", "B 1 5 x", "B 1 99999999999999999999 x 3 0 1 512 S"}) {
        std::string damaged = text;
        damaged.replace(first.first, first.second - first.first, header);
        TempDir::Put(dir.File("d" + std::to_string(variant++) + ".drgn"), damaged);
    }
    const char* damagedAtFirst = "Nagranie jest uszkodzone w wierszu 3.";
    for (const auto& [file, said] : {std::pair{"data.drg", "To nie jest nagranie Drganika."},
                                     {"d0.drgn", damagedAtFirst},
                                     {"d1.drgn", damagedAtFirst},
                                     {"d2.drgn", damagedAtFirst},
                                     {"none.drgn", "Nie mogę otworzyć pliku."}}) {
        EXPECT_FALSE(c.LoadRecording(dir.File(file), error, note)) << file;
        EXPECT_EQ(error, said) << file;
        ASSERT_EQ(c.Size(), 2u) << file;
        EXPECT_EQ(c.history.At(0), Numbered(100));
        EXPECT_EQ(c.history.At(1), Numbered(101));
    }

    ASSERT_TRUE(c.LoadRecording(dir.File("r.drgn"), error, note)) << error;
    EXPECT_TRUE(note.empty());
    EXPECT_TRUE(c.history.Empty()) << "the live blocks' memory goes";
    ASSERT_EQ(c.Size(), 5u); // all of it, beyond the set length
    CapturedBlock b;
    for (int n = 4; n >= 0; --n) {
        ASSERT_TRUE(c.Read(std::uint64_t(n), b));
        EXPECT_EQ(b, Numbered(n));
    }
    EXPECT_FALSE(c.Read(5, b));
    EXPECT_FALSE(c.LoadRecording(dir.File("d0.drgn"), error, note));
    ASSERT_EQ(c.Size(), 5u) << "the loaded recording stays after a failed load";

    // In the background: the history is untouched until it is finished.
    c.StartLoading(dir.File("d1.drgn"));
    ASSERT_TRUE(c.Loading());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!c.LoadFinished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(c.Size(), 5u);
    EXPECT_FALSE(c.FinishLoading(error, note));
    EXPECT_FALSE(c.Loading());
    EXPECT_EQ(c.Size(), 5u);

    // A live block closes the recording: the history starts again from it.
    c.Take(Numbered(200));
    ASSERT_EQ(c.Size(), 1u);
    EXPECT_EQ(c.history.At(0), Numbered(200));
}

// Whatever the recording's length, the index keeps no more than its entries, and every block
// is found from one of them.
TEST(CaptureRecording, TheIndexStaysWithinItsEntriesAndFindsEveryBlock) {
    RecordingIndex index(8);
    for (std::uint64_t n = 0; n < 1000; ++n) {
        index.Add(n * 10);
        ASSERT_LE(index.Entries(), 8u);
    }
    ASSERT_EQ(index.Size(), 1000u);
    for (std::uint64_t n = 0; n < 1000; ++n) {
        const RecordingIndex::Place p = index.Find(n);
        ASSERT_EQ(p.offset + 10 * p.skip, n * 10) << n;
        ASSERT_LT(p.skip, 128u) << n; // 1000 blocks in 8 entries: a stride of 128
    }

    // In a file: read on from a kept block, over comment lines, to the one asked for.
    TempDir dir;
    WriteRecording(dir.File("r.drgn"), 6);
    std::string text = TempDir::Get(dir.File("r.drgn"));
    text.insert(HeaderOf(text, 4).first, "# a note\n");
    TempDir::Put(dir.File("r.drgn"), text);
    std::vector<std::uint64_t> offsets;
    const RecordingRead read = ReadRecording(dir.File("r.drgn"), [&](const CapturedBlock&, std::uint64_t at) {
        offsets.push_back(at);
        return true;
    });
    ASSERT_EQ(offsets.size(), 6u) << read.error;
    EXPECT_EQ(offsets[3], HeaderOf(text, 4).first) << "the block, not the comment before it";
    const OpenedFile file = OpenRegularForReading(dir.File("r.drgn"));
    ASSERT_TRUE(file.file.IsOpen());
    CapturedBlock b;
    ASSERT_TRUE(ReadRecordedBlock(file.file.Get(), offsets[1], 4, b));
    EXPECT_EQ(b, Numbered(5));
    EXPECT_FALSE(ReadRecordedBlock(file.file.Get(), offsets[1], 5, b));
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

    // Saved with CR LF line ends (an editor, a copy through another system): the same blocks.
    std::string crlf;
    for (char ch : text)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    TempDir::Put(dir.File("crlf.drgn"), crlf);
    EXPECT_EQ(ReadAll(dir.File("crlf.drgn"), read), blocks) << read.error;
    EXPECT_TRUE(read.error.empty()) << read.error;

    // Damage inside: the blocks before it, and where. A header field is damaged too when its
    // value lies outside its table (T/dz 16 of 0..15, V/dz 4 of 0..3) or beyond int64 (the
    // time), and a line longer than any block's text is damage.
    const auto [third, thirdEnd] = HeaderOf(text, 3);
    const std::string header = text.substr(third, thirdEnd - third);
    const auto withField = [&](int field, const std::string& value) {
        std::size_t at = 0;
        for (int f = 0; f < field; ++f)
            at = header.find(' ', at) + 1;
        return header.substr(0, at) + value + header.substr(header.find(' ', at));
    };
    for (const std::string& line :
         {"X" + header.substr(1), withField(4, "16"), withField(5, "4"), withField(2, "99999999999999999999"),
          withField(2, "-99999999999999999999"), header + std::string(5000, ' ')}) {
        std::string damaged = text;
        damaged.replace(third, thirdEnd - third, line);
        TempDir::Put(dir.File("d.drgn"), damaged);
        EXPECT_EQ(ReadAll(dir.File("d.drgn"), read).size(), 2u) << line.substr(0, 60);
        EXPECT_FALSE(read.cutShort);
        EXPECT_EQ(read.error, "Nagranie jest uszkodzone w wierszu 7; wczytano bloki przed nim.");
    }
    // The lowest time is a time like any other.
    std::string damaged = text;
    damaged.replace(third, thirdEnd - third, withField(2, "-9223372036854775808"));
    TempDir::Put(dir.File("d.drgn"), damaged);
    ASSERT_EQ(ReadAll(dir.File("d.drgn"), read).size(), 4u) << read.error;
}

// What is no recording file is refused at once: a FIFO no one writes to, a link to an endless
// device, a huge file without line ends (read no further than a line may be long); and a
// recording is never started onto a FIFO or a device, which would wait or never end.
TEST(CaptureRecording, WhatIsNoRegularFileOrNoLinesIsRefusedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("fifo.drgn").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.drgn"));
    RecordingRead read;
    for (const char* name : {"fifo.drgn", "zero.drgn"}) {
        EXPECT_TRUE(ReadAll(dir.File(name), read).empty());
        EXPECT_EQ(read.error, "To nie jest zwykły plik.") << name;
        std::string error;
        EXPECT_FALSE(RecordingWriter::Create(dir.File(name), error)) << name;
        EXPECT_EQ(error, "to nie jest zwykły plik") << name;
    }

    // 400 MB with no line end after the first line: sparse on disk, so cheap to make.
    const std::string huge = dir.File("huge.drgn");
    TempDir::Put(huge, "Drganik nagranie 1\n");
    ASSERT_EQ(truncate(huge.c_str(), 400 << 20), 0);
    const std::uint64_t before = PeakResidentKb();
    EXPECT_TRUE(ReadAll(huge, read).empty());
    EXPECT_EQ(read.error, "Nagranie jest uszkodzone w wierszu 2.");
    EXPECT_LT(PeakResidentKb() - before, 50000u) << "kB more at the peak";
}

// A failed write says what failed in words, never as a number.
TEST(CaptureRecording, WriteErrorsAreWords) {
    EXPECT_EQ(WriteErrorText(EPIPE), "odbiorca zamknął połączenie");
    EXPECT_EQ(WriteErrorText(ENOSPC), "brak miejsca na dysku");
    // One not mapped here: the system's own text.
    EXPECT_EQ(WriteErrorText(EXDEV), std::string(strerror(EXDEV)));
}

// The readable time of a recording and the window's clock, under a fixed zone: summer and winter
// time, and the lowest time without overflow.
TEST(CaptureClock, LocalTimeTextsOfKnownInstants) {
    const std::string oldZone = getenv("TZ") ? getenv("TZ") : "";
    const bool hadZone = getenv("TZ") != nullptr;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    EXPECT_EQ(DateTimeText(1714567331400), "2024-05-01T14:42:11.400");
    EXPECT_EQ(DateTimeText(1704067200000 + 3723456), "2024-01-01T02:02:03.456");
    EXPECT_EQ(ClockText(1704067200000 + 3723456), "02:02:03.4");
    EXPECT_EQ(DateTimeText(-1), "1970-01-01T00:59:59.999");
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(ClockText(INT64_MIN), "16:47:04.1");
    hadZone ? setenv("TZ", oldZone.c_str(), 1) : unsetenv("TZ");
    tzset();
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

// Blocks streamed out: each kind as its extension says, a data file of exactly one block, and a
// table cut short by a size limit ending after its last whole block.
TEST(CaptureExport, WritesEachKindWholeBlockByBlock) {
    TempDir dir;
    EXPECT_EQ(ExportFormatOf("a.CSV"), ExportFormat::Samples);
    EXPECT_EQ(ExportFormatOf("a.drgn"), ExportFormat::Recording);
    EXPECT_EQ(ExportFormatOf("a.drg"), ExportFormat::DataFile);
    EXPECT_EQ(ExportFormatOf("a.png"), std::nullopt);

    int error = 0;
    auto recording = BlockExport::Create(dir.File("r.drgn"), ExportFormat::Recording, error);
    ASSERT_TRUE(recording);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(recording->Append(std::uint64_t(i + 7), Numbered(i)));
    ASSERT_TRUE(recording->Finish());
    RecordingRead read;
    EXPECT_EQ(ReadAll(dir.File("r.drgn"), read), (std::vector{Numbered(0), Numbered(1), Numbered(2)}));

    auto single = BlockExport::Create(dir.File("d.drg"), ExportFormat::DataFile, error);
    ASSERT_TRUE(single);
    EXPECT_FALSE(single->Finish()) << "no block";
    EXPECT_TRUE(single->NotOneBlock());
    single = BlockExport::Create(dir.File("d.drg"), ExportFormat::DataFile, error);
    ASSERT_TRUE(single->Append(1, Numbered(5)));
    ASSERT_TRUE(single->Finish());
    EXPECT_EQ(TempDir::Get(dir.File("d.drg")).rfind(std::to_string(Numbered(5).samples[0]) + "\r\n", 0), 0u);
    EXPECT_FALSE(BlockExport::OnDescriptor(STDOUT_FILENO, ExportFormat::Recording, error)) << "tables only";

    std::string rows; // of the two blocks that fit
    AppendBlockCsv(rows, 1, Numbered(0));
    AppendBlockCsv(rows, 2, Numbered(1));
    const std::string path = dir.File("t.csv");
    const rlim_t limit = BlockCsvHeader().size() + rows.size() * 5 / 4; // room for about 2½ blocks
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        int e = 0;
        auto table = BlockExport::Create(path, ExportFormat::Samples, e);
        int appended = 0;
        while (table && appended < 10 && table->Append(std::uint64_t(appended + 1), Numbered(appended)))
            ++appended;
        _exit(appended + (table && table->Error() == EFBIG ? 100 : 0));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 102) << "2 blocks, then the failure";
    const std::string table = TempDir::Get(path);
    EXPECT_EQ(table, BlockCsvHeader() + rows) << "cut back to the last whole block";
}
