// What a block costs the whole process, threads and repaints included, against
// the simulator: CPU per block, blocks per second at several T/dz next to the
// protocol's bound, wake-ups per second of each thread, and the idle share with
// and without the settings dialog. Runs the real windows on the platform at
// hand: under xvfb-run on X (as users run it), else offscreen.
// Usage: bench_cost [--sim PATH] [--seconds N] [--quick [T/dz index]] [--paints] [--no-progress]
//   --quick: only the default feed at one time base (0,1 ms/div unless given), for repeated
//   side-by-side runs
//   --paints: also the paint passes (window flushes) and paints by widget, per block

#include "CpuTime.h"
#include "ProgramHarness.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct ThreadSample {
    std::string name;
    long switches = 0; // voluntary: each one a sleep, so each return a wake-up
    long cpuTicks = 0;
};

// Every thread of this process by id.
std::map<int, ThreadSample> Threads() {
    std::map<int, ThreadSample> all;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        const int tid = std::stoi(entry.path().filename().string());
        ThreadSample t;
        const std::string status = Slurp(entry.path() / "status");
        if (const auto at = status.find("Name:\t"); at != std::string::npos)
            t.name = status.substr(at + 6, status.find('\n', at) - at - 6);
        if (const auto at = status.find("voluntary_ctxt_switches:\t"); at != std::string::npos)
            t.switches = std::stol(status.substr(at + 25));
        const std::string stat = Slurp(entry.path() / "stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string f;
        for (int i = 3; i <= 15 && fields >> f; ++i)
            if (i == 14 || i == 15)
                t.cpuTicks += std::stol(f);
        all[tid] = t;
    }
    return all;
}

// Window flushes (each a paint pass of a top-level window) and paints by widget class,
// counted application-wide: each pass costs a round trip to the display.
struct PaintTally {
    int passes = 0;
    std::map<std::string, int> paints;
};

struct PaintCounting : QObject {
    PaintTally& tally;
    explicit PaintCounting(PaintTally& t) : tally(t) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::UpdateRequest)
            ++tally.passes;
        else if (e->type() == QEvent::Paint)
            ++tally.paints[std::string(o->metaObject()->className()) + ":" + o->objectName().toStdString()];
        return false;
    }
};

// A timed window of the process: CPU, and wake-ups and CPU of each thread that lived through it.
struct Window {
    double wall = 0, cpu = 0;
    std::vector<std::string> lines;
    PaintTally tally;
};

// Lets the program run undisturbed: an event loop that sleeps between events.
void Run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool countPaints = false; // an application-wide filter costs a little of what it would measure

Window Measure(int ms) {
    Window w;
    PaintCounting counting(w.tally);
    if (countPaints)
        qApp->installEventFilter(&counting);
    const auto before = Threads();
    const double cpu0 = ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    Run(ms);
    qApp->removeEventFilter(&counting);
    w.wall = double(clock.elapsed()) / 1000;
    w.cpu = ProcessCpuSeconds() - cpu0;
    const auto after = Threads();
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const auto& [tid, t] : after) {
        const auto b = before.find(tid);
        if (b == before.end())
            continue;
        const double wakeups = double(t.switches - b->second.switches) / w.wall;
        const double share = 100 * double(t.cpuTicks - b->second.cpuTicks) / tick / w.wall;
        if (wakeups < 0.5 && share < 0.05)
            continue; // asleep throughout
        char line[160];
        std::snprintf(line, sizeof line, "    %-18s %7.1f wake-ups/s %6.2f %% CPU",
                      (tid == getpid() ? std::string("GUI") : t.name + " " + std::to_string(tid)).c_str(),
                      wakeups, share);
        w.lines.emplace_back(line);
    }
    return w;
}

// What one wake-up of an empty 25-ms timer costs this process: the floor under every tick.
double BareTickMicroseconds(int ms) {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(25);
    const double cpu0 = ProcessCpuSeconds();
    Run(ms);
    return 1e6 * (ProcessCpuSeconds() - cpu0) / std::max(1, ticks);
}

int Requests(const std::string& log) {
    const std::string text = Slurp(log);
    int n = 0;
    for (auto at = text.find("rx request"); at != std::string::npos; at = text.find("rx request", at + 1))
        ++n;
    return n;
}

constexpr double kTdiv[] = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3, 5e-3, 1e-2, 2e-2, 5e-2, 0.1, 0.2};

// Blocks per second that the protocol allows at a time base: a fast block waits 10 ms,
// sends its request, acquires 20 divisions and sends 1000 bytes; a progressive one
// sends each sample as it is acquired. Either is taken at the next tick.
double Bound(int timebase, double tick) {
    const double byte = 10.0 / 115200;
    const double wire = timebase < 7 ? 10e-3 + 1005 * byte + 20 * kTdiv[timebase]
                                     : 5 * byte + 20 * kTdiv[timebase] + 2 * byte;
    return 1 / (std::ceil(wire / tick) * tick);
}

struct Feed {
    const char* name;
    std::vector<std::string> options;
};

pid_t StartSimulator(const std::string& sim, const std::string& link, const std::string& log,
                     const Feed& feed) {
    std::vector<std::string> args = {sim, link, "--log", log, "--signal", "noise"};
    args.insert(args.end(), feed.options.begin(), feed.options.end());
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(sim.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

void Print(const char* what, const Window& w, int blocks = -1) {
    std::printf("  %s: %.2f %% of one core", what, 100 * w.cpu / w.wall);
    if (blocks > 0)
        std::printf(", %.2f ms CPU per block (%d blocks in %.1f s)", 1000 * w.cpu / blocks, blocks, w.wall);
    std::printf("\n");
    if (countPaints) {
        const double per = blocks > 0 ? blocks : w.wall; // per block, or per second when idle
        std::printf("    paint passes per %s: %.2f;", blocks > 0 ? "block" : "second", w.tally.passes / per);
        for (const auto& [name, n] : w.tally.paints)
            std::printf(" %s %.2f", name.c_str(), n / per);
        std::printf("\n");
    }
    for (const auto& line : w.lines)
        std::printf("%s\n", line.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string sim = DRGANIK_SIM;
    int seconds = 15;
    bool quick = false;
    int quickTimebase = 0;
    bool progress = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--sim") && i + 1 < argc)
            sim = argv[++i];
        else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--quick")) {
            quick = true;
            if (i + 1 < argc && std::isdigit(static_cast<unsigned char>(argv[i + 1][0])))
                quickTimebase = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--paints"))
            countPaints = true;
        else if (!std::strcmp(argv[i], "--no-progress"))
            progress = false;
    }
    std::printf("platform %s; load average at start: %s", qPrintable(QGuiApplication::platformName()),
                Slurp("/proc/loadavg").c_str());
    std::printf("an empty 25-ms timer in this process: %.0f us of CPU per tick\n",
                BareTickMicroseconds(5000));

    const Feed feeds[] = {
        {"simulator's default feed (16-byte chunks at the line rate)", {}},
        {"adapter-like feed (64-byte pieces every 5.6 ms)", {"--piece", "64", "--interval", "5.6"}}};
    bool idleDone = quick;
    for (const Feed& feed : feeds) {
        if (quick && &feed != feeds)
            break;
        std::printf("\n%s\n", feed.name);
        TempDir dir;
        const std::string link = dir.File("com1"), log = dir.File("sim.log");
        const pid_t pid = StartSimulator(sim, link, log, feed);
        RunUntil([&] { return std::filesystem::is_symlink(link); }, 3000);
        TempDir::Put(dir.File("drganik.ini"),
                     "[PORTS]\nCOM1=" + link + "\n" + (progress ? "" : "[MISC]\nWYSSTATUS=0\n"));
        {
            TestProgram p(dir.File("drganik.ini"));
            RunUntil([] { return false; }, 500);
            if (!idleDone)
                Print("idle, not connected", Measure(5000));
            p.W2->Button(TW2::ToolButton::Connect).click();
            RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 3000);
            RunUntil([] { return false; }, 300);
            if (!idleDone) {
                Print("idle, connected", Measure(5000));
                p.Form1->show();
                RunUntil([] { return false; }, 300);
                Print("idle, connected, settings dialog open", Measure(5000));
                p.Form1->hide();
                idleDone = true;
            }
            std::printf("  progress display %s, tick %d ms\n", p.state.settings.WYSSTATUS ? "on" : "off",
                        p.Timer1.interval());
            const auto timebases = quick ? std::vector<int>{quickTimebase} : std::vector<int>{0, 3, 6, 7, 8};
            for (const int timebase : timebases) {
                p.W2->Button(TW2::ToolButton::Stop).click();
                p.W2->Knob(TW2::ToolKnob::Time).SetPosition(timebase);
                RunUntil([&] { return p.state.acq.SeenTimebase == timebase; }, 3000);
                RunUntil([] { return false; }, 1200); // a block under way ends, an abort settles
                p.W2->Button(TW2::ToolButton::Start).click();
                Run(timebase < 7 ? 1000 : 1500);
                const int first = Requests(log);
                const int ms = (timebase == 0 ? seconds : std::max(8, seconds / 2)) * 1000;
                const Window w = Measure(ms);
                const int blocks = Requests(log) - first;
                char what[120];
                std::snprintf(what, sizeof what, "T/dz index %d: %.2f blocks/s (protocol bound %.2f)",
                              timebase, blocks / w.wall, Bound(timebase, p.Timer1.interval() / 1000.0));
                Print(what, w, blocks);
            }
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    std::printf("\nload average at the end: %s", Slurp("/proc/loadavg").c_str());
    return 0;
}
