// Random byte streams as the instrument's replies, in random pieces: decoding,
// rows, spectrum and drawing never crash or write outside their buffers.

#include "BlockTransform.h"
#include "Canvas.h"
#include "Samples.h"
#include "TraceDrawing.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

struct Scope {
    TransformTables tables;
    std::unique_ptr<BlockTransform> transform;
    Canvas window{QSize(578, 519), Qt::gray};
    Canvas trace{QSize(500, 250)};
    Canvas spectrum{QSize(500, 125)};
    Scope() {
        BuildSpectrumTables(tables);
        transform = std::make_unique<BlockTransform>(tables);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scope scope; // built once: the tables cost a few milliseconds
    if (size < 2)
        return 0;
    const int mvPerRow[] = {40, 20, 8, 4};
    const int mv = mvPerRow[data[0] % 4];
    const std::size_t piece = 1 + data[1] % 251;
    SampleBuffer samples{};
    Spectrum spectrum{};
    std::string rx;
    for (std::size_t at = 2; at < size; at += piece) {
        rx.append(reinterpret_cast<const char*>(data + at), std::min(piece, size - at));
        CopyReceived(rx, samples); // progressive: what has come so far
        DrawProgressiveTrace(scope.window, samples, int(rx.size()), Rounding::Truncate, mv, 0);
        if (rx.size() >= 998) { // fast: a block, missing bytes as zero
            DecodeBlock(rx, samples);
            DrawTrace(scope.trace, samples, Rounding::Truncate, mv, 0);
            scope.transform->ComputeSpectrum(samples, spectrum);
            DrawSpectrumLines(scope.spectrum, spectrum, 1, (data[0] & 4) != 0);
            rx.clear();
        }
    }
    return 0;
}
