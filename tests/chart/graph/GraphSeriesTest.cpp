// The graph with real series: layer order, removal of a freed series, lines below
// symbols in the painting order, and the point under the mouse.

#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "vectors/DoubleVector.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class GraphSeriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Graph = new TVxGraph2D(&Form);
        Graph->TestPrimaryAxis();
        const std::array<double, 3> xs{1, 2, 3};
        const std::array<double, 3> ys{2, 8, 5};
        XData.AddRange(std::span<const double>(xs));
        YData.AddRange(std::span<const double>(ys));
    }

    TVxPointSeries* MakeSeries(int Layer) {
        auto* series = new TVxPointSeries(&Form);
        series->SetXData(&XData);
        series->SetYData(&YData);
        series->SetXAxis(Graph->PrimaryXAxis());
        series->SetYAxis(Graph->PrimaryYAxis());
        series->SetLayer(Layer);
        return series;
    }

    QWidget Form;
    TVxDoubleVector XData{&Form};
    TVxDoubleVector YData{&Form};
    TVxGraph2D* Graph = nullptr;
};

} // namespace

TEST_F(GraphSeriesTest, LayersAreSortedAndRenumbered) {
    TVxSeries* five = MakeSeries(5);
    TVxSeries* one = MakeSeries(1);
    TVxSeries* three = MakeSeries(3);
    ASSERT_EQ(Graph->RelatedSeries(), (std::vector<TVxSeries*>{five, one, three}));
    Graph->SortLayers();
    EXPECT_EQ(Graph->RelatedSeries(), (std::vector<TVxSeries*>{one, three, five}));
    EXPECT_EQ(one->Layer(), 0);
    EXPECT_EQ(three->Layer(), 1);
    EXPECT_EQ(five->Layer(), 2);
}

TEST_F(GraphSeriesTest, AFreedSeriesLeavesTheGraph) {
    TVxSeries* first = MakeSeries(0);
    TVxSeries* second = MakeSeries(1);
    delete first;
    EXPECT_EQ(Graph->RelatedSeries(), std::vector<TVxSeries*>{second});
    EXPECT_EQ(Graph->SeriesCount(), 1);
    TVxRecordingSurface surface;
    Graph->PaintGr(surface); // paints the remaining series without touching the freed one
    EXPECT_FALSE(surface.Records().empty());
}

TEST_F(GraphSeriesTest, AllLinesArePaintedBeforeAnySymbol) {
    MakeSeries(0);
    MakeSeries(1);
    Graph->Calculate();
    TVxRecordingSurface surface;
    Graph->PaintGr(surface);
    // The axes sit between the series lines and the symbols: the last line drawn by a
    // series comes before the axis lines, every symbol after them.
    std::size_t lastLine = 0;
    std::size_t firstSymbol = surface.Records().size();
    std::size_t firstAxisText = surface.Records().size();
    for (std::size_t i = 0; i < surface.Records().size(); ++i) {
        const TVxDrawRecord& r = surface.Records()[i];
        if (r.Op == TVxDrawOp::DrawLines)
            lastLine = std::max(lastLine, i);
        if (r.Op == TVxDrawOp::DrawString)
            firstAxisText = std::min(firstAxisText, i);
        if (r.Op == TVxDrawOp::FillPath || r.Op == TVxDrawOp::FillPolygon ||
            r.Op == TVxDrawOp::FillEllipse || r.Op == TVxDrawOp::DrawImage)
            if (i > firstAxisText)
                firstSymbol = std::min(firstSymbol, i);
    }
    ASSERT_LT(firstAxisText, surface.Records().size());
    EXPECT_LT(lastLine, firstAxisText);
    EXPECT_GT(firstSymbol, firstAxisText);
}

TEST_F(GraphSeriesTest, FindSeriesPointAsksTheTopmostSeriesFirst) {
    TVxSeries* lower = MakeSeries(0);
    TVxSeries* upper = MakeSeries(1);
    Graph->Calculate();
    TVxRecordingSurface surface;
    Graph->PaintGr(surface);
    const int px = int(std::lround(Graph->PrimaryXAxis()->NumberToWorld(2)));
    const int py = int(std::lround(Graph->PrimaryYAxis()->NumberToWorld(8)));
    const TVxSeriesPoint hit = Graph->FindSeriesPoint(px, py);
    ASSERT_TRUE(hit.Found);
    EXPECT_EQ(hit.InSeries, upper);
    EXPECT_EQ(hit.Index, 1);
    EXPECT_EQ(hit.X, 2);
    EXPECT_EQ(hit.Y, 8);
    (void)lower;

    const TVxSeriesPoint miss = Graph->FindSeriesPoint(2, 2);
    EXPECT_FALSE(miss.Found);
    EXPECT_EQ(miss.InSeries, nullptr);
    EXPECT_EQ(miss.Index, -1);
}
