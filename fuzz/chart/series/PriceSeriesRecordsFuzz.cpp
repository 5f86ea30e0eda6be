// Any bytes read as the record of a price or error-bar series (the first byte picks stream, XML
// or ini, and with (byte / 3) % 3 OHLC bars, candlesticks or points with error bars) naming
// vectors and axes of a small chart, then painted into a 100 x 100 image: a clear error or a
// series that paints, never a crash, hang or huge allocation.
#include "../axes/RecordFuzzHost.h"
#include "drawing/QtSurface.h"
#include "series/OHLC.h"
#include "series/PointWithErrorSeries.h"
#include "series/SeriesHost.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <algorithm>
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

TVxDoubleVector* Vector(QObject& Form, const char* Name, std::vector<double> Values) {
    auto* v = new TVxDoubleVector(&Form);
    v->setObjectName(Name);
    v->AddRange(Values);
    return v;
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
    Vector(form, "VX", {0, 1, 2, 3, 4});
    Vector(form, "VY", {3, -1, 4, 1, 5});
    Vector(form, "VO", {2, 0, 3, 2, 4});
    Vector(form, "VH", {4, 1, 5, 0.5, 6});
    Vector(form, "VL", {1, -2, 2, 3});
    Vector(form, "D1", {0.5, -1, 1e300, -0.0});
    auto* ax = new TVxAxis(&form);
    ax->setObjectName("AX");
    auto* ay = new TVxAxis(&form);
    ay->setObjectName("AY");
    ay->SetPosition(TVxAxisPosition::Left);
    for (TVxAxis* a : {ax, ay})
        a->SetHost(&graph);
    const int kind = Size > 0 ? (Data[0] / 3) % 3 : 0;
    TVxSeries* series = kind == 0   ? static_cast<TVxSeries*>(new TVxOHLC(&form))
                        : kind == 1 ? static_cast<TVxSeries*>(new TVxCandleSticks(&form))
                                    : new TVxPointWithErrorSeries(&form);
    series->setObjectName("Prices");
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { series->ReadFrom(In); },
        [&](pugi::xml_node Element) { series->ReadFrom(Element); },
        [&](const TVxIniFile& Ini) { series->ReadFrom(Ini, "S"); });
    if (read) {
        ax->SetAxisGeometry(0, 100, 100);
        ay->SetAxisGeometry(0, 0, 100);
        for (TVxAxis* a : {ax, ay}) {
            a->GetNewRanges();
            a->CalculateScale();
        }
        QImage image = FuzzImage();
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        series->Calculate();
        series->PaintGr(surface);
        series->DrawSymbols(surface);
        series->FindPoint(50, 50);
    }
    delete series;
    for (TVxAxis* a : {ax, ay})
        a->SetHost(nullptr);
    TVxApplication::Instance().Unregister(&form);
    return 0;
}
