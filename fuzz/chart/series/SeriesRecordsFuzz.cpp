// Any bytes read as a series record (the first byte picks stream, XML or ini; its bits 3-4
// a line or point series (bit 2 picks which), bars, bubbles or arrows) naming vectors, axes
// and series of a small chart, then painted into a 100 x 100 image: a clear error or a
// series that paints, never a crash, hang or huge allocation.
#include "SeriesFuzzChart.h"
#include "drawing/QtSurface.h"
#include "series/Arrows.h"
#include "series/Bars.h"
#include "series/Bubbles.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TFuzzSeriesChart chart;
    chart.Vector("VX", {0, 1, 2, 3, 4});
    chart.Vector("VY", {3, -1, 4, 1, 5});
    chart.Vector("VR", {0.5, 1, -0.25, 2});
    chart.Vector("DX", {1, 0, -1, 0.5});
    chart.Vector("DY", {0, -2, 1, 0});
    auto* later = new TVxLineSeries(&chart.Form);
    later->setObjectName("Later");
    const int kind = Size > 0 ? (Data[0] >> 3) & 3 : 0;
    TVxSeries* series = kind == 1   ? new TVxBars(&chart.Form)
                        : kind == 2 ? new TVxBubbles(&chart.Form)
                        : kind == 3 ? static_cast<TVxSeries*>(new TVxArrows(&chart.Form))
                        : Size > 0 && (Data[0] & 4)
                            ? new TVxPointSeries(&chart.Form)
                            : static_cast<TVxSeries*>(new TVxLineSeries(&chart.Form));
    series->setObjectName("Points");
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { series->ReadFrom(In); },
        [&](pugi::xml_node Element) { series->ReadFrom(Element); },
        [&](const TVxIniFile& Ini) { series->ReadFrom(Ini, "S"); });
    if (read && series->DrawBandTo() == series)
        __builtin_trap();
    if (read) {
        chart.LayOut();
        QImage image = FuzzImage();
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        for (TVxSeries* s : {static_cast<TVxSeries*>(later), series}) {
            s->Calculate();
            s->PaintGr(surface);
            s->DrawSymbols(surface);
        }
    }
    return 0;
}
