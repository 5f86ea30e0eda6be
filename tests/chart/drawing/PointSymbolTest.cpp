// Point symbol geometry through the recording surface.
#include "drawing/PointSymbol.h"

#include "drawing/RecordingSurface.h"

#include <gtest/gtest.h>

namespace {

constexpr TVxColor BorderColor = VxColor(0xFF0000FF);
const TVxBrush Fill = TVxBrush::SolidBrush(VxColor(0xFF00FF00));

std::vector<TVxDrawRecord> Draw(TVxPointSymbol Symbol, double Size, float Width, double X = 100,
                                double Y = 50) {
    TVxRecordingSurface surface;
    DrawPointSymbol(surface, TVxPen::Solid(BorderColor, Width), Fill, Symbol, Size, X, Y);
    return surface.Records();
}

void ExpectPoints(const std::vector<QPointF>& Actual, const std::vector<QPointF>& Expected) {
    ASSERT_EQ(Actual.size(), Expected.size());
    for (std::size_t i = 0; i < Actual.size(); ++i) {
        EXPECT_NEAR(Actual[i].x(), Expected[i].x(), 1e-6) << i;
        EXPECT_NEAR(Actual[i].y(), Expected[i].y(), 1e-6) << i;
    }
}

TEST(PointSymbol, BoxSymbolsFillThenOutline) {
    const struct {
        TVxPointSymbol Symbol;
        double Size;
        float Width;
        TVxDrawOp FillOp, StrokeOp;
        QRectF Box;
    } cases[] = {
        // r = (Size - w) / 2, with w = 1 when the width is not above 0.
        {TVxPointSymbol::Circle, 11, 1, TVxDrawOp::FillEllipse, TVxDrawOp::DrawEllipse,
         QRectF(95, 45, 10, 10)},
        {TVxPointSymbol::Circle, 11, 0, TVxDrawOp::FillEllipse, TVxDrawOp::DrawEllipse,
         QRectF(95, 45, 10, 10)},
        {TVxPointSymbol::Square, 11, 3, TVxDrawOp::FillRectangle, TVxDrawOp::DrawRectangle,
         QRectF(96, 46, 8, 8)},
        {TVxPointSymbol::Circle, 2, 3, TVxDrawOp::FillEllipse, TVxDrawOp::DrawEllipse,
         QRectF(100, 50, 0, 0)},
    };
    for (const auto& c : cases) {
        const auto records = Draw(c.Symbol, c.Size, c.Width);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].Op, c.FillOp);
        EXPECT_EQ(records[0].Rect, c.Box);
        EXPECT_EQ(*records[0].Brush, Fill);
        EXPECT_EQ(records[1].Op, c.StrokeOp);
        EXPECT_EQ(records[1].Rect, c.Box);
        EXPECT_EQ(records[1].Pen->Color, BorderColor);
    }
}

TEST(PointSymbol, DotIsASquareOfThePenWidthInThePenColour) {
    for (const auto& [width, box] :
         {std::pair{3.0f, QRectF(98.5, 48.5, 3, 3)}, std::pair{0.0f, QRectF(99.5, 49.5, 1, 1)}}) {
        // Even a size below the width draws the square.
        for (const double size : {11.0, 1.0}) {
            const auto records = Draw(TVxPointSymbol::Dot, size, width);
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(records[0].Op, TVxDrawOp::FillRectangle);
            EXPECT_EQ(records[0].Rect, box);
            EXPECT_EQ(*records[0].Brush, TVxBrush::SolidBrush(BorderColor));
        }
    }
}

TEST(PointSymbol, StrokeSymbolsRunFromTheCentre) {
    const double d = 5 * 0.7071067;
    const struct {
        TVxPointSymbol Symbol;
        std::vector<QPointF> Ends;
    } cases[] = {
        {TVxPointSymbol::Cross, {{100, 55}, {100, 45}, {105, 50}, {95, 50}}},
        {TVxPointSymbol::Ex, {{105, 55}, {95, 55}, {105, 45}, {95, 45}}},
        {TVxPointSymbol::Star,
         {{100, 55},
          {100, 45},
          {105, 50},
          {95, 50},
          {100 + d, 50 + d},
          {100 - d, 50 + d},
          {100 + d, 50 - d},
          {100 - d, 50 - d}}},
    };
    for (const auto& c : cases) {
        const auto records = Draw(c.Symbol, 11, 1);
        ASSERT_EQ(records.size(), c.Ends.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].Op, TVxDrawOp::DrawLine);
            ExpectPoints(records[i].Points, {{100, 50}, c.Ends[i]});
        }
    }
}

TEST(PointSymbol, PolygonSymbolsFollowTheirPointLists) {
    // r = 5, f = 5 * 1.0076133 = 5.0380665, g = 5 * 0.58124 = 2.9062.
    const struct {
        TVxPointSymbol Symbol;
        std::vector<QPointF> Points;
    } cases[] = {
        {TVxPointSymbol::Diamond,
         {{100, 45}, {105, 50}, {100, 55}, {95, 50}, {100, 45}, {105, 50}}},
        {TVxPointSymbol::Delta,
         {{100, 44.9619335}, {105, 52.9062}, {95, 52.9062}, {100, 44.9619335}, {105, 52.9062}}},
        {TVxPointSymbol::Nabla,
         {{95, 47.0938}, {105, 47.0938}, {100, 55.0380665}, {95, 47.0938}, {105, 47.0938}}},
        {TVxPointSymbol::FiveStar,
         {{100, 44.6},
          {101.35, 48.5},
          {105, 48.5},
          {102, 50.6},
          {103.2, 54.1},
          {100, 52},
          {96.8, 54.1},
          {98, 50.6},
          {95, 48.5},
          {98.65, 48.5},
          {100, 44.6},
          {101.35, 48.5}}},
    };
    for (const auto& c : cases) {
        const auto records = Draw(c.Symbol, 11, 1);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].Op, TVxDrawOp::FillPolygon);
        EXPECT_EQ(records[0].FillMode, TFillMode::FillModeAlternate);
        ExpectPoints(records[0].Points, c.Points);
        EXPECT_EQ(records[1].Op, TVxDrawOp::DrawLines);
        ExpectPoints(records[1].Points, c.Points);
    }
}

TEST(PointSymbol, SizeBelowThePenWidthCollapsesToTheCentre) {
    // Size 1 with width 3 would give r = -1 and turn the triangle upside down.
    const auto records = Draw(TVxPointSymbol::Delta, 1, 3);
    ASSERT_EQ(records.size(), 2u);
    for (const QPointF& p : records[0].Points)
        EXPECT_EQ(p, QPointF(100, 50));
    EXPECT_EQ(SymbolRadius(3, 3), 0);
    EXPECT_EQ(SymbolRadius(11, 1), 5);
}

TEST(PointSymbol, ClipShapesUseAStrokeOfOne) {
    const QPointF centres[] = {{100, 50}, {200, 80}};
    // Size 11: r' = (11 - 1) / 2 = 5 whatever the border width.
    const TVxPath circles = SymbolClipShapes(TVxPointSymbol::Circle, 11, centres);
    EXPECT_EQ(circles.Bounds(), QRectF(95, 45, 110, 40));
    EXPECT_TRUE(circles.ToQt().contains(QPointF(104, 50)));
    EXPECT_FALSE(circles.ToQt().contains(QPointF(150, 60)));
    const TVxPath squares = SymbolClipShapes(TVxPointSymbol::Square, 11, centres);
    EXPECT_EQ(squares.Bounds(), QRectF(95, 45, 110, 40));
    for (const TVxPointSymbol s :
         {TVxPointSymbol::Dot, TVxPointSymbol::Cross, TVxPointSymbol::Ex, TVxPointSymbol::Star}) {
        EXPECT_FALSE(SymbolExcludesLines(s));
        EXPECT_TRUE(SymbolClipShapes(s, 11, centres).IsEmpty());
    }
    const TVxPath deltas = SymbolClipShapes(TVxPointSymbol::Delta, 11, centres);
    EXPECT_NEAR(deltas.Bounds().top(), 50 - 5 * 1.0076133, 1e-6);
    EXPECT_TRUE(deltas.ToQt().contains(QPointF(200, 80)));
}

TEST(PointSymbol, BatchDrawsEachSymbolOnSurfacesWithoutSprites) {
    TVxRecordingSurface surface;
    const QPointF centres[] = {{10, 10}, {20, 30}, {40, 5}};
    DrawPointSymbols(surface, TVxPen::Solid(BorderColor), Fill, TVxPointSymbol::Circle, 11,
                     centres);
    const auto ellipses = surface.RecordsOf(TVxDrawOp::DrawEllipse);
    ASSERT_EQ(ellipses.size(), 3u);
    EXPECT_EQ(ellipses[1].Rect, QRectF(15, 25, 10, 10));
}

} // namespace
