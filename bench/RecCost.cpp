// CPU per block of drganik-rec against the windows' program, in one run on one feed:
// alternating windows of the program (in this process, its windows on the platform at
// hand: under xvfb-run on X, as users run it) and of drganik-rec (a child process, its
// CPU read from /proc), the blocks counted from the simulator's requests in each window.

#include "CpuTime.h"
#include "ProgramHarness.h"
#include "RecProcess.h"
#include "Simulator.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

void Run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// User and system CPU of another process so far, in seconds.
double ChildCpuSeconds(pid_t pid) {
    const std::string stat = Slurp("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string f;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i)
        if (i == 14 || i == 15)
            ticks += std::stol(f);
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

struct Cost {
    double cpu = 0;
    int blocks = 0;
    double PerBlockMs() const { return blocks > 0 ? 1000 * cpu / blocks : 0; }
};

} // namespace

int main(int argc, char** argv) {
    int seconds = 10, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
    }
    QApplication app(argc, argv);
    TempDir dir;
    const Simulator sim(dir, {"--signal", "noise"});
    const std::string& link = sim.link;
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + link + "\n");
    std::printf("CPU per block at 0,1 ms/div, the simulator's default feed, %d s windows (%s)\n", seconds,
                QGuiApplication::platformName().toStdString().c_str());
    Cost program, recorder;
    TestProgram p(dir.File("drganik.ini"));
    for (int round = 0; round < rounds; ++round) {
        p.W2->Press(TW2::ToolButton::Connect);
        RunUntil([&] { return p.state.acq.ProbeCountdown == 0 && p.session.Com1.IsOpen(); }, 5000);
        p.W2->Press(TW2::ToolButton::Start);
        Run(1500);
        int first = sim.Count("rx request");
        double cpu0 = ProcessCpuSeconds();
        Run(seconds * 1000);
        const Cost gui{ProcessCpuSeconds() - cpu0, sim.Count("rx request") - first};
        p.W2->Press(TW2::ToolButton::Stop);
        p.W2->Press(TW2::ToolButton::Connect); // the plug button again: the port closes
        Run(800);

        RecProcess rec({"--port", link, "--quiet", "-o", dir.File("x.drgn")}, dir.File("rec.out"),
                       dir.File("rec.err"));
        Run(2500); // connected and recording
        first = sim.Count("rx request");
        cpu0 = ChildCpuSeconds(rec.pid);
        Run(seconds * 1000);
        const Cost cli{ChildCpuSeconds(rec.pid) - cpu0, sim.Count("rx request") - first};
        kill(rec.pid, SIGINT);
        rec.Wait(10000);
        Run(800);
        std::printf("  round %d: drganik %.3f ms/block (%d blocks), drganik-rec %.3f ms/block (%d blocks)\n",
                    round + 1, gui.PerBlockMs(), gui.blocks, cli.PerBlockMs(), cli.blocks);
        program.cpu += gui.cpu;
        program.blocks += gui.blocks;
        recorder.cpu += cli.cpu;
        recorder.blocks += cli.blocks;
    }
    std::printf("all rounds: drganik %.3f ms/block, drganik-rec %.3f ms/block: ratio %.2f\n",
                program.PerBlockMs(), recorder.PerBlockMs(), recorder.PerBlockMs() / program.PerBlockMs());
    return 0;
}
