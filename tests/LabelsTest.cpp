#include "EnvironmentLocale.h"
#include "Markers.h"
#include "Measurements.h"
#include "NumberText.h"
#include "RangeTables.h"

#include <gtest/gtest.h>

TEST(Labels, VoltScaleForEveryPosition) {
    const std::vector<std::vector<std::string>> rows = {
        {"10V", "9V", "8V", "7V", "6V", "5V", "4V", "3V", "2V", "1V", "0V"},
        {"5V", "4,5V", "4V", "3,5V", "3V", "2,5V", "2V", "1,5V", "1V", "0,5V", "0V"},
        {"2V", "1,8V", "1,6V", "1,4V", "1,2V", "1V", "0,8V", "0,6V", "0,4V", "0,2V", "0V"},
        {"1V", "0,9V", "0,8V", "0,7V", "0,6V", "0,5V", "0,4V", "0,3V", "0,2V", "0,1V", "0V"}};
    for (size_t p = 0; p < 4; ++p) {
        const auto texts = VoltLabelTexts(VoltTable[p].FullScaleVolts, ",");
        EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end()), rows[p]) << "position " << p;
    }
    EXPECT_EQ(VoltLabelTexts(5, ".")[1], "4.5V") << "the locale's separator";
}

TEST(Labels, TimeBaseTableRowsAreConsistent) {
    // Each row's T/div text, unit and scale agree: t5 is 20 divisions, F5 is 5 / (T/div) Hz.
    const double tdivMs[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    for (int p = 0; p < 16; ++p) {
        const auto& row = TimebaseTable[size_t(p)];
        EXPECT_DOUBLE_EQ(row.TimePerPixelMs * 25, tdivMs[p]) << p;
        const double t5 = 20 * tdivMs[p];
        EXPECT_EQ(row.T[3], t5 < 1000 && p < 6 ? NumberText(t5, "ms", ",") : NumberText(t5 / 1000, "s", ","))
            << p;
        const double f5 = 5 / (tdivMs[p] / 1000);
        EXPECT_EQ(row.F[4], f5 >= 2000 ? NumberText(f5 / 1000, "kHz", ",") : NumberText(f5, "Hz", ",")) << p;
        EXPECT_EQ(std::string(row.F[0]), p == 4 || p == 5 ? "0Hz" : "0kHz") << p;
    }
    EXPECT_STREQ(TimebaseTable[6].T[0], "50ms") << "position 6 mixes units";
    EXPECT_STREQ(TimebaseTable[6].T[1], "0,1s");
    EXPECT_STREQ(TimebaseTable[13].F[1], "0,625Hz");
}

TEST(Labels, TimeUnitAndAxisCaptionsOfAPosition) {
    EXPECT_EQ(TimeBaseAt(5).TimeUnit, "ms");
    EXPECT_DOUBLE_EQ(TimeBaseAt(5).TimePerPixel, 0.2);
    EXPECT_EQ(TimeBaseAt(6).TimeUnit, "s") << "10 ms per division already reads in seconds";
    EXPECT_DOUBLE_EQ(TimeBaseAt(6).TimePerPixel, 0.0004);
    EXPECT_DOUBLE_EQ(TimeBaseAt(15).TimePerPixel, 0.4);

    const auto first = AxisLabelTexts(0);
    EXPECT_EQ(first.time, (std::array<std::string, 5>{"0ms", "0,5ms", "1ms", "1,5ms", "2ms"}));
    EXPECT_EQ(first.frequency, (std::array<std::string, 5>{"0kHz", "12,5kHz", "25kHz", "37,5kHz", "50kHz"}));
    EXPECT_EQ(AxisLabelTexts(15).time[0], "0ms") << "t1 never changes";
    EXPECT_EQ(AxisLabelTexts(15).time[4], "200s");
}

TEST(Labels, NumberTextShortestFormWithSeparator) {
    EXPECT_EQ(NumberText(0.5, "V", ","), "0,5V");
    EXPECT_EQ(NumberText(10, "V", ","), "10V");
    EXPECT_EQ(NumberText(-0.04, "V", ","), "-0,04V");
    EXPECT_EQ(NumberText(0, "ms", ","), "0ms");
    EXPECT_EQ(NumberText(0.492, "ms", ","), "0,492ms");
    EXPECT_EQ(NumberText(63 * 0.04, "V", ","), "2,52V");
    EXPECT_EQ(NumberText(0.1 + 0.2, ","), "0,3") << "15 significant digits";
    EXPECT_EQ(NumberText(0.00001, ","), "0,00001");
    EXPECT_EQ(NumberText(0.000001, ","), "1E-6");
    EXPECT_EQ(NumberText(0.0000012, ","), "1,2E-6");
    EXPECT_EQ(NumberText(123456789012345, ","), "123456789012345");
}

// Qt gives the C library the desktop's locale at start; on a Polish desktop the texts must read
// exactly as under C, the separator chosen by the caller alone.
TEST(Labels, TextsDoNotFollowTheCLibraryLocale) {
    const ScopedCLocale polish("pl_PL.UTF-8");
    if (!polish.Active()) {
        ASSERT_FALSE(ScopedCLocale::Required()) << "pl_PL.UTF-8 is not installed";
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    const auto volts = VoltLabelTexts(10, ",");
    EXPECT_EQ(volts[0], "10V");
    EXPECT_EQ(VoltLabelTexts(5, ".")[1], "4.5V");
    EXPECT_EQ(NumberText(0.0000012, ","), "1,2E-6");
    EXPECT_EQ(NumberText(-2.5e20, "."), "-2.5E20");
    EXPECT_EQ(PointerVoltText(125, VoltRange{}, ","), "5V");
    EXPECT_EQ(PointerTimeText(123, TimeBase{}, ","), "0,492ms");
    Measurements m;
    m.Frequency = 12345.6;
    m.Mean = 4.990234375;
    EXPECT_EQ(TextsOf(m, ",").Frequency, "12,35kHz");
    EXPECT_EQ(TextsOf(m, ",").Mean, "4,99V");
}
