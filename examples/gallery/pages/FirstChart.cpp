// The first chart: ten readings drawn as a line with points. Every component is owned by
// the form and named, so that the chart saves and loads by its component paths.
#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>

void BuildFirstChart(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form); // Ctrl+Z and Ctrl+Shift+Z act on this stack
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);

    auto* hours = new TVxDoubleVector(&form);
    hours->SetName("Hours");
    auto* temperatures = new TVxDoubleVector(&form);
    temperatures->SetName("Temperatures");
    for (int i = 0; i < 10; ++i) {
        hours->Add(i);
        temperatures->Add(20 + 3 * std::sin(0.7 * i));
    }

    graph->TestPrimaryAxis(); // creates "XAxis1" and "YAxis1", owned by the form
    AxisLook(*graph->PrimaryXAxis()).SetCaption("Hour");
    AxisLook(*graph->PrimaryYAxis()).SetCaption("Temperature (\u00b0C)");
    auto* series = new TVxPointSeries(&form); // a red line with blue circles
    series->setObjectName("Readings");
    series->SetXData(hours);
    series->SetYData(temperatures);
    series->SetXAxis(graph->PrimaryXAxis());
    series->SetYAxis(graph->PrimaryYAxis()); // joins the graph that shows this axis
}
