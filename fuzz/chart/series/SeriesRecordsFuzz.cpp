// Any bytes read as a series record (the first byte picks stream, XML or ini; its bit 2 a
// line or a point series) naming vectors, axes and series of a small chart, then painted
// into a 100 x 100 image: a clear error or a series that paints, never a crash, hang or
// huge allocation.
#include "../axes/RecordFuzzHost.h"
#include "drawing/QtSurface.h"
#include "series/Series.h"
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
    vx->AddRange(std::vector<double>{0, 1, 2, 3, 4});
    vy->AddRange(std::vector<double>{3, -1, 4, 1, 5});
    auto* ax = new TVxAxis(&form);
    ax->setObjectName("AX");
    auto* ay = new TVxAxis(&form);
    ay->setObjectName("AY");
    ay->SetPosition(TVxAxisPosition::Left);
    for (TVxAxis* a : {ax, ay})
        a->SetHost(&graph);
    auto* later = new TVxLineSeries(&form);
    later->setObjectName("Later");
    TVxSeries* series = Size > 0 && (Data[0] & 4)
                            ? new TVxPointSeries(&form)
                            : static_cast<TVxSeries*>(new TVxLineSeries(&form));
    series->setObjectName("Points");
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { series->ReadFrom(In); },
        [&](pugi::xml_node Element) { series->ReadFrom(Element); },
        [&](const TVxIniFile& Ini) { series->ReadFrom(Ini, "S"); });
    if (read && series->DrawBandTo() == series)
        __builtin_trap();
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
        for (TVxSeries* s : {static_cast<TVxSeries*>(later), series}) {
            s->Calculate();
            s->PaintGr(surface);
            s->DrawSymbols(surface);
        }
    }
    delete series;
    delete later;
    for (TVxAxis* a : {ax, ay})
        a->SetHost(nullptr);
    TVxApplication::Instance().Unregister(&form);
    return 0;
}
