#include "axes/AxisPainter.h"

#include "drawing/Surface.h"
#include "styles/ArrowSettings.h"

#include <array>
#include <cmath>
#include <vector>

namespace {

float Snap(float Pixel, bool Exact) {
    return Exact ? Pixel : float(std::nearbyint(Pixel));
}

} // namespace

void PaintPlacedText(TVxSurface& Gr, const TVxPlacedText& Text) {
    TVxRichCaptionRec& rec = Text.Rec;
    rec.X = float(Text.Position.x());
    rec.Y = float(Text.Position.y());
    rec.Align = TVxContentAlignment(int(Text.Anchor));
    rec.Angle = float(Text.Angle);
    rec.PaintGr(Gr);
}

void PaintAxis(TVxSurface& Gr, const TVxAxis& Axis, const TVxAxisLook& Look, bool ExactPositions) {
    const TVxAxisPosition pos = Axis.Position();
    const bool horizontal = Axis.Horizontal();
    const double line = horizontal ? Axis.AxTop() : Axis.AxLeft();
    const double half = Look.AxisThicknes() / 2.0;
    // Bottom and Right axes point their ticks away in the positive direction.
    bool positive = pos == TVxAxisPosition::Bottom || pos == TVxAxisPosition::Right;
    if (Look.TicksPointToData())
        positive = !positive;
    const double base = positive ? std::ceil(line - half) : std::floor(line + half);
    const double sign = positive ? 1.0 : -1.0;

    const auto& ticks = Axis.Ticks();
    const auto& major = Axis.MajorTicks();
    const auto drawTicks = [&](bool Major) {
        const TVxPen pen = Major ? TVxPen::Solid(Look.MajorTickColor(), Look.MajorTickThicknes())
                                 : TVxPen::Solid(Look.TickColor(), Look.TickThicknes());
        const double length = Major ? Look.MajorTickLength() : Look.TickLength();
        // One call for all ticks of a kind: a surface sets its pen up once, not per tick.
        std::vector<QLineF> lines;
        lines.reserve(ticks.size());
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if ((i < major.size() && major[i]) != Major)
                continue;
            if (Look.Placement.HiddenTick &&
                std::fabs(ticks[i] - *Look.Placement.HiddenTick) < 0.1f)
                continue;
            const double t = Snap(ticks[i], ExactPositions);
            if (horizontal)
                lines.emplace_back(QPointF(t, base), QPointF(t, base + sign * length));
            else
                lines.emplace_back(QPointF(base, t), QPointF(base + sign * length, t));
        }
        Gr.DrawLineList(pen, lines);
    };
    if (!ticks.empty()) {
        drawTicks(true);
        drawTicks(false);
    }

    // Axis line; the arrow extends it at the high end (right or top, the other when twisted).
    const TVxAxisArrowPoint& arrow = *Look.ArrowPoint();
    const TVxPen pen = TVxPen::Solid(Look.ForeColor(), Look.AxisThicknes());
    const double from = horizontal ? Axis.AxLeft() : Axis.AxTop();
    const double to = from + Axis.AxLength();
    const auto at = [&](double Along) {
        return horizontal ? QPointF(Along, line) : QPointF(line, Along);
    };
    const TSmoothingMode smoothing = Gr.GetSmoothingMode();
    if (arrow.Visible() || !horizontal)
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
    if (arrow.Visible()) {
        // The high end is "right" for horizontal and "top" (smaller y) for vertical axes.
        const bool highAtTo = horizontal != Axis.Twisted();
        const double ext = 3.0 * arrow.PointLength();
        const double tipAlong = highAtTo ? to + ext : from - ext;
        const double dir = highAtTo ? 1.0 : -1.0;
        const QPointF start = at(highAtTo ? from : to);
        const QPointF tip = at(tipAlong);
        const QPointF notch = at(tipAlong - dir * arrow.InnerLength());
        Gr.DrawLine(pen, start, notch);
        const double back = tipAlong - dir * arrow.PointLength();
        const double h = arrow.PointHeight();
        const std::array<QPointF, 4> head =
            horizontal ? std::array<QPointF, 4>{tip, QPointF(back, line - h), notch,
                                                QPointF(back, line + h)}
                       : std::array<QPointF, 4>{tip, QPointF(line - h, back), notch,
                                                QPointF(line + h, back)};
        Gr.FillPolygon(TVxBrush::SolidBrush(Look.ForeColor()), head);
    } else {
        Gr.DrawLine(pen, at(from), at(to));
    }
    Gr.SetSmoothingMode(smoothing);

    const TVxAxisPlacement& p = Look.Placement;
    if (Look.NumbersVisible())
        for (const TVxPlacedText& label : p.Labels)
            PaintPlacedText(Gr, label);
    if (p.HasCaption)
        PaintPlacedText(Gr, p.Caption);
    if (p.HasExponent)
        PaintPlacedText(Gr, p.Exponent);
}
