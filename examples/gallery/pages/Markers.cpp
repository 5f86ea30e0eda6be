// Markers: a horizontal limit line and a vertical time line, a cross-hair that snaps to the
// readings while it is dragged, and a label whose arrow points at the day's peak. Each drag
// is one undo step (Ctrl+Z).
#include "GalleryPage.h"
#include "annotations/CrossHair.h"
#include "annotations/LabelWithArrow.h"
#include "annotations/LineMarker.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <random>

void BuildMarkers(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->TestPrimaryAxis();
    TVxAxis* x = graph->PrimaryXAxis();
    TVxAxis* y = graph->PrimaryYAxis();
    AxisLook(*x).SetCaption("Hour of the day");
    AxisLook(*y).SetCaption("Temperature (\u00b0C)");
    y->SetStart(14); // fixed: room above the readings for the captions
    y->SetStop(27);
    y->SetStartEnd(TVxAxisEnd::Fixed);
    y->SetStopEnd(TVxAxisEnd::Fixed);

    // A day of readings every ten minutes: a daily swing and seeded noise.
    auto* hours = new TVxDoubleVector(&form);
    hours->SetName("Hours");
    auto* temperatures = new TVxDoubleVector(&form);
    temperatures->SetName("Temperatures");
    std::mt19937_64 random(20240301);
    std::normal_distribution<double> noise(0, 0.15);
    for (int i = 0; i <= 24 * 6; ++i) {
        const double h = i / 6.0;
        hours->Add(h);
        temperatures->Add(20 - 4 * std::cos(2 * M_PI * (h - 3) / 24) + noise(random));
    }
    auto* readings = new TVxPointSeries(&form);
    readings->setObjectName("Readings");
    readings->SetXData(hours);
    readings->SetYData(temperatures);
    readings->SetXAxis(x);
    readings->SetYAxis(y);
    readings->PointSymbol()->SetSize(5);

    auto* limit = new TVxHorizontalMarker(&form);
    limit->setObjectName("Limit");
    limit->SetYAxis(y);
    limit->SetY(23);
    limit->SetCaption("Limit 23 \u00b0C");
    limit->SetCaptionVisible(true);
    limit->SetCaptionPosition(TVxContentAlignment::TopLeft);
    limit->Line()->SetColor(VxColor(0xFFC00000));
    limit->Line()->SetDashStyle(TDashStyle::DashStyleDash);
    limit->SetHost(graph);

    auto* noon = new TVxVerticalMarker(&form);
    noon->setObjectName("Noon");
    noon->SetXAxis(x);
    noon->SetX(12);
    noon->SetCaption("Noon");
    noon->SetCaptionVisible(true);
    noon->SetCaptionPosition(TVxContentAlignment::BottomRight);
    noon->SetHost(graph);

    // Dragged, the cross-hair jumps to the nearest reading of the series.
    auto* cross = new TVxCrossHair(&form);
    cross->setObjectName("Cross");
    cross->SetXAxis(x);
    cross->SetYAxis(y);
    cross->SetSnapToSeriesValues(true);
    cross->SetSnappedSeries(readings);
    cross->SetX(hours->GetValue(36));
    cross->SetY(temperatures->GetValue(36));
    cross->SetCaption("Drag me");
    cross->SetCaptionVisible(true);
    cross->SetHost(graph);

    // The label's head touches the data point; the arrow keeps its length when turned.
    int peak = 0;
    for (int i = 1; i < temperatures->GetCount(); ++i)
        if (temperatures->GetValue(i) > temperatures->GetValue(peak))
            peak = i;
    auto* note = new TVxLabelWithArrowMarker(&form);
    note->setObjectName("Peak");
    note->SetXAxis(x);
    note->SetYAxis(y);
    note->SetX(hours->GetValue(peak));
    note->SetY(temperatures->GetValue(peak));
    note->SetCaption("Warmest reading");
    note->SetCaptionBackColor(VxColor(0xFFFFFFE0));
    note->SetArrowLength(70);
    note->SetArrowAngle(150);
    note->SetHost(graph);
}
