// Any bytes read as the record of an interpolated, averaged, fitted or spectral curve (the
// first byte picks stream, XML or ini and, through (byte >> 2) % 6, an interpolation, a
// derivative, an integral, a moving average, a fitted line or a Fourier series) naming the
// vectors, axes and weights of a small chart, then recalculated and painted into a 100 x 100
// image: a clear error or a series that paints, never a crash, hang or huge allocation. The
// tails of each kind are what is exercised.
#include "../axes/RecordFuzzHost.h"
#include "drawing/QtSurface.h"
#include "series/FittedLineSeries.h"
#include "series/FourierSeries.h"
#include "series/InterpolationSeries.h"
#include "series/MovingAverageSeries.h"
#include "series/SeriesHost.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

class TFuzzGraph : public TFuzzAxisHost, public TVxSeriesHost {
public:
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return {0, 0, 100, 100}; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return nullptr; }
    void SeriesInvalidated(TVxSeries&) override {}
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return true; }
    bool DoingMetafile() const override { return false; }
    bool AntiAliased() const override { return false; }

    std::vector<TVxSeries*> List;
};

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
    QObject form;
    form.setObjectName("RecForm");
    TVxApplication::Instance().RegisterForm(&form);
    TFuzzGraph graph;
    auto* vx = new TVxDoubleVector(&form);
    vx->setObjectName("VX");
    auto* vy = new TVxDoubleVector(&form);
    vy->setObjectName("VY");
    auto* vw = new TVxDoubleVector(&form);
    vw->setObjectName("VW");
    vx->AddRange(std::vector<double>{0.5, 1, 2, 3, 4, 6, 9});
    vy->AddRange(std::vector<double>{3, -1, 4, 1, 5, 9, 2});
    vw->AddRange(std::vector<double>{1, 2, 0, -1, 3, 1});
    auto* ax = new TVxAxis(&form);
    ax->setObjectName("AX");
    auto* ay = new TVxAxis(&form);
    ay->setObjectName("AY");
    ay->SetPosition(TVxAxisPosition::Left);
    for (TVxAxis* a : {ax, ay})
        a->SetHost(&graph);
    const int kind = Size > 0 ? (Data[0] >> 2) % 6 : 0;
    if (Size > 0 && (Data[0] & 0x40))
        ax->SetScaling(TVxAxisScaling::Log);
    if (Size > 0 && (Data[0] & 0x80))
        ay->SetScaling(TVxAxisScaling::Log);
    TVxFunctionSeries* series = MakeKind(kind, &form);
    series->setObjectName("Fit");
    series->OnCalculationError = [](TVxFunctionSeries*, const std::exception&) {};
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { series->ReadFrom(In); },
        [&](pugi::xml_node Element) { series->ReadFrom(Element); },
        [&](const TVxIniFile& Ini) { series->ReadFrom(Ini, "S"); });
    if (read) {
        ax->SetAxisGeometry(0, 100, 100);
        ay->SetAxisGeometry(0, 0, 100);
        QImage image = FuzzImage();
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        for (int pass = 0; pass < 2; ++pass) {
            series->Calculate();
            for (TVxAxis* a : {ax, ay}) {
                a->GetNewRanges();
                a->CalculateScale();
            }
            series->PaintGr(surface);
        }
        // Whatever was read, the curve's pixels are finite.
        for (const QPointF& p : series->Points())
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                __builtin_trap();
    }
    delete series;
    for (TVxAxis* a : {ax, ay})
        a->SetHost(nullptr);
    TVxApplication::Instance().Unregister(&form);
    return 0;
}
