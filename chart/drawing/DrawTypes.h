#pragma once
// Small enumerations and geometry helpers shared by the drawing surface and its users.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QTransform>
#include <algorithm>
#include <cmath>

/// Dash style of a pen (streamed as a 32-bit integer, values 0 to 5).
enum class TDashStyle {
    DashStyleSolid = 0,      ///< continuous line
    DashStyleDash = 1,       ///< dashes 3, gaps 1 (in pen widths)
    DashStyleDot = 2,        ///< dots 1, gaps 1
    DashStyleDashDot = 3,    ///< 3, 1, 1, 1
    DashStyleDashDotDot = 4, ///< 3, 1, 1, 1, 1, 1
    DashStyleCustom = 5,     ///< the pen's own DashPattern
};

/// Anti-aliasing of geometry.
enum class TSmoothingMode {
    SmoothingModeNone,        ///< no anti-aliasing
    SmoothingModeHighSpeed,   ///< no anti-aliasing
    SmoothingModeHighQuality, ///< anti-aliased
    SmoothingModeAntiAlias,   ///< anti-aliased
};

/// Text rendering hint (values 0 to 5, also the font's RenderingHint).
enum class TVxTextRenderingHint {
    SystemDefault = 0,            ///< the platform's default
    SingleBitPerPixelGridFit = 1, ///< no anti-aliasing, hinted
    SingleBitPerPixel = 2,        ///< no anti-aliasing
    AntiAliasGridFit = 3,         ///< anti-aliased, hinted
    AntiAlias = 4,                ///< anti-aliased
    ClearTypeGridFit = 5,         ///< sub-pixel anti-aliasing where available
};

/// How a new clip combines with the current one.
enum class TCombineMode {
    CombineModeReplace = 0,   ///< the new clip replaces the current one
    CombineModeIntersect = 1, ///< both
    CombineModeUnion = 2,     ///< either
    CombineModeXor = 3,       ///< exactly one of the two
    CombineModeExclude = 4,   ///< the current clip without the new one
};

/// Cap drawn at the ends of an open line.
enum class TLineCap {
    LineCapFlat,   ///< ends at the end point
    LineCapSquare, ///< extends half the width beyond the end point
    LineCapRound,  ///< half circle around the end point
};

/// Fill rule of polygons and paths.
enum class TFillMode {
    FillModeAlternate, ///< even-odd rule
    FillModeWinding,   ///< non-zero winding rule
};

/// An affine transform; Translate, Rotate and Scale of QTransform prepend as on the surface.
using TVxMatrix = QTransform;

/// Rotation by Angle degrees (clockwise on screen) about Center, prepended to Matrix.
inline void RotateAt(TVxMatrix& Matrix, double Angle, QPointF Center) {
    Matrix.translate(Center.x(), Center.y());
    Matrix.rotate(Angle);
    Matrix.translate(-Center.x(), -Center.y());
}

/// The rectangle spanned by two corner points: X, Y the smaller coordinates, Width and Height
/// the distances.
inline QRect NormalizedRect(QPoint A, QPoint B) {
    return QRect(std::min(A.x(), B.x()), std::min(A.y(), B.y()), std::abs(A.x() - B.x()),
                 std::abs(A.y() - B.y()));
}

/// The float rectangle of two corner points, width and height at least 0.0001.
inline QRectF NormalizedRectF(QPointF A, QPointF B) {
    const double x = std::min(A.x(), B.x());
    const double y = std::min(A.y(), B.y());
    return QRectF(x, y, std::max(std::abs(A.x() - B.x()), 0.0001),
                  std::max(std::abs(A.y() - B.y()), 0.0001));
}

/// A toolkit Left/Top/Right/Bottom rectangle as X, Y, Width = Right - Left, Height = Bottom - Top.
inline QRectF RectFromLTRB(double Left, double Top, double Right, double Bottom) {
    return QRectF(Left, Top, Right - Left, Bottom - Top);
}
