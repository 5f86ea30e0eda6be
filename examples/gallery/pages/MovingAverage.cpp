// Noisy readings smoothed three ways: a simple average of the 15 readings on either side,
// a linearly weighted one of the 15 before each reading (it lags, as a live display would),
// and an exponentially weighted one over an x distance.

#include "GalleryPage.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/MovingAverageSeries.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <random>

void BuildMovingAverage(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFFBFBF8));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(graph->PrimaryXAxis(), 0, 24, "Hour");
    fix(graph->PrimaryYAxis(), 10, 30, "Temperature (\u00b0C)");

    auto* hours = new TVxDoubleVector(&form);
    hours->setObjectName("Hours");
    auto* readings = new TVxDoubleVector(&form);
    readings->setObjectName("Readings");
    std::mt19937_64 random(1234); // seeded: the same noise on every run
    std::normal_distribution<double> noise(0.0, 1.2);
    for (int i = 0; i <= 288; ++i) { // one reading every 5 minutes
        const double h = i / 12.0;
        hours->Add(h);
        readings->Add(20 - 5 * std::cos(2 * 3.14159265358979 * (h - 3) / 24) + noise(random));
    }
    auto* raw = new TVxPointSeries(&form);
    raw->setObjectName("Raw");
    raw->SetCaption("Readings");
    raw->Line()->SetVisible(false);
    raw->PointSymbol()->SetSize(3);
    raw->PointSymbol()->SetFillColor(VxColor(0xFFA0A0A0));
    raw->PointSymbol()->SetBorderColor(VxColor(0xFFA0A0A0));

    const auto average = [&](const char* name, const char* caption, TVxColor color) {
        auto* a = new TVxMovingAverage(&form);
        a->setObjectName(name);
        a->SetCaption(caption);
        a->Line()->SetColor(color);
        a->Line()->SetWidth(2);
        return a;
    };
    auto* simple = average("Simple", "Simple, 15 each side", VxColor(0xFF1F77B4));
    simple->SetAveragingMethod(TVxAveragingMethod::Simple);
    simple->SetAveragingDirection(TVxAveragingDirection::UpAndDownwards);
    simple->SetN(15);
    auto* linear = average("Linear", "Linear, 15 before", VxColor(0xFFD62728));
    linear->SetAveragingMethod(TVxAveragingMethod::LinearWeighted);
    linear->SetN(15);
    auto* exponential = average("Exponential", "Exponential, 2 h", VxColor(0xFF2CA02C));
    exponential->SetAveragingMethod(TVxAveragingMethod::ExponentiallyWeighted);
    exponential->SetAveragingRangeMethod(TVxAveragingRangeMethod::NasXDistance);
    exponential->SetN(2);
    exponential->SetExponentialFactorForN(0.5);
    for (TVxSeries* s : std::initializer_list<TVxSeries*>{raw, simple, linear, exponential}) {
        s->SetXData(hours);
        s->SetYData(readings);
        s->SetXAxis(graph->PrimaryXAxis());
        s->SetYAxis(graph->PrimaryYAxis());
    }
    auto* legend = new TVxLegend(&form);
    legend->setObjectName("Legend1");
    legend->SetGraph(graph);
    legend->SetPosition(TVxLegendPosition::BottomCenterOfAxis);
}
