// TVxBars with real axes and vectors and a fake graph: bar counts from the boundaries, slots
// of shifted series, stacking (extent, tops, label positions, listening to the series below
// and letting go), negative and horizontal bars, graph-wide properties as one undo step,
// labels, hit tests, end room, captions lists, and the picked bars against drawing them all.

#include "series/Bars.h"

#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"
#include "series/SeriesHost.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QImage>
#include <QPainter>
#include <QStringListModel>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The data area: X pixels 50..650, Y pixels 20..170 (rising upwards).
constexpr double Left = 50, Top = 20, Width = 600, Height = 150;

class FakeGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return Area; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return Undo; }
    void SeriesInvalidated(TVxSeries&) override {}
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return false; }
    bool DoingMetafile() const override { return false; }
    bool AntiAliased() const override { return false; }
    std::vector<TVxSeries*> HostSeries() const override { return List; }

    std::vector<TVxSeries*> List;
    TVxUndoStack* Undo = nullptr;
    QRectF Area{Left, Top, Width, Height};
};

class BarsTest : public testing::Test {
protected:
    BarsTest() {
        XAxis.SetHost(&Graph);
        YAxis.SetHost(&Graph);
        YAxis.SetPosition(TVxAxisPosition::Left);
        XAxis.SetAxisGeometry(float(Left), float(Top + Height), float(Width));
        YAxis.SetAxisGeometry(float(Left), float(Top), float(Height));
        SetRanges(0, 6, -5, 10);
    }
    ~BarsTest() override {
        XAxis.SetHost(nullptr);
        YAxis.SetHost(nullptr);
    }
    void SetRanges(double X0, double X1, double Y0, double Y1) {
        XAxis.SetStartStop(X0, X1);
        YAxis.SetStartStop(Y0, Y1);
    }
    double PX(double V) const {
        return Left + (V - XAxis.Start()) / (XAxis.Stop() - XAxis.Start()) * Width;
    }
    double PY(double V) const {
        return Top + Height - (V - YAxis.Start()) / (YAxis.Stop() - YAxis.Start()) * Height;
    }
    static void Fill(TVxDoubleVector& V, const std::vector<double>& Values) {
        V.Clear();
        V.AddRange(std::span<const double>(Values));
    }
    void Attach(TVxBars& S, TVxDoubleVector* Categories, TVxDoubleVector* Values) {
        S.SetXAxis(&XAxis);
        S.SetYAxis(&YAxis);
        if (Categories)
            S.SetXData(Categories);
        if (Values)
            S.SetYData(Values);
    }
    // The graph's order: every series' extent, then the points.
    void Layout(std::initializer_list<TVxBars*> Series) {
        for (TVxBars* s : Series)
            s->Calculate();
        for (TVxBars* s : Series)
            s->EnsurePoints();
    }

    FakeGraph Graph;
    TVxAxis XAxis;
    TVxAxis YAxis;
    TVxDoubleVector X;
    TVxDoubleVector Y;
    TVxDoubleVector Y2;
};

TEST_F(BarsTest, BarCountFollowsTheBoundaries) {
    TVxBars s;
    Attach(s, &X, &Y);
    Fill(Y, {3, 1, 2});
    Fill(X, {0, 1, 2, 3});
    s.Calculate();
    EXPECT_EQ(s.BarCount(), 3);
    EXPECT_EQ(s.CategoryStart(), 0);
    EXPECT_EQ(s.CategoryStop(), 3);
    Fill(X, {0, 1, 2});
    s.Calculate();
    EXPECT_EQ(s.BarCount(), 2);
    EXPECT_EQ(s.CategoryStop(), 2);
    EXPECT_EQ(s.ValueStop(), 3);
    // The own indexer: bar i spans i .. i + 1.
    TVxBars t;
    Attach(t, nullptr, &Y2);
    Fill(Y2, {4, 5});
    t.Calculate();
    EXPECT_EQ(t.BarCount(), 2);
    EXPECT_EQ(t.Boundary(2), 2);
    EXPECT_EQ(t.CategoryStop(), 2);
}

TEST_F(BarsTest, ShiftedSeriesShareEachClassInSlots) {
    // Classes of 100 px (X 0..6 on 600 px), gap 20 %: slots [a+10, a+50] and [a+50, a+90].
    TVxBars a, b;
    Attach(a, nullptr, &Y);
    Attach(b, nullptr, &Y2);
    Fill(Y, {1, 2, 3});
    Fill(Y2, {3, 2, 1});
    a.SetClassesDistance(20);
    EXPECT_EQ(b.ClassesDistance(), 20);
    Layout({&a, &b});
    for (int i = 0; i < 3; ++i) {
        const double edge = PX(i);
        EXPECT_NEAR(a.BarTopLeft()[size_t(i)].x(), edge + 10, 1e-3) << i;
        EXPECT_NEAR(a.BarBottomRight()[size_t(i)].x(), edge + 50, 1e-3) << i;
        EXPECT_NEAR(b.BarTopLeft()[size_t(i)].x(), edge + 50, 1e-3) << i;
        EXPECT_NEAR(b.BarBottomRight()[size_t(i)].x(), edge + 90, 1e-3) << i;
        EXPECT_NEAR(a.BarTopLeft()[size_t(i)].y(), PY(i + 1), 1e-3);
        EXPECT_NEAR(a.BarBottomRight()[size_t(i)].y(), PY(0), 1e-3);
    }
    // Depth offsets from the inner width 80: 80 x 50 / 240 and 80 x 50 / 400.
    EXPECT_NEAR(a.DepthX(), 80.0 * 50 / 240, 1e-4);
    EXPECT_NEAR(a.DepthY(), 10, 1e-4);
    // A hidden series gives up its slot.
    b.SetVisible(false);
    a.PointsModified();
    Layout({&a});
    EXPECT_NEAR(a.BarBottomRight()[0].x(), PX(0) + 90, 1e-3);
}

TEST_F(BarsTest, StackedSeriesPileUpAndLowerTopLabelsMoveInside) {
    TVxBars a, b;
    Attach(a, nullptr, &Y);
    Attach(b, nullptr, &Y2);
    Fill(Y, {1, 2, 3});
    Fill(Y2, {2, 2, 2});
    a.SetOverlayStyle(TVxBarsOverlayStyle::Stack);
    EXPECT_EQ(b.OverlayStyle(), TVxBarsOverlayStyle::Stack);
    a.SetLabelPosition(TVxBarLabelPosition::OnTopOfBar);
    a.SetLabelSize(100); // labels far above one pixel
    Layout({&a, &b});
    ASSERT_EQ(b.OtherBars(), std::vector<TVxBars*>{&a});
    EXPECT_FALSE(a.TopMost());
    EXPECT_TRUE(b.TopMost());
    EXPECT_EQ(b.ValueStart(), 0);
    EXPECT_EQ(b.ValueStop(), 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b.BarValue(i), i + 3);
        EXPECT_NEAR(b.BarTopLeft()[size_t(i)].y(), PY(i + 3), 1e-3) << i;
        EXPECT_NEAR(b.BarBottomRight()[size_t(i)].y(), PY(i + 1), 1e-3) << i;
        // Stacked bars use the whole class.
        EXPECT_NEAR(b.BarTopLeft()[size_t(i)].x(), PX(i), 1e-3);
    }
    EXPECT_EQ(a.LabelPosition(), TVxBarLabelPosition::InTop);
}

TEST_F(BarsTest, StackingFollowsTheSeriesBelowAndLetsGo) {
    auto a = std::make_unique<TVxBars>();
    auto b = std::make_unique<TVxBars>();
    Attach(*a, nullptr, &Y);
    Attach(*b, nullptr, &Y2);
    Fill(Y, {1, 2, 3});
    Fill(Y2, {2, 2, 2});
    a->SetOverlayStyle(TVxBarsOverlayStyle::Stack);
    Layout({a.get(), b.get()});
    auto listens = [](const TVxCustomDoubleVector& V, const TVxBars* S) {
        const auto& r = V.RelatedSeries();
        return std::count(r.begin(), r.end(), static_cast<const TVxVectorListener*>(S));
    };
    EXPECT_EQ(listens(Y, b.get()), 1);
    // The lower series grows: the upper one's extent is renewed without news of its own.
    Y.SetValue(2, 10);
    a->Calculate();
    b->Calculate();
    EXPECT_EQ(b->ValueStop(), 12);
    // Shift: no more listening to the lower vector.
    b->SetOverlayStyle(TVxBarsOverlayStyle::Shift);
    Layout({a.get(), b.get()});
    EXPECT_EQ(listens(Y, b.get()), 0);
    // Stacked again, then freed: a later change of the lower vector reaches nobody freed.
    b->SetOverlayStyle(TVxBarsOverlayStyle::Stack);
    Layout({a.get(), b.get()});
    EXPECT_EQ(listens(Y, b.get()), 1);
    b.reset();
    EXPECT_EQ(listens(Y, nullptr), 0);
    EXPECT_EQ(Y.RelatedSeries().size(), 1u);
    Y.SetValue(0, 4);
    a->Calculate();
    EXPECT_EQ(a->ValueStop(), 10);
}

TEST_F(BarsTest, ASharedVectorKeepsTheRegistrationItsBindingNeeds) {
    // Both stacked series show the same vector: letting go of the stacking keeps b's own.
    TVxBars a, b;
    Attach(a, nullptr, &Y);
    Attach(b, nullptr, &Y);
    Fill(Y, {1, 2});
    a.SetOverlayStyle(TVxBarsOverlayStyle::Stack);
    Layout({&a, &b});
    EXPECT_EQ(b.ValueStop(), 4);
    b.SetOverlayStyle(TVxBarsOverlayStyle::Shift);
    const auto& r = Y.RelatedSeries();
    EXPECT_NE(std::find(r.begin(), r.end(), static_cast<TVxVectorListener*>(&b)), r.end());
    Y.SetValue(1, 3);
    b.Calculate();
    EXPECT_EQ(b.ValueStop(), 3);
}

TEST_F(BarsTest, NegativeBarsHangBelowZeroAndHitTestsTakeTheNormalisedRectangle) {
    TVxBars s;
    Attach(s, nullptr, &Y);
    Fill(Y, {2, -3, 4});
    Layout({&s});
    EXPECT_EQ(s.ValueStart(), -3);
    EXPECT_EQ(s.ValueStop(), 4);
    EXPECT_NEAR(s.BarTopLeft()[1].y(), PY(-3), 1e-3);
    EXPECT_NEAR(s.BarBottomRight()[1].y(), PY(0), 1e-3);
    // Inside the negative bar (below the zero line), and outside any bar.
    EXPECT_EQ(s.FindPoint(float(PX(1.5)), float(PY(-1))), 1);
    EXPECT_EQ(s.FindPoint(float(PX(1.5)), float(PY(3))), -1);
    // The depth above and to the right belongs to the bar.
    EXPECT_EQ(s.FindPoint(float(PX(0.5)), float(PY(2) - s.DepthY() + 0.5)), 0);
    // All positive values: the extent still starts at 0.
    Fill(Y, {2, 3});
    s.Calculate();
    EXPECT_EQ(s.ValueStart(), 0);
    // Stale points answer nothing.
    s.PointsModified();
    EXPECT_EQ(s.FindPoint(float(PX(0.5)), float(PY(1))), -1);
}

TEST_F(BarsTest, HorizontalBarsSwapDataAndLieAlongX) {
    TVxBars s;
    Attach(s, nullptr, &Y);
    Fill(Y, {2, 4});
    s.SetBarsHorizontal(true);
    EXPECT_EQ(s.XData(), &Y);
    SetRanges(-5, 10, 0, 6);
    Layout({&s});
    EXPECT_EQ(s.BarCount(), 2);
    EXPECT_EQ(s.AxisValueRange(true).Stop, 4);  // values along X
    EXPECT_EQ(s.AxisValueRange(false).Stop, 2); // classes along Y
    // Bar 1: from the zero line (+1) to the value, between the class' pixel rows.
    EXPECT_NEAR(s.BarTopLeft()[1].x(), PX(0) + 1, 1e-3);
    EXPECT_NEAR(s.BarBottomRight()[1].x(), PX(4), 1e-3);
    EXPECT_NEAR(s.BarTopLeft()[1].y(), PY(2), 1e-3);
    EXPECT_NEAR(s.BarBottomRight()[1].y(), PY(1), 1e-3);
    // Twisted category axis: the same rows.
    YAxis.SetTwisted(true);
    Layout({&s});
    const QRectF r = QRectF(s.BarTopLeft()[1], s.BarBottomRight()[1]).normalized();
    EXPECT_NEAR(r.height(), Height / 6, 1e-3);
}

TEST_F(BarsTest, GraphWidePropertiesSetAllSeriesAsOneUndoStep) {
    TVxUndoStack undo;
    Graph.Undo = &undo;
    TVxBars a, b;
    Attach(a, nullptr, &Y);
    Attach(b, nullptr, &Y2);
    ASSERT_EQ(a.UndoStack(), &undo);
    b.SetBarStyle(TVxBarStyle::Cuboid);
    EXPECT_EQ(a.BarStyle(), TVxBarStyle::Cuboid);
    b.SetDepth3D(80);
    EXPECT_EQ(a.Depth3D(), 80);
    a.SetBarsHorizontal(true);
    EXPECT_TRUE(b.BarsHorizontal());
    EXPECT_EQ(b.XData(), &Y2);
    ASSERT_TRUE(undo.Undo());
    EXPECT_FALSE(a.BarsHorizontal());
    EXPECT_FALSE(b.BarsHorizontal());
    EXPECT_EQ(b.YData(), &Y2);
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(a.Depth3D(), 50);
    EXPECT_EQ(b.Depth3D(), 50);
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(a.BarStyle(), TVxBarStyle::Flat);
    EXPECT_EQ(b.BarStyle(), TVxBarStyle::Flat);
    Graph.Undo = nullptr;
}

TEST_F(BarsTest, LabelsFromValuesPercentsCaptionsAndTheHandler) {
    TVxFormatSettings::SetCurrent(TVxFormatSettings::Invariant());
    TVxBars s;
    Attach(s, nullptr, &Y);
    Fill(Y, {1, 3});
    s.SetLabelPosition(TVxBarLabelPosition::Centered);
    s.SetLabelFrom(TVxLabelStyle::Percent);
    Layout({&s});
    EXPECT_EQ(s.LabelAt(0).Text, "25%");
    EXPECT_EQ(s.LabelAt(1).Text, "75%");
    s.SetLabelFormat("0.0");
    Layout({&s});
    EXPECT_EQ(s.LabelAt(0).Text, "25.0%");
    // Fewer captions than bars: empty beyond the list.
    s.SetLabelFormat("");
    s.SetCaptions({"north"});
    s.SetLabelFrom(TVxLabelStyle::CaptionAndValue);
    Layout({&s});
    EXPECT_EQ(s.LabelAt(0).Text, "north 1");
    EXPECT_EQ(s.LabelAt(1).Text, "3");
    // The handler replaces the text.
    std::vector<int> asked;
    s.OnGetLabel = [&](TVxSeries*, TVxGetLabelEventArgs& e) {
        asked.push_back(e.Index);
        e.Caption = QStringLiteral("#%1").arg(e.Index);
    };
    s.PointsModified();
    Layout({&s});
    EXPECT_EQ(s.LabelAt(1).Text, "#1");
    EXPECT_EQ(asked, (std::vector<int>{0, 1}));
    // The centred label lies at the bar's centre when it fits (a small font).
    s.SetLabelSize(5);
    Layout({&s});
    const TVxBars::TLabel l = s.LabelAt(1);
    EXPECT_NEAR(l.Anchor.x(), PX(1.5), 1e-3);
    EXPECT_NEAR(l.Anchor.y(), (PY(3) + PY(0)) / 2, 1e-3);
    EXPECT_GT(l.Size.width(), 0);
    // Labels below one pixel are neither made nor asked for.
    asked.clear();
    s.SetLabelSize(0.001f);
    Layout({&s});
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(s.LabelAt(0).Valid);
}

TEST_F(BarsTest, TheApplicationsFontSizeScalesTheLabelSize) {
    TVxBars s;
    Attach(s, nullptr, &Y);
    EXPECT_EQ(s.LabelSize(), 20);
    // 12 -> 18 points: 20 x 18 / 12.
    s.Font()->SetSize(18);
    EXPECT_FLOAT_EQ(s.LabelSize(), 30);
}

TEST_F(BarsTest, CaptionListsOwnedFollowedAndDetached) {
    TVxBars s;
    QStringListModel model(QStringList{"a", "b"});
    s.SetCaptionsModel(&model);
    EXPECT_EQ(s.Captions(), (QStringList{"a", "b"}));
    model.setStringList({"c"});
    EXPECT_EQ(s.Captions(), QStringList{"c"});
    // Detaching leaves the application's list as it is.
    s.SetCaptionsModel(nullptr);
    EXPECT_EQ(model.stringList(), QStringList{"c"});
    EXPECT_TRUE(s.Captions().isEmpty());
    s.SetCaptions({"x"});
    EXPECT_EQ(s.Captions(), QStringList{"x"});
    {
        // A followed model that goes away leaves no dangling reference.
        auto temp = std::make_unique<QStringListModel>(QStringList{"t"});
        s.SetCaptionsModel(temp.get());
        EXPECT_EQ(s.Captions(), QStringList{"t"});
    }
    EXPECT_EQ(s.Captions(), QStringList{"x"}); // the own list again
}

TEST_F(BarsTest, EndRoomOfHourlyCuboidsOverADay) {
    // 24 hourly bars over one day on 480 px, gap 10 %, depth 50: 0.0026 x 0.9 x 50 x 20 px.
    XAxis.SetAxisGeometry(float(Left), float(Top + Height), 480);
    SetRanges(0, 1, 0, 10);
    XAxis.CalculateTicks();
    YAxis.CalculateTicks();
    ASSERT_NEAR(XAxis.Scale().NormalizeConst, 1.0 / 480, 1e-12);
    std::vector<double> bounds(25), values(24, 10);
    for (int i = 0; i <= 24; ++i)
        bounds[size_t(i)] = i / 24.0;
    Fill(X, bounds);
    Fill(Y, values);
    TVxBars s;
    Attach(s, &X, &Y);
    s.SetBarStyle(TVxBarStyle::Cuboid);
    s.SetClassesDistance(10);
    s.Calculate();
    EXPECT_NEAR(s.ExtraSpaceAt(2), 2.34, 1e-6);
    EXPECT_EQ(s.ExtraSpaceAt(0), 0);
    EXPECT_EQ(s.ExtraSpaceAt(1), 0);
    // Right border: 0.0043 x 0.9 x 50 x 20 px less the gap 0.005 x 20 x 10 px.
    EXPECT_NEAR(s.ExtraSpaceAt(3), 0.0043 * 0.9 * 50 * 20 - 1, 1e-6);
}

// Without anti-aliasing, drawing only the bars that are the last to reach some pixel gives
// the image of drawing every bar (a brush handler turns the selection off).
TEST_F(BarsTest, PickedBarsPaintTheImageOfAllBars) {
    constexpr int N = 20000;
    std::vector<double> values(N);
    for (int i = 0; i < N; ++i)
        values[size_t(i)] = 5 + 4 * std::sin(i * 0.37) + (i % 7) * 0.1;
    Fill(Y, values);
    Graph.Area = QRectF(0, 0, 200, 100);
    for (TVxBarStyle style : {TVxBarStyle::Flat, TVxBarStyle::Cuboid}) {
        TVxBars s;
        Attach(s, nullptr, &Y);
        s.SetBarStyle(style);
        s.Line()->SetVisible(style != TVxBarStyle::Flat); // a pen wider than a bar hides it
        SetRanges(0, N, 0, 10);
        XAxis.SetAxisGeometry(0, 100, 200);
        YAxis.SetAxisGeometry(0, 0, 100);
        auto paint = [&](bool All) {
            QImage img(200, 100, QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::white);
            s.OnGetBrush = All ? TVxBrushEventHandler([](TVxSeries*, TVxBrushEventArgs&) {})
                               : TVxBrushEventHandler();
            s.PointsModified();
            s.Calculate();
            QPainter p(&img);
            TVxQtSurface gr(p);
            gr.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
            s.PaintGr(gr);
            return img;
        };
        const QImage picked = paint(false);
        const QImage all = paint(true);
        EXPECT_EQ(picked, all) << int(style);
        // Something was drawn.
        EXPECT_NE(picked.pixel(100, 95), qRgb(255, 255, 255)) << int(style);
    }
}

// A cylinder's body leans by the shift towards its end: the recorded body, end ellipse and
// rim against the pixels worked out by hand. Vertical: X 0..4 on 600 px is 150 px a class,
// ClassesDistance 20 leaves 15 px each side, inner width w' = 120; the bar of value 6 on Y
// 0..10 (15 px a unit, zero at 170) spans x 215..335, y 80..170; Depth3D 50 gives the lean
// FDepthX = 120 x 50 / 240 = 25 and the ellipse height FDepthY = 120 x 50 / 400 = 15.
// Horizontal: Y 0..4 on 150 px is 37.5 px a class, 3.75 px gaps, w' = 30, bar 1 from
// y = 132.5 - 3.75 up by 30 and from x = 50 + 1 to 50 + 6 x 60; lean FDepthY = 3.75, end
// ellipse FDepthX = 6.25 wide.
TEST_F(BarsTest, CylindersLeanByTheShiftTowardsTheirEnd) {
    struct TCase {
        bool Horizontal;
        double Lean, Ellipse;
        QPointF Body[4]; // foot, lean up to the end, along the end, back to the foot
        QRectF Cap, Bounds;
        double ArcStart;
    };
    const TCase cases[] = {
        {false,
         25,
         15,
         {{215, 170}, {240, 80}, {360, 80}, {335, 170}},
         QRectF(240, 72.5, 120, 15),
         QRectF(QPointF(215, 80), QPointF(360, 177.5)),
         0},
        {true,
         3.75,
         6.25,
         {{51, 98.75}, {410, 95}, {410, 125}, {51, 128.75}},
         QRectF(406.875, 95, 6.25, 30),
         QRectF(QPointF(47.875, 95), QPointF(410, 128.75)),
         90},
    };
    for (const TCase& c : cases) {
        Fill(Y, {0, 6});
        TVxBars s;
        Attach(s, nullptr, &Y);
        s.SetBarStyle(TVxBarStyle::Cylinder);
        s.SetClassesDistance(20);
        if (c.Horizontal) {
            s.SetBarsHorizontal(true);
            SetRanges(0, 10, 0, 4);
        } else {
            SetRanges(0, 4, 0, 10);
        }
        s.Calculate();
        s.EnsurePoints();
        EXPECT_DOUBLE_EQ(s.ZylShift(), c.Lean) << c.Horizontal;
        TVxRecordingSurface gr;
        s.PaintGr(gr);
        const auto bodies = gr.RecordsOf(TVxDrawOp::FillPath);
        const auto caps = gr.RecordsOf(TVxDrawOp::FillEllipse);
        const auto outlines = gr.RecordsOf(TVxDrawOp::DrawPath);
        ASSERT_EQ(bodies.size(), 2u);
        ASSERT_EQ(caps.size(), c.Horizontal ? 2u : 4u); // vertical: gradient and highlight
        ASSERT_EQ(outlines.size(), 2u);
        const QPainterPath& body = bodies.back().Path.ToQt();
        std::vector<QPointF> corners;
        for (int j = 0; j < body.elementCount() && corners.size() < 4; ++j) {
            const QPointF p = body.elementAt(j);
            if (corners.empty() || p != corners.back())
                corners.push_back(p);
        }
        ASSERT_EQ(corners.size(), 4u);
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(corners[size_t(j)].x(), c.Body[j].x(), 1e-4) << c.Horizontal << j;
            EXPECT_NEAR(corners[size_t(j)].y(), c.Body[j].y(), 1e-4) << c.Horizontal << j;
        }
        const QRectF bounds = bodies.back().Path.Bounds();
        for (auto [got, want] :
             {std::pair(bounds.left(), c.Bounds.left()),
              std::pair(bounds.right(), c.Bounds.right()), std::pair(bounds.top(), c.Bounds.top()),
              std::pair(bounds.bottom(), c.Bounds.bottom())})
            EXPECT_NEAR(got, want, 1e-4) << c.Horizontal;
        EXPECT_EQ(outlines.back().Path, bodies.back().Path);
        const QRectF cap = caps.back().Rect;
        EXPECT_NEAR(cap.x(), c.Cap.x(), 1e-4) << c.Horizontal;
        EXPECT_NEAR(cap.y(), c.Cap.y(), 1e-4) << c.Horizontal;
        EXPECT_NEAR(cap.width(), c.Cap.width(), 1e-4) << c.Horizontal;
        EXPECT_NEAR(cap.height(), c.Cap.height(), 1e-4) << c.Horizontal;
        EXPECT_NEAR(c.Horizontal ? cap.width() : cap.height(), c.Ellipse, 1e-4);
        if (!c.Horizontal) {
            // The rim: the near half of the end ellipse.
            const auto rims = gr.RecordsOf(TVxDrawOp::DrawArc);
            ASSERT_EQ(rims.size(), 2u);
            EXPECT_EQ(rims.back().Rect, caps.back().Rect);
            EXPECT_EQ(rims.back().StartAngle, c.ArcStart);
            EXPECT_EQ(rims.back().SweepAngle, 180);
        } else {
            EXPECT_EQ(gr.RecordsOf(TVxDrawOp::DrawEllipse).back().Rect, caps.back().Rect);
        }
    }
}

// Bars taller than about a hundred pixel rows are filled in bands of whole rows (Qt's raster
// engine would hand each such fill to its thread pool): the pixels are those of one fill,
// exactly without anti-aliasing and to one level with it; a translucent colour shows any seam
// painted twice or left out. The last bar reaches far above the drawing area.
TEST_F(BarsTest, TallBarsFilledInBandsGiveTheImageOfOneFill) {
    Fill(Y, {10, 7.3, 9.1, 25});
    SetRanges(0, 4, 0, 10);
    TVxBars s;
    Attach(s, nullptr, &Y);
    s.SetClassesDistance(21);
    s.Line()->SetVisible(false);
    for (TVxColor color : {VxColor(0xFF000080), VxColor(0x80206040)})
        for (TSmoothingMode mode :
             {TSmoothingMode::SmoothingModeNone, TSmoothingMode::SmoothingModeAntiAlias}) {
            s.Area()->SetForeColor(color);
            s.PointsModified();
            s.Calculate();
            auto image = [&](bool Direct) {
                QImage img(700, 200, QImage::Format_ARGB32_Premultiplied);
                img.fill(Qt::white);
                QPainter p(&img);
                TVxQtSurface gr(p);
                gr.SetSmoothingMode(mode);
                if (!Direct) {
                    s.PaintGr(gr);
                    return img;
                }
                for (size_t k = 0; k < s.BarTopLeft().size(); ++k)
                    gr.FillRectangle(TVxBrush::SolidBrush(color),
                                     QRectF(s.BarTopLeft()[k], s.BarBottomRight()[k]).normalized());
                return img;
            };
            const QImage banded = image(false), whole = image(true);
            ASSERT_GT(s.BarBottomRight()[0].y() - s.BarTopLeft()[0].y(), 140);
            int most = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 700; ++x) {
                    const QRgb a = banded.pixel(x, y), b = whole.pixel(x, y);
                    most =
                        std::max({most, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                }
            EXPECT_LE(most, mode == TSmoothingMode::SmoothingModeNone ? 0 : 1)
                << std::hex << color << " " << int(mode);
            EXPECT_NE(banded.pixel(int(PX(0.5)), 100), qRgb(255, 255, 255));
        }
}

TEST_F(BarsTest, AssigningCaptionsWhileBoundRaises) {
    TVxBars s;
    TVxDataSource source;
    s.SetDataSource(&source);
    s.SetCaptionsField("name");
    EXPECT_TRUE(s.DBData());
    try {
        s.SetCaptions({"x"});
        FAIL() << "no error";
    } catch (const EVxException& e) {
        EXPECT_EQ(e.Message(), "Setting captions list not allowed with database binding set");
    }
    EXPECT_NO_THROW(s.SetCaptions({}));
    EXPECT_TRUE(s.Captions().isEmpty());
}

} // namespace
