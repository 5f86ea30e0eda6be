// The bar arithmetic on plain numbers: slots within a class, 3-D offsets, label anchors and
// their move when a label does not fit, the end room of 3-D bars and labels, label texts.
// Expected values are worked out by hand from the rules written beside each case.

#include "series/BarsGeometry.h"

#include <gtest/gtest.h>

namespace {

const TVxFormatSettings Invariant = TVxFormatSettings::Invariant();

TEST(BarsGeometryTest, SlotsSplitTheInnerWidthOfAClassInOrder) {
    struct Case {
        double A, B, Gap;
        int Share, Rank;
        double Near, Far, Inner;
    };
    // Class 100 px wide, gap 20 % split as 10 px on each side, inner width 80 px.
    const Case cases[] = {
        {200, 300, 20, 2, 1, 10, 50, 80}, {200, 300, 20, 2, 2, 50, 90, 80},
        {300, 200, 20, 2, 2, 50, 90, 80}, // the near edge is the caller's, the width |B - A|
        {0, 30, 0, 3, 3, 20, 30, 30},     {0, 30, 0, 1, 1, 0, 30, 30},
        {0, 30, 100, 1, 1, 15, 15, 0}, // all gap: an empty slot in the middle
        {0, 40, 50, 0, 1, 10, 30, 20}, // no share counts as one slot
    };
    for (const Case& c : cases) {
        const TVxBarSlot s = BarSlot(c.A, c.B, c.Gap, c.Share, c.Rank);
        EXPECT_DOUBLE_EQ(s.Near, c.Near) << c.A << " " << c.Rank;
        EXPECT_DOUBLE_EQ(s.Far, c.Far) << c.A << " " << c.Rank;
        EXPECT_DOUBLE_EQ(s.InnerWidth, c.Inner);
    }
}

TEST(BarsGeometryTest, DepthOffsetsFollowTheInnerWidthAndAreAtLeastOnePixel) {
    // dx = w' D / 240, dy = w' D / 400.
    EXPECT_DOUBLE_EQ(BarDepthOffsets(80, 50).x(), 80.0 * 50 / 240);
    EXPECT_DOUBLE_EQ(BarDepthOffsets(80, 50).y(), 10);
    EXPECT_EQ(BarDepthOffsets(80, 0), QPointF(1, 1));
    EXPECT_EQ(BarDepthOffsets(0, 50), QPointF(1, 1));
    EXPECT_EQ(BarDepthOffsets(80, -5), QPointF(1, 1));
}

TEST(BarsGeometryTest, VerticalLabelAnchorsByPosition) {
    // Bar from x 100 to 140, value end (top) at y 50, base at y 250; label 30 x 10.
    TVxBarLabelInput in;
    in.Bar = QRectF(QPointF(100, 50), QPointF(140, 250));
    in.Width = 30;
    in.Height = 10;
    struct Case {
        TVxBarLabelPosition Position;
        TVxBarStyle Style;
        double X, Y;
    };
    const Case cases[] = {
        {TVxBarLabelPosition::OnBottom, TVxBarStyle::Flat, 120, 250 - 7.5},
        {TVxBarLabelPosition::Centered, TVxBarStyle::Flat, 120, 150},
        {TVxBarLabelPosition::GoldenCut, TVxBarStyle::Flat, 120, 50 + 0.381966 * 200},
        {TVxBarLabelPosition::ThreeFourth, TVxBarStyle::Flat, 120, 100},
        {TVxBarLabelPosition::InTop, TVxBarStyle::Flat, 120, 57.5},
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Flat, 120, 45},
        // Cuboid: half the depth to the right, the depth up; the lean of a cylinder moves X.
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Cuboid, 124, 39},
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Cylinder, 121.5, 39},
    };
    for (const Case& c : cases) {
        in.Position = c.Position;
        in.Style = c.Style;
        in.DepthX = 8;
        in.DepthY = 6;
        in.ZylShift = c.Style == TVxBarStyle::Cylinder ? 3 : 0;
        const QPointF p = BarLabelAnchor(in);
        EXPECT_NEAR(p.x(), c.X, 1e-9) << int(c.Position) << " " << int(c.Style);
        EXPECT_NEAR(p.y(), c.Y, 1e-9) << int(c.Position) << " " << int(c.Style);
    }
    // A turned label extends along Y by its width.
    in.Style = TVxBarStyle::Flat;
    in.ZylShift = 0;
    in.VerticalLabel = true;
    in.Position = TVxBarLabelPosition::InTop;
    EXPECT_NEAR(BarLabelAnchor(in).y(), 50 + 0.75 * 30, 1e-9);
}

TEST(BarsGeometryTest, HorizontalLabelAnchorsByPosition) {
    // Bar from the base at x 20 to the value end at x 220, between y 100 and 140; label 30 x 10.
    TVxBarLabelInput in;
    in.Horizontal = true;
    in.Bar = QRectF(QPointF(20, 100), QPointF(220, 140));
    in.Width = 30;
    in.Height = 10;
    in.DepthX = 8;
    in.DepthY = 6;
    struct Case {
        TVxBarLabelPosition Position;
        TVxBarStyle Style;
        bool Turned;
        double X, Y;
    };
    const Case cases[] = {
        {TVxBarLabelPosition::OnBottom, TVxBarStyle::Flat, false, 20 + 15 + 5, 120},
        {TVxBarLabelPosition::OnBottom, TVxBarStyle::Flat, true, 20 + 10, 120},
        {TVxBarLabelPosition::Centered, TVxBarStyle::Flat, false, 120, 120},
        {TVxBarLabelPosition::GoldenCut, TVxBarStyle::Flat, false, 20 + 0.6180339 * 200, 120},
        {TVxBarLabelPosition::ThreeFourth, TVxBarStyle::Flat, false, 170, 120},
        {TVxBarLabelPosition::InTop, TVxBarStyle::Flat, false, 220 - 15 - 5, 120},
        {TVxBarLabelPosition::InTop, TVxBarStyle::Flat, true, 210, 120},
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Flat, false, 220 + 15 + 2.5, 120},
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Flat, true, 225, 120},
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Cuboid, false, 245.5, 117},
        {TVxBarLabelPosition::OnTopOfBar, TVxBarStyle::Cylinder, false, 245.5, 120},
    };
    for (const Case& c : cases) {
        in.Position = c.Position;
        in.Style = c.Style;
        in.VerticalLabel = c.Turned;
        const QPointF p = BarLabelAnchor(in);
        EXPECT_NEAR(p.x(), c.X, 1e-9) << int(c.Position) << " " << c.Turned;
        EXPECT_NEAR(p.y(), c.Y, 1e-9) << int(c.Position) << " " << c.Turned;
    }
}

TEST(BarsGeometryTest, ALabelThatDoesNotFitMovesOnTopOrToTheCentreOfAStackedBar) {
    // A bar 12 px tall (y 100 to 112) and a label 30 x 20: no position fits inside.
    TVxBarLabelInput in;
    in.Bar = QRectF(QPointF(0, 100), QPointF(40, 112));
    in.Width = 30;
    in.Height = 20;
    in.Position = TVxBarLabelPosition::OnBottom;
    EXPECT_EQ(BarLabelAnchor(in), QPointF(20, 90)); // OnTopOfBar: T - l / 2
    in.StackedBelow = true;
    EXPECT_EQ(BarLabelAnchor(in), QPointF(20, 106)); // the bar's centre
    // A label that fits stays where its position puts it.
    in.Height = 8;
    in.StackedBelow = false;
    EXPECT_EQ(BarLabelAnchor(in), QPointF(20, 106));
    // Negative bars (value end below the base) test the normalised rectangle.
    in.Bar = QRectF(QPointF(0, 300), QPointF(40, 100));
    in.Position = TVxBarLabelPosition::Centered;
    EXPECT_EQ(BarLabelAnchor(in), QPointF(20, 200));
}

TEST(BarsGeometryTest, EndRoomOfDepthUsesTheInnerClassWidth) {
    // 24 hourly bars over one day drawn on 480 px: p = 1/24 day, r = 1/480 day per pixel.
    // 0.0026 x p (1 - 0.1) x 50 / r = 0.0026 x 0.9 x 50 x 20 = 2.34 px.
    TVxBarEndRoomInput in;
    in.ClassWidth = 1.0 / 24;
    in.UnitsPerPixel = 1.0 / 480;
    in.ClassesDistance = 10;
    in.Depth3D = 50;
    EXPECT_NEAR(BarEndRoom3D(in), 2.34, 1e-12);
    // Room the axis already leaves counts against it; the gap counts when asked.
    in.RoomLeft = 1;
    EXPECT_NEAR(BarEndRoom3D(in), 1.34, 1e-12);
    in.CountGap = true; // 0.005 x 20 px x 10 = 1 px less
    EXPECT_NEAR(BarEndRoom3D(in), 0.34, 1e-12);
    in.Factor = 0.0043;
    EXPECT_NEAR(BarEndRoom3D(in), 0.0043 * 0.9 * 50 * 20 - 2, 1e-12);
    in.UnitsPerPixel = 0;
    EXPECT_EQ(BarEndRoom3D(in), 0);
    // Labels: 0.013 x LabelSize x class width in pixels x ratio.
    EXPECT_NEAR(BarEndRoomLabel(20, 1.0 / 24, 1.0 / 480, 1.5), 0.013 * 20 * 20 * 1.5, 1e-12);
}

TEST(BarsGeometryTest, LabelTexts) {
    struct Case {
        const char* Pattern;
        double Value, Sum;
        const char* Text;
    };
    const Case percent[] = {
        {"", 1, 4, "25%"},    {"", 3, 4, "75%"},      {"", 1, 3, "33.33%"},
        {"", 2, 3, "66.67%"}, {"0.0", 1, 4, "25.0%"}, {"0.0 %", 1, 4, "25.0 %"},
        {"", 1, 0, ""},       {"", 1, INFINITY, ""},  {"", 1, NAN, ""},
        {"", NAN, 4, ""},
    };
    for (const Case& c : percent)
        EXPECT_EQ(BarPercentText(QString::fromUtf8(c.Pattern), c.Value, c.Sum, Invariant),
                  QString::fromUtf8(c.Text))
            << c.Pattern << " " << c.Value << "/" << c.Sum;
    EXPECT_EQ(BarNumberText("", 0.1 + 0.2, Invariant), "0.3"); // 15 significant digits
    EXPECT_EQ(BarNumberText("", -2.5, Invariant), "-2.5");
    EXPECT_EQ(BarNumberText("#0.00", 3.14159, Invariant), "3.14");
}

} // namespace
