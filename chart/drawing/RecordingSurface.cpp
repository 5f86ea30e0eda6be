#include "drawing/RecordingSurface.h"

#include "util/Exceptions.h"

TVxDrawRecord& TVxRecordingSurface::Add(TVxDrawOp Op) {
    TVxDrawRecord& r = FRecords.emplace_back();
    r.Op = Op;
    r.Clip = GetClip();
    r.Transform = FTransform;
    r.Smoothing = FSmoothing;
    r.TextHint = FTextHint;
    return r;
}

std::vector<TVxDrawRecord> TVxRecordingSurface::RecordsOf(TVxDrawOp Op) const {
    std::vector<TVxDrawRecord> result;
    for (const TVxDrawRecord& r : FRecords)
        if (r.Op == Op)
            result.push_back(r);
    return result;
}

void TVxRecordingSurface::SetSmoothingMode(TSmoothingMode Mode) {
    FSmoothing = Mode;
    Add(TVxDrawOp::SetSmoothingMode);
}

void TVxRecordingSurface::SetTextRenderingHint(TVxTextRenderingHint Hint) {
    FTextHint = Hint;
    Add(TVxDrawOp::SetTextRenderingHint);
}

void TVxRecordingSurface::DrawLine(const TVxPen& Pen, QPointF A, QPointF B) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawLine);
    r.Pen = Pen;
    r.Points = {A, B};
}

void TVxRecordingSurface::DrawLines(const TVxPen& Pen, std::span<const QPointF> Points) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawLines);
    r.Pen = Pen;
    r.Points.assign(Points.begin(), Points.end());
}

void TVxRecordingSurface::DrawRectangle(const TVxPen& Pen, const QRectF& Rect) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawRectangle);
    r.Pen = Pen;
    r.Rect = Rect;
}

void TVxRecordingSurface::DrawEllipse(const TVxPen& Pen, const QRectF& Rect) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawEllipse);
    r.Pen = Pen;
    r.Rect = Rect;
}

void TVxRecordingSurface::DrawArc(const TVxPen& Pen, const QRectF& Rect, double StartAngle,
                                  double SweepAngle) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawArc);
    r.Pen = Pen;
    r.Rect = Rect;
    r.StartAngle = StartAngle;
    r.SweepAngle = SweepAngle;
}

void TVxRecordingSurface::DrawPolygon(const TVxPen& Pen, std::span<const QPointF> Points) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawPolygon);
    r.Pen = Pen;
    r.Points.assign(Points.begin(), Points.end());
}

void TVxRecordingSurface::DrawPath(const TVxPen& Pen, const TVxPath& Path) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawPath);
    r.Pen = Pen;
    r.Path = Path;
}

void TVxRecordingSurface::FillRectangle(const TVxBrush& Brush, const QRectF& Rect) {
    TVxDrawRecord& r = Add(TVxDrawOp::FillRectangle);
    r.Brush = Brush;
    r.Rect = Rect;
}

void TVxRecordingSurface::FillEllipse(const TVxBrush& Brush, const QRectF& Rect) {
    TVxDrawRecord& r = Add(TVxDrawOp::FillEllipse);
    r.Brush = Brush;
    r.Rect = Rect;
}

void TVxRecordingSurface::FillPolygon(const TVxBrush& Brush, std::span<const QPointF> Points,
                                      TFillMode FillMode) {
    TVxDrawRecord& r = Add(TVxDrawOp::FillPolygon);
    r.Brush = Brush;
    r.Points.assign(Points.begin(), Points.end());
    r.FillMode = FillMode;
}

void TVxRecordingSurface::FillPath(const TVxBrush& Brush, const TVxPath& Path) {
    TVxDrawRecord& r = Add(TVxDrawOp::FillPath);
    r.Brush = Brush;
    r.Path = Path;
}

void TVxRecordingSurface::DrawString(const QString& Text, const TVxFontSpec& Font,
                                     const TVxBrush& Brush, const QRectF& Layout,
                                     const TVxStringFormat& Format) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawString);
    r.Text = Text;
    r.Font = Font;
    r.Brush = Brush;
    r.Rect = Layout;
    r.Format = Format;
}

QRectF TVxRecordingSurface::MeasureString(const QString& Text, const TVxFontSpec& Font,
                                          const QRectF& Layout,
                                          const TVxStringFormat& Format) const {
    const QPaintDevice* device = MeasuringDevice();
    return MeasureText(Text, ToQFont(Font, FTextHint, device), Layout, Format, device);
}

double TVxRecordingSurface::GetFontHeight(const TVxFontSpec& Font) const {
    const QPaintDevice* device = MeasuringDevice();
    return FontLineSpacing(ToQFont(Font, FTextHint, device), device);
}

void TVxRecordingSurface::DrawImage(const QImage& Image, QPointF Position) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawImage);
    r.Rect = QRectF(Position, QSizeF(Image.size()));
    r.ImageSize = Image.size();
}

void TVxRecordingSurface::DrawImage(const QImage& Image, const QRectF& Target) {
    TVxDrawRecord& r = Add(TVxDrawOp::DrawImage);
    r.Rect = Target;
    r.ImageSize = Image.size();
}

void TVxRecordingSurface::Clear(TVxColor Color) {
    Add(TVxDrawOp::Clear).Color = Color;
}

void TVxRecordingSurface::SetClip(const TVxRegion& Region, TCombineMode Mode) {
    FClip = FClip.Combined(Region.Transformed(FTransform), Mode);
    TVxDrawRecord& r = Add(TVxDrawOp::SetClip);
    r.Region = Region;
    r.CombineMode = Mode;
}

TVxRegion TVxRecordingSurface::GetClip() const {
    return FClip.Transformed(FTransform.inverted());
}

void TVxRecordingSurface::ResetClip() {
    FClip = TVxRegion();
    Add(TVxDrawOp::ResetClip);
}

void TVxRecordingSurface::SetTransform(const TVxMatrix& Matrix) {
    FTransform = Matrix;
    Add(TVxDrawOp::SetTransform);
}

void TVxRecordingSurface::BeginShapeExclusion(const TVxPath& Shapes) {
    if (FSavedClip)
        throw EVxException("Shape exclusions do not nest");
    FSavedClip = FClip;
    Add(TVxDrawOp::BeginShapeExclusion).Path = Shapes;
}

void TVxRecordingSurface::EndShapeExclusion() {
    if (!FSavedClip)
        return;
    FClip = *FSavedClip;
    FSavedClip.reset();
    Add(TVxDrawOp::EndShapeExclusion);
}
