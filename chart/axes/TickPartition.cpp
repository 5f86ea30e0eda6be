#include "TickPartition.h"

#include "axes/NumberLabels.h"
#include "util/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// A partition never needs more candidates than this: each one is at least twice as fine
// as the one three rows before, so 60 rows span 18 decades below the range.
constexpr int MaxCandidates = 60;

} // namespace

void ChooseLinearTickParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                           double Stop) {
    const double range = Stop - Start;
    if (!(range > 0) || !std::isfinite(range))
        return;
    const auto& settings = Context.FormatSettings();
    Scale.RangeExponent = DecimalExponent(range);
    const double r = ScaleDown(Scale.RangeExponent, range);
    const double gap = 70.0 * Scale.LabelDistanceFactor;
    const double length = Context.ControlLength;

    int i = 0;
    double part = Scale.LabelParts[0];
    double scale = 10;
    for (int candidate = 0; candidate < MaxCandidates; ++candidate) {
        Scale.LabelPart = part * scale;
        PrepareNumberFormat(Scale, Start, Stop);
        const double w =
            std::max(LabelExtent(Scale, Context, FormatNumberLabel(Scale, Start, settings), Start),
                     LabelExtent(Scale, Context, FormatNumberLabel(Scale, Stop, settings), Stop));
        const double n = std::trunc(r / (part * scale) + 0.5);
        const double need = (n + 1) * w + n * gap;
        if (!(need < length))
            break;
        if (i < 2) {
            ++i;
        } else {
            i = 0;
            scale /= 10;
        }
        part = Scale.LabelParts[std::size_t(i)];
    }
    Scale.LabelPart = Scale.LabelParts[std::size_t(i)] * scale;
    Scale.MajorTickPart = Scale.MajorParts[std::size_t(i)] * scale;
    Scale.TickPart = Scale.MinorParts[std::size_t(i)] * scale;
}

void ChooseLogTickParts(TVxAxisScale& Scale, const TVxScaleContext& Context, double Start,
                        double Stop) {
    if (!(Start > 0) || !(Stop > Start) || !std::isfinite(Stop))
        return;
    const auto& settings = Context.FormatSettings();
    const double decades = std::log10(Stop) - std::log10(Start);
    Scale.RangeExponent = int(std::nearbyint(decades));
    Scale.LabelPart = 1;
    const double w =
        0.51 *
        std::max(LabelExtent(Scale, Context, LogLabelText(Scale, Start, settings, false), Start),
                 LabelExtent(Scale, Context, LogLabelText(Scale, Stop, settings, false), Stop));
    const double gap = 30.0 * Scale.LabelDistanceFactor;
    for (;;) {
        const double n = std::trunc(Scale.RangeExponent / Scale.LabelPart + 0.5);
        // With no gap left to widen (n = 0) a single label is the best there is.
        if (n <= 0 || !((n + 1) * w + n * gap > Context.ControlLength))
            break;
        Scale.LabelPart += 1;
    }
    if (Scale.LabelPart >= 3) {
        Scale.LabelPart = 3 * std::nearbyint(Scale.LabelPart / 3);
        Scale.MajorTickPart = Scale.LabelPart;
        Scale.TickPart = Scale.MajorTickPart / 3;
    } else {
        Scale.MajorTickPart = 1;
        Scale.TickPart = 0.1;
    }
    Scale.TickPart = std::max(Scale.TickPart, 0.1);
}
