// The graph's captions: the title drawn through its markup runs at positions derived from
// QFontMetricsF of DejaVu Sans, and captions showing the variables of series and graphs
// refreshed when those change (the graph is told to lay out again), with dependents that
// died meanwhile skipped.

#include "../captions/CaptionTestSupport.h"
#include "annotations/RichLabel.h"
#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QPointF Origin(const TVxDrawRecord& r) {
    return r.Transform.map(r.Rect.topLeft());
}

class GraphCaption : public ::testing::Test {
protected:
    void SetUp() override {
        Form.setObjectName(u"Form1"_qs);
        Graph = new TVxGraph2D(&Form);
        Graph->setObjectName(u"Graph1"_qs);
        Graph->resize(600, 400);
        Graph->TestPrimaryAxis();
        X = Graph->PrimaryXAxis();
        Y = Graph->PrimaryYAxis();
        Series = new TVxLineSeries(&Form);
        Series->SetName(u"Series1"_qs);
        Series->SetCaption(u"Inflow"_qs);
        Graph->Calculate();
    }

    QWidget Form;
    TVxGraph2D* Graph = nullptr;
    TVxAxis* X = nullptr;
    TVxAxis* Y = nullptr;
    TVxLineSeries* Series = nullptr;
};

} // namespace

TEST_F(GraphCaption, TitleIsDrawnThroughItsRuns) {
    TVxFont* font = Graph->CaptionFont();
    font->SetName(TestFamily);
    font->SetStyle({});
    font->SetSize(14);
    Graph->SetCaption(u"H\\+2\\+O\\b!"_qs);
    Graph->SetCaptionVisible(true);
    Graph->SetCaptionDistanceBefore(3);
    Graph->Calculate();
    TVxRecordingSurface surface;
    Graph->PaintGr(surface);
    std::vector<TVxDrawRecord> runs;
    for (const TVxDrawRecord& r : surface.RecordsOf(TVxDrawOp::DrawString))
        if (r.Font.Family == TestFamily && r.Font.Size < 15)
            runs.push_back(r);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].Text, u"H"_qs);
    EXPECT_EQ(runs[1].Text, u"2"_qs);
    EXPECT_EQ(runs[2].Text, u"O"_qs);
    EXPECT_EQ(runs[3].Text, u"!"_qs);
    EXPECT_NEAR(runs[1].Font.Size, 14 * 0.66, 1e-5);
    EXPECT_TRUE(runs[3].Font.Bold);

    // The block: the runs (the superscript's 0.045 h added and taken back) and the padding,
    // centred on the graph, its top CaptionDistanceBefore below the top edge.
    const TReferenceMetrics full(14), small(14 * 0.66), bold(14, true);
    const double h = full.LineHeight();
    const double width = full.Run(u"H"_qs) + small.Run(u"2"_qs) + full.Run(u"O"_qs) +
                         bold.Run(u"!"_qs) + 2 * SidePadding(14);
    EXPECT_NEAR(Graph->TitleSize().width(), width, 1e-3);
    EXPECT_NEAR(Graph->TitleSize().height(), h, 1e-3);
    const double x0 = 300 - width / 2 + SidePadding(14);
    const std::vector<QPointF> expected{
        {x0, 3},
        {x0 + full.Run(u"H"_qs) + 0.045 * h, 3 - 0.075 * h},
        {x0 + full.Run(u"H"_qs) + small.Run(u"2"_qs), 3},
        {x0 + full.Run(u"H"_qs) + small.Run(u"2"_qs) + full.Run(u"O"_qs), 3},
    };
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_NEAR(Origin(runs[i]).x(), expected[i].x(), 1e-3) << i;
        EXPECT_NEAR(Origin(runs[i]).y(), expected[i].y(), 1e-3) << i;
    }
}

TEST_F(GraphCaption, SeriesVariablesInAxisCaptionAndTitleFollowTheSeries) {
    AxisLook(*X).SetCaption(u"<%Form1.Series1.Caption%> in l/s"_qs);
    AxisLook(*Y).SetCaption(u"\\b<%Form1.Series1.Name%>"_qs);
    Graph->SetCaption(u"Run of <%Form1.Series1.Caption%>"_qs);
    Graph->Calculate();
    EXPECT_EQ(AxisLook(*X).CaptionRecord().FText, u"Inflow in l/s"_qs);
    EXPECT_EQ(AxisLook(*Y).CaptionRecord().FText, u"Series1"_qs);
    EXPECT_EQ(Graph->TitleRecord().FText, u"Run of Inflow"_qs);
    EXPECT_TRUE(Series->FObjectsToUpdate.Contains(&AxisLook(*X)));
    EXPECT_TRUE(Series->FObjectsToUpdate.Contains(Graph));

    // A new caption of the series makes the graph lay out again, which shows it.
    ASSERT_FALSE(Graph->NeedsRecalculation());
    Series->SetCaption(u"Outflow"_qs);
    EXPECT_TRUE(Graph->NeedsRecalculation());
    Graph->Calculate();
    EXPECT_EQ(AxisLook(*X).CaptionRecord().FText, u"Outflow in l/s"_qs);
    EXPECT_EQ(Graph->TitleRecord().FText, u"Run of Outflow"_qs);
    EXPECT_NEAR(AxisLook(*X).Placement.Caption.Width, AxisLook(*X).CaptionRecord().FWidth, 1e-9);

    // A rename refreshes too; the old path names nothing now, so the placeholder shows itself.
    ASSERT_FALSE(Graph->NeedsRecalculation());
    Series->SetName(u"Pump"_qs);
    EXPECT_TRUE(Graph->NeedsRecalculation());
    Graph->Calculate();
    EXPECT_EQ(AxisLook(*Y).CaptionRecord().FText, u"<%Form1.Series1.Name%>"_qs);
}

TEST_F(GraphCaption, GraphVariablesAndNumberLabelsWithPlaceholders) {
    // An axis caption showing the graph's caption; the labels made by a handler may hold
    // placeholders too.
    Graph->SetCaption(u"Tank 4"_qs);
    AxisLook(*Y).SetCaption(u"Level of <%Form1.Graph1.Caption%>"_qs);
    X->OnGetScaleLabel = [](TVxAxis*, TVxScaleLabelEventArgs& e) {
        e.Caption = u"<%Form1.Series1.Caption%>"_qs;
    };
    X->Modified();
    Graph->Calculate();
    EXPECT_EQ(AxisLook(*Y).CaptionRecord().FText, u"Level of Tank 4"_qs);
    ASSERT_FALSE(AxisLook(*X).Placement.Labels.empty());
    EXPECT_EQ(AxisLook(*X).Placement.Labels.front().Rec.FText, u"Inflow"_qs);

    Graph->SetCaption(u"Tank 5"_qs);
    Graph->Calculate();
    EXPECT_EQ(AxisLook(*Y).CaptionRecord().FText, u"Level of Tank 5"_qs);
    Series->SetCaption(u"Drain"_qs);
    EXPECT_TRUE(Graph->NeedsRecalculation());
    Graph->Calculate();
    EXPECT_EQ(AxisLook(*X).Placement.Labels.front().Rec.FText, u"Drain"_qs);
}

TEST_F(GraphCaption, DestroyedDependentsAreSkipped) {
    auto* label = new TVxRichLabel(&Form);
    label->SetCaption(u"<%Form1.Series1.Caption%>"_qs);
    AxisLook(*X).SetCaption(u"<%Form1.Series1.Caption%>"_qs);
    Graph->Calculate();
    ASSERT_EQ(label->PlainText(), u"Inflow"_qs);
    ASSERT_EQ(Series->FObjectsToUpdate.Items().size(), 2u);

    delete label;
    delete X; // its look goes with it
    Series->SetCaption(u"Outflow"_qs);
    EXPECT_TRUE(Series->FObjectsToUpdate.Items().empty());
}
