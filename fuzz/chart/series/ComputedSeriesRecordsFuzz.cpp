// Any bytes read as the record of an interpolated, averaged, fitted or spectral curve (the
// first byte picks stream, XML or ini and, through (byte >> 2) % 6, an interpolation, a
// derivative, an integral, a moving average, a fitted line or a Fourier series) naming the
// vectors, axes and weights of a small chart, then recalculated and painted into a 100 x 100
// image: a clear error or a series that paints, never a crash, hang or huge allocation. The
// tails of each kind are what is exercised.
#include "FunctionSeriesFuzzPaint.h"
#include "series/FittedLineSeries.h"
#include "series/FourierSeries.h"
#include "series/InterpolationSeries.h"
#include "series/MovingAverageSeries.h"

namespace {

TVxFunctionSeries* MakeKind(int Kind, QObject* Owner) {
    switch (Kind) {
    case 0:
        return new TVxInterpolation(Owner);
    case 1:
        return new TVxDifferential(Owner);
    case 2:
        return new TVxIntegral(Owner);
    case 3:
        return new TVxMovingAverage(Owner);
    case 4:
        return new TVxFittedLine(Owner);
    default:
        return new TVxDiscreteFourier(Owner);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TFuzzSeriesChart chart;
    chart.Vector("VX", {0.5, 1, 2, 3, 4, 6, 9});
    chart.Vector("VY", {3, -1, 4, 1, 5, 9, 2});
    chart.Vector("VW", {1, 2, 0, -1, 3, 1});
    const int kind = Size > 0 ? (Data[0] >> 2) % 6 : 0;
    if (Size > 0 && (Data[0] & 0x40))
        chart.XAxis->SetScaling(TVxAxisScaling::Log);
    if (Size > 0 && (Data[0] & 0x80))
        chart.YAxis->SetScaling(TVxAxisScaling::Log);
    TVxFunctionSeries* series = MakeKind(kind, &chart.Form);
    series->setObjectName("Fit");
    series->OnCalculationError = [](TVxFunctionSeries*, const std::exception&) {};
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { series->ReadFrom(In); },
        [&](pugi::xml_node Element) { series->ReadFrom(Element); },
        [&](const TVxIniFile& Ini) { series->ReadFrom(Ini, "S"); });
    if (read)
        PaintTwiceWithFinitePixels(chart, *series);
    return 0;
}
