#include "drawing/Path.h"

#include "drawing/Font.h"
#include "drawing/Pen.h"
#include "drawing/QtConvert.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>
#include <QTextLayout>

namespace {

Qt::FillRule QtFillRule(TFillMode Mode) {
    return Mode == TFillMode::FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill;
}

} // namespace

QPainterPath ArcPath(const QRectF& Rect, double StartAngle, double SweepAngle) {
    // Screen angles run clockwise, Qt's counter-clockwise.
    QPainterPath path;
    path.arcMoveTo(Rect, -StartAngle);
    path.arcTo(Rect, -StartAngle, -SweepAngle);
    return path;
}

TVxPath::TVxPath(TFillMode FillMode) : FFillMode(FillMode) {
    FPath.setFillRule(QtFillRule(FillMode));
}

void TVxPath::AddArc(const QRectF& Rect, double StartAngle, double SweepAngle) {
    QPointF start;
    {
        QPainterPath probe;
        probe.arcMoveTo(Rect, -StartAngle);
        start = probe.currentPosition();
    }
    if (FFigureOpen)
        FPath.lineTo(start);
    else
        FPath.moveTo(start);
    FPath.arcTo(Rect, -StartAngle, -SweepAngle);
    FFigureOpen = true;
}

void TVxPath::AddLines(std::span<const QPointF> Points) {
    if (Points.empty())
        return;
    std::size_t i = 0;
    if (!FFigureOpen)
        FPath.moveTo(Points[i++]);
    for (; i < Points.size(); ++i)
        FPath.lineTo(Points[i]);
    FFigureOpen = true;
}

void TVxPath::AddLine(QPointF From, QPointF To) {
    const QPointF points[] = {From, To};
    AddLines(points);
}

void TVxPath::AddEllipse(const QRectF& Rect) {
    // Start at the rightmost point and run clockwise, as arcs do.
    FPath.addPath(ArcPath(Rect, 0, 360));
    FPath.closeSubpath();
    FFigureOpen = false;
}

void TVxPath::AddPolygon(std::span<const QPointF> Points) {
    if (Points.empty())
        return;
    FPath.moveTo(Points[0]);
    for (std::size_t i = 1; i < Points.size(); ++i)
        FPath.lineTo(Points[i]);
    FPath.closeSubpath();
    FFigureOpen = false;
}

void TVxPath::AddRectangle(const QRectF& Rect) {
    FPath.addRect(Rect);
    FFigureOpen = false;
}

void TVxPath::AddString(const QString& Text, const TVxFontSpec& Font, const QRectF& Layout,
                        const TVxStringFormat& Format) {
    const QFont font = ToQFont(Font, TVxTextRenderingHint::AntiAlias, MeasuringDevice());
    const QRectF box = MeasureText(Text, font, Layout, Format, MeasuringDevice());
    const QRectF area = TextArea(box, font, Format, MeasuringDevice());
    const QFontMetricsF metrics(font, MeasuringDevice());
    const QStringList lines = Text.split(QLatin1Char('\n'));
    double y = area.top() + metrics.ascent();
    for (const QString& line : lines) {
        double x = area.left();
        const double width = metrics.horizontalAdvance(line);
        if (Format.Alignment == TVxStringAlignment::Center)
            x = area.center().x() - width / 2;
        else if (Format.Alignment == TVxStringAlignment::Far)
            x = area.right() - width;
        FPath.addText(QPointF(x, y), font, line);
        y += metrics.lineSpacing();
    }
    FFigureOpen = false;
}

void TVxPath::AddPath(const TVxPath& Other) {
    FPath.addPath(Other.FPath);
    FFigureOpen = false;
}

void TVxPath::CloseFigure() {
    FPath.closeSubpath();
    FFigureOpen = false;
}

void TVxPath::Transform(const TVxMatrix& Matrix) {
    FPath = Matrix.map(FPath);
    FPath.setFillRule(QtFillRule(FFillMode));
}

void TVxPath::Widen(const TVxPen& Pen) {
    QPainterPathStroker stroker(ToQPen(Pen, QTransform()));
    FPath = stroker.createStroke(FPath);
    FFillMode = TFillMode::FillModeWinding;
    FPath.setFillRule(Qt::WindingFill);
    FFigureOpen = false;
}

void TVxPath::Outline() {
    FPath = FPath.simplified();
    FFillMode = FPath.fillRule() == Qt::WindingFill ? TFillMode::FillModeWinding
                                                    : TFillMode::FillModeAlternate;
    FFigureOpen = false;
}

TVxPath TVxPath::FromQt(const QPainterPath& Path) {
    TVxPath path(Path.fillRule() == Qt::WindingFill ? TFillMode::FillModeWinding
                                                    : TFillMode::FillModeAlternate);
    path.FPath = Path;
    return path;
}
