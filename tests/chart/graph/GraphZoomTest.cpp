// Zooming, panning and scrolling of a graph, driven by synthetic mouse events on the
// offscreen platform: the zoom settings and their undo records, the mouse rules, the
// rectangle-to-range conversion, both history kinds, the reset, panning, the scrollbars and
// the focus rectangle drawn over the cached frame.
//
// Expected ranges are computed by hand from the data area: on a horizontal axis of length
// L = DA.W - 1 pixels the value at pixel p is Start + (p - DA.X) * (Stop - Start) / L; on a
// vertical one, with L = DA.H - 1, Start + (DA.Y + DA.H - 1 - p) * (Stop - Start) / L.

#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {

/// Counts full renderings of the chart.
class CountingGraph : public TVxGraph2D {
public:
    using TVxGraph2D::TVxGraph2D;
    int Renders = 0;
    void PaintGr(TVxSurface& Gr) override {
        ++Renders;
        TVxGraph2D::PaintGr(Gr);
    }
};

struct TRange {
    double Start, Stop;
};

class GraphZoomTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form.resize(600, 400);
        Graph = new CountingGraph(&Form);
        Graph->setGeometry(0, 0, 600, 400);
        Graph->TestPrimaryAxis();
        X = Graph->PrimaryXAxis();
        Y = Graph->PrimaryYAxis();
        // Unrounded ends: the ranges are exactly what the rules compute.
        for (TVxAxis* axis : {X, Y})
            axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        // y = x^2 on x = 0 .. 100: the axes span very different values per pixel.
        for (int i = 0; i <= 100; ++i) {
            XData.Add(i);
            YData.Add(double(i) * i);
        }
        Series = new TVxPointSeries(&Form);
        Series->SetXData(&XData);
        Series->SetYData(&YData);
        Series->SetXAxis(X);
        Series->SetYAxis(Y);
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
        Layout();
    }

    /// Paints through the widget's own path: poll, layout, scrollbars.
    void Layout() { Graph->repaint(); }

    void Send(QWidget* W, QEvent::Type Type, QPoint At, Qt::MouseButton Button,
              Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        QMouseEvent e(Type, QPointF(At), W->mapToGlobal(QPointF(At)), Button, Buttons, Modifiers);
        QCoreApplication::sendEvent(W, &e);
    }
    void Press(QPoint At, Qt::KeyboardModifiers Modifiers = Qt::NoModifier,
               Qt::MouseButton Button = Qt::LeftButton) {
        Send(Graph, QEvent::MouseButtonPress, At, Button, Button, Modifiers);
    }
    void Move(QPoint At, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        Send(Graph, QEvent::MouseMove, At, Qt::NoButton, Qt::LeftButton, Modifiers);
    }
    void Release(QPoint At, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        Send(Graph, QEvent::MouseButtonRelease, At, Qt::LeftButton, Qt::NoButton, Modifiers);
    }
    void Drag(QPoint From, QPoint To, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        Press(From, Modifiers);
        Move(To, Modifiers);
        Release(To, Modifiers);
        Layout();
    }
    void Click(QPoint At) {
        Press(At);
        Release(At);
        Layout();
    }
    void DoubleClick(QPoint At) {
        Press(At);
        Release(At);
        Send(Graph, QEvent::MouseButtonDblClick, At, Qt::LeftButton, Qt::LeftButton);
        Release(At);
        Layout();
    }

    QRectF DA() const { return Graph->DrawingArea(); }
    QPoint Inside(double Fx, double Fy) const {
        const QRectF da = DA();
        return QPoint(int(da.x() + Fx * da.width()), int(da.y() + Fy * da.height()));
    }
    /// A point left of the data area, below the top (on the Y axis' labels).
    QPoint Beside() const { return QPoint(int(DA().x()) - 20, int(DA().center().y())); }

    /// The hand-computed value at a pixel (see the file comment).
    static double ValueAt(const TVxAxis& Axis, const QRectF& Da, double Pixel) {
        const double span = Axis.Stop() - Axis.Start();
        if (Axis.Horizontal())
            return Axis.Start() + (Pixel - Da.x()) * span / (Da.width() - 1);
        return Axis.Start() + (Da.y() + Da.height() - 1 - Pixel) * span / (Da.height() - 1);
    }
    static TRange RangeOf(const TVxAxis& Axis) { return {Axis.Start(), Axis.Stop()}; }

    /// Zooms into the middle of the chart by a drag.
    void ZoomMiddle() { Drag(Inside(0.3, 0.3), Inside(0.7, 0.7)); }

    QWidget Form;
    TVxDoubleVector XData{&Form};
    TVxDoubleVector YData{&Form};
    CountingGraph* Graph = nullptr;
    TVxAxis* X = nullptr;
    TVxAxis* Y = nullptr;
    TVxPointSeries* Series = nullptr;
};

} // namespace

// --- settings ------------------------------------------------------------------------------

TEST(ZoomSettings, MouseStatesMapFromModifiersAndButtons) {
    struct TCase {
        Qt::KeyboardModifiers Modifiers;
        Qt::MouseButtons Buttons;
        bool Double;
        TVxShiftState Expected;
    };
    const TCase cases[] = {
        {Qt::NoModifier, Qt::LeftButton, false, TVxShift::Left},
        {Qt::ShiftModifier, Qt::LeftButton, false, TVxShift::Shift | TVxShift::Left},
        {Qt::ControlModifier | Qt::AltModifier, Qt::RightButton, false,
         TVxShift::Ctrl | TVxShift::Alt | TVxShift::Right},
        {Qt::NoModifier, Qt::MiddleButton, true, TVxShift::Middle | TVxShift::Double},
        {Qt::MetaModifier, Qt::NoButton, false, TVxShiftState()},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ShiftStateOf(c.Modifiers, c.Buttons, c.Double).Bits(), c.Expected.Bits());
}

TEST(ZoomSettings, DefaultsAndUndoRecordsOfEverySetter) {
    QWidget form;
    TVxGraph2D graph(&form);
    TVxUndoStack stack(&form);
    graph.SetUndoStack(&stack);
    TVxZoomSettings& zoom = *graph.Zoom();
    EXPECT_TRUE(zoom.Auto());
    EXPECT_EQ(zoom.BufferType(), TVxZoomBufferType::AsStack);
    EXPECT_FALSE(zoom.OptimizeSeries());
    EXPECT_TRUE(zoom.BackOnClickBeside());
    EXPECT_FALSE(zoom.BackOnRightBottomLeftTopFrame());
    EXPECT_TRUE(zoom.ResetOnDoubleClickBeside());
    EXPECT_FALSE(zoom.ResetOnRightBottomLeftTopFrame());
    EXPECT_EQ(zoom.StartZoom(), TVxShiftState(TVxShift::Left));
    EXPECT_EQ(zoom.StartPanning(), TVxShift::Shift | TVxShift::Left);
    EXPECT_EQ(zoom.PanningCursor(), Qt::PointingHandCursor);
    EXPECT_TRUE(zoom.HScrollbarVisible());
    EXPECT_TRUE(zoom.VScrollbarVisible());
    EXPECT_EQ(zoom.ScrollSmallIncrement(), TVxScrollIncrement::MinorTick);
    EXPECT_EQ(zoom.ScrollLargeIncrement(), TVxScrollIncrement::Page);

    struct TCase {
        const char* Name;
        QVariant Value;
        const char* Description;
    };
    const TCase cases[] = {
        {"Auto", false, "Graph auto zooming"},
        {"OptimizeSeries", true, "Graph zoom optimize for series data"},
        {"BackOnClickBeside", false, "Graph zoom back clicking beside data"},
        {"BackOnRightBottomLeftTopFrame", true, "Graph zoom back clicking beside data"},
        {"ResetOnDoubleClickBeside", false, "Graph zoom reset double clicking beside data"},
        {"ResetOnRightBottomLeftTopFrame", true, "Graph zoom reset dragging bottom/right top/left"},
        {"StartZoom", int((TVxShift::Ctrl | TVxShift::Left).Bits()), "Graph zoom start keys"},
        {"StartPanning", int(TVxShiftState(TVxShift::Right).Bits()), "Graph panning start keys"},
        {"HScrollbarVisible", false, "Graph zoomed show horizontal scrollbar"},
        {"VScrollbarVisible", false, "Graph zoomed show vertical scrollbar"},
        {"ScrollSmallIncrement", int(TVxScrollIncrement::Pixel),
         "Graph scrollbars small increment"},
        {"ScrollLargeIncrement", int(TVxScrollIncrement::MajorTick),
         "Graph scrollbars large increment"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QVariant before = zoom.property(c.Name);
        const int steps = stack.UndoCount();
        ASSERT_TRUE(zoom.setProperty(c.Name, c.Value));
        EXPECT_EQ(zoom.property(c.Name), c.Value);
        ASSERT_EQ(stack.UndoCount(), steps + 1);
        EXPECT_EQ(stack.UndoList().value(0), c.Description);
        // The same value again records nothing.
        zoom.setProperty(c.Name, c.Value);
        EXPECT_EQ(stack.UndoCount(), steps + 1);
        stack.Undo();
        EXPECT_EQ(zoom.property(c.Name), before);
        stack.Redo();
    }
    // Buffer type and cursor are not recorded.
    const int steps = stack.UndoCount();
    zoom.SetBufferType(TVxZoomBufferType::AsCircularBuffer);
    zoom.SetPanningCursor(Qt::OpenHandCursor);
    EXPECT_EQ(stack.UndoCount(), steps);
    EXPECT_EQ(zoom.BufferType(), TVxZoomBufferType::AsCircularBuffer);
}

TEST(ZoomSettings, ZoomAndPanningMayNotStartAlike) {
    QWidget form;
    TVxGraph2D graph(&form);
    TVxZoomSettings& zoom = *graph.Zoom();
    try {
        zoom.SetStartPanning(TVxShift::Left);
        FAIL() << "no error";
    } catch (const EVxException& e) {
        EXPECT_EQ(e.Message(), "Zooming and panning not allowed to start with same parameters");
    }
    EXPECT_EQ(zoom.StartPanning(), TVxShift::Shift | TVxShift::Left);
    EXPECT_THROW(zoom.SetStartZoom(TVxShift::Shift | TVxShift::Left), EVxException);
    EXPECT_EQ(zoom.StartZoom(), TVxShiftState(TVxShift::Left));

    // Assigning swapped states goes through without an error.
    TVxGraph2D other(&form);
    other.Zoom()->SetStartPanning(TVxShift::Right);
    other.Zoom()->SetStartZoom(TVxShift::Shift | TVxShift::Left);
    other.Zoom()->SetStartPanning(TVxShift::Left);
    graph.SetZoom(other.Zoom());
    EXPECT_EQ(zoom.StartZoom(), TVxShift::Shift | TVxShift::Left);
    EXPECT_EQ(zoom.StartPanning(), TVxShiftState(TVxShift::Left));
}

// --- zoom rectangle ------------------------------------------------------------------------

TEST_F(GraphZoomTest, ARectangleSetsTheRangesToTheValuesAtItsEdges) {
    const QRectF da = DA();
    const QPoint a = Inside(0.2, 0.25);
    const QPoint b = Inside(0.6, 0.75);
    const double x0 = ValueAt(*X, da, a.x()), x1 = ValueAt(*X, da, b.x());
    const double y0 = ValueAt(*Y, da, b.y()), y1 = ValueAt(*Y, da, a.y());
    int begun = 0, ended = 0;
    Graph->OnBeginZoom = [&](TVxGraph2D* G) { begun += G == Graph; };
    Graph->Zoom()->OnEndZoom() = [&](TVxGraph2D* G) { ended += G == Graph; };
    Drag(b, a); // any corner order
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(ended, 1);
    EXPECT_NEAR(X->Start(), x0, 1e-9 * 100);
    EXPECT_NEAR(X->Stop(), x1, 1e-9 * 100);
    EXPECT_NEAR(Y->Start(), y0, 1e-9 * 10000);
    EXPECT_NEAR(Y->Stop(), y1, 1e-9 * 10000);
    EXPECT_EQ(Graph->ZoomStage(), 1);
    EXPECT_EQ(Graph->ZoomBufferSize(), 2);
    EXPECT_TRUE(Graph->CanZoomBack());

    // Corners beyond the data area are clamped to it: the ranges reach the area's edges.
    const QRectF da2 = DA();
    const double left = ValueAt(*X, da2, std::floor(da2.x()));
    const double top = ValueAt(*Y, da2, std::floor(da2.y()));
    Drag(Inside(0.5, 0.5), QPoint(0, 0));
    EXPECT_NEAR(X->Start(), left, 1e-9 * 100);
    EXPECT_NEAR(Y->Stop(), top, 1e-9 * 10000);
}

TEST_F(GraphZoomTest, ADragNarrowerThanFivePixelsDoesNotZoom) {
    struct TCase {
        int W, H;
        bool Zooms;
    };
    const TCase cases[] = {{4, 100, false}, {100, 4, false}, {5, 5, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.W << " x " << c.H);
        Graph->ZoomReset();
        Layout();
        const TRange before = RangeOf(*X);
        const QPoint from = Inside(0.4, 0.4);
        Drag(from, from + QPoint(c.W, c.H));
        EXPECT_EQ(Graph->CanZoomBack(), c.Zooms);
        EXPECT_EQ(X->Start() != before.Start, c.Zooms);
    }
}

TEST_F(GraphZoomTest, UpperLeftDragsResetStepBackOrZoomByTheFrameOptions) {
    struct TCase {
        bool Reset, Back;
        int Stage, Size; // after two zooms (stages 0, 1, 2) and the upper-left drag
    };
    const TCase cases[] = {{true, false, 0, 0}, {false, true, 1, 3}, {false, false, 3, 4}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "reset " << c.Reset << " back " << c.Back);
        Graph->ZoomReset();
        Graph->Zoom()->SetResetOnRightBottomLeftTopFrame(c.Reset);
        Graph->Zoom()->SetBackOnRightBottomLeftTopFrame(c.Back);
        Layout();
        ZoomMiddle();
        ZoomMiddle();
        ASSERT_EQ(Graph->ZoomStage(), 2);
        Drag(Inside(0.7, 0.7), Inside(0.3, 0.3));
        EXPECT_EQ(Graph->ZoomStage(), c.Stage);
        EXPECT_EQ(Graph->ZoomBufferSize(), c.Size);
    }
}

TEST_F(GraphZoomTest, OptimizeSeriesFitsTheRangesToThePointsInside) {
    Graph->Zoom()->SetOptimizeSeries(true);
    const QRectF da = DA();
    const QPoint a = Inside(0.2, 0.3);
    const QPoint b = Inside(0.55, 0.9);
    const double xl = ValueAt(*X, da, a.x()), xr = ValueAt(*X, da, b.x());
    const double yb = ValueAt(*Y, da, b.y()), yt = ValueAt(*Y, da, a.y());
    // The points i with xl <= i <= xr and yb <= i^2 <= yt, found by brute force.
    double lo = 1e300, hi = -1e300, ylo = 1e300, yhi = -1e300;
    for (int i = 0; i <= 100; ++i)
        if (i >= xl && i <= xr && double(i) * i >= yb && double(i) * i <= yt) {
            lo = std::min(lo, double(i));
            hi = std::max(hi, double(i));
            ylo = std::min(ylo, double(i) * i);
            yhi = std::max(yhi, double(i) * i);
        }
    ASSERT_LT(lo, hi);
    Drag(a, b);
    EXPECT_EQ(X->Start(), lo);
    EXPECT_EQ(X->Stop(), hi);
    EXPECT_EQ(Y->Start(), ylo);
    EXPECT_EQ(Y->Stop(), yhi);

    // A rectangle without points keeps the ranges.
    const TRange x = RangeOf(*X), y = RangeOf(*Y);
    const int size = Graph->ZoomBufferSize();
    Drag(Inside(0.02, 0.02), Inside(0.1, 0.1)); // above the parabola's left end
    EXPECT_EQ(X->Start(), x.Start);
    EXPECT_EQ(Y->Stop(), y.Stop);
    EXPECT_EQ(Graph->ZoomBufferSize(), size);
}

// --- clicks ------------------------------------------------------------------------------

TEST_F(GraphZoomTest, ClickBesideStepsBackInsideDoesNothingDoubleClickBesideResets) {
    const TRange unzoomed = RangeOf(*X);
    ZoomMiddle();
    const TRange first = RangeOf(*X);
    ZoomMiddle();
    ASSERT_EQ(Graph->ZoomStage(), 2);

    Click(Inside(0.5, 0.5));
    EXPECT_EQ(Graph->ZoomStage(), 2);
    Click(Beside());
    EXPECT_EQ(Graph->ZoomStage(), 1);
    EXPECT_EQ(X->Start(), first.Start);
    EXPECT_EQ(X->Stop(), first.Stop);

    ZoomMiddle();
    DoubleClick(Beside());
    EXPECT_FALSE(Graph->CanZoomBack());
    EXPECT_EQ(Graph->ZoomBufferSize(), 0);
    EXPECT_EQ(X->Start(), unzoomed.Start);
    EXPECT_EQ(X->Stop(), unzoomed.Stop);
}

TEST_F(GraphZoomTest, ShiftLeftOnAnUnzoomedChartNeitherZoomsNorPans) {
    const TRange x = RangeOf(*X), y = RangeOf(*Y);
    int events = 0;
    Graph->OnBeginZoom = Graph->OnBeginPanning = [&](TVxGraph2D*) { ++events; };
    Drag(Inside(0.3, 0.3), Inside(0.7, 0.7), Qt::ShiftModifier);
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(Graph->CanZoomBack());
    EXPECT_EQ(X->Start(), x.Start);
    EXPECT_EQ(Y->Stop(), y.Stop);
}

// --- histories ---------------------------------------------------------------------------

TEST_F(GraphZoomTest, StackHistoryStopsAtTheUnzoomedRangeRingWraps) {
    const TRange r0 = RangeOf(*X);
    ZoomMiddle();
    const TRange r1 = RangeOf(*X);
    ZoomMiddle();
    const TRange r2 = RangeOf(*X);

    Graph->ZoomBack();
    EXPECT_EQ(X->Start(), r1.Start);
    Graph->ZoomBack();
    EXPECT_EQ(X->Start(), r0.Start);
    EXPECT_FALSE(Graph->CanZoomBack());
    Graph->ZoomBack(); // nothing to go back to
    EXPECT_EQ(Graph->ZoomStage(), 0);
    EXPECT_TRUE(Graph->CanRedoZoom());
    Graph->RedoZoom();
    Graph->RedoZoom();
    EXPECT_EQ(X->Stop(), r2.Stop);
    EXPECT_FALSE(Graph->CanRedoZoom());

    Graph->Zoom()->SetBufferType(TVxZoomBufferType::AsCircularBuffer);
    Graph->ZoomBack();
    Graph->ZoomBack();
    ASSERT_EQ(Graph->ZoomStage(), 0);
    EXPECT_TRUE(Graph->CanZoomBack());
    Graph->ZoomBack(); // wraps to the last stage
    EXPECT_EQ(Graph->ZoomStage(), 2);
    EXPECT_EQ(X->Start(), r2.Start);
    Graph->RedoZoom(); // and forward to the first
    EXPECT_EQ(Graph->ZoomStage(), 0);
    Graph->ZoomToStage(1);
    EXPECT_EQ(Y->Start(), Y->ZoomHistory().StartAt(1));
    EXPECT_EQ(X->Stop(), r1.Stop);
}

TEST_F(GraphZoomTest, ResetRestoresFixedEndsAndAxesWithoutSeries) {
    // A Fixed start below the data and a right axis that no series uses.
    X->SetStart(-25);
    X->SetStartEnd(TVxAxisEnd::Fixed);
    auto* right = new TVxAxis(&Form);
    right->SetPosition(TVxAxisPosition::Right);
    right->SetEndRounding(TVxAxisEndRounding::RndNothing);
    right->SetStart(3);
    right->SetStop(7);
    Graph->AddAxis(right);
    Layout();
    ASSERT_EQ(X->Start(), -25);
    ASSERT_EQ(X->Stop(), 100);
    ZoomMiddle();
    ZoomMiddle();
    ASSERT_GT(X->Start(), 0);
    ASSERT_GT(right->Start(), 3);

    Graph->ZoomReset();
    Layout();
    EXPECT_EQ(X->Start(), -25);
    EXPECT_EQ(X->Stop(), 100);
    EXPECT_EQ(right->Start(), 3);
    EXPECT_EQ(right->Stop(), 7);
    for (TVxAxis* axis : {X, Y, right})
        EXPECT_FALSE(axis->CanZoomBack());
    EXPECT_EQ(Y->Start(), 0);
    EXPECT_EQ(Y->Stop(), 10000);
}

// --- panning -----------------------------------------------------------------------------

TEST_F(GraphZoomTest, PanningMovesEachAxisByItsOwnValuePerPixelOnlyOnceBothMoved) {
    struct TCase {
        bool Twisted;
    };
    for (const TCase c : {TCase{false}, TCase{true}}) {
        SCOPED_TRACE(c.Twisted ? "twisted X" : "plain X");
        Graph->ZoomReset();
        X->SetTwisted(c.Twisted);
        Layout();
        ZoomMiddle();
        const TRange x = RangeOf(*X), y = RangeOf(*Y);
        const QRectF da = DA();
        const double xPerPixel = (x.Stop - x.Start) / (da.width() - 1);
        const double yPerPixel = (y.Stop - y.Start) / (da.height() - 1);
        int begun = 0, ended = 0;
        Graph->OnBeginPanning = [&](TVxGraph2D*) { ++begun; };
        Graph->OnEndPanning = [&](TVxGraph2D*) { ++ended; };

        const QPoint from = Inside(0.5, 0.5);
        Press(from, Qt::ShiftModifier);
        EXPECT_EQ(begun, 1);
        // Purely horizontal: nothing moves yet.
        Move(from + QPoint(20, 0), Qt::ShiftModifier);
        EXPECT_EQ(X->Start(), x.Start);
        // Right by 20 and down by 30 pixels: the data follow the pointer.
        Move(from + QPoint(20, 30), Qt::ShiftModifier);
        const double dx = (c.Twisted ? 20 : -20) * xPerPixel;
        EXPECT_NEAR(X->Start(), x.Start + dx, 1e-9 * 100);
        EXPECT_NEAR(X->Stop(), x.Stop + dx, 1e-9 * 100);
        EXPECT_NEAR(Y->Start(), y.Start + 30 * yPerPixel, 1e-9 * 10000);
        EXPECT_NEAR(Y->Stop(), y.Stop + 30 * yPerPixel, 1e-9 * 10000);
        const int stage = Graph->ZoomStage();
        Release(from + QPoint(20, 30), Qt::ShiftModifier);
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(Graph->ZoomStage(), stage + 1) << "the pan is one stage";
        EXPECT_EQ(X->ZoomStage(), stage + 1);
    }
}

TEST_F(GraphZoomTest, PanningNeverLeavesTheScrollRange) {
    ZoomMiddle();
    const TRange x = RangeOf(*X);
    const QPoint from = Inside(0.5, 0.5);
    Press(from, Qt::ShiftModifier);
    // Far to the right: the X range would start below 0, so it stays.
    Move(from + QPoint(2000, 1), Qt::ShiftModifier);
    EXPECT_EQ(X->Start(), x.Start);
    EXPECT_GE(X->Start(), X->ScrollStart());
    Release(from + QPoint(2000, 1), Qt::ShiftModifier);
}

// --- scrollbars --------------------------------------------------------------------------

namespace {

QPoint SubControlCenter(QScrollBar& Bar, QStyle::SubControl Control) {
    QStyleOptionSlider opt;
    opt.initFrom(&Bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = Bar.orientation();
    opt.minimum = Bar.minimum();
    opt.maximum = Bar.maximum();
    opt.sliderPosition = Bar.sliderPosition();
    opt.sliderValue = Bar.value();
    opt.singleStep = Bar.singleStep();
    opt.pageStep = Bar.pageStep();
    if (Bar.orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return Bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, Control, &Bar).center();
}

} // namespace

TEST_F(GraphZoomTest, ScrollbarsShowWhileZoomedAndTakeRoomBelowAndLeft) {
    EXPECT_FALSE(Graph->HScrollBar()->isVisible());
    const QRectF before = DA();
    ZoomMiddle();
    QScrollBar& h = *Graph->HScrollBar();
    QScrollBar& v = *Graph->VScrollBar();
    ASSERT_TRUE(h.isVisible());
    ASSERT_TRUE(v.isVisible());
    const QRectF da = DA();
    EXPECT_EQ(h.geometry(), QRect(int(std::lround(da.x())), 400 - h.height(),
                                  int(std::lround(da.width())), h.height()));
    EXPECT_EQ(v.geometry(),
              QRect(0, int(std::lround(da.y())), v.width(), int(std::lround(da.height()))));
    EXPECT_LE(da.bottom(), before.bottom() - h.height() + 1);
    // Page and position in 1/10000 of the unzoomed range 0 .. 100 (X) and 0 .. 10000 (Y).
    const int page = int(std::lround(10000 * (X->Stop() - X->Start()) / 100));
    EXPECT_EQ(h.pageStep(), page);
    EXPECT_EQ(h.maximum(), 10000 - page);
    EXPECT_EQ(h.value(), int(std::lround(10000 * X->Start() / 100)));
    EXPECT_EQ(v.value(), 10000 - int(std::lround(10000 * Y->Stop() / 10000)));

    Graph->Zoom()->SetHScrollbarVisible(false);
    Graph->Modified();
    Layout();
    EXPECT_FALSE(h.isVisible());
    EXPECT_TRUE(v.isVisible());
}

TEST_F(GraphZoomTest, ArrowStepsByAMinorTickAndTheEndOfTheScrollRecordsOneStage) {
    X->SetAutoTickParts(false);
    X->SetTickPart(0.1);
    ZoomMiddle();
    // Fixed parts: the minor step is TickPart * 10^e, e the decimal exponent of the width.
    const double width = X->Stop() - X->Start();
    const double minor = 0.1 * std::pow(10.0, std::floor(std::log10(width)));
    const TRange x = RangeOf(*X);
    const int size = Graph->ZoomBufferSize();
    QScrollBar& h = *Graph->HScrollBar();
    const QPoint arrow = SubControlCenter(h, QStyle::SC_ScrollBarAddLine);
    Send(&h, QEvent::MouseButtonPress, arrow, Qt::LeftButton, Qt::LeftButton);
    EXPECT_NEAR(X->Start(), x.Start + minor, 1e-9 * 100);
    EXPECT_NEAR(X->Stop(), x.Stop + minor, 1e-9 * 100);
    EXPECT_EQ(Graph->ZoomBufferSize(), size) << "a line step is not recorded";
    Send(&h, QEvent::MouseButtonRelease, arrow, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Graph->ZoomBufferSize(), size + 1);
    EXPECT_EQ(X->ZoomBufferSize(), size + 1);
    EXPECT_NEAR(X->Start(), x.Start + minor, 1e-9 * 100);
    Graph->ZoomBack();
    EXPECT_EQ(X->Start(), x.Start);
}

TEST_F(GraphZoomTest, ATrackClickPagesAndRecordsAtOnce) {
    ZoomMiddle();
    Layout();
    const TRange x = RangeOf(*X);
    const int size = Graph->ZoomBufferSize();
    QScrollBar& h = *Graph->HScrollBar();
    const QPoint track = SubControlCenter(h, QStyle::SC_ScrollBarAddPage);
    Send(&h, QEvent::MouseButtonPress, track, Qt::LeftButton, Qt::LeftButton);
    const double page = x.Stop - x.Start;
    EXPECT_NEAR(X->Start(), std::min(x.Start + page, 100 - page), 1e-9 * 100);
    EXPECT_NEAR(X->Stop() - X->Start(), page, 1e-9 * 100);
    EXPECT_EQ(Graph->ZoomBufferSize(), size + 1);
    Send(&h, QEvent::MouseButtonRelease, track, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Graph->ZoomBufferSize(), size + 1) << "one action, one stage";
}

TEST_F(GraphZoomTest, ThumbTrackingPansUnroundedAndItsEndRecordsOneStage) {
    ZoomMiddle();
    const TRange y = RangeOf(*Y);
    const int size = Graph->ZoomBufferSize();
    // The vertical bar's thumb to position 0: the top of the unzoomed range.
    Graph->Scroll(Qt::Vertical, TVxScrollCode::Track, 0);
    EXPECT_TRUE(Graph->Panning());
    EXPECT_NEAR(Y->Stop(), 10000, 1e-9 * 10000);
    EXPECT_NEAR(Y->Stop() - Y->Start(), y.Stop - y.Start, 1e-9 * 10000);
    EXPECT_EQ(Graph->ZoomBufferSize(), size);
    Graph->Scroll(Qt::Vertical, TVxScrollCode::EndScroll);
    EXPECT_FALSE(Graph->Panning());
    EXPECT_EQ(Graph->ZoomBufferSize(), size + 1);
    EXPECT_EQ(X->ZoomBufferSize(), size + 1) << "the other direction records its range";
}

// --- coupled graphs ----------------------------------------------------------------------

TEST_F(GraphZoomTest, CoupledGraphsKeepEqualStageCounts) {
    auto* lower = new TVxGraph2D(&Form);
    lower->setGeometry(0, 400, 600, 200);
    auto* lowerY = new TVxAxis(&Form);
    lowerY->SetPosition(TVxAxisPosition::Left);
    lower->SetPrimaryYAxis(lowerY);
    lower->SetPrimaryXAxis(X);
    Graph->Modified();
    Layout();
    lower->PaintToImage();
    ASSERT_TRUE(lower->IsCoupledGraph());
    ASSERT_EQ(Graph->ChildGraphs(), std::vector<TVxGraph2D*>{lower});
    ZoomMiddle();
    EXPECT_EQ(lowerY->ZoomBufferSize(), Y->ZoomBufferSize());
    EXPECT_EQ(lowerY->ZoomStage(), Y->ZoomStage());
    Graph->ZoomBack();
    EXPECT_EQ(lowerY->ZoomStage(), 0);
    Graph->ZoomReset();
    EXPECT_FALSE(lowerY->CanZoomBack());
}

// --- the focus rectangle -----------------------------------------------------------------

TEST_F(GraphZoomTest, TheFocusRectangleIsDrawnOverTheCachedFrameAndErasedExactly) {
    Graph->SetBackColor(VxColor(0xFFFFFFFF));
    Layout();
    const QImage before = Graph->grab().toImage();
    const int renders = Graph->Renders;
    const QPoint from = Inside(0.3, 0.3);
    const QPoint to = Inside(0.6, 0.6);
    Press(from);
    Move(to);
    Layout();
    EXPECT_EQ(Graph->ZoomRectangle(), QRect(from, to));
    const QImage during = Graph->grab().toImage();
    EXPECT_EQ(Graph->Renders, renders) << "moving the rectangle does not render the chart";
    // Only pixels on the outline differ from the frame, and those are inverted.
    ASSERT_EQ(during.size(), before.size());
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            if (during.pixel(x, y) == before.pixel(x, y))
                continue;
            ++changed;
            const bool onOutline = (std::abs(x - from.x()) <= 1 || std::abs(x - to.x()) <= 1 ||
                                    std::abs(y - from.y()) <= 1 || std::abs(y - to.y()) <= 1) &&
                                   x >= from.x() - 1 && x <= to.x() + 1 && y >= from.y() - 1 &&
                                   y <= to.y() + 1;
            EXPECT_TRUE(onOutline) << x << ", " << y;
            EXPECT_EQ(during.pixel(x, y) ^ 0x00FFFFFFu, before.pixel(x, y)) << x << ", " << y;
        }
    // A dotted outline: about every second pixel of its perimeter.
    EXPECT_GT(changed, (to.x() - from.x() + to.y() - from.y()) / 2);
    // Released as a tiny rectangle: no zoom, and the picture is the frame again.
    Move(from + QPoint(2, 2));
    Release(from + QPoint(2, 2));
    Layout();
    EXPECT_FALSE(Graph->CanZoomBack());
    EXPECT_EQ(Graph->grab().toImage(), before);
    EXPECT_EQ(Graph->Renders, renders);
}
