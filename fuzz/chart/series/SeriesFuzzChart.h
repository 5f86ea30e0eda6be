#pragma once
// What the series record fuzzers share: a small chart of 100 x 100 pixels on a registered
// form "RecForm", with an X axis "AX", a left Y axis "AY" and named vectors, that series
// read from fuzz input refer to.

#include "../axes/RecordFuzzHost.h"
#include "series/Series.h"
#include "series/SeriesHost.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <QObject>
#include <QPointer>
#include <algorithm>
#include <vector>

/// The graph side of the chart: series join it, nothing is recorded, images are drawn.
class TFuzzSeriesGraph : public TFuzzAxisHost, public TVxSeriesHost {
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

/// The form, its axes and vectors. Series are created on Form; they are freed first, while
/// the graph and the axes they talk to still exist.
class TFuzzSeriesChart {
public:
    TFuzzSeriesChart() {
        Form.setObjectName("RecForm");
        TVxApplication::Instance().RegisterForm(&Form);
        XAxis->setObjectName("AX");
        YAxis->setObjectName("AY");
        YAxis->SetPosition(TVxAxisPosition::Left);
        for (TVxAxis* a : {XAxis, YAxis})
            a->SetHost(&Graph);
    }
    ~TFuzzSeriesChart() {
        // A series may free others it owns: each is deleted only while it still exists.
        std::vector<QPointer<TVxSeries>> series;
        for (TVxSeries* s : Form.findChildren<TVxSeries*>(Qt::FindDirectChildrenOnly))
            series.emplace_back(s);
        for (const QPointer<TVxSeries>& s : series)
            delete s.data();
        for (TVxAxis* a : {XAxis, YAxis})
            a->SetHost(nullptr);
        TVxApplication::Instance().Unregister(&Form);
    }
    TFuzzSeriesChart(const TFuzzSeriesChart&) = delete;
    TFuzzSeriesChart& operator=(const TFuzzSeriesChart&) = delete;

    TVxDoubleVector* Vector(const char* Name, const std::vector<double>& Values) {
        auto* v = new TVxDoubleVector(&Form);
        v->setObjectName(Name);
        v->AddRange(Values);
        return v;
    }

    /// Gives the axes their pixels and ranges from what the series now hold.
    void LayOut() {
        XAxis->SetAxisGeometry(0, 100, 100);
        YAxis->SetAxisGeometry(0, 0, 100);
        for (TVxAxis* a : {XAxis, YAxis}) {
            a->GetNewRanges();
            a->CalculateScale();
        }
    }

    QObject Form;
    TFuzzSeriesGraph Graph;
    TVxAxis* XAxis = new TVxAxis(&Form);
    TVxAxis* YAxis = new TVxAxis(&Form);
};
