#include "Instrument.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

extern volatile std::sig_atomic_t simStop;

namespace {

using namespace std::chrono;

// T/div of each time-base index, in seconds.
constexpr std::array<double, 16> kTdiv = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3, 5e-3, 1e-2, 2e-2,
                                          5e-2, 0.1,  0.2,  0.5,  1,    2,    5,    10};
constexpr double kByteSeconds = 10.0 / 115200; // 8N1: ten bits a byte

std::string Hex(const std::string& bytes) {
    std::string s;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        s += buf;
    }
    if (!s.empty())
        s.pop_back();
    return s;
}

template <class D> auto Dur(double seconds) {
    return duration_cast<D>(duration<double>(seconds));
}

} // namespace

Instrument::Instrument(Options options) : opt_(std::move(options)), rng_(opt_.signal.seed) {
    log_ = opt_.logFile.empty() ? stderr : std::fopen(opt_.logFile.c_str(), "a");
    if (!log_)
        log_ = stderr;
    CreateDevice();
}

Instrument::~Instrument() {
    DestroyDevice();
    if (log_ && log_ != stderr)
        std::fclose(log_);
}

void Instrument::Log(const std::string& line) {
    const double t = duration<double>(Clock::now() - epoch_).count();
    std::fprintf(log_, "%10.4f %s\n", t, line.c_str());
    std::fflush(log_);
}

void Instrument::CreateDevice() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        std::perror("pseudo-terminal");
        std::exit(1);
    }
    const std::string slavePath = ptsname(master_);
    slave_ = open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    for (const int fd : {master_, slave_}) {
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    unlink(opt_.link.c_str()); // a stale link of an earlier run
    if (symlink(slavePath.c_str(), opt_.link.c_str()) != 0) {
        std::perror(opt_.link.c_str());
        std::exit(1);
    }
    Log("device " + opt_.link + " -> " + slavePath);
}

void Instrument::DestroyDevice() {
    if (master_ < 0)
        return;
    unlink(opt_.link.c_str());
    close(slave_);
    close(master_);
    master_ = slave_ = -1;
    out_.clear();
    input_.clear();
    Log("device removed");
}

void Instrument::OnBytes(const std::string& bytes) {
    input_ += bytes;
    while (!input_.empty()) {
        if (input_[0] == 'q') { // no frame starts with 0x71: this is the abort command
            input_.erase(0, 1);
            Log("rx abort");
            out_.clear();
            continue;
        }
        if (input_.size() < 5)
            return;
        const std::string frame = input_.substr(0, 5);
        input_.erase(0, 5);
        if (frame == std::string("\x00\x55\x00\x00\x55", 5)) {
            Log("rx probe " + Hex(frame));
            out_.clear();
            out_.push_back({Clock::now(), "U"});
            continue;
        }
        OnRequest(frame);
    }
}

void Instrument::OnRequest(const std::string& f) {
    const auto b = [&](int i) { return int(static_cast<unsigned char>(f[size_t(i)])); };
    const int mode = b(0), timebase = b(1), level = b(2) | (b(3) << 8);
    char line[160];
    std::snprintf(line, sizeof line, "rx request %s mode=0x%02X timebase=%d level=%d", Hex(f).c_str(), mode,
                  timebase, level);
    Log(line);
    if (((b(0) + b(1) + b(2) + b(3)) & 0xFF) != b(4) || timebase > 15) {
        Log("  bad frame ignored");
        return;
    }
    out_.clear(); // a new request replaces a block in progress
    ++requests_;
    if (opt_.faults.dropEvery > 0 && requests_ % opt_.faults.dropEvery == 0) {
        Log("  dropped");
        return;
    }
    auto start = Clock::now();
    if (opt_.faults.stallEvery > 0 && requests_ % opt_.faults.stallEvery == 0) {
        Log("  stalling " + std::to_string(opt_.faults.stallMs) + " ms");
        start += milliseconds(opt_.faults.stallMs);
    }
    ScheduleBlock(mode, timebase, level, start);
}

void Instrument::ScheduleBlock(int mode, int timebase, int level, Clock::time_point start) {
    const double dt = kTdiv[size_t(timebase)] / 25;
    const double t = duration<double>(start - epoch_).count();
    const auto at = [&](double when) { return Counts(Volts(opt_.signal, when)); };

    // Trigger: the first sample at or past the level in the chosen direction.
    double t0 = t;
    const int edge = mode & 0x60;
    if (edge) {
        int n = 1;
        for (; n < 20000; ++n) {
            const int prev = at(t + (n - 1) * dt), cur = at(t + n * dt);
            if (edge == 0x60 ? (prev < level && cur >= level) : (prev >= level && cur < level))
                break;
        }
        if (n == 20000) {
            Log("  no trigger event: silent");
            return;
        }
        t0 = t + n * dt;
    }

    std::array<std::uint16_t, 500> samples{};
    for (int i = 0; i < 500; ++i)
        samples[size_t(i)] =
            Counts(Volts(opt_.signal, t0 + i * dt) + ConverterNoise(opt_.signal, t0 + i * dt));
    if (opt_.faults.garbleEvery > 0 && (blocks_ + 1) % opt_.faults.garbleEvery == 0) {
        samples[1] = 0xFFFF;
        Log("  garbled second word");
    }
    std::string bytes;
    for (auto s : samples) {
        bytes += char(s & 0xFF);
        bytes += char(s >> 8);
    }

    const auto when = [&](double seconds) { return epoch_ + Dur<Clock::duration>(seconds); };
    const double byteTime = opt_.fast ? 0 : kByteSeconds;
    std::uniform_int_distribution<int> piece(1, 97), gap(0, 3000);
    if (timebase >= 7) {
        // Progressive: each sample leaves as soon as it is acquired.
        for (int i = 0; i < 500; ++i)
            out_.push_back({when(t0 + (i + 1) * dt), bytes.substr(size_t(2 * i), 2), i == 499});
    } else {
        double send = t0 + 500 * dt; // the whole block is acquired first
        for (size_t pos = 0; pos < bytes.size();) {
            // Two at a time into a USB chip, so that its pieces fill at the line rate.
            const size_t chunk = opt_.usbLatencyMs > 0 ? 2 : 16;
            const size_t n = std::min(bytes.size() - pos, size_t(opt_.faults.split ? piece(rng_) : chunk));
            out_.push_back({when(send), bytes.substr(pos, n), pos + n == bytes.size()});
            send += n * byteTime + (opt_.faults.split ? gap(rng_) * 1e-6 : 0);
            pos += n;
        }
    }
    if (opt_.faults.extraBytes > 0) {
        const auto after = out_.back().due + Dur<Clock::duration>(out_.back().bytes.size() * byteTime);
        out_.push_back({after, std::string(size_t(opt_.faults.extraBytes), '\x2A')});
    }
}

std::size_t Instrument::SendDue(std::size_t limit) {
    // One write for the whole piece, so the other side sees it arrive at once.
    std::string piece;
    const auto now = Clock::now();
    for (const Chunk& c : out_) {
        if (c.due > now || piece.size() >= limit)
            break;
        piece += c.bytes.substr(0, limit - piece.size());
    }
    if (piece.empty())
        return 0;
    const ssize_t n = write(master_, piece.data(), piece.size());
    if (n < 0) {
        if (errno != EAGAIN)
            Log("write failed");
        return 0;
    }
    for (std::size_t left = std::size_t(n); left > 0;) {
        Chunk& c = out_.front();
        const std::size_t k = std::min(left, c.bytes.size());
        c.bytes.erase(0, k);
        left -= k;
        if (!c.bytes.empty())
            break;
        const bool blockDone = c.endsBlock;
        out_.pop_front();
        if (blockDone)
            Log("tx block");
        if (blockDone && ++blocks_ == opt_.faults.hangupAfter) {
            Log("hang-up after " + std::to_string(blocks_) + " blocks");
            blocks_ = 0;
            DestroyDevice();
            break;
        }
    }
    return std::size_t(n);
}

Instrument::Clock::time_point Instrument::UsbSendAt() const {
    const auto flush = std::max(usbSent_, out_.front().due) + Dur<Clock::duration>(opt_.usbLatencyMs / 1000);
    std::size_t n = 0;
    for (const Chunk& c : out_) {
        if (c.due >= flush)
            break;
        n += c.bytes.size();
        if (n >= kUsbPiece)
            return c.due; // full
    }
    return flush;
}

int Instrument::Run() {
    const bool usb = opt_.usbLatencyMs > 0;
    const bool adapter = !usb && opt_.pieceBytes > 0;
    const auto pieceEvery = Dur<Clock::duration>(opt_.pieceMs / 1000);
    while (!simStop) {
        if (master_ < 0) {
            if (opt_.faults.recreateMs < 0)
                return 0;
            std::this_thread::sleep_for(milliseconds(opt_.faults.recreateMs));
            CreateDevice();
            continue;
        }
        // Sleep until a byte comes in, the next piece is due, or (when one is due but the
        // program is not reading) there is room again; never poll with a zero time-out.
        const auto nextSend = [&] {
            if (usb)
                return UsbSendAt();
            return adapter ? std::max(out_.front().due, nextPiece_) : out_.front().due;
        };
        const auto now = Clock::now();
        const bool due = !out_.empty() && nextSend() <= now;
        // To the microsecond, as bytes leave a real line: a time-out rounded up to whole
        // milliseconds would make every block up to one late.
        auto wait = duration_cast<nanoseconds>(milliseconds(200));
        if (!out_.empty() && !due)
            wait = duration_cast<nanoseconds>(nextSend() - now);
        const timespec timeout{time_t(wait.count() / 1000000000), long(wait.count() % 1000000000)};
        pollfd p{master_, short(POLLIN | (due ? POLLOUT : 0)), 0};
        if (ppoll(&p, 1, &timeout, nullptr) < 0 && errno != EINTR)
            return 1;
        if (p.revents & POLLIN) {
            char buf[256];
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n > 0)
                OnBytes(std::string(buf, size_t(n)));
        }
        if (out_.empty() || nextSend() > Clock::now())
            continue;
        const std::size_t limit = usb       ? kUsbPiece
                                  : adapter ? std::size_t(opt_.pieceBytes)
                                            : std::string::npos;
        const std::size_t sent = SendDue(limit);
        if (sent > 0 && usb)
            usbSent_ = Clock::now();
        if (sent > 0 && adapter) {
            // Keep the average pace of the pieces; after a pause start afresh.
            const auto sent = Clock::now();
            nextPiece_ = nextPiece_ + pieceEvery < sent ? sent + pieceEvery : nextPiece_ + pieceEvery;
        }
    }
    return 0;
}
