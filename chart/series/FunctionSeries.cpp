#include "series/FunctionSeries.h"

#include "drawing/Surface.h"
#include "numeric/Samples.h"
#include "series/SeriesHost.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/Rounding.h"
#include "vectors/Indexer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Sets a flag for the lifetime of the scope.
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& AFlag) : Flag(AFlag) { Flag = true; }
    ~TFlagScope() { Flag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};

bool Differs(double A, double B) {
    return A < B || A > B;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The calculation object

double TVxCalculation::Xi(int Idx) const {
    const double x = XData->GetValue(Idx);
    if (!mXValueTransformation)
        return x;
    return mXValueTransformation(Sender, TVxTransformEventArgs{x, Idx});
}

double TVxCalculation::Yi(int Idx) const {
    const double y = YData->GetValue(Idx);
    if (!mYValueTransformation)
        return y;
    return mYValueTransformation(Sender, TVxTransformEventArgs{y, Idx});
}

double TVxCalculation::Wi(int Idx) const {
    if (!Weight)
        return 1.0;
    const double w = std::abs(Weight->GetValue(Idx));
    if (!mWeightValueTransformation)
        return w;
    return std::abs(mWeightValueTransformation(Sender, TVxTransformEventArgs{w, Idx}));
}

bool TVxCalculation::IsValid(int Idx) const {
    if (OutliersVisible)
        return true;
    for (const TVxCustomDoubleVector* v : {XData, YData, Weight})
        if (v && v->AnyOutliers() && v->IsOutlier(Idx))
            return false;
    const double x = XData->GetValue(Idx);
    return x >= Start && x <= Stop;
}

int TVxCalculation::DataCount() const {
    if (!XData || !YData)
        return 0;
    int n = std::min(XData->GetCount(), YData->GetCount());
    if (Weight)
        n = std::min(n, Weight->GetCount());
    return n;
}

TVxSamples TVxCalculation::Gather(const std::function<bool(double X, double Y)>& Accept) {
    if (!XData)
        throw EVxMathError("No X vector defined for calculation");
    if (!YData)
        throw EVxMathError("No Y vector defined for calculation");
    const int n = DataCount();
    // The vectors' own arrays are read directly when nothing changes their values; an
    // indexer (no array of its own) is read through GetValue.
    const std::span<const double> xs = XData->ValueData(), ys = YData->ValueData();
    const bool direct = PlainValues() && !mXValueTransformation && !mYValueTransformation &&
                        xs.size() >= size_t(n) && ys.size() >= size_t(n);
    const bool anyOutliers = !OutliersVisible && (XData->AnyOutliers() || YData->AnyOutliers() ||
                                                  (Weight && Weight->AnyOutliers()));
    const bool allX = OutliersVisible || (Start <= -MaxDouble && Stop >= MaxDouble);
    if (direct && !anyOutliers && !Weight && !Accept) {
        // Plain data that is taken whole (the usual case: the range is the data's extent)
        // is handed over as the vectors' own arrays, without a copy.
        int i = 0;
        for (; i < n; ++i) {
            const double x = xs[size_t(i)], y = ys[size_t(i)];
            if (!(x >= Start && x <= Stop) || !std::isfinite(x) || !std::isfinite(y))
                break;
        }
        if (i == n) {
            TVxSamples samples;
            samples.X = xs.first(size_t(n));
            samples.Y = ys.first(size_t(n));
            return samples;
        }
    }
    FX.resize(size_t(n));
    FY.resize(size_t(n));
    FW.resize(Weight ? size_t(n) : 0);
    size_t m = 0;
    for (int i = 0; i < n; ++i) {
        double x, y;
        if (direct) {
            x = xs[size_t(i)];
            if (!allX && !(x >= Start && x <= Stop))
                continue;
            if (anyOutliers && !IsValid(i))
                continue;
            y = ys[size_t(i)];
        } else {
            if (!IsValid(i))
                continue;
            x = Xi(i);
            y = Yi(i);
        }
        if (!std::isfinite(x) || !std::isfinite(y) || (Accept && !Accept(x, y)))
            continue;
        if (Weight) {
            const double w = Wi(i);
            if (!std::isfinite(w))
                continue;
            FW[m] = w;
        }
        FX[m] = x;
        FY[m] = y;
        ++m;
    }
    TVxSamples samples;
    samples.X = std::span<const double>(FX.data(), m);
    samples.Y = std::span<const double>(FY.data(), m);
    if (Weight)
        samples.W = std::span<const double>(FW.data(), m);
    return samples;
}

// ---------------------------------------------------------------------------------------------
// Creation

TVxFunctionSeries::TVxFunctionSeries(QObject* AOwner) : TVxLineSeries(AOwner) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxFunctionSeries")));
    // The series' own variables are registered here, after the base's: a base constructor
    // cannot reach what a kind adds, so each kind registers its own in its constructor.
    RegisterStringGetter(QStringLiteral("Formula"), QStringLiteral("Formula used for calculation"),
                         this, GlobalStringGetters(), [this] {
                             try {
                                 return Formula();
                             } catch (const std::exception&) {
                                 return QString();
                             }
                         });
    RegisterDoubleGetter(QStringLiteral("CalculationStart"),
                         QStringLiteral("Start value of range used for calculation"), this,
                         GlobalDoubleGetters(), [this] { return FCalcStart; });
    RegisterDoubleGetter(QStringLiteral("CalculationStop"),
                         QStringLiteral("Stop value of range used for calculation"), this,
                         GlobalDoubleGetters(), [this] { return FCalcStop; });
    RegisterDoubleGetter(QStringLiteral("DisplayStart"),
                         QStringLiteral("Start value of range used for display of line"), this,
                         GlobalDoubleGetters(), [this] { return FDisplayStart; });
    RegisterDoubleGetter(QStringLiteral("DisplayStop"),
                         QStringLiteral("Stop value of range used for display of line"), this,
                         GlobalDoubleGetters(), [this] { return FDisplayStop; });
}

TVxFunctionSeries::~TVxFunctionSeries() {
    BeginDestruction();
    ListenToWeight(FWeight.data(), false);
}

void TVxFunctionSeries::SetCalculation(std::unique_ptr<TVxCalculation> Calculation) {
    FOwnedCalculation = std::move(Calculation);
    FCalculation = FOwnedCalculation.get();
    Recalculate();
}

QString TVxFunctionSeries::Formula() const {
    throw EVxException("Formula function of function series must be overridden in derived classes");
}

double TVxFunctionSeries::GetY(double AtX) const {
    (void)AtX;
    return NaN;
}

void TVxFunctionSeries::GetYs(std::span<const double> X, std::span<double> Y) const {
    for (std::size_t i = 0; i < X.size() && i < Y.size(); ++i) {
        try {
            Y[i] = GetY(X[i]);
        } catch (const std::exception&) {
            Y[i] = NaN;
        }
    }
}

std::vector<TVxCustomDoubleVector*> TVxFunctionSeries::ReferencedVectors() const {
    std::vector<TVxCustomDoubleVector*> list = TVxLineSeries::ReferencedVectors();
    list.push_back(FWeight.data());
    return list;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TVxFunctionSeries::Recalculate() {
    FLastCount = 0;
    PointsModified();
}

void TVxFunctionSeries::ListenToWeight(TVxCustomDoubleVector* Vector, bool Listen) {
    if (!Vector || Vector == static_cast<TVxCustomDoubleVector*>(FIndexer))
        return;
    if (Listen) {
        Vector->AddRelatedSeries(this);
        FreeNotification(Vector);
        return;
    }
    // The X or Y vector keeps the series among its listeners.
    if (!Vector->IsDestroying() && Vector != FXData && Vector != FYData)
        Vector->RemoveRelatedSeries(this);
    RemoveFreeNotification(Vector);
}

void TVxFunctionSeries::SetWeight(TVxCustomDoubleVector* Value) {
    if (Value == FWeight)
        return;
    RecordUndo("Function series weight", "Weight");
    ListenToWeight(FWeight.data(), false);
    FWeight = Value;
    FWeightIdentity = Value;
    ListenToWeight(Value, true);
    Recalculate();
}

void TVxFunctionSeries::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && !IsDestroying() && FWeightIdentity &&
        static_cast<const QObject*>(AComponent) == FWeightIdentity) {
        // Half destroyed: the reference is dropped without an undo step.
        FWeight = nullptr;
        FWeightIdentity = nullptr;
        Recalculate();
    }
    TVxLineSeries::Notification(AComponent, Operation);
}

void TVxFunctionSeries::RecordAutoSwitch(bool On, const char* Description, const char* ValueName,
                                         const char* FlagName) {
    if (!FUndoStack || FUndoStack->Restoring())
        return;
    const QString text = QString::fromUtf8(Description);
    if (!On) {
        FUndoStack->PushProperty(this, text, FlagName);
        return;
    }
    // Switching on overwrites the fixed value: one step restores both.
    FUndoStack->StartGroup(text);
    FUndoStack->PushProperty(this, text, ValueName);
    FUndoStack->PushProperty(this, text, FlagName);
    FUndoStack->StopGroup();
}

void TVxFunctionSeries::SetAutoStart(bool Value) {
    if (Value == FAutoStart)
        return;
    RecordAutoSwitch(Value, "Function series calculation start auto", "CalculationStart",
                     "AutoStart");
    FAutoStart = Value;
    if (Value)
        Recalculate();
}

void TVxFunctionSeries::SetAutoStop(bool Value) {
    if (Value == FAutoStop)
        return;
    RecordAutoSwitch(Value, "Function series calculation stop auto", "CalculationStop", "AutoStop");
    FAutoStop = Value;
    if (Value)
        Recalculate();
}

void TVxFunctionSeries::SetDisplayAutoStart(bool Value) {
    if (Value == FDisplayAutoStart)
        return;
    RecordAutoSwitch(Value, "Function series display start auto", "DisplayStart",
                     "DisplayAutoStart");
    FDisplayAutoStart = Value;
    if (Value)
        Recalculate();
}

void TVxFunctionSeries::SetDisplayAutoStop(bool Value) {
    if (Value == FDisplayAutoStop)
        return;
    RecordAutoSwitch(Value, "Function series display stop auto", "DisplayStop", "DisplayAutoStop");
    FDisplayAutoStop = Value;
    if (Value)
        Recalculate();
}

void TVxFunctionSeries::SetCoupleCalculationAndDisplay(bool Value) {
    if (Value == FCoupleCalculationAndDisplay)
        return;
    if (FUndoStack && !FUndoStack->Restoring()) {
        const QString text = QStringLiteral("Function series couple calculation and display");
        if (Value) {
            FUndoStack->StartGroup(text);
            FUndoStack->PushProperty(this, text, "DisplayStop");
            FUndoStack->PushProperty(this, text, "DisplayStart");
            FUndoStack->PushProperty(this, text, "CoupleCalculationAndDisplay");
            FUndoStack->StopGroup();
        } else {
            FUndoStack->PushProperty(this, text, "CoupleCalculationAndDisplay");
        }
    }
    FCoupleCalculationAndDisplay = Value;
    Recalculate();
}

void TVxFunctionSeries::SetClipYValues(bool Value) {
    if (Value == FClipYValues)
        return;
    RecordUndo("Function series clip Y-values", "ClipYValues");
    FClipYValues = Value;
    Recalculate();
}

void TVxFunctionSeries::SetCalculationStart(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FCalcStart))
        return;
    RecordUndo("Function series calculation start", "CalculationStart");
    FCalcStart = Value;
    Recalculate();
}

void TVxFunctionSeries::SetCalculationStop(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FCalcStop))
        return;
    RecordUndo("Function series calculation stop", "CalculationStop");
    FCalcStop = Value;
    Recalculate();
}

void TVxFunctionSeries::SetDisplayStart(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FDisplayStart))
        return;
    RecordUndo("Function series display start", "DisplayStart");
    FDisplayStart = Value;
    if (Value >= FXStart) {
        // Inside the extent: the fit stands, but the Y extent is sampled over this range.
        if (mCalculated && !mCalculationError)
            SampleYExtent();
        PointsModified();
    } else {
        Recalculate();
    }
}

void TVxFunctionSeries::SetDisplayStop(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FDisplayStop))
        return;
    RecordUndo("Function series display stop", "DisplayStop");
    FDisplayStop = Value;
    if (Value > FXStop) {
        Recalculate();
    } else {
        if (mCalculated && !mCalculationError)
            SampleYExtent();
        PointsModified();
    }
}

void TVxFunctionSeries::SetWeightValueTransformation(TVxValueTransformation Value) {
    FWeightValueTransformation = std::move(Value);
    RangesModified();
}

// ---------------------------------------------------------------------------------------------
// Messages

void TVxFunctionSeries::VectorChanged() {
    // Any stored value may move the fit, appended ones included.
    Recalculate();
}

void TVxFunctionSeries::AxisRangeModifiedAlone(TVxAxis& Axis) {
    (void)Axis;
    PointsModified();
}

int TVxFunctionSeries::GetUsableCount() {
    if (!FXData || !FYData)
        return 0;
    return std::min(FXData->GetCount(), FYData->GetCount());
}

// ---------------------------------------------------------------------------------------------
// Recalculation

bool TVxFunctionSeries::XLogarithmic() const {
    return FXAxis && FXAxis->Scale().HasLogScaling;
}

bool TVxFunctionSeries::YLogarithmic() const {
    return FYAxis && FYAxis->Scale().HasLogScaling;
}

void TVxFunctionSeries::SetLimits() {
    if (FAutoStart)
        FCalcStart = FXStart;
    if (FAutoStop)
        FCalcStop = FXStop;
    if (FCoupleCalculationAndDisplay) {
        FDisplayStart = FCalcStart;
        FDisplayStop = FCalcStop;
    } else {
        if (FDisplayAutoStart)
            FDisplayStart = FXStart;
        if (FDisplayAutoStop)
            FDisplayStop = FXStop;
    }
}

bool TVxFunctionSeries::AnyOtherSeries() const {
    if (!FYAxis)
        return false;
    for (TVxAxisRangeSource* source : FYAxis->RelatedSeries()) {
        const auto* series = dynamic_cast<const TVxSeries*>(source);
        if (series && series != this && !series->IsFunctionSeries() && series->SeriesVisible())
            return true;
    }
    return false;
}

void TVxFunctionSeries::ClearCurve() {
    FPoints.clear();
    FPointIndex.clear();
    FSymbolPoints.clear();
    FSymbolIndex.clear();
    FAreaPoints.clear();
    mCalculated = false;
    SetYExtent(MaxDouble, -MaxDouble);
}

void TVxFunctionSeries::SetYExtent(double Start, double Stop) {
    if (Start == FYStart && Stop == FYStop)
        return;
    FYStart = Start;
    FYStop = Stop;
    if (FYAxis)
        FYAxis->RangeModified();
}

void TVxFunctionSeries::SetXExtent(double Start, double Stop) {
    if (Start == FXStart && Stop == FXStop)
        return;
    FXStart = Start;
    FXStop = Stop;
    if (FXAxis)
        FXAxis->RangeModified();
}

void TVxFunctionSeries::Calculate() {
    // A handler that runs an event loop (a modal box) lets the poll call again: the series
    // never re-enters its own recalculation.
    if (FInRecalculation || !FXData || !FYData)
        return;
    if (FWeight && FWeight.data() != static_cast<TVxCustomDoubleVector*>(FIndexer)) {
        // The weights are heard even when the vector also serves as X or Y and that role ended.
        const auto& listeners = FWeight->RelatedSeries();
        if (std::find(listeners.begin(), listeners.end(), this) == listeners.end())
            FWeight->AddRelatedSeries(this);
    }
    const int usable = GetUsableCount();
    if (FLastCount >= FXData->GetCount() && FLastCount >= FYData->GetCount() && usable >= FCount)
        return;
    TFlagScope busy(FInRecalculation);
    FCount = usable;
    if (FCount < FMinCount) {
        // Too few pairs: no curve, and none left over from more data.
        if (mCalculated || !FPoints.empty()) {
            ClearCurve();
            Invalidate();
        }
        FLastCount = FCount;
        return;
    }
    double start, stop;
    ExtentOf(true, start, stop);
    if (!FCoupleCalculationAndDisplay) {
        const bool positiveOnly = XLogarithmic();
        if (!FDisplayAutoStart && FDisplayStart < start && (!positiveOnly || FDisplayStart > 0))
            start = FDisplayStart;
        if (!FDisplayAutoStop && FDisplayStop > stop)
            stop = FDisplayStop;
    }
    SetXExtent(start, stop);
    try {
        RecalculateFunction();
    } catch (const std::exception& e) {
        // Whatever happens, the failure is taken in: the next poll does not repeat it.
        mCalculationError = true;
        ClearCurve();
        FRecalculatePoints = true;
        FLastCount = FCount;
        Invalidate();
        if (!OnCalculationError)
            throw;
        OnCalculationError(this, e);
        return;
    }
    mCalculationError = false;
    mCalculated = true;
    UpdateDependents(FObjectsToUpdate);
    if (FYAxis)
        FYAxis->RangeModified();
    FRecalculatePoints = true;
    FLastCount = FCount;
    Invalidate();
}

void TVxFunctionSeries::PrepareCalculation() {
    TVxCalculation& c = *FCalculation;
    c.OutliersVisible = OutliersVisible();
    c.XData = FXData.data();
    c.YData = FYData.data();
    c.Weight = FWeight.data();
    c.Start = FCalcStart;
    c.Stop = FCalcStop;
    c.mXValueTransformation = FXValueTransformation;
    c.mYValueTransformation = FYValueTransformation;
    c.mWeightValueTransformation = FWeightValueTransformation;
    c.Sender = this;
}

void TVxFunctionSeries::RecalculateFunction() {
    if (FCount < FMinCount)
        return;
    SetLimits();
    if (FCalculation) {
        PrepareCalculation();
        FCalculation->Calculate();
    }
    SampleYExtent();
    if (OnCalculated)
        OnCalculated(this);
}

void TVxFunctionSeries::SampleYExtent() {
    if (FClipYValues && AnyOtherSeries()) {
        SetYExtent(MaxDouble, -MaxDouble);
        return;
    }
    double a = FDisplayStart, b = FDisplayStop;
    const int width = FXAxis ? std::max(0, int(std::lround(FXAxis->AxLength()))) : 0;
    const bool geometric = XLogarithmic() && a > 0 && b > 0;
    const double la = geometric ? std::log10(a) : 0, lb = geometric ? std::log10(b) : 0;
    const int samples = (b > a && width > 0) ? width : 0;
    double lo = MaxDouble, hi = -MaxDouble;
    for (int k = 0; k <= samples; ++k) {
        // Each x is computed from its index, never by adding steps: the ends are exact and a
        // step too small to change x cannot stall the loop.
        double x;
        if (k == 0)
            x = a;
        else if (k == samples)
            x = b;
        else if (geometric)
            x = Exp10(la + (lb - la) * double(k) / double(samples));
        else
            x = a + (b - a) * (double(k) / double(samples));
        double y;
        try {
            y = GetY(x);
        } catch (const std::exception&) {
            continue;
        }
        if (!std::isfinite(y))
            continue;
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    SetYExtent(lo, hi);
}

// ---------------------------------------------------------------------------------------------
// Pixel points

bool TVxFunctionSeries::VisibleDisplayRange(double& X0, double& X1) const {
    if (!FXAxis)
        return false;
    const double lo = std::min(FXAxis->Start(), FXAxis->Stop());
    const double hi = std::max(FXAxis->Start(), FXAxis->Stop());
    X0 = std::max(FDisplayStart, lo);
    X1 = std::min(FDisplayStop, hi);
    if (XLogarithmic() && !(X0 > 0))
        X0 = lo > 0 ? lo : std::numeric_limits<double>::min();
    return std::isfinite(X0) && std::isfinite(X1) && X0 <= X1;
}

void TVxFunctionSeries::PixelBand(double& Top, double& Bottom) const {
    // Far enough that clamped points leave the visible slope of a line unchanged to the eye,
    // near enough that float pixels stay exact to a small fraction of a pixel.
    constexpr double Band = 10000;
    QRectF area = FHost ? FHost->DrawingArea() : QRectF();
    if (area.isEmpty() && FYAxis)
        area = QRectF(0, FYAxis->AxTop(), 1, FYAxis->AxLength());
    Top = area.top() - Band;
    Bottom = area.bottom() + Band;
}

void TVxFunctionSeries::AppendPixelPoint(double X, double Y) {
    double top, bottom;
    PixelBand(top, bottom);
    const double py = std::clamp(double(FYAxis->NumberToWorld(Y)), top, bottom);
    const double left = FXAxis->AxLeft() - 10000,
                 right = FXAxis->AxLeft() + FXAxis->AxLength() + 10000;
    const double px = std::clamp(double(FXAxis->NumberToWorld(X)), left, right);
    FPoints.emplace_back(px, py);
    FPointIndex.push_back(-1);
}

void TVxFunctionSeries::FinishPoints() {
    CloseAreaPolygon();
}

bool TVxFunctionSeries::BeginPoints() {
    FPoints.clear();
    FPointIndex.clear();
    FSymbolPoints.clear();
    FSymbolIndex.clear();
    FAreaPoints.clear();
    FRecalculatePoints = false;
    ForgetReduction();
    if (!FXAxis || !FYAxis)
        return false;
    FLastView = View();
    return !mCalculationError && mCalculated && FCount >= FMinCount;
}

void TVxFunctionSeries::CalculatePoints() {
    if (FSampling)
        return;
    TFlagScope busy(FSampling);
    if (!BeginPoints())
        return;
    double x0, x1;
    if (!VisibleDisplayRange(x0, x1))
        return;
    // Both ends exactly, and the value of every whole pixel column between them, in
    // ascending x; values that raise or are not finite are left out.
    FSampleX.clear();
    FSampleX.push_back(x0);
    if (x1 > x0) {
        const double p0 = FXAxis->NumberToWorld(x0), p1 = FXAxis->NumberToWorld(x1);
        const long long first = (long long)std::floor(std::min(p0, p1)) + 1;
        const long long last = (long long)std::ceil(std::max(p0, p1)) - 1;
        const bool rising = p1 >= p0;
        for (long long k = 0; k <= last - first; ++k) {
            const long long column = rising ? first + k : last - k;
            const double x = FXAxis->WorldToNumber(float(column));
            if (x > x0 && x < x1)
                FSampleX.push_back(x);
        }
        FSampleX.push_back(x1);
    }
    FSampleY.resize(FSampleX.size());
    GetYs(FSampleX, FSampleY);
    double top, bottom;
    PixelBand(top, bottom);
    const double left = FXAxis->AxLeft() - 10000,
                 right = FXAxis->AxLeft() + FXAxis->AxLength() + 10000;
    FPoints.reserve(FSampleX.size());
    FPointIndex.reserve(FSampleX.size());
    for (std::size_t i = 0; i < FSampleX.size(); ++i) {
        if (!std::isfinite(FSampleY[i]))
            continue;
        const double py = std::clamp(double(FYAxis->NumberToWorld(FSampleY[i])), top, bottom);
        const double px = std::clamp(double(FXAxis->NumberToWorld(FSampleX[i])), left, right);
        FPoints.emplace_back(px, py);
        FPointIndex.push_back(-1);
    }
    FinishPoints();
}

// ---------------------------------------------------------------------------------------------
// Painting and queries

void TVxFunctionSeries::PaintGr(TVxSurface& Gr) {
    if (!Visible() || !FXAxis || !FYAxis || !FHost || !SeriesVisible())
        return;
    if (PointsStale())
        CalculatePoints();
    const size_t n = FPoints.size();
    if (n < 2)
        return;
    const QRectF area = FHost->DrawingArea();
    if (FOwnsPen)
        FPen = FLine->GetPen(area);
    if (FOwnsBrush)
        FBrush = FArea->GetBrush(area);
    // The graph clips series to the data area; ClipYValues keeps the curve from widening
    // the Y axis instead (SampleYExtent).
    // Handlers get the value at the point's pixel column and the curve there.
    auto valueAt = [this](const QPointF& p, double& X, double& Y) {
        X = FXAxis->WorldToNumber(float(p.x()));
        try {
            Y = GetY(X);
        } catch (const std::exception&) {
            Y = NaN;
        }
    };
    if (FArea->Visible()) {
        if (OnGetBrush) {
            TVxBrushEventArgs e;
            e.Brush = FBrush;
            e.Visible = true;
            const double base = AreaBase();
            for (size_t k = 0; k + 1 < n; ++k) {
                e.Index = -1;
                valueAt(FPoints[k], e.X, e.Y);
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
                e.Index = -1;
                valueAt(FPoints[k], e.X, e.Y);
                OnGetPen(this, e);
                if (e.Visible)
                    Gr.DrawLine(e.Pen, FPoints[k], FPoints[k + 1]);
            }
        } else {
            Gr.DrawLines(FPen, FPoints);
        }
    }
}

int TVxFunctionSeries::FindPoint(float X, float Y, float Delta) {
    if (FRecalculatePoints)
        return -1;
    for (const QPointF& p : FPoints)
        if (std::abs(X - p.x()) <= Delta && std::abs(Y - p.y()) <= Delta)
            return 0;
    return -1;
}
