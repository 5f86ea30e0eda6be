#include "series/OHLC.h"

#include "drawing/Surface.h"
#include "drawing/TopmostSelection.h"
#include "series/SeriesHost.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "vectors/Indexer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

const char* const KindUndo[3] = {"OHLC/candles low data", "OHLC/candles open data",
                                 "OHLC/candles high data"};
const char* const KindProperty[3] = {"LowData", "OpenData", "HighData"};

// The identity of a guarded target without downcasting it (see TVxSeries::Notification).
template <typename T> const QObject* GuardedIdentity(const QPointer<T>& Target) {
    return reinterpret_cast<const QPointer<QObject>&>(Target).data();
}

// What an item draws, sent either to the surface or to the selection that decides whether the
// item shows: both see exactly the same calls.
struct TSurfaceSink {
    TVxSurface& Gr;
    void Fill(const TVxBrush& Brush, const QRectF& Rect) { Gr.FillRectangle(Brush, Rect); }
    void Outline(const TVxPen& Pen, const QRectF& Rect) { Gr.DrawRectangle(Pen, Rect); }
    void Line(const TVxPen& Pen, QPointF A, QPointF B) { Gr.DrawLine(Pen, A, B); }
};

struct TSelectionSink {
    TVxTopmostSelection& Sel;
    void Fill(const TVxBrush& Brush, const QRectF& Rect) {
        Sel.AddFill(Rect, Brush.Kind == TVxBrushKind::Solid && GetAlpha(Brush.Color) == 0xFF);
    }
    void Outline(const TVxPen& Pen, const QRectF& Rect) { Sel.AddOutline(Rect, Pen); }
    void Line(const TVxPen& Pen, QPointF A, QPointF B) { Sel.AddLine(A, B, Pen); }
};

// A candle: the body between open and close, outlined (or a line when flatter than a pixel),
// and the shadows from the body edge nearer to each end (on a twisted axis high lies below).
template <typename TSink>
void EmitCandle(TSink& Sink, double X, double W, double Open, double Close, double High, double Low,
                const TVxBrush& Fill, const TVxPen* Pen) {
    const double top = std::min(Open, Close), bottom = std::max(Open, Close);
    const QRectF body(X - W / 2, top, W, bottom - top);
    Sink.Fill(Fill, body);
    if (!Pen)
        return;
    if (bottom - top >= 1)
        Sink.Outline(*Pen, body);
    else
        Sink.Line(*Pen, QPointF(X - W / 2, top), QPointF(X + W / 2, top));
    for (const double end : {High, Low}) {
        if (end < top)
            Sink.Line(*Pen, QPointF(X, top), QPointF(X, end));
        else if (end > bottom)
            Sink.Line(*Pen, QPointF(X, bottom), QPointF(X, end));
    }
}

// An OHLC bar: the high-low rectangle, the open tick to the left, the close tick to the right.
template <typename TSink>
void EmitBar(TSink& Sink, double X, double W, double L, double Open, double High, double Low,
             double Close, const TVxBrush* Brush, const TVxPen* Pen) {
    const QRectF bar(X - W / 2, std::min(High, Low), W, std::abs(Low - High));
    if (Brush)
        Sink.Fill(*Brush, bar);
    if (!Pen)
        return;
    Sink.Outline(*Pen, bar);
    Sink.Line(*Pen, QPointF(X - W / 2 - L, Open), QPointF(X - W / 2, Open));
    Sink.Line(*Pen, QPointF(X + W / 2, Close), QPointF(X + W / 2 + L, Close));
}

// The nearest whole pixel (pixels lie within the axes' sentinels of +-100000 and more).
inline double WholePixel(double V) {
    return double(static_cast<long long>(V + (V >= 0 ? 0.5 : -0.5)));
}

// The fill of the bodies: the area's colour or hatch, never its gradient.
TVxBrush PlainBrush(const TVxAreaSettings& Area) {
    if (Area.Solid())
        return TVxBrush::SolidBrush(Area.ForeColor());
    return TVxBrush::HatchBrush(TVxHatchStyle(Area.AreaStyle()), Area.ForeColor(),
                                Area.BackColor());
}

// Items snapped to whole pixels are axis-parallel rectangles and lines on pixel centres: drawn
// without anti-aliasing they look the same (crisp edges, only the half-covered end pixels of
// lines go), and they then take exactly the pixels the selection of what shows reckons with.
class TCrispDrawing {
public:
    TCrispDrawing(TVxSurface& Gr, bool Crisp) : FGr(Gr), FSaved(Gr.GetSmoothingMode()) {
        if (Crisp)
            FGr.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
    }
    ~TCrispDrawing() {
        if (FGr.GetSmoothingMode() != FSaved)
            FGr.SetSmoothingMode(FSaved);
    }
    TCrispDrawing(const TCrispDrawing&) = delete;
    TCrispDrawing& operator=(const TCrispDrawing&) = delete;

private:
    TVxSurface& FGr;
    TSmoothingMode FSaved;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// TVxCustomOHLC

TVxCustomOHLC::TVxCustomOHLC(QObject* AOwner) : TVxSeries(AOwner) {}

TVxCustomOHLC::~TVxCustomOHLC() {
    BeginDestruction();
    for (QPointer<TVxCustomDoubleVector>& v : FKindData)
        if (v && !v->IsDestroying())
            v->RemoveRelatedSeries(this);
}

void TVxCustomOHLC::RecordOwnUndo(const char* Description, const char* PropName) {
    RecordUndo(Description, PropName);
}

void TVxCustomOHLC::SetBarWidth(float Value) {
    // Not above 0 (NaN included) or not finite: a bar of 1 pixel.
    const float stored = Value > 0 && std::isfinite(Value) ? Value : 1.0f;
    if (stored == FBarWidth)
        return;
    RecordUndo("OHLC/candles bar width", "BarWidth");
    FBarWidth = stored;
    Invalidate();
    if (FHost && !FHost->HostDestroying())
        FHost->LegendsModified();
}

void TVxCustomOHLC::SetKindData(TKind Kind, TVxCustomDoubleVector* Value) {
    QPointer<TVxCustomDoubleVector>& slot = FKindData[Kind];
    if (Value == slot)
        return;
    RecordUndo(KindUndo[Kind], KindProperty[Kind]);
    if (TVxCustomDoubleVector* old = slot.data()) {
        // Another slot may still read the old vector.
        const bool stillRead = std::count(FKindData.begin(), FKindData.end(), slot) > 1 ||
                               old == XData() || old == YData();
        if (!old->IsDestroying() && !stillRead)
            old->RemoveRelatedSeries(this);
        if (!stillRead)
            RemoveFreeNotification(old);
    }
    slot = Value;
    if (Value) {
        Value->AddRelatedSeries(this);
        FreeNotification(Value);
    }
    ExtentStale();
    TestAllAssigned();
}

void TVxCustomOHLC::SetOpenData(TVxCustomDoubleVector* Value) {
    SetKindData(Open, Value);
}

void TVxCustomOHLC::SetHighData(TVxCustomDoubleVector* Value) {
    SetKindData(High, Value);
}

void TVxCustomOHLC::SetLowData(TVxCustomDoubleVector* Value) {
    SetKindData(Low, Value);
}

void TVxCustomOHLC::SetCloseData(TVxCustomDoubleVector* Value) {
    if (Value == YData())
        return;
    TVxUndoStack* stack = UndoStack();
    const bool group = stack && !stack->Restoring();
    if (group)
        stack->StartGroup(QStringLiteral("OHLC/candles close data"));
    SetYData(Value);
    if (group)
        stack->StopGroup();
}

void TVxCustomOHLC::SetOpenValueTransformation(TVxValueTransformation Value) {
    FKindTransformation[Open] = std::move(Value);
    RangesModified();
}

void TVxCustomOHLC::SetHighValueTransformation(TVxValueTransformation Value) {
    FKindTransformation[High] = std::move(Value);
    RangesModified();
}

void TVxCustomOHLC::SetLowValueTransformation(TVxValueTransformation Value) {
    FKindTransformation[Low] = std::move(Value);
    RangesModified();
}

void TVxCustomOHLC::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && !IsDestroying()) {
        bool changed = false;
        for (QPointer<TVxCustomDoubleVector>& v : FKindData)
            if (AComponent == GuardedIdentity(v)) {
                v = nullptr;
                changed = true;
            }
        if (changed) {
            ExtentStale();
            TestAllAssigned();
        }
    }
    TVxSeries::Notification(AComponent, Operation);
}

std::vector<TVxCustomDoubleVector*> TVxCustomOHLC::ReferencedVectors() const {
    std::vector<TVxCustomDoubleVector*> list = TVxSeries::ReferencedVectors();
    list.insert(list.end(), {FOpenData.data(), FHighData.data(), FLowData.data()});
    return list;
}

bool TVxCustomOHLC::DataAssigned() const {
    return FYData && FYData != FIndexer && FLowData && FOpenData && FHighData;
}

int TVxCustomOHLC::GetUsableCount() {
    FMinCount = 1;
    if (!DataAssigned() || !FXData)
        return 0;
    int n = std::min(FXData->GetCount(), FYData->GetCount());
    for (const QPointer<TVxCustomDoubleVector>& v : FKindData)
        n = std::min(n, v->GetCount());
    return n;
}

bool TVxCustomOHLC::HasValuesAt(int Idx) const {
    if (FOutliersVisible)
        return true;
    for (const TVxCustomDoubleVector* v :
         {FXData.data(), FYData.data(), FLowData.data(), FOpenData.data(), FHighData.data()})
        if (v && v->AnyOutliers() && v->IsOutlier(Idx))
            return false;
    return true;
}

double TVxCustomOHLC::KindAt(TKind Kind, int Idx) const {
    const double raw = FKindData[Kind]->GetValue(Idx);
    if (!FKindTransformation[Kind])
        return raw;
    TVxTransformEventArgs e{raw, Idx};
    return FKindTransformation[Kind](const_cast<TVxCustomOHLC*>(this), e);
}

double TVxCustomOHLC::OpenAt(int Idx) const {
    return Idx >= 0 && Idx < CurrentCount() && DataAssigned() ? KindAt(Open, Idx) : NaN;
}

double TVxCustomOHLC::HighAt(int Idx) const {
    return Idx >= 0 && Idx < CurrentCount() && DataAssigned() ? KindAt(High, Idx) : NaN;
}

double TVxCustomOHLC::LowAt(int Idx) const {
    return Idx >= 0 && Idx < CurrentCount() && DataAssigned() ? KindAt(Low, Idx) : NaN;
}

double TVxCustomOHLC::CloseAt(int Idx) const {
    return TransformedY(Idx);
}

double TVxCustomOHLC::RawOpen(int Idx) const {
    return FOpenData->GetValue(Idx);
}

double TVxCustomOHLC::RawClose(int Idx) const {
    return FYData->GetValue(Idx);
}

void TVxCustomOHLC::ExtentStale() {
    FExtentStale = true;
}

void TVxCustomOHLC::RangesModified() {
    ExtentStale();
    TVxSeries::RangesModified();
}

void TVxCustomOHLC::SetLastCount(int Value) {
    ExtentStale();
    TVxSeries::SetLastCount(Value);
}

void TVxCustomOHLC::VectorChanged() {
    // A stored value of any of the five vectors may move the extent, also below the count
    // already taken in.
    ExtentStale();
    PointsModified();
}

void TVxCustomOHLC::VectorReset() {
    ExtentStale();
    TVxSeries::VectorReset();
}

void TVxCustomOHLC::Calculate() {
    if (!DataAssigned() || !FXData)
        return;
    const int usable = GetUsableCount();
    if (usable < FCount) {
        // The data shrank: nothing of the old points may survive.
        FPoints.clear();
        FPointIndex.clear();
        FLowPoint.clear();
        FOpenPoint.clear();
        FHighPoint.clear();
        FRecalculatePoints = true;
        FExtentStale = true;
    }
    if (!FExtentStale)
        return;
    FExtentStale = false;
    FCount = usable;
    double xs = MaxDouble, xe = -MaxDouble, ys = MaxDouble, ye = -MaxDouble;
    const bool xLog = FXAxis && FXAxis->Scale().HasLogScaling;
    const bool yLog = FYAxis && FYAxis->Scale().HasLogScaling;
    // A logarithmic axis shows only positive values.
    auto widen = [](double V, bool Log, double& Lo, double& Hi) {
        if (std::isnan(V) || (Log && !(V > 0)))
            return;
        Lo = std::min(Lo, V);
        Hi = std::max(Hi, V);
    };
    if (FCount >= FMinCount) {
        for (int i = 0; i < FCount; ++i) {
            if (!HasValuesAt(i))
                continue;
            widen(TransformX(i, FXData->GetValue(i)), xLog, xs, xe);
            // Lows and highs together: a record whose low exceeds its high still spans both.
            widen(KindAt(Low, i), yLog, ys, ye);
            widen(KindAt(High, i), yLog, ys, ye);
        }
    }
    if (xs != FXStart || xe != FXStop) {
        FXStart = xs;
        FXStop = xe;
        if (FXAxis)
            FXAxis->RangeModified();
    }
    if (ys != FYStart || ye != FYStop) {
        FYStart = ys;
        FYStop = ye;
        if (FYAxis)
            FYAxis->RangeModified();
    }
    FSmallestValid[0] = FSmallestValid[1] = false;
    FRecalculatePoints = true;
    Invalidate();
    FLastCount = FCount;
}

void TVxCustomOHLC::CalculatePoints() {
    FPoints.clear();
    FPointIndex.clear();
    FSymbolPoints.clear();
    FSymbolIndex.clear();
    FAreaPoints.clear();
    FLowPoint.clear();
    FOpenPoint.clear();
    FHighPoint.clear();
    FRecalculatePoints = false;
    if (!FXAxis || !FYAxis || !DataAssigned() || !FXData)
        return;
    int n = CurrentCount();
    for (const QPointer<TVxCustomDoubleVector>& v : FKindData)
        n = std::min(n, v->GetCount());
    if (n <= 0)
        return;
    FLastView = View();
    const TVxPixelMapping& mx = FLastView.X;
    const TVxPixelMapping& my = FLastView.Y;

    // Only the indices whose bars reach into the visible X range, found by binary search
    // when X ascends.
    int first = 0, last = n - 1;
    const bool indexX = FXData == FIndexer;
    const bool ascending = !FXValueTransformation &&
                           (indexX || (FXData->GetOnlyAscending() && !FXData->AnyOutliers()));
    if (ascending) {
        const double reach = HalfReach() + 2;
        const double p0 = std::min(mx.PixelStart(), mx.PixelStop()) - reach;
        const double p1 = std::max(mx.PixelStart(), mx.PixelStop()) + reach;
        const double v0 = mx.ToValue(p0), v1 = mx.ToValue(p1);
        const double lo = std::min(v0, v1), hi = std::max(v0, v1);
        if (indexX) {
            first = lo > 0 ? int(std::min<double>(std::ceil(lo), n)) : 0;
            last = hi < n - 1 ? int(std::max<double>(std::floor(hi), -1)) : n - 1;
        } else {
            const std::span<const double> xs = FXData->ValueData().first(size_t(n));
            first = int(std::lower_bound(xs.begin(), xs.end(), lo) - xs.begin());
            last = int(std::upper_bound(xs.begin(), xs.end(), hi) - xs.begin()) - 1;
        }
    }
    if (first > last)
        return;
    const size_t reserve = size_t(last - first + 1);
    FPoints.reserve(reserve);
    FPointIndex.reserve(reserve);
    FLowPoint.reserve(reserve);
    FOpenPoint.reserve(reserve);
    FHighPoint.reserve(reserve);
    // HasValuesAt, without asking each vector while none has outliers.
    bool outliers = false;
    for (const TVxCustomDoubleVector* v :
         {FXData.data(), FYData.data(), FLowData.data(), FOpenData.data(), FHighData.data()})
        outliers = outliers || (!FOutliersVisible && v && v->AnyOutliers());
    // KindAt, with the vectors at hand while no transformation is set.
    const TVxCustomDoubleVector* lowData = FLowData.data();
    const TVxCustomDoubleVector* openData = FOpenData.data();
    const TVxCustomDoubleVector* highData = FHighData.data();
    const bool plainKinds =
        !FKindTransformation[Low] && !FKindTransformation[Open] && !FKindTransformation[High];
    for (int i = first; i <= last; ++i) {
        if (outliers && !HasValuesAt(i))
            continue;
        const double x = TransformX(i, FXData->GetValue(i));
        const double c = TransformY(i, FYData->GetValue(i));
        const double l = plainKinds ? lowData->GetValue(i) : KindAt(Low, i);
        const double o = plainKinds ? openData->GetValue(i) : KindAt(Open, i);
        const double h = plainKinds ? highData->GetValue(i) : KindAt(High, i);
        if (std::isnan(x) || std::isnan(c) || std::isnan(l) || std::isnan(o) || std::isnan(h))
            continue;
        FPoints.emplace_back(mx.ToPixel(x), my.ToPixel(c));
        FPointIndex.push_back(i);
        FLowPoint.push_back(float(my.ToPixel(l)));
        FOpenPoint.push_back(float(my.ToPixel(o)));
        FHighPoint.push_back(float(my.ToPixel(h)));
    }
}

const TVxPen& TVxCustomOHLC::CurrentLinePen() {
    if (FOwnsPen && FHost)
        FPen = FLine->GetPen(FHost->DrawingArea());
    return FPen;
}

float TVxCustomOHLC::HalfReach() const {
    return (FBarWidth + 1) / 2;
}

int TVxCustomOHLC::FindPoint(float X, float Y) {
    if (FRecalculatePoints)
        return -1;
    const float half = HalfReach();
    const int n = CurrentCount();
    for (size_t k = 0; k < FPoints.size(); ++k) {
        // The pixel range of high and low, in either order (a twisted axis puts high below).
        const float a = FHighPoint[k], b = FLowPoint[k];
        if (std::abs(X - float(FPoints[k].x())) <= half && Y >= std::min(a, b) &&
            Y <= std::max(a, b) && FPointIndex[k] < n)
            return FPointIndex[k];
    }
    return -1;
}

bool TVxCustomOHLC::PreparePoints() {
    if (!FXAxis || !FYAxis || !FHost || !Visible() || !DataAssigned())
        return false;
    if (PointsStale())
        CalculatePoints();
    return !FPoints.empty();
}

TVxCustomOHLC::TItemPixels TVxCustomOHLC::ItemPixels(int K) const {
    const size_t k = size_t(K);
    TItemPixels p{FPoints[k].x(), FPoints[k].y(), FOpenPoint[k], FHighPoint[k], FLowPoint[k]};
    if (FSnap) {
        // Whole pixels: crisp edges, and the selection knows exactly what each item covers.
        p.X = WholePixel(p.X);
        p.Close = WholePixel(p.Close);
        p.Open = WholePixel(p.Open);
        p.High = WholePixel(p.High);
        p.Low = WholePixel(p.Low);
    }
    return p;
}

template <typename TDescribe>
const std::vector<int>& TVxCustomOHLC::PointsToDraw(TVxSurface& Gr, TDescribe&& Describe) {
    FSnap = Gr.PrefersSprites() && !(FHost && FHost->DoingMetafile());
    const int n = int(FPoints.size());
    FDrawOrder.clear();
    if (FSnap && SelectionAllowed()) {
        // Pixels outside the data area (widened for safety) are clipped away.
        const QRectF a = FHost->DrawingArea();
        const QRect area(int(std::floor(a.left())) - 2, int(std::floor(a.top())) - 2,
                         int(std::ceil(a.width())) + 5, int(std::ceil(a.height())) + 5);
        FSelection.Reset(area);
        SelectTopmostInto(FSelection, n, Describe, FDrawOrder);
    } else {
        FDrawOrder.resize(size_t(n));
        for (int k = 0; k < n; ++k)
            FDrawOrder[size_t(k)] = k;
    }
    FLastDrawnItems = int(FDrawOrder.size());
    return FDrawOrder;
}

// ---------------------------------------------------------------------------------------------
// TVxOHLC

TVxOHLC::TVxOHLC(QObject* AOwner) : TVxCustomOHLC(AOwner) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxOHLC")));
    const TVxColor darkBlue = VxColor(0xFF00008B);
    Line()->SetColor(darkBlue);
    Area()->SetForeColor(darkBlue);
    Area()->SetVisible(true);
}

void TVxOHLC::SetIndicatorLength(float Value) {
    if (!(Value < FIndicatorLength || Value > FIndicatorLength) || !std::isfinite(Value))
        return;
    RecordOwnUndo("OHLC indicators length", "IndicatorLength");
    FIndicatorLength = Value;
    Invalidate();
    if (Host() && !Host()->HostDestroying())
        Host()->LegendsModified();
}

float TVxOHLC::HalfReach() const {
    return TVxCustomOHLC::HalfReach() + FIndicatorLength;
}

int TVxOHLC::GetItemHeight() const {
    return int(std::lround(2 * FIndicatorLength + FBarWidth + 2));
}

float TVxOHLC::ExtraSpaceAt(int Border) const {
    return Border == 1 || Border == 3 ? FBarWidth / 2 + FIndicatorLength : 0;
}

void TVxOHLC::PaintGr(TVxSurface& Gr) {
    FLastDrawnItems = 0;
    if (!PreparePoints())
        return;
    const TVxPen& linePen = CurrentLinePen();
    const TVxBrush brush = PlainBrush(*Area());
    const bool areaVisible = Area()->Visible(), lineVisible = Line()->Visible();
    const TVxBrush* fill = areaVisible ? &brush : nullptr;
    const TVxPen* pen = lineVisible ? &linePen : nullptr;
    const double w = FBarWidth, len = FIndicatorLength;
    const std::vector<int>& order = PointsToDraw(Gr, [&](int k, TVxTopmostSelection& sel) {
        const TItemPixels p = ItemPixels(k);
        TSelectionSink sink{sel};
        EmitBar(sink, p.X, w, len, p.Open, p.High, p.Low, p.Close, fill, pen);
    });
    const TCrispDrawing crisp(Gr, FSnap);
    TSurfaceSink sink{Gr};
    for (int k : order) {
        const TItemPixels p = ItemPixels(k);
        const int idx = PointIndex()[size_t(k)];
        TVxBrushEventArgs be{idx, 0, 0, brush, true};
        TVxPenEventArgs pe{idx, 0, 0, linePen, true};
        const TVxBrush* b = fill;
        const TVxPen* q = pen;
        if (OnGetBrush) {
            be.X = TransformedX(idx);
            be.Y = TransformedY(idx);
            OnGetBrush(this, be);
            b = areaVisible && be.Visible ? &be.Brush : nullptr;
        }
        if (OnGetPen) {
            pe.X = TransformedX(idx);
            pe.Y = TransformedY(idx);
            OnGetPen(this, pe);
            q = lineVisible && pe.Visible ? &pe.Pen : nullptr;
        }
        EmitBar(sink, p.X, w, len, p.Open, p.High, p.Low, p.Close, b, q);
    }
}

void TVxOHLC::DrawListItem(TVxLegendItemDrawArgs& e) {
    DrawListItem(e, TVxLegendItemStyle::Filled);
}

void TVxOHLC::DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) {
    (void)Style;
    if (!e.Graphics)
        return;
    // A bar lying across the glyph, the open tick above it and the close tick below.
    const QRectF r(e.Rect);
    const double mid = r.top() + r.height() / 2.0, w = FBarWidth, len = FIndicatorLength;
    const QRectF bar(r.left() + 1, mid - w / 2, std::max(r.width() - 2, 1.0), w);
    if (Area()->Visible())
        e.Graphics->FillRectangle(PlainBrush(*Area()), bar);
    if (Line()->Visible()) {
        const TVxPen pen = Line()->GetPen(e.Rect);
        e.Graphics->DrawRectangle(pen, bar);
        const double xOpen = r.left() + r.width() / 3.0, xClose = r.left() + 2 * r.width() / 3.0;
        e.Graphics->DrawLine(pen, QPointF(xOpen, bar.top() - len), QPointF(xOpen, bar.top()));
        e.Graphics->DrawLine(pen, QPointF(xClose, bar.bottom()),
                             QPointF(xClose, bar.bottom() + len));
    }
}

// ---------------------------------------------------------------------------------------------
// TVxCandleSticks

TVxCandleSticks::TVxCandleSticks(QObject* AOwner)
    : TVxCustomOHLC(AOwner), FBullColor(VxColor(0xFF008000)), FBearColor(VxColor(0xFFFF0000)) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxCandleSticks")));
    Line()->SetColor(VxColor(0xFF000000));
    FBarWidth = 6;
}

void TVxCandleSticks::SetBullColor(TVxColor Value) {
    if (Value == FBullColor)
        return;
    RecordOwnUndo("Candles bull color", "BullColor");
    FBullColor = Value;
    Invalidate();
}

void TVxCandleSticks::SetBearColor(TVxColor Value) {
    if (Value == FBearColor)
        return;
    RecordOwnUndo("Candles bear color", "BearColor");
    FBearColor = Value;
    Invalidate();
}

void TVxCandleSticks::SetShadowsSameColorAsFill(bool Value) {
    if (Value == FShadowsSameColorAsFill)
        return;
    RecordOwnUndo("Candles shadows have same color as fill", "ShadowsSameColorAsFill");
    FShadowsSameColorAsFill = Value;
    Invalidate();
}

TVxColor TVxCandleSticks::FillColorAt(int Idx) const {
    const double o = RawOpen(Idx), c = RawClose(Idx);
    if (c > o)
        return FBullColor;
    if (c < o)
        return FBearColor;
    return VxColor(0xFF000000);
}

int TVxCandleSticks::GetItemHeight() const {
    return int(std::lround(FBarWidth + 2));
}

float TVxCandleSticks::ExtraSpaceAt(int Border) const {
    return Border == 1 || Border == 3 ? FBarWidth / 2 : 0;
}

void TVxCandleSticks::PaintGr(TVxSurface& Gr) {
    FLastDrawnItems = 0;
    if (!PreparePoints())
        return;
    const TVxPen& linePen = CurrentLinePen();
    const bool lineVisible = Line()->Visible();
    const double w = FBarWidth;
    // The pen of a candle: the line's, or the line's in the fill colour.
    TVxPen filled = linePen;
    filled.Brush.reset();
    auto penFor = [&](TVxColor Fill) -> const TVxPen* {
        if (!lineVisible)
            return nullptr;
        if (!FShadowsSameColorAsFill)
            return &linePen;
        filled.Color = Fill;
        return &filled;
    };
    TVxBrush brush = TVxBrush::SolidBrush(0);
    const std::vector<int>& order = PointsToDraw(Gr, [&](int k, TVxTopmostSelection& sel) {
        const TItemPixels p = ItemPixels(k);
        brush.Color = FillColorAt(PointIndex()[size_t(k)]);
        TSelectionSink sink{sel};
        EmitCandle(sink, p.X, w, p.Open, p.Close, p.High, p.Low, brush, penFor(brush.Color));
    });
    const TCrispDrawing crisp(Gr, FSnap);
    TSurfaceSink sink{Gr};
    TVxPenEventArgs pe;
    for (int k : order) {
        const TItemPixels p = ItemPixels(k);
        const int idx = PointIndex()[size_t(k)];
        const TVxColor fill = FillColorAt(idx);
        const TVxPen* pen = penFor(fill);
        if (OnGetPen) {
            pe.Index = idx;
            pe.X = TransformedX(idx);
            pe.Y = TransformedY(idx);
            pe.Pen = pen ? *pen : linePen;
            pe.Visible = true;
            OnGetPen(this, pe);
            pen = lineVisible && pe.Visible ? &pe.Pen : nullptr;
        }
        brush.Color = fill;
        EmitCandle(sink, p.X, w, p.Open, p.Close, p.High, p.Low, brush, pen);
    }
}

void TVxCandleSticks::DrawListItem(TVxLegendItemDrawArgs& e) {
    DrawListItem(e, TVxLegendItemStyle::Filled);
}

void TVxCandleSticks::DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) {
    (void)Style;
    if (!e.Graphics)
        return;
    // A rising candle lying across the glyph: shadows to the left and right of the body.
    const QRectF r(e.Rect);
    const double mid = r.top() + r.height() / 2.0, w = FBarWidth;
    const QRectF body(r.left() + r.width() / 4.0, mid - w / 2, r.width() / 2.0, w);
    e.Graphics->FillRectangle(TVxBrush::SolidBrush(FBullColor), body);
    if (Line()->Visible()) {
        TVxPen pen = Line()->GetPen(e.Rect);
        if (FShadowsSameColorAsFill) {
            pen.Brush.reset();
            pen.Color = FBullColor;
        }
        e.Graphics->DrawRectangle(pen, body);
        e.Graphics->DrawLine(pen, QPointF(r.left(), mid), QPointF(body.left(), mid));
        e.Graphics->DrawLine(pen, QPointF(body.right(), mid), QPointF(r.right(), mid));
    }
}
