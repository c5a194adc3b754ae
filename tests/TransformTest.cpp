#include "BlockTransform.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

// The transform exactly as defined, line by line: the reference for the fast one.
Spectrum DirectSpectrum(const SampleBuffer& s, const TransformTables& t) {
    std::int32_t sum = 0;
    for (int i = 0; i < 500; ++i)
        sum += s[i];
    const std::int32_t mean = sum / 500;
    Spectrum out{};
    for (int k = 0; k < 500; ++k) {
        double re = 0, im = 0;
        for (int i = 0; i < 500; ++i) {
            const int index = int(std::trunc(double(k * i) / 5)) % 500;
            const std::int32_t d = std::int32_t(s[i]) - mean;
            const double w = 0.54 - 0.46 * double(t.CosTable[i]);
            re = re + double(d) * double(t.CosTable[index]) * w;
            im = im + double(d) * double(t.SinTable[index]) * w;
        }
        out[k] = std::int32_t(std::int64_t(std::sqrt(re * re + im * im)) / 58);
    }
    return out;
}

struct Fixture {
    TransformTables tables;
    std::unique_ptr<BlockTransform> transform, portable;
    Fixture() {
        BuildSpectrumTables(tables);
        transform = std::make_unique<BlockTransform>(tables);
        portable = std::make_unique<BlockTransform>(tables, false);
    }
    Spectrum Fast(const SampleBuffer& s) const {
        Spectrum out{};
        transform->ComputeSpectrum(s, out);
        return out;
    }
    Spectrum Portable(const SampleBuffer& s) const {
        Spectrum out{};
        portable->ComputeSpectrum(s, out);
        return out;
    }
};

SampleBuffer Sine(double cyclesPerBlock, double amplitude = 511, double centre = 512) {
    SampleBuffer s{};
    for (int i = 0; i < 500; ++i)
        s[i] = std::uint16_t(std::lround(centre + amplitude * std::sin(2 * M_PI * cyclesPerBlock * i / 500)));
    return s;
}

} // namespace

TEST(Spectrum, TablesUseTheAngleStep6283Over500) {
    TransformTables t;
    BuildSpectrumTables(t);
    EXPECT_EQ(t.CosTable[0], 1.0f);
    EXPECT_EQ(t.SinTable[0], 0.0f);
    EXPECT_EQ(t.CosTable[250], float(std::cos(250 * 6.283L / 500)));
    EXPECT_NE(t.SinTable[250], 0.0f) << "6.283 falls short of 2 pi";
}

TEST(Spectrum, FastTransformEqualsTheDirectDefinitionOnRandomBlocks) {
    Fixture f;
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> tenBit(0, 1023), full(0, 65535), kind(0, 5), coin(0, 1);
    for (int block = 0; block < 2000; ++block) {
        SampleBuffer s{};
        const int k = kind(rng);
        // Noise over 16 and 10 bits, sparse bit patterns, and blocks of the extremes only.
        for (int i = 0; i < 500; ++i)
            s[i] = std::uint16_t(k == 0   ? full(rng)
                                 : k == 1 ? tenBit(rng)
                                 : k <= 3 ? (tenBit(rng) & (k == 2 ? 0x3FF : 0x201))
                                          : coin(rng) * (k == 4 ? 1023 : 65535));
        const Spectrum direct = DirectSpectrum(s, f.tables);
        ASSERT_EQ(f.Fast(s), direct) << "block " << block;
        ASSERT_EQ(f.Portable(s), direct) << "block " << block;
    }
}

TEST(Spectrum, KnownShapes) {
    Fixture f;
    for (const std::uint16_t level : {0, 700, 1023, 65535}) {
        SampleBuffer flat{};
        flat.fill(level);
        const Spectrum zero = f.Fast(flat);
        EXPECT_TRUE(std::all_of(zero.begin(), zero.end(), [](int v) { return v == 0; })) << level;
    }

    const Spectrum s25 = f.Fast(Sine(25));
    EXPECT_EQ(std::max_element(s25.begin(), s25.end()) - s25.begin(), 125);
    EXPECT_NEAR(s25[125], 1190, 15);
    EXPECT_NEAR(s25[124], 1150, 20);
    EXPECT_NEAR(s25[126], 1150, 20);
    EXPECT_EQ(s25, DirectSpectrum(Sine(25), f.tables));

    const Spectrum s10 = f.Fast(Sine(10));
    EXPECT_EQ(std::max_element(s10.begin(), s10.end()) - s10.begin(), 50);
    EXPECT_NEAR(s10[50], 1190, 20);
    EXPECT_GT(s10[49], 1000) << "bins a fifth of a cycle apart make the peak several bins wide";
}
