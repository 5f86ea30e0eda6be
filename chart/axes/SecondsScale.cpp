#include "SecondsScale.h"

#include "axes/NumberLabels.h"
#include "util/Rounding.h"
#include "util/TimeSpan.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Family { Decimal, Week, Day, Hour, MinuteOfSeconds, HourOfMinutes, HalfDay };

constexpr int MaxCandidates = 80;
constexpr double MaxTicks = 1e6;

bool Near(double a, double b) {
    return std::fabs(a - b) < 0.01;
}

// The next finer candidate of a family: s, and whether scale is divided by 10.
double Finer(Family f, double s, bool& NextDecade) {
    NextDecade = false;
    switch (f) {
    case Family::MinuteOfSeconds:
        if (Near(s, 0.6))
            return 0.3;
        if (Near(s, 0.3))
            return 0.15;
        NextDecade = true;
        return 0.6;
    case Family::HourOfMinutes:
        if (Near(s, 0.6))
            return 0.3;
        if (Near(s, 1))
            return 0.5;
        if (Near(s, 0.5))
            return 0.3;
        if (Near(s, 0.3))
            return 0.15;
        NextDecade = true;
        return 1;
    case Family::HalfDay:
        if (Near(s, 2.4))
            return 1.2;
        if (Near(s, 1.2))
            return 0.6;
        if (Near(s, 0.6))
            return 0.3;
        NextDecade = true;
        return 2.4;
    case Family::Week:
        if (Near(s, 1))
            return 0.4;
        if (Near(s, 0.4))
            return 0.2;
        NextDecade = true;
        return 1;
    default:
        if (Near(s, 1))
            return 0.5;
        if (Near(s, 0.5))
            return 0.2;
        NextDecade = true;
        return 1;
    }
}

double FirstCandidate(Family f) {
    switch (f) {
    case Family::MinuteOfSeconds:
    case Family::HourOfMinutes:
        return 0.6;
    case Family::HalfDay:
        return 2.4;
    default:
        return 1;
    }
}

// Minor divisor t and major divisor l of the final candidate s.
void Divisors(Family f, double s, double& t, double& l) {
    switch (f) {
    case Family::Decimal:
        if (Near(s, 0.5)) {
            t = 5;
            l = 1;
        } else {
            t = 10;
            l = 2;
        }
        return;
    case Family::MinuteOfSeconds:
        t = Near(s, 0.6) ? 12 : Near(s, 0.3) ? 6 : 15;
        l = Near(s, 0.15) ? 3 : 2;
        return;
    case Family::HourOfMinutes:
        t = Near(s, 0.6) ? 12 : (Near(s, 0.5) || Near(s, 1)) ? 10 : Near(s, 0.3) ? 6 : 15;
        l = Near(s, 0.15) ? 3 : 2;
        return;
    case Family::HalfDay:
        t = Near(s, 2.4) ? 24 : Near(s, 0.3) ? 18 : 12;
        l = Near(s, 0.3) ? 3 : 2;
        return;
    case Family::Hour:
        t = Near(s, 1) ? 10 : Near(s, 0.5) ? 5 : 8;
        l = Near(s, 0.5) ? 1 : 2;
        return;
    case Family::Day:
        t = Near(s, 0.2) ? 24 : 8;
        l = Near(s, 0.5) ? 1 : 2;
        return;
    case Family::Week:
        t = 8;
        l = 2;
        return;
    }
}

QString LabelText(const TVxAxisScale& Scale, double v, const TVxFormatSettings& Settings) {
    // A tick at -1e-12 s is the tick at 0.
    if (std::fabs(v) < 1e-9)
        v = 0;
    return SecondsToText(Scale.SecParameters.Format, v, Settings);
}

} // namespace

double SecondsPerRegion(TVxDtRegion Region) {
    switch (Region) {
    case TVxDtRegion::Day:
        return 86400;
    case TVxDtRegion::Hour:
        return 3600;
    case TVxDtRegion::Minute:
        return 60;
    case TVxDtRegion::Second:
        return 1;
    default:
        return 0;
    }
}

void ChooseSecondsParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                        double Stop) {
    const double d = Stop - Start;
    if (!(d > 0) || !std::isfinite(d))
        return;
    const auto& settings = Context.FormatSettings();
    Scale.RangeExponent = DecimalExponent(d);
    auto& sec = Scale.SecParameters;
    Family family;
    double v;
    if (d / 86400 > 3) {
        sec.Rgn = TVxDtRegion::Day;
        v = d / 86400;
        family = d / 86400 > 20 ? Family::Decimal : d / 86400 > 7 ? Family::Week : Family::Day;
    } else if (d / 3600 > 3) {
        sec.Rgn = TVxDtRegion::Hour;
        v = d / 3600;
        family = d / 3600 > 10 ? Family::HalfDay : Family::Hour;
    } else if (d / 60 > 3) {
        sec.Rgn = TVxDtRegion::Minute;
        v = d / 60;
        family = d / 60 > 50 ? Family::HourOfMinutes : Family::Decimal;
    } else {
        sec.Rgn = TVxDtRegion::Second;
        v = d;
        family = d >= 60 ? Family::MinuteOfSeconds : Family::Decimal;
    }
    sec.Exponent = sec.Rgn == TVxDtRegion::Second ? Scale.RangeExponent : DecimalExponent(v);

    PrepareNumberFormat(Scale, Start, Stop);
    const double w =
        1.4 * std::max(LabelExtent(Scale, Context, LabelText(Scale, Start, settings), Start),
                       LabelExtent(Scale, Context, LabelText(Scale, Stop, settings), Stop));
    const double n = ScaleDown(sec.Exponent, v);
    const double gap = 70.0 * Scale.LabelDistanceFactor;
    auto fits = [&](double Step) {
        const double a = std::trunc(n / Step + 0.5);
        return a * w + (a - 1) * gap < Context.ControlLength;
    };
    double s = FirstCandidate(family);
    double scale = 10;
    for (int k = 0; k < MaxCandidates && fits(s * scale); ++k) {
        bool nextDecade = false;
        s = Finer(family, s, nextDecade);
        if (nextDecade)
            scale /= 10;
    }
    double t = 10;
    double l = 2;
    Divisors(family, s, t, l);
    Scale.LabelPart = s * scale;
    Scale.TickPart = Scale.LabelPart / t;
    Scale.MajorTickPart = Scale.LabelPart / l;
}

double RoundSeconds(const TVxAxisScale& Scale, int Exponent, bool Up, double Part, double v) {
    const double unit = SecondsPerRegion(Scale.SecParameters.Rgn);
    if (unit == 0)
        return 0;
    const double x = v / unit;
    return (Up ? RoundUpToStep(Exponent, Part, x) : RoundDownToStep(Exponent, Part, x)) * unit;
}

void SecondsTicks(const TVxAxisScale& Scale, const TVxScaleContext& Context,
                  const TVxAxisTransform& Transform, bool Unrounded, TVxTickList& Ticks) {
    const auto& sec = Scale.SecParameters;
    const auto& settings = Context.FormatSettings();
    const double step = PowerOfTen(sec.Exponent) * Scale.TickPart * SecondsPerRegion(sec.Rgn);
    if (!(step > 0) || !std::isfinite(step))
        return;
    const double tolerance = 0.004 * step;
    const int e = sec.Exponent;
    const double first =
        Unrounded ? RoundSeconds(Scale, e, true, Scale.TickPart, Scale.Start) : Scale.Start;
    const double count = std::floor((Scale.Stop + tolerance - first) / step) + 1;
    if (!(count >= 1) || count > MaxTicks)
        return;
    double nextMajor = RoundSeconds(Scale, e, true, Scale.MajorTickPart, Scale.Start);
    double nextLabel = RoundSeconds(Scale, e, true, Scale.LabelPart, Scale.Start);
    for (int i = 0; i < int(count); ++i) {
        const double v = first + i * step;
        const float pixel = Transform.NumberToWorld(v);
        bool grid = false;
        if (Scale.NumbersVisible && std::fabs(v - nextLabel) < tolerance) {
            Ticks.Labels.push_back({LabelText(Scale, nextLabel, settings), pixel, nextLabel});
            nextLabel = RoundSeconds(Scale, e, true, Scale.LabelPart, v + tolerance);
            if (Scale.MajorGridMode == TVxMajorGridMode::AtLabel)
                grid = true;
        }
        const bool major = std::fabs(v - nextMajor) < tolerance;
        if (major) {
            if (Scale.MajorGridMode == TVxMajorGridMode::AtMajorTick)
                grid = true;
            nextMajor = RoundSeconds(Scale, e, true, Scale.MajorTickPart, v + step);
        }
        Ticks.Add(pixel, major, grid);
    }
}
