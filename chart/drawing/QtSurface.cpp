#include "drawing/QtSurface.h"

#include "drawing/ArrowCap.h"
#include "drawing/QtConvert.h"
#include "util/Exceptions.h"

#include <QPaintEngine>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

namespace {

bool IsAntiAliased(TSmoothingMode Mode) {
    return Mode == TSmoothingMode::SmoothingModeHighQuality ||
           Mode == TSmoothingMode::SmoothingModeAntiAlias;
}

// A pen whose aliased stroke of a horizontal or vertical line on pixel centres takes one row or
// column of pixels in one opaque colour, with no caps beyond the ends.
bool IsDirectPen(const TVxPen& Pen) {
    return Pen.Width == 1 && !Pen.Brush && GetAlpha(Pen.Color) == 0xFF &&
           Pen.DashStyle == TDashStyle::DashStyleSolid && Pen.StartCap == TLineCap::LineCapFlat &&
           Pen.EndCap == TLineCap::LineCapFlat && !Pen.CustomStartCap && !Pen.CustomEndCap;
}

// The first (with Left) or last pixel whose centre lies inside a clip edge at V, a centre on
// a left edge included and one on a right edge not; false where the painter's own rounding of
// an edge just past a centre might decide otherwise.
bool ClipPixel(double V, bool Left, int& Out) {
    if (!(V > -1e8 && V < 1e8))
        return false;
    const double f = std::floor(V);
    if (V - f > 0 && V - f < 1.0 / 16)
        return false;
    const int c = static_cast<int>(std::ceil(V));
    Out = Left ? c : c - 1;
    return true;
}

// Qt's anti-aliased stroker is slow for a line of width 1 along a row or column of pixel
// centres, and there it covers exactly the rectangle around the line: filling that rectangle
// gives the same pixels (ends on whole or half pixels). False when the line is not such one.
bool FillCentredLine(QPainter& Painter, const TVxPen& Pen, QPointF A, QPointF B) {
    if (Pen.Width != 1 || Pen.Brush || !DashPatternOf(Pen).empty() ||
        (Pen.EndCap != TLineCap::LineCapFlat && Pen.EndCap != TLineCap::LineCapSquare) ||
        !Painter.testRenderHint(QPainter::Antialiasing) ||
        Painter.worldTransform().type() > QTransform::TxTranslate)
        return false;
    const QPointF a = Painter.worldTransform().map(A), b = Painter.worldTransform().map(B);
    const auto centred = [](double V) { return V - std::floor(V) == 0.5; };
    const auto halves = [](double V) { return std::floor(2 * V) == 2 * V; };
    const bool horizontal = a.y() == b.y() && a.x() != b.x();
    const bool vertical = a.x() == b.x() && a.y() != b.y();
    if (!(horizontal && centred(a.y()) && halves(a.x()) && halves(b.x())) &&
        !(vertical && centred(a.x()) && halves(a.y()) && halves(b.y())))
        return false;
    const double cap = Pen.EndCap == TLineCap::LineCapSquare ? 0.5 : 0.0;
    const double lo = (horizontal ? std::min(A.x(), B.x()) : std::min(A.y(), B.y())) - cap;
    const double hi = (horizontal ? std::max(A.x(), B.x()) : std::max(A.y(), B.y())) + cap;
    const QRectF area =
        horizontal ? QRectF(lo, A.y() - 0.5, hi - lo, 1.0) : QRectF(A.x() - 0.5, lo, 1.0, hi - lo);
    Painter.fillRect(area, ToQColor(Pen.Color));
    return true;
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
    FWriterStale = true;
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
        if (Points.size() == 2 && FillCentredLine(p, Pen, Points[0], Points[1]))
            return;
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
    if (IsDirectPen(Pen))
        if (TVxPixelWriter* writer = ShapeWriter(); writer && writer->Line(A, B, Pen.Color))
            return;
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
    // The painter's pixels of a line in a list depend on the lines before it: the writer takes
    // the list only when it takes every line.
    if (TVxPixelWriter* writer = IsDirectPen(Pen) ? ShapeWriter() : nullptr;
        writer && std::all_of(Lines.begin(), Lines.end(), [&](const QLineF& Line) {
            return writer->TakesLine(Line.p1(), Line.p2());
        })) {
        for (const QLineF& line : Lines)
            writer->Line(line.p1(), line.p2(), Pen.Color);
        return;
    }
    QPainter& p = Active();
    ApplyTransform(p, TPlacement::Stroke);
    // Lines along pixel centres are filled; the others go to the stroker in one call.
    std::vector<QLineF> stroked;
    for (const QLineF& line : Lines)
        if (!FillCentredLine(p, Pen, line.p1(), line.p2()))
            stroked.push_back(line);
    if (stroked.empty())
        return;
    p.setPen(ToQPen(Pen, p.worldTransform()));
    p.setBrush(Qt::NoBrush);
    p.drawLines(stroked.data(), static_cast<int>(stroked.size()));
}

void TVxQtSurface::DrawRectangle(const TVxPen& Pen, const QRectF& Rect) {
    if (IsDirectPen(Pen))
        if (TVxPixelWriter* writer = ShapeWriter(); writer && writer->Outline(Rect, Pen.Color))
            return;
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
    if (Brush.Kind == TVxBrushKind::Solid && GetAlpha(Brush.Color) == 0xFF)
        if (TVxPixelWriter* writer = ShapeWriter(); writer && writer->Fill(Rect, Brush.Color))
            return;
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
    if (TVxPixelWriter* writer = Writer(); writer && writer->Blend(Image, Position))
        return;
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
    FWriterStale = true;
    FClip = FClip.Combined(Region.Transformed(FUser), Mode);
    ApplyClip(Active());
}

TVxRegion TVxQtSurface::GetClip() const {
    return FClip.Transformed(FUser.inverted());
}

void TVxQtSurface::ResetClip() {
    FWriterStale = true;
    FClip = TVxRegion();
    ApplyClip(Active());
}

void TVxQtSurface::SetTransform(const TVxMatrix& Matrix) {
    FWriterStale = true;
    FUser = Matrix;
}

TVxPixelWriter* TVxQtSurface::Writer() {
    if (FWriterStale) {
        FWriterStale = false;
        FWriter.reset();
        FWriterImage = nullptr;
        MakeWriter();
    }
    // A copy of the image taken while painting would be written through.
    return FWriter && FWriterImage->isDetached() ? &*FWriter : nullptr;
}

TVxPixelWriter* TVxQtSurface::MakeWriter() {
    if (!FDirectPixels || !FRaster || FBaseClipping || FSoftClip)
        return nullptr;
    QPainter& p = Active();
    QPaintDevice* device = p.device();
    if (!device || device->devType() != QInternal::Image || p.opacity() != 1 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    QImage* image = static_cast<QImage*>(device);
    if (!TVxPixelWriter::Supports(*image) || image->devicePixelRatio() != 1)
        return nullptr;
    // World to pixels: a whole translation only (pixel centres on whole coordinates), for
    // the user's transform and for the base alike (the clip lies between them).
    const QTransform world = FUser * FBase;
    if (world.type() > QTransform::TxTranslate || FBase.type() > QTransform::TxTranslate)
        return nullptr;
    auto whole = [](double V, int& Out) {
        Out = V > -1e8 && V < 1e8 ? static_cast<int>(V) : 0;
        return double(Out) == V;
    };
    int dx, dy, bx, by;
    if (!whole(world.dx(), dx) || !whole(world.dy(), dy) || !whole(FBase.dx(), bx) ||
        !whole(FBase.dy(), by))
        return nullptr;
    QRect clip = image->rect();
    if (!FClip.IsInfinite()) {
        if (FClip.Kind() != TVxRegion::TKind::Rect)
            return nullptr;
        const QRectF r = FClip.Rect().normalized();
        int l, t, rt, b;
        if (!ClipPixel(r.left(), true, l) || !ClipPixel(r.top(), true, t) ||
            !ClipPixel(r.right(), false, rt) || !ClipPixel(r.bottom(), false, b))
            return nullptr;
        clip &= QRect(QPoint(l + bx, t + by), QPoint(rt + bx, b + by));
    }
    FWriter.emplace(*image, clip, QPoint(dx, dy));
    FWriterImage = image;
    return &*FWriter;
}

bool TVxQtSurface::PrefersSprites() const {
    return FRaster && !FExcluding && (FUser * FBase).type() <= QTransform::TxTranslate;
}

void TVxQtSurface::BeginShapeExclusion(const TVxPath& Shapes) {
    if (FExcluding)
        throw EVxException("Shape exclusions do not nest");
    FWriterStale = true;
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
    FWriterStale = true;
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
