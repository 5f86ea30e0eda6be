// Any bytes read as the record of a price or error-bar series (the first byte picks stream, XML
// or ini, and with (byte / 3) % 3 OHLC bars, candlesticks or points with error bars) naming
// vectors and axes of a small chart, then painted into a 100 x 100 image: a clear error or a
// series that paints, never a crash, hang or huge allocation.
#include "SeriesFuzzChart.h"
#include "drawing/QtSurface.h"
#include "series/OHLC.h"
#include "series/PointWithErrorSeries.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TFuzzSeriesChart chart;
    chart.Vector("VX", {0, 1, 2, 3, 4});
    chart.Vector("VY", {3, -1, 4, 1, 5});
    chart.Vector("VO", {2, 0, 3, 2, 4});
    chart.Vector("VH", {4, 1, 5, 0.5, 6});
    chart.Vector("VL", {1, -2, 2, 3});
    chart.Vector("D1", {0.5, -1, 1e300, -0.0});
    const int kind = Size > 0 ? (Data[0] / 3) % 3 : 0;
    TVxSeries* series = kind == 0   ? static_cast<TVxSeries*>(new TVxOHLC(&chart.Form))
                        : kind == 1 ? static_cast<TVxSeries*>(new TVxCandleSticks(&chart.Form))
                                    : new TVxPointWithErrorSeries(&chart.Form);
    series->setObjectName("Prices");
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { series->ReadFrom(In); },
        [&](pugi::xml_node Element) { series->ReadFrom(Element); },
        [&](const TVxIniFile& Ini) { series->ReadFrom(Ini, "S"); });
    if (read) {
        chart.LayOut();
        QImage image = FuzzImage();
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        series->Calculate();
        series->PaintGr(surface);
        series->DrawSymbols(surface);
        series->FindPoint(50, 50);
    }
    return 0;
}
