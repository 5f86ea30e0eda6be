#include "series/Series.h"

#include "drawing/Surface.h"
#include "series/SeriesHost.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "util/VariableRegistries.h"
#include "vectors/Indexer.h"
#include "vectors/MinMaxPyramid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TVxPixelMapping MappingOf(const TVxAxis& Axis) {
    return TVxPixelMapping(Axis.Start(), Axis.Stop(), Axis.NumberToWorld(Axis.Start()),
                           Axis.NumberToWorld(Axis.Stop()), Axis.Scale().HasLogScaling);
}

bool SameMapping(const TVxPixelMapping& A, const TVxPixelMapping& B) {
    return A.Start() == B.Start() && A.Stop() == B.Stop() && A.PixelStart() == B.PixelStart() &&
           A.PixelStop() == B.PixelStop() && A.Logarithmic() == B.Logarithmic();
}

bool Inside(double V, double A, double B) {
    return V >= std::min(A, B) && V <= std::max(A, B);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation and destruction

TVxSeries::TVxSeries(QObject* AOwner)
    : TVxComponent(AOwner), FXStart(MaxDouble), FXStop(-MaxDouble), FYStart(MaxDouble),
      FYStop(-MaxDouble) {
    FLine = new TVxLineSettings([this] { TestVisbleChanged(); }, this);
    FArea = new TVxAreaSettings([this] { TestVisbleChanged(); }, this);
    FPointSymbol = new TVxPointSymbolSettings([this] { TestVisbleChanged(); }, this);
    FPointSymbol->SetVisible(false);
    FIndexer = new TVxIndexer(this);
    FSymbolPen = TVxPen::Solid(VxColor(0xFF0000FF), 1);
    FSymbolBrush = TVxBrush::SolidBrush(VxColor(0xFF0000FF));
    FPen = FLine->GetPen(QRectF(0, 0, 1, 1));
    FBrush = FArea->GetBrush(QRectF(0, 0, 1, 1));
    FCaption = UniqueComponentName(AOwner, QStringLiteral("VxSeries"));
    FLastVisible = SeriesVisible();
    RegisterStringGetter(QStringLiteral("Name"), QStringLiteral("Internal name of the series"),
                         this, GlobalStringGetters(), [this] { return Name(); });
    RegisterStringGetter(QStringLiteral("Caption"),
                         QStringLiteral("Caption of the series e.g. used in legends"), this,
                         GlobalStringGetters(), [this] { return FCaption; });
    connect(this, &QObject::objectNameChanged, this,
            [this] { UpdateDependents(FObjectsToUpdate); });
}

TVxSeries::~TVxSeries() {
    BeginDestruction();
    VxUnlinkSeries(this);
    UnregisterContainerEverywhere(this);
    LeaveAll();
    for (TVxCustomDoubleVector* v : {FXData.data(), FYData.data()})
        if (v && v != FIndexer && !v->IsDestroying())
            v->RemoveRelatedSeries(this);
}

void TVxSeries::LeaveAll() {
    if (FXAxis)
        FXAxis->RemoveRelatedSeries(this);
    if (FYAxis)
        FYAxis->RemoveRelatedSeries(this);
    if (FHost && !FHost->HostDestroying())
        FHost->UnregisterSeries(this);
}

void TVxSeries::HostDestroyed() {
    FHost = nullptr;
    if (FXAxis)
        FXAxis->RemoveRelatedSeries(this);
    if (FYAxis)
        FYAxis->RemoveRelatedSeries(this);
    FXAxis = nullptr;
    FYAxis = nullptr;
    FPoints.clear();
    FPointIndex.clear();
    FSymbolPoints.clear();
    FSymbolIndex.clear();
    FAreaPoints.clear();
    FRecalculatePoints = true;
}

TVxLineSeries::TVxLineSeries(QObject* AOwner) : TVxSeries(AOwner) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxLineSeries")));
}

TVxPointSeries::TVxPointSeries(QObject* AOwner) : TVxLineSeries(AOwner) {
    PointSymbol()->SetVisible(true);
    FDoPointSettingsStorage = true;
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxPointSeries")));
}

// ---------------------------------------------------------------------------------------------
// Properties

void TVxSeries::RecordUndo(const char* Description, const char* PropName) {
    if (FUndoStack && !FUndoStack->Restoring())
        FUndoStack->PushProperty(this, QString::fromUtf8(Description), PropName);
}

void TVxSeries::Invalidate() {
    // The host may answer by marking every series' points stale, this one included.
    if (!FHost || FHost->HostDestroying() || FInvalidating)
        return;
    FInvalidating = true;
    const struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FInvalidating};
    FHost->SeriesInvalidated(*this);
}

void TVxSeries::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    RecordUndo("Series visibility", "Visible");
    FVisible = Value;
    TestVisbleChanged();
    if (FHost && !FHost->HostDestroying())
        FHost->LegendsModified();
}

void TVxSeries::SetCaption(const QString& Value) {
    QString text = Value;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (text == FCaption)
        return;
    RecordUndo("Series caption", "Caption");
    FCaption = text;
    FCaptionSet = true;
    if (FHost && !FHost->HostDestroying())
        FHost->LegendsModified();
    UpdateDependents(FObjectsToUpdate);
}

void TVxSeries::SetIncludeInLegend(bool Value) {
    if (Value == FIncludeInLegend)
        return;
    RecordUndo("Series visibility in legends", "IncludeInLegend");
    FIncludeInLegend = Value;
    Invalidate();
    if (FHost && !FHost->HostDestroying())
        FHost->LegendsModified();
}

void TVxSeries::SetOutliersVisible(bool Value) {
    if (Value == FOutliersVisible)
        return;
    RecordUndo("Series visibility of outliers", "OutliersVisible");
    FOutliersVisible = Value;
    RangesModified();
}

void TVxSeries::SetLayer(int Value) {
    if (Value == FLayer)
        return;
    RecordUndo("Series drawing order", "Layer");
    FLayer = Value;
    if (FHost && !FHost->HostDestroying())
        FHost->SeriesLayoutModified(*this);
}

void TVxSeries::SetXAxis(TVxAxis* Value) {
    if (Value == FXAxis)
        return;
    RecordUndo("Series X-axis reference", "XAxis");
    if (FXAxis) {
        FXAxis->RemoveRelatedSeries(this);
        RemoveFreeNotification(FXAxis);
    }
    FXAxis = Value;
    if (Value)
        FreeNotification(Value);
    TestAllAssigned();
}

void TVxSeries::SetYAxis(TVxAxis* Value) {
    if (Value == FYAxis)
        return;
    RecordUndo("Series Y-axis reference", "YAxis");
    if (FYAxis) {
        FYAxis->RemoveRelatedSeries(this);
        RemoveFreeNotification(FYAxis);
    }
    FYAxis = Value;
    if (Value)
        FreeNotification(Value);
    TestAllAssigned();
}

void TVxSeries::SetXData(TVxCustomDoubleVector* Value) {
    if (Value == FXData || (!Value && FXData == FIndexer))
        return;
    RecordUndo("Series X-data reference", "XData");
    if (FXData && FXData != FIndexer) {
        if (!FXData->IsDestroying())
            FXData->RemoveRelatedSeries(this);
        RemoveFreeNotification(FXData);
    }
    FXData = Value;
    if (Value) {
        Value->AddRelatedSeries(this);
        FreeNotification(Value);
    } else if (FYData == FIndexer) {
        FYData = nullptr;
    }
    TestAllAssigned();
}

void TVxSeries::SetYData(TVxCustomDoubleVector* Value) {
    if (Value == FYData || (!Value && FYData == FIndexer))
        return;
    RecordUndo("Series Y-data reference", "YData");
    if (FYData && FYData != FIndexer) {
        if (!FYData->IsDestroying())
            FYData->RemoveRelatedSeries(this);
        RemoveFreeNotification(FYData);
    }
    FYData = Value;
    if (Value) {
        Value->AddRelatedSeries(this);
        FreeNotification(Value);
    } else if (FXData == FIndexer) {
        FXData = nullptr;
    }
    TestAllAssigned();
}

namespace {

// The identity of a guarded target without downcasting it: during a destruction notice the
// target is no longer of its derived type, so QPointer<T>::data() must not be called then.
template <typename T> const QObject* GuardedIdentity(const QPointer<T>& Target) {
    return reinterpret_cast<const QPointer<QObject>&>(Target).data();
}

} // namespace

void TVxSeries::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    TVxComponent::Notification(AComponent, Operation);
    if (Operation != TVxOperation::opRemove || IsDestroying())
        return;
    // The component is half destroyed: drop the reference without recording an undo step.
    bool changed = false;
    if (AComponent == GuardedIdentity(FXData)) {
        FXData = nullptr;
        if (FYData == FIndexer)
            FYData = nullptr;
        changed = true;
    }
    if (AComponent == GuardedIdentity(FYData)) {
        FYData = nullptr;
        if (FXData == FIndexer)
            FXData = nullptr;
        changed = true;
    }
    if (AComponent == GuardedIdentity(FXAxis)) {
        FXAxis = nullptr;
        changed = true;
    }
    if (AComponent == GuardedIdentity(FYAxis)) {
        FYAxis = nullptr;
        changed = true;
    }
    if (changed) {
        ForgetReduction();
        TestAllAssigned();
    }
}

void TVxSeries::TestAllAssigned() {
    if (IsDestroying())
        return;
    if (FXAxis && FYAxis && DataAssigned()) {
        TVxSeriesHost* host = dynamic_cast<TVxSeriesHost*>(FYAxis->Host());
        if (FHost && FHost != host) {
            if (!FHost->HostDestroying())
                FHost->UnregisterSeries(this);
            FHost = nullptr;
        }
        if (host) {
            FHost = host;
            host->RegisterSeries(this);
            if (!FUndoStack && host->HostUndoStack())
                SetUndoStack(host->HostUndoStack());
        }
        if (!FHost || FHost->HostDestroying())
            return;
        if (!FXData) {
            FIndexer->SetRefVector(FYData);
            FXData = FIndexer;
        } else if (!FYData) {
            FIndexer->SetRefVector(FXData);
            FYData = FIndexer;
        }
        FXAxis->AddRelatedSeries(this);
        FYAxis->AddRelatedSeries(this);
        RangesModified();
        FHost->LegendsModified();
        FHost->SeriesLayoutModified(*this);
    } else {
        for (TVxAxis* axis : {FXAxis.data(), FYAxis.data()})
            if (axis)
                axis->RemoveRelatedSeries(this);
        if (FHost && !FHost->HostDestroying()) {
            FHost->UnregisterSeries(this);
            if (TVxAxis* y = FHost->PrimaryYAxis())
                y->RangeModified();
            FHost->SeriesLayoutModified(*this);
            FHost->LegendsModified();
        }
        FHost = nullptr;
        FCount = 0;
        FLastCount = 0;
        FPoints.clear();
        FPointIndex.clear();
        FSymbolPoints.clear();
        FSymbolIndex.clear();
        FAreaPoints.clear();
        FRecalculatePoints = true;
    }
}

void TVxSeries::SetLine(const TVxLineSettings* Value) {
    if (Value)
        FLine->Assign(Value);
}

void TVxSeries::SetArea(const TVxAreaSettings* Value) {
    if (Value)
        FArea->Assign(Value);
}

void TVxSeries::SetPointSymbol(const TVxPointSymbolSettings* Value) {
    if (Value)
        FPointSymbol->Assign(Value);
}

TVxLineSeries* TVxSeries::DrawBandTo() const {
    return qobject_cast<TVxLineSeries*>(FDrawBandTo.data());
}

void TVxSeries::SetDrawBandTo(TVxLineSeries* Value) {
    if (Value == this || Value == FDrawBandTo)
        return;
    FDrawBandTo = Value;
    PointsModified();
}

void TVxSeries::SetMergeLegendItemWith(TVxSeries* Value) {
    if (Value == this || Value == FMergeLegendItemWith)
        return;
    FMergeLegendItemWith = Value;
    if (FHost && !FHost->HostDestroying())
        FHost->LegendsModified();
}

void TVxSeries::SetXValueTransformation(TVxValueTransformation Value) {
    FXValueTransformation = std::move(Value);
    RangesModified();
}

void TVxSeries::SetYValueTransformation(TVxValueTransformation Value) {
    FYValueTransformation = std::move(Value);
    RangesModified();
}

bool TVxSeries::IsOwnIndexer(const TVxCustomDoubleVector* Vector) const {
    return Vector != nullptr && Vector == FIndexer;
}

void TVxSeries::SwapXYData() {
    std::swap(FXData, FYData);
    std::swap(FXValueTransformation, FYValueTransformation);
    ForgetReduction();
    RangesModified();
}

void TVxSeries::SetUndoStack(TVxUndoStack* Stack) {
    FUndoStack = Stack;
    FLine->SetUndoStack(Stack);
    FArea->SetUndoStack(Stack);
    FPointSymbol->SetUndoStack(Stack);
}

void TVxSeries::SetLinePen(const TVxPen& Value) {
    FPen = Value;
    FOwnsPen = false;
    Invalidate();
}

void TVxSeries::SetAreaBrush(const TVxBrush& Value) {
    FBrush = Value;
    FOwnsBrush = false;
    Invalidate();
}

void TVxSeries::SetSymbolBorderPen(const TVxPen& Value) {
    FSymbolPen = Value;
    FOwnsSymbolPen = false;
    Invalidate();
}

void TVxSeries::SetSymbolFillBrush(const TVxBrush& Value) {
    FSymbolBrush = Value;
    FOwnsSymbolBrush = false;
    Invalidate();
}

QString TVxSeries::ToString() const {
    return FCaption.isEmpty() ? Name() : FCaption;
}

// ---------------------------------------------------------------------------------------------
// State

bool TVxSeries::SymbolsVisible() const {
    return FPointSymbol->Visible();
}

bool TVxSeries::SeriesVisible() const {
    return FVisible && (FLine->Visible() || FArea->Visible() || FPointSymbol->Visible());
}

void TVxSeries::TestVisbleChanged() {
    if (IsDestroying())
        return;
    // The symbols' pen and brush follow their settings also while the series is not bound
    // (set up before its axes, or read from a record), so the first paint has the colours.
    if (FOwnsSymbolPen)
        FSymbolPen = FPointSymbol->GetPen();
    if (FOwnsSymbolBrush)
        FSymbolBrush = FPointSymbol->GetBrush();
    if (FHost && FPointSymbol->Visible()) {
        if (FPointSymbol->Size() != FLastSymbolSize) {
            FLastSymbolSize = FPointSymbol->Size();
            if (!FHost->HostDestroying())
                FHost->LegendsModified();
        }
    }
    const QRectF area = FHost ? FHost->DrawingArea() : QRectF(0, 0, 1, 1);
    if (FOwnsPen)
        FPen = FLine->GetPen(area);
    if (FOwnsBrush)
        FBrush = FArea->GetBrush(area);
    // Symbols switched on or off change the minimum count and the points to compute.
    FMinCount = FPointSymbol->Visible() ? 1 : 2;
    FLastCount = 0;
    PointsModified();
    if (SeriesVisible() != FLastVisible) {
        FLastVisible = SeriesVisible();
        if (FXAxis)
            FXAxis->RangeModified();
        if (FYAxis)
            FYAxis->RangeModified();
    }
}

void TVxSeries::ForgetReduction() {
    FAppendOnly = false;
    FReducedData[0] = FReducedData[1] = nullptr;
    FSummaries[0] = FSummaries[1] = nullptr;
}

void TVxSeries::PointsModified() {
    ForgetReduction();
    MarkPointsStale();
}

void TVxSeries::MarkPointsStale() {
    FRecalculatePoints = true;
    FSmallestValid[0] = FSmallestValid[1] = false;
    Invalidate();
}

void TVxSeries::LayoutModified() {
    MarkPointsStale();
}

void TVxSeries::RangesModified() {
    if (!FXAxis || !FYAxis)
        return;
    FXStart = FYStart = MaxDouble;
    FXStop = FYStop = -MaxDouble;
    FLastCount = 0;
    FCount = 0;
    PointsModified();
    FXAxis->RangeModified();
    FYAxis->RangeModified();
}

void TVxSeries::SetLastCount(int Value) {
    ForgetReduction();
    if (Value < FLastCount)
        FLastCount = Value;
    FSmallestValid[0] = FSmallestValid[1] = false;
    FRecalculatePoints = true;
}

void TVxSeries::VectorChanged() {
    bool appendOnly = FAppendOnly;
    if (appendOnly) {
        // The summary of a vector is lowered to the first changed index by every store and
        // brought up to date only by a reduction, so at each message it bounds the stores
        // since the last one (of any series sharing the vector).
        const TVxCustomDoubleVector* data[2] = {FXData.data(), FYData.data()};
        for (int k = 0; k < 2; ++k) {
            if (data[k] != FReducedData[k]) {
                appendOnly = false;
            } else if (data[k] != FIndexer) {
                if (FSummaries[k] == nullptr)
                    appendOnly = false;
                else
                    FChangedFrom = std::min(FChangedFrom, FSummaries[k]->ValidUpTo());
            }
        }
    }
    if (appendOnly)
        MarkPointsStale();
    else
        PointsModified();
}

int TVxSeries::GetUsableCount() {
    FMinCount = FPointSymbol->Visible() ? 1 : 2;
    if (!FXData || !FYData)
        return 0;
    return std::min(FXData->GetCount(), FYData->GetCount());
}

int TVxSeries::CurrentCount() const {
    if (!FXData || !FYData)
        return 0;
    return std::min({FCount, FXData->GetCount(), FYData->GetCount()});
}

bool TVxSeries::HasValuesAt(int Idx) const {
    if (FOutliersVisible)
        return true;
    for (const TVxCustomDoubleVector* v : {FXData.data(), FYData.data()})
        if (v && v->AnyOutliers() && v->IsOutlier(Idx))
            return false;
    return true;
}

double TVxSeries::TransformX(int Idx, double Value) const {
    if (!FXValueTransformation)
        return Value;
    TVxTransformEventArgs e{Value, Idx};
    return FXValueTransformation(const_cast<TVxSeries*>(this), e);
}

double TVxSeries::TransformY(int Idx, double Value) const {
    if (!FYValueTransformation)
        return Value;
    TVxTransformEventArgs e{Value, Idx};
    return FYValueTransformation(const_cast<TVxSeries*>(this), e);
}

double TVxSeries::TransformedX(int Idx) const {
    if (Idx < 0 || Idx >= CurrentCount())
        return NaN;
    return TransformX(Idx, FXData->GetValue(Idx));
}

double TVxSeries::TransformedY(int Idx) const {
    if (Idx < 0 || Idx >= CurrentCount())
        return NaN;
    return TransformY(Idx, FYData->GetValue(Idx));
}

// ---------------------------------------------------------------------------------------------
// Data extent

void TVxSeries::ExtentOf(bool ForX, double& Start, double& Stop) {
    TVxCustomDoubleVector& v = ForX ? *FXData : *FYData;
    const TVxCustomDoubleVector& other = ForX ? *FYData : *FXData;
    const bool transformed = ForX ? bool(FXValueTransformation) : bool(FYValueTransformation);
    auto transform = [&](int i, double x) { return ForX ? TransformX(i, x) : TransformY(i, x); };
    Start = MaxDouble;
    Stop = -MaxDouble;
    if (other.GetCount() < v.GetCount()) {
        for (int i = 0; i < FCount; ++i) {
            if (!HasValuesAt(i))
                continue;
            const double x = transform(i, v.GetValue(i));
            if (std::isnan(x))
                continue;
            Start = std::min(Start, x);
            Stop = std::max(Stop, x);
        }
    } else {
        const double lo = FOutliersVisible ? v.GetMinimumIncludingOutliers() : v.GetMinimum();
        const double hi = FOutliersVisible ? v.GetMaximumIncludingOutliers() : v.GetMaximum();
        if (transformed) {
            const int loIdx =
                FOutliersVisible ? v.GetMinimumIdxIncludingOutliers() : v.GetMinimumIdx();
            const int hiIdx =
                FOutliersVisible ? v.GetMaximumIdxIncludingOutliers() : v.GetMaximumIdx();
            Start = transform(loIdx, lo);
            Stop = transform(hiIdx, hi);
            if (Start > Stop)
                std::swap(Start, Stop);
        } else {
            Start = lo;
            Stop = hi;
        }
    }
    TVxAxis* axis = ForX ? FXAxis.data() : FYAxis.data();
    // A logarithmic axis cannot show values that are not positive, 0 included.
    if (axis && axis->Scale().HasLogScaling && !(Start > 0)) {
        const double smallest = SmallestPositive(ForX);
        Start = smallest > 0 ? smallest : MaxDouble;
    }
}

double TVxSeries::SmallestPositive(bool ForX) const {
    const int slot = ForX ? 0 : 1;
    if (FSmallestValid[slot])
        return FSmallest[slot];
    double best = MaxDouble;
    bool any = false;
    const int n = CurrentCount();
    const TVxCustomDoubleVector* v = ForX ? FXData.data() : FYData.data();
    for (int i = 0; v && i < n; ++i) {
        if (!HasValuesAt(i))
            continue;
        const double x = ForX ? TransformX(i, v->GetValue(i)) : TransformY(i, v->GetValue(i));
        if (x > 0 && x < best) {
            best = x;
            any = true;
        }
    }
    FSmallest[slot] = any ? best : 0;
    FSmallestValid[slot] = true;
    return FSmallest[slot];
}

void TVxSeries::Calculate() {
    if (!FXData || !FYData)
        return;
    const int usable = GetUsableCount();
    if (usable < FCount) {
        // The data shrank: nothing of the old extent or points may survive.
        FCount = usable;
        FLastCount = 0;
        FXStart = FYStart = MaxDouble;
        FXStop = FYStop = -MaxDouble;
        FPoints.clear();
        FPointIndex.clear();
        FSymbolPoints.clear();
        FSymbolIndex.clear();
        FAreaPoints.clear();
        FRecalculatePoints = true;
        FSmallestValid[0] = FSmallestValid[1] = false;
        if (FXAxis)
            FXAxis->RangeModified();
        if (FYAxis)
            FYAxis->RangeModified();
        Invalidate();
    }
    if (FLastCount >= FXData->GetCount() && FLastCount >= FYData->GetCount())
        return;
    FCount = usable;
    if (FLastCount >= FCount || FCount < FMinCount)
        return;
    double start, stop;
    ExtentOf(true, start, stop);
    if (start != FXStart || stop != FXStop) {
        FXStart = start;
        FXStop = stop;
        if (FXAxis)
            FXAxis->RangeModified();
    }
    ExtentOf(false, start, stop);
    if (start != FYStart || stop != FYStop) {
        FYStart = start;
        FYStop = stop;
        if (FYAxis)
            FYAxis->RangeModified();
    }
    VxUpdateLinkedMarkers(*this);
    FRecalculatePoints = true;
    Invalidate();
    FLastCount = FCount;
}

TVxValueRange TVxSeries::AxisValueRange(bool Horizontal) const {
    const bool xHorizontal = !FXAxis || FXAxis->Horizontal();
    if (Horizontal == xHorizontal)
        return {FXStart, FXStop};
    return {FYStart, FYStop};
}

double TVxSeries::SmallestPositiveValue(bool Horizontal) const {
    const bool xHorizontal = !FXAxis || FXAxis->Horizontal();
    return SmallestPositive(Horizontal == xHorizontal);
}

void TVxSeries::CheckDBVectors() {}

float TVxSeries::ExtraSpaceAt(int Border) const {
    (void)Border;
    if (FVisible && FPointSymbol->Visible() && FXData && FXData->GetCount() > 1)
        return (FPointSymbol->Size() + FPointSymbol->BorderLineWidth()) / 2 + 1;
    return 0;
}

int TVxSeries::GetItemHeight() const {
    int h = FLine->Visible() ? int(std::lround(FLine->Width())) : 0;
    if (FArea->Visible())
        h += 6;
    if (FPointSymbol->Visible())
        h = std::max(h, int(std::lround(FPointSymbol->Size() + 2)));
    return h;
}

void TVxSeries::DrawListItem(TVxLegendItemDrawArgs& e) {
    DrawListItem(e, FLine->Visible() || FPointSymbol->Visible() ? TVxLegendItemStyle::HalfHorizontal
                                                                : TVxLegendItemStyle::Filled);
}

void TVxSeries::DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) {
    if (!e.Graphics)
        return;
    TVxSurface& gr = *e.Graphics;
    const QRect& r = e.Rect;
    const double left = r.x(), top = r.y(), right = r.x() + r.width(), bottom = r.y() + r.height();
    const double middle = top + r.height() / 2.0;
    const QPointF centre(left + r.width() / 2.0, middle);
    const TVxPen symbolPen = FOwnsSymbolPen ? FPointSymbol->GetPen() : FSymbolPen;
    const TVxBrush symbolBrush = FOwnsSymbolBrush ? FPointSymbol->GetBrush() : FSymbolBrush;
    // A translucent symbol keeps the line and the fill out of its inside.
    std::optional<TVxRegion> savedClip;
    if (FPointSymbol->Visible() && GetAlpha(symbolBrush.Color) < 255) {
        savedClip = gr.GetClip();
        TVxPath shape;
        AddSymbolClipShape(shape, FPointSymbol->PointSymbol(), FPointSymbol->Size(), centre.x(),
                           centre.y());
        if (!shape.IsEmpty())
            gr.ExcludeClip(TVxRegion::FromPath(shape));
        if (Style == TVxLegendItemStyle::Filled)
            Style = TVxLegendItemStyle::HalfHorizontal;
    }
    const QPointF ascending[3] = {{left, bottom}, {right, top}, {right, bottom}};
    const QPointF descending[3] = {{right, bottom}, {left, top}, {left, bottom}};
    if (FArea->Visible()) {
        const QRectF rect(r);
        switch (Style) {
        case TVxLegendItemStyle::Filled:
            gr.FillRectangle(FArea->GetBrush(r), rect);
            break;
        case TVxLegendItemStyle::HalfHorizontal:
            gr.FillRectangle(FArea->GetBrush(r), QRectF(left, middle, r.width(), bottom - middle));
            break;
        case TVxLegendItemStyle::AscendingDiagonal:
            gr.FillPolygon(FOwnsBrush ? FArea->GetBrush(r) : FBrush, ascending);
            break;
        case TVxLegendItemStyle::DescendingDiagonal:
            gr.FillPolygon(FOwnsBrush ? FArea->GetBrush(r) : FBrush, descending);
            break;
        }
    }
    if (FLine->Visible()) {
        const TVxPen pen = FLine->GetPen(r);
        switch (Style) {
        case TVxLegendItemStyle::Filled:
            gr.DrawLine(pen, QPointF(left, top), QPointF(right, top));
            break;
        case TVxLegendItemStyle::HalfHorizontal:
            gr.DrawLine(pen, QPointF(left, middle), QPointF(right, middle));
            break;
        case TVxLegendItemStyle::AscendingDiagonal:
            gr.DrawLine(pen, ascending[0], ascending[1]);
            break;
        case TVxLegendItemStyle::DescendingDiagonal:
            gr.DrawLine(pen, descending[0], descending[1]);
            break;
        }
    }
    if (savedClip)
        gr.SetClip(*savedClip);
    if (FPointSymbol->Visible())
        DrawPointSymbol(gr, symbolPen, symbolBrush, FPointSymbol->PointSymbol(),
                        FPointSymbol->Size(), centre.x(), centre.y());
}

void TVxSeries::DrawMergedItems(TVxLegendItemDrawArgs& e,
                                const std::vector<TVxSeries*>& Participants) {
    if (Participants.empty()) {
        DrawListItem(e);
        return;
    }
    int lines = 0, areas = 0;
    for (const TVxSeries* s : Participants) {
        lines += s->FLine->Visible() ? 1 : 0;
        areas += s->FArea->Visible() ? 1 : 0;
    }
    const int n = std::max(lines, areas);
    int k = 0; // participants with a visible line or area drawn so far
    for (TVxSeries* s : Participants) {
        const bool counts = s->FLine->Visible() || s->FArea->Visible();
        if (k == 0) {
            if (n <= 1 || (areas == 1 && lines == 0))
                s->DrawListItem(e);
            else
                s->DrawListItem(e, n > 2 ? TVxLegendItemStyle::DescendingDiagonal
                                         : TVxLegendItemStyle::HalfHorizontal);
        } else if (k == 1) {
            s->DrawListItem(e, n > 2 ? TVxLegendItemStyle::HalfHorizontal
                                     : TVxLegendItemStyle::AscendingDiagonal);
        } else if (k == 2) {
            s->DrawListItem(e, TVxLegendItemStyle::AscendingDiagonal);
        } else {
            s->DrawListItem(e);
        }
        if (counts)
            ++k;
    }
}

// ---------------------------------------------------------------------------------------------
// Pixel points

TVxReductionView TVxSeries::View() const {
    TVxReductionView view;
    view.X = MappingOf(*FXAxis);
    view.Y = MappingOf(*FYAxis);
    view.Resolution = FHost && FHost->DoingMetafile() ? 4 : 1;
    view.SymbolMargin = (FPointSymbol->Size() + FPointSymbol->BorderLineWidth()) / 2 + 1;
    return view;
}

bool TVxSeries::PointsStale() const {
    if (FRecalculatePoints || !FXAxis || !FYAxis)
        return true;
    const TVxReductionView view = View();
    return !SameMapping(view.X, FLastView.X) || !SameMapping(view.Y, FLastView.Y) ||
           view.Resolution != FLastView.Resolution;
}

void TVxSeries::CalculatePoints() {
    FPoints.clear();
    FPointIndex.clear();
    FSymbolPoints.clear();
    FSymbolIndex.clear();
    FAreaPoints.clear();
    // Cleared before the band polygon is closed: a band partner that bands back to this
    // series finds the points current and does not recurse.
    FRecalculatePoints = false;
    const bool appendOnly = FAppendOnly;
    const TVxCustomDoubleVector* reduced[2] = {FReducedData[0], FReducedData[1]};
    const TVxMinMaxPyramid* summaries[2] = {FSummaries[0], FSummaries[1]};
    ForgetReduction();
    const int n = CurrentCount();
    if (!FXAxis || !FYAxis || n == 0)
        return;
    FCalculating = true;
    const struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FCalculating};
    FLastView = View();

    // Read before the reduction's data brings the Y summary up to date.
    // The summaries are those of the vectors reduced last while appendOnly holds.
    const TVxCustomDoubleVector* vectors[2] = {FXData.data(), FYData.data()};
    if (appendOnly)
        for (int k = 0; k < 2; ++k)
            if (summaries[k] != nullptr)
                FChangedFrom = std::min(FChangedFrom, summaries[k]->ValidUpTo());
    TVxReductionData data = ReductionData(*FXData, *FYData, FOutliersVisible, FHidden);
    // Transformed values and an indexer as Y are read from spans of their values.
    if (FXValueTransformation) {
        FXBuffer.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            FXBuffer[size_t(i)] = TransformX(i, FXData->GetValue(i));
        data.X = FXBuffer;
        data.XIsIndex = false;
        data.XAscending = false;
    } else if (!data.XIsIndex) {
        data.X = data.X.first(std::min(data.X.size(), size_t(n)));
    }
    const bool yIndexer = FYData == FIndexer;
    if (FYValueTransformation || yIndexer) {
        FYBuffer.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            FYBuffer[size_t(i)] = TransformY(i, FYData->GetValue(i));
        data.Y = FYBuffer;
        data.YMinMax = nullptr;
    } else {
        data.Y = data.Y.first(std::min(data.Y.size(), size_t(n)));
    }
    std::erase_if(FHidden, [n](int i) { return i >= n; });
    data.Hidden = FHidden;

    // Appended pairs extend the last reduction (which falls back to a whole one when the view
    // or the hidden indices changed); transformed values and an indexer as Y are buffers
    // computed afresh.
    const bool wantLine = FLine->Visible() || FArea->Visible() || FDrawBandTo;
    const bool wantSymbols = FPointSymbol->Visible() || OnGetPointSymbol;
    const bool extend = appendOnly && !FXValueTransformation && !FYValueTransformation &&
                        !yIndexer && vectors[0] == reduced[0] && vectors[1] == reduced[1] &&
                        FReducedLine == wantLine && FReducedSymbols == wantSymbols &&
                        n >= FReducedCount && FChangedFrom >= FReducedCount &&
                        (data.XIsIndex || summaries[0] != nullptr) && summaries[1] != nullptr;
    if (wantLine) {
        if (extend)
            FReduction.ExtendLine(data, FLastView, FReducedCount);
        else
            FReduction.ReduceLine(data, FLastView);
        FPoints.assign(FReduction.LinePoints().begin(), FReduction.LinePoints().end());
        FPointIndex.assign(FReduction.LineIndices().begin(), FReduction.LineIndices().end());
    }
    if (wantSymbols) {
        if (extend)
            FReduction.ExtendSymbols(data, FLastView, FReducedCount);
        else
            FReduction.ReduceSymbols(data, FLastView);
        FSymbolPoints.assign(FReduction.SymbolPoints().begin(), FReduction.SymbolPoints().end());
        FSymbolIndex.assign(FReduction.SymbolIndices().begin(), FReduction.SymbolIndices().end());
    }
    // The summaries are current now (the Y one was brought up to date by the reduction's
    // data): the next change message lowers their marks to the first changed index.
    FReducedCount = n;
    FChangedFrom = n;
    FReducedLine = wantLine;
    FReducedSymbols = wantSymbols;
    for (int k = 0; k < 2; ++k) {
        FReducedData[k] = vectors[k];
        FSummaries[k] =
            vectors[k] != nullptr && vectors[k] != FIndexer ? &vectors[k]->MinMax() : nullptr;
    }
    FAppendOnly = true;
    CloseAreaPolygon();
}

double TVxSeries::AreaBase() const {
    const double start = FYAxis->Start();
    if (start > 0)
        return FYAxis->NumberToWorld(start);
    return FYAxis->NumberToWorld(0) - 0.5;
}

void TVxSeries::CloseAreaPolygon() {
    if (FPoints.empty())
        return;
    FAreaPoints = FPoints;
    TVxSeries* band = FDrawBandTo.data();
    if (band && band->CurrentCountForBand() > 0) {
        if (!FArea->Visible()) {
            FArea->SetVisible(true);
            FRecalculatePoints = false; // the line points were computed for the band already
        }
        // A partner that bands back to this series while it computes uses what it has.
        if (band->PointsStale() && !band->FCalculating)
            band->CalculatePoints();
        FAreaPoints.insert(FAreaPoints.end(), band->FPoints.rbegin(), band->FPoints.rend());
        return;
    }
    const double base = AreaBase();
    FAreaPoints.emplace_back(FPoints.back().x(), base);
    FAreaPoints.emplace_back(FPoints.front().x(), base);
}

int TVxSeries::CurrentCountForBand() {
    const int usable = GetUsableCount();
    if (usable < FCount || FCount == 0)
        FCount = usable;
    return CurrentCount();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TVxSeries::PaintGr(TVxSurface& Gr) {
    if (!FXAxis || !FYAxis || !FHost || !SeriesVisible())
        return;
    if (PointsStale())
        CalculatePoints();
    if (FPoints.size() < 2)
        return;
    const QRectF area = FHost->DrawingArea();
    if (FOwnsPen)
        FPen = FLine->GetPen(area);
    if (FOwnsBrush)
        FBrush = FArea->GetBrush(area);
    // Lines stay out of translucent symbols, but only of symbols that are drawn.
    const bool exclude = FPointSymbol->Visible() && !FSymbolPoints.empty() &&
                         GetAlpha(FSymbolBrush.Color) < 255 &&
                         SymbolExcludesLines(FPointSymbol->PointSymbol());
    if (exclude)
        Gr.BeginShapeExclusion(
            SymbolClipShapes(FPointSymbol->PointSymbol(), FPointSymbol->Size(), FSymbolPoints));
    DrawLinesAndArea(Gr);
    if (exclude)
        Gr.EndShapeExclusion();
}

void TVxSeries::DrawLinesAndArea(TVxSurface& Gr) {
    const size_t n = FPoints.size();
    if (FArea->Visible()) {
        if (OnGetBrush) {
            TVxBrushEventArgs e;
            e.Brush = FBrush;
            e.Visible = true;
            const double base = AreaBase();
            for (size_t k = 0; k + 1 < n; ++k) {
                e.Index = FPointIndex[k];
                e.X = TransformedX(e.Index);
                e.Y = TransformedY(e.Index);
                OnGetBrush(this, e);
                if (!e.Visible)
                    continue;
                const QPointF quad[4] = {
                    FPoints[k], QPointF(FPoints[k + 1].x() + 0.5, FPoints[k + 1].y()),
                    QPointF(FPoints[k + 1].x() + 0.5, base), QPointF(FPoints[k].x(), base)};
                Gr.FillPolygon(e.Brush, quad);
            }
        } else if (FAreaPoints.size() >= 3) {
            Gr.FillPolygon(FBrush, FAreaPoints);
        }
    }
    if (FLine->Visible()) {
        if (OnGetPen) {
            TVxPenEventArgs e;
            e.Pen = FPen;
            e.Visible = true;
            for (size_t k = 0; k + 1 < n; ++k) {
                e.Index = FPointIndex[k];
                e.X = TransformedX(e.Index);
                e.Y = TransformedY(e.Index);
                OnGetPen(this, e);
                if (e.Visible)
                    Gr.DrawLine(e.Pen, FPoints[k], FPoints[k + 1]);
            }
        } else {
            Gr.DrawLines(FPen, FPoints);
        }
    }
}

void TVxSeries::DrawSymbols(TVxSurface& Gr) {
    if (!FVisible || !FXAxis || !FYAxis || !FHost)
        return;
    if (!FPointSymbol->Visible() && !OnGetPointSymbol)
        return;
    if (PointsStale())
        CalculatePoints();
    if (FSymbolPoints.empty())
        return;
    if (OnGetPointSymbol) {
        PointSymbolEventArgs e;
        e.Size = FPointSymbol->Size();
        e.Symbol = FPointSymbol->PointSymbol();
        e.Visible = FPointSymbol->Visible();
        e.Pen = FSymbolPen;
        e.Brush = FSymbolBrush;
        for (size_t k = 0; k < FSymbolPoints.size(); ++k) {
            e.Index = FSymbolIndex[k];
            e.X = TransformedX(e.Index);
            e.Y = TransformedY(e.Index);
            OnGetPointSymbol(this, e);
            if (e.Visible)
                DrawPointSymbol(Gr, e.Pen, e.Brush, e.Symbol, e.Size, FSymbolPoints[k].x(),
                                FSymbolPoints[k].y());
        }
        return;
    }
    DrawPointSymbols(Gr, FSymbolPen, FSymbolBrush, FPointSymbol->PointSymbol(),
                     FPointSymbol->Size(), FSymbolPoints);
}

// ---------------------------------------------------------------------------------------------
// Queries

const std::vector<QPointF>& TVxSeries::QueryPoints(const std::vector<int>*& Indices) const {
    if (FPointSymbol->Visible() && !FSymbolPoints.empty()) {
        Indices = &FSymbolIndex;
        return FSymbolPoints;
    }
    Indices = &FPointIndex;
    return FPoints;
}

int TVxSeries::FindPoint(float X, float Y, float Delta) {
    if (FRecalculatePoints)
        return -1;
    const std::vector<int>* indices = nullptr;
    const std::vector<QPointF>& points = QueryPoints(indices);
    const int n = CurrentCount();
    for (size_t k = 0; k < points.size(); ++k)
        if (std::abs(X - points[k].x()) <= Delta && std::abs(Y - points[k].y()) <= Delta &&
            (*indices)[k] < n)
            return (*indices)[k];
    return -1;
}

int TVxSeries::FindPoint(float X, float Y) {
    return FindPoint(X, Y, FPointSymbol->Visible() ? FPointSymbol->Size() : 1.0f);
}

void TVxSeries::Nearest(int Mode, QPointF From, TVxNearestPointResult& Result) const {
    Result = TVxNearestPointResult();
    if (FRecalculatePoints || !FHost)
        return;
    const QRectF area = FHost->DrawingArea();
    const std::vector<int>* indices = nullptr;
    const std::vector<QPointF>& points = QueryPoints(indices);
    const int n = CurrentCount();
    for (size_t k = 0; k < points.size(); ++k) {
        const QPointF p = points[k];
        const bool inX = Inside(p.x(), area.left(), area.right());
        const bool inY = Inside(p.y(), area.top(), area.bottom());
        float d;
        if (Mode == 0) {
            if (!inX || !inY)
                continue;
            d = float(std::hypot(p.x() - From.x(), p.y() - From.y()));
        } else if (Mode == 1) {
            if (!inX)
                continue;
            d = float(std::abs(p.x() - From.x()));
        } else {
            if (!inY)
                continue;
            d = float(std::abs(p.y() - From.y()));
        }
        if (d < Result.Distance && (*indices)[k] < n) {
            Result.Found = true;
            Result.Distance = d;
            Result.Index = (*indices)[k];
            Result.ThePoint = p;
        }
    }
    if (Result.Found) {
        Result.X = TransformedX(Result.Index);
        Result.Y = TransformedY(Result.Index);
    }
}

void TVxSeries::NearestPoint(QPointF FromPosition, TVxNearestPointResult& Result) const {
    Nearest(0, FromPosition, Result);
}

void TVxSeries::NearestX(float FromX, TVxNearestPointResult& Result) const {
    Nearest(1, QPointF(FromX, 0), Result);
}

void TVxSeries::NearestY(float FromY, TVxNearestPointResult& Result) const {
    Nearest(2, QPointF(0, FromY), Result);
}

double TVxSeries::GetY(double AtX) const {
    const int n = CurrentCount();
    if (n <= 0)
        return 0;
    if (n == 1)
        return FYData->GetValue(0);
    auto x = [this](int i) { return FXData->GetValue(i); };
    int upper = -1, lower = -1;
    if (FXData->GetOnlyAscending() && !(FOutliersVisible && FXData->AnyOutliers())) {
        // First index from 1 on with values whose X exceeds AtX: binary search, then skip
        // hidden indices.
        int lo = 1, hi = n;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (x(mid) <= AtX)
                lo = mid + 1;
            else
                hi = mid;
        }
        upper = lo;
        while (upper < n && !HasValuesAt(upper))
            ++upper;
        if (upper >= n) {
            upper = n - 1;
            while (upper > 0 && !HasValuesAt(upper))
                --upper;
        }
        lower = upper - 1;
        while (lower >= 0 && !HasValuesAt(lower))
            --lower;
    } else {
        // Unsorted data: walk over hidden indices rather than stopping at them.
        auto next = [&](int i) {
            do
                ++i;
            while (i < n && !HasValuesAt(i));
            return i;
        };
        auto prev = [&](int i) {
            do
                --i;
            while (i >= 0 && !HasValuesAt(i));
            return i;
        };
        upper = next(-1);
        if (upper >= n)
            return 0;
        for (int k = next(upper); k < n && x(upper) < AtX; k = next(k))
            upper = k;
        lower = prev(n);
        for (int k = prev(lower); k >= 0 && x(lower) > AtX; k = prev(k))
            lower = k;
    }
    if (lower < 0 || upper < 0 || lower == upper)
        return FYData->GetValue(std::max(upper, 0));
    const double x0 = x(lower), x1 = x(upper);
    const double y0 = FYData->GetValue(lower), y1 = FYData->GetValue(upper);
    if (x0 == x1)
        return y1; // two points with equal X: no slope to follow
    return y0 + (y1 - y0) * (AtX - x0) / (x1 - x0);
}
