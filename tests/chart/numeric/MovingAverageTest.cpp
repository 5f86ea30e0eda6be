// Expected values are the weighted means worked out by hand in the comments.
#include "numeric/MovingAverage.h"

#include "util/Exceptions.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using M = TVxAveragingMethod;
using D = TVxAveragingDirection;
using R = TVxAveragingRangeMethod;

struct TCase {
    const char* Name;
    std::vector<double> X, Y, W;
    TVxMovingAverageOptions Options;
    std::vector<double> ExpectedX, ExpectedY;
};

} // namespace

TEST(MovingAverage, Table) {
    const std::vector<TCase> cases{
        {"simple, count 2, downwards",
         {1, 2, 3, 4, 5},
         {1, 2, 3, 4, 5},
         {},
         {2, 0.9, M::Simple, D::OnlyDownwards, R::NasCount},
         {1, 2, 3, 4, 5},
         {1, 1.5, 2, 3, 4}},
        // Both sides: q = 2 (x_hi - x_lo) doubled, neighbours weigh 1 - 1/q.
        {"linear, count 1, both",
         {0, 1, 2, 3, 4},
         {0, 0, 3, 0, 0},
         {},
         {1, 0.9, M::LinearWeighted, D::UpAndDownwards, R::NasCount},
         {0, 1, 2, 3, 4},
         {0, 0.75 * 3 / 2.5, 3 / 2.5, 0.75 * 3 / 2.5, 0}},
        // f = 0.5 per distance unit: (0.5 * 4 + 7) / 1.5 at x = 2.
        {"exponential, count 1",
         {0, 1, 2},
         {1, 4, 7},
         {},
         {1, 0.5, M::ExponentiallyWeighted, D::OnlyDownwards, R::NasCount},
         {0, 1, 2},
         {1, 4.5 / 1.5, 9 / 1.5}},
        // Distance 1: the range reaches down to the first point at least distance 1 away.
        {"simple, distance 1",
         {0, 0.5, 1, 3},
         {1, 2, 3, 4},
         {},
         {1, 0.9, M::Simple, D::OnlyDownwards, R::NasXDistance},
         {0, 0.5, 1, 3},
         {1, 1.5, 2, 3.5}},
        // A huge count is clamped: every point averages all of them.
        {"huge count",
         {0, 1, 2, 3},
         {4, 2, 6, 0},
         {},
         {1e300, 0.9, M::Simple, D::UpAndDownwards, R::NasCount},
         {0, 1, 2, 3},
         {3, 3, 3, 3}},
        // Unsorted x are sorted; zero-weight points with no weighted neighbour are left out.
        {"unsorted, zero weights",
         {2, 0, 1, 3},
         {5, 1, 3, 7},
         {1, 0, 0, 2},
         {0, 0.9, M::Simple, D::OnlyDownwards, R::NasCount},
         {2, 3},
         {5, 7}},
        // Weights: (1 * 1 + 3 * 3) / 4 at x = 1.
        {"weighted",
         {0, 1},
         {1, 3},
         {1, 3},
         {1, 0.9, M::Simple, D::OnlyDownwards, R::NasCount},
         {0, 1},
         {1, 2.5}},
    };
    for (const auto& c : cases) {
        const auto points = MovingAverage({c.X, c.Y, c.W}, c.Options);
        ASSERT_EQ(points.size(), c.ExpectedX.size()) << c.Name;
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_DOUBLE_EQ(points[i].X, c.ExpectedX[i]) << c.Name << " " << i;
            EXPECT_NEAR(points[i].Value, c.ExpectedY[i], 1e-14) << c.Name << " " << i;
        }
    }
}

TEST(MovingAverage, CurveThroughAveragedPoints) {
    const std::vector<double> x{0, 1, 2, 3}, y{2, 4, 6, 8};
    // Simple, count 1, downwards: 2, 3, 5, 7, a straight line from x = 1 on.
    const auto curve =
        MovingAverageCurve({x, y, {}}, {1, 0.9, M::Simple, D::OnlyDownwards, R::NasCount});
    EXPECT_NEAR(curve.Interpolate(2.5), 6, 1e-12);
    const std::vector<double> two{0, 1};
    EXPECT_THROW(MovingAverageCurve({two, two, {}}, {}), EVxMathError);
}
