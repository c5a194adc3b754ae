#include "BlockTransform.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SPECTRUM_X86 1
#endif

// Every bin still sums its terms in sample order with the same IEEE double
// operations as the direct loop, (d * cos) * w then the add, so the result is
// equal bit for bit. No fused multiply-add can be formed: the library is built
// with -ffp-contract=off, and neither the baseline nor the AVX2 code below is
// compiled for a processor that has one.
//
// What is different is where the sines and cosines come from. The table index
// of bin k at sample i is trunc(k * i / 5) mod 500. For the four bins
// g + 125 m (m = 0..3) it is the index of bin g moved on by 25 m i mod 500,
// which depends on the sample alone, so one position per group of four bins is
// worked out (vectorised, a running g * i mod 2500) and the four pairs are read
// from a doubled 16 KB table that stays in the first-level cache. A 500 x 500
// table of the values (2 MB) came back from memory for every block in the
// running program; a running table index per bin cost more than the sums.

namespace {

constexpr std::size_t Groups = 125; // group g: bins g, g + 125, g + 250, g + 375
constexpr std::size_t Chunk = 5;    // groups summed at once: 10 AVX2 accumulators

// Byte offset in the pair table of entry trunc(g * i / 5) mod 500, for the
// groups of one chunk and the samples 0..499 (and 12 past the end).
using Positions = std::array<std::array<std::uint16_t, 512>, Chunk>;

// The move of bin g + 125 m's entry from bin g's, in bytes, for sample i: it
// repeats every 20 samples.
struct Moves {
    std::uint32_t m[20][4];
    constexpr Moves() : m{} {
        for (std::uint32_t i = 0; i < 20; ++i)
            for (std::uint32_t n = 0; n < 4; ++n)
                m[i][n] = 25 * n * i % 500 * 16;
    }
};
constexpr Moves PairMoves;

// Everything a chunk reads besides the positions.
struct Block {
    const char* table; // the doubled pair table
    const double* d;   // sample minus the mean
    const double* w;   // window
};

// Positions for 16 samples at once with AVX2 and 8 in the baseline registers,
// where a wider type would be divided one lane at a time.
using Lanes8 = std::uint16_t __attribute__((vector_size(16)));
using Lanes16 = std::uint16_t __attribute__((vector_size(32)));

template <class Lanes> void ChunkPositions(std::size_t g0, Positions& pos) {
    constexpr std::size_t N = sizeof(Lanes) / 2;
    Lanes lane{};
    for (std::size_t l = 0; l < N; ++l)
        lane[l] = std::uint16_t(l);
    // The groups side by side too, so that their running sums do not wait on each other.
    Lanes r[Chunk];
    for (std::size_t c = 0; c < Chunk; ++c)
        r[c] = lane * std::uint16_t(g0 + c); // below 2500: g * 15 is
    for (std::size_t b = 0; b < 512; b += N)
        for (std::size_t c = 0; c < Chunk; ++c) {
            const Lanes at = r[c] / 5 * 16;
            std::memcpy(&pos[c][b], &at, sizeof at);
            r[c] += std::uint16_t(N * (g0 + c));
            r[c] = r[c] >= 2500 ? r[c] - 2500 : r[c];
        }
}

// The (cos, sin) pair of a bin as two doubles; one vector register on every
// processor the program runs on, SSE2 on x86.
using Pair = double __attribute__((vector_size(16)));

inline Pair LoadPair(const char* p) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// One group at a time: its four accumulators and the temporaries fit the
// sixteen baseline registers.
void SumChunk(const Block& b, const Positions& pos, double* re, double* im, std::size_t g0) {
    for (std::size_t c = 0; c < Chunk; ++c) {
        Pair acc[4] = {};
        for (std::size_t i0 = 0; i0 < 500; i0 += 20)
            for (std::size_t s = 0; s < 20; ++s) {
                const std::size_t i = i0 + s;
                const char* at = b.table + pos[c][i];
                const Pair d = {b.d[i], b.d[i]}, w = {b.w[i], b.w[i]};
#pragma GCC unroll 4
                for (std::size_t n = 0; n < 4; ++n)
                    acc[n] = acc[n] + LoadPair(at + PairMoves.m[s][n]) * d * w;
            }
        for (std::size_t n = 0; n < 4; ++n) {
            re[g0 + c + 125 * n] = acc[n][0];
            im[g0 + c + 125 * n] = acc[n][1];
        }
    }
}

#if defined(SPECTRUM_X86)
__attribute__((target("avx2"))) void ChunkPositionsAvx2(std::size_t g0, Positions& pos) {
    ChunkPositions<Lanes16>(g0, pos);
}

// The same operations for two bins per register, bins g and g + 250 in one and
// g + 125 and g + 375 in the other, five groups at once so that the additions
// of one bin, which must stay in order, overlap the other bins' work.
__attribute__((target("avx2"))) void SumChunkAvx2(const Block& b, const Positions& pos, double* re,
                                                  double* im, std::size_t g0) {
    __m256d lo[Chunk], hi[Chunk];
    for (std::size_t c = 0; c < Chunk; ++c)
        lo[c] = hi[c] = _mm256_setzero_pd();
    for (std::size_t i0 = 0; i0 < 500; i0 += 20)
        for (std::size_t s = 0; s < 20; ++s) {
            const std::size_t i = i0 + s;
            const std::uint32_t* move = PairMoves.m[s];
            const char* t0 = b.table;
            const char* t1 = b.table + move[1];
            const char* t2 = b.table + move[2];
            const char* t3 = b.table + move[3];
            const __m256d d = _mm256_broadcast_sd(b.d + i), w = _mm256_broadcast_sd(b.w + i);
#pragma GCC unroll 5
            for (std::size_t c = 0; c < Chunk; ++c) {
                const std::size_t p = pos[c][i];
                const __m256d x = _mm256_insertf128_pd(
                    _mm256_castpd128_pd256(_mm_loadu_pd(reinterpret_cast<const double*>(t0 + p))),
                    _mm_loadu_pd(reinterpret_cast<const double*>(t2 + p)), 1);
                const __m256d y = _mm256_insertf128_pd(
                    _mm256_castpd128_pd256(_mm_loadu_pd(reinterpret_cast<const double*>(t1 + p))),
                    _mm_loadu_pd(reinterpret_cast<const double*>(t3 + p)), 1);
                lo[c] = _mm256_add_pd(lo[c], _mm256_mul_pd(_mm256_mul_pd(d, x), w));
                hi[c] = _mm256_add_pd(hi[c], _mm256_mul_pd(_mm256_mul_pd(d, y), w));
            }
        }
    for (std::size_t c = 0; c < Chunk; ++c) {
        alignas(32) double v[8];
        _mm256_store_pd(v, lo[c]);
        _mm256_store_pd(v + 4, hi[c]);
        constexpr std::size_t quarter[4] = {0, 2, 1, 3}; // v holds bins g, g + 250, g + 125, g + 375
        for (std::size_t n = 0; n < 4; ++n) {
            const std::size_t k = g0 + c + 125 * quarter[n];
            re[k] = v[2 * n];
            im[k] = v[2 * n + 1];
        }
    }
}
#endif

} // namespace

BlockTransform::BlockTransform(const TransformTables& t, bool useAvx2) {
    for (std::size_t j = 0; j < 1000; ++j) {
        pairs_[2 * j] = double(t.CosTable[j % 500]);
        pairs_[2 * j + 1] = double(t.SinTable[j % 500]);
    }
    for (std::size_t i = 0; i < 500; ++i)
        window_[i] = MainSpectrumWindow(t, i);
#if !defined(SPECTRUM_X86)
    (void)useAvx2;
#else
    __builtin_cpu_init();
    avx2_ = useAvx2 && __builtin_cpu_supports("avx2");
#endif
}

void BlockTransform::ComputeSpectrum(const SampleBuffer& samples, Spectrum& out) const {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < 500; ++i)
        sum += samples[i];
    const std::int32_t mean = sum / 500;
    double d[500];
    for (std::size_t i = 0; i < 500; ++i)
        d[i] = double(std::int32_t(samples[i]) - mean);

    const Block block{reinterpret_cast<const char*>(pairs_.data()), d, window_.data()};
    double re[500], im[500];
    Positions pos;
    for (std::size_t g0 = 0; g0 < Groups; g0 += Chunk) {
#if defined(SPECTRUM_X86)
        if (avx2_) {
            ChunkPositionsAvx2(g0, pos);
            SumChunkAvx2(block, pos, re, im, g0);
            continue;
        }
#endif
        ChunkPositions<Lanes8>(g0, pos);
        SumChunk(block, pos, re, im, g0);
    }
    for (std::size_t k = 0; k < 500; ++k)
        out[k] = std::int32_t(std::int64_t(std::sqrt(re[k] * re[k] + im[k] * im[k])) / 58);
}
