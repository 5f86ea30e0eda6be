// Zoom, panning and scrollbars on two graphs sharing one time axis: drag a rectangle to
// zoom, drag with Shift to pan, use the scrollbars that appear while zoomed, click beside
// the data area to step back and double-click beside it to reset. Both graphs follow every
// step, and Ctrl+Z takes it back.
#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "graph/ZoomSettings.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <random>

namespace {

TVxGraph2D* NewGraph(QWidget& form, const char* name, QRect bounds, TVxUndoStack* undo) {
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName(name);
    graph->setGeometry(bounds);
    graph->SetUndoStack(undo);
    TVxZoomSettings& zoom = *graph->Zoom();
    zoom.SetStartZoom(TVxShift::Left);
    zoom.SetStartPanning(TVxShift::Shift | TVxShift::Left);
    zoom.SetHScrollbarVisible(true);
    zoom.SetVScrollbarVisible(true);
    return graph;
}

TVxAxis* NewAxis(QWidget& form, TVxGraph2D& graph, const char* name, TVxAxisPosition position,
                 const char* caption) {
    auto* axis = new TVxAxis(&form);
    axis->setObjectName(name);
    axis->SetPosition(position);
    AxisLook(*axis).SetCaption(caption);
    graph.AddAxis(axis);
    return axis;
}

} // namespace

void BuildZoomPan(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    const int half = form.height() / 2;
    // The lower graph hosts the time axis; the upper one shows its series on the same axis.
    TVxGraph2D* lower = NewGraph(form, "Lower", QRect(0, half, form.width(), half), undo);
    TVxGraph2D* upper = NewGraph(form, "Upper", QRect(0, 0, form.width(), half), undo);
    auto* time = new TVxAxis(&form);
    time->setObjectName("Time");
    time->SetScaling(TVxAxisScaling::DateTime);
    lower->AddAxis(time);
    lower->SetPrimaryXAxis(time);
    lower->SetPrimaryYAxis(NewAxis(form, *lower, "Humidity", TVxAxisPosition::Left, "RH (%)"));
    upper->SetPrimaryXAxis(time); // shared: the graphs are coupled
    upper->SetPrimaryYAxis(NewAxis(form, *upper, "Temperature", TVxAxisPosition::Left, "\u00b0C"));

    // Two days of readings every five minutes from a fixed start, with seeded noise.
    auto* times = new TVxDoubleVector(&form);
    times->SetName("Times");
    auto* temperatures = new TVxDoubleVector(&form);
    temperatures->SetName("Temperatures");
    auto* humidities = new TVxDoubleVector(&form);
    humidities->SetName("Humidities");
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(0, 0.3);
    const TDateTime start = EncodeDateTime(2024, 6, 1);
    for (int i = 0; i < 2 * 288; ++i) {
        const double day = i / 288.0;
        times->Add(start + day);
        temperatures->Add(18 - 5 * std::cos(2 * M_PI * (day - 0.125)) + noise(random));
        humidities->Add(60 + 15 * std::cos(2 * M_PI * (day - 0.125)) + 4 * noise(random));
    }
    const struct {
        const char* Name;
        TVxGraph2D* Graph;
        TVxDoubleVector* Values;
        TVxColor Colour;
    } rows[] = {{"TemperatureSeries", upper, temperatures, VxColor(0xFFD62728)},
                {"HumiditySeries", lower, humidities, VxColor(0xFF1F77B4)}};
    for (const auto& row : rows) {
        auto* series = new TVxLineSeries(&form);
        series->setObjectName(row.Name);
        series->SetXData(times);
        series->SetYData(row.Values);
        series->SetXAxis(time);
        series->SetYAxis(row.Graph->PrimaryYAxis());
        series->Line()->SetColor(row.Colour);
    }
}
