// The yardstick for bench_cost: the least a Qt front-end can do for the same job.
// A 25-ms timer reads the line, sets a plain progress bar, and once a block is in
// asks for the next after 10 ms and repaints a 500-point polyline of it.
// Usage: bench_minimal DEVICE SECONDS [--no-progress]
// Prints "<CPU seconds> <blocks> <wall seconds> <wake-ups>" for the SECONDS after a second's warm-up.

#include "CpuTime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPolygon>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

class Plot : public QWidget {
  public:
    Plot() { setFixedSize(500, 250); }
    QPolygon line{500};

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.setPen(Qt::green);
        p.drawPolyline(line);
    }
};

int OpenLine(const char* path) {
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::perror(path);
        std::exit(1);
    }
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B115200);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_minimal DEVICE SECONDS [--no-progress]\n");
        return 2;
    }
    const int fd = OpenLine(argv[1]);
    const int seconds = std::atoi(argv[2]);
    const bool progress = !(argc > 3 && !std::strcmp(argv[3], "--no-progress"));

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* plot = new Plot;
    auto* bar = new QProgressBar;
    bar->setRange(1, 1000);
    bar->setTextVisible(false); // as the program's bar: the bar alone
    // Fusion runs a 60-frame-per-second stripe animation on a part-full bar, which the
    // program's bar does not have; the plain style draws a part-full bar still.
    bar->setStyle(QStyleFactory::create("Windows"));
    layout->addWidget(plot);
    layout->addWidget(bar);
    window.show();

    const auto request = [fd] {
        const unsigned char frame[5] = {0, 0, 0, 0, 0}; // no trigger, 0,1 ms/div
        [[maybe_unused]] const auto n = write(fd, frame, sizeof frame);
    };
    std::array<unsigned char, 1000> block{};
    int count = 0, silent = 0, blocks = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const ssize_t n = read(fd, block.data() + count, block.size() - std::size_t(count));
        if (n > 0) {
            count += int(n);
            silent = 0;
        } else if (++silent == 20) {
            request(); // a lost request
            silent = 0;
        }
        if (progress)
            bar->setValue(count);
        if (count <= 997)
            return;
        tcflush(fd, TCIOFLUSH);
        count = 0;
        ++blocks;
        QTimer::singleShot(10, Qt::PreciseTimer, request);
        for (int i = 0; i < 500; ++i)
            plot->line[i] = QPoint(i, 249 - (block[2 * i] + 256 * block[2 * i + 1]) * 250 / 1024);
        plot->update();
    });
    tick.start(25);
    request();

    const auto sleeps = [] { // voluntary switches of all threads: each a sleep, so each return a wake-up
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return u.ru_nvcsw;
    };
    double cpu0 = 0;
    long sleeps0 = 0;
    int blocks0 = 0;
    QElapsedTimer clock;
    QTimer::singleShot(1000, [&] {
        cpu0 = ProcessCpuSeconds();
        blocks0 = blocks;
        sleeps0 = sleeps();
        clock.start();
        QTimer::singleShot(seconds * 1000, [&] {
            std::printf("%.4f %d %.3f %ld\n", ProcessCpuSeconds() - cpu0, blocks - blocks0,
                        double(clock.elapsed()) / 1000, sleeps() - sleeps0);
            std::fflush(stdout);
            app.quit();
        });
    });
    return app.exec();
}
