#include "NumberLabels.h"

#include "util/NumberText.h"
#include "util/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// "-0", "-0.00": a value that rounds to zero is written without its sign.
QString WithoutNegativeZero(QString Text) {
    if (!Text.startsWith(u'-'))
        return Text;
    for (qsizetype i = 1; i < Text.size(); ++i)
        if (Text[i].isDigit() && Text[i] != u'0')
            return Text;
    return Text.mid(1);
}

} // namespace

double LabelExtent(const TVxAxisScale& Scale, const TVxScaleContext& Context, QString Text,
                   double Value) {
    if (Context.GetScaleLabel)
        Context.GetScaleLabel(Value, Text);
    const double s = Context.FontSize;
    const double h = 2.5 * s;
    const double w = double(Text.size()) * s * 1.6;
    return Scale.Horizontal ? w * Context.AngleCos + h * Context.AngleSin
                            : w * Context.AngleSin + h * Context.AngleCos;
}

void PrepareNumberFormat(TVxAxisScale& Scale, double Start, double Stop) {
    const int e1 = DecimalExponent(Start);
    const int e2 = DecimalExponent(Stop);
    // An end at 0 has no exponent of its own.
    if (e1 < e2)
        Scale.MaxExponent = Stop == 0 ? e1 : e2;
    else
        Scale.MaxExponent = Start != 0 ? e1 : e2;

    if (Scale.Scaling == TVxAxisScaling::DateTime)
        return;
    if (Scale.Scaling == TVxAxisScaling::Seconds) {
        const double m = std::max(Start, Stop);
        auto& format = Scale.SecParameters.Format;
        format = TVxSecondsFormatRange::Second;
        if (m / 60 >= 1)
            format = TVxSecondsFormatRange::Minute;
        if (m / 3600 >= 1)
            format = TVxSecondsFormatRange::Hour;
        if (m / 86400 >= 1)
            format = TVxSecondsFormatRange::Day;
    } else {
        int digits = Scale.MaxExponent + SignificantDigits(Scale.LabelPart) - Scale.RangeExponent -
                     DecimalExponent(Scale.LabelPart) - 1;
        Scale.AdditionalExponent =
            (DecimalExponent(Scale.MaxForExtraExponent) < Scale.MaxExponent &&
             Scale.MaxExponent >= digits) ||
            Scale.MaxExponent < DecimalExponent(Scale.MinForExtraExponent);
        digits = std::max(0, digits + Scale.ExtraDigits);
        if (Scale.ExtraDigits > 0 && Scale.MaxExponent + Scale.ExtraDigits >= digits &&
            !Scale.AdditionalExponent)
            digits = Scale.MaxExponent + Scale.ExtraDigits;
        Scale.DisplayDigits = digits;
    }
    if (Scale.TickPart < 1e-5)
        Scale.TickPart = 0.1;
    Scale.MajorTickPart = std::max(Scale.MajorTickPart, Scale.TickPart);
    Scale.LabelPart = std::max(Scale.LabelPart, Scale.TickPart);
}

QString FormatNumberLabel(const TVxAxisScale& Scale, double v, const TVxFormatSettings& Settings) {
    const QString& separator = Settings.DecimalSeparator;
    QString text;
    if (Scale.AdditionalExponent) {
        text = FloatToFixedText(ScaleDown(Scale.MaxExponent, v),
                                std::clamp(Scale.DisplayDigits, 0, 100), separator);
    } else {
        const int decimals = Scale.DisplayDigits - Scale.MaxExponent;
        text = FloatToFixedText(v, std::clamp(decimals, 0, 100), separator);
    }
    return WithoutNegativeZero(text);
}

QString LogLabelText(const TVxAxisScale& Scale, double v, const TVxFormatSettings& Settings,
                     bool Raised) {
    if (Scale.Scaling == TVxAxisScaling::LogEE) {
        // Ticks name the decade of the value, the partition estimate its nearest power.
        const int exponent = Raised ? DecimalExponent(v) : int(std::lround(std::log10(v)));
        return (Raised ? QStringLiteral("10\\+") : QStringLiteral("10")) +
               QString::number(exponent);
    }
    return FloatToGeneralText(v, 0, Settings.DecimalSeparator);
}
