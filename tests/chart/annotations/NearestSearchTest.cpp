// The nearest-point search markers snap with: the same answer as the series' own full scan,
// ties to the first index, on ascending, descending and unordered pixel points.

#include "series/NearestSearch.h"

#include "MarkerTestSupport.h"

#include <random>

namespace {

class NearestSearchTest : public MarkerFixture {};

TVxNearestPointResult Search(std::span<const QPointF> Points, TVxNearestMode Mode, QPointF From,
                             const QRectF& Area = QRectF(0, 0, 1000, 1000)) {
    std::vector<int> index(Points.size());
    for (std::size_t k = 0; k < index.size(); ++k)
        index[k] = int(k);
    TVxNearestPointResult r;
    VxNearestPixelPoint(Points, index, int(index.size()), Area, Mode, From, r);
    return r;
}

} // namespace

TEST(NearestPixelPoint, TiesGoToTheFirstIndexOnBothSidesOfTheSearchStart) {
    struct TCase {
        std::vector<QPointF> Points;
        TVxNearestMode Mode;
        QPointF From;
        int Expected;
    };
    const std::vector<TCase> cases{
        // Equal distances left and right of the start column: the left one is first.
        {{{10, 0}, {20, 0}}, TVxNearestMode::Point, {15, 0}, 0},
        // Two points in the start column at equal distance: the first.
        {{{10, 0}, {20, 5}, {20, -5}, {30, 0}}, TVxNearestMode::Point, {20, 0}, 1},
        // Same column found from the right: still the first of the column.
        {{{10, 50}, {20, 5}, {20, -5}, {21, 40}}, TVxNearestMode::Point, {20.5, 0}, 1},
        // Nearest in X only: a far point in the right column beats a near one further left.
        {{{10, 0}, {19, 0}, {20, 500}}, TVxNearestMode::X, {20, 0}, 2},
        // Unordered points are scanned in full.
        {{{30, 0}, {10, 0}, {20, 1}, {20, 0}}, TVxNearestMode::Point, {19, 0}, 3},
        // Descending X, as on a twisted axis.
        {{{40, 0}, {30, 0}, {20, 0}, {10, 0}}, TVxNearestMode::Point, {25, 0}, 1},
        // Nearest in Y.
        {{{10, 7}, {20, 3}, {30, 3}}, TVxNearestMode::Y, {100, 4}, 1},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const TVxNearestPointResult r = Search(cases[i].Points, cases[i].Mode, cases[i].From);
        ASSERT_TRUE(r.Found);
        EXPECT_EQ(r.Index, cases[i].Expected);
    }
}

TEST(NearestPixelPoint, PointsOutsideTheAreaOrBeyondTheCountAreSkipped) {
    const std::vector<QPointF> points{{5, 5}, {50, 50}, {60, 60}};
    TVxNearestPointResult r =
        Search(points, TVxNearestMode::Point, {0, 0}, QRectF(40, 40, 100, 100));
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Index, 1);
    std::vector<int> index{0, 1, 2};
    VxNearestPixelPoint(points, index, 1, QRectF(0, 0, 100, 100), TVxNearestMode::Point, {60, 60},
                        r);
    EXPECT_EQ(r.Index, 0);
    VxNearestPixelPoint({}, {}, 0, QRectF(0, 0, 100, 100), TVxNearestMode::Point, {0, 0}, r);
    EXPECT_FALSE(r.Found);
}

// The series' own query walks every reduced point: the search must agree with it everywhere.
TEST_F(NearestSearchTest, AgreesWithTheFullScanOfASeries) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(0, 0.004);
    std::uniform_real_distribution<double> value(0, 100);
    std::vector<double> xs, ys;
    double x = 0;
    for (int i = 0; i < 4000; ++i) {
        xs.push_back(x);
        ys.push_back(value(random));
        if (i % 7 != 0) // repeated X values now and then
            x += step(random);
    }
    for (bool symbols : {false, true}) {
        TVxSeries* s = MakeSeries(xs, ys, symbols ? "Symbols" : "Line");
        s->PointSymbol()->SetVisible(symbols);
        Layout();
        ASSERT_FALSE(s->RecalculatePoints());
        std::uniform_real_distribution<double> px(Area().left() - 20, Area().right() + 20);
        std::uniform_real_distribution<double> py(Area().top() - 20, Area().bottom() + 20);
        for (int q = 0; q < 300; ++q) {
            const QPointF from(std::nearbyint(px(random)), std::nearbyint(py(random)));
            TVxNearestPointResult expected, actual;
            s->NearestPoint(from, expected);
            VxSeriesNearest(*s, TVxNearestMode::Point, from, actual);
            ASSERT_EQ(actual.Index, expected.Index) << from.x() << ", " << from.y();
            EXPECT_EQ(actual.Distance, expected.Distance);
            EXPECT_EQ(actual.X, expected.X);
            s->NearestX(float(from.x()), expected);
            VxSeriesNearest(*s, TVxNearestMode::X, from, actual);
            ASSERT_EQ(actual.Index, expected.Index);
            s->NearestY(float(from.y()), expected);
            VxSeriesNearest(*s, TVxNearestMode::Y, from, actual);
            ASSERT_EQ(actual.Index, expected.Index);
        }
        s->SetVisible(false);
    }
}
