#pragma once
// The paint check of the computed-curve record fuzzers: whatever was read, calculating,
// scaling and painting twice leaves every pixel of the curve finite.

#include "SeriesFuzzChart.h"
#include "drawing/QtSurface.h"
#include "series/FunctionSeries.h"

#include <cmath>

inline void PaintTwiceWithFinitePixels(TFuzzSeriesChart& Chart, TVxFunctionSeries& Series) {
    QImage image = FuzzImage();
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    for (int pass = 0; pass < 2; ++pass) {
        Series.Calculate();
        Chart.LayOut();
        Series.PaintGr(surface);
    }
    for (const QPointF& p : Series.Points())
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            __builtin_trap();
}
