// Curves through a step in the readings: Akima's spline stays flat where the data are flat,
// the cubic spline overshoots, the smoothing spline trades closeness for calm. The slope
// and the integral of Akima's curve have an axis each on the right.

#include "GalleryPage.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/InterpolationSeries.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

void BuildSplines(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFF9F9F9));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    const auto rightAxis = [&](const char* name) {
        auto* axis = new TVxAxis(&form);
        axis->setObjectName(name);
        axis->SetPosition(TVxAxisPosition::Right);
        graph->AddAxis(axis); // the last added lies outermost
        return axis;
    };
    fix(graph->PrimaryXAxis(), 0, 10, "Distance (m)");
    fix(graph->PrimaryYAxis(), 0, 6, "Depth (m)");
    TVxAxis* slopeAxis = rightAxis("SlopeAxis");
    fix(slopeAxis, -2, 4, "Slope");
    TVxAxis* areaAxis = rightAxis("AreaAxis");
    fix(areaAxis, 0, 60, "Cross-section (m\\+2\\+)");

    auto* x = new TVxDoubleVector(&form);
    x->setObjectName("Distance");
    auto* y = new TVxDoubleVector(&form);
    y->setObjectName("Depth");
    const double depths[] = {1, 1.1, 1, 1.2, 1.1, 4, 4.9, 5, 5.1, 4.9, 5};
    for (int i = 0; i <= 10; ++i) {
        x->Add(i);
        y->Add(depths[i]);
    }
    const auto bind = [&](TVxSeries* s, const char* name, const char* caption, TVxAxis* axis,
                          TVxColor color) {
        s->setObjectName(name);
        s->SetCaption(caption);
        s->Line()->SetColor(color);
        s->Line()->SetWidth(2);
        s->SetXData(x);
        s->SetYData(y);
        s->SetXAxis(graph->PrimaryXAxis());
        s->SetYAxis(axis);
        return s;
    };
    bind(new TVxPointSeries(&form), "Soundings", "Soundings", graph->PrimaryYAxis(),
         VxColor(0xFF000000))
        ->Line()
        ->SetVisible(false);
    bind(new TVxInterpolation(&form), "Akima", "Akima", graph->PrimaryYAxis(), VxColor(0xFF1F77B4));
    auto* cubic = new TVxInterpolation(&form);
    cubic->SetInterpolationMethod(TVxInterpolationMethod::CubicSpline);
    bind(cubic, "Cubic", "Cubic spline", graph->PrimaryYAxis(), VxColor(0xFFFF7F0E));
    auto* smooth = new TVxInterpolation(&form);
    smooth->SetInterpolationMethod(TVxInterpolationMethod::ApproximativeSpline);
    smooth->SetElasticityFactor(0.3); // smaller: smoother, farther from the points
    bind(smooth, "Smoothing", "Smoothing spline", graph->PrimaryYAxis(), VxColor(0xFF2CA02C));
    bind(new TVxDifferential(&form), "Slope", "Slope of Akima", slopeAxis, VxColor(0xFF9467BD));
    bind(new TVxIntegral(&form), "Integral", "Integral of Akima", areaAxis, VxColor(0xFF8C564B));

    auto* legend = new TVxLegend(&form);
    legend->setObjectName("Legend1");
    legend->SetGraph(graph);
    legend->SetPosition(TVxLegendPosition::BottomCenterOfAxis);
}
