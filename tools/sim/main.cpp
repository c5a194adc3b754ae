// drganik-sim: plays the oscilloscope instrument on a pseudo-terminal linked
// at the path given, for development, tests and users without hardware.

#include "Instrument.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

volatile std::sig_atomic_t simStop = 0;

namespace {

// The options, on standard output when asked for (--help), else on standard error with status 2.
[[noreturn]] void Usage(bool asked = false) {
    std::fprintf(asked ? stdout : stderr,
                 "usage: drganik-sim LINK [options]\n"
                 "  LINK                 path of the symbolic link to the device (e.g. /tmp/drganik-com1)\n"
                 "  --signal KIND        sine, square, triangle or noise (default sine)\n"
                 "  --freq HZ            frequency (default 1000)\n"
                 "  --amp V              amplitude in volts (default 3)\n"
                 "  --offset V           offset in volts on the 0..10 V scale (default 5)\n"
                 "  --seed N             noise and split pattern (default 1)\n"
                 "  --noise V            converter noise, up to V volts either way on each sample\n"
                 "  --fast               send blocks at once instead of at 115200 bit/s\n"
                 "  --drop-every N       no reply to every Nth request\n"
                 "  --garble-every N     every Nth block has a second word above 1024\n"
                 "  --extra N            send N extra bytes after each block\n"
                 "  --split              send blocks in odd pieces with gaps\n"
                 "  --piece BYTES        deliver like a USB adapter: at most BYTES at a time ...\n"
                 "  --interval MS        ... one piece every MS milliseconds (e.g. 64 and 5.6)\n"
                 "  --usb                deliver like a USB adapter's chip: 62-byte pieces, the rest\n"
                 "                       after its latency timer\n"
                 "  --latency MS         ... of MS milliseconds (default 16)\n"
                 "  --stall-every N      delay every Nth reply by --stall-ms (default 1000)\n"
                 "  --stall-ms MS\n"
                 "  --hangup-after N     remove the device after N blocks\n"
                 "  --recreate-ms MS     ... and create it again after MS milliseconds\n"
                 "  --log FILE           log received frames to FILE (default standard error)\n"
                 "  -h, --help           show this help and end\n");
    std::exit(asked ? 0 : 2);
}

double Number(int& i, int argc, char** argv) {
    if (i + 1 >= argc)
        Usage();
    // "1.5" on every desktop: from_chars never looks at the locale.
    const std::string_view text = argv[++i];
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size())
        Usage();
    return v;
}

} // namespace

// The options after the device link; anything unknown or incomplete shows the usage.
Options ParseOptions(int argc, char** argv) {
    Options o;
    o.link = argv[1];
    o.faults.stallMs = 1000;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--signal" && i + 1 < argc)
            o.signal.kind = argv[++i];
        else if (a == "--freq")
            o.signal.frequency = Number(i, argc, argv);
        else if (a == "--amp")
            o.signal.amplitude = Number(i, argc, argv);
        else if (a == "--offset")
            o.signal.offset = Number(i, argc, argv);
        else if (a == "--noise")
            o.signal.noise = Number(i, argc, argv);
        else if (a == "--seed")
            o.signal.seed = unsigned(Number(i, argc, argv));
        else if (a == "--fast")
            o.fast = true;
        else if (a == "--drop-every")
            o.faults.dropEvery = int(Number(i, argc, argv));
        else if (a == "--garble-every")
            o.faults.garbleEvery = int(Number(i, argc, argv));
        else if (a == "--extra")
            o.faults.extraBytes = int(Number(i, argc, argv));
        else if (a == "--piece")
            o.pieceBytes = int(Number(i, argc, argv));
        else if (a == "--interval")
            o.pieceMs = Number(i, argc, argv);
        else if (a == "--usb")
            o.usbLatencyMs = o.usbLatencyMs > 0 ? o.usbLatencyMs : 16;
        else if (a == "--latency")
            o.usbLatencyMs = Number(i, argc, argv);
        else if (a == "--split")
            o.faults.split = true;
        else if (a == "--stall-every")
            o.faults.stallEvery = int(Number(i, argc, argv));
        else if (a == "--stall-ms")
            o.faults.stallMs = int(Number(i, argc, argv));
        else if (a == "--hangup-after")
            o.faults.hangupAfter = int(Number(i, argc, argv));
        else if (a == "--recreate-ms")
            o.faults.recreateMs = int(Number(i, argc, argv));
        else if (a == "--log" && i + 1 < argc)
            o.logFile = argv[++i];
        else
            Usage();
    }
    return o;
}

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)
            Usage(true);
    if (argc < 2 || argv[1][0] == '-')
        Usage();
    const Options o = ParseOptions(argc, argv);
    if ((o.pieceBytes > 0) != (o.pieceMs > 0) || o.pieceBytes < 0 || o.usbLatencyMs < 0 ||
        (o.usbLatencyMs > 0 && o.pieceBytes > 0))
        Usage();
    if (o.signal.kind != "sine" && o.signal.kind != "square" && o.signal.kind != "triangle" &&
        o.signal.kind != "noise")
        Usage();

    struct sigaction sa {};
    sa.sa_handler = [](int) { simStop = 1; };
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    Instrument instrument(o);
    return instrument.Run();
}
