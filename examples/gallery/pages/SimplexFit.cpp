// A cooling curve fitted by the simplex method to a formula of your own: the coefficients
// a, b and c of a*exp(-b*x)+c start from a guess and are refined when the chart computes;
// the title shows them live.

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/FittedLineSeries.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <random>

void BuildSimplexFit(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFFAF8F5));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(graph->PrimaryXAxis(), 0, 60, "Minutes");
    fix(graph->PrimaryYAxis(), 0, 100, "Temperature (\u00b0C)");

    auto* minutes = new TVxDoubleVector(&form);
    minutes->setObjectName("Minutes");
    auto* temperatures = new TVxDoubleVector(&form);
    temperatures->setObjectName("Temperatures");
    std::mt19937_64 random(99); // seeded: the same readings on every run
    std::normal_distribution<double> noise(0.0, 1.0);
    for (int m = 0; m <= 60; m += 2) {
        minutes->Add(m);
        temperatures->Add(70 * std::exp(-0.06 * m) + 21 + noise(random));
    }
    auto* readings = new TVxPointSeries(&form);
    readings->setObjectName("Readings");
    readings->Line()->SetVisible(false);
    auto* fit = new TVxFittedLine(&form);
    fit->setObjectName("Cooling");
    fit->SetExpression("a*exp(-b*x)+c"); // coefficients a .. p; x is the data's X
    fit->SetCoefficients({50, 0.1, 10}); // a rough start is enough
    fit->SetIterations(500);
    fit->Line()->SetColor(VxColor(0xFFB03A2E));
    fit->Line()->SetWidth(2);
    for (TVxSeries* s : std::initializer_list<TVxSeries*>{readings, fit}) {
        s->SetXData(minutes);
        s->SetYData(temperatures);
        s->SetXAxis(graph->PrimaryXAxis());
        s->SetYAxis(graph->PrimaryYAxis());
    }
    const QString f = ComponentPath(fit);
    graph->SetCaption("T = a\u00b7exp(-b\u00b7t) + c:   a = <%" + f +
                      ".Coefficients(0);0.00%>,  b = <%" + f +
                      ".Coefficients(1);0.0000%>,  c = <%" + f + ".Coefficients(2);0.00%>");
    graph->SetCaptionVisible(true);
}
