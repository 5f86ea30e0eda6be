#include "TickGeneration.h"

#include "axes/DateTimeScale.h"
#include "axes/EndRounding.h"
#include "axes/NumberLabels.h"
#include "axes/SecondsScale.h"
#include "util/DateTime.h"
#include "util/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// More ticks than this along one axis only come from a degenerate partition; none are
// made then.
constexpr double MaxTicks = 1e5;

void LinearTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
                 const TVxAxisTransform& Transform, TVxTickList& Ticks) {
    const int e = Scale.RangeExponent;
    const double tickPart = Scale.TickPart == 0 ? 1.0 : Scale.TickPart;
    const bool unrounded = EndsUnrounded(Scale, Context);
    const double first = unrounded ? RoundUpToStep(e, tickPart, Scale.Start) : Scale.Start;
    const double last = unrounded ? RoundDownToStep(e, tickPart, Scale.Stop) : Scale.Stop;
    if (!(last >= first))
        return; // no minor step inside the range
    const double count = std::max(1.0, std::nearbyint(ScaleDown(e, last - first) / tickPart + 1));
    if (!std::isfinite(count) || count > MaxTicks)
        return;
    const double step = count > 1 ? (last - first) / (count - 1) : tickPart * PowerOfTen(e);
    const double t = 0.6 * step;
    const auto& settings = Context.FormatSettings();
    double nextMajor = RoundUpToStep(e, Scale.MajorTickPart, Scale.Start);
    double nextLabel = RoundUpToStep(e, Scale.LabelPart, Scale.Start);
    for (int i = 0; i < int(count); ++i) {
        const double v = first + i * step;
        const float pixel = Transform.NumberToWorld(v);
        bool grid = false;
        if (Scale.NumbersVisible && std::fabs(v - nextLabel) < t) {
            Ticks.Labels.push_back({FormatNumberLabel(Scale, v, settings), pixel, v});
            nextLabel = RoundUpToStep(e, Scale.LabelPart, v + t);
            if (Scale.MajorGridMode == TVxMajorGridMode::AtLabel)
                grid = true;
        }
        const bool major = std::fabs(v - nextMajor) < t;
        if (major) {
            if (Scale.MajorGridMode == TVxMajorGridMode::AtMajorTick)
                grid = true;
            nextMajor = RoundUpToStep(e, Scale.MajorTickPart, v + step);
        }
        Ticks.Add(pixel, major, grid);
    }
}

QString LogText(const TVxAxisScale& Scale, double Value, const TVxFormatSettings& Settings) {
    return LogLabelText(Scale, Value, Settings, true);
}

void LogTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
              const TVxAxisTransform& Transform, TVxTickList& Ticks) {
    const double start = Scale.Start;
    const double stop = Scale.Stop;
    if (!(start > 0) || !(stop >= start))
        return;
    const auto& settings = Context.FormatSettings();
    // Values this close above Stop count as Stop: rounding noise of 10^x.
    const double stopLimit = stop * (1 + 1e-9);
    const double first = EndsUnrounded(Scale, Context)
                             ? LogRoundUp(Scale.TickPart, Scale.MajorTickPart, start)
                             : start;
    const double lg = std::log10(first);
    double dec = std::trunc(lg);
    const int labelEvery = std::max(1, int(std::nearbyint(Scale.LabelPart)));
    const bool atMajor = Scale.MajorGridMode == TVxMajorGridMode::AtMajorTick;
    const bool atLabel = Scale.MajorGridMode == TVxMajorGridMode::AtLabel;
    const double decades = std::log10(stop) - lg;
    auto labelText = [&](double Value) { return LogText(Scale, Value, settings); };
    auto decadeLabelled = [&](double Dec) {
        return std::llround(std::fabs(Dec)) % labelEvery == 0;
    };

    if (Scale.MajorTickPart <= 1.001) {
        const double tickPart = std::max(Scale.TickPart, 0.01);
        const double base = tickPart <= 0.1001 ? 0.1 : 0;
        double frac = Scale.MajorTickPart > 1 ? 0 : lg - std::trunc(lg);
        if (std::fabs(frac) < 1e-12)
            frac = 0;
        if (frac != 0) {
            double m = Exp10(frac);
            if (m >= 1)
                m *= 0.1;
            if (lg < 0)
                dec -= 1;
            frac = m - base;
        }
        const double maxCount = std::ceil((decades + 1) * (1 / tickPart + 2)) + 2;
        for (double k = 0; k < std::min(maxCount, MaxTicks); ++k) {
            if (std::fabs(frac) < 1e-9)
                frac = 0;
            const double value = frac > 0 ? Exp10(dec) * (frac + base) * 10 : Exp10(dec);
            if (value > stopLimit)
                break;
            const float pixel = Transform.NumberToWorld(value);
            const bool major = frac == 0;
            bool grid = atMajor && major;
            if (Scale.NumbersVisible) {
                const bool label = (Scale.LabelPart > 0 && Scale.LabelPart <= 1 &&
                                    std::llround(frac * 10 / Scale.LabelPart) % 10 == 0) ||
                                   (frac == 0 && decadeLabelled(dec));
                if (label) {
                    Ticks.Labels.push_back({labelText(value), pixel, value});
                    if (atLabel)
                        grid = true;
                }
            }
            Ticks.Add(pixel, major, grid);
            frac += tickPart;
            if (frac + base >= 0.99) {
                frac = 0;
                dec += 1;
            }
            if (value >= stop)
                break;
        }
        return;
    }

    // Ticks every few decades.
    const int s = std::max(1, int(std::nearbyint(Scale.TickPart)));
    const int majorStep = std::max(1, int(std::nearbyint(Scale.MajorTickPart)));
    int k = 0;
    const double maxCount = std::ceil(decades / s) + 2;
    for (double i = 0; i < std::min(maxCount, MaxTicks); ++i) {
        const double value = Exp10(dec + k);
        if (value > stopLimit)
            break;
        const float pixel = Transform.NumberToWorld(value);
        const bool major = k == 0;
        bool grid = atMajor && major;
        if (Scale.NumbersVisible && k == 0 && decadeLabelled(dec)) {
            Ticks.Labels.push_back({labelText(value), pixel, value});
            if (atLabel)
                grid = true;
        }
        Ticks.Add(pixel, major, grid);
        k += s;
        if (k >= majorStep) {
            k = 0;
            dec += majorStep;
        }
        if (value >= stop)
            break;
    }
}

void RubricTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
                 const TVxAxisTransform& Transform, TVxTickList& Ticks) {
    const double tickPart = Scale.TickPart == 0 ? 1.0 : Scale.TickPart;
    const bool unrounded = EndsUnrounded(Scale, Context);
    const double first = unrounded ? RoundUpToStep(0, tickPart, Scale.Start) : Scale.Start;
    const double last = unrounded ? RoundDownToStep(0, tickPart, Scale.Stop) : Scale.Stop;
    const double count = std::nearbyint((last - first) / tickPart + 1);
    if (!(count > 0) || count > MaxTicks)
        return;
    // A single tick when first and last coincide.
    const double step = count > 1 ? (last - first) / (count - 1) : tickPart;
    const double t = 0.004 * step;
    double nextMajor = RoundUpToStep(0, Scale.MajorTickPart, Scale.Start);
    double nextLabel = RoundUpToStep(0, Scale.LabelPart, Scale.Start);
    double shift = std::nearbyint(Scale.LabelPart /
                                  (Scale.NormalizeConst != 0 ? Scale.NormalizeConst : 1) * 0.5);
    if (Scale.Twisted)
        shift = -shift;
    if (!Scale.Horizontal)
        shift = -shift;
    const qsizetype texts = Context.RubricTexts ? Context.RubricTexts->size() : 0;
    for (int i = 0; i < int(count); ++i) {
        const double v = first + i * step;
        const float pixel = Transform.NumberToWorld(v);
        const bool major = std::fabs(v - nextMajor) < t;
        if (major) {
            if (Scale.NumbersVisible && std::fabs(v - nextLabel) < t) {
                const long long k = std::llround(v);
                if (v < Scale.Stop && k >= 0 && k < texts)
                    Ticks.Labels.push_back(
                        {Context.RubricTexts->at(qsizetype(k)), float(pixel + shift), v});
                nextLabel = RoundUpToStep(0, Scale.LabelPart, v + step);
            }
            nextMajor = RoundUpToStep(0, Scale.MajorTickPart, v + step);
        }
        Ticks.Add(pixel, major, major);
    }
}

} // namespace

TVxAxisTransform PrepareTransform(TVxAxisScale& Scale) {
    if (!(Scale.AxLength > 0))
        Scale.AxLength = 100;
    const double length = Scale.AxLength;
    if (Scale.HasLogScaling) {
        if (Scale.Start > 0 && Scale.Stop > 0) {
            Scale.LogStart = std::log10(Scale.Start);
            Scale.LogStop = std::log10(Scale.Stop);
        }
        Scale.NormalizeConst = (Scale.LogStop - Scale.LogStart) / length;
    } else if (Scale.Scaling == TVxAxisScaling::DateTime) {
        Scale.NormalizeConst = DateTimeDifference(Scale.Stop, Scale.Start) / length;
    } else {
        Scale.NormalizeConst = (Scale.Stop - Scale.Start) / length;
    }
    if (!std::isfinite(Scale.NormalizeConst))
        Scale.NormalizeConst = 0;
    return TVxAxisTransform(Scale);
}

void CalculateTicks(TVxAxisScale& Scale, const TVxScaleContext& Context, TVxTickList& Ticks) {
    Ticks.Clear();
    const TVxAxisTransform transform = PrepareTransform(Scale);
    if (!Scale.HasLogScaling && !Scale.AutoTickParts)
        Scale.RangeExponent = DecimalExponent(Scale.Stop - Scale.Start);
    if (!(Scale.Start < Scale.Stop) || !std::isfinite(Scale.Start) || !std::isfinite(Scale.Stop))
        return;
    if (Scale.HasLogScaling) {
        LogTicks(Scale, Context, transform, Ticks);
        return;
    }
    switch (Scale.Scaling) {
    case TVxAxisScaling::Seconds:
        SecondsTicks(Scale, Context, transform, EndsUnrounded(Scale, Context), Ticks);
        break;
    case TVxAxisScaling::DateTime:
        DateTimeTicks(Scale, Context, transform, Ticks);
        break;
    case TVxAxisScaling::Rubrics:
        RubricTicks(Scale, Context, transform, Ticks);
        break;
    default:
        LinearTicks(Scale, Context, transform, Ticks);
        break;
    }
}

double MajorIncrement(const TVxAxisScale& Scale) {
    if (Scale.HasLogScaling)
        return Scale.MajorTickPart;
    switch (Scale.Scaling) {
    case TVxAxisScaling::Seconds:
        return Scale.MajorTickPart * PowerOfTen(Scale.SecParameters.Exponent) *
               SecondsPerRegion(Scale.SecParameters.Rgn);
    case TVxAxisScaling::DateTime:
        return DateTimeMajorIncrement(Scale.DtParameters);
    default:
        return Scale.MajorTickPart * PowerOfTen(Scale.RangeExponent);
    }
}

double MinorIncrement(const TVxAxisScale& Scale) {
    if (Scale.HasLogScaling)
        return 0.04;
    switch (Scale.Scaling) {
    case TVxAxisScaling::Seconds:
        return Scale.TickPart * PowerOfTen(Scale.SecParameters.Exponent) *
               SecondsPerRegion(Scale.SecParameters.Rgn);
    case TVxAxisScaling::DateTime:
        return DateTimeMinorIncrement(Scale.DtParameters);
    default:
        return Scale.TickPart * PowerOfTen(Scale.RangeExponent);
    }
}
