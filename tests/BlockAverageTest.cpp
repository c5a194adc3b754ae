#include "BlockAverage.h"

#include <deque>
#include <gtest/gtest.h>
#include <random>

// Against the plain mean of the blocks kept aside: a long run of random blocks with lengths
// changed, settings changed and a full window rolling over, sample by sample.
TEST(BlockAverage, IsTheMeanOfTheLastBlocksTakenWithTheSameSettings) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> word(0, 1023);
    BlockAverage average;
    std::deque<SampleBuffer> kept;
    BlockSettings settings{3, 0, 1, 512};
    average.SetLength(5);
    for (int n = 0; n < 400; ++n) {
        if (n == 150) {
            average.SetLength(64); // restarts
            kept.clear();
        }
        if (n == 260 || n == 261) {
            settings.triggerLevel += 10; // other settings: the old blocks leave the mean
            kept.clear();
        }
        SampleBuffer block{};
        for (int i = 0; i < 500; ++i)
            block[size_t(i)] = std::uint16_t(word(rng));
        average.Add(block, settings);
        kept.push_back(block);
        if (int(kept.size()) > average.Length())
            kept.pop_front();
        ASSERT_EQ(average.Reached(), int(kept.size())) << n;
        for (int i = 0; i < 500; i += 7) {
            double sum = 0;
            for (const auto& b : kept)
                sum += b[size_t(i)];
            ASSERT_NEAR(average.At(i), sum / double(kept.size()), 1e-9) << "block " << n << " sample " << i;
        }
    }
    EXPECT_EQ(average.Length(), 64);
    average.SetLength(1000);
    EXPECT_EQ(average.Length(), BlockAverage::MaxLength);
    average.SetLength(1);
    EXPECT_EQ(average.Length(), BlockAverage::MinLength);
    EXPECT_EQ(average.Reached(), 0);
}

// Noise that differs from block to block shrinks as the root of the count: 64 blocks, 8 times.
TEST(BlockAverage, SixtyFourBlocksTakeTheNoiseDownEightTimes) {
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0, 20); // steps
    BlockAverage average;
    average.SetLength(64);
    double single = 0;
    for (int n = 0; n < 64; ++n) {
        SampleBuffer block{};
        double squares = 0;
        for (int i = 0; i < 500; ++i) {
            block[size_t(i)] = std::uint16_t(std::lround(512 + noise(rng)));
            squares += (block[size_t(i)] - 512.0) * (block[size_t(i)] - 512.0);
        }
        single += std::sqrt(squares / 500) / 64;
        average.Add(block, {});
    }
    double squares = 0;
    for (int i = 0; i < 500; ++i)
        squares += (average.At(i) - 512) * (average.At(i) - 512);
    const double ratio = single / std::sqrt(squares / 500);
    EXPECT_GT(ratio, 7);
    EXPECT_LT(ratio, 9.2);
    const SampleBuffer rounded = average.Rounded();
    EXPECT_EQ(rounded[17], std::uint16_t(std::lround(average.At(17))));
}
