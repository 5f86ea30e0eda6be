// The cross-hair: its two line markers kept in step, the caption in a quadrant, layout and
// painting.

#include "annotations/CrossHair.h"

#include "undo/UndoStack.h"

#include <algorithm>
#include <cmath>

TVxCrossHair::TVxCrossHair(QObject* AOwner) : TVxMovable(AOwner) {
    FCaptionVisible = true;
    FHHelper = new TVxHorizontalMarker(this);
    FHHelper->setObjectName(QStringLiteral("HorizontalMarker"));
    FVHelper = new TVxVerticalMarker(this);
    FVHelper->setObjectName(QStringLiteral("VertikalMarker"));
    for (TVxMovable* line :
         {static_cast<TVxMovable*>(FHHelper), static_cast<TVxMovable*>(FVHelper)}) {
        // The lines record nothing themselves: the cross-hair's steps restore them.
        line->SetCaptionVisible(false);
        line->OnMarkerMoving = [this](TVxMovable* Line) { LineMoving(Line); };
    }
    FHHelper->MakeSubComponent();
    FVHelper->MakeSubComponent();
    FHHelper->FMaster = this;
    FVHelper->FMaster = this;
    // Above its lines, so that a press on the crossing point drags both.
    SetLayer(2);
}

TVxCrossHair::~TVxCrossHair() {
    BeginDestruction();
}

void TVxCrossHair::SyncLines() {
    if (IsDestroying())
        return;
    for (TVxMovable* line :
         {static_cast<TVxMovable*>(FHHelper), static_cast<TVxMovable*>(FVHelper)}) {
        if (line->Host() != Host())
            line->SetHost(Host());
        line->SetLayer(Layer() - 1);
        line->Line()->Assign(FLineSettings);
        line->SetClipToData(FClipToData);
        line->SetMouseDrag(FMouseDrag);
        line->SetStartMovingKeys(FStartMoveKeys);
        if (line->Visible() != Visible())
            line->TVxChartItem::SetVisible(Visible());
    }
    FHHelper->SetYAxis(FYAxis);
    FVHelper->SetXAxis(FXAxis);
    if (FHHelper->Y() != FY)
        FHHelper->MoveDataTo(FHHelper->X(), FY);
    if (FVHelper->X() != FX)
        FVHelper->MoveDataTo(FX, FVHelper->Y());
}

void TVxCrossHair::HostChanged() {
    TVxMovable::HostChanged();
    SyncLines();
}

void TVxCrossHair::SetX(double Value) {
    if (!std::isfinite(Value))
        return;
    FVHelper->MoveDataTo(Value, FVHelper->Y());
    TVxMovable::SetX(Value);
}

void TVxCrossHair::SetY(double Value) {
    if (!std::isfinite(Value))
        return;
    FHHelper->MoveDataTo(FHHelper->X(), Value);
    TVxMovable::SetY(Value);
}

void TVxCrossHair::SetXAxis(TVxAxis* Value) {
    TVxMovable::SetXAxis(Value);
    SyncLines();
}

void TVxCrossHair::SetYAxis(TVxAxis* Value) {
    TVxMovable::SetYAxis(Value);
    SyncLines();
}

void TVxCrossHair::SetClipToData(bool Value) {
    TVxMovable::SetClipToData(Value);
    SyncLines();
}

void TVxCrossHair::SetVisible(bool Value) {
    TVxMovable::SetVisible(Value);
    SyncLines();
}

void TVxCrossHair::SetQuadrant(TVxXHairCaptionPosition Value) {
    if (Value == FCaptionQadrant || int(Value) < 0 || int(Value) > 3)
        return;
    Record("Cross hair caption in quadrant", "CaptionPosition");
    FCaptionQadrant = Value;
    RequestRecalculate();
}

void TVxCrossHair::SetQuadrantOrdinal(int Value) {
    if (Value >= 0 && Value <= 3)
        SetQuadrant(TVxXHairCaptionPosition(Value));
}

void TVxCrossHair::MoveDataTo(double AX, double AY) {
    TVxMovable::MoveDataTo(AX, AY);
    SyncLines();
}

void TVxCrossHair::ContinueMarkerDrag(QPointF Position) {
    TVxMovable::ContinueMarkerDrag(Position);
    // The lines follow without recording: the press recorded the cross-hair's step.
    FHHelper->MoveDataTo(FHHelper->X(), FY);
    FVHelper->MoveDataTo(FX, FVHelper->Y());
}

void TVxCrossHair::LineMoving(TVxMovable* Line) {
    if (Line == FHHelper)
        FY = FHHelper->Y();
    else
        FX = FVHelper->X();
    UpdatePosition();
    Repaint();
    if (OnMarkerMoving)
        OnMarkerMoving(this);
}

void TVxCrossHair::SetHotDelta() {
    const bool caption = MeasureCaption();
    const double lw = LineWidth();
    const int half = int(std::nearbyint(lw / 2));
    int p, r, q, s; // reaches left, right, up, down
    QRectF box;
    TVxContentAlignment align = TVxContentAlignment::BottomLeft;
    if (!caption) {
        p = r = q = s = half + 6;
    } else {
        p = r = q = s = half;
        const double m = CaptionBoxMargin();
        double w = FCaptionRec.FWidth + 2 * m, h = FCaptionRec.FHeight + 2 * m;
        if (FCaptionVertical)
            std::swap(w, h);
        // Whole pixels that hold the box (rounding could cut its last fraction off).
        const int bw = int(std::ceil(w)), bh = int(std::ceil(h));
        const int dx = FCaptionDeltaX, dy = FCaptionDeltaY;
        const bool right = FCaptionQadrant == TVxXHairCaptionPosition::RightTop ||
                           FCaptionQadrant == TVxXHairCaptionPosition::RightBottom;
        const bool top = FCaptionQadrant == TVxXHairCaptionPosition::RightTop ||
                         FCaptionQadrant == TVxXHairCaptionPosition::LeftTop;
        // The box's corner nearest the crossing point, offsets away from it.
        if (right) {
            r = std::max(r, bw + dx);
            p = std::max(p, -dx);
        } else {
            p = std::max(p, bw + dx);
            r = std::max(r, -dx);
        }
        if (top) {
            q = std::max(q, bh + dy);
            s = std::max(s, -dy);
        } else {
            s = std::max(s, bh + dy);
            q = std::max(q, -dy);
        }
        if (FDoDropShadow) {
            r += 5;
            s += 5;
        }
        const double left = right ? p + dx : p - dx - w;
        const double upper = top ? q - dy - h : q + dy;
        box = QRectF(left, upper, w, h);
        align = top ? (right ? TVxContentAlignment::BottomLeft : TVxContentAlignment::BottomRight)
                    : (right ? TVxContentAlignment::TopLeft : TVxContentAlignment::TopRight);
    }
    FSize = QSize(p + r + 1, q + s + 1);
    FHotDelta = QPoint(p, q);
    const int k = std::max(half, 2) + 1; // the grab area around the crossing point
    FLineRect = QRect(p - k, q - k, 2 * k + 1, 2 * k + 1);
    FCaptionRect = caption ? box.toAlignedRect() : QRect();
    if (caption)
        PlaceCaptionText(box, align);
}

void TVxCrossHair::PaintMarker(TVxSurface& Gr) {
    if (FFirstPaint) {
        // The lines may have been laid out before the cross-hair knew its graph.
        FFirstPaint = false;
        SyncLines();
        FHHelper->RequestRecalculate();
        FVHelper->RequestRecalculate();
    }
    if (FCaptionRect.isEmpty())
        return;
    const TVxRegion clip = Gr.GetClip();
    if (FClipToData && Host())
        Gr.SetClip(LocalDataArea(), TCombineMode::CombineModeIntersect);
    PaintCaption(Gr);
    Gr.SetClip(clip);
}
