#include "axes/AxisLabels.h"

#include "captions/MeasuringSurface.h"
#include "styles/ArrowSettings.h"
#include "styles/VxFont.h"
#include "util/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct TAngle {
    double Sin;
    double Cos;
};

TAngle LabelAngle(const TVxAxisLook& Look) {
    const double r = double(Look.RubricsAngle()) * std::numbers::pi / 180;
    return {std::fabs(std::sin(r)), std::fabs(std::cos(r))};
}

bool Slanted(double Degrees) {
    const long a = std::lround(Degrees);
    return a != 0 && a != 90 && a != 180 && a != 270 && a != 360;
}

// While panning, ticks are recalculated without a new layout, and a date-time axis shows
// ever new texts: the remembered label records are bounded.
constexpr qsizetype MaxTextRecords = 512;

TVxContentAlignment AlignmentOf(TVxTextAnchor Anchor) {
    return TVxContentAlignment(int(Anchor));
}

static_assert(int(TVxTextAnchor::MiddleCenter) == int(TVxContentAlignment::MiddleCenter) &&
              int(TVxTextAnchor::BottomRight) == int(TVxContentAlignment::BottomRight));

/// The record of a placed text with its anchor, alignment and angle.
void Anchor(TVxPlacedText& Text) {
    Text.Rec.X = float(Text.Position.x());
    Text.Rec.Y = float(Text.Position.y());
    Text.Rec.Align = AlignmentOf(Text.Anchor);
    Text.Rec.Angle = float(Text.Angle);
}

} // namespace

// --- measured records of the look ----------------------------------------------------------

void TVxAxisLook::ParseCaption() {
    FTextRecords.clear();
    FCaptionRec = TVxRichCaptionRec();
    FCaptionRec.Caption = FCaption;
    FCaptionRec.Font = FCaptionFont;
    if (FCaption.isEmpty())
        return;
    TVxMeasuringSurface surface;
    FCaptionRec.ParseForSize(surface, this);
}

const TVxRichCaptionRec& TVxAxisLook::TextRecord(const QString& Text) const {
    if (const auto it = FTextRecords.constFind(Text); it != FTextRecords.constEnd())
        return *it;
    if (FTextRecords.size() >= MaxTextRecords)
        FTextRecords.clear();
    TVxRichCaptionRec rec;
    rec.Caption = Text;
    rec.Font = FFont;
    rec.Align = TVxContentAlignment::MiddleCenter;
    TVxMeasuringSurface surface;
    // Measuring lists the look as a dependent of the variables the text shows; the look's
    // own state is not touched.
    rec.ParseForSize(surface, const_cast<TVxAxisLook*>(this));
    return *FTextRecords.insert(Text, std::move(rec));
}

void TVxAxisLook::UpdateCaptionVariables() {
    // The next layout measures the caption and every label again.
    FTextRecords.clear();
    Changed();
}

QString ExponentCaption(int Exponent) {
    return QStringLiteral("\u00B710\\+") + QString::number(Exponent);
}

// --- placement -----------------------------------------------------------------------------

double LabelLine(const TVxAxis& Axis, const TVxAxisLook& Look) {
    const double away = Look.TicksPointToData() ? 0.0 : double(Look.MajorTickLength());
    const double gap = Look.DistanceAxisLabels() + away;
    switch (Axis.Position()) {
    case TVxAxisPosition::Bottom:
        return Axis.AxTop() + gap;
    case TVxAxisPosition::Left:
        return Axis.AxLeft() - gap;
    case TVxAxisPosition::Top:
        return Axis.AxTop() - gap;
    case TVxAxisPosition::Right:
        break;
    }
    return Axis.AxLeft() + gap;
}

void PlaceAxisTexts(const TVxAxis& Axis, TVxAxisLook& Look) {
    TVxAxisPlacement& p = Look.Placement;
    const TVxAxisPosition pos = Axis.Position();
    const double line = LabelLine(Axis, Look);
    p.LabelLine = line;
    p.Labels.clear();
    p.HiddenTick.reset();

    const TAngle angle = LabelAngle(Look);
    const bool slanted = Slanted(Look.RubricsAngle());
    const double fontSize = Look.Font()->GetSize();
    const double so = fontSize * angle.Sin * 0.8;
    const double co = fontSize * angle.Cos * 0.8;
    const int q = AngleQuadrant(Look.RubricsAngle());
    const bool odd = q == 1 || q == 3;

    for (const TVxAxisLabel& label : Axis.Labels()) {
        const double hr = label.Width * angle.Sin + label.Height * angle.Cos;
        const double wr = label.Width * angle.Cos + label.Height * angle.Sin;
        double x = Axis.Horizontal() ? label.Pixel : line;
        double y = Axis.Horizontal() ? line : label.Pixel;
        if (slanted) {
            switch (pos) {
            case TVxAxisPosition::Bottom:
                x += odd ? so - wr / 2 : -so + wr / 2;
                break;
            case TVxAxisPosition::Top:
                x += odd ? -so + wr / 2 : so - wr / 2;
                break;
            case TVxAxisPosition::Left:
                y += odd ? -co + hr / 2 : co - hr / 2;
                break;
            case TVxAxisPosition::Right:
                y += odd ? co - hr / 2 : -co + hr / 2;
                break;
            }
        }
        switch (pos) {
        case TVxAxisPosition::Bottom:
            y += hr / 2;
            break;
        case TVxAxisPosition::Top:
            y -= hr / 2;
            break;
        case TVxAxisPosition::Left:
            x -= wr / 2;
            break;
        case TVxAxisPosition::Right:
            x += wr / 2;
            break;
        }
        TVxPlacedText& placed = p.Labels.emplace_back(TVxPlacedText{
            label.Caption, QPointF(x, y), TVxTextAnchor::MiddleCenter, double(Look.RubricsAngle()),
            label.Width, label.Height, Look.TextRecord(label.Caption)});
        Anchor(placed);
    }

    // Common exponent: midway between the last two labels along the axis, otherwise where
    // it was before.
    p.HasExponent = Look.NumbersVisible() && Axis.Scale().AdditionalExponent;
    if (p.HasExponent) {
        TVxPlacedText& e = p.Exponent;
        e.Text = ExponentCaption(Axis.Scale().MaxExponent);
        e.Rec = Look.TextRecord(e.Text);
        e.Width = e.Rec.FWidth;
        e.Height = e.Rec.FHeight;
        e.Angle = 0;
        const auto& labels = Axis.Labels();
        const double dist = Look.DistanceAxisExtraExponent();
        double along = Axis.Horizontal() ? e.Position.x() : e.Position.y();
        if (labels.size() >= 2)
            along = (labels[labels.size() - 1].Pixel + labels[labels.size() - 2].Pixel) / 2.0;
        switch (pos) {
        case TVxAxisPosition::Bottom:
            e.Anchor = TVxTextAnchor::TopCenter;
            e.Position = QPointF(along, line + dist);
            break;
        case TVxAxisPosition::Left:
            e.Anchor = TVxTextAnchor::MiddleRight;
            e.Position = QPointF(line - dist, along);
            break;
        case TVxAxisPosition::Top:
            e.Anchor = TVxTextAnchor::BottomCenter;
            e.Position = QPointF(along, line - dist);
            break;
        case TVxAxisPosition::Right:
            e.Anchor = TVxTextAnchor::MiddleLeft;
            e.Position = QPointF(line + dist, along);
            break;
        }
        Anchor(e);
    }

    // Caption.
    TVxPlacedText& c = p.Caption;
    c.Text = Look.Caption();
    // The record of the last ParseCaption, unless the caption changed since (measured then
    // when first painted).
    if (Look.CaptionRecord().Caption == c.Text) {
        c.Rec = Look.CaptionRecord();
    } else {
        c.Rec = TVxRichCaptionRec();
        c.Rec.Caption = c.Text;
        c.Rec.Font = Look.CaptionFont();
    }
    c.Width = c.Rec.FWidth;
    c.Height = c.Rec.FHeight;
    p.HasCaption = Look.CaptionVisible() && !c.Text.isEmpty();
    const bool horizontalText = Axis.Horizontal() || Look.CaptionHorizontalOnVerticalAxis();
    c.Angle = horizontalText ? 0 : 90;
    const double numbers = Look.NumbersVisible() ? Look.DistanceNumbersCaption() : 0.0;
    const double axLeft = Axis.AxLeft();
    const double axTop = Axis.AxTop();
    const double axLength = Axis.AxLength();
    const TVxCaptionAlignment align = Look.CaptionAlignment();
    using A = TVxTextAnchor;
    switch (pos) {
    case TVxAxisPosition::Bottom:
    case TVxAxisPosition::Top: {
        const bool bottom = pos == TVxAxisPosition::Bottom;
        const double y = bottom ? line + numbers + Axis.MaxNumberLabelHeight()
                                : line - numbers - Axis.MaxNumberLabelHeight();
        if (align == TVxCaptionAlignment::Left)
            c.Position = QPointF(axLeft, y), c.Anchor = bottom ? A::TopLeft : A::BottomLeft;
        else if (align == TVxCaptionAlignment::Right)
            c.Position = QPointF(axLeft + axLength, y),
            c.Anchor = bottom ? A::TopRight : A::BottomRight;
        else
            c.Position = QPointF(axLeft + axLength / 2, y),
            c.Anchor = bottom ? A::TopCenter : A::BottomCenter;
        break;
    }
    case TVxAxisPosition::Left: {
        const double x = line - numbers - Axis.MaxNumberLabelWidth();
        if (align == TVxCaptionAlignment::Left)
            c.Position = QPointF(x, axTop + axLength),
            c.Anchor = horizontalText ? A::BottomRight : A::BottomLeft;
        else if (align == TVxCaptionAlignment::Right)
            c.Position = QPointF(x, axTop),
            c.Anchor = horizontalText ? A::TopRight : A::BottomRight;
        else
            c.Position = QPointF(x, axTop + axLength / 2),
            c.Anchor = horizontalText ? A::MiddleRight : A::BottomCenter;
        break;
    }
    case TVxAxisPosition::Right: {
        const double x = line + numbers + Axis.MaxNumberLabelWidth();
        if (align == TVxCaptionAlignment::Left)
            c.Position = QPointF(x, axTop + axLength),
            c.Anchor = horizontalText ? A::BottomLeft : A::TopLeft;
        else if (align == TVxCaptionAlignment::Right)
            c.Position = QPointF(x, axTop), c.Anchor = horizontalText ? A::TopLeft : A::TopRight;
        else
            c.Position = QPointF(x, axTop + axLength / 2),
            c.Anchor = horizontalText ? A::MiddleLeft : A::TopCenter;
        break;
    }
    }
    Anchor(c);
}

double CaptionThickness(const TVxAxis& Axis, const TVxAxisLook& Look) {
    const TVxAxisPlacement& p = Look.Placement;
    if (!Look.CaptionVisible() || Look.Caption().isEmpty())
        return 0;
    if (!Axis.Horizontal() && Look.CaptionHorizontalOnVerticalAxis())
        return p.Caption.Width;
    return p.Caption.Height;
}

double AxisThickness(const TVxAxis& Axis, const TVxAxisLook& Look) {
    const bool horizontal = Axis.Horizontal();
    double t =
        std::ceil(Look.AxisThicknes() / 2.0) + Look.DistanceToBorder() + Look.MajorTickLength();
    const double labels = Look.NumbersVisible() ? (horizontal ? Axis.MaxNumberLabelHeight()
                                                              : Axis.MaxNumberLabelWidth())
                                                : 0.0;
    if (labels > 0)
        t += Look.DistanceAxisLabels() + labels;
    const double c = CaptionThickness(Axis, Look);
    if (c > 0)
        t += c + (labels > 0 ? Look.DistanceNumbersCaption() : Look.DistanceAxisLabels());
    const TVxAxisPlacement& p = Look.Placement;
    if (p.HasExponent) {
        const double e = horizontal ? p.Exponent.Height : p.Exponent.Width;
        t = std::max(t, Look.DistanceAxisExtraExponent() + Look.MajorTickLength() + e +
                            Look.AxisThicknes());
    }
    return t;
}

TVxAxisOverhangs AxisOverhangs(const TVxAxis& Axis, const TVxAxisLook& Look) {
    TVxAxisOverhangs o;
    if (!Look.Visible())
        return o;
    const auto& labels = Look.Placement.Labels;
    const TAngle angle = LabelAngle(Look);
    const bool twisted = Axis.Twisted();
    if (Look.NumbersVisible() && !labels.empty()) {
        const TVxPlacedText& first = twisted ? labels.back() : labels.front();
        const TVxPlacedText& last = twisted ? labels.front() : labels.back();
        if (Axis.Horizontal()) {
            const double halfFirst = (first.Width * angle.Cos + first.Height * angle.Sin) / 2;
            const double halfLast = (last.Width * angle.Cos + last.Height * angle.Sin) / 2;
            o.Low = std::max(0.0, Axis.AxLeft() - first.Position.x() + halfFirst);
            o.High =
                std::max(0.0, last.Position.x() + halfLast - Axis.AxLength() - Axis.AxLeft() + 2);
        } else {
            const double halfFirst = (first.Width * angle.Sin + first.Height * angle.Cos) / 2;
            const double halfLast = (last.Width * angle.Sin + last.Height * angle.Cos) / 2;
            o.High = std::max(0.0, Axis.AxTop() - last.Position.y() + halfLast);
            o.Low = std::max(0.0, first.Position.y() - Axis.AxLength() - Axis.AxTop() + halfFirst);
        }
    }
    if (Look.ArrowPoint()->Visible()) {
        const double arrow = 3.0 * Look.ArrowPoint()->PointLength();
        double& end = twisted ? o.Low : o.High;
        end = std::max(end, arrow);
    }
    o.Low = std::ceil(o.Low);
    o.High = std::ceil(o.High);
    return o;
}
