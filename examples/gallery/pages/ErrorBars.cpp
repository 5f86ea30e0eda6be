// Calibration readings with their uncertainty: each point carries error bars up and down
// (the reading's spread) and left and right (the reference's tolerance).

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/PointWithErrorSeries.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <random>

void BuildErrorBars(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFFAFAFA));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(graph->PrimaryXAxis(), 0, 100, "Reference temperature (\u00b0C)");
    fix(graph->PrimaryYAxis(), 0, 100, "Sensor reading (\u00b0C)");

    const auto vector = [&form](const char* name) {
        auto* v = new TVxDoubleVector(&form);
        v->setObjectName(name);
        return v;
    };
    auto* x = vector("Reference");
    auto* y = vector("Reading");
    auto* spread = vector("Spread");
    auto* tolerance = vector("Tolerance");
    // A seeded generator: the page draws the same readings on every run.
    std::mt19937_64 random(20260311);
    std::normal_distribution<double> noise(0.0, 1.5);
    for (int i = 1; i <= 9; ++i) {
        const double t = 10.0 * i;
        x->Add(t);
        y->Add(1.02 * t - 0.8 + noise(random));
        spread->Add(1.5 + 0.04 * t); // the sensor scatters more when hot
        tolerance->Add(1.0);
    }

    auto* points = new TVxPointWithErrorSeries(&form);
    points->setObjectName("Calibration");
    points->SetXData(x);
    points->SetYData(y);
    points->SetDeltaYPlus(spread); // the same vector up and down: symmetric bars
    points->SetDeltaYMinus(spread);
    points->SetDeltaXPlus(tolerance);
    points->SetDeltaXMinus(tolerance);
    points->SetXAxis(graph->PrimaryXAxis());
    points->SetYAxis(graph->PrimaryYAxis());
    points->Line()->SetVisible(false);
    points->PointSymbol()->SetPointSymbol(TVxPointSymbol::Square);
    points->PointSymbol()->SetSize(8);
    points->ErrorIndicator()->SetColor(VxColor(0xFF404040));
    points->ErrorIndicator()->SetWidth(1.5);
}
