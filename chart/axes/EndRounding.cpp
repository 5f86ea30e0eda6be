#include "EndRounding.h"

#include "axes/DateTimeScale.h"
#include "axes/NumberLabels.h"
#include "axes/SecondsScale.h"
#include "axes/TickPartition.h"
#include "util/DateTime.h"
#include "util/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Rounding { None, Minor, Major };

Rounding RoundingFor(TVxAxisEndRounding Mode, bool Zoomed) {
    switch (Mode) {
    case TVxAxisEndRounding::RndToMajorZoomToMinor:
        return Zoomed ? Rounding::Minor : Rounding::Major;
    case TVxAxisEndRounding::RndToMajorZoomToNothing:
        return Zoomed ? Rounding::None : Rounding::Major;
    case TVxAxisEndRounding::RndToMajor:
        return Rounding::Major;
    case TVxAxisEndRounding::RndToMinorZoomToNothing:
        return Zoomed ? Rounding::None : Rounding::Minor;
    case TVxAxisEndRounding::RndToMinor:
        return Rounding::Minor;
    case TVxAxisEndRounding::RndNothing:
        return Rounding::None;
    }
    return Rounding::None;
}

void ClampDateTime(double& Start, double& Stop) {
    Start = std::clamp(Start, MinDateTimeAxis, MaxDateTimeAxis);
    Stop = std::clamp(Stop, MinDateTimeAxis, MaxDateTimeAxis);
}

// Makes Start < Stop, both finite: reversed ranges take the default range, empty ones are
// widened by a power of ten of their value (by one minute on DateTime axes).
void Guard(const TVxAxisScale& Scale, double& Start, double& Stop) {
    const bool dateTime = Scale.Scaling == TVxAxisScaling::DateTime;
    if (!std::isfinite(Start) && !std::isfinite(Stop)) {
        Start = Stop = 0;
    } else if (!std::isfinite(Start)) {
        Start = Stop;
    } else if (!std::isfinite(Stop)) {
        Stop = Start;
    }
    Start = std::clamp(Start, -MaxAxisValue, MaxAxisValue);
    Stop = std::clamp(Stop, -MaxAxisValue, MaxAxisValue);
    if (dateTime) {
        ClampDateTime(Start, Stop);
        // A reversed date range would make every tick loop run backwards.
        if (Start > Stop)
            std::swap(Start, Stop);
    }
    if (!dateTime && Start > Stop) {
        if (Scale.IsLogKind()) {
            Start = 1;
            Stop = 10;
        } else {
            Start = 0;
            Stop = 100;
        }
    }
    if (Start < Stop)
        return;
    if (dateTime) {
        Stop = IncDateMinutes(1, Start);
        if (!(Start < Stop)) // at the upper limit
            Start = IncDateMinutes(-1, Stop);
        return;
    }
    const double p = Start != 0 ? PowerOfTen(DecimalExponent(Start)) : 1.0;
    const bool autoStart = Scale.StartEnd == TVxAxisEnd::AutoRange;
    if (autoStart)
        Start -= p;
    if (!(autoStart && Scale.StopEnd != TVxAxisEnd::AutoRange))
        Stop += p;
}

} // namespace

double RoundEnd(const TVxAxisScale& Scale, bool Up, bool Major, double v) {
    const double part = Major ? Scale.MajorTickPart : Scale.TickPart;
    if (Scale.HasLogScaling)
        return Up ? LogRoundUp(part, Scale.MajorTickPart, v)
                  : LogRoundDown(part, Scale.MajorTickPart, v);
    switch (Scale.Scaling) {
    case TVxAxisScaling::Seconds:
        return RoundSeconds(Scale, Scale.SecParameters.Exponent, Up, part, v);
    case TVxAxisScaling::DateTime:
        return RoundDateTime(Scale, Up, Major, v);
    default:
        return Up ? RoundUpToStep(Scale.RangeExponent, part, v)
                  : RoundDownToStep(Scale.RangeExponent, part, v);
    }
}

bool EndsUnrounded(const TVxAxisScale& Scale, const TVxScaleContext& Context) {
    return Context.Panning || RoundingFor(Scale.EndRounding, Context.Zoomed) == Rounding::None;
}

void RoundEnds(TVxAxisScale& Scale, const TVxScaleContext& Context, double& Start, double& Stop) {
    const TVxAxisScaling scaling = Scale.Scaling;
    Scale.AdditionalExponent = false;
    if (scaling == TVxAxisScaling::Seconds || scaling == TVxAxisScaling::Rubrics) {
        if (Start < 0)
            Start = 0;
        if (Stop < 0)
            Stop = 1;
    }
    Guard(Scale, Start, Stop);

    Scale.HasLogScaling = false;
    if (Scale.IsLogKind()) {
        if (!(Start > 0)) {
            if (Context.ValuesStart > 0 && Context.ValuesStart < MaxAxisValue)
                Start = Context.ValuesStart;
            else if (Context.SmallestPositive) {
                const double smallest = Context.SmallestPositive();
                Start = smallest > 0 && smallest < Stop ? smallest : Stop;
            }
            if (!(Start > 0))
                Start = 0.01;
        }
        if (!(Stop > 0))
            Stop = 1;
        // The data may leave no positive span: one decade above the start then.
        if (!(Start < Stop))
            Stop = Start * 10;
        Scale.LogStart = std::log10(Start);
        Scale.LogStop = std::log10(Stop);
        Scale.HasLogScaling = Scale.LogToNormalScalingLevel == 0 ||
                              Scale.LogStop - Scale.LogStart > Scale.LogToNormalScalingLevel;
    }

    const bool panning = Context.Panning;
    if (!Scale.AutoTickParts || panning) {
        if (scaling == TVxAxisScaling::Normal)
            Scale.RangeExponent = DecimalExponent(Stop - Start);
        if (Scale.HasLogScaling)
            Scale.RangeExponent = int(std::nearbyint(std::log10(Stop) - std::log10(Start)));
    } else if (Scale.HasLogScaling) {
        ChooseLogTickParts(Scale, Context, Start, Stop);
    } else {
        switch (scaling) {
        case TVxAxisScaling::Seconds:
            ChooseSecondsParts(Scale, Context, Start, Stop);
            break;
        case TVxAxisScaling::DateTime:
            ChooseDateTimeParts(Scale, Context, Start, Stop);
            break;
        case TVxAxisScaling::Rubrics:
            Scale.LabelPart = Scale.MajorTickPart = Scale.TickPart = 1;
            Scale.RangeExponent = 0;
            break;
        default:
            ChooseLinearTickParts(Scale, Context, Start, Stop);
            break;
        }
    }

    if (!panning) {
        const Rounding rounding = RoundingFor(Scale.EndRounding, Context.Zoomed);
        if (rounding != Rounding::None) {
            const bool major = rounding == Rounding::Major;
            const double start = RoundEnd(Scale, false, major, Start);
            const double stop = RoundEnd(Scale, true, major, Stop);
            // Rounding that empties, reverses or overflows the range is not applied.
            if (std::isfinite(start) && std::isfinite(stop) && start < stop &&
                (!Scale.HasLogScaling || start > 0)) {
                Start = start;
                Stop = stop;
            }
        }
    }
    if (scaling == TVxAxisScaling::DateTime) {
        ClampDateTime(Start, Stop);
        Guard(Scale, Start, Stop);
    }

    if (Scale.HasLogScaling) {
        Scale.RangeExponent = int(std::nearbyint(std::log10(Stop) - std::log10(Start)));
        Scale.LabelPart = std::max(Scale.LabelPart, Scale.TickPart);
        Scale.LogStart = std::log10(Start);
        Scale.LogStop = std::log10(Stop);
        Scale.TickPart = std::max(Scale.TickPart, 0.1);
        Scale.MajorTickPart = std::max(Scale.MajorTickPart, 1.0);
        Scale.LabelPart = std::max(Scale.LabelPart, Scale.TickPart);
    } else {
        PrepareNumberFormat(Scale, Start, Stop);
    }
}
