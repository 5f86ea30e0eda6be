#include "series/PointWithErrorSeries.h"

#include "drawing/PointSymbol.h"
#include "drawing/Surface.h"
#include "drawing/TopmostSelection.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "series/SeriesHost.h"
#include "styles/StyleRecords.h"
#include "util/ComponentPaths.h"
#include "vectors/Indexer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <pugixml.hpp>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

const char* const DeltaUndo[4] = {
    "Error bars X(+)-delta reference", "Error bars X(-)-delta reference",
    "Error bars Y(+)-delta reference", "Error bars Y(-)-delta reference"};
const char* const DeltaProperty[4] = {"DeltaXPlus", "DeltaXMinus", "DeltaYPlus", "DeltaYMinus"};

template <typename T> const QObject* GuardedIdentity(const QPointer<T>& Target) {
    return reinterpret_cast<const QPointer<QObject>&>(Target).data();
}

// The nearest whole pixel (pixels lie within the axes' sentinels of +-100000); NaN stays NaN.
inline double WholePixel(double V) {
    return std::isnan(V) ? V : double(static_cast<long long>(V + (V >= 0 ? 0.5 : -0.5)));
}

struct TSurfaceSink {
    TVxSurface& Gr;
    void Line(const TVxPen& Pen, QPointF A, QPointF B) { Gr.DrawLine(Pen, A, B); }
};

// Collects the lines of many items that share one pen, for one batched call.
struct TListSink {
    std::vector<QLineF>& Lines;
    void Line(const TVxPen&, QPointF A, QPointF B) { Lines.emplace_back(A, B); }
};

struct TSelectionSink {
    TVxTopmostSelection& Sel;
    void Line(const TVxPen& Pen, QPointF A, QPointF B) { Sel.AddLine(A, B, Pen); }
};

// The whiskers of one point at (X, Y): for each kind with an end, the line from the point to
// the end and the cross bar of half length S through the end. Lines of no length are left out:
// they have nothing to show (a painter may still put a stray pixel for one in a batch).
template <typename TSink>
void EmitWhiskers(TSink& Sink, const TVxPen& Pen, double X, double Y, const double (&Ends)[4],
                  double S) {
    for (int k = 0; k < 4; ++k) {
        const double end = Ends[k];
        if (std::isnan(end))
            continue;
        if (k < 2) {
            if (end != X)
                Sink.Line(Pen, QPointF(X, Y), QPointF(end, Y));
            if (S > 0)
                Sink.Line(Pen, QPointF(end, Y - S), QPointF(end, Y + S));
        } else {
            if (end != Y)
                Sink.Line(Pen, QPointF(X, Y), QPointF(X, end));
            if (S > 0)
                Sink.Line(Pen, QPointF(X - S, end), QPointF(X + S, end));
        }
    }
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

TVxPointWithErrorSeries::TVxPointWithErrorSeries(QObject* AOwner) : TVxPointSeries(AOwner) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxPointWithErrorSeries")));
    FErrorIndicator = new TVxLineSettings([this] { IndicatorStyleChanged(); }, this);
    FErrorIndicator->SetColor(VxColor(0xFF808080));
    FErrorIndicator->SetWidth(1);
    FLastIndicatorsVisible = FErrorIndicator->Visible();
    FErrorIndicatorsPen = TVxPen::Solid(FErrorIndicator->Color(), FErrorIndicator->Width());
}

TVxPointWithErrorSeries::~TVxPointWithErrorSeries() {
    BeginDestruction();
    for (QPointer<TVxCustomDoubleVector>& v : FDelta)
        if (v && !v->IsDestroying())
            v->RemoveRelatedSeries(this);
}

void TVxPointWithErrorSeries::SetErrorIndicator(const TVxLineSettings* Value) {
    if (Value)
        FErrorIndicator->Assign(Value);
}

std::vector<TVxCustomDoubleVector*> TVxPointWithErrorSeries::ReferencedVectors() const {
    std::vector<TVxCustomDoubleVector*> list = TVxSeries::ReferencedVectors();
    for (const QPointer<TVxCustomDoubleVector>& v : FDelta)
        list.push_back(v.data());
    return list;
}

void TVxPointWithErrorSeries::SetUndoStack(TVxUndoStack* Stack) {
    TVxSeries::SetUndoStack(Stack);
    FErrorIndicator->SetUndoStack(Stack);
}

void TVxPointWithErrorSeries::IndicatorStyleChanged() {
    if (IsDestroying())
        return;
    FErrorIndicatorsPen = TVxPen::Solid(FErrorIndicator->Color(), FErrorIndicator->Width());
    FErrorIndicatorsPen.DashStyle = FErrorIndicator->DashStyle();
    if (FErrorIndicator->Visible() != FLastIndicatorsVisible) {
        FLastIndicatorsVisible = FErrorIndicator->Visible();
        RangesModified();
    }
    TestVisbleChanged();
}

void TVxPointWithErrorSeries::SetDelta(TDeltaKind Kind, TVxCustomDoubleVector* Value) {
    QPointer<TVxCustomDoubleVector>& slot = FDelta[Kind];
    if (Value == slot)
        return;
    RecordUndo(DeltaUndo[Kind], DeltaProperty[Kind]);
    if (TVxCustomDoubleVector* old = slot.data()) {
        // Another slot, X or Y may still read the old vector.
        const bool stillRead =
            std::count(FDelta.begin(), FDelta.end(), slot) > 1 || old == XData() || old == YData();
        if (!stillRead) {
            if (!old->IsDestroying())
                old->RemoveRelatedSeries(this);
            RemoveFreeNotification(old);
        }
    }
    slot = Value;
    if (Value) {
        Value->AddRelatedSeries(this);
        FreeNotification(Value);
    }
    // The whiskers change the extent in both directions, not only the axis' view of it.
    RangesModified();
    Invalidate();
    if (FHost && !FHost->HostDestroying())
        FHost->LegendsModified();
}

void TVxPointWithErrorSeries::SetDeltaTransformation(TDeltaKind Kind,
                                                     TVxValueTransformation Value) {
    FDeltaTransformation[Kind] = std::move(Value);
    RangesModified();
}

void TVxPointWithErrorSeries::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && !IsDestroying()) {
        bool changed = false;
        for (QPointer<TVxCustomDoubleVector>& v : FDelta)
            if (AComponent == GuardedIdentity(v)) {
                v = nullptr;
                changed = true;
            }
        if (changed) {
            RangesModified();
            if (FHost && !FHost->HostDestroying())
                FHost->LegendsModified();
        }
    }
    TVxSeries::Notification(AComponent, Operation);
}

bool TVxPointWithErrorSeries::DeltaAt(TDeltaKind Kind, int Idx, double& Value) const {
    const TVxCustomDoubleVector* v = FDelta[Kind].data();
    if (!v || Idx < 0 || Idx >= v->GetCount())
        return false;
    double d = std::abs(v->GetValue(Idx));
    if (FDeltaTransformation[Kind]) {
        TVxTransformEventArgs e{d, Idx};
        d = std::abs(FDeltaTransformation[Kind](const_cast<TVxPointWithErrorSeries*>(this), e));
    }
    if (std::isnan(d))
        return false;
    Value = d;
    return true;
}

bool TVxPointWithErrorSeries::IndicatorsShown() const {
    return FErrorIndicator->Visible() &&
           std::any_of(FDelta.begin(), FDelta.end(), [](const auto& v) { return bool(v); });
}

bool TVxPointWithErrorSeries::SeriesVisible() const {
    return TVxSeries::SeriesVisible() || (Visible() && IndicatorsShown());
}

int TVxPointWithErrorSeries::GetItemHeight() const {
    const bool yWhiskers = FDelta[YPlus] || FDelta[YMinus];
    return TVxSeries::GetItemHeight() + (FErrorIndicator->Visible() && yWhiskers ? 8 : 0);
}

bool TVxPointWithErrorSeries::HasValuesAt(int Idx) const {
    if (FOutliersVisible)
        return true;
    if (!TVxSeries::HasValuesAt(Idx))
        return false;
    for (const QPointer<TVxCustomDoubleVector>& v : FDelta)
        if (v && Idx < v->GetCount() && v->AnyOutliers() && v->IsOutlier(Idx))
            return false;
    return true;
}

void TVxPointWithErrorSeries::RangesModified() {
    FExtentStale = true;
    TVxSeries::RangesModified();
}

void TVxPointWithErrorSeries::SetLastCount(int Value) {
    FExtentStale = true;
    TVxSeries::SetLastCount(Value);
}

void TVxPointWithErrorSeries::VectorChanged() {
    // Deltas may arrive after their points: any stored value may move the extent.
    FExtentStale = true;
    TVxSeries::VectorChanged();
}

void TVxPointWithErrorSeries::VectorReset() {
    FExtentStale = true;
    TVxSeries::VectorReset();
}

void TVxPointWithErrorSeries::Calculate() {
    if (!IndicatorsShown()) {
        TVxSeries::Calculate();
        return;
    }
    if (!FXData || !FYData)
        return;
    const int usable = GetUsableCount();
    if (usable < FCount) {
        FPoints.clear();
        FPointIndex.clear();
        FSymbolPoints.clear();
        FSymbolIndex.clear();
        FAreaPoints.clear();
        ForgetReduction();
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
    // The whisker ends of a point widen the extent. On a logarithmic axis only positive ends
    // count, and a lower end that is not positive falls back to the point itself.
    auto widen = [](double V, double Minus, double Plus, bool Log, double& Lo, double& Hi) {
        double lo = V - Minus;
        const double hi = V + Plus;
        if (Log && !(lo > 0))
            lo = V;
        if (!std::isnan(lo) && (!Log || lo > 0))
            Lo = std::min(Lo, lo);
        if (!std::isnan(hi) && (!Log || hi > 0))
            Hi = std::max(Hi, hi);
    };
    if (FCount >= FMinCount) {
        for (int i = 0; i < FCount; ++i) {
            if (!HasValuesAt(i))
                continue;
            const double x = TransformX(i, FXData->GetValue(i));
            const double y = TransformY(i, FYData->GetValue(i));
            if (std::isnan(x) || std::isnan(y))
                continue;
            double d[4] = {0, 0, 0, 0};
            for (int k = 0; k < 4; ++k)
                DeltaAt(TDeltaKind(k), i, d[k]);
            widen(x, d[XMinus], d[XPlus], xLog, xs, xe);
            widen(y, d[YMinus], d[YPlus], yLog, ys, ye);
        }
    }
    // An extent that no index reached stays unknown, rather than its sentinels exchanged.
    if (xs > xe) {
        xs = MaxDouble;
        xe = -MaxDouble;
    }
    if (ys > ye) {
        ys = MaxDouble;
        ye = -MaxDouble;
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

void TVxPointWithErrorSeries::CalculatePoints() {
    TVxSeries::CalculatePoints();
    FWhiskerPoints.clear();
    FWhiskerIndex.clear();
    for (std::vector<float>& ends : FWhiskerEnds)
        ends.clear();
    const int n = CurrentCount();
    if (!FXAxis || !FYAxis || n <= 0 || !IndicatorsShown())
        return;
    const TVxReductionView view = View();
    const TVxPixelMapping& mx = view.X;
    const TVxPixelMapping& my = view.Y;

    // With ascending X and no X whiskers, only the points inside the visible X range (and
    // their cross bars' reach) carry whiskers that show.
    int first = 0, last = n - 1;
    const bool indexX = FXData == FIndexer;
    const bool ascending = !FXValueTransformation && !FDelta[XPlus] && !FDelta[XMinus] &&
                           (indexX || (FXData->GetOnlyAscending() && !FXData->AnyOutliers()));
    if (ascending) {
        const double reach = FPointSymbol->Size() / 2 + 2;
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
    // The delta vectors and their counts at hand (DeltaAt for each point, hoisted).
    const TVxCustomDoubleVector* deltas[4];
    int counts[4];
    bool deltaOutliers = false;
    for (int k = 0; k < 4; ++k) {
        deltas[k] = FDelta[size_t(k)].data();
        counts[k] = deltas[k] ? deltas[k]->GetCount() : 0;
        deltaOutliers = deltaOutliers || (deltas[k] && deltas[k]->AnyOutliers());
    }
    for (int i = first; i <= last; ++i) {
        // HasValuesAt, without asking each delta vector while none has outliers.
        if (!(deltaOutliers ? HasValuesAt(i) : FOutliersVisible || TVxSeries::HasValuesAt(i)))
            continue;
        const double x = TransformX(i, FXData->GetValue(i));
        const double y = TransformY(i, FYData->GetValue(i));
        if (std::isnan(x) || std::isnan(y))
            continue;
        // One slot per point and kind, NaN where the point has no whisker of that kind, so
        // that ends never pair with the wrong point.
        float ends[4];
        bool any = false;
        for (int k = 0; k < 4; ++k) {
            ends[k] = std::numeric_limits<float>::quiet_NaN();
            if (i >= counts[k])
                continue;
            double d = std::abs(deltas[k]->GetValue(i));
            if (FDeltaTransformation[size_t(k)]) {
                TVxTransformEventArgs e{d, i};
                d = std::abs(FDeltaTransformation[size_t(k)](this, e));
            }
            if (std::isnan(d))
                continue;
            const double end = k == XPlus    ? x + d
                               : k == XMinus ? x - d
                               : k == YPlus  ? y + d
                                             : y - d;
            ends[k] = float(k < 2 ? mx.ToPixel(end) : my.ToPixel(end));
            any = true;
        }
        if (!any)
            continue;
        FWhiskerPoints.emplace_back(mx.ToPixel(x), my.ToPixel(y));
        FWhiskerIndex.push_back(i);
        for (int k = 0; k < 4; ++k)
            FWhiskerEnds[size_t(k)].push_back(ends[k]);
    }
}

void TVxPointWithErrorSeries::PaintGr(TVxSurface& Gr) {
    FLastDrawnItems = 0;
    if (!FXAxis || !FYAxis || !FHost || !SeriesVisible())
        return;
    if (PointsStale())
        CalculatePoints();
    // Decided before an exclusion begins, which draws into a layer of the same pixels.
    const bool snap = Gr.PrefersSprites() && !FHost->DoingMetafile();
    const QRectF area = FHost->DrawingArea();
    if (FOwnsPen)
        FPen = FLine->GetPen(area);
    if (FOwnsBrush)
        FBrush = FArea->GetBrush(area);
    // Lines and whiskers stay out of translucent symbols.
    const bool exclude = FPointSymbol->Visible() && !FSymbolPoints.empty() &&
                         GetAlpha(FSymbolBrush.Color) < 255 &&
                         SymbolExcludesLines(FPointSymbol->PointSymbol());
    if (exclude)
        Gr.BeginShapeExclusion(
            SymbolClipShapes(FPointSymbol->PointSymbol(), FPointSymbol->Size(), FSymbolPoints));
    if (FPoints.size() >= 2)
        DrawLinesAndArea(Gr);
    DrawWhiskers(Gr, snap);
    if (exclude)
        Gr.EndShapeExclusion();
    // The graph's symbol pass draws the symbols over all of this.
}

void TVxPointWithErrorSeries::DrawWhiskers(TVxSurface& Gr, bool Snap) {
    if (!FErrorIndicator->Visible() || FWhiskerPoints.empty())
        return;
    const double s = (FPointSymbol->Size() - 1) / 2.0;
    auto geometry = [&](int q, double& X, double& Y, double(&Ends)[4]) {
        const size_t k = size_t(q);
        X = FWhiskerPoints[k].x();
        Y = FWhiskerPoints[k].y();
        for (int j = 0; j < 4; ++j)
            Ends[j] = FWhiskerEnds[size_t(j)][k];
        if (Snap) {
            // Whole pixels: crisp whiskers whose pixels the selection knows exactly.
            X = WholePixel(X);
            Y = WholePixel(Y);
            for (double& e : Ends)
                e = WholePixel(e);
        }
    };
    const int n = int(FWhiskerPoints.size());
    FDrawOrder.clear();
    if (Snap && !OnGetIndicatorsPen) {
        const QRectF a = FHost->DrawingArea();
        const QRect area(int(std::floor(a.left())) - 2, int(std::floor(a.top())) - 2,
                         int(std::ceil(a.width())) + 5, int(std::ceil(a.height())) + 5);
        FSelection.Reset(area);
        SelectTopmostInto(
            FSelection, n,
            [&](int q, TVxTopmostSelection& sel) {
                double x, y, ends[4];
                geometry(q, x, y, ends);
                TSelectionSink sink{sel};
                EmitWhiskers(sink, FErrorIndicatorsPen, x, y, ends, s);
            },
            FDrawOrder);
    } else {
        FDrawOrder.resize(size_t(n));
        for (int q = 0; q < n; ++q)
            FDrawOrder[size_t(q)] = q;
    }
    FLastDrawnItems = int(FDrawOrder.size());
    const TCrispDrawing crisp(Gr, Snap);
    if (!OnGetIndicatorsPen) {
        // One pen for all: the items' lines in their order, in one call.
        FLines.clear();
        TListSink list{FLines};
        for (int q : FDrawOrder) {
            double x, y, ends[4];
            geometry(q, x, y, ends);
            EmitWhiskers(list, FErrorIndicatorsPen, x, y, ends, s);
        }
        Gr.DrawLineList(FErrorIndicatorsPen, FLines);
        return;
    }
    TSurfaceSink sink{Gr};
    TVxPenEventArgs e;
    for (int q : FDrawOrder) {
        double x, y, ends[4];
        geometry(q, x, y, ends);
        const TVxPen* pen = &FErrorIndicatorsPen;
        if (OnGetIndicatorsPen) {
            const int idx = FWhiskerIndex[size_t(q)];
            e.Index = idx;
            e.X = TransformedX(idx);
            e.Y = TransformedY(idx);
            e.Pen = FErrorIndicatorsPen;
            e.Visible = true;
            OnGetIndicatorsPen(this, e);
            if (!e.Visible)
                continue;
            pen = &e.Pen;
        }
        EmitWhiskers(sink, *pen, x, y, ends, s);
    }
}

void TVxPointWithErrorSeries::DrawListItem(TVxLegendItemDrawArgs& e) {
    if (e.Graphics && FErrorIndicator->Visible() && (FDelta[YPlus] || FDelta[YMinus])) {
        // A vertical error bar through the glyph's centre, under the symbol.
        const QRectF r(e.Rect);
        const double x = r.left() + r.width() / 2.0;
        const double s = std::min((FPointSymbol->Size() - 1) / 2.0, r.width() / 2.0);
        const double top = r.top() + 1, bottom = r.bottom() - 1;
        TVxSurface& gr = *e.Graphics;
        gr.DrawLine(FErrorIndicatorsPen, QPointF(x, top), QPointF(x, bottom));
        gr.DrawLine(FErrorIndicatorsPen, QPointF(x - s, top), QPointF(x + s, top));
        gr.DrawLine(FErrorIndicatorsPen, QPointF(x - s, bottom), QPointF(x + s, bottom));
    }
    TVxSeries::DrawListItem(e);
}

// ---------------------------------------------------------------------------------------------
// Saved records: the series record, then the error bar line settings and the four delta vector
// references (X plus, X minus, Y plus, Y minus).

namespace {

void AddDeltaLink(TVxReferenceReader& Refs, TVxPointWithErrorSeries* Series,
                  TVxPointWithErrorSeries::TDeltaKind Kind, const QString& Path) {
    Refs.Add(Series, Path, TVxCustomDoubleVector::staticMetaObject, [Series, Kind](QObject* c) {
        Series->SetDelta(Kind, qobject_cast<TVxCustomDoubleVector*>(c));
    });
}

} // namespace

void TVxPointWithErrorSeries::WriteTo(QIODevice& Stream) const {
    TVxSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    WriteLineSettings(out, *FErrorIndicator);
    for (const QPointer<TVxCustomDoubleVector>& v : FDelta)
        out.WriteText(ComponentPath(v.data()));
    out.WriteContinuation(false);
}

void TVxPointWithErrorSeries::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs; // collects the base record's references too
    TVxSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        ReadLineSettings(in, *FErrorIndicator);
        for (int k = 0; k < 4; ++k)
            AddDeltaLink(refs, this, TDeltaKind(k), in.ReadText());
        CheckEndMarker(in.ReadByte(), "after the delta references");
    });
    refs.Finish();
}

void TVxPointWithErrorSeries::WriteXmlContent(pugi::xml_node Element) const {
    TVxSeries::WriteXmlContent(Element);
    pugi::xml_node e = Element.append_child("ErrorIndicator");
    WriteLineSettings(e, "Line", *FErrorIndicator);
    for (int k = 0; k < 4; ++k)
        SetXmlText(e, DeltaProperty[k], ComponentPath(FDelta[size_t(k)].data()));
}

void TVxPointWithErrorSeries::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node e = Element.child("ErrorIndicator");
        ReadLineSettings(e, "Line", *FErrorIndicator);
        for (int k = 0; k < 4; ++k)
            if (e.attribute(DeltaProperty[k]))
                AddDeltaLink(refs, this, TDeltaKind(k), XmlText(e, DeltaProperty[k]));
    });
    refs.Finish();
}

void TVxPointWithErrorSeries::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxSeries::WriteTo(Ini, Section);
    WriteLineSettings(Ini, Section, "ErrorIndicator", *FErrorIndicator);
    for (int k = 0; k < 4; ++k)
        Ini.WriteString(Section, DeltaProperty[k], ComponentPath(FDelta[size_t(k)].data()));
}

void TVxPointWithErrorSeries::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        ReadLineSettings(Ini, Section, "ErrorIndicator", *FErrorIndicator);
        for (int k = 0; k < 4; ++k)
            if (Ini.ValueExists(Section, DeltaProperty[k]))
                AddDeltaLink(refs, this, TDeltaKind(k),
                             Ini.ReadString(Section, DeltaProperty[k], {}));
    });
    refs.Finish();
}
