// TVxSeries, TVxLineSeries and TVxPointSeries with real axes and vectors and a fake graph:
// extent, column thinning against brute force, clipping, outliers, hit tests, GetY, band
// polygons, per-segment overrides, symbol exclusion and pixels on an offscreen image.

#include "series/Series.h"

#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"
#include "series/SeriesHost.h"
#include "vectors/DoubleVector.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

// The data area of the fake graph: X pixels 50..650, Y pixels 20..170 (rising upwards).
constexpr double Left = 50, Top = 20, Width = 600, Height = 150;

class FakeGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    // Axis host.
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    // Series host.
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return {Left, Top, Width, Height}; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return nullptr; }
    void SeriesInvalidated(TVxSeries&) override { ++Invalidated; }
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return false; }
    bool DoingMetafile() const override { return Metafile; }
    bool AntiAliased() const override { return false; }

    std::vector<TVxSeries*> List;
    int Invalidated = 0;
    bool Metafile = false;
};

class SeriesTest : public testing::Test {
protected:
    SeriesTest() {
        XAxis.SetHost(&Graph);
        YAxis.SetHost(&Graph);
        YAxis.SetPosition(TVxAxisPosition::Left);
        XAxis.SetAxisGeometry(float(Left), float(Top + Height), float(Width));
        YAxis.SetAxisGeometry(float(Left), float(Top), float(Height));
        SetRanges(0, 100, 0, 10);
    }
    ~SeriesTest() override {
        XAxis.SetHost(nullptr);
        YAxis.SetHost(nullptr);
    }
    void SetRanges(double X0, double X1, double Y0, double Y1) {
        XAxis.SetStartStop(X0, X1);
        YAxis.SetStartStop(Y0, Y1);
    }
    // Independent value-to-pixel maps of the data area.
    double PX(double V) const {
        return Left + (V - XAxis.Start()) / (XAxis.Stop() - XAxis.Start()) * Width;
    }
    double PY(double V) const {
        return Top + Height - (V - YAxis.Start()) / (YAxis.Stop() - YAxis.Start()) * Height;
    }
    void Attach(TVxSeries& S, bool WithX = true) {
        S.SetXAxis(&XAxis);
        S.SetYAxis(&YAxis);
        if (WithX)
            S.SetXData(&X);
        S.SetYData(&Y);
    }
    void Fill(const std::vector<double>& Xs, const std::vector<double>& Ys) {
        X.Clear();
        Y.Clear();
        X.AddRange(std::span<const double>(Xs));
        Y.AddRange(std::span<const double>(Ys));
    }
    // What the graph does before painting: extent, then points through PaintGr.
    void Paint(TVxSeries& S) {
        S.Calculate();
        Surface.ClearRecords();
        S.PaintGr(Surface);
        S.DrawSymbols(Surface);
    }

    FakeGraph Graph;
    TVxAxis XAxis;
    TVxAxis YAxis;
    TVxDoubleVector X;
    TVxDoubleVector Y;
    TVxRecordingSurface Surface;
};

TEST_F(SeriesTest, JoinsGraphAndAxesAndReportsTheExtentOfTheShorterPairs) {
    TVxLineSeries s;
    Attach(s);
    EXPECT_EQ(Graph.List, std::vector<TVxSeries*>{&s});
    ASSERT_EQ(XAxis.RelatedSeries().size(), 1u);
    Fill({3, 1, 7, 5, 100}, {2, 9, -4, 6});
    s.Calculate();
    EXPECT_EQ(s.Count(), 4);
    // X scanned over the four pairs only (100 has no partner), Y from its own extremes.
    EXPECT_EQ(s.XStart(), 1);
    EXPECT_EQ(s.XStop(), 7);
    EXPECT_EQ(s.YStart(), -4);
    EXPECT_EQ(s.YStop(), 9);
    EXPECT_EQ(s.AxisValueRange(true).Start, 1);
    EXPECT_EQ(s.AxisValueRange(false).Stop, 9);
}

TEST_F(SeriesTest, MissingXDataIsTheIndexAndClearingItChangesNothing) {
    TVxLineSeries s;
    Attach(s, false);
    Fill({}, {5, 6, 7});
    s.Calculate();
    EXPECT_EQ(s.XStart(), 0);
    EXPECT_EQ(s.XStop(), 2);
    s.SetXData(nullptr);
    EXPECT_NE(s.XData(), nullptr);
    Paint(s);
    ASSERT_EQ(s.Points().size(), 3u);
    EXPECT_NEAR(s.Points()[2].x(), PX(2), 1e-3);
    EXPECT_NEAR(s.Points()[2].y(), PY(7), 1e-3);
}

TEST_F(SeriesTest, LogarithmicAxisTakesTheSmallestPositiveValue) {
    TVxLineSeries s;
    Attach(s);
    YAxis.SetScaling(TVxAxisScaling::Log);
    Fill({0, 1, 2, 3, 4}, {0, -3, 0.25, 8, 2});
    s.Calculate();
    EXPECT_EQ(s.YStart(), 0.25);
    EXPECT_EQ(s.YStop(), 8);
    EXPECT_EQ(s.SmallestPositiveValue(false), 0.25);
}

TEST_F(SeriesTest, TransformationsApplyToExtentPointsAndQueries) {
    TVxLineSeries s;
    Attach(s);
    Fill({0, 1, 2, 3}, {1, 4, 2, 3});
    s.SetYValueTransformation([](TVxSeries*, const TVxTransformEventArgs& e) {
        return 10 - 2 * e.Value; // reverses the order of the values
    });
    s.Calculate();
    EXPECT_EQ(s.YStart(), 2);
    EXPECT_EQ(s.YStop(), 8);
    EXPECT_EQ(s.TransformedY(1), 2);
    Paint(s);
    ASSERT_EQ(s.Points().size(), 4u);
    EXPECT_NEAR(s.Points()[1].y(), PY(2), 1e-3);
    EXPECT_EQ(s.GetY(1), 4); // GetY reads raw values
}

// Thinning: in every pixel column the polyline reaches the data's lowest and highest pixel,
// and the first and last points are kept; data from std::mt19937_64, brute force per column.
TEST_F(SeriesTest, ThinnedLineKeepsColumnExtremesOfRandomData) {
    for (const bool ascending : {true, false}) {
        SCOPED_TRACE(ascending);
        std::mt19937_64 rng(7);
        std::uniform_real_distribution<double> u(0, 1);
        std::vector<double> xs(20000), ys(20000);
        for (size_t i = 0; i < xs.size(); ++i) {
            xs[i] = ascending ? 100.0 * double(i) / double(xs.size()) : 100 * u(rng);
            ys[i] = 5 + 4 * std::sin(double(i) / 500) + u(rng) - 0.5;
        }
        Fill(xs, ys);
        TVxLineSeries s;
        Attach(s);
        Paint(s);
        std::map<int, std::pair<double, double>> brute, drawn;
        auto widen = [](auto& m, int c, double y) {
            auto [it, added] = m.try_emplace(c, y, y);
            it->second.first = std::min(it->second.first, y);
            it->second.second = std::max(it->second.second, y);
        };
        for (size_t i = 0; i < xs.size(); ++i)
            widen(brute, int(std::floor(PX(xs[i]))), PY(ys[i]));
        for (const QPointF& p : s.Points())
            widen(drawn, int(std::floor(p.x())), p.y());
        ASSERT_EQ(brute.size(), drawn.size());
        for (const auto& [c, range] : brute) {
            EXPECT_NEAR(drawn[c].first, range.first, 1.0) << c;
            EXPECT_NEAR(drawn[c].second, range.second, 1.0) << c;
        }
        EXPECT_EQ(s.PointIndex().front(), 0);
        EXPECT_EQ(s.PointIndex().back(), int(xs.size()) - 1);
        if (ascending) {
            EXPECT_LT(s.Points().size(), 4 * (Width + 2) + 2);
        }
    }
}

TEST_F(SeriesTest, AscendingDataIsCutToTheAxisRangeWithOnePointBeyondEachEnd) {
    std::vector<double> xs(100), ys(100);
    for (int i = 0; i < 100; ++i) {
        xs[size_t(i)] = i;
        ys[size_t(i)] = i % 7;
    }
    Fill(xs, ys);
    TVxLineSeries s;
    Attach(s);
    SetRanges(40, 60, 0, 10);
    Paint(s);
    ASSERT_GE(s.PointIndex().size(), 3u);
    EXPECT_EQ(s.PointIndex().front(), 39);
    EXPECT_EQ(s.PointIndex().back(), 61);
    EXPECT_EQ(s.PointIndex().size(), 23u); // 30 pixels per point: nothing is dropped
    EXPECT_NEAR(s.Points().front().x(), PX(39), 1e-3);
}

TEST_F(SeriesTest, OutliersAreHiddenUntilShown) {
    Fill({0, 1, 2, 3, 4}, {1, 2, 1000, 3, 4});
    Y.AddOutlier(2);
    TVxPointSeries s;
    Attach(s);
    Paint(s);
    EXPECT_EQ(s.YStop(), 4);
    EXPECT_EQ(s.PointIndex(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(s.SymbolIndex(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_FALSE(s.HasValuesAt(2));
    s.SetOutliersVisible(true);
    Paint(s);
    EXPECT_EQ(s.YStop(), 1000);
    EXPECT_EQ(s.PointIndex(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(SeriesTest, HitTestsAndNearestPointsWalkTheReducedPoints) {
    Fill({10, 20, 30, 95}, {2, 8, 5, 5});
    TVxPointSeries s;
    s.PointSymbol()->SetSize(6);
    Attach(s);
    EXPECT_EQ(s.FindPoint(float(PX(20)), float(PY(8))), -1); // points not computed yet
    Paint(s);
    EXPECT_EQ(s.FindPoint(float(PX(20) + 5), float(PY(8) - 5)), 1);
    EXPECT_EQ(s.FindPoint(float(PX(20) + 7), float(PY(8))), -1);
    TVxNearestPointResult r;
    s.NearestPoint(QPointF(PX(29), PY(6)), r);
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Index, 2);
    EXPECT_NEAR(r.Distance, std::hypot(PX(30) - PX(29), PY(5) - PY(6)), 1e-3);
    EXPECT_EQ(r.X, 30);
    EXPECT_EQ(r.Y, 5);
    s.NearestY(float(PY(5) + 0.1), r);
    EXPECT_EQ(r.Index, 2); // index 3 is as near; the first wins
    s.NearestX(float(PX(90)), r);
    EXPECT_EQ(r.Index, 3);
    XAxis.SetStartStop(0, 50); // index 3 now lies right of the data area
    s.PointsModified();
    Paint(s);
    s.NearestX(float(PX(90)), r);
    EXPECT_EQ(r.Index, 2);
}

TEST_F(SeriesTest, GetYInterpolatesAndExtrapolates) {
    struct Case {
        std::vector<double> Xs, Ys;
        std::vector<int> Hidden;
        double At, Expected;
    };
    const Case cases[] = {
        {{0, 1, 2, 4}, {0, 10, 20, 0}, {}, 3, 10},        // inside, ascending
        {{0, 1, 2, 4}, {0, 10, 20, 0}, {}, 6, -20},       // beyond the last X
        {{0, 1, 2, 4}, {0, 10, 20, 0}, {}, -1, -10},      // before the first X
        {{0, 1, 2, 4}, {0, 10, 20, 0}, {2}, 3, 10.0 / 3}, // hidden index skipped: (1, 10) to (4, 0)
        {{3, 0, 1, 2}, {30, 0, 10, 20}, {1}, 2.5, 25},    // unsorted with a hidden index
        {{5, 5, 5}, {1, 2, 3}, {}, 5, 1},                 // equal X: the first, no division by zero
        {{2}, {7}, {}, 100, 7},                           // one point
    };
    for (const Case& c : cases) {
        Fill(c.Xs, c.Ys);
        for (int h : c.Hidden)
            Y.AddOutlier(h);
        TVxLineSeries s;
        Attach(s);
        s.Calculate();
        EXPECT_DOUBLE_EQ(s.GetY(c.At), c.Expected) << c.At;
    }
}

TEST_F(SeriesTest, ShrinkingDataDropsStalePointsAndClampsQueries) {
    Fill({10, 20, 30, 40, 50}, {1, 2, 3, 4, 5});
    TVxPointSeries s;
    Attach(s);
    Paint(s);
    ASSERT_EQ(s.FindPoint(float(PX(50)), float(PY(5))), 4);
    Y.Delete(4);
    Y.Delete(3);
    s.Calculate();
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.XStop(), 30);
    EXPECT_EQ(s.YStop(), 3);
    EXPECT_EQ(s.FindPoint(float(PX(50)), float(PY(5))), -1);
    EXPECT_TRUE(std::isnan(s.TransformedX(4)));
    EXPECT_DOUBLE_EQ(s.GetY(45), 4.5); // along the last remaining segment
    Paint(s);
    EXPECT_EQ(s.SymbolIndex(), (std::vector<int>{0, 1, 2}));
}

TEST_F(SeriesTest, OnePointDrawsOnlyASymbol) {
    Fill({10}, {1});
    TVxLineSeries line;
    Attach(line);
    Paint(line);
    EXPECT_TRUE(Surface.Records().empty());
    TVxPointSeries point;
    Attach(point);
    Paint(point);
    EXPECT_TRUE(Surface.RecordsOf(TVxDrawOp::DrawLines).empty());
    EXPECT_FALSE(Surface.Records().empty());
}

TEST_F(SeriesTest, AreaClosesOnTheZeroLineOrTheAxisStart) {
    Fill({10, 20, 30}, {-2, -5, -1});
    TVxLineSeries s;
    s.Area()->SetVisible(true);
    Attach(s);
    SetRanges(0, 100, -10, 10);
    Paint(s);
    ASSERT_EQ(s.AreaPoints().size(), 5u);
    EXPECT_NEAR(s.AreaPoints()[3].y(), PY(0) - 0.5, 1e-3);
    EXPECT_NEAR(s.AreaPoints()[3].x(), PX(30), 1e-3);
    EXPECT_NEAR(s.AreaPoints()[4].x(), PX(10), 1e-3);
    SetRanges(0, 100, 2, 10);
    s.PointsModified();
    Paint(s);
    EXPECT_NEAR(s.AreaPoints()[3].y(), PY(2), 1e-3);
    const auto fills = Surface.RecordsOf(TVxDrawOp::FillPolygon);
    ASSERT_EQ(fills.size(), 1u);
    // The area goes first, the line over it.
    EXPECT_EQ(Surface.Records().front().Op, TVxDrawOp::FillPolygon);
    EXPECT_EQ(Surface.Records().back().Op, TVxDrawOp::DrawLines);
}

TEST_F(SeriesTest, BandsCloseOnTheirPartnerAndCyclesEnd) {
    TVxDoubleVector y2;
    Fill({10, 20, 30}, {5, 6, 7});
    y2.AddRange(std::span<const double>(std::vector<double>{1, 2, 3}));
    TVxLineSeries a, b;
    Attach(a);
    b.SetXAxis(&XAxis);
    b.SetYAxis(&YAxis);
    b.SetXData(&X);
    b.SetYData(&y2);
    a.SetDrawBandTo(&a);
    EXPECT_EQ(a.DrawBandTo(), nullptr);
    a.SetDrawBandTo(&b);
    b.SetDrawBandTo(&a); // a cycle
    a.Calculate();
    b.Calculate();
    Surface.ClearRecords();
    a.PaintGr(Surface);
    EXPECT_TRUE(a.Area()->Visible());
    ASSERT_EQ(a.AreaPoints().size(), 6u);
    EXPECT_NEAR(a.AreaPoints()[3].x(), PX(30), 1e-3);
    EXPECT_NEAR(a.AreaPoints()[3].y(), PY(3), 1e-3);
    EXPECT_NEAR(a.AreaPoints()[5].y(), PY(1), 1e-3);
}

TEST_F(SeriesTest, PerSegmentOverridesChooseAndHideSegments) {
    Fill({10, 20, 30, 40}, {1, 2, 3, 4});
    TVxPointSeries s;
    s.Area()->SetVisible(true);
    Attach(s);
    std::vector<int> penIndices;
    s.OnGetPen = [&](TVxSeries*, TVxPenEventArgs& e) {
        penIndices.push_back(e.Index);
        e.Visible = e.Index != 1;
        e.Pen.Width = float(e.Index + 1);
    };
    s.OnGetBrush = [](TVxSeries*, TVxBrushEventArgs& e) { e.Visible = e.X < 25; };
    s.OnGetPointSymbol = [](TVxSeries*, PointSymbolEventArgs& e) { e.Visible = e.Y >= 3; };
    Paint(s);
    EXPECT_EQ(penIndices, (std::vector<int>{0, 1, 2}));
    const auto lines = Surface.RecordsOf(TVxDrawOp::DrawLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].Pen->Width, 3.0f);
    EXPECT_NEAR(lines[1].Points[0].x(), PX(30), 1e-3);
    EXPECT_EQ(Surface.RecordsOf(TVxDrawOp::FillPolygon).size(), 2u); // segments from 10 and 20
}

TEST_F(SeriesTest, LinesStayOutOfTranslucentSymbolsOnlyWhenSymbolsShow) {
    Fill({10, 20, 30}, {1, 2, 3});
    TVxLineSeries s;
    Attach(s);
    s.SetSymbolFillBrush(TVxBrush::SolidBrush(VxColor(0x800000FF)));
    Paint(s);
    EXPECT_TRUE(Surface.RecordsOf(TVxDrawOp::BeginShapeExclusion).empty());
    s.PointSymbol()->SetVisible(true);
    Paint(s);
    ASSERT_EQ(Surface.RecordsOf(TVxDrawOp::BeginShapeExclusion).size(), 1u);
    EXPECT_EQ(Surface.RecordsOf(TVxDrawOp::EndShapeExclusion).size(), 1u);
}

TEST_F(SeriesTest, VectorTargetsReduceAtFourColumnsPerPixel) {
    // Points 0.75 pixels apart: 400 points cover pixel columns 50..349 (300 of them) and
    // 400 distinct quarter-pixel columns.
    std::vector<double> xs(400), ys(400, 5.0);
    for (size_t i = 0; i < xs.size(); ++i)
        xs[i] = double(i) / 8; // 6 pixels per unit
    Fill(xs, ys);
    TVxPointSeries s;
    Attach(s);
    SetRanges(0, 100, 0, 10);
    Paint(s);
    const size_t raster = s.SymbolPoints().size();
    Graph.Metafile = true;
    Paint(s);
    EXPECT_EQ(raster, 300u);
    EXPECT_EQ(s.SymbolPoints().size(), 400u);
}

TEST_F(SeriesTest, ExtraSpaceAndItemHeight) {
    Fill({1, 2}, {1, 2});
    TVxPointSeries s;
    s.PointSymbol()->SetSize(11);
    s.PointSymbol()->SetBorderLineWidth(1);
    Attach(s);
    EXPECT_EQ(s.ExtraSpaceAt(1), 7.0f);
    EXPECT_EQ(s.GetItemHeight(), 13);
    s.PointSymbol()->SetVisible(false);
    EXPECT_EQ(s.ExtraSpaceAt(1), 0.0f);
    EXPECT_EQ(s.GetItemHeight(), 1);
}

// Pixels: a 1-pixel line along Y = 5 covers exactly row PY(5) of the data area; a symbol is
// centred on its point.
TEST_F(SeriesTest, PixelsOnAnOffscreenImage) {
    Fill({10, 90}, {5, 5});
    TVxPointSeries s;
    s.Line()->SetColor(VxColor(0xFFFF0000));
    s.PointSymbol()->SetSize(5);
    s.PointSymbol()->SetPointSymbol(TVxPointSymbol::Square);
    Attach(s);
    s.Calculate();
    QImage image(700, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        s.PaintGr(surface);
        s.DrawSymbols(surface);
    }
    const int row = int(std::lround(PY(5)));
    const int column = int(std::lround(PX(50)));
    EXPECT_EQ(image.pixel(column, row), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(column, row - 1), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(column, row + 1), qRgb(255, 255, 255));
    const int sx = int(std::lround(PX(10)));
    EXPECT_EQ(image.pixel(sx, row), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(sx + 2, row + 2), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(sx + 4, row + 4), qRgb(255, 255, 255));
}

// Readings appended to a drawn series extend its points; after each step (appends of 1, 7
// and 1000 pairs between stores into the middle, deletions, insertions, outliers, another
// range and another width) the points are those a fresh reduction of the vectors gives.
TEST_F(SeriesTest, AppendedReadingsGiveThePointsOfAFreshReduction) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> noise(-0.3, 0.3);
    int next = 0;
    auto reading = [&] {
        const double t = next++;
        return std::round(10 * (5 + 2 * std::sin(t / 40) + noise(rng))) / 10;
    };
    auto append = [&](int N) {
        for (int k = 0; k < N; ++k) {
            const double y = reading();
            X.Add(double(next - 1) * 0.5);
            Y.Add(y);
        }
    };
    append(4000);
    TVxPointSeries s;
    Attach(s);
    SetRanges(0, 4000, 0, 10);
    enum TKind {
        Append,
        SetMiddle,
        SetLast,
        DeletePair,
        InsertPair,
        Outlier,
        Range,
        Resize,
        Layout
    };
    struct TStep {
        const char* Name;
        TKind Kind;
        int N;
    };
    const TStep steps[] = {
        {"append 1", Append, 1},
        {"append 7", Append, 7},
        {"append 1000", Append, 1000},
        {"append 1", Append, 1},
        {"store in the middle", SetMiddle, 2500},
        {"append 7", Append, 7},
        {"store into the last", SetLast, 0},
        {"append 1", Append, 1},
        {"delete a pair", DeletePair, 1200},
        {"append 7", Append, 7},
        {"insert a pair", InsertPair, 3000},
        {"append 1", Append, 1},
        {"another range", Range, 0},
        {"append 1000", Append, 1000},
        {"the same layout again", Layout, 0},
        {"append 7", Append, 7},
        {"another width", Resize, 0},
        {"append 7", Append, 7},
        {"an outlier", Outlier, 5000},
        {"append 1", Append, 1},
        {"append past the range", Append, 4000},
        {"append 1", Append, 1},
    };
    Paint(s);
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        switch (step.Kind) {
        case Append:
            append(step.N);
            break;
        case SetMiddle:
            Y.SetValue(step.N, 9.9);
            break;
        case SetLast:
            Y.SetValue(Y.GetCount() - 1, 0.1);
            break;
        case DeletePair:
            X.Delete(step.N);
            Y.Delete(step.N);
            break;
        case InsertPair:
            X.Insert(step.N, (X.GetValue(step.N - 1) + X.GetValue(step.N)) / 2);
            Y.Insert(step.N, 9.5);
            break;
        case Outlier:
            Y.AddOutlier(step.N);
            break;
        case Range:
            SetRanges(0, 3900, 0, 10);
            break;
        case Resize:
            XAxis.SetAxisGeometry(float(Left), float(Top + Height), float(Width - 50));
            s.LayoutModified(); // as the graph tells its series after a layout
            break;
        case Layout:
            s.LayoutModified();
            break;
        }
        Paint(s);
        std::vector<int> hidden;
        const TVxReductionData data = ReductionData(X, Y, false, hidden);
        TVxReductionView view;
        view.X = TVxPixelMapping(XAxis.Start(), XAxis.Stop(), XAxis.NumberToWorld(XAxis.Start()),
                                 XAxis.NumberToWorld(XAxis.Stop()));
        view.Y = TVxPixelMapping(YAxis.Start(), YAxis.Stop(), YAxis.NumberToWorld(YAxis.Start()),
                                 YAxis.NumberToWorld(YAxis.Stop()));
        view.SymbolMargin = (s.PointSymbol()->Size() + s.PointSymbol()->BorderLineWidth()) / 2 + 1;
        TVxColumnReduction fresh;
        fresh.ReduceLine(data, view);
        fresh.ReduceSymbols(data, view);
        ASSERT_GT(fresh.SymbolIndices().size(), 100u);
        EXPECT_TRUE(std::ranges::equal(s.PointIndex(), fresh.LineIndices()));
        EXPECT_TRUE(std::ranges::equal(s.Points(), fresh.LinePoints()));
        EXPECT_TRUE(std::ranges::equal(s.SymbolIndex(), fresh.SymbolIndices()));
        EXPECT_TRUE(std::ranges::equal(s.SymbolPoints(), fresh.SymbolPoints()));
    }
}

} // namespace

TEST_F(SeriesTest, SymbolColoursSetBeforeTheSeriesIsBoundAreTheOnesDrawn) {
    // As a record read into a new series sets them: before axes and data are bound.
    Fill({10, 20}, {1, 2});
    TVxPointSeries s;
    s.PointSymbol()->SetFillColor(VxColor(0xFFC0392B));
    s.PointSymbol()->SetBorderColor(VxColor(0xFF102030));
    Attach(s);
    Paint(s);
    const auto fills = Surface.RecordsOf(TVxDrawOp::FillEllipse);
    const auto borders = Surface.RecordsOf(TVxDrawOp::DrawEllipse);
    ASSERT_EQ(fills.size(), 2u);
    ASSERT_EQ(borders.size(), 2u);
    for (const TVxDrawRecord& r : fills)
        EXPECT_EQ(r.Brush->Color, VxColor(0xFFC0392B));
    for (const TVxDrawRecord& r : borders)
        EXPECT_EQ(r.Pen->Color, VxColor(0xFF102030));
}
