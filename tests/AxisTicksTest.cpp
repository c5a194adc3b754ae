#include "AxisTicks.h"

#include "EnvironmentLocale.h"
#include "ZoomSpan.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(const std::vector<AxisTick>& ticks) {
    std::vector<std::string> out;
    for (const auto& t : ticks)
        out.push_back(t.text);
    return out;
}

} // namespace

// Every span from a microsecond to a thousand seconds and every tick density: the step is
// 1, 2 or 5 times a power of ten, the least such at or above the least step asked for, and the
// ticks are its multiples inside the span, each text distinct.
TEST(AxisTicks, StepsAreOneTwoFiveAtEveryZoom) {
    for (double span = 1e-6; span < 1e3; span *= 1.37)
        for (int wanted : {2, 5, 11}) {
            const double lo = span * 0.31, hi = lo + span, minStep = span / wanted;
            const auto ticks = AxisTicks(lo, hi, minStep, "s", ",");
            ASSERT_GE(ticks.size(), 1u) << span;
            ASSERT_LE(int(ticks.size()), wanted + 1) << span;
            const double step = NiceStep(minStep);
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                        std::fabs(mantissa - 5) < 1e-9)
                << step;
            EXPECT_GE(step, minStep * (1 - 1e-9));
            EXPECT_LT(step, minStep * 2.5 + 1e-15) << "not the least 1-2-5 step";
            for (size_t i = 0; i < ticks.size(); ++i) {
                EXPECT_GE(ticks[i].value, lo - step * 1e-9);
                EXPECT_LE(ticks[i].value, hi + step * 1e-9);
                EXPECT_NEAR(ticks[i].value / step, std::round(ticks[i].value / step), 1e-6);
                if (i > 0) {
                    EXPECT_NE(ticks[i].text, ticks[i - 1].text) << "decimals too few at " << step;
                }
            }
        }
}

TEST(AxisTicks, UnitsReadWellWithTheCallersSeparator) {
    EXPECT_EQ(Texts(AxisTicks(0, 8e-4, 2e-4, "s", ",")),
              (std::vector<std::string>{"0 µs", "200 µs", "400 µs", "600 µs", "800 µs"}));
    EXPECT_EQ(AxisTicks(0, 1e-3, 2e-4, "s", ",").back().text, "1,0 ms");
    EXPECT_EQ(Texts(AxisTicks(0, 2e-3, 4e-4, "s", ",")),
              (std::vector<std::string>{"0,0 ms", "0,5 ms", "1,0 ms", "1,5 ms", "2,0 ms"}));
    EXPECT_EQ(Texts(AxisTicks(0.9, 2.1, 0.5, "V", ",")),
              (std::vector<std::string>{"1,0 V", "1,5 V", "2,0 V"}));
    EXPECT_EQ(Texts(AxisTicks(-0.1, 0.1, 0.05, "V", ".")),
              (std::vector<std::string>{"-100 mV", "-50 mV", "0 mV", "50 mV", "100 mV"}))
        << "no -0";
    EXPECT_EQ(Texts(AxisTicks(0, 50000, 12500, "Hz", ",")),
              (std::vector<std::string>{"0 kHz", "20 kHz", "40 kHz"}));
    EXPECT_EQ(Texts(AxisTicks(-95, -5, 20, "dBV", ",", false)),
              (std::vector<std::string>{"-80 dBV", "-60 dBV", "-40 dBV", "-20 dBV"}));
    EXPECT_TRUE(AxisTicks(1, 0, 0.1, "V", ",").empty());
    EXPECT_TRUE(AxisTicks(0, 1, 0, "V", ",").empty());

    EXPECT_EQ(ReadoutText(0.001234, "s", ","), "1,23 ms");
    EXPECT_EQ(ReadoutText(4.99, "V", "."), "4.99 V");
    EXPECT_EQ(ReadoutText(-0.0425, "V", ","), "-42,5 mV");
    EXPECT_EQ(ReadoutText(3000, "Hz", ","), "3,00 kHz");
    EXPECT_EQ(ReadoutText(0, "V", ","), "0 V");
    EXPECT_EQ(ReadoutText(-12.34, "dB", ",", false), "-12,3 dB");
}

// The digits never come from the C library, whose locale Qt sets from the desktop's.
TEST(AxisTicks, TextsDoNotFollowTheCLibraryLocale) {
    for (const char* name : {"pl_PL.UTF-8", "fr_FR.UTF-8"}) {
        const ScopedCLocale locale(name);
        if (!locale.Active()) {
            ASSERT_FALSE(ScopedCLocale::Required()) << name << " is not installed";
            continue;
        }
        EXPECT_EQ(Texts(AxisTicks(1000, 3000, 1000, "Hz", ".")),
                  (std::vector<std::string>{"1 kHz", "2 kHz", "3 kHz"}));
        EXPECT_EQ(AxisTicks(0, 1.5, 0.5, "V", ",")[3].text, "1,5 V") << name;
        EXPECT_EQ(ReadoutText(12345.6, "Hz", "."), "12.3 kHz") << name;
    }
}

// Ten times in about the pointer and back out: the pointer's value stays under it, the
// way back is the whole span again, and nothing goes past the limits or below the least width.
TEST(ZoomSpan, ZoomAboutThePointerPanAndReset) {
    const Span whole{0, 2e-3};
    const double pointer = 1.5e-3;
    const double pointerPixel = ToPixel(whole, pointer, 1000);
    Span s = ZoomAbout(whole, pointer, 0.1, whole, 1e-5);
    EXPECT_NEAR(s.Width(), 2e-4, 1e-15);
    EXPECT_NEAR(ToPixel(s, pointer, 1000), pointerPixel, 1e-9);
    EXPECT_NEAR(FromPixel(s, pointerPixel, 1000), pointer, 1e-15);
    s = PanBy(s, 5e-4, whole);
    EXPECT_EQ(s.hi, whole.hi) << "stopped at the end";
    EXPECT_NEAR(s.Width(), 2e-4, 1e-15);
    s = PanBy(s, -1, whole);
    EXPECT_EQ(s.lo, whole.lo);
    s = ZoomAbout(s, 1e-4, 10, whole, 1e-5);
    EXPECT_NEAR(s.lo, whole.lo, 1e-15);
    EXPECT_NEAR(s.hi, whole.hi, 1e-15);
    EXPECT_NEAR(ZoomAbout(whole, pointer, 1e-6, whole, 1e-5).Width(), 1e-5, 1e-18) << "the least width";
    EXPECT_EQ(ZoomAbout(whole, pointer, 4, whole, 1e-5), whole) << "never wider than the whole";
    const Span dragged = Between(1.2e-3, 0.2e-3, whole, 1e-5);
    EXPECT_NEAR(dragged.lo, 0.2e-3, 1e-15);
    EXPECT_NEAR(dragged.hi, 1.2e-3, 1e-15);
    EXPECT_NEAR(Between(1e-3, 1e-3, whole, 1e-5).Width(), 1e-5, 1e-15) << "a click is no rectangle";
}
