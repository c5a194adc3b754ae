// Looking back, measured: the memory of a full history, what taking a block
// costs with and without a recording, and opening long recordings.

#include "Capture.h"
#include "RecordingWriter.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Fast mode at 115200 bit/s: a 1000-byte block and its request, about eleven a second.
constexpr int BlocksPerHour = 3600 * 11;

CapturedBlock Noisy(std::mt19937& rng, int n) {
    std::uniform_int_distribution<int> d(0, 1023);
    CapturedBlock b;
    for (auto& s : b.samples)
        s = std::uint16_t(d(rng));
    b.timeMs = 1714567331400 + n * 91;
    b.timebase = 3;
    b.triggerMode = 1;
    b.triggerLevel = 512;
    return b;
}

double ResidentMegabytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1e6;
}

std::string TempFile(const char* name) {
    return std::string(P_tmpdir) + "/drganik-bench-" + std::to_string(getpid()) + "-" + name;
}

void BM_FullHistoryMemory(benchmark::State& state) {
    std::mt19937 rng(1);
    const CapturedBlock block = Noisy(rng, 0);
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        Capture capture(1000);
        for (int n = 0; n < 1000; ++n)
            capture.Take(block);
        state.counters["resident_MB"] = ResidentMegabytes() - before;
        benchmark::DoNotOptimize(capture.history.Size());
    }
    state.counters["block_bytes"] = double(sizeof(CapturedBlock));
}
BENCHMARK(BM_FullHistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// A block into a full history, and with a recording open too: per block.
void BM_TakeBlock(benchmark::State& state) {
    const bool recording = state.range(0) != 0;
    std::mt19937 rng(2);
    std::vector<CapturedBlock> blocks;
    for (int n = 0; n < 64; ++n)
        blocks.push_back(Noisy(rng, n));
    Capture capture(1000);
    for (int n = 0; n < 1000; ++n)
        capture.Take(blocks[size_t(n % 64)]);
    const std::string path = TempFile("take.drgn");
    std::string error;
    if (recording && !capture.StartRecording(path, error))
        state.SkipWithError(error.c_str());
    std::size_t n = 0;
    for (auto _ : state)
        capture.Take(blocks[n++ % blocks.size()]);
    if (recording)
        state.counters["file_bytes_per_block"] = double(capture.Recording()->Bytes()) / double(n);
    capture.StopRecording();
    std::remove(path.c_str());
}
BENCHMARK(BM_TakeBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A recording of state.range(0) blocks opened as the window opens one: indexed in the
// background while this thread looks in every 10 ms, as the window's poll does. The file's
// pages are dropped from the cache first, so it is read from the disk.
void BM_OpenRecording(benchmark::State& state) {
    const auto blocks = std::uint64_t(state.range(0));
    const std::string path = TempFile("open.drgn");
    {
        std::string error;
        auto writer = RecordingWriter::Create(path, error);
        std::mt19937 rng(3);
        for (std::uint64_t n = 0; n < blocks; ++n)
            writer->Append(Noisy(rng, int(n)));
        state.counters["file_MB"] = double(writer->Bytes()) / 1e6;
    }
    if (const int fd = open(path.c_str(), O_RDONLY); fd >= 0) {
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        double peak = before, longestLook = 0;
        Capture capture(1000);
        const auto start = std::chrono::steady_clock::now();
        auto last = start;
        capture.StartLoading(path);
        while (!capture.LoadFinished()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto now = std::chrono::steady_clock::now();
            longestLook =
                std::max(longestLook, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
            peak = std::max(peak, ResidentMegabytes());
        }
        std::string error, note;
        if (!capture.FinishLoading(error, note))
            state.SkipWithError(error.c_str());
        state.counters["open_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["longest_look_ms"] = longestLook;
        state.counters["blocks"] = double(capture.Size());
        state.counters["peak_resident_MB"] = std::max(peak, ResidentMegabytes()) - before;
        // A block from the middle, as the slider asks for one.
        CapturedBlock block;
        const auto read = std::chrono::steady_clock::now();
        if (!capture.Read(capture.Size() / 2 + 1, block))
            state.SkipWithError("block unreadable");
        state.counters["read_block_us"] =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - read).count();
    }
    std::remove(path.c_str());
}
// An hour, a gigabyte, a day.
BENCHMARK(BM_OpenRecording)
    ->Arg(BlocksPerHour)
    ->Arg(521541)
    ->Arg(24 * BlocksPerHour)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
