#include "FrameAcquisition.h"

#include "vectors/DoubleVector.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// 1 March 2024 as a TDateTime (45352 days after 30 December 1899), plus a time of day.
constexpr double March1st2024 = 45352;
double At(int h, int m, double s) {
    return March1st2024 + (h * 3600 + m * 60 + s) / 86400.0;
}

// A clock the test sets: wall time and monotonic time move independently.
class FakeClock : public TFrameClock {
public:
    double LocalNow() const override { return Local; }
    double MonotonicSeconds() const override { return Monotonic; }
    double Local = At(14, 5, 9);
    double Monotonic = 1000;
};

QByteArray Frame(unsigned char high, unsigned char low) {
    return QByteArray::fromRawData("\x01\x02\x03\x04", 4) + QByteArray(1, char(high)) +
           QByteArray(1, char(low)) + QByteArray(2, '\x7f');
}

class FrameAcquisitionTest : public ::testing::Test {
protected:
    void Process(const QByteArray& data, double interval = 0.05) {
        Logic.ProcessFrame(data, interval, Log, Times, Temperatures);
    }

    FakeClock Clock;
    TFrameAcquisition Logic{Clock, TVxFormatSettings::Invariant()};
    TStringListLog Log;
    TVxDoubleVector Times, Temperatures;
};

} // namespace

// Each row: a block arriving some seconds after the previous row, and what it must log.
TEST_F(FrameAcquisitionTest, BlocksAndIntervals) {
    struct Row {
        const char* What;
        QByteArray Data;
        double SecondsLater;
        const char* Line; // nullptr: dropped
        double Temperature;
    };
    const Row rows[] = {
        {"7 bytes", Frame(0, 0xEA).left(7), 0, nullptr, 0},
        {"9 bytes", Frame(0, 0xEA) + 'x', 0, nullptr, 0},
        {"empty", QByteArray(), 0, nullptr, 0},
        {"first frame always", Frame(0x00, 0xEA), 0, "2024-03-01 14:05:09; 23.4\u00BAC",
         double(23.4f)},
        {"2.9 s later", Frame(0x00, 0x01), 2.9, nullptr, 0},
        {"3.1 s after the accepted", Frame(0xFF, 0xFF), 0.2, "2024-03-01 14:05:09; 6553.5\u00BAC",
         6553.5},
        {"zero", Frame(0x00, 0x00), 3.5, "2024-03-01 14:05:09; 0.0\u00BAC", 0.0},
    };
    QStringList expectedLines;
    std::vector<double> expectedTemperatures;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.What);
        Clock.Monotonic += row.SecondsLater;
        Process(row.Data);
        if (row.Line != nullptr) {
            expectedLines.append(QString::fromUtf8(row.Line));
            expectedTemperatures.push_back(row.Temperature);
        }
        EXPECT_EQ(Log.Lines, expectedLines);
        ASSERT_EQ(Temperatures.GetCount(), int(expectedTemperatures.size()));
        ASSERT_EQ(Times.GetCount(), int(expectedTemperatures.size()));
        if (row.Line != nullptr) {
            EXPECT_EQ(Temperatures.GetValue(Temperatures.GetCount() - 1), row.Temperature);
        }
    }
    // The single-precision 23.4 widened, not the double nearest 23.4.
    EXPECT_NE(Temperatures.GetValue(0), 23.4);
}

// A frame exactly the interval after the last accepted one passes, one a millisecond
// earlier does not. The intervals and clock readings are cases where minutes x 60 in
// doubles lands above the exact seconds (interval_cases.py finds them).
TEST_F(FrameAcquisitionTest, ExactlyTheIntervalLaterPasses) {
    const struct {
        double Minutes;
        long long MilliSeconds; // the exact decimal product
    } intervals[] = {{0.05, 3000}, {0.17, 10200}, {0.27, 16200}, {0.34, 20400}, {60, 3600000}};
    for (const auto& interval : intervals) {
        SCOPED_TRACE(interval.Minutes);
        EXPECT_EQ(IntervalMilliSeconds(interval.Minutes), interval.MilliSeconds);
        for (double start : {0.1, 2.5, 10.3, 100.7}) {
            TFrameAcquisition logic(Clock, TVxFormatSettings::Invariant());
            const auto process = [&](unsigned char reading) {
                logic.ProcessFrame(Frame(0, reading), interval.Minutes, Log, Times, Temperatures);
            };
            Clock.Monotonic = start;
            process(1);
            const int accepted = Times.GetCount();
            Clock.Monotonic = start + double(interval.MilliSeconds - 1) / 1000;
            process(2);
            EXPECT_EQ(Times.GetCount(), accepted) << "1 ms early, from " << start;
            Clock.Monotonic = start + double(interval.MilliSeconds) / 1000;
            process(3);
            EXPECT_EQ(Times.GetCount(), accepted + 1) << "exactly the interval, from " << start;
        }
    }
    EXPECT_EQ(IntervalMilliSeconds(0), 0);
    EXPECT_EQ(IntervalMilliSeconds(std::nan("")), 0);
}

TEST_F(FrameAcquisitionTest, WallClockSetBackDoesNotHoldReadingsBack) {
    Process(Frame(0, 100), 1.0);
    Clock.Local -= 1.0 / 24; // daylight saving ends: the wall clock goes back an hour
    Clock.Monotonic += 61;
    Process(Frame(0, 101), 1.0);
    ASSERT_EQ(Times.GetCount(), 2);
    EXPECT_EQ(Times.GetValue(1), Clock.Local); // stamps stay local wall time
    EXPECT_EQ(Log.Lines.at(1), QString::fromUtf8("2024-03-01 13:05:09; 10.1\u00BAC"));
}

TEST_F(FrameAcquisitionTest, IntervalIsReadAnewAtEveryCall) {
    Process(Frame(0, 1), 60);
    Clock.Monotonic += 10;
    Process(Frame(0, 2), 60);
    Process(Frame(0, 3), 0.1);
    EXPECT_EQ(Temperatures.GetCount(), 2);
}

TEST(FrameLogLineTest, UsesTheDecimalSeparatorOfTheSettings) {
    TVxFormatSettings settings = TVxFormatSettings::Invariant();
    settings.DecimalSeparator = ",";
    EXPECT_EQ(FormatLogLine(At(0, 0, 1), 6553.5f, settings),
              QString::fromUtf8("2024-03-01 00:00:01; 6553,5\u00BAC"));
}
