#pragma once
// A graph for series tests: two real axes laid over a data area, a series list, and painting
// into the recording surface or an offscreen image clipped to the data area, as the graph does.

#include "axes/Axis.h"
#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"
#include "series/Series.h"
#include "series/SeriesHost.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

class TFakeSeriesGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    /// Axes over the data area (Left, Top, Width, Height), X from X0 to X1, Y from Y0 to Y1.
    TFakeSeriesGraph(double Left, double Top, double Width, double Height)
        : FArea(Left, Top, Width, Height) {
        XAxis.SetHost(this);
        YAxis.SetHost(this);
        YAxis.SetPosition(TVxAxisPosition::Left);
        XAxis.SetAxisGeometry(float(Left), float(Top + Height), float(Width));
        YAxis.SetAxisGeometry(float(Left), float(Top), float(Height));
    }
    ~TFakeSeriesGraph() override {
        XAxis.SetHost(nullptr);
        YAxis.SetHost(nullptr);
    }
    void SetRanges(double X0, double X1, double Y0, double Y1) {
        XAxis.SetStartStop(X0, X1);
        YAxis.SetStartStop(Y0, Y1);
    }
    /// Independent value-to-pixel maps of the data area (linear, Y rising upwards unless the
    /// axis is twisted).
    double PX(double V) const {
        return FArea.left() + (V - XAxis.Start()) / (XAxis.Stop() - XAxis.Start()) * FArea.width();
    }
    double PY(double V) const {
        const double u = (V - YAxis.Start()) / (YAxis.Stop() - YAxis.Start()) * FArea.height();
        return YAxis.Twisted() ? FArea.top() + u : FArea.top() + FArea.height() - u;
    }
    void Attach(TVxSeries& S) {
        S.SetXAxis(&XAxis);
        S.SetYAxis(&YAxis);
    }
    /// What the graph does before painting: extent, then the series' own drawing.
    void Paint(TVxSeries& S) {
        S.Calculate();
        Surface.ClearRecords();
        S.PaintGr(Surface);
    }
    /// Paints S (lines, then symbols) into a white image of the area's size, clipped to the
    /// data area, anti-aliased or not.
    QImage PaintImage(TVxSeries& S, bool AntiAliased) {
        S.Calculate();
        QImage image(int(FArea.right()), int(FArea.bottom()), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        surface.SetSmoothingMode(AntiAliased ? TSmoothingMode::SmoothingModeAntiAlias
                                             : TSmoothingMode::SmoothingModeNone);
        surface.SetClip(FArea);
        S.PaintGr(surface);
        S.DrawSymbols(surface);
        return image;
    }

    // Axis host.
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    // Series host.
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return FArea; }
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

    TVxAxis XAxis;
    TVxAxis YAxis;
    TVxRecordingSurface Surface;
    std::vector<TVxSeries*> List;

private:
    QRectF FArea;
};
