#include "Axis.h"

#include "axes/DateTimeScale.h"
#include "axes/EndRounding.h"
#include "axes/TickGeneration.h"
#include "util/FormatSettings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>

namespace {

bool Differs(double a, double b) {
    return a < b || a > b;
}

bool IsLog(TVxAxisScaling Scaling) {
    return Scaling == TVxAxisScaling::Log || Scaling == TVxAxisScaling::LogEE;
}

// Counts, pixels and positions converted from doubles stay inside int.
int ClampToInt(double v) {
    if (std::isnan(v))
        return 0;
    return int(std::nearbyint(std::clamp(v, -2.0e9, 2.0e9)));
}

} // namespace

TVxAxis::TVxAxis(QObject* AOwner) : TVxComponent(AOwner) {
    FScale.Formats = DefaultDateTimeFormats(TVxFormatSettings::Current());
}

TVxAxis::~TVxAxis() {
    BeginDestruction();
}

// --- recording -------------------------------------------------------------------------

bool TVxAxis::Recording() const {
    return FUndoStack && !FUndoStack->Restoring();
}

void TVxAxis::Record(const char* Comment, std::initializer_list<const char*> Names) {
    if (!Recording())
        return;
    const QString comment = QString::fromUtf8(Comment);
    if (Names.size() == 1) {
        FUndoStack->PushProperty(this, comment, *Names.begin());
        return;
    }
    FUndoStack->StartGroup(comment);
    try {
        for (const char* name : Names)
            FUndoStack->PushProperty(this, comment, name);
    } catch (...) {
        FUndoStack->StopGroup();
        throw;
    }
    FUndoStack->StopGroup();
}

// --- published properties --------------------------------------------------------------

void TVxAxis::SetScaling(TVxAxisScaling Value) {
    if (Value == FScale.Scaling)
        return;
    Record("Axis scaling", {"Scaling"});
    FScale.Scaling = Value;
    if (Value == TVxAxisScaling::Seconds || Value == TVxAxisScaling::DateTime ||
        Value == TVxAxisScaling::Rubrics)
        FScale.AutoTickParts = true;
    FScale.HasLogScaling = IsLog(Value);
    if (FHost && FHost->IsGraph())
        FHost->AxisScalingChanged(*this);
    Modified();
}

void TVxAxis::SetPosition(TVxAxisPosition Value) {
    if (Value == FPosition)
        return;
    Record("Axis position in graph", {"Position"});
    FPosition = Value;
    FScale.Horizontal = Value == TVxAxisPosition::Bottom || Value == TVxAxisPosition::Top;
    Modified();
}

void TVxAxis::SetTwisted(bool Value) {
    if (Value == FScale.Twisted)
        return;
    Record("Axis twist order of numbers", {"Twisted"});
    FScale.Twisted = Value;
    Modified();
}

void TVxAxis::SetStart(double Value) {
    if (!std::isfinite(Value))
        return;
    if (FScale.Scaling == TVxAxisScaling::DateTime)
        Value = std::clamp(Value, MinDateTimeAxis, MaxDateTimeAxis);
    if (!Differs(Value, FScale.Start))
        return;
    Record("Axis range start", {"Start"});
    FScale.Start = FInitialStart = FLastStart = Value;
    Modified();
}

void TVxAxis::SetStop(double Value) {
    if (!std::isfinite(Value))
        return;
    if (FScale.Scaling == TVxAxisScaling::DateTime)
        Value = std::clamp(Value, MinDateTimeAxis, MaxDateTimeAxis);
    if (!Differs(Value, FScale.Stop))
        return;
    Record("Axis range stop", {"Stop"});
    FScale.Stop = FInitialStop = FLastStop = Value;
    Modified();
}

void TVxAxis::SetStartEnd(TVxAxisEnd Value) {
    if (Value == TVxAxisEnd::MovingSlit)
        Value = TVxAxisEnd::Fixed;
    if (Value == FScale.StartEnd)
        return;
    Record("Auto ranging mode of axis start", {"Start", "Stop", "StartEnd"});
    FScale.StartEnd = Value;
    if (Value == TVxAxisEnd::AutoRange)
        RangeModified();
    else
        Modified();
}

void TVxAxis::SetStopEnd(TVxAxisEnd Value) {
    if (Value == FScale.StopEnd)
        return;
    const bool onGraph = FHost && FHost->IsGraph();
    if (Recording()) {
        const QString comment = QStringLiteral("Auto ranging mode of axis stop");
        FUndoStack->StartGroup(comment);
        try {
            if (onGraph)
                FHost->RecordZoomState(*this, *FUndoStack, comment);
            for (const char* name : {"Start", "Stop", "StartEnd", "StopEnd"})
                FUndoStack->PushProperty(this, comment, name);
        } catch (...) {
            FUndoStack->StopGroup();
            throw;
        }
        FUndoStack->StopGroup();
    }
    FScale.StopEnd = Value;
    if (Value == TVxAxisEnd::MovingSlit) {
        FScale.StartEnd = TVxAxisEnd::Fixed;
        if (onGraph)
            FHost->AxisMovingSlitStarted(*this);
    }
    if (Value == TVxAxisEnd::AutoRange || Value == TVxAxisEnd::MovingSlit)
        RangeModified();
    else
        Modified();
}

void TVxAxis::SetEndRounding(TVxAxisEndRounding Value) {
    if (Value == FScale.EndRounding)
        return;
    Record("Axis ends rounding mode", {"Start", "Stop", "EndRounding"});
    FScale.EndRounding = Value;
    Modified();
}

void TVxAxis::SetMovingSlitWidth(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FMovingSlitWidth))
        return;
    Record("Width of moving range scaling", {"Start", "Stop", "MovingSlitWidth"});
    FMovingSlitWidth = Value;
    RangeModified();
}

void TVxAxis::SetMovingSlitIncrement(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FMovingSlitIncrement))
        return;
    Record("Incement to move axis range", {"Start", "Stop", "MovingSlitIncrement"});
    FMovingSlitIncrement = Value;
    RangeModified();
}

void TVxAxis::SetAutoTickParts(bool Value) {
    if (Value == FScale.AutoTickParts)
        return;
    const TVxAxisScaling s = FScale.Scaling;
    if (s != TVxAxisScaling::Normal && !IsLog(s))
        return;
    if (Value)
        Record("Automatic tick partitions",
               {"LabelPart", "MajorTickPart", "TickPart", "AutoTickParts"});
    else
        Record("Automatic tick partitions", {"AutoTickParts"});
    FScale.AutoTickParts = Value;
    Modified();
}

bool TVxAxis::SetPart(double& Field, double Value, const char* Comment, const char* Name) {
    if (FScale.AutoTickParts || !std::isfinite(Value))
        return false;
    Value = Value == 0 ? 0.001 : std::fabs(Value);
    if (!Differs(Value, Field))
        return false;
    Record(Comment, {Name});
    Field = Value;
    Modified();
    return true;
}

void TVxAxis::SetLabelPart(double Value) {
    SetPart(FScale.LabelPart, Value, "Axis partitions for labels", "LabelPart");
}

void TVxAxis::SetMajorTickPart(double Value) {
    SetPart(FScale.MajorTickPart, Value, "Axis partitions for major ticks", "MajorTickPart");
}

void TVxAxis::SetTickPart(double Value) {
    SetPart(FScale.TickPart, Value, "Axis partitions for minor ticks", "TickPart");
}

void TVxAxis::SetMajorGridMode(TVxMajorGridMode Value) {
    if (Value == FScale.MajorGridMode)
        return;
    Record("Axis major grid mode", {"MajorGridMode"});
    FScale.MajorGridMode = Value;
    Modified();
}

void TVxAxis::SetLogToNormalScalingLevel(double Value) {
    if (!std::isfinite(Value))
        return;
    Value = std::max(0.0, Value);
    if (!Differs(Value, FScale.LogToNormalScalingLevel))
        return;
    Record("Log to normal scaling switching range", {"LogToNormalScalingLevel"});
    FScale.LogToNormalScalingLevel = Value;
    if (IsLog(FScale.Scaling))
        Modified();
}

void TVxAxis::SetLabelDistanceFactor(float Value) {
    if (std::isnan(Value))
        return;
    const double v = std::clamp(double(Value), 0.1, 10.0);
    if (!Differs(v, FScale.LabelDistanceFactor))
        return;
    Record("Factor for distance of axis labels", {"LabelDistanceFactor"});
    FScale.LabelDistanceFactor = v;
    Modified();
}

void TVxAxis::SetMaxForExtraExponent(double Value) {
    Value = std::fabs(Value);
    if (!std::isfinite(Value) || !Differs(Value, FScale.MaxForExtraExponent))
        return;
    Record("Maximum to show exta exponent at axis", {"MaxForExtraExponent"});
    FScale.MaxForExtraExponent = Value;
    Modified();
}

void TVxAxis::SetMinForExtraExponent(double Value) {
    Value = std::fabs(Value);
    if (!std::isfinite(Value) || !Differs(Value, FScale.MinForExtraExponent))
        return;
    Record("Minimum to show exta exponent at axis", {"MinForExtraExponent"});
    FScale.MinForExtraExponent = Value;
    Modified();
}

void TVxAxis::SetExtraDigits(int Value) {
    if (Value == FScale.ExtraDigits)
        return;
    Record("Axis numbers extra decimal spaces", {"ExtraDigits"});
    FScale.ExtraDigits = Value;
    Modified();
}

void TVxAxis::SetFormat(QString TVxDateTimeFormats::*Field, const QString& Value) {
    QString& field = FScale.Formats.*Field;
    if (field == Value)
        return;
    field = Value;
    Modified();
}

void TVxAxis::SetShortMonthFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::ShortMonthFormat, Value);
}
void TVxAxis::SetLongMonthFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::LongMonthFormat, Value);
}
void TVxAxis::SetDayFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::DayFormat, Value);
}
void TVxAxis::SetMinuteFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::MinuteFormat, Value);
}
void TVxAxis::SetDayAndHourFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::DayAndHourFormat, Value);
}
void TVxAxis::SetSecondFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::SecondFormat, Value);
}
void TVxAxis::SetMilliSecondFormat(const QString& Value) {
    SetFormat(&TVxDateTimeFormats::MilliSecondFormat, Value);
}

bool TVxAxis::IsClipped() const {
    if (!FHost || !FHost->IsGraph() || FHost->SeriesCount() == 0 || FRedoRange)
        return false;
    if (!(FValuesStart <= FValuesStop))
        return false;
    // Relative to the span: |Stop| * 1e-8 would be about 39 s on a date-time axis.
    const double tolerance = 1e-8 * (FScale.Stop - FScale.Start);
    return FValuesStart < FScale.Start - tolerance || FValuesStop > FScale.Stop + tolerance;
}

// --- host, series, geometry -------------------------------------------------------------

void TVxAxis::SetHost(TVxAxisHost* AHost) {
    FHost = AHost;
    Modified();
}

void TVxAxis::AddRelatedSeries(TVxAxisRangeSource* Series) {
    if (Series &&
        std::find(FRelatedSeries.begin(), FRelatedSeries.end(), Series) == FRelatedSeries.end())
        FRelatedSeries.push_back(Series);
}

void TVxAxis::RemoveRelatedSeries(TVxAxisRangeSource* Series) {
    std::erase(FRelatedSeries, Series);
}

void TVxAxis::SetRubricTexts(const QStringList& Texts) {
    if (Texts == FRubrics)
        return;
    FRubrics = Texts;
    Modified();
}

void TVxAxis::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    CheckResize();
}

void TVxAxis::SetAxisGeometry(float AxLeft, float AxTop, float AxLength) {
    if (!std::isfinite(AxLeft) || !std::isfinite(AxTop) || !std::isfinite(AxLength))
        return;
    FScale.AxLeft = AxLeft;
    FScale.AxTop = AxTop;
    FScale.AxLength = AxLength;
    FTransformDirty = true;
}

void TVxAxis::SetLabelAngle(double Degrees) {
    if (!std::isfinite(Degrees))
        return;
    const double r = Degrees * std::numbers::pi / 180;
    FAngleSin = std::fabs(std::sin(r));
    FAngleCos = std::fabs(std::cos(r));
    Modified();
}

// --- transforms ------------------------------------------------------------------------

void TVxAxis::RebuildTransform() const {
    TVxAxisScale scale = FScale;
    FTransform = PrepareTransform(scale);
    FTransformDirty = false;
}

// --- ranges and calculation -------------------------------------------------------------

void TVxAxis::Modified() {
    FRecalculate = true;
    FValuesRounded = false;
    FTransformDirty = true;
    if (FHost && !IsDestroying())
        FHost->AxisModified(*this);
}

void TVxAxis::RangeModified() {
    if (IsDestroying() || (FHost && FHost->Loading()))
        return;
    if (FRelatedSeries.empty()) {
        Modified();
        return;
    }
    FValuesStart = MaxDouble;
    FValuesStop = -MaxDouble;
    ZoomClearBuffer();
    FRedoRange = true;
    if (FRelatedSeries.size() == 1 && FRelatedSeries.front()->SeriesVisible())
        FRelatedSeries.front()->AxisRangeModifiedAlone(*this);
    if (FHost)
        FHost->AxisModified(*this);
}

void TVxAxis::SetRange(double AStart, double AStop) {
    FScale.Start = AStart;
    FScale.Stop = AStop;
    FTransformDirty = true;
}

void TVxAxis::GetNewRanges() {
    if (!FRedoRange)
        return;
    FRedoRange = false;
    double lo = MaxDouble;
    double hi = -MaxDouble;
    for (const TVxAxisRangeSource* series : FRelatedSeries) {
        if (!series->SeriesVisible())
            continue;
        const TVxValueRange r = series->AxisValueRange(Horizontal());
        // Reversed (empty) and non-finite extents add nothing.
        if (!(r.Start <= r.Stop) || !std::isfinite(r.Start) || !std::isfinite(r.Stop))
            continue;
        lo = std::min(lo, r.Start);
        hi = std::max(hi, r.Stop);
    }
    if (!(hi < lo) && lo == FValuesStart && hi == FValuesStop)
        return;
    if (hi < lo) {
        lo = FInitialStart;
        hi = FInitialStop;
    }
    SetRangeFromValues(lo, hi);
}

void TVxAxis::SetRangeFromValues(double Lo, double Hi) {
    FValuesStart = Lo;
    FValuesStop = Hi;
    double start;
    double stop;
    RangeOfValues(start, stop);
    FRoundedFrom = {start, stop};
    RoundEnds(start, stop);
    FRoundedTo = {start, stop};
    FLastStart = start;
    FLastStop = stop;
    SetRange(start, stop);
    Modified();
    // Rounded once for this change of range: rounding the rounded ends again could choose
    // another partition (CalculateScale rounds from FRoundedFrom while the ends are unchanged).
    FValuesRounded = true;
}

void TVxAxis::RangeOfValues(double& start, double& stop) {
    if (FScale.StopEnd != TVxAxisEnd::MovingSlit) {
        switch (FScale.StartEnd) {
        case TVxAxisEnd::Fixed:
            start = FScale.Start;
            break;
        case TVxAxisEnd::FirstSet:
            start = FValuesStart >= FScale.Start ? FScale.Start : FValuesStart;
            break;
        default:
            start = FValuesStart;
            break;
        }
        switch (FScale.StopEnd) {
        case TVxAxisEnd::Fixed:
            stop = FScale.Stop;
            break;
        case TVxAxisEnd::FirstSet:
            stop = FValuesStop > FScale.Stop ? FValuesStop : FScale.Stop;
            break;
        default:
            stop = FValuesStop;
            break;
        }
    } else {
        // The window is stored back into the fields: this runs while painting, where no
        // undo step may be recorded.
        double width = FMovingSlitWidth;
        if (!(width > 0))
            width = FInitialStop - FInitialStart;
        if (!(width > 0) || !std::isfinite(width))
            width = 1;
        double increment = FMovingSlitIncrement;
        if (!(increment > 0) || increment > width)
            increment = width / 3;
        FMovingSlitWidth = width;
        FMovingSlitIncrement = increment;
        // The first e = FInitialStart + width + k * increment that reaches the data's stop.
        const double e0 = FInitialStart + width;
        double k = FValuesStop > e0 ? std::ceil((FValuesStop - e0) / increment) : 0;
        if (k > 0 && e0 + (k - 1) * increment >= FValuesStop)
            k -= 1;
        if (e0 + k * increment < FValuesStop)
            k += 1;
        stop = e0 + k * increment;
        start = stop - width > FValuesStart ? stop - width : FInitialStart;
    }
}

TVxScaleContext TVxAxis::ScaleContext() const {
    TVxScaleContext c;
    c.ControlLength = Horizontal() ? FWidth : FHeight;
    c.FontSize = FHost ? FHost->LabelFontSize(*this) : 12.0;
    c.AngleSin = FAngleSin;
    c.AngleCos = FAngleCos;
    c.Panning = FHost && FHost->Panning();
    c.Zoomed = CanZoomBack();
    c.ValuesStart = FValuesStart;
    if (!FRelatedSeries.empty()) {
        c.SmallestPositive = [this] {
            double smallest = MaxDouble;
            for (const TVxAxisRangeSource* series : FRelatedSeries) {
                const double v = series->SmallestPositiveValue(Horizontal());
                if (v > 0 && v < smallest)
                    smallest = v;
            }
            return smallest < MaxDouble ? smallest : 0.0;
        };
    }
    if (OnGetScaleLabel) {
        c.GetScaleLabel = [this](double Value, QString& Caption) {
            TVxScaleLabelEventArgs args{Value, Caption};
            OnGetScaleLabel(const_cast<TVxAxis*>(this), args);
            Caption = args.Caption;
        };
    }
    c.RubricTexts = &FRubrics;
    return c;
}

void TVxAxis::RoundEnds(double& AStart, double& AStop) {
    ::RoundEnds(FScale, ScaleContext(), AStart, AStop);
    FTransformDirty = true;
}

double TVxAxis::RoundEnd(bool Up, bool Major, double Value) const {
    return ::RoundEnd(FScale, Up, Major, Value);
}

void TVxAxis::CalculateScale() {
    const bool panning = FHost && FHost->Panning();
    if (!FValuesRounded && !panning) {
        double start = FScale.Start;
        double stop = FScale.Stop;
        // Ends that are still the rounded data range are rounded again from that range, so
        // that a change of look does not change the steps.
        const bool fromData = start == FRoundedTo.first && stop == FRoundedTo.second;
        if (fromData)
            std::tie(start, stop) = FRoundedFrom;
        RoundEnds(start, stop);
        if (fromData)
            FRoundedTo = {start, stop};
        SetRange(start, stop);
        FValuesRounded = true;
    }
    CalculateTicks();
    FRecalculate = false;
}

void TVxAxis::CalculateTicks() {
    if (OnGetTicks)
        OnGetTicks(this);
    const TVxScaleContext context = ScaleContext();
    ::CalculateTicks(FScale, context, FTickList);
    FTransform = TVxAxisTransform(FScale);
    FTransformDirty = false;

    // Each label is measured once here; layout and painting reuse the sizes.
    FLabels.clear();
    FLabels.reserve(FTickList.Labels.size());
    FMaxNumberLabelWidth = 0;
    FMaxNumberLabelHeight = 0;
    for (const TVxTickLabel& tick : FTickList.Labels) {
        TVxAxisLabel label{tick.Text, tick.Pixel, tick.Value, 0, 0};
        if (context.GetScaleLabel)
            context.GetScaleLabel(label.Value, label.Caption);
        if (FHost) {
            const QSizeF size = FHost->MeasureLabel(*this, label.Caption);
            label.Width = size.width();
            label.Height = size.height();
        }
        FMaxNumberLabelHeight =
            std::max(FMaxNumberLabelHeight, label.Width * FAngleSin + label.Height * FAngleCos);
        FMaxNumberLabelWidth =
            std::max(FMaxNumberLabelWidth, label.Width * FAngleCos + label.Height * FAngleSin);
        FLabels.push_back(std::move(label));
    }
}

double TVxAxis::MajorIncrement() const {
    return ::MajorIncrement(FScale);
}

double TVxAxis::MinorIncrement() const {
    return ::MinorIncrement(FScale);
}

void TVxAxis::SetStartStop(double AStart, double AStop) {
    if (!std::isfinite(AStart) || !std::isfinite(AStop))
        return;
    SetRange(AStart, AStop);
    FLastStart = AStart;
    FLastStop = AStop;
    Modified();
}

void TVxAxis::CheckResize() {
    if (FHost && FHost->AxesCalculating())
        return;
    if (FScale.StartEnd == TVxAxisEnd::AutoRange)
        FScale.Start = FLastStart;
    if (FScale.StopEnd == TVxAxisEnd::AutoRange)
        FScale.Stop = FLastStop;
    Modified();
}

// --- zoom history ----------------------------------------------------------------------

void TVxAxis::ZoomIn(double NewStart, double NewStop) {
    if (!std::isfinite(NewStart) || !std::isfinite(NewStop))
        return;
    FZoom.ZoomIn(FScale.Start, FScale.Stop, NewStart, NewStop);
    SetStartStop(NewStart, NewStop);
}

void TVxAxis::ZoomBack() {
    double start;
    double stop;
    if (FZoom.ZoomBack(start, stop))
        SetStartStop(start, stop);
}

void TVxAxis::RedoZoom() {
    double start;
    double stop;
    if (FZoom.RedoZoom(start, stop))
        SetStartStop(start, stop);
}

void TVxAxis::ZoomToStage(int Stage) {
    double start;
    double stop;
    if (FZoom.ZoomToStage(Stage, start, stop))
        SetStartStop(start, stop);
}

void TVxAxis::ZoomClearBuffer() {
    FZoom.Clear();
}

double TVxAxis::ScrollStart() const {
    return FZoom.CanZoomBack() ? FZoom.StartAt(0) : FScale.Start;
}

double TVxAxis::ScrollStop() const {
    return FZoom.CanZoomBack() ? FZoom.StopAt(0) : FScale.Stop;
}

namespace {

// a measured in decades on logarithmic axes; NaN for a non-positive value there.
double AlongAxis(bool Log, double a) {
    return Log ? (a > 0 ? std::log10(a) : std::numeric_limits<double>::quiet_NaN()) : a;
}

} // namespace

int TVxAxis::ScrollPageSize() const {
    const bool log = FScale.HasLogScaling;
    const double visible = AlongAxis(log, FScale.Stop) - AlongAxis(log, FScale.Start);
    double full = AlongAxis(log, ScrollStop()) - AlongAxis(log, ScrollStart());
    if (!(full > 0))
        full = visible;
    if (!(full > 0) || !std::isfinite(full))
        return 10000;
    return std::clamp(ClampToInt(visible * 10000 / full), 0, 10000);
}

int TVxAxis::ScrollPosition(double v) const {
    const bool log = FScale.HasLogScaling;
    double full = AlongAxis(log, ScrollStop()) - AlongAxis(log, ScrollStart());
    if (!(full > 0))
        full = AlongAxis(log, FScale.Stop) - AlongAxis(log, FScale.Start);
    if (!(full > 0) || !std::isfinite(full))
        return 0;
    return ClampToInt((AlongAxis(log, v) - AlongAxis(log, ScrollStart())) * 10000 / full);
}
