// Bar charts of quarterly sales: two years side by side with their values, and the three
// products of a year piled up. The two graphs share the quarter axis, so they zoom and pan
// together and export as one image.

#include "series/Bars.h"

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <vector>

void BuildBars(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    // The lower graph owns the quarter axis; the upper one shares it.
    auto* lower = new TVxGraph2D(&form);
    lower->setObjectName("Graph1");
    lower->setGeometry(0, form.height() / 2, form.width(), form.height() - form.height() / 2);
    auto* upper = new TVxGraph2D(&form);
    upper->setObjectName("Graph2");
    upper->setGeometry(0, 0, form.width(), form.height() / 2);
    for (TVxGraph2D* g : {lower, upper}) {
        g->SetUndoStack(undo);
        g->SetDataAreaColor(VxColor(0xFFF4F6FA));
    }
    lower->TestPrimaryAxis();
    TVxAxis* quarters = lower->PrimaryXAxis();
    // Bar i spans the class i .. i + 1; a rubrics axis writes the class names between.
    quarters->SetScaling(TVxAxisScaling::Rubrics);
    quarters->SetRubricTexts({"Q1", "Q2", "Q3", "Q4"});
    upper->SetPrimaryXAxis(quarters);
    upper->TestPrimaryAxis(); // only the Y axis is missing
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(quarters, 0, 4, "Quarter");
    fix(upper->PrimaryYAxis(), 0, 10, "Sales (k units)");
    fix(lower->PrimaryYAxis(), 0, 20, "Sales (k units)");

    const auto bars = [&form](TVxGraph2D* g, const char* name, const char* caption,
                              std::vector<double> values, TVxColor fill) {
        auto* v = new TVxDoubleVector(&form);
        v->setObjectName(QString::fromLatin1(name) + "Values");
        v->AddRange(values);
        auto* b = new TVxBars(&form);
        b->setObjectName(name);
        b->SetCaption(caption);
        b->SetYData(v); // no X data: the series' own index gives the classes
        b->SetXAxis(g->PrimaryXAxis());
        b->SetYAxis(g->PrimaryYAxis());
        b->Area()->SetForeColor(fill);
        b->Line()->SetColor(VxColor(0xFF303030));
        return b;
    };
    // Side by side (the default), each bar labelled with its value just inside its top.
    for (TVxBars* b : {bars(upper, "Sales2025", "2025", {5, 7, 4, 6}, VxColor(0xFF4C78A8)),
                       bars(upper, "Sales2026", "2026", {6, 8, 5, 9}, VxColor(0xFFF58518))}) {
        b->SetLabelPosition(TVxBarLabelPosition::InTop);
        b->SetLabelSize(9);
    }
    // Piled up: setting the overlay on one bar series of a graph sets it on all of them.
    bars(lower, "Pumps", "Pumps", {3, 4, 2, 5}, VxColor(0xFF54A24B));
    bars(lower, "Valves", "Valves", {5, 6, 4, 7}, VxColor(0xFFE45756));
    bars(lower, "Sensors", "Sensors", {2, 3, 6, 4}, VxColor(0xFF72B7B2))
        ->SetOverlayStyle(TVxBarsOverlayStyle::Stack);
    lower->SetCaption("Products of 2026, stacked");
    lower->SetCaptionVisible(true);
    upper->SetCaption("Sales by year, side by side");
    upper->SetCaptionVisible(true);
}
