// What the painting order draws and how: the data-area fill only where it shows, grid
// lines on whole pixels on screen and at exact positions in vector output, and the
// smoothing switch.

#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/LineSettings.h"
#include "vectors/DoubleVector.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class GraphPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An odd width puts the X ticks of 0..3 between pixel centres.
        Graph = new TVxGraph2D(&Form);
        Graph->resize(613, 377);
        Graph->TestPrimaryAxis();
        const std::array<double, 4> xs{0, 1, 2, 3};
        const std::array<double, 4> ys{2, 8, 5, 7};
        XData.AddRange(std::span<const double>(xs));
        YData.AddRange(std::span<const double>(ys));
        Series = new TVxPointSeries(&Form);
        Series->SetXData(&XData);
        Series->SetYData(&YData);
        Series->SetXAxis(Graph->PrimaryXAxis());
        Series->SetYAxis(Graph->PrimaryYAxis());
    }

    std::vector<TVxDrawRecord> Paint() {
        TVxRecordingSurface surface;
        Graph->PaintGr(surface);
        return surface.Records();
    }

    /// The fills that cover the data area (not the symbols or the background).
    std::vector<QRectF> DataAreaFills(const std::vector<TVxDrawRecord>& Records) const {
        const QRectF da = Graph->DrawingArea();
        const QRectF expected(da.x(), da.y(), da.width() - 1, da.height() - 1);
        std::vector<QRectF> fills;
        for (const TVxDrawRecord& r : Records)
            if (r.Op == TVxDrawOp::FillRectangle && r.Rect == expected)
                fills.push_back(r.Rect);
        return fills;
    }

    QWidget Form;
    TVxDoubleVector XData{&Form};
    TVxDoubleVector YData{&Form};
    TVxGraph2D* Graph = nullptr;
    TVxPointSeries* Series = nullptr;
};

} // namespace

TEST_F(GraphPaintTest, TheDataAreaIsFilledOnlyWhereItShowsAgainstTheBackground) {
    struct Case {
        TVxColor Back;
        TVxColor DataArea;
        bool Filled;
    };
    const Case cases[] = {
        {TVxColor(0xFFFFFFFF), TVxColor(0xFFFFFFFF), false}, // equal to the background
        {TVxColor(0x00FFFFFF), TVxColor(0x00FFFFFF), false}, // both transparent
        {TVxColor(0xFFFFFFFF), TVxColor(0x00112233), false}, // data area transparent
        {TVxColor(0xFFFFFFFF), TVxColor(0xFFEEEEEE), true},
        {TVxColor(0x00FFFFFF), TVxColor(0xFF000080), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.Back << " / " << c.DataArea);
        Graph->SetBackColor(c.Back);
        Graph->SetDataAreaColor(c.DataArea);
        EXPECT_EQ(DataAreaFills(Paint()).size(), c.Filled ? 1u : 0u);
    }
}

TEST_F(GraphPaintTest, ATransparentBackgroundPaintsNothingUnderTheGraph) {
    Graph->SetBackColor(TVxColor(0x00FFFFFF));
    Graph->SetDataAreaColor(TVxColor(0x00FFFFFF));
    const QRectF client(0, 0, Graph->width(), Graph->height());
    for (const TVxDrawRecord& r : Paint())
        if (r.Op == TVxDrawOp::FillRectangle) {
            EXPECT_NE(r.Rect, client);
        }
}

TEST_F(GraphPaintTest, GridLinesLieOnWholePixelsOnScreenAndExactInVectorOutput) {
    Graph->MajorGridVertical()->SetVisible(true);
    Graph->Calculate();
    const QRectF da = Graph->DrawingArea();
    const auto gridXs = [&](const std::vector<TVxDrawRecord>& Records) {
        std::vector<double> xs;
        for (const TVxDrawRecord& r : Records)
            if (r.Op == TVxDrawOp::DrawLine && r.Points.size() == 2 &&
                r.Points[0].x() == r.Points[1].x() && r.Points[0].y() == da.y() &&
                r.Points[1].y() == da.y() + da.height() - 1)
                xs.push_back(r.Points[0].x());
        return xs;
    };
    const std::vector<double> screen = gridXs(Paint());
    Graph->SetDoingMetafile(true);
    const std::vector<double> vector = gridXs(Paint());
    Graph->SetDoingMetafile(false);

    ASSERT_FALSE(screen.empty());
    ASSERT_EQ(screen.size(), vector.size());
    bool someFractional = false;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        EXPECT_EQ(screen[i], std::nearbyint(screen[i]));
        EXPECT_EQ(screen[i], std::nearbyint(vector[i]));
        someFractional = someFractional || vector[i] != std::nearbyint(vector[i]);
    }
    // Otherwise the case would not tell rounding from exact positions.
    EXPECT_TRUE(someFractional);
}

TEST_F(GraphPaintTest, SmoothingModeNoneDrawsEverythingAliasedAndFillsAreNeverSmoothed) {
    Graph->SetBackColor(TVxColor(0xFFFFFFFF));
    Graph->SetDataAreaColor(TVxColor(0xFFEEEEEE));
    for (TVxSmoothingMode mode : {TVxSmoothingMode::None, TVxSmoothingMode::HighQuality}) {
        Graph->SetSmoothingMode(mode);
        const std::vector<TVxDrawRecord> records = Paint();
        const std::vector<QRectF> fills = DataAreaFills(records);
        ASSERT_EQ(fills.size(), 1u);
        bool seriesLineSeen = false;
        for (const TVxDrawRecord& r : records) {
            if (r.Op == TVxDrawOp::FillRectangle && r.Rect == fills.front()) {
                EXPECT_EQ(r.Smoothing, TSmoothingMode::SmoothingModeNone);
            }
            if (r.Op == TVxDrawOp::DrawLines) {
                seriesLineSeen = true;
                EXPECT_EQ(r.Smoothing, mode == TVxSmoothingMode::None
                                           ? TSmoothingMode::SmoothingModeNone
                                           : TSmoothingMode::SmoothingModeHighQuality);
            }
        }
        EXPECT_TRUE(seriesLineSeen);
    }
}
