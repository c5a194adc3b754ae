#include "CsvExport.h"

#include <clocale>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.back(), '\r');
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(CsvExport, HeaderThen500RowsOfSecondsAndVoltsWithADecimalPoint) {
    SampleBuffer s{};
    for (int i = 0; i < 500; ++i)
        s[size_t(i)] = std::uint16_t(i * 7 % 1024);
    s[1] = 1;
    s[2] = 1023;
    s[3] = 65535;
    // A comma locale where one is installed: the text must not follow it.
    std::setlocale(LC_ALL, "pl_PL.UTF-8");
    const auto fast = Lines(FormatCsv(s, 0));  // 0,1ms/dz: 4 us per sample
    const auto slow = Lines(FormatCsv(s, 15)); // 10s/dz: 0,4 s per sample
    std::setlocale(LC_ALL, "C");

    ASSERT_EQ(fast.size(), 501u);
    EXPECT_EQ(fast[0], "t [s],U [V]");
    EXPECT_EQ(fast[1], "0,0");
    EXPECT_EQ(fast[2], "0.000004,0.009765625");
    EXPECT_EQ(fast[3], "0.000008,9.990234375");
    EXPECT_EQ(fast[4], "0.000012,639.990234375");
    EXPECT_EQ(fast[500].substr(0, 9), "0.001996,");
    EXPECT_EQ(slow[500].substr(0, slow[500].find(',')), "199.6");
    EXPECT_EQ(Lines(FormatCsv(s, 6))[251].substr(0, 4), "0.1,") << "0,4 ms per sample at 10ms/dz";
    // Every row reads back as the sample it came from.
    for (int i = 0; i < 500; ++i) {
        const std::string& row = slow[size_t(i) + 1];
        EXPECT_DOUBLE_EQ(std::stod(row.substr(row.find(',') + 1)) * 1024 / 10, s[size_t(i)]) << row;
    }
    EXPECT_THROW(FormatCsv(s, 16), std::out_of_range);
    // An averaged block, between the converter's steps: its volts as they are.
    std::array<double, BlockSamples> volts{};
    volts[1] = 4.990234375 + 0.0048828125 / 64;
    EXPECT_EQ(Lines(FormatCsv(volts, 0))[2], "0.000004,4.9903106689453125");
    EXPECT_THROW(FormatCsv(volts, -1), std::out_of_range);
}
