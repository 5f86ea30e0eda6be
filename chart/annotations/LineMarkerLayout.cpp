// The horizontal and the vertical line marker: layout of line and caption box, placement,
// painting and the undo group of a drag.
//
// The layout works along the line (0 at its start, L at its end) and across it (0 at its
// centre). The caption box keeps the side and anchor its position names, the deltas move it
// as the position table says, and the bounds are the union of line and box, so that they
// cover everything painted and hit whatever the deltas are.

#include "annotations/LineMarker.h"
#include "axes/Axis.h"
#include "undo/UndoStack.h"

#include <algorithm>
#include <cmath>

namespace {

enum class TAlong { StartEdge, Centred, EndEdge, Before, After };
enum class TAcross { Before, Centre, After };

int Row(TVxContentAlignment Position) {
    return int(Position) / 3; // 0 top, 1 middle, 2 bottom
}

int Column(TVxContentAlignment Position) {
    return int(Position) % 3; // 0 left, 1 centre, 2 right
}

} // namespace

TVxLineMarkerGeometry VxLineMarkerGeometry(bool Horizontal, int T, int L, double BoxW, double BoxH,
                                           bool VerticalCaption, TVxContentAlignment Position,
                                           int DeltaX, int DeltaY, bool Shadow) {
    TVxLineMarkerGeometry g;
    const int half = T / 2;
    const bool caption = BoxW > 0 && BoxH > 0;
    const int row = Row(Position);
    const int column = Column(Position);
    double minA = 0, maxA = L, minC = -half, maxC = -half + T;
    TVxContentAlignment align = TVxContentAlignment::TopLeft;
    QRectF box;
    if (caption) {
        // The box's extent along and across the line.
        const double boxAlong = Horizontal ? (VerticalCaption ? std::nearbyint(BoxH) : BoxW)
                                           : (VerticalCaption ? BoxW : BoxH);
        const double boxAcross = Horizontal ? (VerticalCaption ? BoxW : BoxH)
                                            : (VerticalCaption ? std::nearbyint(BoxH) : BoxW);
        TAlong along;
        TAcross across;
        double dAlong, dAcross, centreShift;
        if (Horizontal) {
            along = column == 1   ? TAlong::Centred
                    : row == 1    ? (column == 0 ? TAlong::Before : TAlong::After)
                    : column == 0 ? TAlong::StartEdge
                                  : TAlong::EndEdge;
            across = row == 0 ? TAcross::Before : row == 1 ? TAcross::Centre : TAcross::After;
            dAlong = (VerticalCaption && along == TAlong::Centred) ? 0 : DeltaX;
            dAcross = DeltaY;
            centreShift = -DeltaY; // the middle row is raised by DeltaY
            if (VerticalCaption)
                align = row == 0   ? TVxContentAlignment::TopLeft
                        : row == 1 ? TVxContentAlignment::TopCenter
                                   : TVxContentAlignment::TopRight;
            else if (column == 1)
                align = TVxContentAlignment::TopCenter;
            else // text towards the line's end, or away from the line beside it
                align = (column == 0) != (row == 1) ? TVxContentAlignment::TopLeft
                                                    : TVxContentAlignment::TopRight;
        } else {
            along = row == 1      ? TAlong::Centred
                    : column == 1 ? (row == 0 ? TAlong::Before : TAlong::After)
                    : row == 0    ? TAlong::StartEdge
                                  : TAlong::EndEdge;
            across = column == 0 ? TAcross::Before : column == 1 ? TAcross::Centre : TAcross::After;
            dAlong = DeltaY;
            dAcross = DeltaX;
            centreShift = DeltaX; // the centre column moves right by DeltaX
            align = column == 0   ? TVxContentAlignment::TopRight
                    : column == 1 ? TVxContentAlignment::TopCenter
                                  : TVxContentAlignment::TopLeft;
        }
        double a0 = 0;
        switch (along) {
        case TAlong::StartEdge:
            a0 = -dAlong;
            break;
        case TAlong::Centred:
            a0 = L / 2.0 + dAlong - boxAlong / 2;
            break;
        case TAlong::EndEdge:
            a0 = L + dAlong - boxAlong;
            break;
        case TAlong::Before:
            a0 = -dAlong - boxAlong;
            break;
        case TAlong::After:
            a0 = L + dAlong;
            break;
        }
        double c0 = 0;
        switch (across) {
        case TAcross::Before:
            c0 = -dAcross - boxAcross;
            break;
        case TAcross::Centre:
            c0 = centreShift - boxAcross / 2;
            break;
        case TAcross::After:
            c0 = dAcross;
            break;
        }
        const double shadow = Shadow ? 5 : 0;
        minA = std::min(minA, a0);
        maxA = std::max(maxA, a0 + boxAlong + shadow);
        minC = std::min(minC, c0);
        maxC = std::max(maxC, c0 + boxAcross + shadow);
        box =
            Horizontal ? QRectF(a0, c0, boxAlong, boxAcross) : QRectF(c0, a0, boxAcross, boxAlong);
    }
    const int a = int(std::floor(minA)), c = int(std::floor(minC));
    const int lengthA = int(std::ceil(maxA)) - a, lengthC = int(std::ceil(maxC)) - c;
    if (Horizontal) {
        g.Bounds = QRect(0, 0, lengthA, lengthC);
        g.Line = QRect(-a, -half - c, L, T);
        g.HotDelta = QPoint(-a, -c);
        g.Box = box.translated(-a, -c);
    } else {
        g.Bounds = QRect(0, 0, lengthC, lengthA);
        g.Line = QRect(-half - c, -a, T, L);
        g.HotDelta = QPoint(-c, -a);
        g.Box = box.translated(-c, -a);
    }
    g.TextAlign = align;
    return g;
}

// --- horizontal marker ----------------------------------------------------------------------

TVxHorizontalMarker::TVxHorizontalMarker(QObject* AOwner) : TVxMovable(AOwner) {
    FCaptionPosition = TVxContentAlignment::TopRight;
}

namespace {

/// The line's thickness: the line width rounded, at least 5 pixels.
int Thickness(double LineWidth) {
    return std::max(5, int(std::nearbyint(LineWidth)));
}

/// Start and length of a line marker's line in host pixels along x (Horizontal) or y.
void LineSpan(const TVxMovable& Marker, bool Horizontal, int& Start, int& Length) {
    const TVxChartItemHost* host = Marker.Host();
    if (!host) {
        Start = 0;
        Length = 300;
        return;
    }
    if (Marker.ClipToData()) {
        const QRectF area = host->DrawingArea();
        Start = int(std::nearbyint(Horizontal ? area.left() : area.top()));
        Length = std::max(0, int(std::nearbyint(Horizontal ? area.width() : area.height())));
        return;
    }
    Start = 0;
    const QSize size = host->HostClientSize();
    Length = std::max(0, Horizontal ? size.width() : size.height());
}

/// A cross-hair's line is dragged: the step holds the cross-hair's X and Y, so that undoing
/// it restores the cross-hair and, through it, both lines.
void RecordMasterMove(TVxMovable& Master) {
    Master.UpdatePosition();
    TVxUndoStack* stack = Master.UndoStack();
    if (!stack || stack->Restoring())
        return;
    stack->StartGroup(QStringLiteral("Marker move"));
    try {
        stack->PushProperty(&Master, QString(), "X");
        stack->PushProperty(&Master, QString(), "Y");
    } catch (...) {
        stack->StopGroup();
        throw;
    }
    stack->StopGroup();
}

} // namespace

void TVxHorizontalMarker::SetHotDelta() {
    const bool caption = MeasureCaption();
    int length = 0;
    LineSpan(*this, true, FLineStart, length);
    const double m = CaptionBoxMargin();
    const double w = caption ? FCaptionRec.FWidth + 2 * m : 0;
    const double h = caption ? FCaptionRec.FHeight + 2 * m : 0;
    const TVxLineMarkerGeometry g =
        VxLineMarkerGeometry(true, Thickness(LineWidth()), length, w, h, FCaptionVertical,
                             FCaptionPosition, FCaptionDeltaX, FCaptionDeltaY, FDoDropShadow);
    FSize = g.Bounds.size();
    FLineRect = g.Line;
    FHotDelta = g.HotDelta;
    FCaptionRect = caption ? g.Box.toAlignedRect() : QRect();
    if (caption)
        PlaceCaptionText(g.Box, g.TextAlign);
}

QPoint TVxHorizontalMarker::HotPointFromData() const {
    const QPoint p = TVxMovable::HotPointFromData();
    return {FLineStart, p.y()};
}

void TVxHorizontalMarker::RecordMoveGroup() {
    if (FMaster) {
        RecordMasterMove(*FMaster);
        return;
    }
    TVxMovable::RecordMoveGroup();
}

void TVxHorizontalMarker::PaintMarker(TVxSurface& Gr) {
    if (FClipToData && !InRange(FYAxis, FY))
        return;
    const int t = FLineRect.height();
    const double y = FLineRect.top() + t / 2;
    TVxPen pen = FLineSettings->GetPen(QRectF(FLineRect));
    pen.Width = float(LineWidth());
    const TVxRegion clip = Gr.GetClip();
    if (!FCaptionRect.isEmpty())
        Gr.ExcludeClip(QRectF(FCaptionRect));
    if (FLineSettings->IsVisible())
        Gr.DrawLine(pen, QPointF(FLineRect.left(), y),
                    QPointF(FLineRect.left() + FLineRect.width(), y));
    Gr.SetClip(clip);
    PaintCaption(Gr);
}

// --- vertical marker ------------------------------------------------------------------------

TVxVerticalMarker::TVxVerticalMarker(QObject* AOwner) : TVxMovable(AOwner) {
    FCaptionPosition = TVxContentAlignment::TopCenter;
}

void TVxVerticalMarker::SetHotDelta() {
    const bool caption = MeasureCaption();
    int length = 0;
    LineSpan(*this, false, FLineStart, length);
    const double m = CaptionBoxMargin();
    const double w = caption ? FCaptionRec.FWidth + 2 * m : 0;
    const double h = caption ? FCaptionRec.FHeight + 2 * m : 0;
    const TVxLineMarkerGeometry g =
        VxLineMarkerGeometry(false, Thickness(LineWidth()), length, w, h, FCaptionVertical,
                             FCaptionPosition, FCaptionDeltaX, FCaptionDeltaY, FDoDropShadow);
    FSize = g.Bounds.size();
    FLineRect = g.Line;
    FHotDelta = g.HotDelta;
    FCaptionRect = caption ? g.Box.toAlignedRect() : QRect();
    if (caption)
        PlaceCaptionText(g.Box, g.TextAlign);
}

QPoint TVxVerticalMarker::HotPointFromData() const {
    const QPoint p = TVxMovable::HotPointFromData();
    return {p.x(), FLineStart};
}

void TVxVerticalMarker::RecordMoveGroup() {
    if (FMaster) {
        RecordMasterMove(*FMaster);
        return;
    }
    TVxMovable::RecordMoveGroup();
}

void TVxVerticalMarker::PaintMarker(TVxSurface& Gr) {
    if (FClipToData && !InRange(FXAxis, FX))
        return;
    const int t = FLineRect.width();
    const double x = FLineRect.left() + t / 2;
    TVxPen pen = FLineSettings->GetPen(QRectF(FLineRect));
    pen.Width = float(LineWidth());
    const TVxRegion clip = Gr.GetClip();
    if (!FCaptionRect.isEmpty())
        Gr.ExcludeClip(QRectF(FCaptionRect));
    if (FLineSettings->IsVisible())
        Gr.DrawLine(pen, QPointF(x, FLineRect.top()),
                    QPointF(x, FLineRect.top() + FLineRect.height()));
    Gr.SetClip(clip);
    PaintCaption(Gr);
}
