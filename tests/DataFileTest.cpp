#include "DataFile.h"

#include <gtest/gtest.h>

namespace {

std::string Lines(int n, const std::string& each, const std::string& eol = "\r\n") {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += each + eol;
    return s;
}

} // namespace

TEST(DataFile, FormatIs501CrLfLinesAndReadsBack) {
    SampleBuffer s{};
    for (int i = 0; i < 500; ++i)
        s[size_t(i)] = std::uint16_t(i * 131 % 1024);
    s[700] = 77;
    const std::string text = FormatDataFile(s, 12);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 501);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 501);
    EXPECT_EQ(text.substr(text.size() - 4), "12\r\n");
    EXPECT_EQ(FormatDataFile(SampleBuffer{}, 3).size(), 1503u);

    SampleBuffer back{};
    back[700] = 5;
    const DataFileRead r = ReadDataFile(text, back);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.timebase, 12);
    EXPECT_TRUE(std::equal(s.begin(), s.begin() + 500, back.begin()));
    EXPECT_EQ(back[700], 5) << "words past the block are not touched";
}

TEST(DataFile, ReaderSkipsBlanksIgnoresTheRestOfALineAndFillsEarlyEndsWithZero) {
    SampleBuffer s{};
    s.fill(9);
    DataFileRead r = ReadDataFile(Lines(500, "12 ab") + "3\r\n", s);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s[499], 12);
    EXPECT_EQ(r.timebase, 3);

    r = ReadDataFile(Lines(500, "7", "\r\n\r\n \t\r\n"), s); // blank lines after every number, no T/dz
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s[499], 7);
    EXPECT_EQ(r.timebase, 0);

    s.fill(9);
    r = ReadDataFile("1\r2\n3\r\n4", s); // lone CR, LF, CR LF, end of file
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s[3], 4);
    EXPECT_EQ(s[4], 0) << "an early end gives zeros";

    r = ReadDataFile("5\r\n6\r\n\x1A"
                     "8\r\n",
                     s); // Ctrl+Z ends the file
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(s[1], 6);
    EXPECT_EQ(s[2], 0);
}

TEST(DataFile, NumbersSignsHexadecimalAndLow16Bits) {
    SampleBuffer s{};
    const DataFileRead r = ReadDataFile("-1\n70000\n$10\nx1F\n0XfF\n+4\n0x\n", s);
    EXPECT_FALSE(r.ok) << "\"0x\" alone is not a number";
    EXPECT_EQ(r.samplesStored, 6);
    EXPECT_EQ(s[0], 65535);
    EXPECT_EQ(s[1], 4464);
    EXPECT_EQ(s[2], 16);
    EXPECT_EQ(s[3], 31);
    EXPECT_EQ(s[4], 255);
    EXPECT_EQ(s[5], 4);
}

TEST(DataFile, BadTokensFailKeepingWhatWasRead) {
    SampleBuffer s{};
    s.fill(3);
    for (const std::string bad :
         {"12ab", "2147483648", "-2147483649", "$100000000", "1.5", "--1", "$", "+"}) {
        const DataFileRead r = ReadDataFile("10\n" + bad + "\n", s);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.samplesStored, 1) << bad;
        EXPECT_EQ(s[0], 10);
    }
    EXPECT_TRUE(ReadDataFile("-2147483648\n$FFFFFFFF\n", s).ok);
    EXPECT_EQ(s[1], 65535);
    // A token is at most 32 characters; the rest of its line is skipped.
    EXPECT_TRUE(ReadDataFile(std::string(31, '0') + "712345\n", s).ok);
    EXPECT_EQ(s[0], 7);
}

TEST(DataFile, NamesWithoutExtensionGetDrg) {
    EXPECT_EQ(WithDataFileExtension("/tmp/block"), "/tmp/block.drg");
    EXPECT_EQ(WithDataFileExtension("/tmp/block.txt"), "/tmp/block.txt");
    EXPECT_EQ(WithDataFileExtension("/tmp/v1.2/block"), "/tmp/v1.2/block.drg");
}
