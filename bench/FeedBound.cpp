#include "FeedBound.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kTdiv[] = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3, 5e-3, 1e-2, 2e-2, 5e-2, 0.1, 0.2, 0.5, 1, 2, 5, 10};
constexpr double kByte = 10.0 / 115200;
constexpr int kUsbPiece = 62;

// When the simulator has each byte of a block ready to write: a fast block after the whole
// acquisition in chunks at the line rate, a progressive one sample by sample.
std::vector<double> Due(int timebase, const Delivery& feed) {
    const double start = 5 * kByte, dt = kTdiv[timebase] / 25;
    const int chunk = feed.usbLatencyMs > 0 ? 2 : 16;
    std::vector<double> due(1000);
    for (int i = 0; i < 1000; ++i)
        due[std::size_t(i)] =
            timebase >= 7 ? start + (i / 2 + 1) * dt : start + 500 * dt + (i / chunk) * chunk * kByte;
    return due;
}

// Bytes of `due` from `next` on that are ready at t, at most `limit`.
std::size_t ReadyAt(const std::vector<double>& due, std::size_t next, double t, std::size_t limit) {
    std::size_t n = 0;
    while (next + n < due.size() && n < limit && due[next + n] <= t)
        ++n;
    return n;
}

} // namespace

double BlockReady(int timebase, const Delivery& feed) {
    const auto due = Due(timebase, feed);
    const std::size_t need = timebase >= 7 ? 1000 : 998;
    const double never = -std::numeric_limits<double>::infinity();
    double t = 0, last = never; // the last piece, long ago
    for (std::size_t next = 0; next < need;) {
        if (feed.usbLatencyMs > 0) {
            const double flush = std::max(last, due[next]) + feed.usbLatencyMs / 1000;
            const std::size_t full = next + kUsbPiece - 1;
            t = full < due.size() && due[full] < flush ? due[full] : flush;
            next += ReadyAt(due, next, t, kUsbPiece);
            last = t;
        } else if (feed.pieceBytes > 0) {
            const double every = feed.pieceMs / 1000;
            t = std::max(due[next], last);
            next += ReadyAt(due, next, t, std::size_t(feed.pieceBytes));
            last = last + every < t ? t + every : last + every;
        } else {
            t = due[next];
            next += ReadyAt(due, next, t, due.size());
        }
    }
    return t;
}

double BlockBound(int timebase, double tick, const Delivery& feed) {
    const double pause = timebase < 7 ? 10e-3 : timebase > 10 ? 0.5 : 0;
    return 1 / (std::ceil((pause + BlockReady(timebase, feed)) / tick) * tick);
}
