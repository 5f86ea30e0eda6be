// Point series with error bars: the extent with whiskers (linear and logarithmic axes, absolute
// and transformed deltas, late deltas, no values), whisker geometry on the recording surface,
// deltas shorter than the data and appended later, the legend height, and the pixels of dense
// whiskers drawn only where they show.

#include "series/PointWithErrorSeries.h"

#include "FakeSeriesGraph.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

class ErrorBarsTest : public testing::Test {
protected:
    ErrorBarsTest() : Graph(50, 20, 600, 150) { Graph.SetRanges(0, 10, 0, 10); }
    void Bind(TVxSeries& S) {
        Graph.Attach(S);
        S.SetXData(&X);
        S.SetYData(&Y);
    }
    void Values(TVxDoubleVector& V, const std::vector<double>& Values) {
        V.Clear();
        V.AddRange(std::span<const double>(Values));
    }

    TFakeSeriesGraph Graph;
    TVxDoubleVector X, Y, Plus, Minus;
};

TEST_F(ErrorBarsTest, WhiskersWidenTheExtent) {
    struct TCase {
        const char* Name;
        double YPlus, YMinus;
        bool LogY;
        double Start, Stop;
    };
    // (2, 5) with its Y whiskers; negative deltas act as their absolute values; on a
    // logarithmic axis a lower end that is not positive falls back to the point itself.
    const TCase cases[] = {
        {"plain", 1, 2, false, 3, 6},
        {"negative deltas", -1, -2, false, 3, 6},
        {"log, lower end below 0", 1, 10, true, 5, 6},
        {"log, lower end positive", 1, 2, true, 3, 6},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Graph.YAxis.SetScaling(c.LogY ? TVxAxisScaling::Log : TVxAxisScaling::Normal);
        Values(X, {2});
        Values(Y, {5});
        Values(Plus, {c.YPlus});
        Values(Minus, {c.YMinus});
        TVxPointWithErrorSeries s;
        Bind(s);
        s.SetDeltaYPlus(&Plus);
        s.SetDeltaYMinus(&Minus);
        s.Calculate();
        EXPECT_EQ(s.XStart(), 2);
        EXPECT_EQ(s.XStop(), 2);
        EXPECT_EQ(s.YStart(), c.Start);
        EXPECT_EQ(s.YStop(), c.Stop);
    }
}

TEST_F(ErrorBarsTest, XWhiskersAndTransformedDeltas) {
    Values(X, {2, 4});
    Values(Y, {5, 1});
    Values(Plus, {0.5, 3});
    Values(Minus, {1, 1});
    TVxPointWithErrorSeries s;
    Bind(s);
    s.SetDeltaXPlus(&Plus);
    s.SetDeltaXMinus(&Minus);
    s.Calculate();
    EXPECT_EQ(s.XStart(), 1);
    EXPECT_EQ(s.XStop(), 7);
    EXPECT_EQ(s.YStart(), 1);
    EXPECT_EQ(s.YStop(), 5);
    // A transformation receives |delta| and its result counts as an absolute value too.
    s.SetDeltaTransformation(
        TVxPointWithErrorSeries::XMinus,
        [](TVxSeries*, const TVxTransformEventArgs& e) { return -3 * e.Value - e.Index; });
    s.Calculate();
    EXPECT_EQ(s.XStart(), -1); // 2 - |-3 * 1 - 0|, 4 - |-3 * 1 - 1| = 0
    EXPECT_EQ(s.XStop(), 7);
}

TEST_F(ErrorBarsTest, HiddenIndicatorBehavesAsAPlainPointSeries) {
    Values(X, {1, 2, 3});
    Values(Y, {4, -2, 7});
    Values(Plus, {10, 10, 10});
    TVxPointWithErrorSeries s;
    Bind(s);
    s.SetDeltaYPlus(&Plus);
    s.SetDeltaXPlus(&Plus);
    s.ErrorIndicator()->SetVisible(false);
    Graph.Paint(s);
    EXPECT_EQ(s.XStart(), 1);
    EXPECT_EQ(s.XStop(), 3);
    EXPECT_EQ(s.YStart(), -2);
    EXPECT_EQ(s.YStop(), 7);
    EXPECT_TRUE(s.WhiskerPoints().empty());
    EXPECT_TRUE(Graph.Surface.RecordsOf(TVxDrawOp::DrawLine).empty());
    // Shown again: the extent includes the whiskers.
    s.ErrorIndicator()->SetVisible(true);
    s.Calculate();
    EXPECT_EQ(s.XStop(), 13);
    EXPECT_EQ(s.YStop(), 17);
}

TEST_F(ErrorBarsTest, WhiskerLinesAndCrossBarsOfSymbolSizeLessOne) {
    Values(X, {2, 6});
    Values(Y, {5, 3});
    Values(Plus, {1, 2});
    Values(Minus, {2}); // shorter than the data: the second point has no lower whisker
    TVxPointWithErrorSeries s;
    Bind(s);
    s.SetDeltaYPlus(&Plus);
    s.SetDeltaYMinus(&Minus);
    ASSERT_EQ(s.PointSymbol()->Size(), 11);
    Graph.Paint(s);
    const std::vector<TVxDrawRecord> lines = Graph.Surface.RecordsOf(TVxDrawOp::DrawLine);
    ASSERT_EQ(lines.size(), 6u);
    struct TLine {
        double X0, Y0, X1, Y1;
    };
    auto px = [&](double V) { return Graph.PX(V); };
    auto py = [&](double V) { return Graph.PY(V); };
    const TLine expected[6] = {
        {px(2), py(5), px(2), py(6)}, {px(2) - 5, py(6), px(2) + 5, py(6)},
        {px(2), py(5), px(2), py(3)}, {px(2) - 5, py(3), px(2) + 5, py(3)},
        {px(6), py(3), px(6), py(5)}, {px(6) - 5, py(5), px(6) + 5, py(5)},
    };
    for (size_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(lines[k].Points[0].x(), expected[k].X0, 1e-3);
        EXPECT_NEAR(lines[k].Points[0].y(), expected[k].Y0, 1e-3);
        EXPECT_NEAR(lines[k].Points[1].x(), expected[k].X1, 1e-3);
        EXPECT_NEAR(lines[k].Points[1].y(), expected[k].Y1, 1e-3);
        EXPECT_EQ(lines[k].Pen->Color, VxColor(0xFF808080));
    }
    EXPECT_TRUE(std::isnan(s.WhiskerEnds(TVxPointWithErrorSeries::YMinus)[1]));
    EXPECT_EQ(s.GetItemHeight(), 21);
    s.ErrorIndicator()->SetVisible(false);
    EXPECT_EQ(s.GetItemHeight(), 13);
}

TEST_F(ErrorBarsTest, DeltasArrivingAfterTheirPointsReachTheExtentAndTheRightPoints) {
    Values(X, {1, 2, 3});
    Values(Y, {5, 5, 5});
    Values(Plus, {1});
    TVxPointWithErrorSeries s;
    Bind(s);
    s.SetDeltaYPlus(&Plus);
    Graph.Paint(s);
    EXPECT_EQ(s.YStop(), 6);
    ASSERT_EQ(s.WhiskerIndex(), std::vector<int>{0});
    // A new point first, then the deltas of the older points catch up.
    X.Add(4);
    Y.Add(5);
    Graph.Paint(s);
    Plus.Add(1);
    Plus.Add(4);
    Graph.Paint(s);
    EXPECT_EQ(s.YStop(), 9);
    ASSERT_EQ(s.WhiskerIndex(), (std::vector<int>{0, 1, 2}));
    const std::vector<float>& ends = s.WhiskerEnds(TVxPointWithErrorSeries::YPlus);
    EXPECT_NEAR(ends[1], Graph.PY(6), 1e-3);
    EXPECT_NEAR(ends[2], Graph.PY(9), 1e-3);
    EXPECT_NEAR(s.WhiskerPoints()[2].x(), Graph.PX(3), 1e-3);
}

TEST_F(ErrorBarsTest, AnExtentWithoutValuesStaysUnknown) {
    for (bool log : {false, true}) {
        SCOPED_TRACE(log);
        Graph.YAxis.SetScaling(log ? TVxAxisScaling::Log : TVxAxisScaling::Normal);
        Values(X, {1, 2});
        Values(Y, {std::nan(""), log ? -3.0 : std::nan("")});
        Values(Plus, {1, 1});
        TVxPointWithErrorSeries s;
        Bind(s);
        s.SetDeltaYPlus(&Plus);
        s.Calculate();
        EXPECT_EQ(s.YStart(), MaxDouble);
        EXPECT_EQ(s.YStop(), -MaxDouble);
    }
}

TEST(ErrorBarPixels, DrawingOnlyWhatShowsGivesTheImageOfDrawingEveryWhisker) {
    TFakeSeriesGraph graph(0, 0, 200, 100);
    TVxDoubleVector x, y, plus, minus;
    std::mt19937_64 rng(20240613);
    auto u = [&] { return double(rng() >> 11) * 0x1p-53; };
    for (int i = 0; i < 20000; ++i) {
        x.Add(i);
        y.Add(20 + 5 * std::sin(2 * 3.141592653589793 * i / 20000) + 4 * u() - 2);
        plus.Add(u());
        minus.Add(u());
    }
    TVxPointWithErrorSeries s;
    graph.Attach(s);
    s.SetXData(&x);
    s.SetYData(&y);
    s.SetDeltaYPlus(&plus);
    s.SetDeltaYMinus(&minus);
    s.Line()->SetVisible(false);
    s.PointSymbol()->SetSize(5);        // cross bars 4 pixels long
    s.PointSymbol()->SetVisible(false); // nothing but whiskers
    graph.SetRanges(0, 19999, 12, 28);
    // Anti-aliased too: whiskers on whole pixels are drawn crisp, so nothing else shows.
    for (const bool antiAliased : {false, true}) {
        SCOPED_TRACE(antiAliased ? "anti-aliased" : "aliased");
        s.OnGetIndicatorsPen = nullptr;
        const QImage selected = graph.PaintImage(s, antiAliased);
        const int drawn = s.LastDrawnItems();
        s.OnGetIndicatorsPen = [](TVxSeries*, TVxPenEventArgs&) {};
        const QImage all = graph.PaintImage(s, antiAliased);
        EXPECT_EQ(s.LastDrawnItems(), 20000);
        EXPECT_LT(drawn, 20000 / 3); // about a hundred points share each pixel column
        EXPECT_TRUE(selected == all);
    }
}

} // namespace
