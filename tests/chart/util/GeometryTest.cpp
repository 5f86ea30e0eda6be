#include "util/Geometry.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"

#include <gtest/gtest.h>
#include <limits>

TEST(GeometryTest, NormalizeAngleAndQuadrant) {
    const struct {
        double Angle, Normalized;
        int Quadrant;
    } cases[] = {{0, 0, 1},     {90, 90, 1},   {90.5, 90.5, 2}, {180, 180, 2},
                 {181, 181, 3}, {270, 270, 3}, {271, 271, 4},   {-30, 330, 4},
                 {720, 0, 1},   {370, 10, 1},  {-1e-20, 0, 1},  {-720.5, 359.5, 4}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(NormalizeAngle(c.Angle), c.Normalized) << c.Angle;
        EXPECT_EQ(AngleQuadrant(c.Angle), c.Quadrant) << c.Angle;
    }
    // Huge angles finish (a loop of +-360 steps would not) and land in range.
    for (double huge : {1e300, -1e300, 1.7e308}) {
        const double a = NormalizeAngle(huge);
        EXPECT_GE(a, 0);
        EXPECT_LT(a, 360);
    }
    EXPECT_THROW(NormalizeAngle(std::numeric_limits<double>::infinity()), EVxMathError);
    EXPECT_THROW(NormalizeAngle(std::numeric_limits<double>::quiet_NaN()), EVxMathError);
}

TEST(GeometryTest, PointInRectanglesIncludesEdges) {
    EXPECT_TRUE(PointInRect(10, 20, 10, 20, 30, 40));
    EXPECT_TRUE(PointInRect(30, 40, 10, 20, 30, 40));
    EXPECT_FALSE(PointInRect(31, 40, 10, 20, 30, 40));
    EXPECT_FALSE(PointInRect(10, 19, 10, 20, 30, 40));
    // X = -1 in the low half, Y = 5 in the high half.
    EXPECT_TRUE(PointInRect(std::uint32_t(0x0005FFFF), -1, 5, 0, 6));
    EXPECT_FALSE(PointInRect(std::uint32_t(0x0005FFFF), 0, 0, 10, 10));
    EXPECT_TRUE(PointInRectF(1.5, 2.5, 1.5, 0.5, 2, 2));
    EXPECT_TRUE(PointInRectF(3.5, 2.5, 1.5, 0.5, 2, 2));
    EXPECT_FALSE(PointInRectF(3.51, 2.5, 1.5, 0.5, 2, 2));
    EXPECT_EQ(Sign(-3LL), -1);
    EXPECT_EQ(Sign(0LL), 1);
    EXPECT_EQ(Sign(-0.5), -1);
    EXPECT_EQ(Sign(2.0), 1);
}
