// Measuring stations on a map: each bubble sits at the station and its radius (in Y units,
// round on screen) shows the rainfall there.

#include "series/Bubbles.h"

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <random>

void BuildBubbles(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFF2F7F2));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(graph->PrimaryXAxis(), 0, 100, "East (km)");
    fix(graph->PrimaryYAxis(), 0, 60, "North (km)");

    const auto vector = [&form](const char* name) {
        auto* v = new TVxDoubleVector(&form);
        v->setObjectName(name);
        return v;
    };
    auto* east = vector("East");
    auto* north = vector("North");
    auto* rain = vector("Rain");
    std::mt19937_64 random(7); // seeded: the same stations on every run
    std::uniform_real_distribution<double> x(10, 90), y(8, 52), r(1.5, 6);
    for (int i = 0; i < 14; ++i) {
        east->Add(x(random));
        north->Add(y(random));
        rain->Add(r(random));
    }

    auto* bubbles = new TVxBubbles(&form);
    bubbles->setObjectName("Stations");
    bubbles->SetXData(east);
    bubbles->SetYData(north);
    bubbles->SetRadiusData(rain);
    bubbles->SetXAxis(graph->PrimaryXAxis());
    bubbles->SetYAxis(graph->PrimaryYAxis());
    // Translucent fill, so that overlapping bubbles stay readable.
    bubbles->Area()->SetForeColor(VxColor(0x802E86C1));
    bubbles->Line()->SetColor(VxColor(0xFF1B4F72));
}
