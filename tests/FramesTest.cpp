#include "Frames.h"

#include "Samples.h"

#include <gtest/gtest.h>

TEST(Frames, ProbeAndRequestBytes) {
    EXPECT_EQ(ProbeFrame(), std::string("\x00\x55\x00\x00\x55", 5));
    EXPECT_EQ(RequestFrame(0x00, true, 3, 1, 0), std::string("\x01\x03\x01\x00\x05", 5));
    EXPECT_EQ(RequestFrame(0x60, false, 15, 0xFF, 0x03), std::string("\x60\x0F\xFF\x03\x71", 5));
    EXPECT_EQ(RequestFrame(0x40, true, 0, 0x00, 0x02), std::string("\x41\x00\x00\x02\x43", 5));
}

TEST(Samples, RowsTruncateLiveAndRoundElsewhere) {
    EXPECT_EQ(SampleToRow(1023, Rounding::Truncate, 40), 249); // 9990 mV
    EXPECT_EQ(SampleToRow(1023, Rounding::Truncate, 4), 2497);
    EXPECT_EQ(SampleToRow(600, Rounding::Truncate, 20), 292); // 5859.375 mV
    EXPECT_EQ(SampleToRow(512, Rounding::Nearest, 40), 125);
    EXPECT_EQ(SampleToRow(256, Rounding::Nearest, 40), 62);
    // One count is 9.765625 mV: truncation gives 9, nearest 10.
    EXPECT_EQ(SampleToRow(1, Rounding::Truncate, 1), 9);
    EXPECT_EQ(SampleToRow(1, Rounding::Nearest, 1), 10);
    // Ties go to even: 32 counts are 312.5 mV, 96 counts 937.5 mV.
    EXPECT_EQ(SampleToRow(32, Rounding::Nearest, 1), 312);
    EXPECT_EQ(SampleToRow(96, Rounding::Nearest, 1), 938);
    EXPECT_EQ(SampleToRow(65535, Rounding::Nearest, 4), 159997); // 639990.234375 mV
}

TEST(Samples, BlocksDecodeLowByteFirstAndShortBlocksReadZero) {
    SampleBuffer s{};
    s.fill(0xAAAA);
    std::string rx(1010, '\0');
    for (int i = 0; i < 500; ++i) {
        rx[2 * i] = char(i & 0xFF);
        rx[2 * i + 1] = char(i >> 8);
    }
    DecodeBlock(rx, s);
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[499], 499);
    EXPECT_EQ(s[500], 0xAAAA) << "bytes past the block are dropped";

    DecodeBlock(rx.substr(0, 999), s);
    EXPECT_EQ(s[499], 499 & 0xFF) << "the missing high byte reads as zero";
    DecodeBlock(rx.substr(0, 998), s);
    EXPECT_EQ(s[499], 0);

    s.fill(0xAAAA);
    CopyReceived(std::string("\x01\x02\x03", 3), s);
    EXPECT_EQ(s[0], 0x0201);
    EXPECT_EQ(s[1], 0xAA03) << "an odd count keeps the high byte";
    CopyReceived(std::string(2100, '\x01'), s);
    EXPECT_EQ(s[999], 0x0101) << "never past the buffer";
}
