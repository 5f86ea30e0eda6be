#pragma once
// Shaded faces of solid shapes: a linear gradient of any number of colours, and the fill of
// a four-cornered face whose colour runs from a centre colour to a colour at each corner.
//
// A four-corner face is coloured as a fan of four triangles: the centre (the mean of the
// corners) and each edge. A point takes the colour of the triangle of the centre and the
// edge it faces, linearly (barycentric) within that triangle. The face is rendered per
// pixel into an ARGB image at the target's resolution, with the face's coverage in alpha,
// and drawn as one image: no clip is involved, so vector targets show it the same. Nothing
// is painted outside the face, so its 1-pixel outline shows only on the inside.

#include "drawing/Brush.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <span>

class TVxSurface;

/// A linear gradient over Rect at Angle degrees (clockwise) through Stops (positions 0 to 1,
/// ascending), laid out like the two-colour linear gradient.
TVxBrush LinearStopsBrush(const QRectF& Rect, std::span<const TVxGradientStop> Stops, double Angle);

/// The colours of a four-corner face: at the centre and at each corner, in corner order.
struct TVxFaceColors {
    TVxColor Center = 0;
    TVxColor Corners[4] = {0, 0, 0, 0};
};

/// A face's corners in world units, in order around the face (either sense).
using TVxFaceCorners = std::span<const QPointF, 4>;

/// The colour of the face at P, P clamped into the triangle of the centre and the edge P
/// faces (channels interpolated, alpha with them).
TVxColor FaceColorAt(TVxFaceCorners Corners, const TVxFaceColors& Colors, QPointF P);

/// A face rendered into an image: premultiplied ARGB pixels and where they go in world units.
struct TVxFaceImage {
    QImage Image;
    QRectF Target;
};

/// Renders the face at Scale image pixels per world unit, pixel centres on the world grid
/// (integers at Scale 1). With AntiAlias the alpha is the face's coverage of each pixel
/// (4 x 4 samples), else 0 or 1 by the pixel centre. With OutlineWidth above 0 (pixels) only
/// the inner half of a centred outline of that width is painted.
TVxFaceImage RenderFace(TVxFaceCorners Corners, const TVxFaceColors& Colors, double Scale,
                        bool AntiAlias, double OutlineWidth = 0);

/// Fills the face on Gr (resolution from Gr's transform, anti-aliasing from its smoothing
/// mode).
void FillFace(TVxSurface& Gr, TVxFaceCorners Corners, const TVxFaceColors& Colors);
/// Strokes the inner 1-pixel outline of the face with the colours of Outline.
void OutlineFace(TVxSurface& Gr, TVxFaceCorners Corners, const TVxFaceColors& Outline);
