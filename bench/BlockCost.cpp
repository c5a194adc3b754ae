// What a block costs the whole process, threads and repaints included, against
// the simulator, as a ratio to a minimal Qt front-end doing the same job in the
// same run (alternating, so both see the same load); blocks per second at several
// T/dz next to the bound the tick rules give for the feed; wake-ups per second of
// each thread; the idle share with and without the settings dialog. Runs the real
// windows on the platform at hand: under xvfb-run on X (as users run it), else
// offscreen.

#include "CpuTime.h"
#include "FeedBound.h"
#include "ProgramHarness.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
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
    long wakeups = 0; // all threads
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
        w.wakeups += t.switches - b->second.switches;
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

struct Feed {
    const char* name;
    std::vector<std::string> options;
    Delivery delivery;
    bool against = false; // measured against the minimal front-end
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

const char kUsage[] =
    "usage: bench_cost [options]   (about 8 minutes; under xvfb-run for X)\n"
    "  --sim PATH         the simulator to run against\n"
    "  --seconds N        each measured window (default 10)\n"
    "  --rounds N         alternating pairs of the minimal front-end and the program (default 3)\n"
    "  --quick            only the default feed at 0,1 ms/div against the minimal front-end,\n"
    "                     for repeated side-by-side runs\n"
    "  --no-progress      with --quick: the progress display off on both sides\n"
    "  --paints           also the paint passes (window flushes) and paints by widget, per block\n"
    "  --help             this text\n";

std::string LoadAverage() {
    const std::string text = Slurp("/proc/loadavg");
    return text.substr(0, text.find(' ', text.find(' ', text.find(' ') + 1) + 1));
}

// One window of the minimal front-end against a simulator of its own on the same feed.
struct Yardstick {
    double cpu = 0, wall = 0;
    int blocks = 0;
    long wakeups = 0;
};

Yardstick RunMinimal(const std::string& sim, const Feed& feed, int seconds, bool progress) {
    TempDir dir;
    const std::string link = dir.File("com1"), log = dir.File("sim.log");
    const pid_t simPid = StartSimulator(sim, link, log, feed);
    RunUntil([&] { return std::filesystem::is_symlink(link); }, 3000);
    int out[2];
    Yardstick y;
    if (pipe(out) != 0)
        return y;
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        const std::string secs = std::to_string(seconds);
        execl(DRGANIK_MINIMAL, DRGANIK_MINIMAL, link.c_str(), secs.c_str(),
              progress ? nullptr : "--no-progress", nullptr);
        _exit(127);
    }
    close(out[1]);
    // Blocking here keeps this process out of the measured window.
    char text[128] = {};
    for (std::size_t got = 0; got < sizeof text - 1;) {
        const ssize_t n = read(out[0], text + got, sizeof text - 1 - got);
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    close(out[0]);
    waitpid(pid, nullptr, 0);
    kill(simPid, SIGTERM);
    waitpid(simPid, nullptr, 0);
    std::sscanf(text, "%lf %d %lf %ld", &y.cpu, &y.blocks, &y.wall, &y.wakeups);
    return y;
}

// Alternating windows of the minimal front-end and of the program at one time base, each side's
// CPU per block over all its windows, and their ratio.
void AgainstMinimal(TestProgram& p, const std::string& sim, const Feed& feed, const std::string& log,
                    int seconds, int rounds, bool progress) {
    p.state.settings.WYSSTATUS = progress;
    std::printf("  progress display %s, against the minimal front-end (%d alternating pairs of %d s):\n",
                progress ? "on" : "off", rounds, seconds);
    Yardstick mine, theirs;
    for (int r = 0; r < rounds; ++r) {
        const std::string load0 = LoadAverage();
        const Yardstick y = RunMinimal(sim, feed, seconds, progress);
        p.W2->Press(TW2::ToolButton::Start);
        Run(1000);
        const int first = Requests(log);
        const Window w = Measure(seconds * 1000);
        const int blocks = Requests(log) - first;
        p.W2->Press(TW2::ToolButton::Stop);
        RunUntil([] { return false; }, 300);
        std::printf("    pair %d (load %s / %s): minimal %.2f ms per block (%.2f blocks/s, %.0f wake-ups/s), "
                    "program %.2f ms (%.2f blocks/s, %.0f wake-ups/s): %.2fx\n",
                    r + 1, load0.c_str(), LoadAverage().c_str(), 1000 * y.cpu / std::max(1, y.blocks),
                    y.blocks / std::max(0.001, y.wall), y.wakeups / std::max(0.001, y.wall),
                    1000 * w.cpu / std::max(1, blocks), blocks / w.wall, w.wakeups / w.wall,
                    (w.cpu / std::max(1, blocks)) / (y.cpu / std::max(1, y.blocks)));
        if (countPaints || r + 1 == rounds)
            Print("program, last pair", w, blocks);
        theirs.cpu += y.cpu;
        theirs.blocks += y.blocks;
        mine.cpu += w.cpu;
        mine.blocks += blocks;
    }
    const double a = mine.cpu / std::max(1, mine.blocks), b = theirs.cpu / std::max(1, theirs.blocks);
    std::printf(
        "  => progress display %s, %s: program %.2f ms, minimal %.2f ms of CPU per block: ratio %.2f\n",
        progress ? "on" : "off", feed.name, 1000 * a, 1000 * b, a / b);
    p.state.settings.WYSSTATUS = true;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as it comes, also into a file
    QApplication app(argc, argv);
    std::string sim = DRGANIK_SIM;
    int seconds = 10, rounds = 3;
    bool quick = false;
    bool progress = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--sim") && i + 1 < argc)
            sim = argv[++i];
        else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--quick"))
            quick = true;
        else if (!std::strcmp(argv[i], "--paints"))
            countPaints = true;
        else if (!std::strcmp(argv[i], "--no-progress"))
            progress = false;
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    std::printf("platform %s; load average at start: %s", qPrintable(QGuiApplication::platformName()),
                Slurp("/proc/loadavg").c_str());
    std::printf("an empty 25-ms timer in this process: %.0f us of CPU per tick\n",
                BareTickMicroseconds(5000));

    const Feed feeds[] = {
        {"simulator's default feed (16-byte chunks at the line rate)", {}, {}, true},
        {"adapter-like feed (64-byte pieces every 5.6 ms)",
         {"--piece", "64", "--interval", "5.6"},
         {64, 5.6, 0},
         true},
        {"USB adapter model (62-byte pieces, the rest after a 16-ms latency timer)", {"--usb"}, {0, 0, 16}}};
    bool idleDone = quick;
    for (const Feed& feed : feeds) {
        if (quick && &feed != feeds)
            break;
        std::printf("\n%s\n", feed.name);
        TempDir dir;
        const std::string link = dir.File("com1"), log = dir.File("sim.log");
        const pid_t pid = StartSimulator(sim, link, log, feed);
        RunUntil([&] { return std::filesystem::is_symlink(link); }, 3000);
        TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + link + "\n");
        {
            TestProgram p(dir.File("drganik.ini"));
            RunUntil([] { return false; }, 500);
            if (!idleDone)
                Print("idle, not connected", Measure(5000));
            p.W2->Press(TW2::ToolButton::Connect);
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
            const double tick = p.session.Timer1.interval() / 1000.0;
            std::printf("  tick %d ms\n", p.session.Timer1.interval());
            const auto timebases = quick ? std::vector<int>{0} : std::vector<int>{0, 3, 6, 7, 8};
            for (const int timebase : timebases) {
                p.W2->Press(TW2::ToolButton::Stop);
                p.W2->TurnKnob(TW2::ToolKnob::Time, timebase);
                RunUntil([&] { return p.state.acq.SeenTimebase == timebase; }, 3000);
                RunUntil([] { return false; }, 1200); // a block under way ends, an abort settles
                if (quick || (feed.against && timebase == 0)) {
                    for (const bool on : {true, false})
                        if (!quick || on == progress)
                            AgainstMinimal(p, sim, feed, log, seconds, rounds, on);
                    if (quick)
                        continue;
                }
                p.W2->Press(TW2::ToolButton::Start);
                Run(timebase < 7 ? 1000 : 1500);
                const int first = Requests(log);
                const Window w = Measure(std::max(8, seconds) * 1000);
                const int blocks = Requests(log) - first;
                const double bound = BlockBound(timebase, tick, feed.delivery);
                char what[160];
                std::snprintf(what, sizeof what,
                              "T/dz index %d: %.2f blocks/s, bound %.2f (%.1f %%), load %s", timebase,
                              blocks / w.wall, bound, 100 * blocks / w.wall / bound, LoadAverage().c_str());
                Print(what, w, blocks);
            }
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    std::printf("\nload average at the end: %s", Slurp("/proc/loadavg").c_str());
    return 0;
}
