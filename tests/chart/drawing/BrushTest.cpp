// Gradient brush geometry and the hatch bitmaps.
#include "drawing/GradientBrushes.h"
#include "drawing/HatchPatterns.h"

#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void ExpectPoint(QPointF Actual, QPointF Expected) {
    EXPECT_NEAR(Actual.x(), Expected.x(), 1e-9);
    EXPECT_NEAR(Actual.y(), Expected.y(), 1e-9);
}

TEST(GradientBrushes, LinearRunsBetweenTheFirstAndLastCornerAlongTheAngle) {
    const QRectF rect(0, 0, 100, 50);
    const TVxColor a = VxColor(0xFFFF0000), b = VxColor(0xFF0000FF);
    TVxBrush brush = LinearGradientBrush(rect, a, b, 0);
    ExpectPoint(brush.Start, {0, 25});
    ExpectPoint(brush.End, {100, 25});
    brush = LinearGradientBrush(rect, a, b, 90);
    ExpectPoint(brush.Start, {50, 0});
    ExpectPoint(brush.End, {50, 50});
    // 45 degrees: half extent (100 + 50) / 2 * cos 45 = 53.033 along (0.7071, 0.7071).
    brush = LinearGradientBrush(rect, a, b, 45);
    ExpectPoint(brush.Start, {12.5, -12.5});
    ExpectPoint(brush.End, {87.5, 62.5});
    brush = LinearGradientBrush(rect, a, b, 180);
    ExpectPoint(brush.Start, {100, 25});
    EXPECT_EQ(brush.Stops, (std::vector<TVxGradientStop>{{0, a}, {1, b}}));
}

TEST(GradientBrushes, ThreeColourLinearCoversTheEnlargedView) {
    const TVxColor a = VxColor(0xFFFF0000), m = VxColor(0xFF00FF00), b = VxColor(0xFF0000FF);
    const TVxBrush brush = LinearThreeColorBrush(QRectF(10, 20, 100, 50), a, m, b, 0, 0);
    EXPECT_EQ(brush.Rect, QRectF(9, 19, 101, 51));
    ExpectPoint(brush.Start, {9, 44.5});
    ExpectPoint(brush.End, {110, 44.5});
    EXPECT_EQ(brush.Stops, (std::vector<TVxGradientStop>{{0, a}, {0, m}, {1, b}}));
}

TEST(GradientBrushes, RadialAndEllipticalGeometry) {
    const QRectF view(0, 0, 100, 60);
    const TVxColor c0 = 1, c1 = 2, c2 = 3;
    // d = 2 * sqrt(50^2 + 30^2) = 116.6190379.
    const double d = 2 * std::sqrt(50.0 * 50 + 30.0 * 30);
    const TVxBrush radial = RadialBrush(view, QPointF(0.25, 0.75), c0, c1, c2);
    EXPECT_EQ(radial.Kind, TVxBrushKind::PathGradient);
    EXPECT_NEAR(radial.Rect.x(), (100 - d) / 2, 1e-9);
    EXPECT_NEAR(radial.Rect.y(), (60 - d) / 2, 1e-9);
    EXPECT_NEAR(radial.Rect.width(), d, 1e-9);
    ExpectPoint(radial.Center, {25, 45});
    EXPECT_EQ(radial.Stops, (std::vector<TVxGradientStop>{{0, c0}, {0.5, c1}, {1, c2}}));
    const TVxBrush elliptical = EllipticalBrush(view, QPointF(0.5, 0.5), c0, c1, c2);
    EXPECT_NEAR(elliptical.Rect.width(), 100 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(elliptical.Rect.height(), 60 * std::sqrt(2.0), 1e-9);
    ExpectPoint(elliptical.Rect.center(), {50, 30});
    ExpectPoint(elliptical.Center, {50, 30});
}

int LitPixels(TVxHatchStyle Style) {
    int lit = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            lit += HatchBit(Style, x, y);
    return lit;
}

TEST(HatchPatterns, PercentPatternsLightTheirShareAndNest) {
    const int expected[] = {3, 6, 13, 16, 19, 26, 32, 38, 45, 48, 51, 58}; // round(p * 64 / 100)
    for (int i = 0; i < 12; ++i) {
        const auto style =
            static_cast<TVxHatchStyle>(static_cast<int>(TVxHatchStyle::Percent05) + i);
        EXPECT_EQ(LitPixels(style), expected[i]) << i;
        if (i == 0)
            continue;
        const auto lighter = static_cast<TVxHatchStyle>(static_cast<int>(style) - 1);
        for (int y = 0; y < 8; ++y) {
            const int missing = HatchRow(lighter, y) & ~HatchRow(style, y);
            EXPECT_EQ(missing, 0) << i << " row " << y;
        }
    }
    for (int y = 0; y < 8; ++y) // 50 % is a checker board
        EXPECT_EQ(HatchRow(TVxHatchStyle::Percent50, y), y % 2 ? 0x55 : 0xAA);
}

TEST(HatchPatterns, AllPatternsDifferAndColourTheirImage) {
    QSet<quint64> seen;
    for (int s = 0; s < HatchStyleCount; ++s) {
        quint64 bits = 0;
        for (int y = 0; y < 8; ++y)
            bits = bits << 8 | HatchRow(static_cast<TVxHatchStyle>(s), y);
        seen.insert(bits);
    }
    EXPECT_EQ(seen.size(), HatchStyleCount);
    EXPECT_EQ(HatchRow(TVxHatchStyle::Horizontal, 0), 0xFF);
    EXPECT_EQ(HatchRow(TVxHatchStyle::Horizontal, 1), 0);
    EXPECT_EQ(LitPixels(TVxHatchStyle::Vertical), 8);
    EXPECT_TRUE(HatchBit(TVxHatchStyle::ForwardDiagonal, 3, 3));  // upper left to lower right
    EXPECT_TRUE(HatchBit(TVxHatchStyle::BackwardDiagonal, 7, 0)); // upper right to lower left
    const QImage image = HatchImage(TVxHatchStyle::Cross, VxColor(0xFF112233), VxColor(0x80445566));
    EXPECT_EQ(image.pixel(0, 5), 0xFF112233u);
    EXPECT_EQ(image.pixel(5, 5), 0x80445566u);
}

} // namespace
