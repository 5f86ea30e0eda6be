// The label with arrow: arrow properties and their undo steps, layout around the arrow, its
// head, the bent and the caption, the hit test, painting and the grips.

#include "annotations/LabelWithArrow.h"

#include "annotations/ArrowGrips.h"
#include "drawing/ArrowCap.h"
#include "undo/UndoStack.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

int ClampDelta(long long Value) {
    return int(std::clamp<long long>(Value, -MaxMarkerPixels, MaxMarkerPixels));
}

double Degrees(double Radians) {
    return Radians * 180 / std::numbers::pi;
}

double Radians(double Degrees) {
    return Degrees * std::numbers::pi / 180;
}

} // namespace

TVxLabelWithArrowMarker::TVxLabelWithArrowMarker(QObject* AOwner) : TVxMovable(AOwner) {
    FCaptionVisible = true;
    FArrowSettings = new TVxArrowSettings([this] { RequestRecalculate(); }, this);
    // The arrow is the marker's line.
    FArrowSettings->SetColor(FFont->FillColor());
    delete FLineSettings;
    FLineSettings = FArrowSettings;
    FArrowGrip = new TVxArrowGrip(this);
    FBentLengthGrip = new TVxBentLengthGrip(this);
    FCaptionGrip = new TVxCaptionGrip(this);
}

TVxLabelWithArrowMarker::~TVxLabelWithArrowMarker() {
    BeginDestruction();
}

void TVxLabelWithArrowMarker::SetArrow(TVxArrowSettings* Value) {
    if (Value && Value != FArrowSettings)
        FArrowSettings->Assign(Value);
}

void TVxLabelWithArrowMarker::SetArrowDeltaX(int Value) {
    Value = ClampDelta(Value);
    if (Value == FArrowDeltaX)
        return;
    Record("Marker arrow delta X", "ArrowDeltaX");
    FArrowDeltaX = Value;
    RequestRecalculate();
}

void TVxLabelWithArrowMarker::SetArrowDeltaY(int Value) {
    Value = ClampDelta(Value);
    if (Value == FArrowDeltaY)
        return;
    Record("Marker arrow delta Y", "ArrowDeltaY");
    FArrowDeltaY = Value;
    RequestRecalculate();
}

float TVxLabelWithArrowMarker::ArrowLength() const {
    return float(std::hypot(double(FArrowDeltaX), double(FArrowDeltaY)));
}

float TVxLabelWithArrowMarker::ArrowAngle() const {
    const double dx = FArrowDeltaX, dy = FArrowDeltaY;
    double a;
    if (dx != 0)
        a = Degrees(std::atan(-dy / dx));
    else
        a = dy < 0 ? 90 : 270;
    if (dx < 0)
        a += 180;
    else if (dx > 0 && dy >= 0)
        a += 360;
    a = std::fmod(a, 360.0);
    if (a < 0)
        a += 360;
    return float(a);
}

void TVxLabelWithArrowMarker::SetDeltas(int DeltaX, int DeltaY, const char* Comment) {
    // Both deltas in one step: undo restores them exactly, not a value derived from them.
    if (Recording()) {
        FUndoStack->StartGroup(QString::fromUtf8(Comment));
        try {
            FUndoStack->PushProperty(this, QString(), "ArrowDeltaX");
            FUndoStack->PushProperty(this, QString(), "ArrowDeltaY");
        } catch (...) {
            FUndoStack->StopGroup();
            throw;
        }
        FUndoStack->StopGroup();
    }
    FArrowDeltaX = ClampDelta(DeltaX);
    FArrowDeltaY = ClampDelta(DeltaY);
    RequestRecalculate();
}

void TVxLabelWithArrowMarker::SetArrowLength(float Value) {
    if (!std::isfinite(Value))
        return;
    const double l = std::min(std::abs(double(Value)), double(MaxMarkerPixels));
    const double a = Radians(ArrowAngle());
    SetDeltas(int(std::nearbyint(std::cos(a) * l)), -int(std::nearbyint(std::sin(a) * l)),
              "Marker length of arrow");
}

void TVxLabelWithArrowMarker::SetArrowAngle(float Value) {
    if (!std::isfinite(Value))
        return;
    double a = std::fmod(double(Value), 360.0);
    if (a < 0)
        a += 360;
    const double l = ArrowLength();
    SetDeltas(int(std::nearbyint(std::cos(Radians(a)) * l)),
              -int(std::nearbyint(std::sin(Radians(a)) * l)), "Marker arrow angle");
}

void TVxLabelWithArrowMarker::SetBentLength(int Value) {
    // The magnitude, computed wide: the magnitude of INT_MIN does not fit an int.
    const int bent = ClampDelta(std::llabs(static_cast<long long>(Value)));
    if (bent == FBentLength)
        return;
    Record("Marker arrow bent length", "BentLength");
    FBentLength = bent;
    RequestRecalculate();
}

void TVxLabelWithArrowMarker::SetHoverGrips(bool Value) {
    FHoverGrips = Value;
    if (!Value)
        ShowGrips(false);
}

void TVxLabelWithArrowMarker::MoveArrowEnd(int DeltaX, int DeltaY) {
    FArrowDeltaX = ClampDelta(DeltaX);
    FArrowDeltaY = ClampDelta(DeltaY);
    RequestRecalculate();
    UpdatePosition();
}

void TVxLabelWithArrowMarker::MoveBentLength(int Value) {
    FBentLength = ClampDelta(std::llabs(static_cast<long long>(Value)));
    RequestRecalculate();
    UpdatePosition();
}

void TVxLabelWithArrowMarker::MoveCaption(int DeltaX, int DeltaY) {
    FCaptionDeltaX = ClampDelta(DeltaX);
    FCaptionDeltaY = ClampDelta(DeltaY);
    RequestRecalculate();
    UpdatePosition();
}

QPoint TVxLabelWithArrowMarker::BentEnd() const {
    if (FCaptionVertical)
        return {FArrowDeltaX, FArrowDeltaY + (FArrowDeltaY > 0 ? FBentLength : -FBentLength)};
    return {FArrowDeltaX + (FArrowDeltaX < 0 ? -FBentLength : FBentLength), FArrowDeltaY};
}

double TVxLabelWithArrowMarker::BandHalfWidth() const {
    const double lw = LineWidth();
    return std::max({lw * double(FArrowSettings->PointHeight()) + 1, lw, 4.0});
}

void TVxLabelWithArrowMarker::SetHotDelta() {
    const bool caption = MeasureCaption();
    const bool arrow = FArrowSettings->Visible();
    const double lw = LineWidth();
    // Everything relative to the data point.
    const QPointF end = ArrowEnd();
    const QPointF bent = BentEnd();
    std::vector<QPointF> reach{QPointF(0, 0)};
    QRectF bentRect;
    if (arrow) {
        reach.push_back(end);
        reach.push_back(bent);
        const double length = ArrowLength();
        if (length > 0) {
            // The band that takes the mouse covers the line and the head.
            const double w = BandHalfWidth();
            const QPointF u = end / length;
            const QPointF n(-u.y(), u.x());
            for (double along : {-w, length + w})
                for (double across : {-w, w})
                    reach.push_back(u * along + n * across);
            for (QPointF p : ArrowHead(QPointF(0, 0), end, FArrowSettings->Cap(), lw))
                reach.push_back(p);
        }
        if (FBentLength > 0) {
            double h = lw * double(FArrowSettings->PointHeight()) + 1;
            if (h < lw)
                h = std::nearbyint(lw);
            h = std::max(h, 3.0);
            const QRectF along = QRectF(end, bent).normalized();
            bentRect = along.adjusted(-h, -h, h, h);
            reach.push_back(bentRect.topLeft());
            reach.push_back(bentRect.bottomRight());
        }
    }
    QRectF box;
    TVxContentAlignment align = TVxContentAlignment::BottomLeft;
    if (caption) {
        const double m = CaptionBoxMargin();
        double w = FCaptionRec.FWidth + 2 * m, h = FCaptionRec.FHeight + 2 * m;
        if (FCaptionVertical)
            std::swap(w, h);
        const QPointF corner =
            (arrow ? bent : QPointF(0, 0)) + QPointF(FCaptionDeltaX, FCaptionDeltaY);
        const double left = FArrowDeltaX < 0 ? corner.x() - w : corner.x();
        const double top = FArrowDeltaY <= 0 ? corner.y() - h : corner.y();
        box = QRectF(left, top, w, h);
        const double a = ArrowAngle();
        const int range = a <= 90 ? 0 : a <= 180 ? 1 : a < 270 ? 2 : 3;
        static const TVxContentAlignment flat[4] = {
            TVxContentAlignment::BottomLeft, TVxContentAlignment::BottomRight,
            TVxContentAlignment::TopRight, TVxContentAlignment::TopLeft};
        static const TVxContentAlignment turned[4] = {
            TVxContentAlignment::TopRight, TVxContentAlignment::BottomRight,
            TVxContentAlignment::BottomLeft, TVxContentAlignment::TopLeft};
        align = FCaptionVertical ? turned[range] : flat[range];
        reach.push_back(box.topLeft());
        reach.push_back(box.bottomRight() + (FDoDropShadow ? QPointF(5, 5) : QPointF(0, 0)));
    }
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (QPointF p : reach) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const auto reachOf = [](double v) {
        return int(std::ceil(std::clamp(v, 0.0, double(MaxMarkerPixels))));
    };
    const int left = reachOf(-minX), right = reachOf(maxX), up = reachOf(-minY),
              down = reachOf(maxY);
    FSize = QSize(left + right + 1, up + down + 1);
    FHotDelta = QPoint(left, up);
    const QPointF origin(left, up);
    FBentRect = bentRect.isNull() ? QRectF() : bentRect.translated(origin);
    FLineRect = QRect();
    FCaptionRect = caption ? box.translated(origin).toAlignedRect() : QRect();
    if (caption)
        PlaceCaptionText(box.translated(origin), align);
    PlaceGrips();
}

void TVxLabelWithArrowMarker::PlaceGrips() {
    // The bounds may not be placed yet: work from the hot point, not from Left and Top.
    const QPoint data = FHotPoint;
    const QPoint end = data + ArrowEnd();
    FArrowGrip->SetBounds(end.x() - 4, end.y() - 4, 8, 8);
    const QPoint bent = data + BentEnd();
    if (FCaptionVertical)
        FBentLengthGrip->SetBounds(bent.x() - 2, bent.y() - 9, 4, 18);
    else
        FBentLengthGrip->SetBounds(bent.x() - 9, bent.y() - 2, 18, 4);
    if (!FCaptionRect.isEmpty()) {
        const QPoint corner = data - FHotDelta + FCaptionRect.bottomRight();
        FCaptionGrip->SetBounds(corner.x() - 13, corner.y() - 13, 14, 14);
    }
    for (TVxArrowGrip* grip : {FArrowGrip, FBentLengthGrip, FCaptionGrip})
        if (grip->Host() != Host())
            grip->SetHost(Host());
}

void TVxLabelWithArrowMarker::ShowGrips(bool ShowThem) {
    const bool allowed =
        ShowThem && FHoverGrips && FMouseDrag && FArrowSettings->Visible() && Visible() && Host();
    // The arrow-end grip above the bent grip, which starts at the same point.
    FArrowGrip->SetLayer(Layer() + 2);
    FBentLengthGrip->SetLayer(Layer() + 1);
    FCaptionGrip->SetLayer(Layer() + 1);
    FArrowGrip->SetVisible(allowed && (FDraggingOptions & amdArrowEnd));
    FBentLengthGrip->SetVisible(allowed && (FDraggingOptions & amdBentGrip));
    FCaptionGrip->SetVisible(allowed && (FDraggingOptions & amdCaptionGrip) &&
                             !FCaptionRect.isEmpty());
}

void TVxLabelWithArrowMarker::MouseEnter() {
    ShowGrips(true);
}

void TVxLabelWithArrowMarker::MouseLeave() {
    // Moving on to a grip shows the grips again (its enter follows this leave).
    ShowGrips(false);
}

void TVxLabelWithArrowMarker::SetVisible(bool Value) {
    TVxMovable::SetVisible(Value);
    if (!Value)
        ShowGrips(false);
}

void TVxLabelWithArrowMarker::HostChanged() {
    TVxMovable::HostChanged();
    for (TVxArrowGrip* grip : {FArrowGrip, FBentLengthGrip, FCaptionGrip})
        if (grip->Host() != Host())
            grip->SetHost(Host());
}

void TVxLabelWithArrowMarker::BoundsChanged(bool Resized) {
    TVxMovable::BoundsChanged(Resized);
    if (!IsDestroying())
        PlaceGrips();
}

void TVxLabelWithArrowMarker::StartMarkerDrag(QPointF Position) {
    if (FDraggingOptions & amdHotspot)
        TVxMovable::StartMarkerDrag(Position);
}

bool TVxLabelWithArrowMarker::HitTest(QPointF Position) const {
    const QPointF local = Position - QPointF(Left(), Top());
    if (FBentLength > 0 && FBentRect.contains(local))
        return true;
    if (FCaptionRect.contains(local.toPoint()) &&
        QRectF(FCaptionRect).adjusted(0, 0, 1, 1).contains(local))
        return true;
    const double length = ArrowLength();
    if (!FArrowSettings->Visible() || !(length > 0))
        return false;
    // The band along the arrow, counted from the data point.
    const QPointF p = local - QPointF(FHotDelta);
    const QPointF u = QPointF(ArrowEnd()) / length;
    const double along = p.x() * u.x() + p.y() * u.y();
    const double across = std::abs(p.x() * u.y() - p.y() * u.x());
    const double w = BandHalfWidth();
    return across < w && along > -w && along < length + w;
}

void TVxLabelWithArrowMarker::PaintMarker(TVxSurface& Gr) {
    const TVxRegion clip = Gr.GetClip();
    if (FClipToData && FXAxis && FYAxis && Host())
        Gr.SetClip(LocalDataArea(), TCombineMode::CombineModeIntersect);
    if (FArrowSettings->Visible()) {
        const QPointF hot = FHotDelta;
        std::vector<QPointF> points{hot, hot + QPointF(ArrowEnd())};
        if (FBentLength >= 1)
            points.push_back(hot + QPointF(BentEnd()));
        const QRectF view = QRectF(points.front(), points[1]).normalized();
        TVxPen pen = FArrowSettings->GetPen(view, -double(ArrowAngle()));
        pen.Width = float(LineWidth());
        // The head touches the data point: it is the start cap; the far end is flat.
        pen.CustomStartCap = FArrowSettings->Cap();
        pen.CustomEndCap.reset();
        pen.EndCap = TLineCap::LineCapFlat;
        const TSmoothingMode smoothing = Gr.GetSmoothingMode();
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
        Gr.DrawLines(pen, points);
        Gr.SetSmoothingMode(smoothing);
    }
    PaintCaption(Gr);
    Gr.SetClip(clip);
}
