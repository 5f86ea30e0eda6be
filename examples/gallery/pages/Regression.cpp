// A straight line and a parabola fitted to two sets of readings, with the fitted values
// shown live in the graph's title: append a reading and the title follows.

#include "GalleryPage.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/LeastSquaresSeries.h"
#include "series/RegressionSeries.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "vectors/DoubleVector.h"

#include <cmath>

void BuildRegression(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFFFFFF0));
    graph->TestPrimaryAxis();
    // Fixed, unrounded ranges: the chart stays put while readings are added.
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    fix(graph->PrimaryXAxis(), 0, 7, "Time (h)");
    fix(graph->PrimaryYAxis(), 0, 14, "Level (mm)");

    // Data vectors are components of the form, so that a saved chart can carry them.
    const auto vector = [&form](const char* name, auto&& value, int count) {
        auto* v = new TVxDoubleVector(&form);
        v->setObjectName(name);
        for (int i = 0; i < count; ++i)
            v->Add(value(i));
        return v;
    };
    const double rising[] = {2.1, 3.9, 6.2, 7.8, 10.1, 12.2};
    auto* x1 = vector(
        "RisingX", [](int i) { return i + 1.0; }, 6);
    auto* y1 = vector(
        "RisingY", [&](int i) { return rising[i]; }, 6);
    // A falling parabola with a small wobble, so that the fit has something to smooth.
    auto* x2 = vector(
        "FallingX", [](int i) { return 0.5 + 0.5 * i; }, 13);
    auto* y2 = vector(
        "FallingY",
        [](int i) {
            const double x = 0.5 + 0.5 * i;
            return 12.5 - 0.25 * x * x + 0.3 * std::sin(2.7 * x);
        },
        13);

    const auto bind = [graph](TVxSeries* s, const char* name, const char* caption,
                              TVxDoubleVector* x, TVxDoubleVector* y, TVxColor color) {
        s->setObjectName(name);
        s->SetCaption(caption);
        s->SetXData(x);
        s->SetYData(y);
        s->SetXAxis(graph->PrimaryXAxis());
        s->SetYAxis(graph->PrimaryYAxis());
        s->Line()->SetColor(color);
        s->Line()->SetWidth(2);
    };
    auto* rise = new TVxPointSeries(&form);
    bind(rise, "Rising", "Rising readings", x1, y1, VxColor(0xFF1F5FBF));
    rise->Line()->SetVisible(false);
    auto* line = new TVxLinearRegression(&form);
    bind(line, "Line", "Straight line", x1, y1, VxColor(0xFF1F5FBF));
    auto* fall = new TVxPointSeries(&form);
    bind(fall, "Falling", "Falling readings", x2, y2, VxColor(0xFFC0392B));
    fall->Line()->SetVisible(false);
    fall->PointSymbol()->SetPointSymbol(TVxPointSymbol::Diamond);
    fall->PointSymbol()->SetFillColor(VxColor(0xFFC0392B));
    auto* parabola = new TVxPolynomial(&form);
    bind(parabola, "Parabola", "Parabola", x2, y2, VxColor(0xFFC0392B));
    parabola->SetOrder(2);

    // "<%path.Slope;0.000%>": the value, formatted in the user's locale, renewed after
    // every recalculation of the fit. The path starts at the form's name ("Regression").
    const QString l = ComponentPath(line), p = ComponentPath(parabola);
    graph->SetCaption("Slope = <%" + l + ".Slope;0.000%>, offset = <%" + l + ".Offset;0.000%>\r" +
                      "<%" + p + ".Formula%>: a = <%" + p + ".Coefficients(0);0.00%>, b = <%" + p +
                      ".Coefficients(1);0.000%>, c = <%" + p + ".Coefficients(2);0.0000%>");
    graph->SetCaptionVisible(true);

    auto* legend = new TVxLegend(&form);
    legend->setObjectName("Legend1");
    legend->SetGraph(graph);
    legend->SetPosition(TVxLegendPosition::RightTopOfAxis);
}
