#pragma once
// Axes on a fake graph with a 400 x 150 data area at (50, 20), two vectors, and the record
// transfer through the three containers, for the tests of the computed-curve kinds.

#include "drawing/RecordingSurface.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/Series.h"
#include "series/SeriesHost.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <algorithm>
#include <gtest/gtest.h>
#include <pugixml.hpp>

class TCurveGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return {50, 20, 400, 150}; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return nullptr; }
    void SeriesInvalidated(TVxSeries&) override {}
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return false; }
    bool DoingMetafile() const override { return false; }
    bool AntiAliased() const override { return false; }

    std::vector<TVxSeries*> List;
};

class CurveTest : public testing::Test {
protected:
    CurveTest() {
        XAxis.SetHost(&Graph);
        YAxis.SetHost(&Graph);
        YAxis.SetPosition(TVxAxisPosition::Left);
        XAxis.SetAxisGeometry(50, 170, 400);
        YAxis.SetAxisGeometry(50, 20, 150);
        XAxis.SetStartStop(0, 10);
        YAxis.SetStartStop(0, 20);
    }
    ~CurveTest() override {
        XAxis.SetHost(nullptr);
        YAxis.SetHost(nullptr);
    }
    void Attach(TVxSeries& S) {
        S.SetXAxis(&XAxis);
        S.SetYAxis(&YAxis);
        S.SetXData(&X);
        S.SetYData(&Y);
    }
    void Fill(const std::vector<double>& Xs, const std::vector<double>& Ys) {
        X.Clear();
        Y.Clear();
        X.AddRange(std::span<const double>(Xs));
        Y.AddRange(std::span<const double>(Ys));
    }

    // Paints the series, computing its points when they are stale.
    static void Draw(TVxSeries& S) {
        TVxRecordingSurface surface;
        S.PaintGr(surface);
    }

    TCurveGraph Graph;
    TVxAxis XAxis;
    TVxAxis YAxis;
    TVxDoubleVector X;
    TVxDoubleVector Y;
};

enum class TCurveContainer { Stream, Xml, Ini };

inline QByteArray CurveBytes(const TVxSeries& Series) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Series.WriteTo(static_cast<QIODevice&>(buffer));
    return bytes;
}

// Reads Bytes into Series; true when the record used every byte.
inline bool ReadCurveBytes(TVxSeries& Series, QByteArray Bytes) {
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Series.ReadFrom(static_cast<QIODevice&>(buffer));
    return buffer.atEnd();
}

inline void TransferCurve(const TVxSeries& Source, TVxSeries& Target, TCurveContainer Container) {
    switch (Container) {
    case TCurveContainer::Stream:
        ASSERT_TRUE(ReadCurveBytes(Target, CurveBytes(Source)));
        break;
    case TCurveContainer::Xml: {
        pugi::xml_document doc;
        Source.WriteTo(static_cast<pugi::xml_node>(doc));
        pugi::xml_document loaded;
        LoadXmlDocument(loaded, SaveXmlDocument(doc));
        Target.ReadFrom(loaded.first_child());
        break;
    }
    case TCurveContainer::Ini: {
        TVxIniFile ini;
        Source.WriteTo(ini, "Series");
        TVxIniFile loaded;
        loaded.LoadFromText(ini.SaveToText());
        Target.ReadFrom(loaded, "Series");
        break;
    }
    }
}
