#pragma once
// A 96-dpi surface for measuring marker captions outside a paint.

#include "drawing/QtSurface.h"

#include <QImage>
#include <QPainter>
#include <optional>

class TVxMarkerSurface {
public:
    TVxMarkerSurface() : FImage(1, 1, QImage::Format_ARGB32_Premultiplied) {
        FImage.setDotsPerMeterX(3780);
        FImage.setDotsPerMeterY(3780);
        FPainter.begin(&FImage);
        FSurface.emplace(FPainter);
    }
    /// The surface to measure with.
    TVxSurface& Surface() { return *FSurface; }

private:
    QImage FImage;
    QPainter FPainter;
    std::optional<TVxQtSurface> FSurface;
};
