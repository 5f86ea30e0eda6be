#include "drawing/QtSurface.h"

#include "drawing/ArrowCap.h"
#include "drawing/QtConvert.h"
#include "util/Exceptions.h"

#include <QPaintEngine>
#include <QPainterPathStroker>

namespace {

bool IsAntiAliased(TSmoothingMode Mode) {
    return Mode == TSmoothingMode::SmoothingModeHighQuality ||
           Mode == TSmoothingMode::SmoothingModeAntiAlias;
}

} // namespace

TVxQtSurface::TVxQtSurface(QPainter& Painter)
    : FTarget(Painter), FBase(Painter.worldTransform()), FBaseClipping(Painter.hasClipping()),
      FBaseClip(FBaseClipping ? Painter.clipPath() : QPainterPath()),
      FRaster(Painter.paintEngine() && Painter.paintEngine()->type() == QPaintEngine::Raster),
      FSoftClip(Painter.paintEngine() && Painter.paintEngine()->type() == QPaintEngine::SVG) {
    // Qt puts pixel centres at +0.5; shifting raster output by half a pixel puts them on the
    // integer coordinates the library's geometry is made for.
    if (FRaster) {
        FOffset = QTransform::fromTranslate(0.5, 0.5);
        // Aliased fills and clips take the pixels whose centres lie inside, a centre on the
        // left or top edge included and one on the right or bottom edge not. Qt rounds such
        // ties the other way, so those edges sit a little before the centres.
        FSampleOffset = QTransform::fromTranslate(0.5 - 1.0 / 64, 0.5 - 1.0 / 64);
    }
    FTarget.save();
    FTarget.setRenderHint(QPainter::Antialiasing, false);
    FTarget.setRenderHint(QPainter::SmoothPixmapTransform, true);
    FTarget.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

TVxQtSurface::~TVxQtSurface() {
    if (FExcluding)
        EndShapeExclusion();
    FTarget.restore();
}

void TVxQtSurface::ApplyTransform(QPainter& Painter, TPlacement Placement) const {
    switch (Placement) {
    case TPlacement::Stroke:
        Painter.setWorldTransform(FUser * FOffset * FBase);
        return;
    case TPlacement::Fill:
        Painter.setWorldTransform(FUser * (IsAntiAliased(FSmoothing) ? FOffset : FSampleOffset) *
                                  FBase);
        return;
    case TPlacement::Image:
        Painter.setWorldTransform(FUser * FBase);
        return;
    }
}

void TVxQtSurface::ApplyClip(QPainter& Painter) const {
    if (FSoftClip) {
        ApplyTransform(Painter, TPlacement::Stroke);
        return;
    }
    // Clip edges are hard: Qt would anti-alias a clip path set while anti-aliasing is on.
    const bool antiAliased = Painter.testRenderHint(QPainter::Antialiasing);
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setWorldTransform(FSampleOffset * FBase);
    if (FBaseClipping) {
        Painter.setWorldTransform(FBase);
        Painter.setClipPath(FBaseClip, Qt::ReplaceClip);
        Painter.setWorldTransform(FSampleOffset * FBase);
    }
    if (FClip.IsInfinite()) {
        if (!FBaseClipping)
            Painter.setClipping(false);
    } else {
        const Qt::ClipOperation op = FBaseClipping ? Qt::IntersectClip : Qt::ReplaceClip;
        if (FClip.Kind() == TVxRegion::TKind::Rect)
            Painter.setClipRect(FClip.Rect(), op);
        else
            Painter.setClipPath(FClip.ToQtPath(), op);
    }
    Painter.setRenderHint(QPainter::Antialiasing, antiAliased);
    ApplyTransform(Painter, TPlacement::Stroke);
}

void TVxQtSurface::SetSmoothingMode(TSmoothingMode Mode) {
    FSmoothing = Mode;
    FTarget.setRenderHint(QPainter::Antialiasing, IsAntiAliased(Mode));
    if (FLayerPainter)
        FLayerPainter->setRenderHint(QPainter::Antialiasing, IsAntiAliased(Mode));
}

bool TVxQtSurface::SoftClip() const {
    return FSoftClip && !FClip.IsInfinite();
}

void TVxQtSurface::FillClipped(const QBrush& Brush, const QPainterPath& Area) {
    QPainter& p = Active();
    p.setWorldTransform(FBase);
    p.setPen(Qt::NoPen);
    QBrush brush = Brush;
    brush.setTransform(brush.transform() * FUser);
    p.setBrush(brush);
    p.drawPath(FUser.map(Area).intersected(FClip.ToQtPath()));
}

namespace {

QPainterPath StrokeArea(const TVxPen& Pen, const QPainterPath& Path) {
    QPen pen = ToQPen(Pen, QTransform());
    if (pen.widthF() <= 0)
        pen.setWidthF(1);
    return QPainterPathStroker(pen).createStroke(Path);
}

} // namespace

void TVxQtSurface::Stroke(const TVxPen& Pen, const QPainterPath& Path) {
    if (SoftClip()) {
        FillClipped(ToQPen(Pen, FUser * FBase).brush(), StrokeArea(Pen, Path));
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Stroke);
    p.setPen(ToQPen(Pen, p.worldTransform()));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Path);
}

void TVxQtSurface::Fill(const TVxBrush& Brush, const QPainterPath& Path) {
    if (SoftClip()) {
        FillClipped(ToQBrush(Brush, FUser * FBase), Path);
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Fill);
    p.setPen(Qt::NoPen);
    p.setBrush(ToQBrush(Brush, p.worldTransform()));
    p.drawPath(Path);
}

void TVxQtSurface::StrokePolyline(const TVxPen& Pen, std::span<const QPointF> Points) {
    if (Points.size() < 2)
        return;
    if (SoftClip()) {
        const TVxCappedLine capped = ApplyArrowCaps(Points, Pen);
        QPainterPath line(capped.Points.front());
        for (std::size_t i = 1; i < capped.Points.size(); ++i)
            line.lineTo(capped.Points[i]);
        Stroke(Pen, line);
        for (const QPolygonF& head : capped.Heads) {
            QPainterPath area;
            area.addPolygon(head);
            Fill(Pen.StrokeBrush(), area);
        }
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Stroke);
    p.setPen(ToQPen(Pen, p.worldTransform()));
    p.setBrush(Qt::NoBrush);
    if (!Pen.CustomStartCap && !Pen.CustomEndCap) {
        p.drawPolyline(Points.data(), static_cast<int>(Points.size()));
        return;
    }
    // Qt has no custom line caps: the line stops at each head's notch and the head is filled.
    const TVxCappedLine capped = ApplyArrowCaps(Points, Pen);
    p.drawPolyline(capped.Points.data(), static_cast<int>(capped.Points.size()));
    p.setPen(Qt::NoPen);
    p.setBrush(ToQBrush(Pen.StrokeBrush(), p.worldTransform()));
    for (const QPolygonF& head : capped.Heads)
        p.drawPolygon(head);
}

void TVxQtSurface::DrawLine(const TVxPen& Pen, QPointF A, QPointF B) {
    const QPointF points[] = {A, B};
    StrokePolyline(Pen, points);
}

void TVxQtSurface::DrawLines(const TVxPen& Pen, std::span<const QPointF> Points) {
    StrokePolyline(Pen, Points);
}

void TVxQtSurface::DrawLineList(const TVxPen& Pen, std::span<const QLineF> Lines) {
    if (SoftClip() || Pen.CustomStartCap || Pen.CustomEndCap) {
        TVxSurface::DrawLineList(Pen, Lines);
        return;
    }
    if (Lines.empty())
        return;
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Stroke);
    p.setPen(ToQPen(Pen, p.worldTransform()));
    p.setBrush(Qt::NoBrush);
    p.drawLines(Lines.data(), static_cast<int>(Lines.size()));
}

void TVxQtSurface::DrawRectangle(const TVxPen& Pen, const QRectF& Rect) {
    QPainterPath path;
    path.addRect(Rect);
    Stroke(Pen, path);
}

void TVxQtSurface::DrawEllipse(const TVxPen& Pen, const QRectF& Rect) {
    QPainterPath path;
    path.addEllipse(Rect);
    Stroke(Pen, path);
}

void TVxQtSurface::DrawArc(const TVxPen& Pen, const QRectF& Rect, double StartAngle,
                           double SweepAngle) {
    const QPainterPath arc = ArcPath(Rect, StartAngle, SweepAngle);
    if (!Pen.CustomStartCap && !Pen.CustomEndCap) {
        Stroke(Pen, arc);
        return;
    }
    const QList<QPolygonF> polygons = arc.toSubpathPolygons();
    if (!polygons.isEmpty())
        StrokePolyline(Pen,
                       std::span<const QPointF>(polygons.front().data(),
                                                static_cast<std::size_t>(polygons.front().size())));
}

void TVxQtSurface::DrawPolygon(const TVxPen& Pen, std::span<const QPointF> Points) {
    if (Points.empty())
        return;
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(Points.begin(), Points.end())));
    path.closeSubpath();
    Stroke(Pen, path);
}

void TVxQtSurface::DrawPath(const TVxPen& Pen, const TVxPath& Path) {
    Stroke(Pen, Path.ToQt());
}

void TVxQtSurface::FillRectangle(const TVxBrush& Brush, const QRectF& Rect) {
    if (SoftClip()) {
        QPainterPath path;
        path.addRect(Rect);
        Fill(Brush, path);
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Fill);
    p.fillRect(Rect, ToQBrush(Brush, p.worldTransform()));
}

void TVxQtSurface::FillEllipse(const TVxBrush& Brush, const QRectF& Rect) {
    QPainterPath path;
    path.addEllipse(Rect);
    Fill(Brush, path);
}

void TVxQtSurface::FillPolygon(const TVxBrush& Brush, std::span<const QPointF> Points,
                               TFillMode FillMode) {
    if (Points.empty())
        return;
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(Points.begin(), Points.end())));
    path.closeSubpath();
    path.setFillRule(FillMode == TFillMode::FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    Fill(Brush, path);
}

void TVxQtSurface::FillPath(const TVxBrush& Brush, const TVxPath& Path) {
    Fill(Brush, Path.ToQt());
}

void TVxQtSurface::DrawString(const QString& Text, const TVxFontSpec& Font, const TVxBrush& Brush,
                              const QRectF& Layout, const TVxStringFormat& Format) {
    if (SoftClip() &&
        !FClip.ToQtPath().contains(FUser.mapRect(MeasureString(Text, Font, Layout, Format)))) {
        // Text that crosses the clip's edge is drawn as outlines, which can be clipped.
        TVxPath outlines(TFillMode::FillModeWinding);
        outlines.AddString(Text, Font, Layout, Format);
        FillClipped(ToQBrush(Brush, FUser * FBase), outlines.ToQt());
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Image);
    const QFont font = ToQFont(Font, FTextHint, FTarget.device());
    p.setFont(font);
    p.setPen(QPen(ToQBrush(Brush, p.worldTransform()), 1));
    p.drawText(TextArea(Layout, font, Format, FTarget.device()), TextFlags(Format, Layout), Text);
}

QRectF TVxQtSurface::MeasureString(const QString& Text, const TVxFontSpec& Font,
                                   const QRectF& Layout, const TVxStringFormat& Format) const {
    return MeasureText(Text, ToQFont(Font, FTextHint, FTarget.device()), Layout, Format,
                       FTarget.device());
}

double TVxQtSurface::GetFontHeight(const TVxFontSpec& Font) const {
    return FontLineSpacing(ToQFont(Font, FTextHint, FTarget.device()), FTarget.device());
}

void TVxQtSurface::DrawImage(const QImage& Image, QPointF Position) {
    DrawImage(Image, QRectF(Position, QSizeF(Image.size())));
}

void TVxQtSurface::DrawImage(const QImage& Image, const QRectF& Target) {
    if (Image.isNull())
        return;
    if (SoftClip() && !FClip.ToQtPath().contains(FUser.mapRect(Target))) {
        QBrush texture(Image);
        texture.setTransform(QTransform::fromScale(Target.width() / Image.width(),
                                                   Target.height() / Image.height()) *
                             QTransform::fromTranslate(Target.x(), Target.y()));
        QPainterPath area;
        area.addRect(Target);
        FillClipped(texture, area);
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Image);
    p.drawImage(Target, Image);
}

void TVxQtSurface::Clear(TVxColor Color) {
    if (SoftClip()) {
        FillClipped(QBrush(ToQColor(Color)), FUser.inverted().map(FClip.ToQtPath()));
        return;
    }
    QPainter& p = Active();
    p.save();
    p.setWorldTransform(QTransform());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // A picture has no size of its own: there the clip's bounds stand for the target.
    QRectF area(0, 0, p.device()->width(), p.device()->height());
    if (area.isEmpty() && !FClip.IsInfinite())
        area = (FSampleOffset * FBase).mapRect(FClip.Bounds());
    p.fillRect(area, ToQColor(Color));
    p.restore();
}

void TVxQtSurface::SetClip(const TVxRegion& Region, TCombineMode Mode) {
    FClip = FClip.Combined(Region.Transformed(FUser), Mode);
    ApplyClip(Active());
}

TVxRegion TVxQtSurface::GetClip() const {
    return FClip.Transformed(FUser.inverted());
}

void TVxQtSurface::ResetClip() {
    FClip = TVxRegion();
    ApplyClip(Active());
}

void TVxQtSurface::SetTransform(const TVxMatrix& Matrix) {
    FUser = Matrix;
}

bool TVxQtSurface::PrefersSprites() const {
    return FRaster && !FExcluding && (FUser * FBase).type() <= QTransform::TxTranslate;
}

void TVxQtSurface::BeginShapeExclusion(const TVxPath& Shapes) {
    if (FExcluding)
        throw EVxException("Shape exclusions do not nest");
    FExcluding = true;
    FSavedClip = FClip;
    QPainterPath shapes = FUser.map(Shapes.ToQt());
    shapes.setFillRule(Qt::WindingFill);
    if (!FRaster) {
        // Vector output keeps the exclusion as one clip path.
        FClip = FClip.Combined(TVxRegion::FromQtPath(shapes), TCombineMode::CombineModeExclude);
        ApplyClip(FTarget);
        return;
    }
    // Raster output: draw into a transparent layer, punch the shapes out of it at the end and
    // lay it over the target. The pixels are those of the clip exclusion, without region
    // arithmetic that grows with every shape.
    FExcludedShapes = TVxPath::FromQt(shapes);
    const QPaintDevice* device = FTarget.device();
    const qreal ratio = device->devicePixelRatioF();
    FLayer =
        std::make_unique<QImage>(qRound(device->width() * ratio), qRound(device->height() * ratio),
                                 QImage::Format_ARGB32_Premultiplied);
    FLayer->setDevicePixelRatio(ratio);
    FLayer->fill(Qt::transparent);
    FLayerPainter = std::make_unique<QPainter>(FLayer.get());
    FLayerPainter->setRenderHints(FTarget.renderHints());
    ApplyClip(*FLayerPainter);
}

void TVxQtSurface::EndShapeExclusion() {
    if (!FExcluding)
        return;
    FExcluding = false;
    FClip = FSavedClip;
    if (FLayerPainter) {
        QPainter& layer = *FLayerPainter;
        layer.setClipping(false);
        layer.setWorldTransform(FSampleOffset * FBase);
        layer.setRenderHint(QPainter::Antialiasing, false);
        layer.setCompositionMode(QPainter::CompositionMode_Clear);
        layer.fillPath(FExcludedShapes.ToQt(), Qt::black);
        layer.end();
        FLayerPainter.reset();
        ApplyClip(FTarget);
        // The layer already holds device pixels.
        FTarget.setWorldTransform(QTransform());
        FTarget.drawImage(QPointF(0, 0), *FLayer);
        FLayer.reset();
        FExcludedShapes = TVxPath();
    }
    ApplyClip(FTarget);
}
