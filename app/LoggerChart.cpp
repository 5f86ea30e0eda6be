#include "LoggerChart.h"

#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/AreaSettings.h"
#include "styles/LineSettings.h"
#include "styles/PointSymbolSettings.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

namespace {

constexpr TVxColor Black = VxColor(0xFF000000);
constexpr TVxColor Red = VxColor(0xFFFF0000);
constexpr TVxColor Blue = VxColor(0xFF0000FF);
constexpr TVxColor Green = VxColor(0xFF008000);
constexpr TVxColor Gray = VxColor(0xFF808080);
constexpr TVxColor DarkRed = VxColor(0xFF8B0000);
constexpr TVxColor DarkBlue = VxColor(0xFF00008B);
constexpr TVxColor Transparent = VxColor(0x00FFFFFF);

void SetFont(TVxFont& Font, const char* Name, float Size, TVxColor Color) {
    Font.SetName(QString::fromLatin1(Name));
    Font.SetSize(Size);
    Font.SetStyle(TVxFontStyle::Bold);
    Font.SetFillColor(Color);
}

void SetGrid(TVxLineSettings& Grid, TVxColor Color, TDashStyle Dash) {
    Grid.SetVisible(false);
    Grid.SetColor(Color);
    Grid.SetDashStyle(Dash);
    Grid.SetWidth(1);
}

// The design values both axes share.
TVxAxis* NewAxis(QWidget& Window, TVxGraph2D& Graph, const char* Name, const char* Caption,
                 TVxAxisPosition Position, TVxAxisScaling Scaling, double Start, double Stop) {
    auto* axis = new TVxAxis(&Window);
    axis->SetName(QString::fromLatin1(Name));
    axis->SetPosition(Position);
    axis->SetScaling(Scaling);
    axis->SetStart(Start);
    axis->SetStop(Stop);
    axis->SetStartEnd(TVxAxisEnd::AutoRange);
    axis->SetStopEnd(TVxAxisEnd::AutoRange);
    axis->SetEndRounding(TVxAxisEndRounding::RndToMajorZoomToMinor);
    axis->SetAutoTickParts(true);
    axis->SetMajorGridMode(TVxMajorGridMode::AtLabel);
    axis->SetLabelDistanceFactor(1);
    axis->SetExtraDigits(0);
    axis->SetMaxForExtraExponent(1000);
    axis->SetMinForExtraExponent(0.001);
    axis->SetTwisted(false);

    TVxAxisLook& look = AxisLook(*axis);
    look.SetCaption(QString::fromLatin1(Caption));
    look.SetCaptionAlignment(TVxCaptionAlignment::Center);
    look.SetCaptionVisible(true);
    look.SetCaptionHorizontalOnVerticalAxis(false);
    SetFont(*look.CaptionFont(), "Times New Roman", 14, DarkRed);
    SetFont(*look.Font(), "Arial", 12, DarkBlue);
    look.SetNumbersVisible(true);
    look.SetForeColor(Black);
    look.SetMajorTickColor(Black);
    look.SetTickColor(Black);
    look.SetAxisThicknes(1);
    look.SetMajorTickThicknes(1);
    look.SetTickThicknes(1);
    look.SetMajorTickLength(10);
    look.SetTickLength(6);
    look.SetDistanceAxisExtraExponent(10);
    look.SetTicksPointToData(false);
    Graph.AddAxis(axis);
    return axis;
}

} // namespace

TLoggerChart ComposeLoggerChart(QWidget& Window, const QRect& Geometry, TVxDoubleVector& Times,
                                TVxDoubleVector& Temperatures) {
    TLoggerChart chart;

    chart.VxUndoStack1 = new TVxUndoStack(&Window);
    chart.VxUndoStack1->SetName(QStringLiteral("VxUndoStack1"));
    chart.VxUndoStack1->SetEnabled(true);
    chart.VxUndoStack1->SetLimit(20);
    chart.VxUndoStack1->SetToMemoryStream(true);

    auto* graph = new TVxGraph2D(&Window);
    chart.VxGraph2D1 = graph;
    graph->setObjectName(QStringLiteral("VxGraph2D1"));
    graph->setGeometry(Geometry);
    graph->SetBackColor(Transparent);
    graph->SetDataAreaColor(Transparent);
    graph->BackgroundGradient()->SetLinearAngle(90);
    graph->DataAreaGradient()->SetLinearAngle(90);
    graph->SetSmoothingMode(TVxSmoothingMode::HighQuality);
    graph->SetCaption(QStringLiteral("VxGraph2D1"));
    graph->SetCaptionAlignment(TVxCaptionAlignment::Center);
    graph->SetCaptionColor(Black);
    graph->SetCaptionVisible(false);
    graph->SetZeroOrigin(false);
    graph->DataAreaFrame()->SetVisible(false);
    graph->DataAreaFrame()->SetColor(Black);
    graph->DataAreaFrame()->SetWidth(1);
    SetGrid(*graph->MajorGridHorizontal(), Green, TDashStyle::DashStyleDash);
    SetGrid(*graph->MajorGridVertical(), Green, TDashStyle::DashStyleDash);
    SetGrid(*graph->MinorGridHorizontal(), Gray, TDashStyle::DashStyleDot);
    SetGrid(*graph->MinorGridVertical(), Gray, TDashStyle::DashStyleDot);

    chart.XAxis1 = NewAxis(Window, *graph, "XAxis1", "Time", TVxAxisPosition::Bottom,
                           TVxAxisScaling::DateTime, -6, 15);
    chart.YAxis1 = NewAxis(Window, *graph, "YAxis1", "Temperature", TVxAxisPosition::Left,
                           TVxAxisScaling::Normal, 0, 10);
    chart.YAxis1->SetLabelPart(0.5);
    chart.YAxis1->SetMajorTickPart(0.5);
    chart.YAxis1->SetTickPart(0.1);
    graph->SetPrimaryXAxis(chart.XAxis1);
    graph->SetPrimaryYAxis(chart.YAxis1);

    // Zooming with the left button, panning with Shift and the left button, a click beside
    // the data area steps back, a double click beside it resets, scrollbars while zoomed.
    TVxZoomSettings& zoom = *graph->Zoom();
    zoom.SetAuto(true);
    zoom.SetBufferType(TVxZoomBufferType::AsStack);
    zoom.SetOptimizeSeries(false);
    zoom.SetBackOnClickBeside(true);
    zoom.SetBackOnRightBottomLeftTopFrame(false);
    zoom.SetResetOnDoubleClickBeside(true);
    zoom.SetResetOnRightBottomLeftTopFrame(false);
    zoom.SetStartZoom(TVxShift::Left);
    zoom.SetStartPanning(TVxShift::Shift | TVxShift::Left);
    zoom.SetPanningCursor(Qt::PointingHandCursor);
    zoom.SetHScrollbarVisible(true);
    zoom.SetVScrollbarVisible(true);
    zoom.SetScrollSmallIncrement(TVxScrollIncrement::MinorTick);
    zoom.SetScrollLargeIncrement(TVxScrollIncrement::Page);

    auto* series = new TVxPointSeries(&Window);
    chart.VxPointSeries1 = series;
    series->SetName(QStringLiteral("VxPointSeries1"));
    series->SetCaption(QStringLiteral("VxPointSeries1"));
    series->SetVisible(true);
    series->SetIncludeInLegend(true);
    series->SetAutoUpdate(true);
    series->SetOutliersVisible(false);
    series->Line()->SetVisible(true);
    series->Line()->SetColor(Red);
    series->Line()->SetWidth(1);
    series->Area()->SetVisible(false);
    series->Area()->SetForeColor(VxColor(0xFFD3D3D3));
    series->Area()->SetBackColor(VxColor(0xFFA9A9A9));
    series->Area()->SetAreaStyle(TVxAreaStyle::Total);
    series->PointSymbol()->SetVisible(true);
    series->PointSymbol()->SetPointSymbol(TVxPointSymbol::Circle);
    series->PointSymbol()->SetSize(11);
    series->PointSymbol()->SetBorderLineWidth(1);
    series->PointSymbol()->SetBorderColor(Blue);
    series->PointSymbol()->SetFillColor(Blue);
    series->SetXAxis(chart.XAxis1);
    series->SetYAxis(chart.YAxis1);
    series->SetXData(&Times);
    series->SetYData(&Temperatures);

    // The stack last, so that composing the chart records nothing.
    graph->SetUndoStack(chart.VxUndoStack1);
    return chart;
}
