// Legends: one docked beside the data area (the data area makes room for it), one floating
// that the mouse drags anywhere, and two series that share one legend item.
#include "GalleryPage.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>

void BuildLegends(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->TestPrimaryAxis();
    AxisLook(*graph->PrimaryXAxis()).SetCaption("Day of the week");
    AxisLook(*graph->PrimaryYAxis()).SetCaption("Temperature (\u00b0C)");

    auto* days = new TVxDoubleVector(&form);
    days->SetName("Days");
    for (int i = 0; i <= 7 * 24; ++i) // hourly
        days->Add(i / 24.0);
    struct TCurve {
        const char* Name;
        const char* Caption;
        TVxColor Colour;
        double Mean, Swing;
    };
    const TCurve curves[] = {{"Indoor", "Indoor", VxColor(0xFFD62728), 21, 1},
                             {"Outdoor", "Outdoor", VxColor(0xFF1F77B4), 8, 5},
                             {"CellarMax", "Cellar (max and min)", VxColor(0xFF2CA02C), 13, 0.8},
                             {"CellarMin", "Cellar min", VxColor(0xFF2CA02C), 11, 0.8}};
    for (const TCurve& c : curves) {
        auto* values = new TVxDoubleVector(&form);
        values->SetName(QString(c.Name) + "Values");
        for (int i = 0; i < days->GetCount(); ++i)
            values->Add(c.Mean + c.Swing * std::sin(2 * M_PI * days->GetValue(i)));
        auto* series = new TVxLineSeries(&form);
        series->setObjectName(c.Name);
        series->SetCaption(c.Caption); // the legend shows the caption
        series->SetXData(days);
        series->SetYData(values);
        series->SetXAxis(graph->PrimaryXAxis());
        series->SetYAxis(graph->PrimaryYAxis());
        series->Line()->SetColor(c.Colour);
        series->Line()->SetWidth(3);
    }
    // The minimum is drawn into the maximum's item instead of an item of its own.
    auto* cellarMin = form.findChild<TVxSeries*>("CellarMin");
    cellarMin->Line()->SetDashStyle(TDashStyle::DashStyleDash);
    cellarMin->SetMergeLegendItemWith(form.findChild<TVxSeries*>("CellarMax"));

    auto* docked = new TVxLegend(&form);
    docked->setObjectName("Docked");
    docked->SetGraph(graph);
    docked->SetPosition(TVxLegendPosition::RightTopOfAxis);
    docked->SetCaption("Sensors");
    docked->SetCaptionVisible(true);
    docked->SetBackColor(VxColor(0xFFFFFFF0));
    docked->SetDropShadow(true);
    docked->SetCornerRounding(6);

    // Floating: dragged with the left button; lists the same series in two columns.
    auto* floating = new TVxLegend(&form);
    floating->setObjectName("Floating");
    floating->SetGraph(graph);
    floating->SetPosition(TVxLegendPosition::FreeFloating);
    floating->SetColumns(2);
    floating->SetBounds(90, 330, 300, 60);
    floating->SetBackColor(VxColor(0xE0FFFFFF));
    floating->SetCaption("Drag me");
    floating->SetCaptionVisible(true);
}
