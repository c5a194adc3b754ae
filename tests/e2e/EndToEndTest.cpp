// The built program as a user runs it: under a real X server, with the
// simulator, clicked with xdotool, checked on a screenshot.

#include "TempDir.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

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

bool Black(QRgb c) {
    return qRed(c) < 12 && qGreen(c) < 12 && qBlue(c) < 12;
} // the trace colour, 0

} // namespace

TEST(EndToEnd, ConnectStartAndTheScreenShowsTheSignal) {
    TempDir dir;
    // The program and its pictures in a folder of their own, so its settings file is the test's.
    std::filesystem::copy_file(DRGANIK_BIN, dir.File("drganik"));
    std::filesystem::copy(DRGANIK_SOURCE_DIR "/data", dir.path / "data");
    const std::string link = dir.File("com1");
    QProcess sim;
    sim.start(DRGANIK_SIM, {QString::fromStdString(link), "--signal", "square", "--freq", "1000", "--amp",
                            "2", "--offset", "5", "--log", QString::fromStdString(dir.File("sim.log"))});
    ASSERT_TRUE(sim.waitForStarted());
    for (int i = 0; i < 50 && !std::filesystem::is_symlink(link); ++i)
        QThread::msleep(20);
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + link + "\n");

    QProcess app;
    app.setWorkingDirectory(QString::fromStdString(dir.path.string()));
    app.start(QString::fromStdString(dir.File("drganik")), {});
    ASSERT_TRUE(app.waitForStarted());
    ASSERT_TRUE(WaitForWindow("Narzędzia", 10000)) << "the tool window did not appear";
    QThread::msleep(500);

    // The tool window stands at (720, 125) on a 1024 x 768 screen; connect, then Start.
    const std::string log = dir.File("sim.log");
    Click(720 + 16, 125 + 16);
    ASSERT_TRUE(WaitForLog(log, "rx probe", 1, 5000)) << "connect did not probe";
    QThread::msleep(500); // the reply is taken at the next tick
    Click(720 + 28, 125 + 45);
    ASSERT_TRUE(WaitForLog(log, "rx request", 6, 10000)) << "blocks do not keep coming";
    QThread::msleep(300);

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    shot.save(QString::fromStdString(std::string(DRGANIK_BUILD_DIR) + "/e2e-screenshot.png"));
    app.terminate();
    app.waitForFinished(3000);
    sim.terminate();
    sim.waitForFinished(3000);
    ASSERT_EQ(shot.size(), QSize(1024, 768));

    // The main window sits left of the tool window: the time view's green background at its place.
    const QPoint view(142 + 30, 125 + 30);
    const QRgb background = shot.pixel(view + QPoint(3, 3));
    EXPECT_GT(qGreen(background), qRed(background) + 40) << "green time view expected at (172, 155)";

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
    const QPoint spectrum(142 + 30, 125 + 346);
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
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv); // on the X server the program runs on, to take the screenshot
    return RUN_ALL_TESTS();
}
