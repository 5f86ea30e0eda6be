// The spectrum of a sampled signal: a cosine of period 4 at x = 0 .. 7 (top axis). Its
// amplitude spectrum (bottom axis, frequency per sample) has its one line at 1/4; the phase
// of each line is drawn against the right-hand axis.

#include "GalleryPage.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/FourierSeries.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <numbers>

void BuildSpectrum(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFF8F8FF));
    graph->TestPrimaryAxis();
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    const auto axis = [&](const char* name, TVxAxisPosition position) {
        auto* a = new TVxAxis(&form);
        a->setObjectName(name);
        a->SetPosition(position);
        graph->AddAxis(a);
        return a;
    };
    fix(graph->PrimaryXAxis(), 0, 0.5, "Frequency (1/sample)");
    fix(graph->PrimaryYAxis(), -1.2, 1.2, "Signal, amplitude");
    TVxAxis* sampleAxis = axis("SampleAxis", TVxAxisPosition::Top);
    fix(sampleAxis, 0, 7, "Sample");
    TVxAxis* phaseAxis = axis("PhaseAxis", TVxAxisPosition::Right);
    fix(phaseAxis, -4, 4, "Phase (rad)");

    auto* x = new TVxDoubleVector(&form);
    x->setObjectName("Samples");
    auto* y = new TVxDoubleVector(&form);
    y->setObjectName("Signal");
    for (int i = 0; i <= 7; ++i) {
        x->Add(i);
        y->Add(std::cos(2 * std::numbers::pi * i / 4));
    }
    auto* signal = new TVxPointSeries(&form);
    signal->setObjectName("SignalSeries");
    signal->SetCaption("Signal");
    signal->SetXData(x);
    signal->SetYData(y);
    signal->SetXAxis(sampleAxis);
    signal->SetYAxis(graph->PrimaryYAxis());
    signal->Line()->SetColor(VxColor(0xFF909090));

    // Evenly spaced samples are transformed as they are: line k lies at k / (8 samples).
    auto* spectrum = new TVxDiscreteFourier(&form);
    spectrum->setObjectName("Spectrum");
    spectrum->SetCaption("Amplitude");
    spectrum->SetXData(x);
    spectrum->SetYData(y);
    spectrum->SetXAxis(graph->PrimaryXAxis());
    spectrum->SetYAxis(graph->PrimaryYAxis());
    spectrum->Line()->SetColor(VxColor(0xFF1F4E9C));
    spectrum->Line()->SetWidth(2);
    spectrum->Phase()->SetYAxis(phaseAxis); // the owned phase child, hidden until asked for
    spectrum->Phase()->SetVisible(true);
    spectrum->Phase()->SetCaption("Phase");

    auto* legend = new TVxLegend(&form);
    legend->setObjectName("Legend1");
    legend->SetGraph(graph);
    legend->SetPosition(TVxLegendPosition::BottomCenterOfAxis);
}
