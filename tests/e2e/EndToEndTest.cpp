// The built program as a user runs it: under a real X server, with the
// simulator, clicked with xdotool, checked on a screenshot. With DRGANIK_E2E_WM
// set (to "openbox") the same runs happen under that window manager, which
// frames the windows and offers a close box on each.

#include "TempDir.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>
#include <clocale>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

bool Run(const QString& program, const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void Click(int x, int y) {
    Run("xdotool", {"mousemove", QString::number(x), QString::number(y), "click", "1"});
}

bool WaitForWindow(const QString& title, int ms) {
    for (int waited = 0; waited < ms; waited += 100) {
        QString out;
        if (Run("xdotool", {"search", "--name", title}, &out) && !out.trimmed().isEmpty())
            return true;
        QThread::msleep(100);
    }
    return false;
}

// Waits until the simulator has logged `what` at least n times.
bool WaitForLog(const std::string& log, const std::string& what, int n, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        const std::string text = TempDir::Get(log);
        int count = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++count;
        if (count >= n)
            return true;
        QThread::msleep(50);
    }
    return false;
}

// The connect button is a toggle: a second click would let go of the port. A window manager
// may swallow the first click while it still settles a new window, so only when nothing was
// probed after a generous wait is the click given once more.
bool ConnectAndProbe(QPoint tool, const std::string& log) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        Click(tool.x() + 16, tool.y() + 16);
        if (WaitForLog(log, "rx probe", 1, 5000 * (attempt + 1)))
            return true;
    }
    return false;
}

int Number(const QString& text, const char* pattern) {
    return QRegularExpression(QString::fromLatin1(pattern)).match(text).captured(1).toInt();
}

// A top-level window as the X server and the window manager see it.
struct WindowBox {
    QRect client;   // in root coordinates
    QMargins frame; // what the window manager adds (nothing without one)
    QRect Frame() const { return client.marginsAdded(frame); }
};

std::optional<WindowBox> FindWindow(const QString& title) {
    QString ids, info, extents;
    if (!Run("xdotool", {"search", "--name", title}, &ids) || ids.trimmed().isEmpty())
        return std::nullopt;
    const QString id = ids.split('\n').first().trimmed();
    if (!Run("xwininfo", {"-id", id}, &info))
        return std::nullopt;
    WindowBox w;
    w.client = QRect(Number(info, R"(Absolute upper-left X:\s+(-?\d+))"),
                     Number(info, R"(Absolute upper-left Y:\s+(-?\d+))"), Number(info, R"(Width:\s+(\d+))"),
                     Number(info, R"(Height:\s+(\d+))"));
    Run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}, &extents); // left, right, top, bottom
    const auto m = QRegularExpression(R"(= (\d+), (\d+), (\d+), (\d+))").match(extents);
    if (m.hasMatch())
        w.frame = {m.captured(1).toInt(), m.captured(3).toInt(), m.captured(2).toInt(),
                   m.captured(4).toInt()};
    return w;
}

// The work area's size: what a window manager announces, else the whole screen.
QSize WorkArea() {
    QString out;
    Run("xprop", {"-root", "_NET_WORKAREA"}, &out);
    const auto m = QRegularExpression(R"(= -?\d+, -?\d+, (\d+), (\d+))").match(out);
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize(1024, 768);
}

struct Pair {
    WindowBox main, tool;
    std::string seen; // the frames last seen, for a failure message
};

// Waits until both windows stand where the placement rule puts them, by their frames:
// the main window left of the tool window, touching, same top, the pair centred
// horizontally and the tool window vertically on the work area.
bool WaitForPlacedPair(Pair& pair, int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const auto w1 = FindWindow("Zentak Drganik");
        const auto w2 = FindWindow("Narzędzia");
        if (w1 && w2) {
            pair = {*w1, *w2, {}};
            const QRect f1 = w1->Frame(), f2 = w2->Frame();
            const QSize area = WorkArea();
            pair.seen = QString("main window's frame at %1,%2 (%3x%4), tool window's at %5,%6 (%7x%8)")
                            .arg(f1.x())
                            .arg(f1.y())
                            .arg(f1.width())
                            .arg(f1.height())
                            .arg(f2.x())
                            .arg(f2.y())
                            .arg(f2.width())
                            .arg(f2.height())
                            .toStdString();
            if (f1.top() == f2.top() && f1.right() + 1 == f2.left() &&
                f2.left() == area.width() / 2 + f1.width() - (f1.width() + f2.width()) / 2 &&
                f2.top() == area.height() / 2 - f2.height() / 2)
                return true;
        }
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(100);
    }
}

bool UnderWindowManager() {
    return !qEnvironmentVariableIsEmpty("DRGANIK_E2E_WM");
}

// The built program in a folder of its own with its pictures and a settings file mapping
// Com1 to the simulator, so its settings file is the test's. DRGANIK_E2E_BIN and
// DRGANIK_E2E_SIM name an installed program and simulator instead: the program then runs
// where it is installed and takes its settings from the test's configuration folder.
struct Session {
    TempDir dir;
    std::string link = dir.File("com1");
    std::string log = dir.File("sim.log");
    QProcess sim, app;

    // The program's environment is the test's, or the one given (another locale, say).
    explicit Session(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
        sim.start(qEnvironmentVariable("DRGANIK_E2E_SIM", DRGANIK_SIM),
                  {QString::fromStdString(link), "--signal", "square", "--freq", "1000", "--amp", "2",
                   "--offset", "5", "--log", QString::fromStdString(log)});
        for (int i = 0; i < 250 && !std::filesystem::is_symlink(link); ++i)
            QThread::msleep(20);
        const std::string ports = "[PORTS]\nCOM1=" + link + "\n";
        // Each run starts from no session of its own and keeps its session to itself.
        environment.insert("XDG_STATE_HOME", QString::fromStdString(dir.File("state")));
        QString program = qEnvironmentVariable("DRGANIK_E2E_BIN");
        if (program.isEmpty()) {
            std::filesystem::copy_file(DRGANIK_BIN, dir.File("drganik"));
            std::filesystem::copy(DRGANIK_SOURCE_DIR "/data", dir.path / "data");
            TempDir::Put(dir.File("drganik.ini"), ports);
            program = QString::fromStdString(dir.File("drganik"));
        } else {
            std::filesystem::create_directories(dir.path / "config/Drganik");
            TempDir::Put(dir.File("config/Drganik/drganik.ini"), ports);
            environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.File("config")));
        }
        app.setProcessEnvironment(environment);
        app.setWorkingDirectory(QString::fromStdString(dir.path.string()));
        app.start(program, {});
    }
    ~Session() {
        app.terminate();
        app.waitForFinished(3000);
        sim.terminate();
        sim.waitForFinished(3000);
    }
};

bool Black(QRgb c) {
    return qRed(c) < 12 && qGreen(c) < 12 && qBlue(c) < 12;
} // the trace colour, 0

} // namespace

TEST(EndToEnd, ConnectStartAndTheScreenShowsTheSignal) {
    Session session;
    ASSERT_TRUE(session.sim.waitForStarted());
    ASSERT_TRUE(session.app.waitForStarted());
    ASSERT_TRUE(WaitForWindow("Narzędzia", 10000)) << "the tool window did not appear";
    Pair pair;
    ASSERT_TRUE(WaitForPlacedPair(pair, 10000)) << pair.seen;
    const QPoint tool = pair.tool.client.topLeft();

    // Connect, then Start.
    const std::string& log = session.log;
    ASSERT_TRUE(ConnectAndProbe(tool, log)) << "connect did not probe";
    // The probe phase ends within 50 ticks (1.25 s): a reply taken, or the failure box. Start is
    // usable during it, but a block arriving with the probe reply would fail the probe.
    ASSERT_FALSE(WaitForWindow("Błąd!", 2500)) << "the probe failed";
    bool started = false;
    for (int i = 0; i < 20 && !started; ++i) {
        Click(tool.x() + 28, tool.y() + 45);
        started = WaitForLog(log, "rx request", 1, 500);
    }
    ASSERT_TRUE(started) << "Start did not ask for a block";
    // Each request goes out before its predecessor is drawn: two more mean the sixth block is on screen.
    ASSERT_TRUE(WaitForLog(log, "rx request", 8, 10000)) << "blocks do not keep coming";

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    ASSERT_EQ(shot.size(), QSize(1024, 768));

    // The main window sits left of the tool window: the time view's green background at its place.
    const QPoint client = pair.main.client.topLeft();
    const QPoint view = client + QPoint(30, 30);
    const QRgb background = shot.pixel(view + QPoint(3, 3));
    EXPECT_GT(qGreen(background), qRed(background) + 40) << "green time view expected at its place";

    // A square wave between 3 V and 7 V (307 and 717 counts): black trace pixels on rows 175 and 74 of the
    // view.
    std::map<int, int> rows;
    for (int y = 0; y < 250; ++y)
        for (int x = 2; x < 498; ++x)
            if (Black(shot.pixel(view.x() + x, view.y() + y)))
                ++rows[y];
    const auto near = [&](int row) { return rows[row - 1] + rows[row] + rows[row + 1]; };
    EXPECT_GT(near(74), 150) << "no flat top at 7 V";
    EXPECT_GT(near(175), 150) << "no flat bottom at 3 V";
    for (const auto& [y, n] : rows) {
        if (std::abs(y - 74) > 1 && std::abs(y - 175) > 1) {
            EXPECT_LE(n, 8) << "trace pixels on row " << y << " (edges only expected there)";
        }
    }

    // Spectrum: the tallest bar at bin 10 (1 kHz at 100 Hz per bin).
    const QPoint spectrum = client + QPoint(30, 346);
    int bestBin = -1, bestHeight = 0;
    for (int k = 1; k < 500; ++k) {
        int h = 0;
        while (h < 124 && Black(shot.pixel(spectrum.x() + k, spectrum.y() + 124 - h)))
            ++h;
        if (h > bestHeight) {
            bestHeight = h;
            bestBin = k;
        }
    }
    EXPECT_NEAR(bestBin, 10, 1);
    EXPECT_GT(bestHeight, 20);

    // Tab once in the tool window: a focus mark shows on the next control, and nothing else changes.
    // The click on the read-out panel (it does nothing) gives the window the keyboard.
    const auto toolShot = [&] {
        return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(pair.tool.client);
    };
    QRect changed;
    for (int attempt = 0; attempt < 2 && changed.isEmpty(); ++attempt) {
        Click(tool.x() + 40, tool.y() + 500);
        QImage before = toolShot();
        for (int waited = 0; waited < 3000; waited += 100) { // until the click's repaints have settled
            QThread::msleep(100);
            const QImage now = toolShot();
            if (now == before)
                break;
            before = now;
        }
        ASSERT_TRUE(::Run("xdotool", {"key", "Tab"}));
        for (int waited = 0; waited < 5000 * (attempt + 1) && changed.isEmpty(); waited += 100) {
            QThread::msleep(100);
            const QImage now = toolShot();
            for (int y = 0; y < now.height(); ++y)
                for (int x = 0; x < now.width(); ++x)
                    if (now.pixel(x, y) != before.pixel(x, y))
                        changed |= QRect(x, y, 1, 1);
        }
    }
    // Start, clicked, had the focus and passed it on to Reset when it was disabled; next comes V/dz.
    ASSERT_FALSE(changed.isEmpty()) << "Tab showed no focus mark in the tool window";
    EXPECT_TRUE(QRect(0, 57, 161, 120).contains(changed))
        << "the mark is not on the V/dz knob alone: " << changed.x() << "," << changed.y() << " "
        << changed.width() << "x" << changed.height();

    // F2 opens the measurements beside the pair: the picture of the screen in the README.
    // F2 goes to the window with the keyboard focus: a click on the tool window's read-out panel
    // (it does nothing) makes sure that is ours. F2 toggles, so it is pressed again only when
    // nothing opened after a generous wait.
    bool opened = false;
    for (int attempt = 0; attempt < 2 && !opened; ++attempt) {
        Click(tool.x() + 40, tool.y() + 500);
        ASSERT_TRUE(::Run("xdotool", {"key", "F2"}));
        opened = WaitForWindow("Pomiary", 5000 * (attempt + 1));
    }
    if (!opened) // what the screen showed, for the failure's reader
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QString::fromStdString(std::string(DRGANIK_BUILD_DIR) + "/e2e-failure.png"));
    ASSERT_TRUE(opened) << "F2 did not open the measurements window";
    // Drawn beside the tool window, on the black root: its light top margin shows.
    const QPoint margin = pair.tool.client.topRight() + QPoint(10, 2);
    QImage withMeasurements;
    for (int waited = 0; waited < 5000; waited += 100) {
        const QImage now = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        int light = 0;
        for (int x = 0; x < 100; ++x)
            light += qGray(now.pixel(margin + QPoint(x, 0))) > 150;
        if (light > 90) {
            withMeasurements = now;
            break;
        }
        QThread::msleep(100);
    }
    ASSERT_FALSE(withMeasurements.isNull()) << "no measurements window beside the tool window";
    // Each value, right-aligned in its box, is short: the box's left part stays empty. A number
    // spelled out to fifteen digits would fill the box and run out of it on the left.
    const auto pomiary = FindWindow("Pomiary");
    ASSERT_TRUE(pomiary);
    for (int row = 0; row < 8; ++row)
        for (int x = 76; x < 88; ++x)
            for (int y = 8 + 18 * row + 3; y < 8 + 18 * row + 15; ++y)
                ASSERT_GT(qGray(withMeasurements.pixel(pomiary->client.topLeft() + QPoint(x, y))), 100)
                    << "value " << row << " of \"Pomiary\" runs to the left of its box";
    withMeasurements.save(QString::fromStdString(std::string(DRGANIK_BUILD_DIR) + "/e2e-screenshot.png"));
}

// The main window's client area as the screen shows it once the pair stands in place.
QImage MainWindowAtStart(const QProcessEnvironment& env) {
    Session session(env);
    Pair pair;
    if (!session.app.waitForStarted() || !WaitForPlacedPair(pair, 10000))
        return {};
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(pair.main.client);
}

// On the desktop's own locale the main window at 1 V per division, whose numbers have no
// fraction, reads exactly as under C: scale labels "10V" .. "0V", nothing spelled out longer.
TEST(EndToEnd, TheMainWindowReadsAsUnderC) {
    const std::string desktop = std::setlocale(LC_NUMERIC, nullptr);
    if (desktop == "C" || desktop.rfind("C.", 0) == 0 || desktop == "POSIX")
        GTEST_SKIP() << "compares the desktop's locale with C, and this run is under C";
    const QImage own = MainWindowAtStart(QProcessEnvironment::systemEnvironment());
    QProcessEnvironment c = QProcessEnvironment::systemEnvironment();
    c.insert("LC_ALL", "C.UTF-8");
    const QImage plain = MainWindowAtStart(c);
    ASSERT_FALSE(own.isNull() || plain.isNull()) << "the windows did not stand in place";
    EXPECT_EQ(own, plain) << "under " << desktop << " the main window differs from under C";
    if (own != plain) {
        own.save(QString::fromStdString(std::string(DRGANIK_BUILD_DIR) + "/e2e-locale.png"));
        plain.save(QString::fromStdString(std::string(DRGANIK_BUILD_DIR) + "/e2e-locale-c.png"));
    }
}

// The main window has no close box, but a window manager may offer one anyway: its
// close request closes the port and ends the program.
TEST(EndToEnd, ClosingTheMainWindowThroughTheWindowManagerEndsTheProgram) {
    if (!UnderWindowManager())
        GTEST_SKIP() << "only a window manager delivers a close request";
    Session session;
    ASSERT_TRUE(session.sim.waitForStarted());
    ASSERT_TRUE(session.app.waitForStarted());
    Pair pair;
    ASSERT_TRUE(WaitForPlacedPair(pair, 10000)) << pair.seen;
    ASSERT_TRUE(ConnectAndProbe(pair.tool.client.topLeft(), session.log)) << "connect did not probe";
    // Under load the window manager may list the window a moment after the pair stands in place.
    QElapsedTimer clock;
    clock.start();
    bool asked = false;
    while (!(asked = ::Run("wmctrl", {"-c", "Zentak Drganik"})) && clock.elapsed() < 20000)
        QThread::msleep(100);
    ASSERT_TRUE(asked) << "no window to close";
    ASSERT_TRUE(session.app.waitForFinished(10000)) << "the program still runs";
    EXPECT_EQ(session.app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(session.app.exitCode(), 0);
}

// Starts the window manager named by DRGANIK_E2E_WM and waits until it manages the screen.
bool StartWindowManager(QProcess& wm) {
    wm.start(qEnvironmentVariable("DRGANIK_E2E_WM"), {});
    QElapsedTimer clock;
    clock.start();
    while (!Run("wmctrl", {"-m"})) {
        if (clock.elapsed() > 20000)
            return false;
        QThread::msleep(100);
    }
    return true;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv); // on the X server the program runs on, to take the screenshot
    QProcess wm;
    if (UnderWindowManager() && !StartWindowManager(wm)) {
        std::fprintf(stderr, "the window manager did not start\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    wm.terminate();
    wm.waitForFinished(3000);
    return result;
}
