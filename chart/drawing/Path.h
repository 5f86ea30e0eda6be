#pragma once
// Paths as value types: figures of lines, arcs, ellipses, rectangles and text.

#include "drawing/DrawTypes.h"

#include <QPainterPath>
#include <QString>
#include <span>

struct TVxPen;
struct TVxFontSpec;
struct TVxStringFormat;

/// A path of the drawing surface. Arcs use screen angles: degrees clockwise from the x axis.
class TVxPath {
public:
    /// An empty path with the given fill rule (alternate by default).
    explicit TVxPath(TFillMode FillMode = TFillMode::FillModeAlternate);

    /// Appends an arc of the ellipse in Rect, joined by a line to an open figure's last point.
    void AddArc(const QRectF& Rect, double StartAngle, double SweepAngle);
    /// Appends connected lines through Points to the current figure.
    void AddLines(std::span<const QPointF> Points);
    /// Appends one line to the current figure.
    void AddLine(QPointF From, QPointF To);
    /// Adds the ellipse in Rect as a closed figure of its own.
    void AddEllipse(const QRectF& Rect);
    /// Adds Points as a closed figure of its own.
    void AddPolygon(std::span<const QPointF> Points);
    /// Adds Rect as a closed figure of its own.
    void AddRectangle(const QRectF& Rect);
    /// Adds the outlines of Text laid out in Layout as closed figures.
    void AddString(const QString& Text, const TVxFontSpec& Font, const QRectF& Layout,
                   const TVxStringFormat& Format);
    /// Adds all figures of Other.
    void AddPath(const TVxPath& Other);
    /// Closes the current figure; the next addition starts a new one.
    void CloseFigure();

    /// Applies Matrix to every point.
    void Transform(const TVxMatrix& Matrix);
    /// Replaces the path by the outline of its stroke with Pen.
    void Widen(const TVxPen& Pen);
    /// Replaces the path by its outline (overlaps merged).
    void Outline();

    /// The fill rule.
    TFillMode FillMode() const { return FFillMode; }
    /// The path in Qt form, with the fill rule applied.
    const QPainterPath& ToQt() const { return FPath; }
    /// True when the path has no figure.
    bool IsEmpty() const { return FPath.isEmpty(); }
    /// The bounding box of all points.
    QRectF Bounds() const { return FPath.boundingRect(); }
    /// A path from a Qt path (its fill rule becomes the path's).
    static TVxPath FromQt(const QPainterPath& Path);
    /// Equal figures and fill rule.
    bool operator==(const TVxPath& Other) const {
        return FFillMode == Other.FFillMode && FPath == Other.FPath;
    }

private:
    QPainterPath FPath;
    TFillMode FFillMode;
    bool FFigureOpen = false;
};

/// A Qt path holding only the arc, from its first point.
QPainterPath ArcPath(const QRectF& Rect, double StartAngle, double SweepAngle);
