// The marker base: setters with their undo steps, layout and placement on the data position,
// the caption box, dragging, snapping and the link to a snapped series.

#include "annotations/LineMarker.h"

#include "annotations/Legend.h"
#include "annotations/MarkerSurface.h"
#include "axes/Axis.h"
#include "drawing/LabelBox.h"
#include "series/NearestSearch.h"
#include "series/Series.h"
#include "undo/UndoStack.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

/// System colour index of the window frame.
constexpr int WindowFrameIndex = 6;

int ClampPixel(double Value) {
    if (!std::isfinite(Value))
        return 0;
    return int(
        std::nearbyint(std::clamp(Value, -double(MaxMarkerPixels), double(MaxMarkerPixels))));
}

} // namespace

TVxMovable::TVxMovable(QObject* AOwner) : TVxChartItem(AOwner) {
    FFont = new TVxFont([this] { RequestRecalculate(); }, this);
    FFont->mNeedsResize = [this] { RequestRecalculate(); };
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(9);
    FLineSettings = new TVxSimpleLineSettings([this] { RequestRecalculate(); }, this);
    FLineSettings->SetColor(FFont->FillColor());
    FCaptionBackGradient = new TVxGradientSettings([this] { RequestRecalculate(); }, this);
    FCaptionBackFrame = new TVxLineSettings([this] { RequestRecalculate(); }, this);
    FCaptionBackFrame->SetColor(SystemColor(WindowFrameIndex));
    FCaptionBackFrame->SetVisible(false);
    SetLayer(1);
}

TVxMovable::~TVxMovable() {
    BeginDestruction();
    VxUnlinkMarker(this);
}

bool TVxMovable::Recording() const {
    return FUndoStack && !FUndoStack->Restoring();
}

void TVxMovable::Record(const char* Comment, const char* Name) {
    if (Recording())
        FUndoStack->PushProperty(this, QString::fromUtf8(Comment), Name);
}

void TVxMovable::SetUndoStack(TVxUndoStack* Stack) {
    FUndoStack = Stack;
    FLineSettings->SetUndoStack(Stack);
    FCaptionBackGradient->SetUndoStack(Stack);
    FCaptionBackFrame->SetUndoStack(Stack);
}

void TVxMovable::HostChanged() {
    // A sub-component records nothing itself: its owner's steps restore it.
    if (TVxChartItemHost* host = Host(); host && !FUndoStack && !FSubComponent)
        SetUndoStack(host->HostUndoStack());
    RequestRecalculate();
}

// --- data position ----------------------------------------------------------------------

void TVxMovable::SetX(double Value) {
    if (!std::isfinite(Value) || !(Value < FX || Value > FX))
        return;
    Record("Marker set X-position", "X");
    FX = Value;
    UpdatePosition();
    if (OnMarkerMoved)
        OnMarkerMoved(this);
    RequestRecalculate();
}

void TVxMovable::SetY(double Value) {
    if (!std::isfinite(Value) || !(Value < FY || Value > FY))
        return;
    Record("Marker set Y-position", "Y");
    FY = Value;
    UpdatePosition();
    if (OnMarkerMoved)
        OnMarkerMoved(this);
    RequestRecalculate();
}

void TVxMovable::SetXAxis(TVxAxis* Value) {
    if (Value == FXAxis)
        return;
    Record("Marker X-axis", "XAxis");
    FXAxis = Value;
    RequestRecalculate();
}

void TVxMovable::SetYAxis(TVxAxis* Value) {
    if (Value == FYAxis)
        return;
    Record("Marker Y-axis", "YAxis");
    FYAxis = Value;
    RequestRecalculate();
}

void TVxMovable::MoveDataTo(double AX, double AY) {
    if (std::isfinite(AX))
        FX = AX;
    if (std::isfinite(AY))
        FY = AY;
    UpdatePosition();
    Repaint();
}

QPoint TVxMovable::HotPointFromData() const {
    const double x = FXAxis ? double(FXAxis->NumberToWorld(FX)) : FX;
    const double y = FYAxis ? double(FYAxis->NumberToWorld(FY)) : FY;
    return {ClampPixel(x), ClampPixel(y)};
}

void TVxMovable::SetRealPoint() {
    if (DragsX())
        FX = FXAxis ? FXAxis->WorldToNumber(float(FHotPoint.x())) : double(FHotPoint.x());
    if (DragsY())
        FY = FYAxis ? FYAxis->WorldToNumber(float(FHotPoint.y())) : double(FHotPoint.y());
}

void TVxMovable::ApplyBounds() {
    const bool was = FSetting;
    FSetting = true;
    SetBounds(FHotPoint.x() - FHotDelta.x(), FHotPoint.y() - FHotDelta.y(), FSize.width(),
              FSize.height());
    FSetting = was;
}

void TVxMovable::BoundsChanged(bool Resized) {
    (void)Resized;
    if (FSetting || IsDestroying())
        return;
    // Moved from outside (Left or Top set, an undo restoring them): the data position follows.
    FHotPoint = QPoint(Left(), Top()) + FHotDelta;
    SetRealPoint();
}

void TVxMovable::UpdatePosition() {
    if (IsDestroying())
        return;
    SetHotDelta();
    FRecalculate = false;
    FHotPoint = HotPointFromData();
    ApplyBounds();
}

void TVxMovable::RequestRecalculate() {
    FRecalculate = true;
    Repaint();
}

void TVxMovable::SetVisible(bool Value) {
    if (Value == Visible())
        return;
    TVxChartItem::SetVisible(Value);
    if (Value)
        RequestRecalculate();
}

// --- caption ----------------------------------------------------------------------------

void TVxMovable::SetCaption(const QString& Value) {
    if (Value == FCaptionRec.Caption)
        return;
    Record("Marker caption", "Caption");
    FCaptionRec.Caption = Value;
    RequestRecalculate();
}

void TVxMovable::SetBool(bool& Field, bool Value, const char* Comment, const char* Name) {
    if (Value == Field)
        return;
    Record(Comment, Name);
    Field = Value;
    RequestRecalculate();
}

void TVxMovable::SetCaptionVisible(bool Value) {
    SetBool(FCaptionVisible, Value, "Marker caption visible", "CaptionVisible");
}

void TVxMovable::SetCaptionVertical(bool Value) {
    SetBool(FCaptionVertical, Value, "Marker vertical caption", "CaptionVertical");
}

void TVxMovable::SetCaptionDeltaX(int Value) {
    Value = std::clamp(Value, -MaxMarkerPixels, MaxMarkerPixels);
    if (Value == FCaptionDeltaX)
        return;
    Record("Marker caption delta X", "CaptionDeltaX");
    FCaptionDeltaX = Value;
    RequestRecalculate();
}

void TVxMovable::SetCaptionDeltaY(int Value) {
    Value = std::clamp(Value, -MaxMarkerPixels, MaxMarkerPixels);
    if (Value == FCaptionDeltaY)
        return;
    Record("Marker caption delta Y", "CaptionDeltaY");
    FCaptionDeltaY = Value;
    RequestRecalculate();
}

void TVxMovable::SetCaptionPosition(TVxContentAlignment Value) {
    if (Value == FCaptionPosition || int(Value) < 0 || int(Value) > 8)
        return;
    Record("Caption of marker relative to", "CaptionPosition");
    FCaptionPosition = Value;
    RequestRecalculate();
}

void TVxMovable::SetCaptionPositionOrdinal(int Value) {
    if (Value >= 0 && Value <= 8)
        SetCaptionPosition(TVxContentAlignment(Value));
}

TVxColor TVxMovable::ForeColor() const {
    return FFont->FillColor();
}

void TVxMovable::SetForeColor(TVxColor Value) {
    if (Value == FFont->FillColor())
        return;
    Record("Marker foreground color", "ForeColor");
    FFont->SetFillColor(Value);
    Repaint();
}

void TVxMovable::SetFont(TVxFont* Value) {
    if (!Value || Value == FFont)
        return;
    if (Recording())
        FFont->PushToUndoStack(FUndoStack, QStringLiteral("Marker font"));
    FFont->Assign(*Value);
    RequestRecalculate();
}

void TVxMovable::SetLine(TVxSimpleLineSettings* Value) {
    if (Value && Value != FLineSettings)
        FLineSettings->Assign(Value);
}

void TVxMovable::SetClipToData(bool Value) {
    SetBool(FClipToData, Value, "Marker clip to graph drawing area", "ClipToData");
}

// --- snapping settings --------------------------------------------------------------------

void TVxMovable::LinkToSnapped() {
    if (FSnapToSeries && FSnappedSeries) {
        // The series unlinks its markers when it is destroyed.
        VxLinkMarker(FSnappedSeries, this);
    } else {
        VxUnlinkMarker(this);
    }
}

void TVxMovable::SetSnapToSeriesValues(bool Value) {
    FSnapToSeries = Value;
    LinkToSnapped();
}

void TVxMovable::SetSnapToFunctions(bool Value) {
    if (Value == FSnapToFunctions)
        return;
    Record("Marker snap to functions", "SnapToFunctions");
    FSnapToFunctions = Value;
    if (!Value && FSnappedSeries && FSnappedSeries->IsFunctionSeries()) {
        FSnappedSeries = nullptr;
        FSnapToSingleSeries = false;
        LinkToSnapped();
    }
}

void TVxMovable::SetSnappedSeries(TVxSeries* Value) {
    if (Value == FSnappedSeries && FSnapToSingleSeries == (Value != nullptr))
        return;
    Record("Marker snapped series", "SnappedSeries");
    FSnappedSeries = Value;
    FSnapToSingleSeries = Value != nullptr;
    if (Value && Value->IsFunctionSeries())
        FSnapToFunctions = true;
    LinkToSnapped();
}

void TVxMovable::SetSnappedIdx(int Value) {
    FSnappedIdx = std::max(Value, -1);
    TVxSeries* s = FSnappedSeries;
    if (!FSnapToSeries || !s || FSnappedIdx < 0)
        return;
    // Placed now when the series has taken in that value, else at its next calculation.
    if (FSnappedIdx < s->Count() && s->HasValuesAt(FSnappedIdx))
        PlaceOnSeries(*s, FSnappedIdx);
    else
        s->RangesModified();
}

void TVxMovable::SetLinkedIndex(int Idx) {
    FSnappedIdx = std::max(Idx, -1);
}

void TVxMovable::PlaceOnSeries(TVxSeries& Series, int Idx) {
    FSnappedIdx = Idx;
    if (!Visible())
        TVxChartItem::SetVisible(true);
    MoveDataTo(Series.TransformedX(Idx), Series.TransformedY(Idx));
}

void TVxMovable::HideOnSeries() {
    TVxChartItem::SetVisible(false);
}

void TVxMovable::FreeFromSeries() {
    // The caller may be this marker's own handler or a drag: hide and detach now, free later.
    FDragging = false;
    VxUnlinkMarker(this);
    TVxChartItem::SetVisible(false);
    SetHost(nullptr);
    deleteLater();
}

// --- caption background -------------------------------------------------------------------

void TVxMovable::SetCaptionBackColor(TVxColor Value) {
    if (Value == FCaptionBackColor)
        return;
    Record("Back color of captions", "CaptionBackColor");
    FCaptionBackColor = Value;
    RequestRecalculate();
}

void TVxMovable::SetCaptionBackGradient(TVxGradientSettings* Value) {
    if (Value && Value != FCaptionBackGradient)
        FCaptionBackGradient->Assign(Value);
}

void TVxMovable::SetCaptionBackFrame(TVxLineSettings* Value) {
    if (Value && Value != FCaptionBackFrame)
        FCaptionBackFrame->Assign(Value);
}

void TVxMovable::SetCaptionBackRaised(bool Value) {
    SetBool(FCaptionBackRaised, Value, "Raised captions background", "CaptionBackRaised");
}

void TVxMovable::SetCaptionBackLowered(bool Value) {
    SetBool(FCaptionBackLowered, Value, "Lowered captions background", "CaptionBackLowered");
}

void TVxMovable::SetCaptionBackShadow(bool Value) {
    SetBool(FCaptionBackShadow, Value, "Shadow below captions background", "CaptionBackShadow");
}

void TVxMovable::SetLength(float& Field, float Value, const char* Comment, const char* Name) {
    if (!std::isfinite(Value))
        return;
    Value = std::clamp(Value, -float(MaxMarkerPixels), float(MaxMarkerPixels));
    if (!(Value < Field || Value > Field))
        return;
    Record(Comment, Name);
    Field = Value;
    RequestRecalculate();
}

void TVxMovable::SetCaptionBackSpaceToBorder(float Value) {
    SetLength(FCaptionBackSpaceToBorder, Value, "Captions background space to border",
              "CaptionBackSpaceToBorder");
}

void TVxMovable::SetCaptionBackRounding(float Value) {
    SetLength(FCaptionBackRounding, Value, "Captions background border rounding",
              "CaptionBackRounding");
}

double TVxMovable::CaptionBoxMargin() const {
    if (!FDoBack)
        return 0;
    const double m = double(FFont->GetSize()) * 0.02 * double(FCaptionBackSpaceToBorder);
    return std::isfinite(m) ? std::clamp(m, -double(MaxMarkerPixels), double(MaxMarkerPixels))
                            : 0.0;
}

double TVxMovable::LineWidth() const {
    const double w = FLineSettings->Width();
    return std::isfinite(w) ? std::clamp(w, 0.0, double(MaxMarkerPixels)) : 1.0;
}

bool TVxMovable::MeasureCaption() {
    // Measured again only when something it depends on changed.
    if (FMeasured && !FRecalculate)
        return FCaptionShown;
    FMeasured = true;
    FCaptionShown = false;
    FDoBack = GetAlpha(FCaptionBackColor) != 0 || FCaptionBackFrame->Visible() ||
              FCaptionBackGradient->Visible();
    FDoDropShadow = FCaptionBackShadow &&
                    (GetAlpha(FCaptionBackColor) >= 200 || FCaptionBackGradient->Visible());
    if (!FCaptionVisible || FCaptionRec.Caption.trimmed().isEmpty()) {
        FDoDropShadow = false;
        return false;
    }
    FCaptionRec.Font = FFont;
    FCaptionRec.Angle = FCaptionVertical ? 90.0f : 0.0f;
    TVxMarkerSurface measuring;
    FCaptionRec.ParseForSize(measuring.Surface(), this);
    FCaptionShown = true;
    return true;
}

void TVxMovable::PlaceCaptionText(const QRectF& Box, TVxContentAlignment Align) {
    const double m = CaptionBoxMargin();
    const QRectF text = Box.adjusted(m, m, -m, -m);
    FCaptionRec.Align = Align;
    const QPointF off = FCaptionRec.BlockOffset();
    if (!FCaptionVertical) {
        FCaptionRec.X = float(text.left() - off.x());
        FCaptionRec.Y = float(text.top() - off.y());
    } else {
        // Turned by 90 degrees about the anchor: block point (x, y) lands at anchor + (y, -x).
        FCaptionRec.X = float(text.left() - off.y());
        FCaptionRec.Y = float(text.top() + off.x() + FCaptionRec.FWidth);
    }
}

void TVxMovable::PaintCaption(TVxSurface& Gr) {
    if (FCaptionRect.isEmpty())
        return;
    if (FDoBack) {
        const double f = std::max(1.0, double(FCaptionBackFrame->Width()));
        const QRectF box = QRectF(FCaptionRect).adjusted(f / 2, f / 2, -f / 2, -f / 2);
        const TVxBrush brush = FCaptionBackGradient->Visible()
                                   ? FCaptionBackGradient->GetBrush(box)
                                   : TVxBrush::SolidBrush(FCaptionBackColor);
        TVxPen pen = FCaptionBackFrame->GetPen(box);
        pen.Width = float(f);
        TVxLabelBoxStyle style;
        style.Lowered = FCaptionBackLowered;
        style.Raised = FCaptionBackRaised;
        style.DropShadow = FDoDropShadow;
        style.Frame = FCaptionBackFrame->Visible();
        const double r = std::abs(double(FFont->GetSize()) * FCaptionBackRounding * 0.02);
        style.Rounding = std::isfinite(r) ? std::min(r, double(MaxMarkerPixels)) : 0.0;
        DrawLabelBox(Gr, brush, pen, style, box);
    }
    FCaptionRec.PaintGr(Gr);
}

QSize TVxMovable::ParentSize() const {
    if (TVxChartItemHost* host = Host())
        return host->HostClientSize();
    return {300, 300};
}

QRectF TVxMovable::LocalDataArea() const {
    QRectF area(QPointF(0, 0), QSizeF(ParentSize()));
    if (TVxChartItemHost* host = Host())
        area = host->DrawingArea();
    return area.translated(-Left(), -Top());
}

bool TVxMovable::InRange(const TVxAxis* Axis, double Value) {
    if (!Axis)
        return true;
    return Value >= std::min(Axis->Start(), Axis->Stop()) &&
           Value <= std::max(Axis->Start(), Axis->Stop());
}

// --- painting and mouse ---------------------------------------------------------------------

void TVxMovable::PaintGr(TVxSurface& Gr) {
    const QPoint before(Left(), Top());
    UpdatePosition();
    // The host translated the surface to the bounds it saw; follow the new ones.
    Gr.TranslateTransform(Left() - before.x(), Top() - before.y());
    if (TVxChartItemHost* host = Host())
        host->ApplyItemQuality(Gr);
    PaintMarker(Gr);
    Gr.TranslateTransform(before.x() - Left(), before.y() - Top());
}

bool TVxMovable::HitTest(QPointF Position) const {
    if (FCaptionRect.isEmpty())
        return TVxChartItem::HitTest(Position);
    const QPointF p = Position - QPointF(Left(), Top());
    const auto inside = [&](const QRect& r) {
        return p.x() >= r.left() && p.x() <= r.left() + r.width() && p.y() >= r.top() &&
               p.y() <= r.top() + r.height();
    };
    return inside(FLineRect) || inside(FCaptionRect);
}

bool TVxMovable::MousePress(const TVxItemMouseEvent& e) {
    // A press on the marker is the marker's: it never starts a zoom or pan underneath.
    if (FMouseDrag && MouseShiftBits(e) == FStartMoveKeys)
        StartMarkerDrag(e.Position);
    return true;
}

void TVxMovable::MouseMove(const TVxItemMouseEvent& e) {
    if (FDragging)
        ContinueMarkerDrag(e.Position);
}

void TVxMovable::MouseRelease(const TVxItemMouseEvent& e) {
    (void)e;
    if (FDragging)
        EndMarkerDrag();
}

void TVxMovable::RecordMoveGroup() {
    if (!Recording())
        return;
    FUndoStack->StartGroup(QStringLiteral("Marker move"));
    try {
        if (DragsX())
            FUndoStack->PushProperty(this, QString(), "X");
        if (DragsY())
            FUndoStack->PushProperty(this, QString(), "Y");
    } catch (...) {
        FUndoStack->StopGroup();
        throw;
    }
    FUndoStack->StopGroup();
}

void TVxMovable::StartMarkerDrag(QPointF Position) {
    UpdatePosition();
    RecordMoveGroup();
    FDragging = true;
    FDragStart = Position;
    FDragPointStart = FHotPoint;
}

void TVxMovable::ContinueMarkerDrag(QPointF Position) {
    const QPointF moved = Position - FDragStart;
    QPoint drag = FDragPointStart;
    const QSize size = ParentSize();
    if (DragsX())
        drag.setX(std::clamp(FDragPointStart.x() + ClampPixel(moved.x()), 0,
                             std::max(0, size.width() - 1)));
    if (DragsY())
        drag.setY(std::clamp(FDragPointStart.y() + ClampPixel(moved.y()), 0,
                             std::max(0, size.height() - 1)));
    FHotPoint = drag;
    if (FSnapToSeries)
        SnapDragPoint(QPointF(drag));
    else
        SetRealPoint();
    ApplyBounds();
    Repaint();
    if (OnMarkerMoving)
        OnMarkerMoving(this);
}

void TVxMovable::EndMarkerDrag() {
    FDragging = false;
    if (OnMarkerMoved)
        OnMarkerMoved(this);
}

void TVxMovable::SnapDragPoint(QPointF DragPoint) {
    if (!FXAxis && !FYAxis) {
        SetRealPoint();
        return;
    }
    const TVxNearestMode mode = FXAxis && FYAxis ? TVxNearestMode::Point
                                : FXAxis         ? TVxNearestMode::X
                                                 : TVxNearestMode::Y;
    std::vector<TVxSeries*> candidates;
    if (FSnapToSingleSeries && FSnappedSeries) {
        candidates.push_back(FSnappedSeries);
    } else {
        // Only series drawn through the marker's own axes: another Y axis has another scale.
        TVxAxis* axis = FXAxis ? FXAxis.data() : FYAxis.data();
        for (TVxAxisRangeSource* source : axis->RelatedSeries()) {
            auto* s = dynamic_cast<TVxSeries*>(source);
            if (!s || s->IsDestroying())
                continue;
            if ((FXAxis && s->XAxis() != FXAxis) || (FYAxis && s->YAxis() != FYAxis))
                continue;
            if (s->IsFunctionSeries() && !FSnapToFunctions)
                continue;
            candidates.push_back(s);
        }
    }
    float best = std::numeric_limits<float>::infinity();
    TVxSeries* found = nullptr;
    TVxNearestPointResult hit;
    for (TVxSeries* s : candidates) {
        TVxNearestPointResult r;
        VxSeriesNearest(*s, mode, DragPoint, r);
        if (r.Found && r.Distance < best) {
            best = r.Distance;
            found = s;
            hit = r;
        }
    }
    if (!found) {
        SetRealPoint();
        return;
    }
    FSnappedSeries = found;
    FSnappedIdx = hit.Index;
    if (DragsX() && std::isfinite(hit.X))
        FX = hit.X;
    if (DragsY() && std::isfinite(hit.Y))
        FY = hit.Y;
    if (DragsX())
        FHotPoint.setX(ClampPixel(hit.ThePoint.x()));
    if (DragsY())
        FHotPoint.setY(ClampPixel(hit.ThePoint.y()));
    LinkToSnapped();
}
