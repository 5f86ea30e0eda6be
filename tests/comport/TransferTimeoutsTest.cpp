// The timeout block's rules for when a transfer ends, and the deadline helper.
#include "comport/platform/TransferTimeouts.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr std::uint32_t Max = 0xFFFFFFFF;

TEST(TransferTimeouts, ReadLimits) {
    struct TCase {
        TComTimeoutBlock Block; // interval, multiplier, constant (write fields unused)
        std::uint32_t Count;
        bool AtOnce, AnyByte;
        std::optional<std::uint64_t> Total, Interval;
    };
    const TCase cases[] = {
        {{0, 0, 0, 0, 0}, 10, false, false, std::nullopt, std::nullopt},  // wait for all
        {{Max, 0, 0, 0, 0}, 10, true, false, std::nullopt, std::nullopt}, // what is queued
        {{Max, Max, 500, 0, 0}, 10, false, true, 500, std::nullopt},      // first byte, 500 ms
        {{0, 10, 100, 0, 0}, 8, false, false, 180, std::nullopt},         // 10*8 + 100
        {{0, 0, 250, 0, 0}, 1000, false, false, 250, std::nullopt},
        {{20, 0, 0, 0, 0}, 4, false, false, std::nullopt, 20}, // gap only
        {{20, 1, 0, 0, 0}, 4, false, false, 4, 20},
        {{0, Max, 1, 0, 0}, 2, false, false, 2ull * Max + 1, std::nullopt}, // no overflow
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TReadLimits l = ReadLimitsFor(cases[i].Block, cases[i].Count);
        EXPECT_EQ(l.ReturnAtOnce, cases[i].AtOnce) << i;
        EXPECT_EQ(l.ReturnOnAnyByte, cases[i].AnyByte) << i;
        EXPECT_EQ(l.TotalMs, cases[i].Total) << i;
        EXPECT_EQ(l.IntervalMs, cases[i].Interval) << i;
    }
}

TEST(TransferTimeouts, WriteLimit) {
    EXPECT_EQ(WriteLimitFor({0, 0, 0, 0, 0}, 100), std::nullopt);
    EXPECT_EQ(WriteLimitFor({0, 0, 0, 2, 0}, 100), 200u);
    EXPECT_EQ(WriteLimitFor({0, 0, 0, 2, 50}, 100), 250u);
    EXPECT_EQ(WriteLimitFor({0, 0, 0, 0, 50}, 0), 50u);
}

TEST(Deadline, NoneNeverExpires) {
    const TDeadline d;
    EXPECT_FALSE(d.Expired());
    EXPECT_EQ(d.PollTimeout(), -1);
    EXPECT_EQ(TDeadline::After(std::nullopt).PollTimeout(), -1);
    // A limit too long for the clock counts as none.
    EXPECT_EQ(TDeadline::After(std::uint64_t{1} << 60).PollTimeout(), -1);
}

TEST(Deadline, CountsDownAndExpires) {
    const TDeadline d = TDeadline::After(std::uint64_t{20});
    const int left = d.PollTimeout();
    EXPECT_GT(left, 0);
    EXPECT_LE(left, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_TRUE(d.Expired());
    EXPECT_EQ(d.PollTimeout(), 0);
    EXPECT_TRUE(TDeadline::After(std::uint64_t{0}).Expired());
}

TEST(Deadline, EarlierPrefersTheSoonerAndIgnoresNone) {
    const TDeadline soon = TDeadline::After(std::uint64_t{10});
    const TDeadline late = TDeadline::After(std::uint64_t{100000});
    EXPECT_LE(TDeadline::Earlier(soon, late).PollTimeout(), 10);
    EXPECT_LE(TDeadline::Earlier(late, soon).PollTimeout(), 10);
    EXPECT_LE(TDeadline::Earlier(TDeadline(), soon).PollTimeout(), 10);
    EXPECT_GT(TDeadline::Earlier(late, TDeadline()).PollTimeout(), 1000);
}

} // namespace
