// TVxAxis with a fake host and fake series: setters and their undo records, ranges from
// the series, end modes, rounding once per range change, zoom history, scroll helpers.

#include "axes/Axis.h"

#include "ScaleFixture.h"

#include <QMetaProperty>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class FakeHost : public TVxAxisHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 12; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        ++Measured;
        return {7.0 * double(Text.size()), 14.0};
    }
    void AxisModified(TVxAxis&) override { ++ModifiedCount; }
    void AxisMovingSlitStarted(TVxAxis&) override { ++MovingSlitStarts; }
    bool Loading() const override { return IsLoading; }
    bool Panning() const override { return IsPanning; }
    int SeriesCount() const override { return Series; }

    mutable int Measured = 0;
    int ModifiedCount = 0;
    int MovingSlitStarts = 0;
    bool IsLoading = false;
    bool IsPanning = false;
    int Series = 1;
};

class FakeSeries : public TVxAxisRangeSource {
public:
    FakeSeries(double AStart, double AStop, double ASmallest = 0)
        : Range{AStart, AStop}, Smallest(ASmallest) {}
    bool SeriesVisible() const override { return Visible; }
    TVxValueRange AxisValueRange(bool) const override { return Range; }
    double SmallestPositiveValue(bool) const override { return Smallest; }
    void AxisRangeModifiedAlone(TVxAxis&) override { ++AloneCalls; }

    TVxValueRange Range;
    double Smallest;
    bool Visible = true;
    int AloneCalls = 0;
};

class AxisTest : public testing::Test {
protected:
    void SetUp() override {
        TVxFormatSettings::SetCurrent(InvariantSettings());
        Axis.SetName("XAxis");
        Axis.SetHost(&Host);
        Axis.SetUndoStack(&Undo);
    }
    void TearDown() override { Axis.SetHost(nullptr); }

    // What the graph does before painting.
    void Paint() {
        Axis.GetNewRanges();
        Axis.CalculateScale();
    }

    FakeHost Host;
    TVxUndoStack Undo;
    TVxAxis Axis;
};

TEST_F(AxisTest, PropertiesHaveTheirNamesAndEnumerationsAreEnumerations) {
    const QMetaObject* meta = Axis.metaObject();
    for (const char* name :
         {"Scaling", "Position", "StartEnd", "StopEnd", "EndRounding", "MajorGridMode"}) {
        const int index = meta->indexOfProperty(name);
        ASSERT_GE(index, 0) << name;
        EXPECT_TRUE(meta->property(index).isEnumType()) << name;
    }
    for (const char* name : {"Twisted",
                             "Start",
                             "Stop",
                             "MovingSlitWidth",
                             "MovingSlitIncrement",
                             "AutoTickParts",
                             "LabelPart",
                             "MajorTickPart",
                             "TickPart",
                             "LogToNormalScalingLevel",
                             "LabelDistanceFactor",
                             "MaxForExtraExponent",
                             "MinForExtraExponent",
                             "ExtraDigits",
                             "ShortMonthFormat",
                             "MilliSecondFormat",
                             "Horizontal",
                             "IsClipped",
                             "CanZoomBack",
                             "ZoomStage",
                             "ZoomBufferSize"})
        EXPECT_GE(meta->indexOfProperty(name), 0) << name;
}

TEST_F(AxisTest, SettersRecordUndoStepsThatRestore) {
    Axis.SetScaling(TVxAxisScaling::Log);
    Axis.SetStart(2);
    Axis.SetStartEnd(TVxAxisEnd::Fixed);
    EXPECT_EQ(Undo.UndoList(),
              (QStringList{"Auto ranging mode of axis start", "Axis range start", "Axis scaling"}));
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(Axis.StartEnd(), TVxAxisEnd::AutoRange);
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(Axis.Start(), 0);
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(Axis.Scaling(), TVxAxisScaling::Normal);
    // Restoring recorded nothing new.
    EXPECT_EQ(Undo.RedoCount(), 3);
}

TEST_F(AxisTest, SetterRules) {
    Axis.SetLabelPart(3); // ignored while automatic
    EXPECT_EQ(Axis.LabelPart(), 1);
    Axis.SetAutoTickParts(false);
    Axis.SetTickPart(0);
    EXPECT_DOUBLE_EQ(Axis.TickPart(), 0.001);
    Axis.SetMajorTickPart(-2);
    EXPECT_EQ(Axis.MajorTickPart(), 2);
    Axis.SetLabelDistanceFactor(50);
    EXPECT_FLOAT_EQ(Axis.LabelDistanceFactor(), 10);
    Axis.SetLabelDistanceFactor(0);
    EXPECT_FLOAT_EQ(Axis.LabelDistanceFactor(), 0.1f);
    Axis.SetLogToNormalScalingLevel(-3);
    EXPECT_EQ(Axis.LogToNormalScalingLevel(), 0);
    Axis.SetMaxForExtraExponent(-1e4);
    EXPECT_EQ(Axis.MaxForExtraExponent(), 1e4);
    Axis.SetStart(std::nan(""));
    Axis.SetStop(INFINITY);
    EXPECT_EQ(Axis.Start(), 0);
    EXPECT_EQ(Axis.Stop(), 10);
    Axis.SetStartEnd(TVxAxisEnd::MovingSlit);
    EXPECT_EQ(Axis.StartEnd(), TVxAxisEnd::Fixed);
    Axis.SetScaling(TVxAxisScaling::DateTime);
    EXPECT_TRUE(Axis.AutoTickParts());
    Axis.SetAutoTickParts(false);
    EXPECT_TRUE(Axis.AutoTickParts());
    Axis.SetStop(5e6);
    EXPECT_DOUBLE_EQ(Axis.Stop(), MaxDateTimeAxis);
    Axis.SetPosition(TVxAxisPosition::Left);
    EXPECT_FALSE(Axis.Horizontal());

    const int steps = Undo.UndoCount();
    Axis.SetTwisted(false); // unchanged: nothing recorded
    EXPECT_EQ(Undo.UndoCount(), steps);
}

TEST_F(AxisTest, StopEndMovingSlitFixesTheStartAndTellsTheGraph) {
    Axis.SetStopEnd(TVxAxisEnd::MovingSlit);
    EXPECT_EQ(Axis.StartEnd(), TVxAxisEnd::Fixed);
    EXPECT_EQ(Host.MovingSlitStarts, 1);
    EXPECT_EQ(Undo.UndoList(), QStringList{"Auto ranging mode of axis stop"});
}

TEST_F(AxisTest, DataRangeIsRoundedOncePerChange) {
    FakeSeries series(0.3, 8.7);
    Axis.AddRelatedSeries(&series);
    Axis.RangeModified();
    Paint();
    EXPECT_DOUBLE_EQ(Axis.Start(), 0);
    EXPECT_DOUBLE_EQ(Axis.Stop(), 9);
    EXPECT_DOUBLE_EQ(Axis.LabelPart(), 1);
    ASSERT_EQ(Axis.Labels().size(), 10u);
    EXPECT_EQ(Axis.Labels()[9].Caption, "9");
    // A repaint without a change keeps the partition.
    Paint();
    EXPECT_DOUBLE_EQ(Axis.LabelPart(), 1);
    Axis.RemoveRelatedSeries(&series);
}

TEST_F(AxisTest, VisibleFiniteSeriesMakeTheRange) {
    FakeSeries a(2, 5);
    FakeSeries hidden(-100, 100);
    FakeSeries broken(-INFINITY, NAN);
    FakeSeries b(4, 7);
    hidden.Visible = false;
    for (auto* s : {&a, &hidden, &broken, &b})
        Axis.AddRelatedSeries(s);
    Axis.SetEndRounding(TVxAxisEndRounding::RndNothing);
    Axis.RangeModified();
    Axis.GetNewRanges();
    EXPECT_EQ(Axis.Start(), 2);
    EXPECT_EQ(Axis.Stop(), 7);
    EXPECT_EQ(Axis.ValuesStart(), 2);
    EXPECT_EQ(Axis.ValuesStop(), 7);

    // Without visible data the initial range returns.
    a.Visible = b.Visible = false;
    Axis.RangeModified();
    Axis.GetNewRanges();
    EXPECT_EQ(Axis.Start(), 0);
    EXPECT_EQ(Axis.Stop(), 10);
}

TEST_F(AxisTest, FirstSetWidensOnlyToData) {
    FakeSeries series(2, 8);
    Axis.AddRelatedSeries(&series);
    Axis.SetEndRounding(TVxAxisEndRounding::RndNothing);
    Axis.SetStartEnd(TVxAxisEnd::FirstSet);
    Axis.GetNewRanges();
    EXPECT_EQ(Axis.Start(), 0);
    series.Range = {-3, 8};
    Axis.RangeModified();
    Axis.GetNewRanges();
    EXPECT_EQ(Axis.Start(), -3);
}

TEST_F(AxisTest, MovingSlitAdvancesInIncrements) {
    FakeSeries series(0, 23);
    Axis.AddRelatedSeries(&series);
    Axis.SetEndRounding(TVxAxisEndRounding::RndNothing);
    Axis.SetStopEnd(TVxAxisEnd::MovingSlit);
    const int steps = Undo.UndoCount();
    Axis.GetNewRanges();
    // Width 10, increment 10/3: the stop goes 10, 13 1/3, ..., 23 1/3.
    EXPECT_DOUBLE_EQ(Axis.MovingSlitWidth(), 10);
    EXPECT_DOUBLE_EQ(Axis.MovingSlitIncrement(), 10.0 / 3);
    EXPECT_NEAR(Axis.Stop(), 70.0 / 3, 1e-12);
    EXPECT_NEAR(Axis.Start(), 40.0 / 3, 1e-12);
    EXPECT_EQ(Undo.UndoCount(), steps); // stored back without undo records

    // An empty initial range falls back to a positive width; a data stop far away is
    // reached in one step.
    TVxAxis empty;
    empty.SetStart(5);
    empty.SetStop(5);
    empty.SetEndRounding(TVxAxisEndRounding::RndNothing);
    empty.SetStopEnd(TVxAxisEnd::MovingSlit);
    FakeSeries far(0, 1e15);
    empty.AddRelatedSeries(&far);
    empty.RangeModified();
    empty.GetNewRanges();
    EXPECT_GT(empty.MovingSlitWidth(), 0);
    EXPECT_GE(empty.Stop(), 1e15);
    EXPECT_LT(empty.Start(), empty.Stop());
}

TEST_F(AxisTest, LogStartFromTheSmallestPositiveValueOfTheSeries) {
    FakeSeries series(0, 1000, 3);
    Axis.AddRelatedSeries(&series);
    Axis.SetScaling(TVxAxisScaling::Log);
    Axis.RangeModified();
    Paint();
    EXPECT_DOUBLE_EQ(Axis.Start(), 1);
    EXPECT_DOUBLE_EQ(Axis.Stop(), 1000);
}

TEST_F(AxisTest, RangeModified) {
    Host.IsLoading = true;
    FakeSeries series(0, 5);
    Axis.AddRelatedSeries(&series);
    Axis.RangeModified();
    EXPECT_FALSE(Axis.RedoRange());
    Host.IsLoading = false;
    Axis.ZoomIn(1, 2);
    Axis.RangeModified();
    EXPECT_TRUE(Axis.RedoRange());
    EXPECT_FALSE(Axis.CanZoomBack());
    EXPECT_EQ(series.AloneCalls, 1);
}

TEST_F(AxisTest, ZoomHistory) {
    Axis.SetStartStop(0, 100);
    Axis.ZoomIn(10, 50); // A
    Axis.ZoomIn(20, 30); // B
    EXPECT_EQ(Axis.ZoomStage(), 2);
    EXPECT_EQ(Axis.ZoomBufferSize(), 3);
    Axis.ZoomBack();
    EXPECT_EQ(Axis.Start(), 10);
    Axis.ZoomBack();
    EXPECT_EQ(Axis.Start(), 0);
    EXPECT_EQ(Axis.Stop(), 100);
    Axis.ZoomBack(); // wraps to B
    EXPECT_EQ(Axis.Start(), 20);
    EXPECT_EQ(Axis.ZoomStage(), 2);
    Axis.RedoZoom(); // wraps to the unzoomed range
    EXPECT_EQ(Axis.ZoomStage(), 0);
    Axis.ZoomToStage(1);
    EXPECT_EQ(Axis.Stop(), 50);
    EXPECT_EQ(Axis.LastStop(), 50);
    Axis.ZoomIn(40, 45); // drops B
    EXPECT_EQ(Axis.ZoomBufferSize(), 3);
    EXPECT_EQ(Axis.ZoomHistory().StartAt(2), 40);
    Axis.ZoomToStage(0);
    EXPECT_EQ(Axis.Start(), 0);
    Axis.ZoomToStage(7); // no such stage
    EXPECT_EQ(Axis.ZoomStage(), 0);
    EXPECT_EQ(Axis.ScrollStart(), 0);
    EXPECT_EQ(Axis.ScrollStop(), 100);
}

TEST_F(AxisTest, ScrollHelpers) {
    Axis.SetStartStop(0, 100);
    Axis.ZoomIn(25, 50);
    EXPECT_EQ(Axis.ScrollPageSize(), 2500);
    EXPECT_EQ(Axis.ScrollPosition(25), 2500);
    EXPECT_EQ(Axis.ScrollPosition(1e300), 2000000000);
    // An empty span gives a full page instead of a division by zero.
    Axis.ZoomClearBuffer();
    Axis.SetStartStop(5, 5);
    EXPECT_EQ(Axis.ScrollPageSize(), 10000);
    EXPECT_EQ(Axis.ScrollPosition(7), 0);
}

TEST_F(AxisTest, ClippingToleranceIsRelativeToTheSpan) {
    Axis.SetScaling(TVxAxisScaling::DateTime);
    Axis.SetEndRounding(TVxAxisEndRounding::RndNothing);
    FakeSeries series(45000, 45001 + 10.0 / 86400); // ten seconds beyond the stop
    Axis.AddRelatedSeries(&series);
    Axis.SetStartEnd(TVxAxisEnd::Fixed);
    Axis.SetStopEnd(TVxAxisEnd::Fixed);
    Axis.SetStart(45000);
    Axis.SetStop(45001);
    Axis.RangeModified();
    Axis.GetNewRanges();
    EXPECT_DOUBLE_EQ(Axis.Stop(), 45001);
    EXPECT_TRUE(Axis.IsClipped());
    Host.Series = 0;
    EXPECT_FALSE(Axis.IsClipped());
}

TEST_F(AxisTest, CheckResizeAndTheCalculatingScope) {
    Axis.SetStartStop(2, 8);
    Axis.SetStartStop(3, 9);
    Axis.SetStartStop(0, 1); // FLast 0 .. 1
    Axis.ZoomIn(0.2, 0.4);
    {
        TVxAxesCalculatingScope scope(Host);
        Axis.SetSize(300, 20); // ignored while calculating
        EXPECT_EQ(Axis.Start(), 0.2);
    }
    EXPECT_FALSE(Host.AxesCalculating());
    try {
        TVxAxesCalculatingScope scope(Host);
        throw std::runtime_error("calculation failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(Host.AxesCalculating());
    Axis.SetSize(350, 20);
    EXPECT_EQ(Axis.Start(), 0.2); // LastStart is the zoomed range
    EXPECT_EQ(Axis.Width(), 350);
}

TEST_F(AxisTest, TransformFollowsTheRangeAndGeometry) {
    Axis.SetAxisGeometry(10, 0, 400);
    Axis.SetStartStop(0, 10);
    EXPECT_FLOAT_EQ(Axis.NumberToWorld(2.5), 110);
    Axis.SetStartStop(0, 20);
    EXPECT_FLOAT_EQ(Axis.NumberToWorld(2.5), 60);
    EXPECT_NEAR(Axis.WorldToNumber(60), 2.5, 1e-6);
    Axis.SetPosition(TVxAxisPosition::Left);
    Axis.SetAxisGeometry(0, 5, 200);
    EXPECT_FLOAT_EQ(Axis.NumberToWorld(0), 205);
}

TEST_F(AxisTest, LabelsAreMeasuredOnceAndMayBeReplaced) {
    Axis.OnGetScaleLabel = [](TVxAxis*, TVxScaleLabelEventArgs& Args) {
        if (Args.Value == 0)
            Args.Caption = "zero";
    };
    Axis.SetStartStop(-1, 1);
    Host.Measured = 0;
    Axis.CalculateScale();
    ASSERT_EQ(Axis.Labels().size(), 5u);
    EXPECT_EQ(Host.Measured, 5);
    EXPECT_EQ(Axis.Labels()[2].Caption, "zero");
    EXPECT_DOUBLE_EQ(Axis.MaxNumberLabelWidth(), 28); // "zero" and "-1.0": 4 * 7
    EXPECT_DOUBLE_EQ(Axis.MaxNumberLabelHeight(), 14);
    EXPECT_NEAR(Axis.MajorIncrement(), 0.5, 1e-12);
    EXPECT_NEAR(Axis.MinorIncrement(), 0.1, 1e-12);
}

} // namespace
