#include "CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLineTest, ModesAndOptions) {
    struct TCase {
        QStringList Arguments;
        TCommandLine::TMode Mode;
        bool Demo;
        const char* Port;
        double Interval;
        const char* Log;
    };
    const TCase cases[] = {
        {{}, TCommandLine::cmWindow, false, "", 0.05, ""},
        {{"--demo"}, TCommandLine::cmWindow, true, "", 0.05, ""},
        {{"--headless", "--demo"}, TCommandLine::cmHeadless, true, "", 0.05, ""},
        {{"--headless", "--port", "ttyUSB0", "--interval", "0.5", "--log", "t.log"},
         TCommandLine::cmHeadless,
         false,
         "ttyUSB0",
         0.5,
         "t.log"},
        {{"--port=/dev/ttyS1", "--interval=60", "--headless"},
         TCommandLine::cmHeadless,
         false,
         "/dev/ttyS1",
         60,
         ""},
        {{"--headless", "--demo", "--interval", "0.05"},
         TCommandLine::cmHeadless,
         true,
         "",
         0.05,
         ""},
        {{"--list-ports"}, TCommandLine::cmListPorts, false, "", 0.05, ""},
        {{"--help"}, TCommandLine::cmHelp, false, "", 0.05, ""},
        {{"--headless", "--bogus", "--help"}, TCommandLine::cmError, false, "", 0.05, ""},
        {{"-h", "--demo"}, TCommandLine::cmHelp, true, "", 0.05, ""},
    };
    for (const TCase& c : cases) {
        const TCommandLine line = ParseCommandLine(c.Arguments);
        const std::string what = c.Arguments.join(' ').toStdString();
        EXPECT_EQ(line.Mode, c.Mode) << what << ": " << line.Error.toStdString();
        if (line.Mode == TCommandLine::cmError)
            continue;
        EXPECT_EQ(line.Demo, c.Demo) << what;
        EXPECT_EQ(line.Port, c.Port) << what;
        EXPECT_EQ(line.IntervalMinutes, c.Interval) << what;
        EXPECT_EQ(line.LogFile, c.Log) << what;
    }
}

TEST(CommandLineTest, WrongArgumentsAreRejectedWithAReason) {
    const QStringList wrong[] = {
        {"--bogus"},
        {"--headless"},                              // nothing to log from
        {"--headless", "--demo", "--port", "ttyS0"}, // both
        {"--port", "ttyS0"},                         // needs --headless
        {"--headless", "--port"},                    // no value
        {"--headless", "--port", ""},
        {"--headless", "--demo", "--interval", "0.04"},
        {"--headless", "--demo", "--interval", "61"},
        {"--headless", "--demo", "--interval", "nan"},
        {"--headless", "--demo", "--interval", "1,5"},
        {"--headless", "--demo", "--interval", "abc"},
        {"--headless", "--demo", "--log", ""},
        {"--list-ports", "--demo"},
        {"--demo=yes"},
    };
    for (const QStringList& arguments : wrong) {
        const TCommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.Mode, TCommandLine::cmError) << arguments.join(' ').toStdString();
        EXPECT_FALSE(line.Error.isEmpty()) << arguments.join(' ').toStdString();
    }
}
