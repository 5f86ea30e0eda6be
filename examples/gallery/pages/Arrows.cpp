// A wind field: one arrow per grid point, from the point along the wind's direction, its
// length the wind's speed. The field turns about a low-pressure centre.

#include "series/Arrows.h"

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "styles/ArrowSettings.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>

void BuildArrows(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFF5F8FC));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(graph->PrimaryXAxis(), 0, 11, "East (km)");
    fix(graph->PrimaryYAxis(), 0, 7, "North (km)");

    const auto vector = [&form](const char* name) {
        auto* v = new TVxDoubleVector(&form);
        v->setObjectName(name);
        return v;
    };
    auto* x = vector("X");
    auto* y = vector("Y");
    auto* dx = vector("WindX");
    auto* dy = vector("WindY");
    // Counter-clockwise about (5.5, 3.5), weakening away from the centre.
    for (int i = 1; i <= 10; ++i)
        for (int j = 1; j <= 6; ++j) {
            const double rx = i - 5.5, ry = j - 3.5;
            const double scale = 0.9 / (1 + 0.15 * (rx * rx + ry * ry));
            x->Add(i);
            y->Add(j);
            dx->Add(-ry * scale);
            dy->Add(rx * scale);
        }

    auto* wind = new TVxArrows(&form);
    wind->setObjectName("Wind");
    wind->SetXData(x);
    wind->SetYData(y);
    wind->SetDeltaX(dx);
    wind->SetDeltaY(dy);
    wind->SetXAxis(graph->PrimaryXAxis());
    wind->SetYAxis(graph->PrimaryYAxis());
    // The series' line draws the arrows; the arrow settings give the head's shape.
    wind->Line()->SetColor(VxColor(0xFF1F4E9A));
    wind->Line()->SetWidth(1.5);
    wind->Arrow()->SetPointLength(6);
    wind->Arrow()->SetPointHeight(3);
}
