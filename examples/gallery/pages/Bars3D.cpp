// Bars with depth: shaded cuboids of two sites side by side, and cylinders piled up. The
// look is a property of every bar series of a graph, so each look has a graph of its own;
// both graphs share the month axis.

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Bars.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>

void BuildBars3D(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* lower = new TVxGraph2D(&form); // owns the month axis
    lower->setObjectName("Graph1");
    lower->setGeometry(0, form.height() / 2, form.width(), form.height() - form.height() / 2);
    auto* upper = new TVxGraph2D(&form);
    upper->setObjectName("Graph2");
    upper->setGeometry(0, 0, form.width(), form.height() / 2);
    for (TVxGraph2D* g : {lower, upper}) {
        g->SetUndoStack(undo);
        g->SetDataAreaColor(VxColor(0xFFF7F7F2));
    }
    lower->TestPrimaryAxis();
    TVxAxis* months = lower->PrimaryXAxis();
    months->SetScaling(TVxAxisScaling::Rubrics);
    months->SetRubricTexts({"Jan", "Feb", "Mar", "Apr", "May", "Jun"});
    upper->SetPrimaryXAxis(months);
    upper->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(months, 0, 6, "Month");
    fix(upper->PrimaryYAxis(), 0, 100, "Heating (MWh)");
    fix(lower->PrimaryYAxis(), 0, 200, "Heating (MWh)");

    // Heating falls from winter to summer: a cosine over the half year, per site.
    const auto bars = [&form](TVxGraph2D* g, const char* name, double scale, TVxColor fill) {
        auto* v = new TVxDoubleVector(&form);
        v->setObjectName(QString::fromLatin1(name) + "Values");
        for (int month = 0; month < 6; ++month)
            v->Add(std::round(scale * (0.55 + 0.45 * std::cos(month * 3.14159265 / 6))));
        auto* b = new TVxBars(&form);
        b->setObjectName(name);
        b->SetCaption(name);
        b->SetYData(v);
        b->SetXAxis(g->PrimaryXAxis());
        b->SetYAxis(g->PrimaryYAxis());
        b->Area()->SetForeColor(fill);
        return b;
    };
    bars(upper, "North", 90, VxColor(0xFF3A6EA5));
    auto* south = bars(upper, "South", 60, VxColor(0xFFE0A030));
    // One setter gives every bar series of the graph the look (one undo step).
    south->SetBarStyle(TVxBarStyle::Cuboid);
    south->SetDepth3D(40);
    south->SetClassesDistance(20); // a gap between the months
    bars(lower, "Office", 70, VxColor(0xFF6A9F58));
    bars(lower, "Plant", 110, VxColor(0xFFB05050));
    auto* store = bars(lower, "Store", 20, VxColor(0xFF8070B0));
    store->SetOverlayStyle(TVxBarsOverlayStyle::Stack);
    store->SetBarStyle(TVxBarStyle::Cylinder);
    store->SetClassesDistance(30);
    upper->SetCaption("Cuboids, side by side");
    upper->SetCaptionVisible(true);
    lower->SetCaption("Cylinders, stacked");
    lower->SetCaptionVisible(true);
}
