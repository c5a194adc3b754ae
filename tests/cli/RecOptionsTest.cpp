// drganik-rec's command line: the values as a user writes them, read against the knob's tables.

#include "RecOptions.h"

#include "OptionValues.h"

#include <gtest/gtest.h>

TEST(RecOptions, ReadsTheTimebaseAsAPositionOrAsTheKnobShowsIt) {
    EXPECT_EQ(ParseTimebase("0,1ms"), 0);
    EXPECT_EQ(ParseTimebase("0.1ms"), 0);
    EXPECT_EQ(ParseTimebase("20ms"), 7);
    EXPECT_EQ(ParseTimebase("0.5s"), 11);
    EXPECT_EQ(ParseTimebase("10s"), 15);
    EXPECT_EQ(ParseTimebase("15"), 15);
    for (const char* wrong : {"16", "-1", "3ms", "20 ms", "", "0,1"})
        EXPECT_EQ(ParseTimebase(wrong), std::nullopt) << wrong;
}

TEST(RecOptions, ReadsLevelsDurationsAndCounts) {
    EXPECT_EQ(ParseTriggerLevel("2.5V"), 256) << "2.5 V in steps of 10/1024 V";
    EXPECT_EQ(ParseTriggerLevel("2,5V"), 256);
    EXPECT_EQ(ParseTriggerLevel("500mV"), 51);
    EXPECT_EQ(ParseTriggerLevel("9.99V"), 1023);
    for (const char* wrong : {"0V", "10V", "-1V", "2.5mv", "V", "infV"})
        EXPECT_EQ(ParseTriggerLevel(wrong), std::nullopt) << wrong;
    EXPECT_EQ(ParseDuration("90s"), 90000);
    EXPECT_EQ(ParseDuration("2h"), 7200000);
    EXPECT_EQ(ParseDuration("1,5m"), 90000);
    EXPECT_EQ(ParseDuration("250ms"), 250);
    EXPECT_EQ(ParseDuration("3"), 3000);
    for (const char* wrong : {"0s", "-5s", "s", "5d", ""})
        EXPECT_EQ(ParseDuration(wrong), std::nullopt) << wrong;
    EXPECT_EQ(ParseCount("100"), 100u);
    EXPECT_EQ(ParseCount("0"), std::nullopt);
}

TEST(RecOptions, TellsWhatTheCommandLineAsksFor) {
    const RecOptions o = ParseRecOptions({"--port=/dev/ttyUSB0", "--timebase", "20ms", "--trigger", "falling",
                                          "--level", "1V", "--blocks", "100", "--duration", "2h", "--timeout",
                                          "10s", "-o", "x.drgn", "--quiet"});
    EXPECT_EQ(o.action, RecOptions::Action::Record);
    EXPECT_EQ(o.port, "/dev/ttyUSB0");
    EXPECT_EQ(o.timebase, 7);
    EXPECT_EQ(o.trigger, 2);
    EXPECT_EQ(o.level, 102);
    EXPECT_EQ(o.blocks, 100u);
    EXPECT_EQ(o.durationMs, 7200000);
    EXPECT_EQ(o.timeoutMs, 10000);
    EXPECT_EQ(o.output, "x.drgn");
    EXPECT_TRUE(o.quiet);

    const RecOptions c = ParseRecOptions({"--convert", "in.drgn", "out.csv", "--from", "2", "--to", "5"});
    EXPECT_EQ(c.action, RecOptions::Action::Convert);
    EXPECT_EQ(c.input, "in.drgn");
    EXPECT_EQ(c.output, "out.csv");
    EXPECT_EQ(c.from, 2u);
    EXPECT_EQ(c.to, 5u);

    EXPECT_EQ(ParseRecOptions({"--bogus", "--help"}).action, RecOptions::Action::Help) << "help wins";
    for (const auto& wrong :
         std::vector<std::vector<std::string>>{{"--blocks"},
                                               {"--trigger", "up"},
                                               {"--convert", "in.drgn"},
                                               {"--convert", "a", "b", "--from", "3", "--to", "2"},
                                               {"stray"},
                                               {"--port="},
                                               {"--from", "2"}, // recording, not converting
                                               {"--single", "--blocks", "3"},
                                               {"--level", "5V"}}) { // no edge to trigger on
        const RecOptions e = ParseRecOptions(wrong);
        EXPECT_EQ(e.action, RecOptions::Action::Error) << wrong.front();
        EXPECT_FALSE(e.error.empty());
    }
}
