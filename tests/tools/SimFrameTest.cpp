#include "tools/SimFrame.h"

#include "tools/TemperatureProfile.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <stdexcept>

namespace {

TEST(SimFrame, CelsiusToTenthsRoundsAndClamps) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double Celsius;
        std::uint16_t Tenths;
    } cases[] = {
        {23.4, 234},
        {0.0, 0},
        {-12.5, 0},
        {6553.4, 65534},
        {6553.5, 65535},
        {1.0e6, 65535},
        {inf, 65535},
        {-inf, 0},
        {2.25, 22},
        {2.26, 23}, // 22.5 is a half: to even
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CelsiusToTenths(c.Celsius), c.Tenths) << c.Celsius;
    }
}

TEST(SimFrame, EncodesReadingAndSequenceBigEndian) {
    // 23.4 degrees is 234 tenths = 0x00EA.
    EXPECT_EQ(EncodeSimFrame(234, 0x0102),
              (TSimFrame{0xA5, 0x5A, 0xC3, 0x3C, 0x00, 0xEA, 0x01, 0x02}));
    EXPECT_EQ(EncodeSimFrame(0xFFFF, 0xFFFE),
              (TSimFrame{0xA5, 0x5A, 0xC3, 0x3C, 0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(EncodeSimFrame(0x0D0A, 0), // bytes a cooked line would translate
              (TSimFrame{0xA5, 0x5A, 0xC3, 0x3C, 0x0D, 0x0A, 0x00, 0x00}));
}

TEST(SimFrame, JunkBlocksHaveOddLengthAndPrintableBytes) {
    std::set<std::size_t> lengths;
    for (std::uint32_t number = 0; number < 1000; ++number) {
        const auto block = SimJunkBlock(number);
        ASSERT_EQ(block.size() % 2, 1u) << number;
        ASSERT_LE(block.size(), 15u);
        for (std::uint8_t byte : block) {
            ASSERT_TRUE(byte >= 0x20 && byte <= 0x7E) << number;
        }
        EXPECT_EQ(SimJunkBlock(number), block);
        lengths.insert(block.size());
    }
    EXPECT_EQ(lengths.size(), 8u); // every odd length 1..15 occurs
}

TEST(TemperatureProfile, FollowsItsClosedForm) {
    const TConstantProfile constant(23.4);
    const TSineProfile sine(20.0, 5.0, 60.0);
    const TRampProfile ramp(20.0, 5.0, 60.0);
    const double s = 5.0 * std::sqrt(0.5); // 5 sin(45 degrees)
    const struct {
        const TTemperatureProfile* Profile;
        double Seconds;
        double Expected;
    } cases[] = {
        {&constant, -3.0, 23.4},
        {&constant, 1e9, 23.4},
        {&sine, 0.0, 20.0},
        {&sine, 7.5, 20.0 + s},
        {&sine, 15.0, 25.0},
        {&sine, 30.0, 20.0},
        {&sine, 45.0, 15.0},
        {&sine, 75.0, 25.0},
        {&ramp, 0.0, 20.0},
        {&ramp, 7.5, 22.5},
        {&ramp, 15.0, 25.0},
        {&ramp, 22.5, 22.5},
        {&ramp, 30.0, 20.0},
        {&ramp, 45.0, 15.0},
        {&ramp, 52.5, 17.5},
        {&ramp, 60.0, 20.0},
        {&ramp, 135.0, 25.0},
        {&ramp, -15.0, 15.0}, // before the start the wave continues backwards
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(c.Profile->TemperatureAt(c.Seconds), c.Expected, 1e-9) << c.Seconds;
    }
}

TEST(TemperatureProfile, RejectsACycleThatIsNotPositive) {
    for (double cycle : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(TSineProfile(20.0, 1.0, cycle), std::invalid_argument) << cycle;
        EXPECT_THROW(TRampProfile(20.0, 1.0, cycle), std::invalid_argument) << cycle;
    }
}

} // namespace
