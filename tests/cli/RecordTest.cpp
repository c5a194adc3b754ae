// drganik-rec against the simulator on a pseudo-terminal, run as a shell would run it, with no
// display: what it records is what the program opens, and it ends as a command-line tool must.

#include "Capture.h"
#include "Measurements.h"
#include "Pty.h"
#include "RecProcess.h"
#include "RecordingReader.h"
#include "Simulator.h"

#include <charconv>
#include <gtest/gtest.h>
#include <sstream>

namespace {

constexpr int kLong = 60000; // generous: the suites run beside other builds

struct Rig {
    TempDir dir;
    Simulator sim;
    explicit Rig(std::vector<std::string> simArgs = {}) : sim(dir, Args(std::move(simArgs))) {}
    static std::vector<std::string> Args(std::vector<std::string> extra) {
        std::vector<std::string> args{"--signal", "sine", "--freq", "200", "--amp", "2", "--offset", "5"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    RecProcess Run(std::vector<std::string> args, const std::string& lang = "C.UTF-8") {
        args.insert(args.begin(), {"--port", sim.link});
        return RecProcess(args, dir.File("out"), dir.File("err"), lang);
    }
    std::string Err() const { return TempDir::Get(dir.File("err")); }
    std::string Told() const { return Err() + "\nsimulator:\n" + TempDir::Get(sim.log); } // for failures
};

// The blocks of a recording as the program opens it ("Otwórz" in the capture window).
std::vector<CapturedBlock> Opened(const std::string& path) {
    Capture capture(10);
    std::string error, note;
    EXPECT_TRUE(capture.LoadRecording(path, error, note)) << error;
    EXPECT_EQ(note, "") << "nothing left out";
    std::vector<CapturedBlock> blocks(capture.Size());
    for (std::uint64_t i = 0; i < capture.Size(); ++i)
        EXPECT_TRUE(capture.Read(i, blocks[i]));
    return blocks;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<double> Fields(const std::string& line) {
    std::vector<double> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        double v = 0;
        std::from_chars(field.data(), field.data() + field.size(), v);
        fields.push_back(v);
    }
    return fields;
}

// What the process writes to the terminal until it ends. The test holds the terminal open as
// well: one nobody holds would read as hung up at once, and the reads would spin.
std::string Terminal(Pty& terminal, RecProcess& run) {
    const int held = open(terminal.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLong);
    while (run.Wait(0) == -1 && run.status == -1 && std::chrono::steady_clock::now() < end)
        text += terminal.Read(1 << 16, 100);
    text += terminal.Read(1 << 16, 100);
    if (held >= 0)
        close(held);
    return text;
}

} // namespace

TEST(Rec, RecordsBlocksTheProgramOpensAndConvertsThemAsTheyWereMeasured) {
    Rig r;
    const std::string rec = r.dir.File("x.drgn");
    auto run = r.Run({"--blocks", "6", "--timebase", "0.5ms", "-o", rec});
    ASSERT_EQ(run.Wait(kLong), 0) << r.Told();
    const auto blocks = Opened(rec);
    ASSERT_EQ(blocks.size(), 6u);
    for (const auto& b : blocks) {
        EXPECT_EQ(b.timebase, 2) << "0.5ms is the knob's third position";
        const auto [low, high] = std::minmax_element(b.samples.begin(), b.samples.end());
        EXPECT_GT(*high - *low, 300) << "a decoded 2 V sine, not a constant";
    }
    EXPECT_LE(blocks.front().timeMs, blocks.back().timeMs);

    // Blocks 2..4 as measurements: each line what "Pomiary" computes for that block.
    const std::string csv = r.dir.File("m.csv");
    auto convert = RecProcess({"--convert", rec, csv, "--from", "2", "--to", "4", "--measure"},
                              r.dir.File("out"), r.dir.File("err"));
    ASSERT_EQ(convert.Wait(kLong), 0) << r.Told();
    const auto lines = Lines(TempDir::Get(csv));
    ASSERT_EQ(lines.size(), 4u) << "a header and three blocks";
    for (std::size_t i = 0; i < 3; ++i) {
        const CapturedBlock& b = blocks[i + 1];
        SampleBuffer buffer{};
        std::copy(b.samples.begin(), b.samples.end(), buffer.begin());
        const Measurements m = Measure(buffer, b.timebase);
        ASSERT_TRUE(m.Frequency && m.Period && m.Duty);
        const std::vector<double> expected{double(i + 2), double(b.timeMs), *m.Frequency, *m.Period,
                                           m.Vpp,         m.Vmin,           m.Vmax,       m.Mean,
                                           m.Rms,         *m.Duty * 100};
        EXPECT_EQ(Fields(lines[i + 1]), expected)
            << "the recording's block numbers, then the read-outs exactly";
        EXPECT_NEAR(*m.Frequency, 200, 4) << "the simulator's 200 Hz";
        EXPECT_NEAR(m.Vpp, 4, 0.1) << "Vpp of a 2 V sine";
    }

    // Never over itself: the recording stays as it was.
    const std::string before = TempDir::Get(rec);
    auto itself = RecProcess({"--convert", rec, rec}, r.dir.File("out"), r.dir.File("err"));
    EXPECT_EQ(itself.Wait(kLong), 2);
    EXPECT_EQ(TempDir::Get(rec), before);

    // All of it as a table of samples: 500 rows per block, each led by its block.
    const std::string table = r.dir.File("t.csv");
    auto samples = RecProcess({"--convert", rec, table}, r.dir.File("out"), r.dir.File("err"));
    ASSERT_EQ(samples.Wait(kLong), 0) << r.Told();
    const auto rows = Lines(TempDir::Get(table));
    ASSERT_EQ(rows.size(), 1 + 6 * 500u);
    const auto last = Fields(rows.back());
    EXPECT_EQ(last[0], 6);
    EXPECT_EQ(last[1], double(blocks.back().timeMs));
    EXPECT_DOUBLE_EQ(last[2], 499 * 0.00002) << "sample time at 0,5ms/div";
    EXPECT_DOUBLE_EQ(last[3], blocks.back().samples[499] * 10.0 / 1024);
}

TEST(Rec, MeasuresLiveBlocksOneLineEachOnStandardOutput) {
    Rig r;
    auto run = r.Run({"--measure", "--blocks", "3", "--timebase", "1ms"});
    ASSERT_EQ(run.Wait(kLong), 0) << r.Told();
    const auto lines = Lines(TempDir::Get(r.dir.File("out")));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("block,block_time_ms,frequency [Hz]", 0), 0u);
    for (std::size_t i = 1; i < 4; ++i) {
        const auto f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 10u) << lines[i];
        EXPECT_EQ(f[0], double(i));
        EXPECT_NEAR(f[2], 200, 4);
        EXPECT_NEAR(f[7], 5, 0.1) << "the mean of a sine about 5 V";
    }
    EXPECT_EQ(r.Err(), "") << "no progress where standard error is no terminal";
}

TEST(Rec, ATriggerThatNeverFiresEndsWithStatusThreeAndTheOldFileKept) {
    Rig r;
    const std::string rec = r.dir.File("x.drgn");
    TempDir::Put(rec, "last night's recording");
    // The sine stays between 3 and 7 V: a level of 9.5 V is never crossed. Standard error is a
    // terminal, where the progress line tells what it waits for.
    Pty terminal;
    auto run = RecProcess(
        {"--port", r.sim.link, "--trigger", "rising", "--level", "9.5V", "--timeout", "4s", "-o", rec},
        r.dir.File("out"), terminal.SlavePath());
    const std::string shown = Terminal(terminal, run);
    ASSERT_EQ(run.Wait(0), 3) << shown << r.Told();
    EXPECT_NE(shown.find("0 blocks"), std::string::npos) << shown;
    EXPECT_NE(shown.find("waiting for trigger"), std::string::npos) << shown;
    EXPECT_NE(shown.find("no trigger"), std::string::npos) << shown;
    EXPECT_GE(r.sim.Count("no trigger event"), 1) << "the request carried the edge and the level";
    EXPECT_EQ(TempDir::Get(rec), "last night's recording") << "a run with no block leaves the file alone";
}

TEST(Rec, AnUnplugAndReplugMidRecordingLosesNoWholeBlock) {
    Rig r({"--hangup-after", "3", "--recreate-ms", "1000"});
    const std::string rec = r.dir.File("x.drgn");
    auto run = r.Run({"--blocks", "5", "-o", rec});
    ASSERT_EQ(run.Wait(kLong), 0) << r.Told();
    EXPECT_GE(r.sim.Count("hang-up after 3 blocks"), 1) << "the device went away mid-recording";
    EXPECT_EQ(Opened(rec).size(), 5u) << "the recovery reopened the device and went on";
    // Every block the instrument sent is there but those the line took with it: the simulator
    // removes the device as it writes a block's last bytes, which the kernel then drops with the
    // line as a pulled adapter's would (never whole here), and the one asked for before the end.
    const int sent = r.sim.Count("tx block"), lost = r.sim.Count("hang-up after");
    EXPECT_LE(sent - lost - 1, 5) << r.Told();
    const RecordingRead read = ReadRecording(rec, [](const CapturedBlock&, std::uint64_t) { return true; });
    EXPECT_FALSE(read.cutShort);
    EXPECT_EQ(read.error, "");
}

TEST(Rec, SigintAndSigtermEndAfterTheBlockBeingWrittenWithTheFileWhole) {
    Rig r({"--fast"});
    // A recording ended by SIGINT.
    const std::string rec = r.dir.File("x.drgn");
    auto run = r.Run({"--timebase", "0", "-o", rec});
    // Blocks keep coming: interrupt once a few are on disk.
    ASSERT_TRUE(RunUntil([&] { return TempDir::Get(rec).size() > 3 * 3000; }, kLong)) << r.Told();
    kill(run.pid, SIGINT);
    ASSERT_EQ(run.Wait(kLong), 0) << r.Told();
    const RecordingRead read = ReadRecording(rec, [](const CapturedBlock&, std::uint64_t) { return true; });
    EXPECT_GE(read.blocks, 3u);
    EXPECT_FALSE(read.cutShort) << "the last block is whole";
    EXPECT_EQ(read.error, "");

    // A table ended by SIGTERM: whole blocks of 500 rows each.
    const std::string csv = r.dir.File("x.csv");
    auto table = r.Run({"-o", csv});
    ASSERT_TRUE(RunUntil([&] { return TempDir::Get(csv).size() > 3 * 500 * 30; }, kLong)) << r.Told();
    kill(table.pid, SIGTERM);
    ASSERT_EQ(table.Wait(kLong), 0) << r.Told();
    const auto rows = Lines(TempDir::Get(csv));
    EXPECT_EQ((rows.size() - 1) % 500, 0u);
    EXPECT_EQ(Fields(rows.back())[0], double((rows.size() - 1) / 500)) << "the last row ends its block";
}

TEST(Rec, EndsAsAToolWithTheStatusOfWhatWentWrongInTheUsersLanguage) {
    Rig r;
    auto usage = r.Run({"--timebase", "3ms"});
    EXPECT_EQ(usage.Wait(kLong), 2);
    EXPECT_NE(r.Err().find("invalid value for --timebase: 3ms"), std::string::npos) << r.Told();
    auto measureInto = r.Run({"--measure", "-o", r.dir.File("m.drgn")});
    EXPECT_EQ(measureInto.Wait(kLong), 2) << "measurements are a table: .csv or standard output";
    auto polish = r.Run({"--trigger", "up"}, "pl_PL.UTF-8");
    EXPECT_EQ(polish.Wait(kLong), 2);
    EXPECT_NE(r.Err().find("zła wartość --trigger: up"), std::string::npos) << r.Told();

    auto folder = r.Run({"--blocks", "1", "-o", r.dir.File("none/x.drgn")});
    EXPECT_EQ(folder.Wait(kLong), 1);
    EXPECT_NE(r.Err().find("No such file or directory"), std::string::npos) << r.Told();
    EXPECT_EQ(r.sim.Count("rx"), 0) << "a file that cannot be written is found before the device is touched";

    TempDir::Put(r.dir.File("kept.csv"), "kept");
    auto missing =
        RecProcess({"--port", r.dir.File("no-such-tty"), "--blocks", "1", "-o", r.dir.File("kept.csv")},
                   r.dir.File("out"), r.dir.File("err"));
    EXPECT_EQ(missing.Wait(kLong), 1) << r.Told();
    EXPECT_EQ(TempDir::Get(r.dir.File("kept.csv")), "kept") << "no device: the file as it was";

    auto notRecording = RecProcess({"--convert", r.dir.File("err"), r.dir.File("y.csv")}, r.dir.File("out"),
                                   r.dir.File("err2"), "pl_PL.UTF-8");
    EXPECT_EQ(notRecording.Wait(kLong), 1);
    EXPECT_NE(TempDir::Get(r.dir.File("err2")).find("nie jest nagraniem"), std::string::npos);
}

TEST(Rec, TakesThePortAndTimingsFromTheSettingsFileBesideItAndShowsProgressOnATerminal) {
    Rig r;
    // A copy of the program in a folder of its own keeps its settings file beside it, as a build does.
    const std::string program = r.dir.File("drganik-rec");
    std::filesystem::copy_file(DRGANIK_REC, program);
    TempDir::Put(r.dir.File("drganik.ini"),
                 "[PORTS]\nCOM3=" + r.sim.link + "\n[DISP]\nCP=3\n[ADVANCED]\nSpow=0\n");
    Pty terminal;
    auto run = RecProcess({"--blocks", "12", "-o", r.dir.File("x.drgn")}, r.dir.File("out"),
                          terminal.SlavePath(), "C.UTF-8", program);
    const std::string shown = Terminal(terminal, run);
    ASSERT_EQ(run.Wait(0), 0) << shown << r.Told();
    EXPECT_EQ(Opened(r.dir.File("x.drgn")).size(), 12u);
    EXPECT_EQ(r.sim.Count("mode=0x00"), r.sim.Count("rx request")) << "Spow from the file: no slow-down bit";
    EXPECT_NE(shown.find("blocks/s"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" kB"), std::string::npos) << shown;
}
