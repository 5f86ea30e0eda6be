// OHLC bars and candlesticks with real axes and vectors: extent, drawn geometry on the
// recording surface (expected pixels from the linear map of the data area), legend and border
// room, hit tests, value transformations, vector removal, and the pixels of dense candles drawn
// only where they show.

#include "series/OHLC.h"

#include "FakeSeriesGraph.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

constexpr TVxColor Green = VxColor(0xFF008000);
constexpr TVxColor Red = VxColor(0xFFFF0000);
constexpr TVxColor Black = VxColor(0xFF000000);
constexpr TVxColor DarkBlue = VxColor(0xFF00008B);

class OHLCTest : public testing::Test {
protected:
    OHLCTest() : Graph(50, 20, 600, 150) {
        Graph.SetRanges(-1, 4, 8, 15);
        Open.AddRange(std::vector<double>{10, 12, 11, 11});
        Close.AddRange(std::vector<double>{12, 10, 11, 13});
        High.AddRange(std::vector<double>{13, 12.5, 11.5, 14});
        Low.AddRange(std::vector<double>{9, 9.5, 10.5, 10.8});
    }
    void Bind(TVxCustomOHLC& S) {
        Graph.Attach(S);
        S.SetOpenData(&Open);
        S.SetHighData(&High);
        S.SetLowData(&Low);
        S.SetCloseData(&Close);
    }
    std::vector<TVxDrawRecord> Records(TVxDrawOp Op) const { return Graph.Surface.RecordsOf(Op); }

    TFakeSeriesGraph Graph;
    TVxDoubleVector Open, Close, High, Low;
};

void ExpectRect(const QRectF& Actual, double X, double Y, double W, double H) {
    EXPECT_NEAR(Actual.x(), X, 1e-3);
    EXPECT_NEAR(Actual.y(), Y, 1e-3);
    EXPECT_NEAR(Actual.width(), W, 1e-3);
    EXPECT_NEAR(Actual.height(), H, 1e-3);
}

void ExpectLine(const TVxDrawRecord& R, QPointF A, QPointF B) {
    ASSERT_EQ(R.Points.size(), 2u);
    EXPECT_NEAR(R.Points[0].x(), A.x(), 1e-3);
    EXPECT_NEAR(R.Points[0].y(), A.y(), 1e-3);
    EXPECT_NEAR(R.Points[1].x(), B.x(), 1e-3);
    EXPECT_NEAR(R.Points[1].y(), B.y(), 1e-3);
}

TEST_F(OHLCTest, CandlesSpanLowestLowToHighestHighAndFillByDirection) {
    TVxCandleSticks s;
    Bind(s);
    ASSERT_EQ(Graph.List, std::vector<TVxSeries*>{&s});
    Graph.Paint(s);
    EXPECT_EQ(s.XStart(), 0);
    EXPECT_EQ(s.XStop(), 3);
    EXPECT_EQ(s.YStart(), 9);
    EXPECT_EQ(s.YStop(), 14);

    const std::vector<TVxDrawRecord> fills = Records(TVxDrawOp::FillRectangle);
    ASSERT_EQ(fills.size(), 4u);
    const TVxColor colours[4] = {Green, Red, Black, Green};
    const double o[4] = {10, 12, 11, 11}, c[4] = {12, 10, 11, 13};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fills[size_t(i)].Brush->Color, colours[i]);
        const double top = Graph.PY(std::max(o[i], c[i])), bottom = Graph.PY(std::min(o[i], c[i]));
        ExpectRect(fills[size_t(i)].Rect, Graph.PX(i) - 3, top, 6, bottom - top);
    }
    // Three bodies outlined; the flat one drawn as a line along its top.
    const std::vector<TVxDrawRecord> outlines = Records(TVxDrawOp::DrawRectangle);
    ASSERT_EQ(outlines.size(), 3u);
    for (const TVxDrawRecord& r : outlines)
        EXPECT_EQ(r.Pen->Color, Black);
    // Per candle: shadows (high, then low); the flat candle's line comes first.
    const std::vector<TVxDrawRecord> lines = Records(TVxDrawOp::DrawLine);
    ASSERT_EQ(lines.size(), 9u);
    const double h[4] = {13, 12.5, 11.5, 14}, l[4] = {9, 9.5, 10.5, 10.8};
    size_t k = 0;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const double x = Graph.PX(i);
        const double top = Graph.PY(std::max(o[i], c[i])), bottom = Graph.PY(std::min(o[i], c[i]));
        if (i == 2)
            ExpectLine(lines[k++], {x - 3, top}, {x + 3, top});
        ExpectLine(lines[k++], {x, top}, {x, Graph.PY(h[i])});
        ExpectLine(lines[k++], {x, bottom}, {x, Graph.PY(l[i])});
    }
}

TEST_F(OHLCTest, ShadowsSameColorAsFillColoursOutlinesAndShadows) {
    TVxCandleSticks s;
    Bind(s);
    s.SetShadowsSameColorAsFill(true);
    Graph.Paint(s);
    const std::vector<TVxDrawRecord> outlines = Records(TVxDrawOp::DrawRectangle);
    ASSERT_EQ(outlines.size(), 3u);
    EXPECT_EQ(outlines[0].Pen->Color, Green);
    EXPECT_EQ(outlines[1].Pen->Color, Red);
    EXPECT_EQ(outlines[2].Pen->Color, Green);
    const std::vector<TVxDrawRecord> lines = Records(TVxDrawOp::DrawLine);
    const TVxColor expected[9] = {Green, Green, Red, Red, Black, Black, Black, Green, Green};
    ASSERT_EQ(lines.size(), 9u);
    for (size_t k = 0; k < 9; ++k)
        EXPECT_EQ(lines[k].Pen->Color, expected[k]) << k;
}

TEST_F(OHLCTest, OHLCBarsHaveOpenTickLeftAndCloseTickRight) {
    TVxOHLC s;
    Bind(s);
    EXPECT_EQ(s.BarWidth(), 4);
    EXPECT_EQ(s.IndicatorLength(), 5);
    Graph.Paint(s);
    const std::vector<TVxDrawRecord> fills = Records(TVxDrawOp::FillRectangle);
    const std::vector<TVxDrawRecord> outlines = Records(TVxDrawOp::DrawRectangle);
    const std::vector<TVxDrawRecord> lines = Records(TVxDrawOp::DrawLine);
    ASSERT_EQ(fills.size(), 4u);
    ASSERT_EQ(outlines.size(), 4u);
    ASSERT_EQ(lines.size(), 8u);
    const double o[4] = {10, 12, 11, 11}, c[4] = {12, 10, 11, 13};
    const double h[4] = {13, 12.5, 11.5, 14}, l[4] = {9, 9.5, 10.5, 10.8};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const size_t k = size_t(i);
        const double x = Graph.PX(i), top = Graph.PY(h[i]), bottom = Graph.PY(l[i]);
        EXPECT_EQ(fills[k].Brush->Color, DarkBlue);
        ExpectRect(fills[k].Rect, x - 2, top, 4, bottom - top);
        ExpectRect(outlines[k].Rect, x - 2, top, 4, bottom - top);
        EXPECT_EQ(outlines[k].Pen->Color, DarkBlue);
        ExpectLine(lines[2 * k], {x - 7, Graph.PY(o[i])}, {x - 2, Graph.PY(o[i])});
        ExpectLine(lines[2 * k + 1], {x + 2, Graph.PY(c[i])}, {x + 7, Graph.PY(c[i])});
    }
}

TEST_F(OHLCTest, WidthsLegendHeightsAndBorderRoom) {
    TVxOHLC bars;
    TVxCandleSticks candles;
    EXPECT_EQ(candles.BarWidth(), 6);
    EXPECT_EQ(bars.GetItemHeight(), 16);
    EXPECT_EQ(candles.GetItemHeight(), 8);
    const float barRoom[4] = {0, 7, 0, 7}, candleRoom[4] = {0, 3, 0, 3};
    for (int border = 0; border < 4; ++border) {
        EXPECT_EQ(bars.ExtraSpaceAt(border), barRoom[border]) << border;
        EXPECT_EQ(candles.ExtraSpaceAt(border), candleRoom[border]) << border;
    }
    for (float bad : {-3.0f, 0.0f, std::nanf("")}) {
        bars.SetBarWidth(7);
        bars.SetBarWidth(bad);
        EXPECT_EQ(bars.BarWidth(), 1) << bad;
    }
    bars.SetBarWidth(2.5f);
    EXPECT_EQ(bars.BarWidth(), 2.5f);
    EXPECT_EQ(bars.GetItemHeight(), 15); // round(10 + 2.5 + 2) = 14.5 -> 15 (lround)
}

TEST_F(OHLCTest, FindPointAtTheEdgesOfTheHorizontalReach) {
    TVxOHLC bars;
    TVxCandleSticks candles;
    for (TVxCustomOHLC* s :
         {static_cast<TVxCustomOHLC*>(&bars), static_cast<TVxCustomOHLC*>(&candles)}) {
        Bind(*s);
        Graph.Paint(*s);
        // Half reach: (BarWidth + 1) / 2, plus the tick length for bars.
        const double half = s == &bars ? 2.5 + 5 : 3.5;
        const double x = Graph.PX(3), y = Graph.PY(12);
        SCOPED_TRACE(half);
        EXPECT_EQ(s->FindPoint(float(x - half), float(y)), 3);
        EXPECT_EQ(s->FindPoint(float(x + half), float(y)), 3);
        EXPECT_EQ(s->FindPoint(float(x + half + 0.1), float(y)), -1);
        EXPECT_EQ(s->FindPoint(float(x), float(Graph.PY(14))), 3);   // the high end
        EXPECT_EQ(s->FindPoint(float(x), float(Graph.PY(10.8))), 3); // the low end
        EXPECT_EQ(s->FindPoint(float(x), float(Graph.PY(14.2))), -1);
        Graph.Attach(*s); // unchanged axes
        s->SetXAxis(nullptr);
    }
}

TEST_F(OHLCTest, LowAndHighTransformationsMoveOnlyTheirEnds) {
    TVxCandleSticks s;
    Bind(s);
    Graph.Paint(s);
    const std::vector<float> low = s.LowPoint(), high = s.HighPoint(), open = s.OpenPoint();
    const std::vector<QPointF> close = s.Points();
    s.SetLowValueTransformation(
        [](TVxSeries*, const TVxTransformEventArgs& e) { return e.Value - 0.5; });
    Graph.Paint(s);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(s.LowPoint()[k], Graph.PY(Low.GetValue(int(k)) - 0.5), 1e-3);
        EXPECT_EQ(s.HighPoint()[k], high[k]);
        EXPECT_EQ(s.OpenPoint()[k], open[k]);
        EXPECT_EQ(s.Points()[k], close[k]);
    }
    EXPECT_EQ(s.YStart(), 8.5);
    s.SetLowValueTransformation({});
    s.SetHighValueTransformation(
        [](TVxSeries*, const TVxTransformEventArgs& e) { return e.Value + 0.5; });
    Graph.Paint(s);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(s.LowPoint()[k], low[k]);
        EXPECT_NEAR(s.HighPoint()[k], Graph.PY(High.GetValue(int(k)) + 0.5), 1e-3);
        EXPECT_EQ(s.OpenPoint()[k], open[k]);
        EXPECT_EQ(s.Points()[k], close[k]);
    }
    EXPECT_EQ(s.YStop(), 14.5);
    // The drawn shadows follow.
    const std::vector<TVxDrawRecord> lines = Records(TVxDrawOp::DrawLine);
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines[0].Points[1].y(), Graph.PY(13.5), 1e-3);
}

TEST_F(OHLCTest, RemovingOrDestroyingTheHighVectorLeavesTheGraphUntilAnotherIsSet) {
    TVxCandleSticks s;
    Bind(s);
    ASSERT_EQ(Graph.List.size(), 1u);
    s.SetHighData(nullptr);
    EXPECT_TRUE(Graph.List.empty());
    Graph.Paint(s);
    EXPECT_TRUE(Graph.Surface.Records().empty());
    s.SetHighData(&High);
    EXPECT_EQ(Graph.List.size(), 1u);
    {
        auto other = std::make_unique<TVxDoubleVector>();
        other->AddRange(std::vector<double>{13, 12.5, 11.5, 14});
        s.SetHighData(other.get());
        ASSERT_EQ(Graph.List.size(), 1u);
    }
    EXPECT_EQ(s.HighData(), nullptr);
    EXPECT_TRUE(Graph.List.empty());
    s.SetHighData(&High);
    EXPECT_EQ(Graph.List.size(), 1u);
    Graph.Paint(s);
    EXPECT_EQ(Records(TVxDrawOp::FillRectangle).size(), 4u);
}

TEST_F(OHLCTest, PaintingLeavesAVisibleAreaGradientAloneAndFillsWithThePlainBrush) {
    TVxUndoStack stack;
    TVxOHLC s;
    Bind(s);
    s.SetUndoStack(&stack);
    s.Area()->Gradient()->SetVisible(true);
    const int steps = stack.UndoCount();
    Graph.Paint(s);
    EXPECT_TRUE(s.Area()->Gradient()->Visible());
    EXPECT_EQ(stack.UndoCount(), steps);
    const std::vector<TVxDrawRecord> fills = Records(TVxDrawOp::FillRectangle);
    ASSERT_EQ(fills.size(), 4u);
    EXPECT_EQ(fills[0].Brush->Kind, TVxBrushKind::Solid);
    EXPECT_EQ(fills[0].Brush->Color, DarkBlue);
}

TEST_F(OHLCTest, OnATwistedAxisShadowsRunFromTheNearerBodyEdgeAndHitTestsWork) {
    Graph.YAxis.SetTwisted(true);
    TVxCandleSticks s;
    Bind(s);
    Graph.Paint(s);
    const double o = 10, c = 12, h = 13, l = 9; // the first candle
    const double x = Graph.PX(0);
    ASSERT_GT(Graph.PY(h), Graph.PY(l)); // high lies below low
    const std::vector<TVxDrawRecord> lines = Records(TVxDrawOp::DrawLine);
    ASSERT_GE(lines.size(), 2u);
    // The close (12) is the lower edge of the body on a twisted axis, next to the high end.
    ExpectLine(lines[0], {x, Graph.PY(c)}, {x, Graph.PY(h)});
    ExpectLine(lines[1], {x, Graph.PY(o)}, {x, Graph.PY(l)});
    EXPECT_EQ(s.FindPoint(float(x), float(Graph.PY(11))), 0);
    EXPECT_EQ(s.FindPoint(float(x), float(Graph.PY(12.9))), 0);
}

TEST_F(OHLCTest, ALowAboveItsHighStillGivesAnOrderedExtent) {
    TVxDoubleVector o, c, h, l;
    o.AddRange(std::vector<double>{13, 11});
    c.AddRange(std::vector<double>{14, 12});
    h.AddRange(std::vector<double>{12, 12.5}); // the first high lies below its low
    l.AddRange(std::vector<double>{15, 10});
    TVxOHLC s;
    Graph.Attach(s);
    s.SetOpenData(&o);
    s.SetHighData(&h);
    s.SetLowData(&l);
    s.SetCloseData(&c);
    s.Calculate();
    EXPECT_EQ(s.YStart(), 10);
    EXPECT_EQ(s.YStop(), 15);
}

TEST_F(OHLCTest, AZoomedViewConvertsOnlyTheVisibleIndices) {
    // 1000 candles at x = 2i; the view 200..398 holds i = 100..199, and a candle 3 pixels wide
    // on each side (0.99 value units) reaches no further index.
    TVxDoubleVector x, o, c, h, l;
    for (int i = 0; i < 1000; ++i) {
        x.Add(2 * i);
        o.Add(10);
        c.Add(11);
        h.Add(12);
        l.Add(9);
    }
    TVxCandleSticks s;
    Graph.Attach(s);
    s.SetXData(&x);
    s.SetOpenData(&o);
    s.SetHighData(&h);
    s.SetLowData(&l);
    s.SetCloseData(&c);
    Graph.SetRanges(200, 398, 8, 13);
    Graph.Paint(s);
    ASSERT_EQ(s.PointIndex().size(), 100u);
    EXPECT_EQ(s.PointIndex().front(), 100);
    EXPECT_EQ(s.PointIndex().back(), 199);
    // The own indexer as X: the same search on indices.
    s.SetXData(nullptr);
    Graph.SetRanges(100, 199, 8, 13);
    Graph.Paint(s);
    ASSERT_EQ(s.PointIndex().size(), 100u);
    EXPECT_EQ(s.PointIndex().front(), 100);
}

// Prices as in the benchmark: a random walk of closes, open = the previous close, high and low
// beyond the body by a fresh uniform amount.
void RandomWalk(int N, unsigned Seed, TVxDoubleVector& O, TVxDoubleVector& H, TVxDoubleVector& L,
                TVxDoubleVector& C) {
    std::mt19937_64 rng(Seed);
    auto u = [&] { return double(rng() >> 11) * 0x1p-53; };
    double close = 100;
    for (int i = 0; i < N; ++i) {
        const double open = close;
        close = close + u() - 0.5;
        O.Add(open);
        C.Add(close);
        H.Add(std::max(open, close) + u());
        L.Add(std::min(open, close) - u());
    }
}

TEST(OHLCPixels, DrawingOnlyWhatShowsGivesTheImageOfDrawingEveryItem) {
    TFakeSeriesGraph graph(0, 0, 200, 100);
    TVxDoubleVector o, h, l, c;
    RandomWalk(20000, 20240613, o, h, l, c);
    const std::pair<double, double> range = {l.GetMinimum(), h.GetMaximum()};
    for (bool candles : {true, false}) {
        SCOPED_TRACE(candles ? "candles" : "bars");
        std::unique_ptr<TVxCustomOHLC> s;
        if (candles)
            s = std::make_unique<TVxCandleSticks>();
        else
            s = std::make_unique<TVxOHLC>();
        graph.Attach(*s);
        s->SetOpenData(&o);
        s->SetHighData(&h);
        s->SetLowData(&l);
        s->SetCloseData(&c);
        graph.SetRanges(0, 19999, range.first, range.second);
        // Anti-aliased too: items on whole pixels are drawn crisp, so nothing else shows.
        for (const bool antiAliased : {false, true}) {
            SCOPED_TRACE(antiAliased ? "anti-aliased" : "aliased");
            s->OnGetPen = nullptr;
            const QImage selected = graph.PaintImage(*s, antiAliased);
            const int drawn = s->LastDrawnItems();
            // A pen handler that changes nothing turns the selection off.
            s->OnGetPen = [](TVxSeries*, TVxPenEventArgs&) {};
            const QImage all = graph.PaintImage(*s, antiAliased);
            EXPECT_EQ(s->LastDrawnItems(), 20000);
            EXPECT_LT(drawn, 20000 / 4);
            EXPECT_TRUE(selected == all);
        }
    }
}

} // namespace
