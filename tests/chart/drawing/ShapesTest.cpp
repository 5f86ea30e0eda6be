// Arrow caps and label boxes.
#include "drawing/ArrowCap.h"
#include "drawing/LabelBox.h"
#include "drawing/RecordingSurface.h"

#include <gtest/gtest.h>

namespace {

void ExpectPolygon(const QPolygonF& Actual, const std::vector<QPointF>& Expected) {
    ASSERT_EQ(Actual.size(), static_cast<qsizetype>(Expected.size()));
    for (std::size_t i = 0; i < Expected.size(); ++i) {
        EXPECT_NEAR(Actual[static_cast<qsizetype>(i)].x(), Expected[i].x(), 1e-9) << i;
        EXPECT_NEAR(Actual[static_cast<qsizetype>(i)].y(), Expected[i].y(), 1e-9) << i;
    }
}

TEST(ArrowCap, HeadAndBaseScaleWithThePenWidth) {
    const TVxArrowCap cap{5, 3, 2};
    // Along +x: cap y runs along the line, x across it.
    ExpectPolygon(ArrowHead({10, 0}, {0, 0}, cap, 1), {{5, 2}, {10, 0}, {5, -2}, {7, 0}, {5, 2}});
    ExpectPolygon(ArrowHead({10, 0}, {0, 0}, cap, 2), {{0, 4}, {10, 0}, {0, -4}, {4, 0}, {0, 4}});
    ExpectPolygon(ArrowHead({10, 0}, {0, 0}, cap, 0), {{5, 2}, {10, 0}, {5, -2}, {7, 0}, {5, 2}});
    EXPECT_EQ(ArrowBase({10, 0}, {0, 0}, cap, 2), QPointF(4, 0));
    // A 3-4-5 direction: along (0.6, 0.8), across (-0.8, 0.6).
    const QPolygonF slanted = ArrowHead({30, 40}, {0, 0}, cap, 1);
    EXPECT_NEAR(slanted[0].x(), 30 - 1.6 - 3, 1e-9);
    EXPECT_NEAR(slanted[0].y(), 40 + 1.2 - 4, 1e-9);
    EXPECT_TRUE(ArrowHead({1, 1}, {1, 1}, cap, 1).isEmpty());
}

TEST(ArrowCap, PolylineEndsMoveBackToTheNotches) {
    TVxPen pen = TVxPen::Solid(0, 1);
    pen.CustomStartCap = TVxArrowCap{7, 5, 3};
    pen.CustomEndCap = TVxArrowCap{5, 3, 2};
    const QPointF points[] = {{0, 0}, {0, 0}, {0, 20}, {20, 20}};
    const TVxCappedLine capped = ApplyArrowCaps(points, pen);
    ASSERT_EQ(capped.Heads.size(), 2u);
    EXPECT_EQ(capped.Points.front(), QPointF(0, 5)); // past the repeated first point
    EXPECT_EQ(capped.Points.back(), QPointF(17, 20));
    EXPECT_EQ(capped.Heads[0][1], QPointF(0, 0));
    EXPECT_EQ(capped.Heads[1][1], QPointF(20, 20));
}

const TVxBrush Fill = TVxBrush::SolidBrush(VxColor(0xFFFFFFE1));
const TVxPen Frame = TVxPen::Solid(VxColor(0xFF000000));
constexpr TVxColor HighlightColor = MakeColor(210, 255, 255, 255);
constexpr TVxColor ShadeColor = MakeColor(90, 0, 0, 0);

std::vector<TVxColor> BevelColors(const TVxRecordingSurface& Surface) {
    std::vector<TVxColor> colors;
    for (const auto& r : Surface.RecordsOf(TVxDrawOp::FillPath))
        colors.push_back(r.Brush->Color);
    return colors;
}

TEST(LabelBox, FrameHidesTheBevel) {
    TVxRecordingSurface surface;
    surface.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
    surface.ClearRecords();
    DrawLabelBox(surface, Fill, Frame, {.Lowered = true, .Raised = true, .Frame = true},
                 QRectF(10, 10, 80, 20));
    std::vector<TVxDrawOp> ops;
    for (const auto& r : surface.Records())
        ops.push_back(r.Op);
    EXPECT_EQ(ops, (std::vector<TVxDrawOp>{TVxDrawOp::SetSmoothingMode, TVxDrawOp::FillRectangle,
                                           TVxDrawOp::SetSmoothingMode, TVxDrawOp::DrawRectangle}));
    EXPECT_EQ(surface.Records()[1].Smoothing, TSmoothingMode::SmoothingModeNone);
    EXPECT_EQ(surface.GetSmoothingMode(), TSmoothingMode::SmoothingModeAntiAlias);
}

TEST(LabelBox, BevelColoursByStyle) {
    const QRectF rect(10, 10, 80, 20);
    const struct {
        bool Raised, Lowered;
        std::vector<TVxColor> Colors;
    } cases[] = {
        {true, false, {HighlightColor, ShadeColor}},
        {false, true, {ShadeColor, HighlightColor}},
        {true, true, {HighlightColor, ShadeColor, ShadeColor, HighlightColor}},
    };
    for (const double rounding : {0.0, 8.0})
        for (const auto& c : cases) {
            TVxRecordingSurface surface;
            DrawLabelBox(surface, Fill, Frame,
                         {.Lowered = c.Lowered, .Raised = c.Raised, .Rounding = rounding}, rect);
            auto colors = BevelColors(surface);
            if (rounding > 0)
                colors.erase(colors.begin()); // the rounded box itself
            EXPECT_EQ(colors, c.Colors);
        }
    // Both: the lowered bands lie inside the raised ones.
    TVxRecordingSurface surface;
    DrawLabelBox(surface, Fill, Frame, {.Lowered = true, .Raised = true}, rect);
    const auto bands = surface.RecordsOf(TVxDrawOp::FillPath);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[0].Path.Bounds(), rect);
    EXPECT_EQ(bands[2].Path.Bounds(), rect.adjusted(1.5, 1.5, -1.5, -1.5));
}

TEST(LabelBox, BevelBandsHugTheirEdges) {
    const QRectF rect(0, 0, 60, 30);
    for (const double rounding : {0.0, 8.0}) {
        const QPainterPath topLeft = BevelBand(rect, rounding, true).ToQt();
        const QPainterPath bottomRight = BevelBand(rect, rounding, false).ToQt();
        EXPECT_TRUE(topLeft.contains(QPointF(0.7, 15))) << rounding;
        EXPECT_TRUE(topLeft.contains(QPointF(30, 0.7))) << rounding;
        EXPECT_FALSE(topLeft.contains(QPointF(59.3, 15))) << rounding;
        EXPECT_FALSE(topLeft.contains(QPointF(30, 15))) << rounding;
        EXPECT_TRUE(bottomRight.contains(QPointF(59.3, 15))) << rounding;
        EXPECT_TRUE(bottomRight.contains(QPointF(30, 29.3))) << rounding;
        EXPECT_FALSE(bottomRight.contains(QPointF(0.7, 15))) << rounding;
    }
}

TEST(LabelBox, RoundingIsLimitedToTheHeight) {
    const QRectF rect(10, 10, 100, 20);
    TVxRecordingSurface surface;
    DrawLabelBox(surface, Fill, Frame, {.Frame = true, .Rounding = 50}, rect);
    const auto fills = surface.RecordsOf(TVxDrawOp::FillPath);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].Path, RoundedRectPath(rect, 20));
    EXPECT_EQ(fills[0].Path.Bounds(), rect);
    // With a 20 x 20 corner square the short sides are half circles of radius 10.
    EXPECT_TRUE(fills[0].Path.ToQt().contains(QPointF(10.5, 20)));
    EXPECT_FALSE(fills[0].Path.ToQt().contains(QPointF(11, 11)));
    ASSERT_EQ(surface.RecordsOf(TVxDrawOp::DrawPath).size(), 1u);
    EXPECT_EQ(RoundedRectPath(rect, 50), RoundedRectPath(rect, 20));
}

TEST(LabelBox, DropShadowIsStackedOutsideTheBoxAndTheClipComesBack) {
    const QRectF rect(10, 10, 40, 20);
    TVxRecordingSurface surface;
    surface.SetClip(QRectF(0, 0, 100, 100));
    surface.ClearRecords();
    DrawLabelBox(surface, Fill, Frame, {.DropShadow = true}, rect);
    const auto& records = surface.Records();
    ASSERT_GE(records.size(), 8u);
    EXPECT_EQ(records[0].Op, TVxDrawOp::SetClip);
    EXPECT_EQ(records[0].CombineMode, TCombineMode::CombineModeExclude);
    for (int i = 1; i <= 6; ++i) {
        const auto& r = records[static_cast<std::size_t>(i)];
        EXPECT_EQ(r.Op, TVxDrawOp::FillPath);
        EXPECT_EQ(r.Brush->Color, MakeColor(51, 0, 0, 0));
        EXPECT_NEAR(r.Path.Bounds().left(), rect.left() + i, 1e-9);
        EXPECT_NEAR(r.Path.Bounds().top(), rect.top() + 0.8 * i, 1e-9);
        EXPECT_FALSE(r.Clip.Contains(QPointF(30, 20))); // the box itself stays clear
    }
    EXPECT_EQ(records[7].Op, TVxDrawOp::SetClip);
    EXPECT_EQ(surface.GetClip(), TVxRegion::FromRect(QRectF(0, 0, 100, 100)));
}

} // namespace
