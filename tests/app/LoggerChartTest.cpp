// The logger's chart: its composition with the design values, and what a person sees with
// no readings, one reading, ten minutes and several days of readings.

#include "LoggerChart.h"

#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/LineSettings.h"
#include "styles/PointSymbolSettings.h"
#include "undo/UndoStack.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class LoggerChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        Times->setObjectName("VxDoubleVector1");
        Temperatures->setObjectName("VxDoubleVector2");
        Chart = ComposeLoggerChart(Window, {8, 272, 677, 199}, *Times, *Temperatures);
    }

    void AddReading(double Time, double Temperature) {
        Times->Add(Time);
        Temperatures->Add(Temperature);
    }

    // Paints the chart as the screen would and returns the picture.
    QImage Paint() { return Chart.VxGraph2D1->PaintToImage(); }

    // One synthetic mouse event on the chart.
    void Mouse(QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons) {
        QWidget* graph = Chart.VxGraph2D1;
        QMouseEvent e(Type, QPointF(At), graph->mapToGlobal(QPointF(At)), Qt::LeftButton, Buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(graph, &e);
    }
    // A left-button drag from one fraction of the data area to another, then a paint.
    void Drag(double Fx0, double Fy0, double Fx1, double Fy1) {
        const QRectF da = Chart.VxGraph2D1->DrawingArea();
        const auto at = [&](double Fx, double Fy) {
            return QPoint(int(da.x() + Fx * da.width()), int(da.y() + Fy * da.height()));
        };
        Mouse(QEvent::MouseButtonPress, at(Fx0, Fy0), Qt::LeftButton);
        Mouse(QEvent::MouseMove, at(Fx1, Fy1), Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at(Fx1, Fy1), Qt::NoButton);
        Paint();
    }
    // A point left of the data area, on the temperature labels.
    QPoint Beside() const {
        const QRectF da = Chart.VxGraph2D1->DrawingArea();
        return QPoint(int(da.x()) - 20, int(da.center().y()));
    }
    void Click(QPoint At) {
        Mouse(QEvent::MouseButtonPress, At, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, At, Qt::NoButton);
        Paint();
    }
    void DoubleClick(QPoint At) {
        Mouse(QEvent::MouseButtonPress, At, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, At, Qt::NoButton);
        Mouse(QEvent::MouseButtonDblClick, At, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, At, Qt::NoButton);
        Paint();
    }
    // Ten minutes of readings, one every 30 s, from 14:00.
    void TenMinutes() {
        for (int i = 0; i <= 20; ++i)
            AddReading(Start + i * 30.0 / 86400.0, 20 + (i % 3));
        Paint();
    }
    const double Start = EncodeDateTime(2024, 3, 1, 14, 0, 0);

    // Pixels that are mostly of one primary colour: the series line (red), its symbols (blue).
    static int CountPixels(const QImage& Image, bool Red) {
        int count = 0;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x) {
                const QColor c = Image.pixelColor(x, y);
                if (c.alpha() < 200)
                    continue;
                const int main = Red ? c.red() : c.blue();
                const int rest = Red ? std::max(c.green(), c.blue()) : std::max(c.red(), c.green());
                if (main > 200 && rest < 60)
                    ++count;
            }
        return count;
    }

    QWidget Window;
    TVxDoubleVector* Times = new TVxDoubleVector(&Window);
    TVxDoubleVector* Temperatures = new TVxDoubleVector(&Window);
    TLoggerChart Chart;
};

} // namespace

TEST_F(LoggerChartTest, IsComposedWithItsDesignValues) {
    TVxGraph2D& graph = *Chart.VxGraph2D1;
    EXPECT_EQ(graph.objectName(), "VxGraph2D1");
    EXPECT_EQ(graph.parentWidget(), &Window);
    EXPECT_EQ(graph.geometry(), QRect(8, 272, 677, 199));
    EXPECT_EQ(graph.BackColor(), VxColor(0x00FFFFFF));
    EXPECT_EQ(graph.DataAreaColor(), VxColor(0x00FFFFFF));
    EXPECT_EQ(graph.SmoothingMode(), TVxSmoothingMode::HighQuality);
    EXPECT_FALSE(graph.CaptionVisible());
    EXPECT_FALSE(graph.MajorGridHorizontal()->Visible());
    EXPECT_EQ(graph.MajorGridVertical()->DashStyle(), TDashStyle::DashStyleDash);
    EXPECT_EQ(graph.MinorGridVertical()->DashStyle(), TDashStyle::DashStyleDot);
    EXPECT_EQ(graph.PrimaryXAxis(), Chart.XAxis1);
    EXPECT_EQ(graph.PrimaryYAxis(), Chart.YAxis1);

    struct TAxisCase {
        TVxAxis* Axis;
        const char* Name;
        const char* Caption;
        TVxAxisPosition Position;
        TVxAxisScaling Scaling;
        double Start, Stop;
    };
    const TAxisCase axes[] = {
        {Chart.XAxis1, "XAxis1", "Time", TVxAxisPosition::Bottom, TVxAxisScaling::DateTime, -6, 15},
        {Chart.YAxis1, "YAxis1", "Temperature", TVxAxisPosition::Left, TVxAxisScaling::Normal, 0,
         10}};
    for (const TAxisCase& c : axes) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Axis->objectName(), c.Name);
        EXPECT_EQ(c.Axis->parent(), &Window);
        EXPECT_EQ(AxisLook(*c.Axis).Caption(), c.Caption);
        EXPECT_EQ(c.Axis->Position(), c.Position);
        EXPECT_EQ(c.Axis->Scaling(), c.Scaling);
        EXPECT_EQ(c.Axis->Start(), c.Start);
        EXPECT_EQ(c.Axis->Stop(), c.Stop);
        EXPECT_EQ(AxisLook(*c.Axis).CaptionColor(), VxColor(0xFF8B0000));
        EXPECT_EQ(AxisLook(*c.Axis).NumbersColor(), VxColor(0xFF00008B));
        EXPECT_EQ(AxisLook(*c.Axis).Font()->Name(), "Arial");
        EXPECT_EQ(AxisLook(*c.Axis).CaptionFont()->Name(), "Times New Roman");
    }

    TVxPointSeries& series = *Chart.VxPointSeries1;
    EXPECT_EQ(series.objectName(), "VxPointSeries1");
    EXPECT_EQ(series.XData(), Times);
    EXPECT_EQ(series.YData(), Temperatures);
    EXPECT_FALSE(series.OutliersVisible());
    EXPECT_EQ(series.Line()->Color(), VxColor(0xFFFF0000));
    EXPECT_TRUE(series.PointSymbol()->Visible());
    EXPECT_EQ(series.PointSymbol()->PointSymbol(), TVxPointSymbol::Circle);
    EXPECT_EQ(series.PointSymbol()->Size(), 11);

    TVxUndoStack& stack = *Chart.VxUndoStack1;
    EXPECT_EQ(graph.UndoStack(), &stack);
    EXPECT_TRUE(stack.Enabled());
    EXPECT_EQ(stack.Limit(), 20);
    EXPECT_TRUE(stack.ToMemoryStream());
    EXPECT_EQ(stack.UndoCount(), 0) << "composing the chart records nothing";
}

TEST_F(LoggerChartTest, WithoutReadingsShowsLabelledAxesAndNoSeries) {
    const QImage image = Paint();
    EXPECT_FALSE(Chart.XAxis1->Labels().empty());
    EXPECT_FALSE(Chart.YAxis1->Labels().empty());
    EXPECT_EQ(CountPixels(image, true), 0);
    EXPECT_EQ(CountPixels(image, false), 0);
}

TEST_F(LoggerChartTest, OneReadingIsRangedAroundAndDrawnAsASymbol) {
    const double t = EncodeDateTime(2024, 3, 1, 14, 5, 9);
    AddReading(t, 23.4);
    const QImage image = Paint();
    for (TVxAxis* axis : {Chart.XAxis1, Chart.YAxis1}) {
        EXPECT_TRUE(std::isfinite(axis->Start()) && std::isfinite(axis->Stop()));
        EXPECT_LT(axis->Start(), axis->Stop());
    }
    EXPECT_LE(Chart.XAxis1->Start(), t);
    EXPECT_GE(Chart.XAxis1->Stop(), t);
    EXPECT_LE(Chart.YAxis1->Start(), 23.4);
    EXPECT_GE(Chart.YAxis1->Stop(), 23.4);
    EXPECT_GT(CountPixels(image, false), 20) << "the blue circle of the reading";
}

TEST_F(LoggerChartTest, TenMinutesAreLabelledAsTimesOfDayAndDaysAsDates) {
    const double start = EncodeDateTime(2024, 3, 1, 14, 0, 0);
    for (int i = 0; i <= 20; ++i)
        AddReading(start + i * 30.0 / 86400.0, 20 + (i % 3));
    Paint();
    EXPECT_LE(Chart.XAxis1->Start(), start);
    EXPECT_GE(Chart.XAxis1->Stop(), start + 600.0 / 86400.0);
    const QRegularExpression timeOfDay(QStringLiteral("^\\d{1,2}:\\d{2}(:\\d{2})?$"));
    ASSERT_GE(Chart.XAxis1->Labels().size(), 2u);
    for (const TVxAxisLabel& label : Chart.XAxis1->Labels())
        EXPECT_TRUE(timeOfDay.match(label.Caption).hasMatch()) << label.Caption.toStdString();

    // Five days of hourly readings: the labels stand at midnights and show no clock time.
    for (int h = 1; h <= 5 * 24; ++h)
        AddReading(start + h / 24.0, 20 + (h % 5));
    Paint();
    ASSERT_GE(Chart.XAxis1->Labels().size(), 2u);
    for (const TVxAxisLabel& label : Chart.XAxis1->Labels()) {
        EXPECT_FALSE(label.Caption.contains(QLatin1Char(':'))) << label.Caption.toStdString();
        EXPECT_NEAR(label.Value, std::round(label.Value), 1e-9) << label.Caption.toStdString();
    }
}

TEST_F(LoggerChartTest, EachLaterReadingWidensTheTimeRangeAndIsDrawn) {
    const double start = EncodeDateTime(2024, 3, 1, 14, 0, 0);
    AddReading(start, 21);
    AddReading(start + 60 / 86400.0, 22);
    Paint();
    const double later = start + 3600 / 86400.0;
    ASSERT_LT(Chart.XAxis1->Stop(), later);
    AddReading(later, 23);
    const QImage image = Paint();
    EXPECT_GE(Chart.XAxis1->Stop(), later);
    EXPECT_GT(CountPixels(image, true), 10) << "the red line between the readings";
}

TEST_F(LoggerChartTest, ZoomsWithTheLeftButtonAndPansWithShift) {
    const TVxZoomSettings& zoom = *Chart.VxGraph2D1->Zoom();
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
    EXPECT_EQ(zoom.UndoStack(), Chart.VxUndoStack1);
}

TEST_F(LoggerChartTest, AReadingWhileZoomedReturnsTheTimeAxisToAllReadings) {
    TenMinutes();
    const double unzoomedWidth = Chart.XAxis1->Stop() - Chart.XAxis1->Start();
    Drag(0.3, 0.2, 0.6, 0.8);
    ASSERT_TRUE(Chart.XAxis1->CanZoomBack());
    ASSERT_LT(Chart.XAxis1->Stop() - Chart.XAxis1->Start(), unzoomedWidth / 2);

    const double later = Start + 11 * 60 / 86400.0;
    AddReading(later, 21);
    Paint();
    EXPECT_FALSE(Chart.XAxis1->CanZoomBack());
    EXPECT_LE(Chart.XAxis1->Start(), Start);
    EXPECT_GE(Chart.XAxis1->Stop(), later);
}

TEST_F(LoggerChartTest, WithoutReadingsAZoomStaysUntilSteppedBackOrReset) {
    TenMinutes();
    const double start = Chart.XAxis1->Start();
    const double stop = Chart.XAxis1->Stop();
    Drag(0.3, 0.2, 0.6, 0.8);
    const double zoomedStart = Chart.XAxis1->Start();
    ASSERT_GT(zoomedStart, start);
    for (int i = 0; i < 3; ++i) {
        Chart.VxGraph2D1->Poll();
        Paint();
    }
    EXPECT_EQ(Chart.XAxis1->Start(), zoomedStart);
    EXPECT_TRUE(Chart.VxGraph2D1->CanZoomBack());

    Click(Beside());
    EXPECT_EQ(Chart.VxGraph2D1->ZoomStage(), 0);
    EXPECT_EQ(Chart.XAxis1->Start(), start);
    EXPECT_EQ(Chart.XAxis1->Stop(), stop);

    Drag(0.3, 0.2, 0.6, 0.8);
    Drag(0.3, 0.2, 0.6, 0.8);
    ASSERT_EQ(Chart.VxGraph2D1->ZoomStage(), 2);
    DoubleClick(Beside());
    EXPECT_FALSE(Chart.XAxis1->CanZoomBack());
    EXPECT_FALSE(Chart.YAxis1->CanZoomBack());
    EXPECT_EQ(Chart.XAxis1->Start(), start);
    EXPECT_EQ(Chart.XAxis1->Stop(), stop);
}
