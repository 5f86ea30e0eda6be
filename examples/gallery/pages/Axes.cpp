// Axis scalings: a logarithmic frequency axis at the bottom with the response of a low-pass
// filter, and a date-time axis on top with a seconds axis on the right for the length of
// the day over two months. Any axis can carry series; the grids follow the primary axes.
#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/LineSettings.h"
#include "undo/UndoStack.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <cmath>

namespace {

TVxAxis* NewAxis(QWidget& form, TVxGraph2D& graph, const char* name, TVxAxisPosition position,
                 TVxAxisScaling scaling, const char* caption) {
    auto* axis = new TVxAxis(&form);
    axis->setObjectName(name);
    axis->SetPosition(position);
    axis->SetScaling(scaling);
    AxisLook(*axis).SetCaption(caption);
    graph.AddAxis(axis);
    return axis;
}

TVxLineSeries* NewSeries(QWidget& form, const char* name, TVxAxis* x, TVxAxis* y, TVxColor colour) {
    auto* series = new TVxLineSeries(&form);
    series->setObjectName(name);
    for (const char* suffix : {"X", "Y"}) {
        auto* values = new TVxDoubleVector(&form);
        values->SetName(QString(name) + suffix);
        (*suffix == 'X' ? series->SetXData(values) : series->SetYData(values));
    }
    series->SetXAxis(x);
    series->SetYAxis(y);
    series->Line()->SetColor(colour);
    series->Line()->SetWidth(2);
    return series;
}

} // namespace

void BuildAxes(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFFFFFFF));
    graph->MajorGridVertical()->SetVisible(true); // at the decades of the log axis
    graph->MajorGridVertical()->SetColor(VxColor(0xFF40A040));
    graph->MinorGridVertical()->SetVisible(true);
    graph->MinorGridVertical()->SetColor(VxColor(0xFFE0E0E0));

    // Fixed ends 1 .. 10^4: each decade takes a quarter of the width.
    TVxAxis* frequency = NewAxis(form, *graph, "Frequency", TVxAxisPosition::Bottom,
                                 TVxAxisScaling::LogEE, "Frequency (Hz)");
    frequency->SetStart(1);
    frequency->SetStop(1e4);
    frequency->SetStartEnd(TVxAxisEnd::Fixed);
    frequency->SetStopEnd(TVxAxisEnd::Fixed);
    TVxAxis* gain =
        NewAxis(form, *graph, "Gain", TVxAxisPosition::Left, TVxAxisScaling::Normal, "Gain (dB)");
    graph->SetPrimaryXAxis(frequency);
    graph->SetPrimaryYAxis(gain);
    TVxLineSeries* response = NewSeries(form, "Response", frequency, gain, VxColor(0xFF1F4E9A));
    for (int i = 0; i <= 400; ++i) { // a first-order low-pass at 100 Hz
        const double f = std::pow(10.0, i / 100.0);
        response->XData()->Add(f);
        response->YData()->Add(-10 * std::log10(1 + (f / 100) * (f / 100)));
    }

    // Dates on top, durations on the right: a TDateTime counts days, a duration seconds.
    TVxAxis* date =
        NewAxis(form, *graph, "Date", TVxAxisPosition::Top, TVxAxisScaling::DateTime, "Date");
    TVxAxis* dayLength = NewAxis(form, *graph, "Daylight", TVxAxisPosition::Right,
                                 TVxAxisScaling::Seconds, "Length of the day");
    TVxLineSeries* days = NewSeries(form, "Days", date, dayLength, VxColor(0xFFE07020));
    const TDateTime first = EncodeDateTime(2024, 3, 1);
    for (int d = 0; d < 61; ++d) { // 52 degrees north, around the equinox
        days->XData()->Add(first + d);
        days->YData()->Add(3600 * (12 + 4.2 * std::sin(2 * M_PI * (d - 19) / 365.25)));
    }
}
