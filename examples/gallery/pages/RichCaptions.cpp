// Rich captions: every caption of the chart (title, axis captions, legend, markers) takes
// the same markup: \b bold, \i italic, \u underline, \o strike-out, \+ superscript,
// \- subscript, \c[...] colour, \f[...] font family, line breaks; and placeholders <%...%>
// that show a variable or an expression, kept up to date.
#include "GalleryPage.h"
#include "annotations/LabelWithArrow.h"
#include "annotations/Legend.h"
#include "annotations/LineMarker.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "vectors/DoubleVector.h"

#include <cmath>

void BuildRichCaptions(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetCaption("\\bA damped wave\\b\r"
                      "\\if\\i(t) = e\\+-t/5\\+ sin(2\\f[Liberation Serif]\\i\u03c0\\i\\f[] t)");
    graph->CaptionFont()->SetSize(13);
    graph->SetCaptionVisible(true);
    graph->TestPrimaryAxis();
    AxisLook(*graph->PrimaryXAxis()).SetCaption("Time \\it\\i (s)");
    AxisLook(*graph->PrimaryYAxis()).SetCaption("Displacement \\iy\\i\\-t\\- (mm)");

    auto* t = new TVxDoubleVector(&form);
    t->SetName("T");
    auto* y = new TVxDoubleVector(&form);
    y->SetName("Y");
    for (int i = 0; i <= 400; ++i) {
        t->Add(i / 40.0);
        y->Add(std::exp(-t->GetValue(i) / 5) * std::sin(2 * M_PI * t->GetValue(i)));
    }
    auto* wave = new TVxLineSeries(&form);
    wave->setObjectName("Wave");
    wave->SetCaption("\\c[A=255, R=0, G=90, B=200]damped\\c[] wave");
    wave->SetXData(t);
    wave->SetYData(y);
    wave->SetXAxis(graph->PrimaryXAxis());
    wave->SetYAxis(graph->PrimaryYAxis());
    wave->Line()->SetColor(VxColor(0xFF005AC8));
    wave->Line()->SetWidth(2);

    auto* legend = new TVxLegend(&form);
    legend->setObjectName("Legend");
    legend->SetGraph(graph);
    legend->SetPosition(TVxLegendPosition::RightTopOfAxis);
    legend->SetCaption("\\uSeries\\u");
    legend->SetCaptionVisible(true);

    // The series' caption is a variable: the marker shows it and follows when it changes.
    auto* envelope = new TVxHorizontalMarker(&form);
    envelope->setObjectName("Envelope");
    envelope->SetYAxis(graph->PrimaryYAxis());
    envelope->SetY(std::exp(-0.25 / 5));
    envelope->SetCaption("first crest of the <%" + form.objectName() + ".Wave.Caption%>");
    envelope->SetCaptionVisible(true);
    envelope->SetCaptionPosition(TVxContentAlignment::TopRight);
    envelope->SetHost(graph);

    // An expression with a format pattern, in the user's locale.
    auto* note = new TVxLabelWithArrowMarker(&form);
    note->setObjectName("Period");
    note->SetXAxis(graph->PrimaryXAxis());
    note->SetYAxis(graph->PrimaryYAxis());
    note->SetX(4.25);
    note->SetY(std::exp(-4.25 / 5));
    note->SetCaption("\\o10 crests\\o\r2\\i\u03c0\\i = <%2*Pi;0.0000%>");
    note->SetCaptionBackColor(VxColor(0xFFFFFFE0));
    note->SetArrowLength(60);
    note->SetArrowAngle(30);
    note->SetHost(graph);
}
