// Structure and notifications of the graph: default axes, removal of components, coupled
// graphs, update brackets and undo records.

#include "graph/Graph.h"

#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "util/EventGuard.h"

#include <QImage>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

class CountingGraph : public TVxGraph2D {
public:
    using TVxGraph2D::TVxGraph2D;
    int Paints = 0;

protected:
    void paintEvent(QPaintEvent* Event) override {
        ++Paints;
        TVxGraph2D::paintEvent(Event);
    }
};

class GraphTest : public ::testing::Test {
protected:
    QWidget Form;
};

} // namespace

TEST_F(GraphTest, FirstPaintCreatesNamedAndCaptionedPrimaryAxes) {
    auto* graph = new TVxGraph2D(&Form);
    // A component of the form already carries the first X name: the next free one is used.
    auto* taken = new TVxAxis(&Form);
    taken->SetName("XAxis1");
    EXPECT_EQ(graph->PrimaryXAxis(), nullptr);
    graph->PaintToImage();

    TVxAxis* x = graph->PrimaryXAxis();
    TVxAxis* y = graph->PrimaryYAxis();
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(x->Name(), "XAxis2");
    EXPECT_EQ(y->Name(), "YAxis1");
    EXPECT_EQ(x->Position(), TVxAxisPosition::Bottom);
    EXPECT_EQ(y->Position(), TVxAxisPosition::Left);
    EXPECT_EQ(AxisLook(*x).Caption(), "X-Axis");
    EXPECT_EQ(AxisLook(*y).Caption(), "Y-Axis");
    // Owned by the form, not by the graph.
    EXPECT_EQ(x->Owner(), &Form);
    EXPECT_EQ(y->Owner(), &Form);
    EXPECT_EQ(graph->ChildAxes(), (std::vector<TVxAxis*>{x, y}));
}

TEST_F(GraphTest, VerticalXAxisAndHorizontalYAxisAreMovedToTheirSides) {
    TVxGraph2D graph(&Form);
    auto* x = new TVxAxis(&Form);
    x->SetPosition(TVxAxisPosition::Right);
    auto* y = new TVxAxis(&Form);
    y->SetPosition(TVxAxisPosition::Top);
    graph.SetPrimaryXAxis(x);
    graph.SetPrimaryYAxis(y);
    graph.PaintToImage();
    EXPECT_EQ(x->Position(), TVxAxisPosition::Bottom);
    EXPECT_EQ(y->Position(), TVxAxisPosition::Left);
}

TEST_F(GraphTest, FreeingThePrimaryXAxisLeavesTheGraphWithoutItAndDrawingNothing) {
    TVxGraph2D graph(&Form);
    graph.SetBackColor(VxColor(0xFFFFFFFF));
    const QImage before = graph.PaintToImage();
    EXPECT_EQ(before.pixel(2, 2), 0xFFFFFFFFu);
    TVxAxis* y = graph.PrimaryYAxis();

    delete graph.PrimaryXAxis();
    EXPECT_EQ(graph.PrimaryXAxis(), nullptr);
    EXPECT_EQ(graph.ChildAxes(), std::vector<TVxAxis*>{y});
    graph.Calculate(); // nothing without both primary axes
    const QImage after = graph.PaintToImage();
    for (int py = 0; py < after.height(); py += 7)
        for (int px = 0; px < after.width(); px += 7)
            ASSERT_EQ(qAlpha(after.pixel(px, py)), 0) << px << "," << py;

    // A new X axis brings the chart back.
    auto* x = new TVxAxis(&Form);
    graph.SetPrimaryXAxis(x);
    EXPECT_EQ(graph.PaintToImage().pixel(2, 2), 0xFFFFFFFFu);
}

TEST_F(GraphTest, AnAxisFreedWhileTheGraphPaintsIsSkipped) {
    TVxGraph2D graph(&Form);
    graph.PaintToImage();
    auto* extra = new TVxAxis(&Form);
    extra->SetPosition(TVxAxisPosition::Right);
    graph.AddAxis(extra);
    // The axis dies during the layout's OnCalculated callback of the first axis, that is
    // in the middle of a paint.
    graph.PrimaryXAxis()->OnCalculated = [&extra](TVxAxis*) {
        delete extra;
        extra = nullptr;
    };
    graph.PaintToImage();
    EXPECT_EQ(extra, nullptr);
    EXPECT_EQ(graph.ChildAxes().size(), 2u);
    graph.PrimaryXAxis()->OnCalculated = nullptr;
    graph.Modified();
    graph.PaintToImage();
}

TEST_F(GraphTest, TwoGraphsSharingOneXAxisAreCoupled) {
    auto* host = new TVxGraph2D(&Form);
    auto* coupled = new TVxGraph2D(&Form);
    host->PaintToImage();
    TVxAxis* x = host->PrimaryXAxis();

    auto* y2 = new TVxAxis(&Form);
    y2->SetPosition(TVxAxisPosition::Left);
    coupled->AddAxis(y2);
    coupled->SetPrimaryYAxis(y2);
    coupled->SetPrimaryXAxis(x);
    // The coupled graph's Y labels are wider: its data area starts further right.
    y2->SetStartStop(0, 100000);
    coupled->Calculate();
    host->Calculate();

    EXPECT_TRUE(host->HasChildGraphs());
    EXPECT_FALSE(host->IsCoupledGraph());
    EXPECT_EQ(host->ChildGraphs(), std::vector<TVxGraph2D*>{coupled});
    EXPECT_TRUE(coupled->IsCoupledGraph());
    EXPECT_FALSE(coupled->HasChildGraphs());
    EXPECT_EQ(coupled->Axes(), (std::vector<TVxAxis*>{y2, x}));
    EXPECT_EQ(x->Host(), host);

    // Both data areas share the horizontal extent: the largest left edge, the smallest
    // right edge.
    const QRectF a = host->DrawingArea();
    const QRectF b = coupled->DrawingArea();
    EXPECT_EQ(a.left(), b.left());
    EXPECT_EQ(a.right(), b.right());
    EXPECT_GE(a.left(), AxisLook(*y2).Left() + y2->AxLeft());
    EXPECT_FLOAT_EQ(x->AxLeft(), float(a.left()));
}

TEST_F(GraphTest, EndUpdateRepaintsOnce) {
    auto* graph = new CountingGraph(&Form);
    Form.resize(700, 500);
    Form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    QCoreApplication::processEvents();
    graph->Paints = 0;

    graph->BeginUpdate();
    graph->BeginUpdate();
    graph->SetDistanceBorderAxisLeft(5);
    graph->SetDataAreaColor(VxColor(0xFFFFFF00));
    graph->SetCaption("Title");
    graph->SetCaptionVisible(true);
    AxisLook(*graph->PrimaryXAxis()).SetCaption("Time");
    QCoreApplication::processEvents();
    graph->EndUpdate(); // still one level open
    QCoreApplication::processEvents();
    EXPECT_EQ(graph->Paints, 0);
    graph->EndUpdate();
    QCoreApplication::processEvents();
    EXPECT_EQ(graph->Paints, 1);
    EXPECT_FALSE(graph->NeedsRecalculation());
    Form.hide();
}

TEST_F(GraphTest, SettersRecordOnlyChanges) {
    TVxUndoStack undo(&Form);
    TVxGraph2D graph(&Form);
    graph.SetUndoStack(&undo);
    struct Case {
        const char* Name;
        QVariant Value;
        const char* Description;
    };
    const Case cases[] = {
        {"DistanceBorderAxisLeft", 4.0f, "Graph border distance left"},
        {"DistanceBorderAxisTop", 3.0f, "Graph border distance at top"},
        {"DataAreaColor", int(0xFF00FF00), "Color of graph data area"},
        {"BackColor", int(0xFF0000FF), "Graph background color"},
        {"ZeroOrigin", true, "Graph axes cross at (0,0)"},
        {"CaptionVisible", true, "Visibility of graph title"},
        {"Caption", QString("Temperatures"), "Caption used in title of graph"},
        {"CaptionDistanceBefore", 2.0f, "Distance above graph title"},
    };
    for (const Case& c : cases) {
        const int steps = undo.UndoCount();
        // The current value again: nothing recorded.
        ASSERT_TRUE(graph.setProperty(c.Name, graph.property(c.Name)));
        EXPECT_EQ(undo.UndoCount(), steps) << c.Name;
        const QVariant old = graph.property(c.Name);
        ASSERT_TRUE(graph.setProperty(c.Name, c.Value));
        EXPECT_EQ(undo.UndoCount(), steps + 1) << c.Name;
        EXPECT_EQ(undo.UndoList().front(), c.Description);
        ASSERT_TRUE(undo.Undo());
        EXPECT_EQ(graph.property(c.Name), old) << c.Name;
        ASSERT_TRUE(undo.Redo());
        EXPECT_EQ(graph.property(c.Name), c.Value) << c.Name;
    }
    // A NaN is never stored and records nothing.
    const int steps = undo.UndoCount();
    graph.SetDistanceBorderAxisRight(std::nanf(""));
    EXPECT_EQ(graph.DistanceBorderAxisRight(), 0);
    EXPECT_EQ(undo.UndoCount(), steps);
    // Trailing blanks of the caption are removed.
    graph.SetCaption("Temperatures   ");
    EXPECT_EQ(undo.UndoCount(), steps);
}

TEST_F(GraphTest, AFreedUndoStackIsDropped) {
    TVxGraph2D graph(&Form);
    graph.PaintToImage();
    auto undo = std::make_unique<TVxUndoStack>(&Form);
    graph.SetUndoStack(undo.get());
    EXPECT_EQ(graph.PrimaryXAxis()->UndoStack(), undo.get());
    undo.reset();
    EXPECT_EQ(graph.UndoStack(), nullptr);
    EXPECT_EQ(graph.PrimaryXAxis()->UndoStack(), nullptr);
    graph.SetDistanceBorderAxisLeft(7); // records nowhere, changes the value
    EXPECT_EQ(graph.DistanceBorderAxisLeft(), 7);
}

TEST_F(GraphTest, AnExceptionInAPaintLeavesTheGraphWorking) {
    TVxGraph2D graph(&Form);
    graph.PaintToImage();
    QStringList reports;
    SetEventExceptionHandler([&](const QString& Message) { reports << Message; });
    graph.PrimaryXAxis()->OnCalculated = [](TVxAxis*) { throw std::runtime_error("boom"); };
    graph.Modified();
    QImage target(graph.size(), QImage::Format_ARGB32_Premultiplied);
    graph.render(&target); // through the widget's paint event
    SetEventExceptionHandler({});
    EXPECT_EQ(reports, QStringList{"boom"});
    // Nothing was left set: the next layout runs and finishes.
    EXPECT_FALSE(graph.AxesCalculating());
    EXPECT_FALSE(graph.Updating());
    graph.PrimaryXAxis()->OnCalculated = nullptr;
    graph.Modified();
    graph.PaintToImage();
    EXPECT_FALSE(graph.NeedsRecalculation());
}

TEST_F(GraphTest, ACoupledGraphPaintedBeforeItsHostHasTheHostsAxisAndAlignedDataArea) {
    auto* host = new TVxGraph2D(&Form);
    host->resize(600, 200);
    auto* coupled = new TVxGraph2D(&Form);
    coupled->resize(600, 200);
    host->TestPrimaryAxis();
    TVxAxis* x = host->PrimaryXAxis();
    coupled->SetPrimaryXAxis(x);
    coupled->TestPrimaryAxis(); // only its Y axis is created
    // Wider Y labels: the coupled graph's own layout would start its data area further right.
    coupled->PrimaryYAxis()->SetStartStop(0, 100000);
    coupled->PaintToImage(); // the host was never laid out
    const QRectF a = host->DrawingArea();
    const QRectF b = coupled->DrawingArea();
    EXPECT_GT(a.width(), 0);
    EXPECT_EQ(a.left(), b.left());
    EXPECT_EQ(a.right(), b.right());
    // The shared axis spans the data area: its first to its last pixel.
    EXPECT_FLOAT_EQ(x->AxLeft(), float(b.left()));
    EXPECT_FLOAT_EQ(x->AxLength(), float(b.width() - 1));
}
