// Blocks per second against the simulator at the line rate, next to the
// protocol's bound, with the program's CPU share while acquiring and idle.
// Usage: bench_live [seconds] [time-base index]

#include "CpuTime.h"
#include "ProgramHarness.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int Requests(const std::string& log) {
    std::ifstream in(log);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        n += line.find("rx request") != std::string::npos;
    return n;
}

long RssKb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// Lets the program run undisturbed: an event loop that sleeps between events.
void Run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int timebase = argc > 2 ? std::atoi(argv[2]) : 0;

    TempDir dir;
    const std::string link = dir.File("com1"), log = dir.File("sim.log");
    const pid_t sim = fork();
    if (sim == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        execl(DRGANIK_SIM, DRGANIK_SIM, link.c_str(), "--log", log.c_str(), "--signal", "noise", nullptr);
        _exit(127);
    }
    RunUntil([&] { return std::filesystem::is_symlink(link); }, 3000);
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + link + "\n");

    QElapsedTimer clock;
    clock.start();
    TestProgram p(dir.File("drganik.ini"));
    QCoreApplication::processEvents();
    const qint64 startupMs = clock.elapsed();

    p.W2->TurnKnob(TW2::ToolKnob::Time, timebase);
    p.W2->Press(TW2::ToolButton::Connect);
    RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 3000);
    RunUntil([] { return false; }, 200);

    double cpu0 = ProcessCpuSeconds();
    clock.restart();
    Run(3000);
    const double idleShare = (ProcessCpuSeconds() - cpu0) / (double(clock.elapsed()) / 1000);

    p.W2->Press(TW2::ToolButton::Start);
    Run(1000); // settle
    const int first = Requests(log);
    cpu0 = ProcessCpuSeconds();
    clock.restart();
    Run(seconds * 1000);
    const double wall = double(clock.elapsed()) / 1000;
    const double cpu = ProcessCpuSeconds() - cpu0;
    const int blocks = Requests(log) - first;

    // One cycle: 10 ms pause, 5 request bytes, 20 divisions of acquisition, 1000 bytes,
    // then the collection waits for the next tick.
    const double tdiv[] = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3, 5e-3, 1e-2};
    const double wire = 10e-3 + 1005 * 10.0 / 115200 + 20 * tdiv[timebase];
    const double tick = p.session.Timer1.interval() / 1000.0;
    const double period = std::ceil(wire / tick) * tick;
    std::printf("time base index        %d\n", timebase);
    std::printf("blocks per second      %.2f (%d in %.1f s)\n", blocks / wall, blocks, wall);
    std::printf(
        "protocol bound         %.2f (cycle %.1f ms: %.1f ms on the wire and in pauses, ticks of %.0f ms)\n",
        1 / period, period * 1000, wire * 1000, tick * 1000);
    std::printf("share of the bound     %.1f %%\n", 100 * blocks / wall * period);
    std::printf("CPU while acquiring    %.1f %% of one core\n", 100 * cpu / wall);
    std::printf("CPU idle (connected)   %.2f %% of one core\n", 100 * idleShare);
    std::printf("start-up to first paint %lld ms\n", static_cast<long long>(startupMs));
    std::printf("resident memory        %ld KiB\n", RssKb());
    std::fflush(stdout);

    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
    return 0;
}
