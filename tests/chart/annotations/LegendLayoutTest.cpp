// Sizes and places of legend items, hand-derived from the test font's metrics as Qt gives
// them: B = DistanceToBorder 8, t = round(ItemWidth 80 + DistanceItemCaption 4) = 84, lines
// 3 apart, columns 10 apart, a row as high as round(line height) (the line series ask for 1).

#include "LegendTestSupport.h"

#include <map>
#include <set>

namespace {

/// Rounds halves to even, as the chart does.
int R(double Value) {
    return int(std::nearbyint(Value));
}

class LegendLayoutTest : public LegendFixture {
protected:
    /// Row height u: the rounded line height of the item font.
    int U() const { return R(TReferenceMetrics(ItemPoints).LineHeight()); }
    void Prepare() { Legend->PreparePaint(); }
};

} // namespace

TEST_F(LegendLayoutTest, OneItemAtTheDefaultsWithItemHeight20) {
    MakeSeries("Alpha");
    Legend->SetItemHeight(20);
    Prepare();
    ASSERT_EQ(Legend->ItemRects().size(), 1u);
    EXPECT_EQ(Legend->ItemRects()[0], QRect(8, 8, 80, 20));
    EXPECT_EQ(Legend->Height(), 36);
    EXPECT_EQ(Legend->Width(), R(100 + CaptionWidth("Alpha")));
    // The caption starts t = 84 right of the item, centred on the row.
    EXPECT_NEAR(Legend->ItemCaptions()[0].X, 8 + 84, 1e-3);
    EXPECT_NEAR(Legend->ItemCaptions()[0].Y, 8 + 10, 1e-3);
}

TEST_F(LegendLayoutTest, ThreeItemsOnOneCentredRow) {
    const QStringList names{"One", "Two", "Three"};
    for (const QString& n : names)
        MakeSeries(n);
    Legend->SetItemsOrder(TVxItemsOrder::ByRow);
    Legend->SetRows(1);
    Prepare();
    std::vector<double> x{0};
    for (const QString& n : names)
        x.push_back(x.back() + CaptionWidth(n) + 84 + 10);
    const int w = R(x.back() - 10 + 16);
    const int shift = (w - R(x.back() - 10)) / 2;
    EXPECT_EQ(Legend->Width(), w);
    EXPECT_EQ(Legend->Height(), R(8 + U() + 8));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Legend->ItemRects()[i], QRect(R(x[i]) + shift, 8, 80, U())) << i;
}

TEST_F(LegendLayoutTest, ThreeItemsWithThreeRowsOnePerRowEachCentred) {
    const QStringList names{"One", "Two", "Three"};
    for (const QString& n : names)
        MakeSeries(n);
    Legend->SetItemsOrder(TVxItemsOrder::ByRow);
    Legend->SetRows(3);
    Prepare();
    int w = 0;
    for (const QString& n : names)
        w = std::max(w, R(CaptionWidth(n) + 84 + 16));
    EXPECT_EQ(Legend->Width(), w);
    EXPECT_EQ(Legend->Height(), 8 + 2 * (U() + 3) + U() + 8);
    for (int i = 0; i < 3; ++i) {
        const int shift = (w - R(CaptionWidth(names[i]) + 84)) / 2;
        EXPECT_EQ(Legend->ItemRects()[i], QRect(shift, 8 + i * (U() + 3), 80, U())) << i;
    }
}

TEST_F(LegendLayoutTest, ByRowNeverMakesMoreRowsThanRows) {
    struct TCase {
        int Count, Rows;
        std::vector<int> PerRow;
    };
    const TCase cases[] = {
        {5, 2, {3, 2}}, {4, 3, {2, 2}}, {3, 1, {3}}, {3, 3, {1, 1, 1}}, {6, 4, {2, 2, 2}},
    };
    for (const TCase& c : cases) {
        for (TVxSeries* s : Graph->RelatedSeries())
            delete s;
        for (int i = 0; i < c.Count; ++i)
            MakeSeries(QString("S%1").arg(i));
        Legend->SetItemsOrder(TVxItemsOrder::ByRow);
        Legend->SetRows(c.Rows);
        Legend->Modified();
        Prepare();
        std::map<int, int> perY;
        for (const QRect& r : Legend->ItemRects())
            ++perY[r.y()];
        std::vector<int> perRow;
        for (const auto& [y, n] : perY)
            perRow.push_back(n);
        EXPECT_EQ(perRow, c.PerRow) << c.Count << " items, Rows " << c.Rows;
    }
}

TEST_F(LegendLayoutTest, TwoColumnsOfTwoItems) {
    const QStringList names{"a", "bb", "ccc", "dddd"};
    for (const QString& n : names)
        MakeSeries(n);
    Legend->SetColumns(2);
    Prepare();
    const double first = std::max(CaptionWidth("a"), CaptionWidth("bb"));
    const double second = std::max(CaptionWidth("ccc"), CaptionWidth("dddd"));
    const int x2 = R(8 + first + 10 + 84);
    const std::vector<QRect> expected{QRect(8, 8, 80, U()), QRect(8, 8 + U() + 3, 80, U()),
                                      QRect(x2, 8, 80, U()), QRect(x2, 8 + U() + 3, 80, U())};
    EXPECT_EQ(Legend->ItemRects(), expected);
    EXPECT_EQ(Legend->Width(), R(16 + first + 10 + 84 + second + 84));
    EXPECT_EQ(Legend->Height(), 8 + U() + 3 + U() + 8);
}

TEST_F(LegendLayoutTest, AWiderCentredTitleMovesTheItemsByHalfTheDifference) {
    MakeSeries("a");
    const QString title = "A much longer legend title";
    UseTestFont(*Legend->CaptionFont(), 11, true);
    Legend->SetCaption(title);
    Legend->SetCaptionVisible(true);
    Prepare();
    const double content = 16 + CaptionWidth("a") + 84;
    const double titleWidth = CaptionWidth(title, 11, true);
    const int wide = R(16 + titleWidth);
    ASSERT_GT(wide, content);
    EXPECT_EQ(Legend->Width(), wide);
    const int titleHeight = R(TReferenceMetrics(11, true).LineHeight());
    EXPECT_EQ(Legend->ItemRects()[0], QRect(8 + R((wide - content) / 2), 8 + titleHeight, 80, U()));
    EXPECT_EQ(Legend->Height(), 8 + titleHeight + U() + 8);
}

TEST_F(LegendLayoutTest, AShadowAddsRoomOnlyOverAnOpaqueBackground) {
    MakeSeries("Alpha");
    Legend->SetDropShadow(true);
    Prepare();
    const QSize plain(R(100 + CaptionWidth("Alpha")), 8 + U() + 8);
    EXPECT_FALSE(Legend->ShadowDrawn());
    EXPECT_EQ(Legend->BoundsRect().size(), plain);
    Legend->SetBackColor(VxColor(0xC8FFFFFF)); // alpha 200
    Prepare();
    EXPECT_TRUE(Legend->ShadowDrawn());
    EXPECT_EQ(Legend->BoundsRect().size(), plain + QSize(5, 4));
}

TEST_F(LegendLayoutTest, DockingChoosesRowsAlongTopAndBottomAndColumnsAtTheSides) {
    using P = TVxLegendPosition;
    const std::pair<P, TVxItemsOrder> cases[] = {
        {P::BottomCenterOfGraph, TVxItemsOrder::ByRow},
        {P::LeftCenterOfGraph, TVxItemsOrder::ByColumn},
        {P::BottomCenterOfAxis, TVxItemsOrder::ByRow},
        {P::LeftCenterOfAxis, TVxItemsOrder::ByColumn},
        {P::TopCenterOfAxis, TVxItemsOrder::ByRow},
        {P::LeftTopOfAxis, TVxItemsOrder::ByColumn},
        {P::TopCenterOfGraph, TVxItemsOrder::ByRow},
        {P::RightCenterOfGraph, TVxItemsOrder::ByColumn},
        {P::RightCenterOfAxis, TVxItemsOrder::ByColumn},
        {P::RightTopOfAxis, TVxItemsOrder::ByColumn},
    };
    for (const auto& [position, order] : cases) {
        Legend->SetPosition(position);
        EXPECT_EQ(Legend->ItemsOrder(), order) << int(position);
    }
    // Floating keeps the order it had.
    Legend->SetPosition(P::FreeFloating);
    EXPECT_EQ(Legend->ItemsOrder(), TVxItemsOrder::ByColumn);
}

TEST_F(LegendLayoutTest, NonFiniteAndHugeValuesNeverReachTheLayout) {
    MakeSeries("Alpha");
    Legend->SetItemWidth(std::numeric_limits<float>::quiet_NaN());
    Legend->SetDistanceToBorder(std::numeric_limits<float>::infinity());
    Legend->SetCornerRounding(3e38f);
    EXPECT_EQ(Legend->ItemWidth(), 80);
    EXPECT_EQ(Legend->DistanceToBorder(), 8);
    EXPECT_EQ(Legend->CornerRounding(), 1e6f);
    Legend->SetItemWidth(3e38f);
    Prepare();
    EXPECT_EQ(Legend->ItemRects()[0].width(), 1000000);
    Legend->SetWidth(-7);
    EXPECT_EQ(Legend->Width(), 0);
}
