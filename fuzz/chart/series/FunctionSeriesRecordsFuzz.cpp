// Any bytes read as the record of a computed curve (the first byte picks stream, XML or ini,
// and, through (byte >> 2) % 3, a linear regression, a polynomial or a basis-function fit)
// naming the vectors, axes and weights of a small chart, then recalculated and painted into
// a 100 x 100 image: a clear error or a series that paints, never a crash, hang or huge
// allocation. The tails of the function series and of each kind are what is exercised.
#include "FunctionSeriesFuzzPaint.h"
#include "series/LeastSquaresSeries.h"
#include "series/RegressionSeries.h"

namespace {

TVxFunctionSeries* MakeKind(int Kind, QObject* Owner) {
    switch (Kind) {
    case 0:
        return new TVxLinearRegression(Owner);
    case 1:
        return new TVxPolynomial(Owner);
    default: {
        auto* g = new TVxGeneralLinearLeastSquares(Owner);
        g->SetBasisFunction(
            [](TVxCustomGeneralLinearLeastSquares*, const TVxGeneralLinearFittingArgs& e) {
                return std::cos(double(e.Index) * e.X);
            });
        return g;
    }
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
    const int kind = Size > 0 ? (Data[0] >> 2) % 3 : 0;
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
