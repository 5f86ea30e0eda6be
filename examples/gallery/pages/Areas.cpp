// Filled areas: a gradient under a curve, a hatched area, and a band filled between two
// series, over a data area with a gradient of its own.
#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/AreaSettings.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>

namespace {

TVxLineSeries* Curve(QWidget& form, TVxGraph2D& graph, TVxDoubleVector* x, const char* name,
                     TVxColor colour, double (*f)(double)) {
    auto* y = new TVxDoubleVector(&form);
    y->SetName(QString(name) + "Values");
    for (int i = 0; i < x->GetCount(); ++i)
        y->Add(f(x->GetValue(i)));
    auto* series = new TVxLineSeries(&form);
    series->setObjectName(name);
    series->SetXData(x);
    series->SetYData(y);
    series->SetXAxis(graph.PrimaryXAxis());
    series->SetYAxis(graph.PrimaryYAxis());
    series->Line()->SetColor(colour);
    series->Line()->SetWidth(2);
    return series;
}

} // namespace

void BuildAreas(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->DataAreaGradient()->SetVisible(true); // pale at the top, white below
    graph->DataAreaGradient()->SetFirstColor(VxColor(0xFFFFFFFF));
    graph->DataAreaGradient()->SetLastColor(VxColor(0xFFE8F0FF));
    graph->DataAreaGradient()->SetMiddleColor(VxColor(0xFFF4F8FF));
    graph->DataAreaGradient()->SetLinearAngle(90);
    graph->TestPrimaryAxis();
    TVxAxis* yAxis = graph->PrimaryYAxis();
    yAxis->SetStart(-4); // fixed ends: every area keeps its place
    yAxis->SetStop(6);
    yAxis->SetStartEnd(TVxAxisEnd::Fixed);
    yAxis->SetStopEnd(TVxAxisEnd::Fixed);

    auto* x = new TVxDoubleVector(&form);
    x->SetName("X");
    for (int i = 0; i <= 200; ++i)
        x->Add(i * 0.05);

    // A gradient below a hump: the area runs from the line down to the X axis' zero.
    TVxLineSeries* hump = Curve(form, *graph, x, "Hump", VxColor(0xFF1F4E9A),
                                [](double t) { return 5 * std::exp(-0.5 * (t - 3) * (t - 3)); });
    hump->Area()->SetVisible(true);
    hump->Area()->Gradient()->SetVisible(true);
    hump->Area()->Gradient()->SetFirstColor(VxColor(0xC01F4E9A));
    hump->Area()->Gradient()->SetLastColor(VxColor(0x201F4E9A));
    hump->Area()->Gradient()->SetMiddleColor(VxColor(0x801F4E9A));
    hump->Area()->Gradient()->SetLinearAngle(90);

    // A hatch: foreground lines over a background colour (transparent here).
    TVxLineSeries* dip = Curve(form, *graph, x, "Dip", VxColor(0xFFB03020),
                               [](double t) { return -3 * std::exp(-(t - 7.5) * (t - 7.5)); });
    dip->Area()->SetVisible(true);
    dip->Area()->SetAreaStyle(TVxAreaStyle::DiagonalCross);
    dip->Area()->SetForeColor(VxColor(0xFFB03020));
    dip->Area()->SetBackColor(VxColor(0x00FFFFFF));

    // A band: the upper series closes its area on the lower series' line.
    TVxLineSeries* lower = Curve(form, *graph, x, "Lower", VxColor(0xFF2E7D32),
                                 [](double t) { return 2 + 0.3 * std::sin(2 * t); });
    TVxLineSeries* upper = Curve(form, *graph, x, "Upper", VxColor(0xFF2E7D32),
                                 [](double t) { return 3 + 0.3 * std::sin(2 * t + 1); });
    upper->SetDrawBandTo(lower);
    upper->Area()->SetForeColor(VxColor(0x602E7D32));
    AxisLook(*yAxis).SetCaption("Value");
    AxisLook(*graph->PrimaryXAxis()).SetCaption("Time (s)");
}
